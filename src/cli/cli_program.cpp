#include "cli/cli_program.h"

#include "cli/cli_json.h"
#include "host/host_facts.h"
#include "host/host_info.h"
#include "records/store_choice.h"

#include <QJsonDocument>
#include <QLocale>

namespace tunekit::cli {
namespace {

// "DE" or "EN": --lang (given as "--lang de" or "--lang=de"), else the language Tunekit was
// installed in. Taken before the command line is parsed, so that its usage errors speak it too.
QString languageOfArguments(const QStringList& arguments)
{
    QString language = installLanguageOf(languageIdForLocale(QLocale::system()));
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1StringView("--lang") && i + 1 < arguments.size())
            language = arguments.at(i + 1).toUpper();
        else if (argument.startsWith(QLatin1StringView("--lang=")))
            language = argument.mid(7).toUpper();
    }
    return language == QLatin1StringView("DE") ? QStringLiteral("DE") : QStringLiteral("EN");
}

} // namespace

CliProgram::CliProgram(const QStringList& arguments, RunSeams seams)
    : arguments_(arguments), seams_(std::move(seams)),
      language_(languageOfArguments(arguments) == QLatin1StringView("DE") ? Language::German : Language::English)
{
    ui_.set(language_);
    // In front of the language's translators: every text shown gets its code.
    codes_.emplace(language_);
}

void CliProgram::interrupt()
{
    if (channels_)
        channels_->interrupt();
    if (run_)
        run_->interrupt();
}

QCoro::Task<Exit> CliProgram::run()
{
    ParsedArguments parsed = parseArguments(arguments_);
    // A records destination that cannot be right is a usage error too, before any device is
    // touched: the environment's as well as --records (which the parse checks).
    if (parsed.options && parsed.options->recordsUrl.isEmpty()) {
        if (const QString problem = records::recordsUrlProblem(seams_.environment.recordsUrl); !problem.isEmpty()) {
            parsed.message = QStringLiteral("TUNEKIT_RECORDS: ") + problem;
            parsed.options.reset();
        }
    }
    if (!parsed.options) {
        const QString message = parsed.message.endsWith(QLatin1Char('\n')) ? parsed.message
                                                                            : parsed.message + QLatin1Char('\n');
        // Help to an output that does not take it (a full disk, a closed pipe) is no success.
        if (parsed.help && !seams_.streams.out(message)) {
            seams_.streams.error(QCoreApplication::translate("Cli", "The output could not be written completely.") + u'\n');
            co_return Exit::Failed;
        }
        if (!parsed.help)
            seams_.streams.error(message);
        if (parsed.json && !parsed.help) {
            // The command line was not understood, so no command ran.
            const QJsonObject document = usageErrorJson(codes_->codeFor(parsed.message), parsed.message);
            seams_.streams.out(QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
        }
        co_return parsed.help ? Exit::Ok : Exit::Usage;
    }
    Options options = *parsed.options;
    // TUNEKIT_PORT names the port of a line whose command line names none.
    if (usesDevice(options.command) && options.ports.isEmpty() && options.adapters.isEmpty() && !options.simulate
        && !seams_.environment.port.isEmpty())
        options.ports << seams_.environment.port;
    if (options.language.isEmpty())
        options.language = language_ == Language::German ? QStringLiteral("DE") : QStringLiteral("EN");
    if (runsChannels(options)) {
        channels_ = std::make_unique<CliChannels>(options, ui_, *codes_, seams_);
        co_return co_await channels_->run();
    }
    run_ = std::make_unique<CliRun>(options, ui_, *codes_, seams_);
    co_return co_await run_->run();
}

} // namespace tunekit::cli
