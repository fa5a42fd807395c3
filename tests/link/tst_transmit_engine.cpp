// Packets and frames on their own; then the transmit engine and the serial port access against
// the simulated transmitter, in virtual time: every wait, tick and byte happens at its virtual
// moment.
#include "link/packet_codec.h"
#include "support/rig.h"
#include "support/test_data.h"
#include "transfer/progress_bars.h"

#include <QTest>

#include <algorithm>

using namespace tunekit;
using namespace tunekit::testing;

Q_DECLARE_METATYPE(tunekit::SimFaults)

namespace {

// The line faults the caller sets, the others as by default.
SimFaults faults(const std::function<void(SimFaults&)>& set)
{
    SimFaults faults;
    set(faults);
    return faults;
}

// Why a given-up batch shows no message.
constexpr int Shown = 0, Suppressed = 1, NoAdapter = 2;

// A batch of reads: the line's faults, paced or not, how many, the answers that came too late and
// were asked for again, and the device's restarts (0: the automatic reset is switched off).
struct Batch {
    SimFaults faults = {};
    bool paced = false;
    int count = 20, lost = 0, resets = 1;
};

} // namespace

Q_DECLARE_METATYPE(Batch)

class TestTransmitEngine : public QObject {
    Q_OBJECT
private slots:
    // A packet queued and its frame; below, frames that are not intact, with the packet they
    // decode to (empty: none).
    void frames_data()
    {
        QTest::addColumn<QList<int>>("packet"); // type, index, subindex; empty: the frame is decoded
        QTest::addColumn<QByteArray>("data");   // the packet's data, or the packet the frame decodes to
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("empty data padded") << QList{0x10, 0x2000, 0} << QByteArray() << QByteArray("@1000200000000000CF\r");
        QTest::newRow("six data bytes cut to four") << QList{0x12, 0x2101, 0} << bytes({1, 2, 3, 4, 5, 6}) << QByteArray("@1201210001020304C1\r");
        QTest::newRow("index little-endian") << QList{0x12, 0x5000, 3} << bytes({0xAA}) << QByteArray("@12005003AA000000EF\r");
        QTest::newRow("only bits 0..15 of the index") << QList{0x10, 0x12345, 0} << QByteArray() << QByteArray("@104523000000000087\r");
        // (-1 div 256) truncates toward zero to 0, so the high byte is 0, not 0xFF.
        QTest::newRow("negative index") << QList{0x10, -1, 0} << QByteArray() << QByteArray("@10FF000000000000EF\r");
        QTest::newRow("sum wraps twice") << QList{0x12, 0x1001, 2} << bytes({0xFF, 0xFF, 0x00, 0x80}) << QByteArray("@12011002FFFF00805A\r");
        QTest::newRow("all zero") << QList{0, 0, 0} << QByteArray() << QByteArray("@0000000000000000FF\r");
        QTest::newRow("all 0xFF") << QList{0xFF, 0xFFFF, 0xFF} << QByteArray(4, '\xFF') << QByteArray("@FFFFFFFFFFFFFFFF00\r");
        const QList<int> decoded;
        QTest::newRow("19 characters") << decoded << QByteArray() << QByteArray("@1000200000000000CF");
        QTest::newRow("21 characters") << decoded << QByteArray() << QByteArray("@1000200000000000CF\r\r");
        QTest::newRow("no @") << decoded << QByteArray() << QByteArray("#1000200000000000CF\r");
        // Decoded, but not intact: the receive path does not use it.
        QTest::newRow("wrong checksum decoded") << decoded << bytes({0x11, 0, 0x20, 0, 5, 0, 0, 0}) << QByteArray("@110020000500000000\r");
        QTest::newRow("lower-case hex") << decoded << bytes({0x11, 0, 0x20, 0, 0xFF, 0, 0, 0}) << QByteArray("@11002000ff000000cf\r");
        QTest::newRow("non-hex data pair") << decoded << QByteArray() << QByteArray("@11002000G5000000CF\r");
        QTest::newRow("non-hex checksum pair") << decoded << QByteArray() << QByteArray("@1100200005000000Z!\r");
        QTest::newRow("high bytes") << decoded << QByteArray() << QByteArray("@\xFF\xFE\x80\x81" "00000000000000\r");
    }

