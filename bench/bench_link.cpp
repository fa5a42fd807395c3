// bench_link: how close the stop-and-wait link comes to what the wire allows.
//
// Runs batches through the session's transmit engine to the simulated transmitter twice:
// in real time over a pseudo-terminal with the real QSerialPort, and in virtual time over
// the in-process line. One exchange is a 20-character request and a 20-character answer at
// 38400 baud, 10 bits a character: 10.42 ms, so the wire allows about 96 exchanges a second.
//
//   bench_link                 2000 reads each way
//   bench_link --interpreter   and a 64 KB interpreter's worth of Upload packets each way
//   bench_link --full-read     the Read button for ConfigID 5 and the information read at
//                              level 40, each way: from the click to the last value, and to idle
//   --paced                    one packet per timer tick instead of one as soon as the answer is in
//   --latency MS               the adapter's USB latency timer (62 bytes or MS milliseconds)
#include "support/station_probe.h"
#include "session/session.h"
#include "link/packet_codec.h"
#include "link/qserialport_line.h"
#include "link/qt_clock.h"
#include "sim/pty_server.h"
#include "sim/sim_line.h"
#include "sim/virtual_clock.h"
#include "support/run_events.h"
#include "support/pty_station.h"
#include "support/rig.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace tunekit {
namespace {

constexpr double WireExchangeMs = 2.0 * 20 * 10 * 1000.0 / 38400.0;
constexpr double WireExchangesPerSecond = 1000.0 / WireExchangeMs;
constexpr int ReadCount = 2000;
constexpr int InterpreterPackets = 65536 / 4;

// Passes everything through to the real line and notes when answer frames arrive (each ends
// in a carriage return), whatever their type.
class TimingLine final : public SerialLine {
public:
    TimingLine(SerialLine& inner, const Clock& clock) : inner_(inner), clock_(clock)
    {
        inner_.setListener([this](Event event) { notify(event); });
    }
    ~TimingLine() override { inner_.setListener({}); }

    bool open(int portNumber) override { return inner_.open(portNumber); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void setDtr(bool on) override { inner_.setDtr(on); }
    void setRts(bool on) override { inner_.setRts(on); }
    bool write(const QByteArray& bytes) override { return inner_.write(bytes); }
    QByteArray readAll() override
    {
        QByteArray bytes = inner_.readAll();
        if (const auto frames = static_cast<int>(bytes.count('\r')); frames > 0) {
            answers += frames;
            lastAnswerMs = clock_.nowMs();
        }
        return bytes;
    }
    QString portName() const override { return inner_.portName(); }

    int answers = 0;
    qint64 lastAnswerMs = 0;

private:
    SerialLine& inner_;
    const Clock& clock_;
};

// How the link runs: paced or not, and the adapter's latency timer.
struct LinkMode {
    bool paced = false;
    qint64 latencyMs = 0;
};

// The session as the main window builds it, over a given line and clock.
struct BenchSession {
    BenchSession(SerialLine& realLine, Clock& clock, const LinkMode& mode)
        : line(realLine, clock), session(SessionSeams{line, clock, dialogs, host, nullptr}, views, language)
    {
        session.setAutomaticResetOff(true);
        StationProbe::engine(session.device()).setPaced(mode.paced);
        clock.startTicker(10, [this] { session.mainTimerTick(); });
        StationProbe::port(session.device()).state().portNumber = 1;
        StationProbe::port(session.device()).state().adapterFound = StationProbe::port(session.device()).openPort();
    }

