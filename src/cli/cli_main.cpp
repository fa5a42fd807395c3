// tunekit-cli: the production line's front end of Tunekit. The same logic as the window, with
// seams that answer from the command line; no window system needed.
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "host/host_facts.h"
#include "host/host_info.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tunekit"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    // The language comes first, so that even a usage error speaks it.
    QString language = tunekit::GetInstallLanguage(tunekit::LanguageIdForLocale(QLocale::system()));
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1StringView("--lang"))
            language = arguments.at(i + 1).toUpper();
    }
    tunekit::UiLanguage ui;
    ui.Set(language == QLatin1StringView("DE") ? tunekit::Language::German : tunekit::Language::English);

    const tunekit::cli::ParsedArguments parsed = tunekit::cli::ParseArguments(arguments);
    if (!parsed.options) {
        const QString message = parsed.message.endsWith(QLatin1Char('\n')) ? parsed.message
                                                                            : parsed.message + QLatin1Char('\n');
        const QByteArray text = message.toLocal8Bit();
        std::fputs(text.constData(), parsed.help ? stdout : stderr);
        return static_cast<int>(parsed.help ? tunekit::cli::Exit::Ok : tunekit::cli::Exit::Usage);
    }
    tunekit::cli::Options options = *parsed.options;
    if (options.language.isEmpty())
        options.language = language == QLatin1StringView("DE") ? QStringLiteral("DE") : QStringLiteral("EN");
    tunekit::cli::CliRun run(options, ui);
    return static_cast<int>(run.Run());
}
