// bench_station: how close programming one unit comes to its floor, and how eight channels in
// one thread compare with one.
//
// Every unit is a simulated transmitter of family 53 served on a pseudo-terminal; every command
// run is a station of its own on that terminal, as `tunekit-cli write FILE --port P` builds it;
// everything runs in this one thread, in real time. One unit's cycle is what that command does:
// connect and detect, read the device for the backup, save the backup (into a temporary folder),
// write the file's values, read back and compare.
//
// The floor of a cycle is the wire time of the exchanges it made (a 20-character request and a
// 20-character answer at 38400 baud, 10 bits a character: 10.42 ms, so about 96 exchanges a
// second) plus the resets the README lists for a write (two: when connecting, and after the
// device stored the values) times the reset time (DTR low for 200 ms, then 2750 ms for the
// device to start). A pseudo-terminal has no DTR line: the simulated device does not restart,
// but the station waits out the reset time as it does on a real adapter.
//
//   bench_station              (a) one unit's cycle under the window's reset rules (as every
//                              command ran before) and reset only where needed (as
//                              tunekit-cli runs now), each against the floor;
//                              (b) 8 channels programming at once against one channel alone
//   --units N                  units each channel programs one after the other in (b) (default 2)
//   --channels N               channels in (b) (default 8)
#include "support/station_probe.h"
#include "access/access_levels.h"
#include "base/version_info.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "link/qserialport_line.h"
#include "link/qt_clock.h"
#include "session/station.h"
#include "sim/pty_server.h"
#include "sim/sim_line.h"
#include "sim/virtual_clock.h"
#include "support/rig.h"
#include "support/run_events.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace tunekit {
namespace {

constexpr double WireExchangeMs = 2.0 * 20 * 10 * 1000.0 / 38400.0;
constexpr qint64 ResetMs = 200 + 2750;
// The resets the README lists for a write with backup and verification.
constexpr int WriteResets = 2;
constexpr int ConfigId = 53;

AccessLevel level()
{
    return AccessLevel::production();
}

// One run of the command on a unit: a station of its own on the unit's terminal.
struct CommandRun {
    CommandRun(Clock& time, PtyServer& server, ResetPolicy policy)
        : clock(time), line([&server](int) { return server.slavePath(); })
    {
        station.setResetPolicy(policy);
        StationProbe::image(station).initDeviceImage(levelMarks(level()), Language::English);
    }

    Clock& clock;
    QSerialPortLine line;
    testing::ScriptedDialogs dialogs; // every question answered with its first button, as --yes
    testing::RecordingViews views;
    Station station{StationSeams{line, clock, dialogs}, views, [] { return level(); }};
};

// One channel: its unit's terminal and the command run on it now; finished runs stay (with
// their ports closed) until the channel goes.
struct Channel {
    explicit Channel(Clock& time) : clock(time), server(ConfigId) {}

    Clock& clock;
    PtyServer server;
    CommandRun* current = nullptr;
    std::vector<std::unique_ptr<CommandRun>> runs;
};

struct Cycle {
    bool ok = false;
    QString problem;
    int exchanges = 0;
    int resets = 0;
    qint64 ms = 0;

