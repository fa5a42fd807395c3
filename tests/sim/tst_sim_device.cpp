#include "link/packet_codec.h"
#include "sim/sim_device.h"
#include "sim/sim_line.h"
#include "sim/sim_link.h"
#include "sim/virtual_clock.h"

#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

using namespace tunekit;

Q_DECLARE_METATYPE(tunekit::SimFaults)

namespace {

QByteArray Frame(int type, int index, int subindex, const QByteArray& data = {})
{
    return EncodeFrame(MakePacket(static_cast<std::uint8_t>(type), index, static_cast<std::uint8_t>(subindex), data));
}

QByteArray Joined(const QList<SimChunk>& chunks)
{
    QByteArray bytes;
    for (const SimChunk& chunk : chunks)
        bytes += chunk.Bytes;
    return bytes;
}

// Asks over a real serial port for the ConfigID; returns the answer frame.
QByteArray AskConfigId(const QString& path)
{
    QSerialPort port(path);
    if (!port.open(QIODevice::ReadWrite) || !port.setBaudRate(38400))
        return "open failed: " + port.errorString().toUtf8();
    QSignalSpy readyRead(&port, &QSerialPort::readyRead);
    port.write(Frame(DownloadRequest, 0x2000, 0));
    QByteArray answer;
    QDeadlineTimer deadline(5000);
    while (answer.size() < FrameSize && !deadline.hasExpired()) {
        readyRead.wait(100);
        answer += port.readAll();
    }
    return answer;
}

} // namespace

