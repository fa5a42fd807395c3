// The transmit engine and the serial port access against the simulated transmitter,
// in virtual time: every wait, tick and byte happens at its virtual moment.
#include "link/packet_codec.h"
#include "support/session_rig.h"

#include <QTest>

#include <algorithm>

using namespace tunekit;
using namespace tunekit::testing;

Q_DECLARE_METATYPE(tunekit::SimFaults)

class TestTransmitEngine : public QObject {
    Q_OBJECT
private slots:
    void batchIsAnsweredInOrderAndResetOnce_data();
    void batchIsAnsweredInOrderAndResetOnce();
    void batchOfOnePacketEndsInItsSendingTick();
    void answersSurviveLineFaults_data();
    void answersSurviveLineFaults();
    void batchGivenUp_data();
    void batchGivenUp();
    void timeoutMessageSuppressed_data();
    void timeoutMessageSuppressed();
    void lateAnswerAfterTimeoutIsStillStored();
    void garbageNeverStopsTheEngine_data();
    void garbageNeverStopsTheEngine();
    void idleTicksOnlyRefreshTheStatusBar();
    void disabledAutomaticResetShowsTheHint();
    void vanishedAdapterEndsTheTransferWithOneMessage();
    void openPortFailures_data();
    void openPortFailures();
    void probePortOutsideRange();
    void resetDeviceWaits_data();
    void resetDeviceWaits();
    void waitMsHandlesAnswers();
    void longQueueProgress();
};

void TestTransmitEngine::batchIsAnsweredInOrderAndResetOnce_data()
{
    QTest::addColumn<bool>("paced");
    QTest::newRow("next packet as soon as the answer is in") << false;
    QTest::newRow("paced, one packet per tick") << true;
}