    void frames()
    {
        QFETCH(QList<int>, packet);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, frame);
        if (packet.isEmpty()) {
            QCOMPARE(decodeFrame(frame), data);
            QVERIFY(!frameIntact(frame));
            return;
        }
        TransmitEngine engine;
        engine.sendPacket(static_cast<std::uint8_t>(packet[0]), packet[1], static_cast<std::uint8_t>(packet[2]), data);
        QVERIFY(!engine.state().sending); // queuing alone never starts a transfer
        const QByteArray queued = engine.state().queue.front();
        QCOMPARE(encodeFrame(queued), frame);
        QVERIFY(frameIntact(frame));
        QCOMPARE(decodeFrame(frame.chopped(1) + 'X'), queued); // the 20th character is not looked at
    }

    void assemblerFindsEveryFrame_data()
    {
        const QByteArray a("@1000200000000000CF\r");
        const QByteArray b("@1100200005000000C9\r");
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QList<bool>>("intact");
        QTest::addColumn<QByteArray>("pending");
        QTest::newRow("two frames in one chunk") << QList{a + b} << QList{a, b} << QList{true, true} << QByteArray();
        QTest::newRow("line break after a frame") << QList{a + "\n", b} << QList{a, b} << QList{true, true} << QByteArray();
        QTest::newRow("stray @ before a frame") << QList<QByteArray>{"@" + a} << QList{a} << QList{true} << QByteArray();
        QTest::newRow("7 + 13") << QList{a.first(7), a.sliced(7)} << QList{a} << QList{true} << QByteArray();
        QTest::newRow("start of the next kept") << QList{a + b.first(5)} << QList{a} << QList{true} << b.first(5);
        QTest::newRow("one character at a time") << QList<QByteArray>{"x", "@", "1", b.sliced(2)} << QList{b} << QList{true} << QByteArray();
        QTest::newRow("noise only") << QList<QByteArray>{"\r\nxyz\x00\xff"} << QList<QByteArray>{} << QList<bool>{} << QByteArray();
        QTest::newRow("CR too early") << QList{a.first(10) + "\r" + b} << QList{b} << QList{true} << QByteArray();
        QTest::newRow("no CR in place") << QList{a.chopped(1) + "0\r"} << QList<QByteArray>{} << QList<bool>{} << QByteArray();
        QTest::newRow("flipped digit") << QList<QByteArray>{"@1100200035000000C9\r"} << QList<QByteArray>{"@1100200035000000C9\r"}
                                       << QList{false} << QByteArray();
    }

    void assemblerFindsEveryFrame()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QList<bool>, intact);
        QFETCH(QByteArray, pending);
        FrameAssembler assembler;
        QList<QByteArray> found;
        QList<bool> good;
        for (const QByteArray& chunk : chunks) {
            for (const FrameAssembler::Frame& frame : assembler.feed(chunk)) {
                found << frame.text;
                good << frame.intact;
            }
        }
        QCOMPARE(found, frames);
        QCOMPARE(good, intact);
        QCOMPARE(assembler.pending(), pending);
    }

    void encodeDecodeRoundTripsEveryByte()
    {
        for (int b = 0; b < 256; ++b) {
            const QByteArray packet = makePacket(static_cast<std::uint8_t>(b), b * 257, static_cast<std::uint8_t>(255 - b),
                                                 QByteArray(4, static_cast<char>(b)));
            const QByteArray frame = encodeFrame(packet);
            QCOMPARE(frame.size(), FrameSize);
            QCOMPARE(decodeFrame(frame), packet);
            QCOMPARE(packetType(packet), b);
        }
        QCOMPARE(packetType(QByteArray()), 0);
    }

    void batchIsAnswered_data()
    {
        QTest::addColumn<Batch>("batch");
        QTest::newRow("next packet as soon as the answer is in") << Batch{.count = 5};
        QTest::newRow("automatic reset off, the console's hint instead") << Batch{.count = 5, .resets = 0};
        QTest::newRow("paced, one packet per tick") << Batch{.paced = true, .count = 5};
        QTest::newRow("one packet, ended in its sending tick") << Batch{.count = 1};
        QTest::newRow("noise and a frame in pieces") << Batch{.faults = faults([](SimFaults& f) { f.splitAfter = 3; f.noise = "xx\r"; })};
        QTest::newRow("every answer twice, in one USB packet") << Batch{.faults = faults([](SimFaults& f) { f.duplicateRate = 1; f.latencyMs = 16; })};
        QTest::newRow("bursts of noise") << Batch{.faults = faults([](SimFaults& f) { f.noiseBurstRate = 0.5; })};
        QTest::newRow("corrupted answers") << Batch{.faults = faults([](SimFaults& f) { f.corruptRate = 0.15; })};
        // Valid frames that answer nothing asked: another address, or the address with a type
        // that does not answer a read. Their values never reach the decoder.
        QTest::newRow("stray answers for other addresses") << Batch{.faults = faults([](SimFaults& f) { f.strayRate = 1; })};
        QTest::newRow("answers of the wrong type") << Batch{.faults = faults([](SimFaults& f) { f.wrongTypeRate = 1; })};
        // Each answer comes after the time-out: the packet goes again, and the late answer to
        // the first sending ends the wait of the second.
        QTest::newRow("answers later than the time-out") << Batch{.faults = faults([](SimFaults& f) { f.extraDelayMs = 600; }), .count = 5, .lost = 5};
    }

    void batchIsAnswered()
    {
        QFETCH(Batch, batch);
        const auto [faults, paced, count, lost, resets] = batch;
        Rig rig;
        rig.connect();
        rig.session.access().level = AccessLevel::development();
        rig.session.setAutomaticResetOff(resets == 0);
        rig.engine.setPaced(paced);
        rig.line.faults() = faults;
        QList<qint64> sentAt;
        rig.views.beforeSend = [&] { sentAt << rig.clock.nowUs(); };
        rig.queueReads(count);
        QVERIFY(rig.runUntilBatchEnd());
        // The reset follows the last answer: run past it. Idle ticks only refresh the status bar.
        const int updates = rig.views.statusBarUpdates;
        rig.clock.runFor(5000);
        QVERIFY(rig.views.statusBarUpdates - updates >= 495);
        // One answer each, in order, and every value handed on is the device's.
        QCOMPARE(rig.responses.size(), count);
        for (int i = 0; i < count; ++i) {
            const QByteArray& response = rig.responses.at(i);
            QCOMPARE(packetIndex(response), packetIndex(rig.responses.first()) + i);
            QCOMPARE(packetData(response), rig.line.device().cell(packetIndex(response), packetSubindex(response)));
        }
        // Each corrupted or lost answer cost one repeat.
        const int sends = count + rig.line.link().answersCorrupted() + lost;
        QCOMPARE(rig.line.device().requests().size(), sends);
        QCOMPARE(rig.engine.state().repeatTotal, sends - count);
        QCOMPARE(rig.engine.state().lostTotal, lost);
        QCOMPARE(rig.line.device().restartCount(), resets);
        QCOMPARE(rig.views.progress().resetByHand, resets == 0);
        QVERIFY(!rig.engine.state().resetPending);
        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(rig.views.progress().overall, 100);
        // Paced, every packet leaves on a tick; otherwise the answer's arrival sends the next.
        const auto onTick = [](qint64 us) { return us % 10000 == 0; };
        QCOMPARE(std::all_of(sentAt.cbegin(), sentAt.cend(), onTick), paced || count == 1);
        const auto dumped = [&rig](QStringView direction) {
            return std::count_if(rig.views.dumps.cbegin(), rig.views.dumps.cend(),
                                 [direction](const auto& dump) { return dump.second.startsWith(direction); });
        };
        QCOMPARE(dumped(u"Transmit"), sends);
        // Level 60 logs every answer; what answered nothing awaited is marked so.
        QCOMPARE(dumped(u"Receive (not awaited)"), rig.line.link().answersDuplicated() + rig.line.link().straysSent() + lost);
        QCOMPARE(rig.engine.state().ignoredTotal, rig.line.link().answersDuplicated() + rig.line.link().straysSent() + lost);
        QVERIFY(rig.views.terminal.contains("@1000200000000000CF\r"));
    }

    void batchGivenUp_data()
    {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<QByteArray>("garbage"); // arrives while the first packet waits
        QTest::addColumn<int>("quiet"); // why no message is shown
        QTest::addColumn<QString>("message");
        const QString timeout = QStringLiteral("T I M E O U T  !\r\ninterface or device not reacting!");
        const SimFaults silent = faults([](SimFaults& f) { f.silent = true; });
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            everyByte += static_cast<char>(b);
        QTest::newRow("time-out") << silent << QByteArray() << Shown << timeout;
        // Answers that come after the last time-out are logged, not stored, and hold the reset
        // off until the line is quiet.
        QTest::newRow("late answers after the last time-out") << faults([](SimFaults& f) { f.extraDelayMs = 1300; }) << QByteArray() << Shown << timeout;
        QTest::newRow("corrupted after two repeats")
            << faults([](SimFaults& f) { f.corruptRate = 1; }) << QByteArray() << Shown
            << "The line is corrupting data!\r\nThe device's answers still arrived damaged after two repeats. Check the cable and the adapter.";
        // A frame that cannot be read, one with a wrong checksum and the device's ChkError make the
        // packet go again; nothing is stored. Whatever cannot become an answer is ended by the time-out.
        QTest::newRow("non-hex frame") << silent << QByteArray("@11002000ZZ000000CF\r") << Shown << timeout;
        QTest::newRow("wrong checksum") << silent << QByteArray("@1100200035000000C9\r") << Shown << timeout;
        QTest::newRow("ChkError") << silent << encodeFrame(makePacket(ChkError, 0x2000, 0)) << Shown << timeout;
        QTest::newRow("bytes 0..255") << silent << everyByte << Shown << timeout;
        QTest::newRow("endless noise") << silent << QByteArray(100000, 'x') << Shown << timeout;
        QTest::newRow("time-out message suppressed by the caller") << silent << QByteArray() << Suppressed << QString();
        QTest::newRow("time-out without an adapter found") << silent << QByteArray() << NoAdapter << QString();
    }

    void batchGivenUp()
    {
        QFETCH(SimFaults, faults);
        QFETCH(QByteArray, garbage);
        QFETCH(int, quiet);
        QFETCH(QString, message);
        Rig rig;
        rig.connect();
        rig.line.faults() = faults;
        rig.engine.state().quietTimeouts = quiet == Suppressed;
        rig.portState.adapterFound = quiet != NoAdapter;
        qint64 lastSentMs = 0;
        rig.views.beforeSend = [&] { lastSentMs = rig.clock.nowMs(); };
        rig.queueReads(3);
        QVERIFY(rig.clock.runUntil([&] { return rig.engine.state().waitedMs > 0; }, 100));
        rig.engine.receiveData(garbage);
        QVERIFY(rig.engine.state().rx.pending().size() < FrameSize);
        // A device that answered (damaged) is reset (2950 ms) at once, before the message; one
        // that did not may still be at work: the message comes at the time-out, the reset only
        // once the line has been quiet for as long again.
        const bool timedOut = message.startsWith(u"T I M E O U T");
        QCOMPARE(rig.clock.runUntil([&] { return !rig.dialogs.messages.isEmpty(); }, 5000), quiet == Shown);
        const qint64 waited = rig.clock.nowMs() - lastSentMs - (timedOut ? 0 : 2950);
        QVERIFY2(quiet != Shown || (waited >= (timedOut ? 400 : 0) && waited <= (timedOut ? 440 : 60)),
                 qPrintable(QString::number(waited)));
        const int resets = quiet == NoAdapter ? 0 : 1; // no adapter, no reset line
        QCOMPARE(rig.line.device().restartCount(), timedOut ? 0 : resets);
        QVERIFY(rig.clock.runUntil([&] { return rig.engine.idle(); }, 5000));
        QCOMPARE(rig.views.debugLines.filter(QStringLiteral("RxLate: ")).size(), faults.extraDelayMs > 0 ? 3 : 0);
        QCOMPARE(rig.line.device().restartCount(), resets);
        QVERIFY(!rig.engine.state().resetPending);
        QCOMPARE(rig.engine.state().waitedMs, 0);
        QVERIFY(rig.responses.isEmpty());
        const DialogMessage shown{message, MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("Error")};
        QCOMPARE(rig.dialogs.messages, quiet == Shown ? Messages{shown} : Messages{});
        // A lost or damaged answer is asked for twice more before the batch is given up.
        const QString first = QStringLiteral("TxSend: 10 00 20 00 00 00 00 00");
        QCOMPARE(rig.views.debugLines.filter(QStringLiteral("TxSend: ")), (QStringList{first, first + " (repeat 1)", first + " (repeat 2)"}));
        QCOMPARE(rig.engine.state().repeatTotal, 2);
        QCOMPARE(rig.engine.state().queue.length(), 0);

        // The next batch gets every answer and one reset, after its last answer.
        rig.line.faults() = SimFaults{};
        rig.queueReads(20);
        QVERIFY(rig.runUntilBatchEnd());
        rig.clock.runFor(5000);
        QCOMPARE(rig.responses.size(), 20);
        QCOMPARE(rig.line.device().restartCount(), resets + 1);
        QCOMPARE(rig.dialogs.messages.size(), quiet == Shown ? 1 : 0);
    }

    // A port that cannot be used: probing it answers false quietly and leaves the port in use
    // open; opening it tells why.
    void unusablePort_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("busy port") << 3 << "COM=3 already in use or not available !\r\nAnother program is using the port.";
        QTest::newRow("missing port") << 4 << "COM=4 already in use or not available !\r\nThe port does not exist (is the adapter plugged in?).";
        QTest::newRow("port 0") << 0 << "COM=0 already in use or not available !";
    }

    void unusablePort()
    {
        QFETCH(int, port);
        QFETCH(QString, text);
        Rig rig;
        rig.line.setPortBusy(3, true);
        rig.line.setExistingPorts(QSet<int>{1, 2, 3, 17}); // 17 is refused for its number alone
        rig.connect();
        QVERIFY(!rig.port.probePort(port));
        QVERIFY(!rig.port.probePort(17));
        QVERIFY(rig.port.probePort(2));
        QVERIFY(rig.line.isOpen());
        QCOMPARE(rig.line.portNumber(), 1); // reopened on the port in use
        QVERIFY(rig.dialogs.messages.isEmpty());

        rig.port.closePort();
        rig.portState.portNumber = static_cast<qint16>(port);
        QVERIFY(!rig.port.openPort());
        QCOMPARE(rig.portState.portNumber, 0);
        QCOMPARE(rig.dialogs.messages, (Messages{{text, MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("Error opening COM-Port")}}));
    }

    void resetDeviceWaits_data()
    {
        QTest::addColumn<bool>("longDelay");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("expectedMs");
        QTest::newRow("unticked, its 5 s unused") << false << 5 << 2950;
        QTest::newRow("long delay of 0 s still waits 750 ms") << true << 0 << 2950;
        QTest::newRow("long delay of 3 s") << true << 3 << 5200;
    }

    void resetDeviceWaits()
    {
        QFETCH(bool, longDelay);
        QFETCH(int, seconds);
        QFETCH(int, expectedMs);
        Rig rig;
        rig.connect();
        rig.portState.longDelay = longDelay;
        rig.portState.longDelaySeconds = static_cast<qint16>(seconds);
        const qint64 start = rig.clock.nowMs();
        rig.finish(rig.port.resetDevice());
        const qint64 took = rig.clock.nowMs() - start;
        QVERIFY2(took >= expectedMs && took <= expectedMs + 40, qPrintable(QString::number(took)));
        QCOMPARE(rig.line.device().restartCount(), 1);
    }

    void longQueueProgress()
    {
        // A batch longer than a 16-bit count of queue characters still shows sound progress, and
        // gets every answer in order past the point where the queue reclaims its consumed front.
        Rig rig;
        rig.connect();
        ProgressBars bars(rig.clock, rig.views);
        rig.engine.setBatchListener(&bars);
        bars.measureFromNextPacket();
        rig.queueReads(5000, 0x6000);
        QVERIFY(rig.clock.runUntil([&] { return rig.responses.size() == 2500; }, 600000));
        const int bar = bars.shown().overall;
        QVERIFY2(bar >= 49 && bar <= 51, qPrintable(QString::number(bar)));
        QVERIFY(rig.runUntilBatchEnd());
        QCOMPARE(bars.shown().overall, 100);
        rig.clock.runFor(100); // the last answer
        QCOMPARE(rig.responses.size(), 5000);
        for (int i = 0; i < 5000; ++i)
            QCOMPARE(packetIndex(rig.responses.at(i)), 0x6000 + i);
    }
};

QTEST_GUILESS_MAIN(TestTransmitEngine)
#include "tst_transmit_engine.moc"
