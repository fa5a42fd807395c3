#include "app/launch.h"
#include "host/adapter_port.h"
#include "host/host_facts.h"
#include "host/host_info.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

// The command line read in the system's language, which the help and a usage error speak.
tunekit::LaunchRequest parseInSystemLanguage()
{
    tunekit::UiLanguage language;
    if (tunekit::installLanguageOf(tunekit::languageIdForLocale(QLocale::system())) == QLatin1StringView("DE"))
        language.set(tunekit::Language::German);
    return tunekit::parseLaunchArguments(QCoreApplication::arguments());
}

// Answers what needs no window: the exit status, or nothing when the window is to start.
std::optional<int> answerWithoutWindow(const tunekit::LaunchRequest& request)
{
    if (!request.text.isEmpty()) {
        std::fputs(request.text.toLocal8Bit().constData(), request.usageError ? stderr : stdout);
        return request.usageError ? 1 : 0;
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
        const tunekit::LaunchRequest request = parseInSystemLanguage();
        if (!request.usageError) {
            if (const std::optional<int> status = answerWithoutWindow(request))
                return *status;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tunekit"));
    const tunekit::LaunchRequest request = parseInSystemLanguage();
    if (const std::optional<int> status = answerWithoutWindow(request))
        return *status;

    tunekit::MainWindow window(tunekit::makeWindowSetup(request.options));
    window.show();
    // The user sees the window at once; the start-up sequence (with its waits) runs after.
    QTimer::singleShot(0, &window, [&window] { window.start(); });
    return app.exec();
}