void TestTransmitEngine::batchIsAnsweredInOrderAndResetOnce()
{
    QFETCH(bool, paced);
    SessionRig rig;
    rig.Connect();
    rig.session.Access().blnAuthLevel = 60;
    rig.session.Engine().SetPaced(paced);
    QList<qint64> sentAt;
    rig.views.beforeSend = [&] { sentAt << rig.clock.NowUs(); };
    rig.QueueReads(5);
    QVERIFY(rig.RunUntilIdle());
    // The reset follows the last answer: run past it.
    rig.clock.RunFor(5000);
    QCOMPARE(rig.responses.size(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(PacketIndex(rig.responses[i]), 0x2000 + i);
    QCOMPARE(rig.line.Device().RestartCount(), 1);
    QVERIFY(!rig.session.Engine().State().ResetPending);
    QVERIFY(rig.dialogs.messages.isEmpty());
    // Paced, every packet leaves on a tick; otherwise the answer's arrival sends the next.
    const auto onTick = [](qint64 us) { return us % 10000 == 0; };
    QCOMPARE(std::all_of(sentAt.cbegin(), sentAt.cend(), onTick), paced);
    QCOMPARE(rig.views.debugLines.size(), 5);
    QCOMPARE(rig.views.debugLines.first(), QStringLiteral("TxSend: 10 00 20 00 00 00 00 00"));
    int transmitted = 0;
    int received = 0;
    for (const auto& dump : rig.views.dumps)
        (dump.second == QStringLiteral("Transmit") ? transmitted : received) += 1;
    QCOMPARE(transmitted, 5);
    QCOMPARE(received, 5); // level 60 logs answers too
    QVERIFY(rig.views.terminal.contains("@1000200000000000CF\r"));
}

void TestTransmitEngine::batchOfOnePacketEndsInItsSendingTick()
{
    SessionRig rig;
    rig.Connect();
    rig.QueueReads(1);
    rig.clock.RunFor(5000);
    // The end-of-queue steps ran in the sending tick: one tick, one log line.
    QVERIFY(!rig.session.Engine().State().TransferActive);
    QCOMPARE(rig.views.debugLines.size(), 1);
    QCOMPARE(rig.responses.size(), 1);
    QCOMPARE(rig.line.Device().RestartCount(), 1);
    QCOMPARE(rig.session.Engine().Window().ProgressBar1, 100);
}

void TestTransmitEngine::answersSurviveLineFaults_data()
{
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<int>("stored"); // answers handed to the decoder, duplicates included
    const auto with = [](const std::function<void(SimFaults&)>& set) {
        SimFaults faults;
        set(faults);
        return faults;
    };
    QTest::newRow("frame in pieces 7 + 13") << with([](SimFaults& f) { f.SplitAfter = 7; }) << 20;
    QTest::newRow("line break before @") << with([](SimFaults& f) { f.Noise = "\r\n"; }) << 20;
    QTest::newRow("noise and pieces") << with([](SimFaults& f) { f.SplitAfter = 3; f.Noise = "xx\r"; }) << 20;
    QTest::newRow("stray @ before the frame") << with([](SimFaults& f) { f.Noise = "@"; }) << 20;
    QTest::newRow("latency timer 16 ms") << with([](SimFaults& f) { f.LatencyMs = 16; }) << 20;
    QTest::newRow("every answer twice, in one USB packet") << with([](SimFaults& f) {
        f.DuplicateRate = 1;
        f.LatencyMs = 16;
    }) << 40;
    QTest::newRow("bursts of noise") << with([](SimFaults& f) { f.NoiseBurstRate = 0.5; }) << 20;
    QTest::newRow("corrupted answers") << with([](SimFaults& f) { f.CorruptRate = 0.15; }) << 20;
}

void TestTransmitEngine::answersSurviveLineFaults()
{
    QFETCH(SimFaults, faults);
    QFETCH(int, stored);
    SessionRig rig;
    rig.Connect();
    rig.line.Faults() = faults;
    rig.QueueReads(20);
    QVERIFY(rig.RunUntilIdle());
    rig.clock.RunFor(5000);
    QCOMPARE(rig.responses.size(), stored);
    // Every value handed on is the device's; each corrupted answer cost one repeat.
    for (const QByteArray& response : rig.responses)
        QCOMPARE(PacketData(response), rig.line.Device().Cell(PacketIndex(response), PacketSubindex(response)));
    QCOMPARE(rig.line.Device().Requests().size(), 20 + rig.line.Link().AnswersCorrupted());
    QCOMPARE(rig.session.Engine().State().RepeatTotal, rig.line.Link().AnswersCorrupted());
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.line.Device().RestartCount(), 1);
}

void TestTransmitEngine::batchGivenUp_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("german");
    QTest::addColumn<int>("sends"); // of the first packet
    QTest::newRow("time-out") << true << "T I M E O U T  !\r\ninterface or device not reacting!"
                              << "T I M E O U T  !\r\nSchnittstelle oder System reagiert nicht!" << 1;
    QTest::newRow("corrupted after two repeats")
        << false << "The line is corrupting data!\r\nThe device's answers still arrived damaged after two repeats. Check the cable and the adapter."
        << "Die Leitung verfälscht Daten!\r\nDie Antworten des Geräts kamen auch nach zwei Wiederholungen beschädigt an. Kabel und Adapter prüfen."
        << 3;
}

