#include "cli/cli_options.h"

#include "base/option_table.h"
#include "host/port_names.h"
#include "records/store_choice.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace tunekit::cli {
namespace {

// The commands an option applies to, or an exit status may end: bit i for command i.
constexpr unsigned only(std::initializer_list<Command> commands)
{
    unsigned bits = 0;
    for (const Command command : commands)
        bits |= 1u << static_cast<unsigned>(command);
    return bits;
}

constexpr unsigned DeviceCommands = only({Command::Detect, Command::Read, Command::Diff, Command::Write, Command::Restore});
constexpr unsigned WriteCommands = only({Command::Write, Command::Restore});
// Commands that take a file, and the device commands, which may read a password file.
constexpr unsigned FileCommands = DeviceCommands | only({Command::Verify, Command::Convert});

// A command: its word on the command line, whether a FILE follows it, and what --help and the
// manual page say of it. Parsing and help read the same row.
struct CommandRow {
    const char* name;
    Command command;
    bool needsFile;
    TermEntry help; // its term starts with the name
};

constexpr CommandRow Commands[] = {
    {"ports", Command::Ports, false,
     {"ports", QT_TRANSLATE_NOOP("Cli", "list the serial ports, marking the programming adapter")}},
    {"detect", Command::Detect, false,
     {"detect", QT_TRANSLATE_NOOP("Cli", "print the ConfigID of the connected transmitter")}},
    {"read", Command::Read, false,
     {QT_TRANSLATE_NOOP("Cli", "read [-o FILE.scd] [--info]"),
      QT_TRANSLATE_NOOP("Cli", "read the device and print its values; -o saves a backup file")}},
    {"diff", Command::Diff, true,
     {QT_TRANSLATE_NOOP("Cli", "diff FILE.scd"),
      QT_TRANSLATE_NOOP("Cli", "list what writing FILE would change (exit 1 when anything)")}},
    {"write", Command::Write, true,
     {QT_TRANSLATE_NOOP("Cli", "write FILE.scd [--yes] [--no-backup] [--no-verify] [--backup-dir DIR]"),
      QT_TRANSLATE_NOOP("Cli", "back the device up, write FILE as the window does, read back")}},
    {"restore", Command::Restore, true,
     {QT_TRANSLATE_NOOP("Cli", "restore BACKUP.scd"),
      QT_TRANSLATE_NOOP("Cli", "write a backup back and read it back, as write does")}},
    {"verify", Command::Verify, true,
     {QT_TRANSLATE_NOOP("Cli", "verify FILE.scd"), QT_TRANSLATE_NOOP("Cli", "the checksum state of FILE")}},
    {"convert", Command::Convert, true,
     {QT_TRANSLATE_NOOP("Cli", "convert FILE.scd"), QT_TRANSLATE_NOOP("Cli", "add the checksum, keeping a .bak copy")}},
    {"report", Command::Report, false,
     {QT_TRANSLATE_NOOP("Cli", "report [-o FILE]"), QT_TRANSLATE_NOOP("Cli", "the parameter report")}},
    {"records", Command::Records, false,
     {QT_TRANSLATE_NOOP("Cli", "records [--serial N] [--since DATE] [--until DATE] [--result failed|passed] [--csv|--json]"),
      QT_TRANSLATE_NOOP("Cli", "the traceability records of the store, oldest first")}},
};

// Each command's help names it first, and the rows are in the order of the commands, so that a
// command's bit is its row.
constexpr bool termsNameTheCommands()
{
    for (std::size_t i = 0; i < std::size(Commands); ++i) {
        const CommandRow& row = Commands[i];
        if (static_cast<std::size_t>(row.command) != i)
            return false;
        const std::string_view term = row.help.term;
        const std::string_view name = row.name;
        if (!term.starts_with(name) || (term.size() > name.size() && term[name.size()] != ' '))
            return false;
    }
    return true;
}
static_assert(termsNameTheCommands());

// The help column of a table whose rows say what --help and the manual page show of them.
template <typename Row, std::size_t Count>
constexpr std::array<TermEntry, Count> helpTerms(const Row (&rows)[Count])
{
    std::array<TermEntry, Count> terms{};
    for (std::size_t i = 0; i < Count; ++i)
        terms[i] = rows[i].help;
    return terms;
}

constexpr auto CommandTerms = helpTerms(Commands);

// An option: how --help and the manual page show it, and what it sets in the options. A value the
// option cannot take gives the usage error, else "".
struct OptionRow {
    OptionEntry entry;
    QString (*apply)(Options& options, const QString& value);
    unsigned commands = EveryCommand; // any other command refuses it
};

template <bool Options::*Field>
QString turnOn(Options& options, const QString&)
{
    options.*Field = true;
    return {};
}

template <QString Options::*Field>
QString takeText(Options& options, const QString& value)
{
    options.*Field = value;
    return {};
}

template <QStringList Options::*Field>
QString appendText(Options& options, const QString& value)
{
    (options.*Field).append(value);
    return {};
}

// The answer to one of the window's questions; when both the option for Yes and the one for No
// are given, Yes counts.
template <std::optional<bool> Answers::*Field, bool Yes>
QString answer(Options& options, const QString&)
{
    std::optional<bool>& given = options.answers.*Field;
    given = Yes || given.value_or(false);
    return {};
}

QString takeConfigId(Options& options, const QString& value)
{
    bool ok = false;
    options.simulated.configId = value.toInt(&ok);
    if (!ok)
        return QCoreApplication::translate("Cli", "--config-id needs a ConfigID such as 53.");
    return simulatedConfigIdProblem(options.simulated.configId);
}

QString takeLanguage(Options& options, const QString& value)
{
    options.language = value.toUpper();
    return options.language == QLatin1StringView("DE") || options.language == QLatin1StringView("EN")
               ? QString()
               : QCoreApplication::translate("Cli", "--lang takes de or en.");
}

QString takeSerial(Options& options, const QString& value)
{
    options.recordFilter.serialNumber = value;
    return {};
}

template <records::Bound Which>
QString takeTime(Options& options, const QString& value)
{
    const std::optional<QDateTime> time = records::filterTime(value, Which);
    (Which == records::Bound::Since ? options.recordFilter.since : options.recordFilter.until) = time;
    return time ? QString()
                : QCoreApplication::translate("Cli", "%1 is no date: give a day (2025-03-01) or a time (2025-03-01T08:00:00Z).")
                      .arg(value);
}

QString takeRecordsUrl(Options& options, const QString& value)
{
    options.recordsUrl = value;
    return records::recordsUrlProblem(value);
}

QString takeResult(Options& options, const QString& value)
{
    options.recordFilter.result = value.toLower();
    return options.recordFilter.result == QLatin1StringView(records::ResultFailed)
                   || options.recordFilter.result == QLatin1StringView(records::ResultPassed)
               ? QString()
               : QCoreApplication::translate("Cli", "--result takes failed or passed.");
}

// What the command does.
constexpr OptionRow CommandOptions[] = {
    {{"o", QT_TRANSLATE_NOOP("Cli", "FILE"),
      QT_TRANSLATE_NOOP("Cli", "read: save the values in FILE in the backup format; report: write the report to FILE; - for standard output")},
     takeText<&Options::output>, only({Command::Read, Command::Report})},
    {{"info", "", QT_TRANSLATE_NOOP("Cli", "read: read the information texts too")}, turnOn<&Options::info>, only({Command::Read})},
    {{"no-backup", "", QT_TRANSLATE_NOOP("Cli", "write: no backup of the device first")}, turnOn<&Options::noBackup>, WriteCommands},
    {{"no-verify", "", QT_TRANSLATE_NOOP("Cli", "write: no read-back check after writing")},
     turnOn<&Options::noVerify>, WriteCommands},
    {{"strict", "", QT_TRANSLATE_NOOP("Cli", "verify, diff, write, restore: refuse a file with lines that set nothing")},
     turnOn<&Options::strict>, WriteCommands | only({Command::Verify, Command::Diff})},
    {{"convert-checksum", "",
      QT_TRANSLATE_NOOP("Cli", "write, restore: give a file whose checksum is not valid a new one (keeping a .bak copy) and write it")},
     turnOn<&Options::convertChecksum>, WriteCommands},
    {{"backup-dir", QT_TRANSLATE_NOOP("Cli", "DIR"),
      QT_TRANSLATE_NOOP("Cli", "write: the folder of the backups (default: backups)")},
     takeText<&Options::backupDir>, WriteCommands},
};

// Which transmitter, on which line.
constexpr OptionRow ConnectionOptions[] = {
    {{"port", "NAME", QT_TRANSLATE_NOOP("Cli", "serial port (system name or COM number); default: TUNEKIT_PORT, else find the adapter; given again, one more channel")},
     appendText<&Options::ports>, DeviceCommands},
    {{"adapter", "SERIAL", QT_TRANSLATE_NOOP("Cli", "the channel of the adapter with this USB serial number, whichever socket it is in (see ports); may be given again")},
     appendText<&Options::adapters>, DeviceCommands},
    {{"simulate", "", QT_TRANSLATE_NOOP("Cli", "the built-in simulated transmitter")}, turnOn<&Options::simulate>, DeviceCommands},
    {{"config-id", "N", QT_TRANSLATE_NOOP("Cli", "ConfigID of the simulated transmitter (default 5)")}, takeConfigId, DeviceCommands},
};

// How the run goes and speaks, and who runs it.
constexpr OptionRow RunOptions[] = {
    {{"paced", "", QT_TRANSLATE_NOOP("Cli", "one packet per 10 ms tick")}, turnOn<&Options::paced>, DeviceCommands},
    {{"json", "", QT_TRANSLATE_NOOP("Cli", "machine-readable output")}, turnOn<&Options::json>},
    {{"lang", "de|en", QT_TRANSLATE_NOOP("Cli", "language of the messages (default: the system's)")}, takeLanguage},
    {{"q|quiet", "", QT_TRANSLATE_NOOP("Cli", "no progress and no messages but errors")}, turnOn<&Options::quiet>},
    {{"v|verbose", "", QT_TRANSLATE_NOOP("Cli", "the packet trace on standard error as well, each packet sent and received with date and time")},
     turnOn<&Options::verbose>, DeviceCommands},
    {{"password-file", QT_TRANSLATE_NOOP("Cli", "FILE"),
      QT_TRANSLATE_NOOP("Cli", "the access level's password (or TUNEKIT_PASSWORD); default level 1")},
     takeText<&Options::passwordFile>, DeviceCommands},
    {{"log", QT_TRANSLATE_NOOP("Cli", "FILE"),
      QT_TRANSLATE_NOOP("Cli", "write the packet trace to FILE: each packet sent and received, with date and time (several channels: one file each, FILE-PORT)")},
     takeText<&Options::log>, DeviceCommands},
};

// The answers to the questions the window would ask.
constexpr OptionRow AnswerOptions[] = {
    {{"yes", "", QT_TRANSLATE_NOOP("Cli", "answer every question the window asks as its default does (Yes)")},
     [](Options& options, const QString&) {
         options.answers.yes = true;
         return QString();
     }, WriteCommands},
    {{"extended-data", "", QT_TRANSLATE_NOOP("Cli", "write the file's extended data too")},
     answer<&Answers::extendedData, true>, WriteCommands},
    {{"no-extended-data", "", QT_TRANSLATE_NOOP("Cli", "write the parameters only, without the extended data")},
     answer<&Answers::extendedData, false>, WriteCommands},
    {{"write-calibration", "", QT_TRANSLATE_NOOP("Cli", "overwrite the device's calibration values")},
     answer<&Answers::calibration, true>, WriteCommands},
    {{"keep-calibration", "", QT_TRANSLATE_NOOP("Cli", "keep the device's calibration values")},
     answer<&Answers::calibration, false>, WriteCommands},
    {{"allow-config-mismatch", "", QT_TRANSLATE_NOOP("Cli", "write data made for another ConfigID")},
     answer<&Answers::configMismatch, true>, WriteCommands},
    {{"allow-out-of-range", "", QT_TRANSLATE_NOOP("Cli", "write values outside the range their description states (--yes does not)")},
     answer<&Answers::outOfRange, true>, WriteCommands},
    {{"init-defaults", "", QT_TRANSLATE_NOOP("Cli", "put defaults in place of values that look erased")},
     answer<&Answers::defaults, true>, WriteCommands},
    {{"no-init-defaults", "", QT_TRANSLATE_NOOP("Cli", "leave values that look erased as they are")},
     answer<&Answers::defaults, false>, WriteCommands},
};

// Where the records go, and which of them the records command shows.
constexpr OptionRow RecordOptions[] = {
    {{"records", "URL",
      QT_TRANSLATE_NOOP("Cli", "the records store: postgresql://user@host[:port]/database or sqlite:PATH (default: "
                               "TUNEKIT_RECORDS, else a file in the user's data folder)")},
     takeRecordsUrl, DeviceCommands | only({Command::Records})},
    {{"serial", "N", QT_TRANSLATE_NOOP("Cli", "records: only the unit with this serial number")}, takeSerial, only({Command::Records})},
    {{"since", "DATE", QT_TRANSLATE_NOOP("Cli", "records: from this day (YYYY-MM-DD) or time (ISO 8601) on")},
     takeTime<records::Bound::Since>, only({Command::Records})},
    {{"until", "DATE", QT_TRANSLATE_NOOP("Cli", "records: up to this day, inclusive, or this time")},
     takeTime<records::Bound::Until>, only({Command::Records})},
    {{"result", "failed|passed", QT_TRANSLATE_NOOP("Cli", "records: only the failed or only the passed operations")},
     takeResult, only({Command::Records})},
    {{"history", "", QT_TRANSLATE_NOOP("Cli", "records: the history of the unit --serial names, newest first, as the window shows it")},
     turnOn<&Options::history>, only({Command::Records})},
    {{"csv", "", QT_TRANSLATE_NOOP("Cli", "records: comma-separated values with a header line")}, turnOn<&Options::csv>, only({Command::Records})},
};

// One format at a time.
QString formatConflict(const Options& options)
{
    if (options.csv && options.json)
        return QCoreApplication::translate("Cli", "--csv and --json exclude each other.");
    const records::RecordFilter& filter = options.recordFilter;
    if (options.history && (filter.serialNumber.isEmpty() || filter.since || filter.until || !filter.result.isEmpty()
                            || options.csv || options.json))
        return QCoreApplication::translate("Cli", "--history shows the whole life of one unit as lines: give --serial, "
                                                  "and none of --since, --until, --result, --csv and --json.");
    if (options.output == QLatin1StringView("-") && options.json)
        return QCoreApplication::translate("Cli", "-o - and --json exclude each other: both are standard output.");
    return {};
}

// Only one transmitter can answer: the simulated one or the one on a port. Several channels are
// for the commands that work on a device, each channel on its own.
QString connectionConflict(const Options& options)
{
    if (options.simulate && (!options.ports.value(0).isEmpty() || !options.adapters.isEmpty()))
        return QCoreApplication::translate("Cli", "--simulate and --port exclude each other.");
    if (!runsChannels(options))
        return {};
    if (!usesDevice(options.command))
        return QCoreApplication::translate("Cli", "Several channels are for detect, read, diff, write and restore.");
    if (!options.output.isEmpty())
        return QCoreApplication::translate("Cli", "-o takes one channel.");
    return {};
}

// The options in the order --help lists them and the command line is checked: each group's
// options in turn, then the group's check of them together.
struct OptionGroup {
    std::span<const OptionRow> rows;
    QString (*check)(const Options& options) = nullptr;
};

constexpr OptionGroup OptionGroups[] = {
    {CommandOptions},
    {ConnectionOptions, connectionConflict},
    {RunOptions},
    {AnswerOptions},
    {RecordOptions, formatConflict},
};

constexpr std::size_t OptionCount = [] {
    std::size_t count = 0;
    for (const OptionGroup& group : OptionGroups)
        count += group.rows.size();
    return count;
}();

constexpr auto OptionEntries = [] {
    std::array<OptionEntry, OptionCount> entries{};
    std::size_t next = 0;
    for (const OptionGroup& group : OptionGroups) {
        for (const OptionRow& row : group.rows) {
            entries[next] = row.entry;
            entries[next++].commands = row.commands;
        }
    }
    return entries;
}();

// What --help and the manual page say of each exit status, in the order of their numbers.
struct ExitRow {
    Exit status;
    TermEntry help; // its term is the status's number
};

constexpr ExitRow ExitStatuses[] = {
    {Exit::Ok, {"0", QT_TRANSLATE_NOOP("Cli", "done")}},
    {Exit::Differs, {"1", QT_TRANSLATE_NOOP("Cli", "diff found differences"), only({Command::Diff})}},
    {Exit::Usage, {"2", QT_TRANSLATE_NOOP("Cli", "usage error")}},
    {Exit::NoPort, {"3", QT_TRANSLATE_NOOP("Cli", "no port or adapter, or the port is in use"), DeviceCommands}},
    {Exit::NoDevice, {"4", QT_TRANSLATE_NOOP("Cli", "device not answering"), DeviceCommands}},
    {Exit::FileInvalid, {"5", QT_TRANSLATE_NOOP("Cli", "file invalid or unreadable (the password file too)"), FileCommands}},
    {Exit::Refused,
     {"6", QT_TRANSLATE_NOOP("Cli", "refused by the rules, or a question nobody answered: nothing was written"),
      DeviceCommands | only({Command::Convert})}},
    {Exit::VerifyMismatch, {"7", QT_TRANSLATE_NOOP("Cli", "read-back differs from the file"), WriteCommands}},
    {Exit::Failed, {"8", QT_TRANSLATE_NOOP("Cli", "other failure")}},
    {Exit::PartlyWritten,
     {"9", QT_TRANSLATE_NOOP("Cli", "partly written: the write stopped after data went out; restore the backup"),
      WriteCommands}},
    {Exit::NotWritten,
     {"10", QT_TRANSLATE_NOOP("Cli", "stopped before anything was written (no backup, interrupted)"), DeviceCommands}},
};

// Every status is listed, once, under its own number.
constexpr bool termsNumberTheStatuses()
{
    for (std::size_t i = 0; i < std::size(ExitStatuses); ++i) {
        int number = 0;
        for (const char* digit = ExitStatuses[i].help.term; *digit; ++digit)
            number = number * 10 + (*digit - '0');
        if (static_cast<int>(ExitStatuses[i].status) != static_cast<int>(i) || number != static_cast<int>(i))
            return false;
    }
    return std::size(ExitStatuses) == static_cast<std::size_t>(Exit::NotWritten) + 1;
}
static_assert(termsNumberTheStatuses());

constexpr auto ExitStatusTerms = helpTerms(ExitStatuses);

constexpr TermEntry EnvironmentTerms[] = {
    {"TUNEKIT_PORT", QT_TRANSLATE_NOOP("Cli", "the serial port, when no --port, --adapter or --simulate is given")},
    {"TUNEKIT_PASSWORD", QT_TRANSLATE_NOOP("Cli", "the password of the access level, when no --password-file is given")},
    {"TUNEKIT_RECORDS", QT_TRANSLATE_NOOP("Cli", "the records store, when no --records is given")},
    {"PGPASSWORD, PGPASSFILE",
     QT_TRANSLATE_NOOP("Cli", "the records server's password, or the file that holds it (default ~/.pgpass)")},
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
    OptionEntries,
    ExitStatusTerms,
    EnvironmentTerms,
    "tunekit(1), tunekit-sim(1)",
};

// A command that needs a FILE takes exactly one; the others take none.
QString takeFile(const CommandRow& command, const QStringList& positional, Options& options)
{
    if (positional.size() != (command.needsFile ? 2 : 1)) {
        const QString text = command.needsFile ? QCoreApplication::translate("Cli", "The command \"%1\" needs one file.")
                                               : QCoreApplication::translate("Cli", "The command \"%1\" takes no file.");
        return text.arg(positional.first());
    }
    if (command.needsFile)
        options.file = positional.at(1);
    return {};
}

// The command word and, for a command that needs one, its FILE: the positional arguments.
QString takeCommand(const QStringList& positional, Options& options)
{
    if (positional.isEmpty())
        return QCoreApplication::translate("Cli", "No command given (try --help).");
    const QString& word = positional.first();
    const auto named = [&word](const CommandRow& command) { return word == QLatin1StringView(command.name); };
    const auto row = std::ranges::find_if(Commands, named);
    if (row == std::end(Commands)) {
        QStringList names;
        for (const CommandRow& command : Commands)
            names << QString::fromLatin1(command.name);
        if (const QString meant = nearestWord(word, names); !meant.isEmpty())
            return QCoreApplication::translate("Cli", "Unknown command \"%1\". Did you mean \"%2\"?").arg(word, meant);
        return QCoreApplication::translate("Cli", "Unknown command \"%1\" (try --help).").arg(word);
    }
    options.command = row->command;
    return takeFile(*row, positional, options);
}

// The options of one group that the command line gives, then the group's check; the first usage
// error ends it.
QString takeOptions(const QCommandLineParser& parser, const OptionGroup& group, Options& options)
{
    for (const OptionRow& row : group.rows) {
        const QString name = QString::fromLatin1(row.entry.names).section(QLatin1Char('|'), 0, 0);
        if (!parser.isSet(name))
            continue;
        // An option given again (--port) is taken once for each value.
        const QStringList values = parser.values(name);
        for (const QString& value : values.isEmpty() ? QStringList{QString()} : values) {
            if (QString error = row.apply(options, value); !error.isEmpty())
                return error;
        }
    }
    return group.check ? group.check(options) : QString();
}

} // namespace