    double floorMs() const { return exchanges * WireExchangeMs + static_cast<double>(WriteResets * ResetMs); }
};

struct Files {
    QTemporaryDir folder;
    QString stationFile;
    QString backups() const { return folder.filePath(QStringLiteral("backups")); }
};

// The unit's cycle as tunekit-cli write runs it.
QCoro::Task<Cycle> programUnit(Channel& channel, ResetPolicy policy, const Files& files)
{
    channel.runs.push_back(std::make_unique<CommandRun>(channel.clock, channel.server, policy));
    CommandRun& run = *channel.runs.back();
    Station& station = run.station;
    const testing::FixedHost host;
    const VersionInfo version = makeVersionInfo();
    const qsizetype requestsBefore = channel.server.device().requests().size();
    Cycle cycle;
    QElapsedTimer wall;
    wall.start();
    channel.current = &run;
    if (!station.openAdapterPort(1)) {
        cycle.problem = QStringLiteral("the port does not open");
    } else if (co_await station.detect() != ConfigId) {
        cycle.problem = QStringLiteral("not detected");
    } else if (!(co_await station.readParameters()).complete) {
        cycle.problem = QStringLiteral("the backup read is incomplete");
    } else if (station.saveBackup(files.backups(), host, version).status != BackupOutcome::Status::Saved) {
        cycle.problem = QStringLiteral("the backup was not saved");
    } else if (openConfigFile(files.stationFile, StationProbe::image(station), run.dialogs, level(), host.now().date()) != OpenStatus::Loaded) {
        cycle.problem = QStringLiteral("the station file does not open");
    } else if ((co_await station.writeImage()).result != WriteResult::Done) {
        cycle.problem = QStringLiteral("the write failed");
    } else if (!(co_await station.verifyWrite()).verified) {
        cycle.problem = QStringLiteral("the read-back differs");
    } else {
        cycle.ok = station.image().value[7] == QStringLiteral("20");
        if (!cycle.ok)
            cycle.problem = QStringLiteral("TransmitPower was not written");
    }
    cycle.ms = wall.elapsed();
    cycle.exchanges = static_cast<int>(channel.server.device().requests().size() - requestsBefore);
    cycle.resets = static_cast<int>(StationProbe::port(station).resetsStarted());
    station.closePort();
    channel.current = nullptr;
    co_return cycle;
}

// The station file: a unit's own values as a restorable backup with TransmitPower 20 instead
// of 27, made against the in-process simulated transmitter in virtual time.
bool makeStationFile(Files& files)
{
    VirtualClock clock;
    bool ok = false;
    {
        SimLine line(clock, ConfigId);
        testing::ScriptedDialogs dialogs;
        testing::RecordingViews views;
        const testing::FixedHost host;
        Station station(StationSeams{line, clock, dialogs}, views, [] { return level(); });
        StationProbe::image(station).initDeviceImage(levelMarks(level()), Language::English);
        clock.startTicker(10, [&station] { station.tick(); });
        station.openAdapterPort(1);
        const QString path = files.folder.filePath(QStringLiteral("unit.scd"));
        bool read = false;
        whenDone<ReadOutcome>(
            [](Station& s) -> QCoro::Task<ReadOutcome> {
                co_await s.detect();
                co_return co_await s.readParameters();
            }(station),
            [&read](ReadOutcome outcome) { read = outcome.complete; });
        testing::runEventsUntil(clock, [&read] { return read; }, 60000);
        if (read && writeRestorableBackup({StationProbe::image(station), host, makeVersionInfo(), dialogs}, path) == WriteOutcome::Written) {
            QFile unit(path);
            QByteArray bytes = unit.open(QIODevice::ReadOnly) ? unit.readAll() : QByteArray();
            bytes.chop(4); // its checksum
            if (bytes.contains("TransmitPower=27\r\n")) {
                bytes.replace("TransmitPower=27\r\n", "TransmitPower=20\r\n");
                files.stationFile = files.folder.filePath(QStringLiteral("station.scd"));
                ok = saveConfigFile(files.stationFile, withChecksumTrailer(bytes)).isEmpty();
            }
        }
        clock.clear();
    }
    return ok;
}

// n channels at once, each programming units units one after the other; the cycles of all.
std::vector<Cycle> program(int n, int units, ResetPolicy policy, const Files& files, qint64& wallMs)
{
    QtClock clock;
    std::vector<std::unique_ptr<Channel>> channels;
    std::vector<Cycle> cycles;
    for (int i = 0; i < n; ++i) {
        channels.push_back(std::make_unique<Channel>(clock));
        if (!channels.back()->server.start()) {
            std::fprintf(stderr, "%s\n", qPrintable(channels.back()->server.errorText()));
            return cycles;
        }
    }
    clock.startTicker(10, [&channels] {
        for (const auto& channel : channels) {
            if (channel->current)
                channel->current->station.tick();
        }
    });
    int done = 0;
    QElapsedTimer wall;
    wall.start();
    for (const auto& channel : channels) {
        whenDone([](Channel& one, int count, ResetPolicy how, const Files& in, std::vector<Cycle>& out) -> QCoro::Task<> {
            for (int unit = 0; unit < count; ++unit)
                out.push_back(co_await programUnit(one, how, in));
        }(*channel, units, policy, files, cycles),
                 [&done] { ++done; });
    }
    testing::runEventsUntil(clock, [&done, n] { return done == n; }, 600000);
    wallMs = wall.elapsed();
    return cycles;
}

bool allOk(const std::vector<Cycle>& cycles, int expected)
{
    bool ok = static_cast<int>(cycles.size()) == expected;
    for (const Cycle& cycle : cycles) {
        if (!cycle.ok)
            std::fprintf(stderr, "  a cycle failed: %s\n", qPrintable(cycle.problem));
        ok = ok && cycle.ok;
    }
    return ok;
}

// (a) One unit alone under the policy; prints its line and gives the ratio floor/actual.
bool oneCycle(const char* name, ResetPolicy policy, const Files& files, double& ratio)
{
    qint64 wallMs = 0;
    const std::vector<Cycle> cycles = program(1, 1, policy, files, wallMs);
    if (!allOk(cycles, 1))
        return false;
    const Cycle& cycle = cycles.front();
    ratio = cycle.floorMs() / static_cast<double>(qMax<qint64>(1, cycle.ms));
    std::printf("  %-28s %d resets, %d exchanges, %6.2f s; floor %.2f s (%.2f s wire + %d x %.2f s reset): "
                "floor/actual %.2f\n",
                name, cycle.resets, cycle.exchanges, static_cast<double>(cycle.ms) / 1000.0, cycle.floorMs() / 1000.0,
                cycle.exchanges * WireExchangeMs / 1000.0, WriteResets, static_cast<double>(ResetMs) / 1000.0, ratio);
    std::fflush(stdout);
    return true;
}

double unitsPerMinute(int units, qint64 ms)
{
    return ms > 0 ? units * 60000.0 / static_cast<double>(ms) : 0.0;
}

} // namespace
} // namespace tunekit