void TestTransmitEngine::batchGivenUp()
{
    QFETCH(bool, silent);
    QFETCH(QString, message);
    QFETCH(QString, german);
    QFETCH(int, sends);
    SessionRig rig;
    rig.Connect();
    rig.line.Faults().Silent = silent;
    rig.line.Faults().CorruptRate = silent ? 0 : 1;
    rig.QueueReads(3);
    QVERIFY(rig.clock.RunUntil([&] { return rig.session.Engine().State().TimeoutCounter > 0; }, 100));
    const qint64 sent = rig.clock.NowMs();
    // The batch's reset (2950 ms) is carried out at once, before the message.
    QVERIFY(rig.clock.RunUntil([&] { return !rig.dialogs.messages.isEmpty(); }, 5000));
    const qint64 waited = rig.clock.NowMs() - sent - 2950;
    QVERIFY2(waited >= (silent ? 400 : 0) && waited <= (silent ? 440 : 60), qPrintable(QString::number(waited)));
    QCOMPARE(rig.line.Device().RestartCount(), 1);
    QVERIFY(!rig.session.Engine().State().ResetPending);
    const auto& shown = rig.dialogs.messages.first();
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.title, QStringLiteral("Error"));
    QCOMPARE(shown.icon, MsgIcon::Critical);
    QCOMPARE(shown.buttons, MsgButtons::Ok);
    QCOMPARE(rig.views.debugLines.count(QStringLiteral("TxSend: 10 00 20 00 00 00 00 00")), 1);
    QCOMPARE(rig.views.debugLines.filter(QStringLiteral("TxSend: ")).size(), sends);
    QCOMPARE(rig.session.Engine().State().TxQueue.Length(), 0);

    // The next batch gets every answer and one reset, after its last answer.
    rig.line.Faults() = SimFaults{};
    rig.responses.clear();
    rig.QueueReads(20);
    QVERIFY(rig.RunUntilIdle());
    rig.clock.RunFor(5000);
    QCOMPARE(rig.responses.size(), 20);
    QCOMPARE(rig.line.Device().RestartCount(), 2);
    QCOMPARE(rig.dialogs.messages.size(), 1);

    // German, once the translator is in.
    rig.session.ChooseLanguage(QStringLiteral("DE"));
    rig.line.Faults().Silent = silent;
    rig.line.Faults().CorruptRate = silent ? 0 : 1;
    rig.QueueReads(1);
    QVERIFY(rig.clock.RunUntil([&] { return rig.dialogs.messages.size() == 2; }, 5000));
    QCOMPARE(rig.dialogs.messages.last().text, german);
    QCOMPARE(rig.dialogs.messages.last().title, QStringLiteral("Fehler"));
}

void TestTransmitEngine::timeoutMessageSuppressed_data()
{
    QTest::addColumn<bool>("suppressed");
    QTest::addColumn<bool>("adapterFound");
    QTest::newRow("suppressed by the caller") << true << true;
    QTest::newRow("no adapter") << false << false;
}

void TestTransmitEngine::timeoutMessageSuppressed()
{
    QFETCH(bool, suppressed);
    QFETCH(bool, adapterFound);
    SessionRig rig;
    rig.Connect();
    rig.session.Port().HVXPortFound = adapterFound;
    rig.session.Engine().State().SuppressTimeoutMessage = suppressed;
    rig.line.Faults().Silent = true;
    rig.QueueReads(2);
    QVERIFY(rig.RunUntilIdle(2000));
    rig.clock.RunFor(1000);
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.session.Engine().State().TimeoutCounter, 0);
}

void TestTransmitEngine::lateAnswerAfterTimeoutIsStillStored()
{
    SessionRig rig;
    rig.Connect();
    rig.session.Access().blnAuthLevel = 50;
    rig.line.Faults().ExtraDelayMs = 600;
    rig.QueueReads(2);
    // It comes while the device is being reset after the time-out.
    QVERIFY(rig.clock.RunUntil([&] { return !rig.dialogs.messages.isEmpty(); }, 5000));
    QCOMPARE(rig.responses.size(), 1); // stored although the queue is gone
    QCOMPARE(rig.views.dumps.last().second, QStringLiteral("Receive"));
    QCOMPARE(rig.line.Device().Requests().size(), 1);
}

void TestTransmitEngine::garbageNeverStopsTheEngine_data()
{
    QTest::addColumn<QByteArray>("garbage");
    QTest::addColumn<bool>("repeated");
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    QTest::newRow("bytes 0..255") << everyByte << false;
    QTest::newRow("21-character frame") << QByteArray("@1100200005000000000\r") << false;
    QTest::newRow("19-character frame") << QByteArray("@11002000050000000\r") << false;
    // A frame that cannot be read, one with a wrong checksum and the device's ChkError make the
    // packet go again; nothing is stored.
    QTest::newRow("non-hex frame") << QByteArray("@11002000ZZ000000CF\r") << true;
    QTest::newRow("wrong checksum") << QByteArray("@1100200035000000C9\r") << true;
    QTest::newRow("ChkError") << EncodeFrame(MakePacket(ChkError, 0x2000, 0)) << true;
    QTest::newRow("endless noise") << QByteArray(100000, 'x') << false;
}

