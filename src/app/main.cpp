#include "app/launch.h"
#include "base/option_table.h"
#include "host/adapter_port.h"
#include "host/host_facts.h"
#include "host/host_info.h"

#include <QApplication>
#include <QLocale>
#include <QProcessEnvironment>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// The system's language, which the help, a usage error and the start-up failures speak.
void useSystemLanguage(tunekit::UiLanguage& language)
{
    if (tunekit::installLanguageOf(tunekit::languageIdForLocale(QLocale::system())) == QLatin1StringView("DE"))
        language.set(tunekit::Language::German);
}

// A display named but not answering stops the window system with a fatal message; the program
// then ends with status 1 and says why, instead of aborting.
void endWithoutDisplay(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type != QtFatalMsg)
        return;
    std::fputs(tunekit::noDisplayText().toLocal8Bit().constData(), stderr);
    std::_Exit(1);
}

// Answers what needs no window: the exit status, or nothing when the window is to start.
std::optional<int> answerWithoutWindow(const tunekit::LaunchRequest& request)
{
    if (!request.text.isEmpty()) {
        if (request.usageError) {
            std::fputs(request.text.toLocal8Bit().constData(), stderr);
            return 1;
        }
        // Help or version to an output that does not take it (a full disk) is no success.
        return tunekit::printToStandardOutput(request.text) ? 0 : 1;
    }
    if (request.adapterCheck)
        return tunekit::connectedAdapterPort() > 0 ? 0 : 1;
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    {
        // Help, version, manual page and the adapter check need no display, so they are answered
        // before the window system starts. A command line that does not parse here may hold the
        // window system's own options (-platform, -style), which only QApplication knows and
        // takes out; the parse after it tells what is wrong.
        const QCoreApplication core(argc, argv);
        tunekit::UiLanguage language;
        useSystemLanguage(language);
        const tunekit::LaunchRequest request = tunekit::parseLaunchArguments(QCoreApplication::arguments());
        if (!request.usageError) {
            if (const std::optional<int> status = answerWithoutWindow(request))
                return *status;
        }
        if (!tunekit::displayNamed(QCoreApplication::arguments(), QProcessEnvironment::systemEnvironment().toStringList())) {
            if (request.usageError)
                std::fputs(request.text.toLocal8Bit().constData(), stderr);
            std::fputs(tunekit::noDisplayText().toLocal8Bit().constData(), stderr);
            return 1;
        }
    }

    const QtMessageHandler previous = qInstallMessageHandler(endWithoutDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName(QStringLiteral("Tunekit"));
    // The window chooses its language from the settings; the system's is only for the command line.
    const tunekit::LaunchRequest request = [] {
        tunekit::UiLanguage language;
        useSystemLanguage(language);
        return tunekit::parseLaunchArguments(QCoreApplication::arguments());
    }();
    if (const std::optional<int> status = answerWithoutWindow(request))
        return *status;

    tunekit::MainWindow window(tunekit::makeWindowSetup(request.options));
    window.show();
    // The user sees the window at once; the start-up sequence (with its waits) runs after.
    QTimer::singleShot(0, &window, [&window] { window.start(); });
    return app.exec();
}
