// tunekit-cli: the production line's front end of Tunekit. The same logic as the window, with
// seams that answer from the command line; no window system needed.
#include "cli/cli_channels.h"
#include "cli/cli_json.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "records/store_choice.h"
#include "cli/message_codes.h"
#include "host/host_facts.h"
#include "host/host_info.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QJsonDocument>
#include <QLocale>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tunekit"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    // The language comes first, so that even a usage error speaks it.
    QString language = tunekit::installLanguageOf(tunekit::languageIdForLocale(QLocale::system()));
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1StringView("--lang"))
            language = arguments.at(i + 1).toUpper();
    }
    const tunekit::Language chosen =
        language == QLatin1StringView("DE") ? tunekit::Language::German : tunekit::Language::English;
    tunekit::UiLanguage ui;
    ui.set(chosen);
    // In front of the language's translators: every text shown gets its code.
    const tunekit::cli::MessageCodes codes(chosen);

    tunekit::cli::ParsedArguments parsed = tunekit::cli::parseArguments(arguments);
    // A records destination that cannot be right is a usage error too, before any device is
    // touched: the environment's as well as --records (which the parse checks).
    if (parsed.options && parsed.options->recordsUrl.isEmpty()) {
        if (const QString problem = tunekit::records::recordsUrlProblem(qEnvironmentVariable("TUNEKIT_RECORDS"));
            !problem.isEmpty()) {
            parsed.message = QStringLiteral("TUNEKIT_RECORDS: ") + problem;
            parsed.options.reset();
        }
    }
    if (!parsed.options) {
        const QString message = parsed.message.endsWith(QLatin1Char('\n')) ? parsed.message
                                                                            : parsed.message + QLatin1Char('\n');
        const QByteArray text = message.toLocal8Bit();
        std::fputs(text.constData(), parsed.help ? stdout : stderr);
        if (parsed.json && !parsed.help) {
            // The command line was not understood, so no command ran.
            const QJsonObject document = tunekit::cli::usageErrorJson(codes.codeFor(parsed.message), parsed.message);
            std::fputs(QJsonDocument(document).toJson(QJsonDocument::Indented).constData(), stdout);
        }
        return static_cast<int>(parsed.help ? tunekit::cli::Exit::Ok : tunekit::cli::Exit::Usage);
    }
    tunekit::cli::Options options = *parsed.options;
    if (options.language.isEmpty())
        options.language = language == QLatin1StringView("DE") ? QStringLiteral("DE") : QStringLiteral("EN");
    if (tunekit::cli::runsChannels(options)) {
        tunekit::cli::CliChannels channels(options, ui, codes);
        return static_cast<int>(QCoro::waitFor(channels.run()));
    }
    tunekit::cli::CliRun run(options, ui, codes);
    // The command runs as a coroutine; waitFor runs the event loop until it has ended.
    return static_cast<int>(QCoro::waitFor(run.run()));
}