void TestTransmitEngine::garbageNeverStopsTheEngine()
{
    QFETCH(QByteArray, garbage);
    QFETCH(bool, repeated);
    SessionRig rig;
    rig.Connect();
    rig.line.Faults().Silent = true;
    rig.QueueReads(2);
    QVERIFY(rig.clock.RunUntil([&] { return rig.session.Engine().State().TimeoutCounter > 0; }, 100));
    rig.session.Engine().ReceiveData(garbage);
    QVERIFY(rig.session.Engine().State().Rx.Pending().size() < FrameSize);
    QVERIFY(rig.responses.isEmpty());
    // Whatever cannot become an answer is ended by the time-out, and the engine goes on.
    QVERIFY(rig.RunUntilIdle(2000));
    QCOMPARE(rig.views.debugLines.last(), repeated ? QStringLiteral("TxSend: 10 00 20 00 00 00 00 00 (repeat 1)")
                                                   : QStringLiteral("TxSend: 10 00 20 00 00 00 00 00"));
    QCOMPARE(rig.session.Engine().State().RepeatTotal, repeated ? 1 : 0);
    rig.clock.RunFor(5000);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    rig.line.Faults().Silent = false;
    rig.QueueReads(3);
    QVERIFY(rig.RunUntilIdle());
    rig.clock.RunFor(5000);
    QCOMPARE(rig.responses.size(), 3);
}

void TestTransmitEngine::idleTicksOnlyRefreshTheStatusBar()
{
    SessionRig rig;
    rig.Connect();
    const int before = rig.views.statusBarUpdates;
    rig.clock.RunFor(1000);
    QVERIFY(rig.views.statusBarUpdates - before >= 99);
    QVERIFY(rig.line.Device().Requests().isEmpty());
    QVERIFY(rig.views.debugLines.isEmpty());
}

void TestTransmitEngine::disabledAutomaticResetShowsTheHint()
{
    SessionRig rig;
    rig.Connect();
    rig.session.SetDisAutoRes(true);
    QVERIFY(rig.session.Engine().Reset().check01); // the two boxes mirror each other
    rig.QueueReads(2);
    QVERIFY(rig.RunUntilIdle());
    rig.clock.RunFor(5000);
    QCOMPARE(rig.line.Device().RestartCount(), 0);
    QVERIFY(rig.session.Engine().Reset().consoleHintVisible);
    rig.session.SetCheck01(false);
    QVERIFY(!rig.session.Engine().Reset().DisAutoRes);
    rig.QueueReads(1);
    QVERIFY(rig.RunUntilIdle());
    rig.clock.RunFor(5000);
    QCOMPARE(rig.line.Device().RestartCount(), 1);
    QVERIFY(!rig.session.Engine().Reset().consoleHintVisible);
}

void TestTransmitEngine::vanishedAdapterEndsTheTransferWithOneMessage()
{
    SessionRig rig;
    rig.Connect();
    rig.QueueReads(50);
    QVERIFY(rig.clock.RunUntil([&] { return rig.responses.size() == 10; }, 10000));
    rig.line.PullPlug();
    QVERIFY(rig.RunUntilIdle(2000));
    rig.clock.RunFor(3000);
    QCOMPARE(rig.session.Port().intComPort, 0);
    QVERIFY(!rig.session.Port().HVXPortFound);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text,
             QStringLiteral("The connection to the programming adapter was lost.\r\n"
                            "Check the cable, then choose Interface > Detect."));
    QVERIFY(rig.responses.size() < 50);
    // Plugged in again, the port opens and works.
    rig.line.PlugIn();
    rig.Connect();
    QVERIFY(rig.session.Port().HVXPortFound);
    const int before = static_cast<int>(rig.responses.size());
    rig.QueueReads(2);
    QVERIFY(rig.RunUntilIdle());
    rig.clock.RunFor(5000);
    QCOMPARE(rig.responses.size(), before + 2);
}