class TestSimDevice : public QObject {
    Q_OBJECT
private slots:
    void answersEveryRequest_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("type"); // -1: no answer
        QTest::addColumn<QByteArray>("data");
        const QByteArray zero(4, '\0');
        QTest::newRow("ConfigID") << Frame(DownloadRequest, 0x2000, 0) << 0x11 << QByteArray::fromHex("05000000");
        QTest::newRow("address OEM group") << Frame(DownloadRequest, 0x2101, 0) << 0x11 << QByteArray::fromHex("d204fe00");
        QTest::newRow("erased cell") << Frame(DownloadRequest, 0x2999, 7) << 0x11 << QByteArray(4, '\xFF');
        QTest::newRow("operating time") << Frame(DownloadRequest, 0x1101, 0) << 0x11 << QByteArray::fromHex("05072c01");
        QTest::newRow("echo") << Frame(EchoRequest, 0x1234, 5, "abcd") << 0x01 << QByteArray("abcd");
        QTest::newRow("upload") << Frame(Upload, 0x2203, 0, "\x1c") << 0x13 << QByteArray::fromHex("1c000000");
        QTest::newRow("upload read-only") << Frame(Upload, 0x1101, 0) << 0xFD << zero;
        // Commands: ConfigEnable and Reset are echoed, the others answered by their completion.
        for (const auto& [command, done] : {std::pair{0x21, 0x21}, {0x14, 0x15}, {0x16, 0x17}, {0x18, 0x19},
                                            {0x1A, 0x1B}, {0x1D, 0x1E}, {0x1F, 0x1F}})
            QTest::addRow("command %02x", command) << Frame(command, 0, 0) << done << zero;
        QTest::newRow("LockFreq unknown") << Frame(LockFreq, 0, 0) << 0xFF << QByteArray::fromHex("20000000");
        QTest::newRow("code 0x77 unknown") << Frame(0x77, 0x2000, 0) << 0xFF << QByteArray::fromHex("77000000");
        QByteArray corrupt = Frame(DownloadRequest, 0x2000, 0);
        corrupt[18] = 'E'; // checksum CF -> CE
        QTest::newRow("wrong checksum") << corrupt << 0xFE << zero;
        QTest::newRow("lower-case hex") << Frame(DownloadRequest, 0x2000, 0).toLower() << 0x11 << QByteArray::fromHex("05000000");
        QTest::newRow("noise before @") << "\r\nxy" + Frame(DownloadRequest, 0x2000, 0) << 0x11 << QByteArray::fromHex("05000000");
        QTest::newRow("restart at second @") << "@1000" + Frame(DownloadRequest, 0x2000, 0) << 0x11 << QByteArray::fromHex("05000000");
        QTest::newRow("too short") << QByteArray("@10002000\r") << -1 << QByteArray();
        QTest::newRow("no CR") << Frame(DownloadRequest, 0x2000, 0).chopped(1) + "0\r" << -1 << QByteArray();
        QTest::newRow("not hex") << QByteArray("@10002000000000ZZCF\r") << -1 << QByteArray();
    }

    void answersEveryRequest()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, type);
        QFETCH(QByteArray, data);
        SimDevice device;
        SimLink link(device);
        const QByteArray answer = Joined(link.Feed(request, 0));
        if (type < 0) {
            QVERIFY(answer.isEmpty());
            return;
        }
        const QByteArray packet = DecodeFrame(answer);
        QCOMPARE(answer.size(), FrameSize);
        QCOMPARE(answer, EncodeFrame(packet)); // well-formed, correct checksum
        QCOMPARE(PacketType(packet), type);
        const QByteArray sent = DecodeFrame(request.sliced(request.lastIndexOf('@')));
        QCOMPARE(PacketIndex(packet), PacketIndex(sent));
        QCOMPARE(PacketSubindex(packet), PacketSubindex(sent));
        QCOMPARE(PacketData(packet), data);
    }

    void requestsChangeMemory_data()
    {
        QTest::addColumn<QList<QByteArray>>("requests");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("subindex");
        QTest::addColumn<QByteArray>("read");
        const QByteArray upload = Frame(Upload, 0x2203, 0, "\x11\x22\x33\x44");
        QTest::newRow("upload then read") << QList{upload} << 0x2203 << 0 << QByteArray("\x11\x22\x33\x44");
        QTest::newRow("short upload padded") << QList{Frame(Upload, 0x4010, 3, "ab")} << 0x4010 << 3 << QByteArray("ab\0\0", 4);
        QTest::newRow("erase interpreter page")
            << QList{Frame(Upload, 0x6005, 3, "abcd"), Frame(EraseIL2, 0, 0)} << 0x6005 << 3 << QByteArray(4, '\xFF');
        QTest::newRow("erase keeps parameters") << QList{Frame(EraseIL2, 0, 0)} << 0x2203 << 0 << QByteArray("\x1b\0\0\0", 4);
        QTest::newRow("InitDefault restores") << QList{upload, Frame(InitDefault, 0, 0)} << 0x2203 << 0 << QByteArray("\x1b\0\0\0", 4);
        QTest::newRow("InitDefault keeps ConfigID") << QList{Frame(InitDefault, 0, 0)} << 0x2000 << 0 << QByteArray("\x05\0\0\0", 4);
        QTest::newRow("information is read-only") << QList{Frame(Upload, 0x1004, 0, "XXXX")} << 0x1004 << 0 << QByteArray("HS4 ");
        QTest::newRow("bad checksum writes nothing") << QList{upload.first(17) + "00\r"} << 0x2203 << 0 << QByteArray("\x1b\0\0\0", 4);
    }

    void requestsChangeMemory()
    {
        QFETCH(QList<QByteArray>, requests);
        QFETCH(int, index);
        QFETCH(int, subindex);
        QFETCH(QByteArray, read);
        SimDevice device;
        SimLink link(device);
        qint64 nowUs = 0;
        for (const QByteArray& request : requests) {
            QCOMPARE(link.Feed(request, nowUs).size(), 1);
            nowUs += 20'000;
        }
        QCOMPARE(device.Cell(index, subindex), read);
        const QByteArray answer = DecodeFrame(Joined(link.Feed(Frame(DownloadRequest, index, subindex), nowUs)));
        QCOMPARE(PacketType(answer), int(DownloadResponse));
        QCOMPARE(PacketData(answer), read);
    }

    void answersArePacedAtLineSpeed_data()
    {
        QTest::addColumn<qint64>("extraDelayMs");
        QTest::newRow("no extra delay") << qint64(0);
        QTest::newRow("5 ms extra") << qint64(5);
    }

    void answersArePacedAtLineSpeed()
    {
        QFETCH(qint64, extraDelayMs);
        SimDevice device;
        SimLink link(device);
        link.Faults().ExtraDelayMs = extraDelayMs;
        const qint64 startUs = 1'000'000;
        const QList<SimChunk> one = link.Feed(Frame(DownloadRequest, 0x2000, 0), startUs);
        QCOMPARE(one.size(), 1);
        const qint64 requestEndUs = startUs + 5209; // 20 characters of 260.4 us
        QVERIFY(one[0].AtUs - requestEndUs >= 5200 + 1000 * extraDelayMs);
        QCOMPARE(one[0].AtUs, requestEndUs + SimLink::ProcessingUs + extraDelayMs * 1000 + 5209);

        // 100 requests written at once: the answers follow back to back without drifting from
        // 38400 baud, and no answer overtakes another.
        QByteArray burst;
        for (int i = 0; i < 100; ++i)
            burst += Frame(DownloadRequest, 0x2000 + i, 0);
        const qint64 burstUs = 10'000'000;
        const QList<SimChunk> many = link.Feed(burst, burstUs);
        QCOMPARE(many.size(), 100);
        for (qsizetype i = 1; i < many.size(); ++i)
            QVERIFY(many[i].AtUs > many[i - 1].AtUs);
        if (extraDelayMs == 0)
            QCOMPARE(many.last().AtUs, burstUs + 5209 + SimLink::ProcessingUs + SimLink::WireUs(2000));
    }

    void faults_data()
    {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<QList<int>>("chunkSizes");
        QTest::addColumn<int>("responses");
        const auto with = [](const std::function<void(SimFaults&)>& set) {
            SimFaults faults;
            set(faults);
            return faults;
        };
        QTest::newRow("none") << SimFaults{} << QList{20, 20, 20, 20} << 4;
        QTest::newRow("silent") << with([](SimFaults& f) { f.Silent = true; }) << QList<int>{} << 0;
        QTest::newRow("split 7 + 13") << with([](SimFaults& f) { f.SplitAfter = 7; }) << QList{7, 13, 7, 13, 7, 13, 7, 13} << 4;
        QTest::newRow("noise") << with([](SimFaults& f) { f.Noise = "\r\n"; }) << QList{2, 20, 2, 20, 2, 20, 2, 20} << 4;
        QTest::newRow("drop every 2nd") << with([](SimFaults& f) { f.DropEvery = 2; }) << QList{20, 20} << 2;
        QTest::newRow("garbage") << with([](SimFaults& f) { f.Garbage = true; }) << QList{20, 20, 20, 20} << 0;
        QTest::newRow("all lost") << with([](SimFaults& f) { f.LoseRate = 1; }) << QList<int>{} << 0;
        QTest::newRow("all corrupted") << with([](SimFaults& f) { f.CorruptRate = 1; }) << QList{20, 20, 20, 20} << 0;
        // The latency timer gathers an answer and its duplicate into one USB packet; 1 ms lets
        // the bytes through as they came in that millisecond.
        QTest::newRow("twice, 16 ms latency") << with([](SimFaults& f) {
            f.DuplicateRate = 1;
            f.LatencyMs = 16;
        }) << QList{40, 40, 40, 40} << 8;
        QTest::newRow("1 ms latency") << with([](SimFaults& f) { f.LatencyMs = 1; }) << QList{4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4} << 4;
    }

    void faults()
    {
        QFETCH(SimFaults, faults);
        QFETCH(QList<int>, chunkSizes);
        QFETCH(int, responses);
        SimDevice device;
        SimLink link(device);
        link.Faults() = faults;
        QList<SimChunk> chunks;
        for (int i = 0; i < 4; ++i)
            chunks += link.Feed(Frame(DownloadRequest, 0x2000, 0), i * 20'000);
        QList<int> sizes;
        for (const SimChunk& chunk : chunks)
            sizes.append(static_cast<int>(chunk.Bytes.size()));
        QCOMPARE(sizes, chunkSizes);
        // Only an intact frame counts, as in the host's receive path.
        int found = 0;
        FrameAssembler assembler;
        for (const SimChunk& chunk : chunks) {
            for (const FrameAssembler::Frame& frame : assembler.Feed(chunk.Bytes))
                found += frame.intact && PacketType(DecodeFrame(frame.text)) == DownloadResponse;
        }
        QCOMPARE(found, responses);
        QCOMPARE(device.Requests().size(), faults.Silent ? 0 : 4); // a lost answer was still handled
    }

    void restartKeepsDeviceDeafWhileBooting()
    {
        SimDevice device;
        SimLink link(device);
        const QByteArray request = Frame(DownloadRequest, 0x2000, 0);
        link.SetDtr(true, 0); // already on: no edge
        QCOMPARE(device.RestartCount(), 0);
        link.SetDtr(false, 0);
        link.SetDtr(true, 200'000);
        QCOMPARE(device.RestartCount(), 1);
        QVERIFY(link.Feed(request, 200'000 + SimDevice::BootTimeUs - 10'000).isEmpty());
        QCOMPARE(link.Feed(request, 200'000 + SimDevice::BootTimeUs).size(), 1);

        // A Reset request is answered, then the device reboots.
        const qint64 resetUs = 2'000'000;
        QCOMPARE(PacketType(DecodeFrame(Joined(link.Feed(Frame(Reset, 0, 0), resetUs)))), int(Reset));
        QCOMPARE(device.RestartCount(), 2);
        QVERIFY(link.Feed(request, resetUs + 100'000).isEmpty());
        QCOMPARE(link.Feed(request, resetUs + 600'000).size(), 1);
    }

    void clockRunsEventsInTimeOrder()
    {
        VirtualClock clock;
        QStringList log;
        const auto note = [&](const QString& name) { return [&, name] { log << name + "@" + QString::number(clock.NowMs()); }; };
        clock.Schedule(5, note("a"));
        clock.Schedule(0, note("b"));
        clock.Schedule(5, note("c"));
        clock.Schedule(3, [&] {
            log << "d@" + QString::number(clock.NowMs());
            clock.Schedule(1, note("e")); // queued from inside an event
        });
        clock.ScheduleUs(4'700, note("f")); // sub-millisecond time, reported as its ms part
        clock.RunFor(10);
        QCOMPARE(log, QStringList({"b@0", "d@3", "e@4", "f@4", "a@5", "c@5"}));
        QCOMPARE(clock.NowMs(), 10);
        clock.ProcessEvents(); // nothing queued: time still moves
        QCOMPARE(clock.NowMs(), 11);
        QVERIFY(!clock.RunUntil([] { return false; }, 50));
        QCOMPARE(clock.NowMs(), 61);
    }

    void tickerIsNeverReentered()
    {
        VirtualClock clock;
        QList<qint64> starts;
        int depth = 0;
        int maxDepth = 0;
        clock.StartTicker(10, [&] {
            starts << clock.NowMs();
            maxDepth = qMax(maxDepth, ++depth);
            if (starts.size() == 1) { // a 35 ms wait that pumps events, like the program's waits
                const qint64 end = clock.NowMs() + 35;
                while (clock.NowMs() <= end)
                    clock.ProcessEvents();
            }
            --depth;
        });
        clock.RunFor(100);
        // The ticks due at 20 .. 50 fell inside the wait and were dropped.
        QCOMPARE(starts, QList<qint64>({10, 60, 70, 80, 90, 100}));
        QCOMPARE(maxDepth, 1);
    }

    void lineDeliversThroughTheClock()
    {
        VirtualClock clock;
        SimLine line(clock, 53);
        QByteArray received;
        int events = 0;
        line.SetListener([&](SerialLine::Event event) {
            QCOMPARE(event, SerialLine::Event::DataReceived);
            ++events;
            received += line.ReadAll();
        });
        QVERIFY(line.Open(4));
        line.Faults().SplitAfter = 7;
        const QByteArray request = Frame(DownloadRequest, 0x2000, 0);
        QVERIFY(line.Write(request.first(5))); // the host may write a frame in pieces
        clock.RunFor(3);
        QVERIFY(line.Write(request.sliced(5)));
        QVERIFY(clock.RunUntil([&] { return received.size() == FrameSize; }, 100));
        QCOMPARE(events, 2);
        QVERIFY(clock.NowMs() >= 3 + 1 + 5); // rest of the request, processing, 20 answer characters
        QCOMPARE(DecodeFrame(received), MakePacket(DownloadResponse, 0x2000, 0, QByteArray(1, 53)));
        QVERIFY(line.ReadAll().isEmpty());
    }

    void lineDropsAnswersAfterCloseAndUnplug()
    {
        VirtualClock clock;
        SimLine line(clock);
        QList<SerialLine::Event> events;
        line.SetListener([&](SerialLine::Event event) { events << event; });
        const QByteArray request = Frame(DownloadRequest, 0x2000, 0);

        QVERIFY(line.Open(1));
        QVERIFY(line.Write(request));
        line.Close();
        QVERIFY(!line.Write(request));
        QVERIFY(line.Open(1)); // reopened before the old answer was due
        clock.RunFor(50);
        QVERIFY(events.isEmpty());
        QVERIFY(line.ReadAll().isEmpty());

        QVERIFY(line.Write(request));
        line.PullPlug();
        QCOMPARE(events, QList{SerialLine::Event::PortLost});
        QVERIFY(!line.Write(request));
        clock.RunFor(50);
        QCOMPARE(events.size(), 1);
        line.Close();
        QVERIFY(!line.Open(1));
        line.PlugIn();
        QVERIFY(line.Open(1));
        QVERIFY(line.Write(request));
        QVERIFY(clock.RunUntil([&] { return events.size() == 2; }, 50));

        // Destroying the line with an answer on its way leaves nothing behind to run.
        auto doomed = std::make_unique<SimLine>(clock);
        QVERIFY(doomed->Open(2) && doomed->Write(request));
        doomed.reset();
        clock.RunFor(50);
    }

    void linePorts_data()
    {
        QTest::addColumn<QList<int>>("existing"); // empty: every number exists
        QTest::addColumn<int>("busy");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("opens");
        QTest::newRow("any number") << QList<int>{} << 0 << 16 << true;
        QTest::newRow("zero") << QList<int>{} << 0 << 0 << false;
        QTest::newRow("existing") << QList{1, 3} << 0 << 3 << true;
        QTest::newRow("missing") << QList{1, 3} << 0 << 2 << false;
        QTest::newRow("busy") << QList<int>{} << 5 << 5 << false;
    }

    void linePorts()
    {
        QFETCH(QList<int>, existing);
        QFETCH(int, busy);
        QFETCH(int, port);
        QFETCH(bool, opens);
        VirtualClock clock;
        SimLine line(clock);
        if (!existing.isEmpty())
            line.SetExistingPorts(QSet<int>(existing.begin(), existing.end()));
        line.SetPortBusy(busy, true);
        QCOMPARE(line.Open(port), opens);
        QCOMPARE(line.IsOpen(), opens);
        QCOMPARE(line.PortNumber(), opens ? port : 0);
    }

    // tunekit-sim wraps the pseudo-terminal server: its first output line names the device file.
    void simExecutableServesPty()
    {
        QProcess sim;
        sim.start(QStringLiteral(TUNEKIT_SIM_EXECUTABLE), {"--config-id", "7", "--split", "--latency", "16", "--exit-after-ms", "60000"});
        QVERIFY(sim.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
        const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QCOMPARE(DecodeFrame(AskConfigId(path)), MakePacket(DownloadResponse, 0x2000, 0, QByteArray(1, 7)));
        // A second client after the first has gone: the server survived the slave being closed.
        QCOMPARE(DecodeFrame(AskConfigId(path)), MakePacket(DownloadResponse, 0x2000, 0, QByteArray(1, 7)));
        sim.terminate(); // SIGTERM ends it cleanly
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_sim_device.moc"
