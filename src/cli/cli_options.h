#pragma once

#include "records/operation_record.h"
#include "sim/line_plan.h"
#include "sim/sim_switches.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tunekit::cli {

// Exit status of tunekit-cli; documented in its --help and in the README.
enum class Exit : int {
    Ok = 0,
    Differs = 1,        // diff: writing the file would change the device
    Usage = 2,          // bad command line
    NoPort = 3,         // no adapter or port, or the port is held by another program
    NoDevice = 4,       // the device did not answer (or the line corrupted the data)
    FileInvalid = 5,    // a file is missing, unreadable, not valid or without a valid checksum
    Refused = 6,        // the rules refused it, or a question had no answer
    VerifyMismatch = 7, // the read-back after a write differs from the file
    Failed = 8,         // something else failed (for example an output file could not be written)
    PartlyWritten = 9,  // a write stopped after data went out: the device holds part of it
    NotWritten = 10,    // a write stopped before anything was sent (no backup, interrupted)
    RecordLost = 11,    // the run's record could be kept neither in its store nor in the local spool
};

enum class Command { Ports, Detect, Read, Diff, Write, Restore, Verify, Convert, Report, Records };

// A question the window would ask, answered on the command line.
struct Answers {
    std::optional<bool> extendedData;   // --extended-data / --no-extended-data
    std::optional<bool> calibration;    // --write-calibration / --keep-calibration
    std::optional<bool> configMismatch; // --allow-config-mismatch
    std::optional<bool> defaults;       // --init-defaults / --no-init-defaults
    std::optional<bool> outOfRange;     // --allow-out-of-range (--yes does not answer it)
    bool yes = false;                   // --yes: the window's default answers
};

struct Options {
    Command command = Command::Ports;
    QString file;         // the FILE argument of diff, write, restore, verify, convert
    QString output;       // -o
    bool info = false;    // read --info
    bool noBackup = false;
    bool noVerify = false;
    QString backupDir = QStringLiteral("backups");
    bool strict = false;          // --strict: a file with lines that set nothing is refused
    bool convertChecksum = false; // --convert-checksum: a file changed after its checksum gets a new one
    QStringList ports;    // every --port (system name or COM number); several program several channels at once
    QStringList adapters; // --adapter: channels named by their adapter's USB serial number
    bool simulate = false;
    SimSwitches simulated; // the simulated transmitter; --config-id sets its family
    bool paced = false;
    bool json = false;
    QString language;     // "DE", "EN" or "" for the system's
    bool quiet = false;
    bool verbose = false; // -v: the packet trace on standard error too
    QString passwordFile;
    QString log;          // --log: the packet trace with times
    Answers answers;
    QString recordsUrl;               // --records; "" for TUNEKIT_RECORDS or the local file
    records::RecordFilter recordFilter; // records --serial, --since, --until, --result
    bool csv = false;                 // records --csv
    bool history = false;             // records --serial N --history
};

struct ParsedArguments {
    std::optional<Options> options; // empty on a usage error or when help, version or manual page was asked for
    QString message;                // the usage error, or the text asked for
    bool help = false;              // the text asked for, printed on standard output
    bool json = false;              // --json was among the arguments, even when they are not valid
};

// The command works on a device: it connects, leaves a record and may run on several channels.
bool usesDevice(Command command);

// The run did its work; a diff that finds differences has.
bool commandPassed(Command command, Exit exit);

// Several channels (ports or adapters) run in one process, each on its own.
bool runsChannels(const Options& options);

// The command's name on the command line ("read").
QString commandName(Command command);

// The arguments without the program name.
ParsedArguments parseArguments(const QStringList& arguments);

// The port name a --port value stands for: "7" and "COM7" name COM7 (on Linux /dev/ttyUSB6),
// anything else is a system name as it stands.
QString portSystemName(const QString& port);

// The line a run's options plan: --simulate, the first --port, or the adapter as found.
LinePlan linePlan(const Options& options);

} // namespace tunekit::cli