    TimingLine line;
    testing::ScriptedDialogs dialogs;
    testing::FixedHost host;
    testing::RecordingViews views;
    UiLanguage language;
    Session session;
};

struct PtyWay {
    explicit PtyWay(const LinkMode& mode) { server.faults().latencyMs = mode.latencyMs; }
    PtyServer server;
    QtClock clock;
    QSerialPortLine line{[this](int) { return server.slavePath(); }};
    std::unique_ptr<BenchSession> bench;
    SimDevice& device() { return server.device(); }
};

struct VirtualWay {
    explicit VirtualWay(const LinkMode& mode) { line.faults().latencyMs = mode.latencyMs; }
    VirtualClock clock;
    SimLine line{clock};
    std::unique_ptr<BenchSession> bench;
    SimDevice& device() { return line.device(); }
};

struct Batch {
    const char* name;
    const char* unit;
    int count;
    std::function<void(TransmitEngine&, int)> queue;
    // Whether the device holds what the batch should have left there.
    std::function<bool(SimDevice&)> check;
};

struct Result {
    int answers = 0;
    qint64 clockMs = 0; // from the start to the last answer, on the session's clock
    qint64 realMs = 0;
    QStringList messages;
};

Result run(BenchSession& bench, Clock& clock, const Batch& batch)
{
    TransmitEngine& engine = StationProbe::engine(bench.session.device());
    bench.line.answers = 0;
    for (int i = 0; i < batch.count; ++i)
        batch.queue(engine, i);
    QElapsedTimer real;
    real.start();
    const qint64 start = clock.nowMs();
    engine.state().sending = true;
    const qint64 limit = start + batch.count * 100LL + 10000;
    while ((bench.line.answers < batch.count || engine.state().sending) && bench.dialogs.messages.isEmpty()
           && clock.nowMs() < limit)
        testing::runEvents(clock);
    QStringList messages;
    for (const auto& message : bench.dialogs.messages)
        messages.append(message.text);
    return {bench.line.answers, bench.line.lastAnswerMs - start, real.elapsed(), messages};
}

double perSecond(int count, qint64 ms)
{
    return ms > 0 ? count * 1000.0 / static_cast<double>(ms) : 0.0;
}

// One line per measurement; false (and the reason on stderr) when the batch did not complete.
bool report(const char* way, const Batch& batch, const Result& r, bool virtualTime, bool deviceOk)
{
    const double rate = perSecond(r.answers, r.clockMs);
    std::printf("%s, %s: %d %s in %.2f s%s, %.1f %s/s, %.2f of the wire limit (%.1f/s)", batch.name, way, r.answers,
                batch.unit, static_cast<double>(r.clockMs) / 1000.0, virtualTime ? " virtual" : "", rate, batch.unit,
                rate / WireExchangesPerSecond, WireExchangesPerSecond);
    if (virtualTime)
        std::printf("; took %.2f s real", static_cast<double>(r.realMs) / 1000.0);
    std::printf("\n");
    std::fflush(stdout);
    bool ok = true;
    if (r.answers != batch.count) {
        std::fprintf(stderr, "  only %d of %d answers\n", r.answers, batch.count);
        ok = false;
    }
    for (const QString& message : r.messages) {
        std::fprintf(stderr, "  message: %s\n", qPrintable(message));
        ok = false;
    }
    if (!deviceOk) {
        std::fprintf(stderr, "  the device does not hold what was sent\n");
        ok = false;
    }
    return ok;
}

bool measurePty(const Batch& batch, const LinkMode& mode)
{
    PtyWay way(mode);
    if (!way.server.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(way.server.errorText()));
        return false;
    }
    way.bench = std::make_unique<BenchSession>(way.line, way.clock, mode);
    if (!StationProbe::port(way.bench->session.device()).state().adapterFound) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(way.server.slavePath()));
        return false;
    }
    const Result result = run(*way.bench, way.clock, batch);
    return report("pseudo-terminal, real time", batch, result, false, batch.check(way.device()));
}

bool measureVirtual(const Batch& batch, const LinkMode& mode)
{
    VirtualWay way(mode);
    way.bench = std::make_unique<BenchSession>(way.line, way.clock, mode);
    const Result result = run(*way.bench, way.clock, batch);
    const bool ok = report("in-process line, virtual time", batch, result, true, batch.check(way.device()));
    // Nothing queued on the clock may outlive the session it refers to.
    way.clock.clear();
    return ok;
}

// A command after a detection: from the click to the last answer, and to the engine at rest.
bool measureCommand(BenchSession& bench, Clock& clock, const char* what, const char* way,
                    const std::function<void()>& click, const std::function<bool()>& check)
{
    Session& session = bench.session;
    QElapsedTimer real;
    real.start();
    const qint64 start = clock.nowMs();
    bench.line.answers = 0;
    click();
    const qint64 limit = clock.nowMs() + 30000;
    while (!StationProbe::engine(session.device()).idle() && clock.nowMs() < limit)
        testing::runEvents(clock);
    const qint64 idle = clock.nowMs();
    const bool ok = bench.dialogs.messages.isEmpty() && check();
    std::printf("%s, %s: %d answers, %.3f s from the click to the last value, %.3f s to idle (%.1f answers/s, "
                "%.2f of the wire limit); took %.2f s real\n",
                what, way, bench.line.answers, static_cast<double>(bench.line.lastAnswerMs - start) / 1000.0,
                static_cast<double>(idle - start) / 1000.0, perSecond(bench.line.answers, bench.line.lastAnswerMs - start),
                perSecond(bench.line.answers, bench.line.lastAnswerMs - start) / WireExchangesPerSecond,
                static_cast<double>(real.elapsed()) / 1000.0);
    std::fflush(stdout);
    return ok;
}

bool measureCommands(BenchSession& bench, Clock& clock, const char* way)
{
    Session& session = bench.session;
    session.access().level = AccessLevel::service();
    testing::runTask(clock, StationProbe::transfers(session.device()).detectDevice());
    bool ok = measureCommand(bench, clock, "Read of ConfigID 5", way, [&] { StationProbe::transfers(session.device()).readParameters(); },
                             [&] { return StationProbe::image(session.device()).value[2] == QStringLiteral("1234"); });
    ok = measureCommand(bench, clock, "information read at level 40", way, [&] { StationProbe::transfers(session.device()).readInformation(); },
                        [&] { return !StationProbe::image(session.device()).info.texts[6].isEmpty(); })
         && ok;
    return ok;
}

bool fullReads(const LinkMode& mode)
{
    PtyWay pty(mode);
    if (!pty.server.start())
        return false;
    pty.bench = std::make_unique<BenchSession>(pty.line, pty.clock, mode);
    bool ok = measureCommands(*pty.bench, pty.clock, "pseudo-terminal, real time");
    VirtualWay virt(mode);
    virt.bench = std::make_unique<BenchSession>(virt.line, virt.clock, mode);
    ok = measureCommands(*virt.bench, virt.clock, "in-process line, virtual time") && ok;
    virt.clock.clear();
    return ok;
}