void TestTransmitEngine::openPortFailures_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");
    QTest::newRow("busy port") << 3
                               << "COM=3 already in use or not available !\r\nAnother program is using the port.";
    QTest::newRow("missing port") << 4
                                  << "COM=4 already in use or not available !\r\n"
                                     "The port does not exist (is the adapter plugged in?).";
    QTest::newRow("port 0") << 0 << "COM=0 already in use or not available !";
}

void TestTransmitEngine::openPortFailures()
{
    QFETCH(int, port);
    QFETCH(QString, text);
    SessionRig rig;
    rig.line.SetPortBusy(3, true);
    rig.line.SetExistingPorts(QSet<int>{1, 2, 3});
    rig.session.Port().intComPort = static_cast<qint16>(port);
    QVERIFY(!rig.session.Rs232().OpenPort());
    QCOMPARE(rig.session.Port().intComPort, 0);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text, text);
    QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Error opening COM-Port"));
    QCOMPARE(rig.dialogs.messages.first().icon, MsgIcon::Critical);
}

void TestTransmitEngine::probePortOutsideRange()
{
    SessionRig rig;
    rig.Connect();
    QVERIFY(!rig.session.Rs232().ProbePort(0));
    QVERIFY(!rig.session.Rs232().ProbePort(17));
    QVERIFY(rig.line.IsOpen());
    QCOMPARE(rig.line.PortNumber(), 1);
    rig.line.SetPortBusy(4, true);
    QVERIFY(!rig.session.Rs232().ProbePort(4));
    QVERIFY(rig.session.Rs232().ProbePort(5));
    QCOMPARE(rig.line.PortNumber(), 1); // reopened on the port in use
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestTransmitEngine::resetDeviceWaits_data()
{
    QTest::addColumn<bool>("longDelay");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("expectedMs");
    QTest::newRow("normal") << false << 5 << 2950;
    QTest::newRow("long delay of 0 s still waits 750 ms") << true << 0 << 2950;
    QTest::newRow("long delay of 3 s") << true << 3 << 5200;
}

void TestTransmitEngine::resetDeviceWaits()
{
    QFETCH(bool, longDelay);
    QFETCH(int, seconds);
    QFETCH(int, expectedMs);
    SessionRig rig;
    rig.Connect();
    rig.session.Port().ChkLongDelay = longDelay;
    rig.session.Port().LongDelayValue = static_cast<qint16>(seconds);
    const qint64 start = rig.clock.NowMs();
    rig.session.Rs232().ResetDevice();
    const qint64 took = rig.clock.NowMs() - start;
    QVERIFY2(took >= expectedMs && took <= expectedMs + 40, qPrintable(QString::number(took)));
    QCOMPARE(rig.line.Device().RestartCount(), 1);
}

void TestTransmitEngine::waitMsHandlesAnswers()
{
    SessionRig rig;
    rig.Connect();
    rig.QueueReads(3);
    rig.session.Rs232().WaitMs(200);
    QCOMPARE(rig.responses.size(), 3);
    const qint64 start = rig.clock.NowMs();
    rig.session.Rs232().WaitSeconds(2);
    const qint64 took = rig.clock.NowMs() - start;
    QVERIFY(took >= 1500 && took <= 3000);
}

void TestTransmitEngine::longQueueProgress()
{
    // A batch longer than a 16-bit count of queue characters still shows sound progress.
    SessionRig rig;
    rig.Connect();
    rig.session.Engine().Progress().blnInitProgressBar = true;
    rig.QueueReads(5000, 0x6000);
    QVERIFY(rig.clock.RunUntil([&] { return rig.responses.size() == 2500; }, 600000));
    const int bar = rig.session.Engine().Window().ProgressBar1;
    QVERIFY2(bar >= 49 && bar <= 51, qPrintable(QString::number(bar)));
    QVERIFY(rig.RunUntilIdle());
    QCOMPARE(rig.session.Engine().Window().ProgressBar1, 100);
    QCOMPARE(rig.session.Engine().Progress().SendLength, 4 * 4999);
}

QTEST_GUILESS_MAIN(TestTransmitEngine)
#include "tst_transmit_engine.moc"
