#include "cli/cli_options.h"

#include "host/port_names.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace tunekit::cli {
namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("Cli", text);
}

struct CommandName {
    const char* name;
    Command command;
    bool needsFile;
};

constexpr CommandName Commands[] = {
    {"ports", Command::Ports, false},   {"detect", Command::Detect, false}, {"read", Command::Read, false},
    {"diff", Command::Diff, true},      {"write", Command::Write, true},    {"restore", Command::Restore, true},
    {"verify", Command::Verify, true},
    {"convert", Command::Convert, true}, {"report", Command::Report, false},
};

QString HelpText()
{
    return QCoreApplication::translate(
        "Cli",
        "Usage: tunekit-cli COMMAND [FILE] [options]\n"
        "\n"
        "Commands:\n"
        "  ports                 list the serial ports, marking the programming adapter\n"
        "  detect                print the ConfigID of the connected transmitter\n"
        "  read [-o FILE.scd] [--info]\n"
        "                        read the device and print its values; -o saves a backup file\n"
        "  diff FILE.scd         list what writing FILE would change (exit 1 when anything)\n"
        "  write FILE.scd [--yes] [--no-backup] [--no-verify] [--backup-dir DIR]\n"
        "                        back the device up, write FILE as the window does, read back\n"
        "  restore BACKUP.scd    write a backup back and read it back (as write)\n"
        "  verify FILE.scd       the checksum state of FILE\n"
        "  convert FILE.scd      add the checksum, keeping a .bak copy\n"
        "  report [-o FILE]      the parameter report\n"
        "\n"
        "Options:\n"
        "  --port NAME           serial port (system name or COM number); default: find the adapter\n"
        "  --simulate [--config-id N]  the built-in simulated transmitter\n"
        "  --paced               one packet per 10 ms tick\n"
        "  --json                machine-readable output\n"
        "  --lang de|en          language of the messages (default: the system's)\n"
        "  -q                    no progress and no messages but errors\n"
        "  --password-file FILE  the access level's password (or TUNEKIT_PASSWORD); default level 1\n"
        "  Answers to the window's questions: --extended-data, --no-extended-data,\n"
        "  --write-calibration, --keep-calibration, --allow-config-mismatch, --init-defaults,\n"
        "  --no-init-defaults; --yes takes the window's default answers.\n"
        "\n"
        "Exit status: 0 done, 1 diff found differences, 2 usage error, 3 no port or adapter (or the\n"
        "port is in use), 4 device not answering, 5 file invalid, 6 refused by the rules or an\n"
        "unanswered question (nothing was written), 7 read-back differs from the file, 8 other\n"
        "failure, 9 partly written (restore the backup), 10 stopped before anything was written.\n");
}

} // namespace

QString PortSystemName(const QString& port)
{
    bool number = false;
    const int n = (port.startsWith(QLatin1StringView("COM"), Qt::CaseInsensitive) ? port.mid(3) : port).toInt(&number);
    return number && n >= 1 && n <= 256 ? SystemPortName(n) : port;
}