QByteArray interpreterWord(int n)
{
    const auto v = static_cast<quint32>(n) * 2654435761u;
    const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 24)};
    return QByteArray(bytes, 4);
}

// Detects and reads n transmitters at once, each on a station of its own behind its own
// pseudo-terminal, all in this one thread; true when every read was complete and matched the
// device. Gives the wall time.
bool readStations(int n, qint64& wallMs, int& exchanges)
{
    QtClock clock;
    std::vector<std::unique_ptr<testing::PtyStation>> stations;
    for (int i = 0; i < n; ++i) {
        stations.push_back(std::make_unique<testing::PtyStation>(clock, i % 2 == 0 ? 53 : 52));
        if (!stations.back()->start())
            return false;
    }
    clock.startTicker(10, [&stations] {
        for (const auto& one : stations)
            one->station.tick();
    });
    int done = 0;
    bool complete = true;
    QElapsedTimer wall;
    wall.start();
    for (const auto& one : stations) {
        whenDone<ReadOutcome>(one->detectAndRead(), [&done, &complete](ReadOutcome outcome) {
            ++done;
            complete = complete && outcome.complete;
        });
    }
    testing::runEventsUntil(clock, [&done, n] { return done == n; }, 60000);
    wallMs = wall.elapsed();
    exchanges = 0;
    for (const auto& one : stations) {
        exchanges += static_cast<int>(one->server.device().requests().size());
        complete = complete && one->dialogs.messages.isEmpty()
                   && one->station.image().value[SystemAddressNr] == QStringLiteral("1234");
    }
    return done == n && complete;
}

// Stations side by side in one thread against one station alone, measured in the same run.
bool sideBySide(int n)
{
    qint64 aloneMs = 0;
    qint64 togetherMs = 0;
    int aloneExchanges = 0;
    int togetherExchanges = 0;
    const bool alone = readStations(1, aloneMs, aloneExchanges);
    const bool together = readStations(n, togetherMs, togetherExchanges);
    std::printf("detect and read, pseudo-terminals, real time: one station %d exchanges in %.2f s; %d stations in one "
                "thread %d exchanges in %.2f s: %.2f times the time of one (%d times the work), %.2f of the wire limit "
                "per station\n",
                aloneExchanges, static_cast<double>(aloneMs) / 1000.0, n, togetherExchanges,
                static_cast<double>(togetherMs) / 1000.0,
                static_cast<double>(togetherMs) / static_cast<double>(qMax<qint64>(1, aloneMs)), n,
                perSecond(togetherExchanges / n, togetherMs) / WireExchangesPerSecond);
    if (!alone || !together)
        std::fprintf(stderr, "  a read was incomplete or wrong\n");
    return alone && together;
}

} // namespace
} // namespace tunekit

int main(int argc, char* argv[])
{
    using namespace tunekit;
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool interpreter = args.contains(QStringLiteral("--interpreter"));
    LinkMode mode;
    mode.paced = args.contains(QStringLiteral("--paced"));
    if (const qsizetype at = args.indexOf(QStringLiteral("--latency")); at >= 0 && at + 1 < args.size())
        mode.latencyMs = args.at(at + 1).toLongLong();
    std::printf("mode: %s, USB latency timer %s\n", mode.paced ? "paced (one packet per tick)" : "next packet at once",
                mode.latencyMs > 0 ? qPrintable(QStringLiteral("%1 ms").arg(mode.latencyMs)) : "off");
    if (args.contains(QStringLiteral("--full-read")))
        return fullReads(mode) ? 0 : 1;
    if (const qsizetype at = args.indexOf(QStringLiteral("--stations")); at >= 0 && at + 1 < args.size())
        return sideBySide(qMax(1, args.at(at + 1).toInt())) ? 0 : 1;

    const Batch reads{"reads", "exchanges", ReadCount,
                      [](TransmitEngine& engine, int i) { engine.sendPacket(DownloadRequest, 0x2000 + i % 64, 0); },
                      [](SimDevice& device) { return device.requests().size() == ReadCount; }};
    const Batch uploads{"interpreter", "packets", InterpreterPackets,
                        [](TransmitEngine& engine, int n) {
                            engine.sendPacket(Upload, 0x6000 + (n >> 8), static_cast<std::uint8_t>(n & 0xFF),
                                              interpreterWord(n));
                        },
                        [](SimDevice& device) {
                            for (int n = 0; n < InterpreterPackets; ++n) {
                                if (device.cell(0x6000 + (n >> 8), n & 0xFF) != interpreterWord(n))
                                    return false;
                            }
                            return true;
                        }};

    bool ok = measurePty(reads, mode);
    ok = measureVirtual(reads, mode) && ok;
    if (interpreter) {
        ok = measurePty(uploads, mode) && ok;
        ok = measureVirtual(uploads, mode) && ok;
    }
    return ok ? 0 : 1;
}
