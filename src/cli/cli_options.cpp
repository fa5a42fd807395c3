#include "cli/cli_options.h"

#include "base/option_table.h"
#include "host/port_names.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <string_view>

namespace tunekit::cli {
namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("Cli", text);
}

struct CommandWord {
    const char* name;
    Command command;
    bool needsFile;
};

constexpr CommandWord Commands[] = {
    {"ports", Command::Ports, false},   {"detect", Command::Detect, false}, {"read", Command::Read, false},
    {"diff", Command::Diff, true},      {"write", Command::Write, true},    {"restore", Command::Restore, true},
    {"verify", Command::Verify, true},
    {"convert", Command::Convert, true}, {"report", Command::Report, false},
};

// What tunekit-cli accepts and what its --help and manual page say.
constexpr TermEntry CommandTerms[] = {
    {"ports", QT_TRANSLATE_NOOP("Cli", "list the serial ports, marking the programming adapter")},
    {"detect", QT_TRANSLATE_NOOP("Cli", "print the ConfigID of the connected transmitter")},
    {QT_TRANSLATE_NOOP("Cli", "read [-o FILE.scd] [--info]"),
     QT_TRANSLATE_NOOP("Cli", "read the device and print its values; -o saves a backup file")},
    {QT_TRANSLATE_NOOP("Cli", "diff FILE.scd"),
     QT_TRANSLATE_NOOP("Cli", "list what writing FILE would change (exit 1 when anything)")},
    {QT_TRANSLATE_NOOP("Cli", "write FILE.scd [--yes] [--no-backup] [--no-verify] [--backup-dir DIR]"),
     QT_TRANSLATE_NOOP("Cli", "back the device up, write FILE as the window does, read back")},
    {QT_TRANSLATE_NOOP("Cli", "restore BACKUP.scd"),
     QT_TRANSLATE_NOOP("Cli", "write a backup back and read it back, as write does")},
    {QT_TRANSLATE_NOOP("Cli", "verify FILE.scd"), QT_TRANSLATE_NOOP("Cli", "the checksum state of FILE")},
    {QT_TRANSLATE_NOOP("Cli", "convert FILE.scd"), QT_TRANSLATE_NOOP("Cli", "add the checksum, keeping a .bak copy")},
    {QT_TRANSLATE_NOOP("Cli", "report [-o FILE]"), QT_TRANSLATE_NOOP("Cli", "the parameter report")},
};

constexpr OptionEntry OptionRows[] = {
    {"o", QT_TRANSLATE_NOOP("Cli", "FILE"),
     QT_TRANSLATE_NOOP("Cli", "read: save the values in FILE in the backup format; report: write the report to FILE")},
    {"info", "", QT_TRANSLATE_NOOP("Cli", "read: read the information texts too")},
    {"no-backup", "", QT_TRANSLATE_NOOP("Cli", "write: no backup of the device first")},
    {"no-verify", "", QT_TRANSLATE_NOOP("Cli", "write: no read-back check after writing")},
    {"backup-dir", QT_TRANSLATE_NOOP("Cli", "DIR"),
     QT_TRANSLATE_NOOP("Cli", "write: the folder of the backups (default: backups)")},
    {"port", "NAME",
     QT_TRANSLATE_NOOP("Cli", "serial port (system name or COM number); default: find the adapter")},
    {"simulate", "", QT_TRANSLATE_NOOP("Cli", "the built-in simulated transmitter")},
    {"config-id", "N", QT_TRANSLATE_NOOP("Cli", "ConfigID of the simulated transmitter (default 5)")},
    {"paced", "", QT_TRANSLATE_NOOP("Cli", "one packet per 10 ms tick")},
    {"json", "", QT_TRANSLATE_NOOP("Cli", "machine-readable output")},
    {"lang", "de|en", QT_TRANSLATE_NOOP("Cli", "language of the messages (default: the system's)")},
    {"q", "", QT_TRANSLATE_NOOP("Cli", "no progress and no messages but errors")},
    {"password-file", QT_TRANSLATE_NOOP("Cli", "FILE"),
     QT_TRANSLATE_NOOP("Cli", "the access level's password (or TUNEKIT_PASSWORD); default level 1")},
    {"yes", "", QT_TRANSLATE_NOOP("Cli", "answer every question the window asks as its default does (Yes)")},
    {"extended-data", "", QT_TRANSLATE_NOOP("Cli", "write the file's extended data too")},
    {"no-extended-data", "", QT_TRANSLATE_NOOP("Cli", "write the parameters only, without the extended data")},
    {"write-calibration", "", QT_TRANSLATE_NOOP("Cli", "overwrite the device's calibration values")},
    {"keep-calibration", "", QT_TRANSLATE_NOOP("Cli", "keep the device's calibration values")},
    {"allow-config-mismatch", "", QT_TRANSLATE_NOOP("Cli", "write data made for another ConfigID")},
    {"init-defaults", "", QT_TRANSLATE_NOOP("Cli", "put defaults in place of values that look erased")},
    {"no-init-defaults", "", QT_TRANSLATE_NOOP("Cli", "leave values that look erased as they are")},
};

// Each command's help names it first.
constexpr bool TermsNameTheCommands()
{
    if (std::size(CommandTerms) != std::size(Commands))
        return false;
    for (std::size_t i = 0; i < std::size(Commands); ++i) {
        const std::string_view term = CommandTerms[i].term;
        const std::string_view name = Commands[i].name;
        if (!term.starts_with(name) || (term.size() > name.size() && term[name.size()] != ' '))
            return false;
    }
    return true;
}
static_assert(TermsNameTheCommands());

