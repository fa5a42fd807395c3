#pragma once

#include "cli/cli_program.h"
#include "cli/cli_seams.h"
#include "sim/line_plan.h"
#include "link/waits.h"
#include "records/record_keeper.h"
#include "sim/sim_line.h"
#include "sim/sim_switches.h"
#include "sim/virtual_clock.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <map>
#include <memory>

namespace tunekit::testing {

// What a run printed, kept in memory. Standard output fails, as on a full disk, when told to.
class KeptStreams final : public cli::Streams {
public:
    bool out(const QString& text) override
    {
        if (outputFails)
            return false;
        outText += text;
        return true;
    }
    bool error(const QString& text) override
    {
        errorText += text;
        if (onError)
            onError(errorText);
        return true;
    }
    bool outBytes(QByteArrayView bytes) override
    {
        if (outputFails)
            return false;
        outFile += bytes;
        return true;
    }
    bool errorIsTerminal() const override { return false; }

    QByteArray outFile; // what went out as bytes (-o -)
    QString outText;
    QString errorText;
    bool outputFails = false;
    std::function<void(const QString&)> onError; // told all of standard error so far, after each piece
};

// Keeps each record at once, on this thread, in the store the run chose: a keeper's thread
// would need events that virtual time never runs.
class RecordsAtOnce final : public records::RecordSink {
public:
    explicit RecordsAtOnce(records::ChosenStore chosen) : chosen_(std::move(chosen)) {}
    QCoro::Task<records::RecordOutcome> keep(records::OperationRecord record) override
    {
        if (!chosen_.store)
            co_return records::RecordOutcome{records::RecordOutcome::Status::Failed, chosen_.error, false};
        co_return chosen_.store->add(record);
    }

private:
    records::ChosenStore chosen_;
};

// What a run of tunekit-cli left: its exit status and its output.
struct CliResult {
    int exit = -1;
    QString out;
    QString err;
    QByteArray outFile; // a file written to standard output
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// A bench of simulated transmitters, each on a port of its own, and tunekit-cli's whole program
// run against them in this process on one virtual clock: a reset costs no real time. A unit
// keeps what was written to it from run to run, as a transmitter on the bench does; each run
// plugs a line of its own into it. A port the bench has no unit on is the system's.
class CliBench {
public:
    // dataFolder: the user's data folder of every run (records file and spool).
    explicit CliBench(QString dataFolder) : dataFolder_(std::move(dataFolder)) {}

    // Puts a unit set up by tunekit-sim's options on the port (in place of the one there); the
    // runs use that port unless their command line names one. False for options that are not valid.
    bool plug(const QString& simOptions, const QString& port = QStringLiteral("/dev/ttyBench0"))
    {
        const std::optional<SimSwitches> switches = parseSimSwitches(simOptions.split(u' ', Qt::SkipEmptyParts));
        if (!switches)
            return false;
        Unit& unit = units_[port];
        unit.switches = *switches;
        unit.device = std::make_unique<SimDevice>(switches->configId);
        switches->setUp(*unit.device);
        port_ = port;
        return true;
    }
    // Runs name their port themselves from now on.
    void unplugDefault() { port_.clear(); }
    QString port() const { return port_; }
    // The line a running command has plugged into the unit on port; none between runs.
    SimLine* line(const QString& port) const { return lines_.value(port); }

    // Runs tunekit-cli with the words of commandLine, in English unless --lang says otherwise,
    // on the bench's port unless --port is given, with the password as TUNEKIT_PASSWORD. Its
    // standard output fails when outputFails.
    CliResult cli(const QString& commandLine, const QByteArray& password = {}, bool outputFails = false)
    {
        QStringList arguments = commandLine.split(u' ', Qt::SkipEmptyParts);
        if (!port_.isEmpty() && onDevice(arguments) && !arguments.contains(u"--port") && !arguments.contains(u"--simulate")
            && !arguments.contains(u"--adapter"))
            arguments << QStringLiteral("--port") << port_;
        if (std::none_of(arguments.cbegin(), arguments.cend(), [](const QString& word) { return word.startsWith(u"--lang"); }))
            arguments << QStringLiteral("--lang") << QStringLiteral("en");
        KeptStreams streams;
        streams.outputFails = outputFails;
        std::optional<cli::Exit> exit;
        {
            cli::CliProgram program(arguments, seams(streams, QString::fromLatin1(password)));
            streams.onError = [this, &program](const QString& errorSoFar) {
                // As Ctrl-C does: the run hears of it from its event loop, not inside a print.
                if (interruptWhen && interruptWhen(errorSoFar)) {
                    interruptWhen = {};
                    clock.schedule(0, [&program] { program.interrupt(); });
                }
            };
            whenDone<cli::Exit>(program.run(), [&exit](cli::Exit ended) { exit = ended; });
            clock.runUntil([&exit] { return exit.has_value(); }, 3'600'000);
            // Nothing the run left on the clock may reach it once it is gone.
            clock.clear();
        }
        lines_.clear();
        interruptWhen = {};
        return {exit ? static_cast<int>(*exit) : -1, streams.outText, streams.errorText, streams.outFile};
    }

    // The command line's command works on a device, so a port may be added to it.
    static bool onDevice(const QStringList& arguments)
    {
        static const QStringList deviceCommands{QStringLiteral("detect"), QStringLiteral("read"), QStringLiteral("diff"),
                                                QStringLiteral("write"), QStringLiteral("restore")};
        return !arguments.isEmpty() && deviceCommands.contains(arguments.first());
    }

    // Told standard error so far as a run goes; true interrupts the run once, as Ctrl-C would.
    std::function<bool(const QString&)> interruptWhen;
    VirtualClock clock;
    QString environmentPort; // TUNEKIT_PORT of every run

private:
    struct Unit {
        SimSwitches switches;
        std::unique_ptr<SimDevice> device;
    };

    cli::RunSeams seams(cli::Streams& streams, const QString& password)
    {
        return {
            clock,
            streams,
            [this](const LinePlan& plan, Clock& runClock) -> std::unique_ptr<SerialLine> {
                const auto unit = units_.find(plan.port);
                if (plan.simulated || unit == units_.end())
                    return makeLine(plan, runClock);
                auto line = std::make_unique<SimLine>(runClock, *unit->second.device, unit->second.switches.faults);
                lines_.insert(plan.port, line.get());
                return line;
            },
            [](std::function<records::ChosenStore()> openStore) -> std::unique_ptr<records::RecordSink> {
                return std::make_unique<RecordsAtOnce>(openStore());
            },
            {password, QString(), dataFolder_, environmentPort},
        };
    }

    QString dataFolder_;
    std::map<QString, Unit> units_;
    QHash<QString, SimLine*> lines_;
    QString port_;
};

} // namespace tunekit::testing