bool usesDevice(Command command)
{
    switch (command) {
    case Command::Detect:
    case Command::Read:
    case Command::Diff:
    case Command::Write:
    case Command::Restore: return true;
    case Command::Ports:
    case Command::Verify:
    case Command::Convert:
    case Command::Report:
    case Command::Records: break;
    }
    return false;
}

bool commandPassed(Command command, Exit exit)
{
    return exit == Exit::Ok || (command == Command::Diff && exit == Exit::Differs);
}

bool runsChannels(const Options& options)
{
    return options.ports.size() > 1 || !options.adapters.isEmpty();
}

QString portSystemName(const QString& port)
{
    bool number = false;
    const int n = (port.startsWith(QLatin1StringView("COM"), Qt::CaseInsensitive) ? port.mid(3) : port).toInt(&number);
    return number && n >= 1 && n <= 256 ? systemPortName(n) : port;
}

QString commandName(Command command)
{
    for (const CommandRow& row : Commands) {
        if (row.command == command)
            return QString::fromLatin1(row.name);
    }
    return {};
}

ParsedArguments parseArguments(const QStringList& arguments)
{
    ParsedArguments parsed;
    parsed.json = arguments.contains(QStringLiteral("--json"));
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions(parserOptions(Manual));
    if (!parser.parse(QStringList{QStringLiteral("tunekit-cli")} + arguments)) {
        parsed.message = usageErrorText(parser, Manual);
        return parsed;
    }
    if (const StandardRequest request = standardRequestOf(parser); request != StandardRequest::None) {
        parsed.help = true;
        parsed.message = standardRequestText(Manual, request, parser.positionalArguments());
        return parsed;
    }
    Options options;
    parsed.message = takeCommand(parser.positionalArguments(), options);
    if (parsed.message.isEmpty())
        parsed.message = misplacedOptionText(parser, Manual, static_cast<int>(options.command));
    for (const OptionGroup& group : OptionGroups) {
        if (parsed.message.isEmpty())
            parsed.message = takeOptions(parser, group, options);
    }
    if (parsed.message.isEmpty())
        parsed.options = options;
    return parsed;
}

LinePlan linePlan(const Options& options)
{
    LinePlan plan{std::nullopt, QString(), options.paced};
    if (options.simulate)
        plan.simulated = options.simulated;
    else if (const QString port = options.ports.value(0); !port.isEmpty())
        plan.port = portSystemName(port);
    return plan;
}

} // namespace tunekit::cli