ParsedArguments ParseArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption output(QStringLiteral("o"), {}, QStringLiteral("file"));
    const QCommandLineOption info(QStringLiteral("info"), {});
    const QCommandLineOption yes(QStringLiteral("yes"), {});
    const QCommandLineOption noBackup(QStringLiteral("no-backup"), {});
    const QCommandLineOption noVerify(QStringLiteral("no-verify"), {});
    const QCommandLineOption backupDir(QStringLiteral("backup-dir"), {}, QStringLiteral("dir"));
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("name"));
    const QCommandLineOption simulate(QStringLiteral("simulate"), {});
    const QCommandLineOption configId(QStringLiteral("config-id"), {}, QStringLiteral("id"));
    const QCommandLineOption paced(QStringLiteral("paced"), {});
    const QCommandLineOption json(QStringLiteral("json"), {});
    const QCommandLineOption lang(QStringLiteral("lang"), {}, QStringLiteral("language"));
    const QCommandLineOption quiet(QStringLiteral("q"), {});
    const QCommandLineOption passwordFile(QStringLiteral("password-file"), {}, QStringLiteral("file"));
    const QCommandLineOption extended(QStringLiteral("extended-data"), {});
    const QCommandLineOption noExtended(QStringLiteral("no-extended-data"), {});
    const QCommandLineOption calibration(QStringLiteral("write-calibration"), {});
    const QCommandLineOption keepCalibration(QStringLiteral("keep-calibration"), {});
    const QCommandLineOption mismatch(QStringLiteral("allow-config-mismatch"), {});
    const QCommandLineOption defaults(QStringLiteral("init-defaults"), {});
    const QCommandLineOption noDefaults(QStringLiteral("no-init-defaults"), {});
    parser.addOptions({help, output, info, yes, noBackup, noVerify, backupDir, port, simulate, configId, paced, json,
                       lang, quiet, passwordFile, extended, noExtended, calibration, keepCalibration, mismatch,
                       defaults, noDefaults});

    ParsedArguments parsed;
    if (!parser.parse(QStringList{QStringLiteral("tunekit-cli")} + arguments)) {
        parsed.message = parser.errorText();
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.help = true;
        parsed.message = HelpText();
        return parsed;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "No command given (try --help)."));
        return parsed;
    }
    Options options;
    const CommandName* chosen = nullptr;
    for (const CommandName& command : Commands) {
        if (positional.first() == QLatin1StringView(command.name))
            chosen = &command;
    }
    if (!chosen) {
        parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "Unknown command \"%1\" (try --help).")).arg(positional.first());
        return parsed;
    }
    options.command = chosen->command;
    if (positional.size() != (chosen->needsFile ? 2 : 1)) {
        parsed.message = chosen->needsFile
                             ? Tr(QT_TRANSLATE_NOOP("Cli", "The command \"%1\" needs one file.")).arg(positional.first())
                             : Tr(QT_TRANSLATE_NOOP("Cli", "The command \"%1\" takes no file.")).arg(positional.first());
        return parsed;
    }
    if (chosen->needsFile)
        options.file = positional.at(1);
    options.output = parser.value(output);
    options.info = parser.isSet(info);
    options.noBackup = parser.isSet(noBackup);
    options.noVerify = parser.isSet(noVerify);
    if (parser.isSet(backupDir))
        options.backupDir = parser.value(backupDir);
    options.port = parser.value(port);
    options.simulate = parser.isSet(simulate);
    if (parser.isSet(configId)) {
        bool ok = false;
        options.configId = parser.value(configId).toInt(&ok);
        if (!ok || options.configId < 1) {
            parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "--config-id needs a ConfigID such as 53."));
            return parsed;
        }
    }
    if (options.simulate && !options.port.isEmpty()) {
        parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "--simulate and --port exclude each other."));
        return parsed;
    }
    options.paced = parser.isSet(paced);
    options.json = parser.isSet(json);
    if (parser.isSet(lang)) {
        options.language = parser.value(lang).toUpper();
        if (options.language != QLatin1StringView("DE") && options.language != QLatin1StringView("EN")) {
            parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "--lang takes de or en."));
            return parsed;
        }
    }
    options.quiet = parser.isSet(quiet);
    options.passwordFile = parser.value(passwordFile);
    auto answer = [&](const QCommandLineOption& on, const QCommandLineOption& off) -> std::optional<bool> {
        if (parser.isSet(on))
            return true;
        if (parser.isSet(off))
            return false;
        return std::nullopt;
    };
    options.answers.extendedData = answer(extended, noExtended);
    options.answers.calibration = answer(calibration, keepCalibration);
    options.answers.configMismatch = parser.isSet(mismatch) ? std::optional<bool>(true) : std::nullopt;
    options.answers.defaults = answer(defaults, noDefaults);
    options.answers.yes = parser.isSet(yes);
    parsed.options = options;
    return parsed;
}

} // namespace tunekit::cli
