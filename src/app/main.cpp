#include "app/main_window.h"
#include "host/adapter_port.h"
#include "link/qserialport_line.h"
#include "link/qt_clock.h"
#include "sim/sim_line.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

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
    const QCommandLineOption hasAdapter(QStringLiteral("has-adapter"),
                                        QStringLiteral("Exit with 0 when a programming adapter is connected."));
    const QCommandLineOption paced(QStringLiteral("paced"),
                                   QStringLiteral("Send one packet per timer tick instead of as soon as the answer is in."));
    parser.addOptions({simulate, configId, hasAdapter, paced});
    parser.process(app);

    const qint16 adapterPort = tunekit::ConnectedAdapterPort();
    if (parser.isSet(hasAdapter))
        return adapterPort > 0 ? 0 : 1;

    tunekit::MainWindowSetup setup;
    setup.clock = std::make_unique<tunekit::QtClock>();
    setup.host = std::make_unique<tunekit::SystemHostFacts>();
    setup.paced = parser.isSet(paced);
    if (parser.isSet(simulate)) {
        setup.line = std::make_unique<tunekit::SimLine>(*setup.clock, parser.value(configId).toInt());
        setup.startPort = 1;
    } else {
        setup.line = std::make_unique<tunekit::QSerialPortLine>();
        setup.startPort = adapterPort;
    }

    tunekit::MainWindow window(std::move(setup));
    window.show();
    // The user sees the window at once; the start-up sequence (with its waits) runs after.
    QTimer::singleShot(0, &window, [&window] { window.Start(); });
    return app.exec();
}
