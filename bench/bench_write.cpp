// bench_write: writing a 64 KB interpreter ("Write interpreter", xtest.bin) to the simulated
// transmitter, and how close the write comes to what the wire allows.
//
// Runs the write twice: in virtual time over the in-process line (SimLine, VirtualClock), and in
// real time over a pseudo-terminal with the real QSerialPort (PtyServer, QSerialPortLine, QtClock).
// One exchange is a 20-character request and a 20-character answer at 38400 baud, 10 bits a
// character: 10.42 ms, so the wire allows about 96 exchanges a second.
#include "access/access_levels.h"
#include "link/packet_codec.h"
#include "link/qserialport_line.h"
#include "link/qt_clock.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "params/device_image.h"
#include "sim/pty_server.h"
#include "sim/sim_line.h"
#include "sim/virtual_clock.h"
#include "support/run_events.h"
#include "support/scripted_dialogs.h"
#include "transfer/parameter_read.h"
#include "transfer/parameter_write.h"
#include "transfer/progress_bars.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace tunekit {
namespace {

constexpr double WireExchangeMs = 2.0 * 20 * 10 * 1000.0 / 38400.0;
constexpr double WireExchangesPerSecond = 1000.0 / WireExchangeMs;
constexpr int InterpreterBytes = 65536;
constexpr int Packets = InterpreterBytes / 4 + 1; // EraseIL2 and the Uploads

QByteArray interpreter()
{
    QByteArray bytes(InterpreterBytes, '\0');
    for (int i = 0; i < InterpreterBytes; ++i)
        bytes[i] = static_cast<char>((static_cast<quint32>(i) * 2654435761u) >> 24);
    return bytes;
}

// Counts the answers (the packet console sees every one from level 50 on) and when the last came.
class AnswerCounter final : public StationViews {
public:
    explicit AnswerCounter(const Clock& clock) : clock_(clock) {}
    void logged(const TrafficEntry& entry) override
    {
        if (entry.kind != TrafficEntry::Kind::Packet || entry.text != u"Receive")
            return;
        ++answers;
        lastAnswerMs = clock_.nowMs();
    }
    int answers = 0;
    qint64 lastAnswerMs = 0;

private:
    const Clock& clock_;
};

// The transfers as the session builds them, over a given line and clock, port 1 open.
struct Writer {
    Writer(SerialLine& serialLine, Clock& time) : line(serialLine), clock(time), counter(time)
    {
        engine.connect(port, dialogs, counter);
        engine.setBatchListener(&progress);
        engine.setReceivedTrafficShown([] { return AccessLevel::production().seesReceivedTraffic(); });
        engine.setAutomaticResetOff(true); // a pseudo-terminal has no DTR to reset with
        line.setListener([this](SerialLine::Event event) { engine.handleLineEvent(event); });
        image.initDeviceImage(levelMarks(AccessLevel::production()), Language::English);
        clock.startTicker(10, [this] { engine.transmitTick(); });
        port.state().portNumber = 1;
        port.state().adapterFound = port.openPort();
        port.state().adapterPort = 1;
    }
    ~Writer() { line.setListener({}); }

    SerialLine& line;
    Clock& clock;
    testing::ScriptedDialogs dialogs;
    SerialPortAccess port{line, clock, dialogs};
    AnswerCounter counter;
    TransmitEngine engine;
    DeviceImage image;
    StationViews views;
    ProgressBars progress{clock, views};
    TransferOptions options;
    DeviceTransfers transfers{TransferContext{engine, progress, port, image, dialogs, views, options, [] { return AccessLevel::production(); }}};
    DeviceWrites writes{transfers};
};

bool measure(const char* way, bool virtualTime, SerialLine& line, Clock& clock, SimDevice& device, const QString& folder)
{
    Writer writer(line, clock);
    if (!writer.port.state().adapterFound) {
        std::fprintf(stderr, "%s: the port does not open\n", way);
        return false;
    }
    QElapsedTimer real;
    real.start();
    const qint64 start = clock.nowMs();
    // The command ends with its batch.
    testing::runTask(clock, writer.writes.writeTestInterpreter(folder));
    const qint64 sendMs = writer.counter.lastAnswerMs - start;
    const double rate = sendMs > 0 ? writer.counter.answers * 1000.0 / static_cast<double>(sendMs) : 0.0;

    std::printf("%s: %d packets in %.2f s%s from the click to the last answer, %.1f packets/s, %.2f of the wire "
                "limit (%.1f/s)",
                way, writer.counter.answers, static_cast<double>(sendMs) / 1000.0, virtualTime ? " virtual" : "", rate,
                rate / WireExchangesPerSecond, WireExchangesPerSecond);
    if (virtualTime)
        std::printf("; took %.2f s real", static_cast<double>(real.elapsed()) / 1000.0);
    std::printf("\n");
    std::fflush(stdout);

    bool ok = true;
    if (writer.counter.answers != Packets) {
        std::fprintf(stderr, "  only %d of %d answers\n", writer.counter.answers, Packets);
        ok = false;
    }
    for (const auto& message : writer.dialogs.messages) {
        std::fprintf(stderr, "  message: %s\n", qPrintable(message.text));
        ok = false;
    }
    if (device.blockBytes(0x6000, 256, 4, InterpreterBytes) != interpreter()) {
        std::fprintf(stderr, "  the device does not hold the interpreter\n");
        ok = false;
    }
    return ok;
}

} // namespace
} // namespace tunekit

int main(int argc, char* argv[])
{
    using namespace tunekit;
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("xtest.bin")));
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(interpreter()) != InterpreterBytes) {
        std::fprintf(stderr, "cannot write xtest.bin\n");
        return 1;
    }
    file.close();

    bool ok = true;
    {
        VirtualClock clock;
        SimLine line(clock);
        ok = measure("in-process line, virtual time", true, line, clock, line.device(), folder.path()) && ok;
        // Nothing queued on the clock may outlive the objects it refers to.
        clock.clear();
    }
    {
        PtyServer server;
        if (!server.start()) {
            std::fprintf(stderr, "%s\n", qPrintable(server.errorText()));
            return 1;
        }
        QtClock clock;
        QSerialPortLine line([&server](int) { return server.slavePath(); });
        ok = measure("pseudo-terminal, real time", false, line, clock, server.device(), folder.path()) && ok;
    }
    return ok ? 0 : 1;
}