constexpr TermEntry ExitStatusTerms[] = {
    {"0", QT_TRANSLATE_NOOP("Cli", "done")},
    {"1", QT_TRANSLATE_NOOP("Cli", "diff found differences")},
    {"2", QT_TRANSLATE_NOOP("Cli", "usage error")},
    {"3", QT_TRANSLATE_NOOP("Cli", "no port or adapter, or the port is in use")},
    {"4", QT_TRANSLATE_NOOP("Cli", "device not answering")},
    {"5", QT_TRANSLATE_NOOP("Cli", "file invalid")},
    {"6", QT_TRANSLATE_NOOP("Cli", "refused by the rules, or a question nobody answered: nothing was written")},
    {"7", QT_TRANSLATE_NOOP("Cli", "read-back differs from the file")},
    {"8", QT_TRANSLATE_NOOP("Cli", "other failure")},
    {"9", QT_TRANSLATE_NOOP("Cli", "partly written: the write stopped after data went out; restore the backup")},
    {"10", QT_TRANSLATE_NOOP("Cli", "stopped before anything was written (no backup, interrupted)")},
};

constexpr TermEntry EnvironmentTerms[] = {
    {"TUNEKIT_PASSWORD", QT_TRANSLATE_NOOP("Cli", "the password of the access level, when no --password-file is given")},
};

constexpr ProgramManual Manual{
    "tunekit-cli",
    "Cli",
    QT_TRANSLATE_NOOP("Cli", "configure and service radio remote control transmitters from the command line"),
    QT_TRANSLATE_NOOP("Cli", "COMMAND [FILE] [options]"),
    QT_TRANSLATE_NOOP("Cli", "Runs the same logic as the Tunekit window without a display, for production lines and "
                             "service benches: the same rules, messages and files, plus a backup before every write "
                             "and a read-back check after it.\n\nThe access level comes from the password in "
                             "TUNEKIT_PASSWORD or in the file named by --password-file, never from the command line; "
                             "without one, level 1 applies. A question the window would ask is answered by its "
                             "option or by --yes; unanswered, it is refused with its safe answer."),
    CommandTerms,
    OptionRows,
    ExitStatusTerms,
    EnvironmentTerms,
    "tunekit(1), tunekit-sim(1)",
};

} // namespace

QString PortSystemName(const QString& port)
{
    bool number = false;
    const int n = (port.startsWith(QLatin1StringView("COM"), Qt::CaseInsensitive) ? port.mid(3) : port).toInt(&number);
    return number && n >= 1 && n <= 256 ? SystemPortName(n) : port;
}

QString CommandName(Command command)
{
    for (const CommandWord& name : Commands) {
        if (name.command == command)
            return QString::fromLatin1(name.name);
    }
    return {};
}

ParsedArguments ParseArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions(ParserOptions(Manual));
    const auto isSet = [&parser](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
    const auto value = [&parser](const char* name) { return parser.value(QString::fromLatin1(name)); };

    ParsedArguments parsed;
    parsed.json = arguments.contains(QStringLiteral("--json"));
    if (!parser.parse(QStringList{QStringLiteral("tunekit-cli")} + arguments)) {
        parsed.message = parser.errorText();
        return parsed;
    }
    if (const StandardRequest request = StandardRequestOf(parser); request != StandardRequest::None) {
        parsed.help = true;
        parsed.message = StandardRequestText(Manual, request);
        return parsed;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "No command given (try --help)."));
        return parsed;
    }
    Options options;
    const CommandWord* chosen = nullptr;
    for (const CommandWord& command : Commands) {
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
    options.output = value("o");
    options.info = isSet("info");
    options.noBackup = isSet("no-backup");
    options.noVerify = isSet("no-verify");
    if (isSet("backup-dir"))
        options.backupDir = value("backup-dir");
    options.port = value("port");
    options.simulate = isSet("simulate");
    if (isSet("config-id")) {
        bool ok = false;
        options.configId = value("config-id").toInt(&ok);
        if (!ok || options.configId < 1) {
            parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "--config-id needs a ConfigID such as 53."));
            return parsed;
        }
    }
    if (options.simulate && !options.port.isEmpty()) {
        parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "--simulate and --port exclude each other."));
        return parsed;
    }
    options.paced = isSet("paced");
    options.json = isSet("json");
    if (isSet("lang")) {
        options.language = value("lang").toUpper();
        if (options.language != QLatin1StringView("DE") && options.language != QLatin1StringView("EN")) {
            parsed.message = Tr(QT_TRANSLATE_NOOP("Cli", "--lang takes de or en."));
            return parsed;
        }
    }
    options.quiet = isSet("q");
    options.passwordFile = value("password-file");
    auto answer = [&](const char* on, const char* off) -> std::optional<bool> {
        if (isSet(on))
            return true;
        if (isSet(off))
            return false;
        return std::nullopt;
    };
    options.answers.extendedData = answer("extended-data", "no-extended-data");
    options.answers.calibration = answer("write-calibration", "keep-calibration");
    options.answers.configMismatch = isSet("allow-config-mismatch") ? std::optional<bool>(true) : std::nullopt;
    options.answers.defaults = answer("init-defaults", "no-init-defaults");
    options.answers.yes = isSet("yes");
    parsed.options = options;
    return parsed;
}

} // namespace tunekit::cli
