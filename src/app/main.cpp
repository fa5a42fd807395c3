#include "app/launch.h"
#include "host/adapter_port.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tunekit"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Talk to the built-in simulated transmitter."));
    const QCommandLineOption configId(QStringLiteral("config-id"),
                                      QStringLiteral("ConfigID of the simulated transmitter (default 5)."),
                                      QStringLiteral("id"), QStringLiteral("5"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Use this serial port for this run instead of looking for the "
                                                 "adapter (e.g. /dev/ttyUSB3, /dev/pts/7, COM7)."),
                                  QStringLiteral("name"));
    const QCommandLineOption hasAdapter(QStringLiteral("has-adapter"),
                                        QStringLiteral("Exit with 0 when a programming adapter is connected."));
    const QCommandLineOption paced(QStringLiteral("paced"),
                                   QStringLiteral("Send one packet per timer tick instead of as soon as the answer is in."));
    parser.addOptions({simulate, configId, port, hasAdapter, paced});
    parser.process(app);

    if (parser.isSet(hasAdapter))
        return tunekit::ConnectedAdapterPort() > 0 ? 0 : 1;

    tunekit::LaunchOptions options;
    options.simulate = parser.isSet(simulate);
    options.configId = parser.value(configId).toInt();
    options.port = parser.value(port);
    options.paced = parser.isSet(paced);
    tunekit::MainWindow window(tunekit::MakeWindowSetup(options));
    window.show();
    // The user sees the window at once; the start-up sequence (with its waits) runs after.
    QTimer::singleShot(0, &window, [&window] { window.Start(); });
    return app.exec();
}