int main(int argc, char* argv[])
{
    using namespace tunekit;
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const auto number = [&args](const char* option, int fallback) {
        const qsizetype at = args.indexOf(QLatin1StringView(option));
        return at >= 0 && at + 1 < args.size() ? qMax(1, args.at(at + 1).toInt()) : fallback;
    };
    const int units = number("--units", 2);
    const int channels = number("--channels", 8);

    Files files;
    if (!files.folder.isValid() || !makeStationFile(files)) {
        std::fprintf(stderr, "the station file could not be made\n");
        return 1;
    }

    std::printf("(a) one unit's cycle (detect, read for the backup, save it, write the file, read back and compare),\n"
                "    pseudo-terminal, real time; the floor counts the %d resets the README lists for a write:\n",
                WriteResets);
    double before = 0;
    double after = 0;
    bool ok = oneCycle("window's rules (before):", ResetPolicy::AfterEveryBatch, files, before);
    ok = oneCycle("only where needed (after):", ResetPolicy::WhereNeeded, files, after) && ok;
    std::printf("    floor/actual %.2f (goal 0.85: %s)\n", after, after >= 0.85 ? "met" : "NOT met");

    qint64 aloneMs = 0;
    qint64 togetherMs = 0;
    const std::vector<Cycle> alone = program(1, units, ResetPolicy::WhereNeeded, files, aloneMs);
    const std::vector<Cycle> together = program(channels, units, ResetPolicy::WhereNeeded, files, togetherMs);
    ok = allOk(alone, units) && ok;
    ok = allOk(together, channels * units) && ok;
    const double alonePerMinute = unitsPerMinute(units, aloneMs);
    const double togetherPerMinute = unitsPerMinute(channels * units, togetherMs);
    const double speedUp = alonePerMinute > 0 ? togetherPerMinute / alonePerMinute : 0.0;
    std::printf("(b) units one after the other on each channel (%d each), only where needed, one thread:\n"
                "  one channel:  %d units in %6.2f s, %5.1f units/min\n"
                "  %d channels:   %d units in %6.2f s, %5.1f units/min\n"
                "    %.2f times the units per minute of one channel (goal 7: %s)\n",
                units, units, static_cast<double>(aloneMs) / 1000.0, alonePerMinute, channels, channels * units,
                static_cast<double>(togetherMs) / 1000.0, togetherPerMinute, speedUp, speedUp >= 7.0 ? "met" : "NOT met");
    return ok ? 0 : 1;
}
