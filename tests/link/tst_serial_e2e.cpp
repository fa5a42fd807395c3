// Real time. The real clock's pump: a wait inside the main timer's own tick must end on time,
// although Qt does not run that timer again while its slot waits. Then end to end: the session,
// the real QSerialPort and the simulated transmitter on a pseudo-terminal. Timeouts are
// generous; the only timing assertion is how fast a vanished port is noticed.
#include "link/packet_codec.h"
#include "link/waits.h"
#include "support/pty_rig.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>

#include <algorithm>
#include <ctime>
#include <optional>

using namespace tunekit;
using namespace tunekit::testing;

class TestSerialEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void pauseStartedInTheTickEnds()
    {
        // A wait started from the main timer's tick neither blocks the tick nor sleeps until
        // some later event: it ends on time, and the ticks go on meanwhile.
        QtClock clock;
        const auto owner = std::make_shared<int>(0);
        qint64 took = -1;
        int ticks = 0;
        const auto wait = [&](qint64 start) -> QCoro::Task<> {
            co_await Pause(clock, 50, owner);
            took = clock.nowMs() - start;
        };
        clock.startTicker(10, [&] {
            if (++ticks == 1)
                wait(clock.nowMs());
        });
        // Calls scheduled meanwhile run in the order of their time.
        QList<int> order;
        clock.schedule(30, [&] { order << 2; });
        clock.schedule(1, [&] { order << 1; });
        QTRY_VERIFY_WITH_TIMEOUT(took >= 0, 5000);
        QVERIFY2(took >= 50 && took < 1000, qPrintable(QString::number(took)));
        QVERIFY(ticks >= 3);
        QTRY_COMPARE_WITH_TIMEOUT(order, (QList<int>{1, 2}), 5000);
    }

    void batchIsAnsweredThroughTheRealPort_data()
    {
        QTest::addColumn<qint64>("latencyMs");
        QTest::addColumn<double>("duplicate");
        QTest::addColumn<double>("corrupt");
        QTest::newRow("16 ms latency timer, every answer twice") << qint64(16) << 1.0 << 0.0;
        QTest::newRow("corrupted answers") << qint64(0) << 0.0 << 0.1;
    }

    void batchIsAnsweredThroughTheRealPort()
    {
        QFETCH(qint64, latencyMs);
        QFETCH(double, duplicate);
        QFETCH(double, corrupt);
#ifndef Q_OS_UNIX
        QSKIP("needs pseudo-terminals");
#endif
        PtyRig rig;
        QVERIFY2(rig.startServer(), qPrintable(rig.server->errorText()));
        rig.server->faults().latencyMs = latencyMs;
        rig.server->faults().duplicateRate = duplicate;
        rig.server->faults().corruptRate = corrupt;
        {
            // The precondition: this port really refuses the modem lines.
            QSerialPort probe(rig.server->slavePath());
            QVERIFY(probe.open(QIODevice::ReadWrite));
            QVERIFY(!probe.setDataTerminalReady(true));
        }
        rig.connect();
        QVERIFY(rig.portState.adapterFound);
        // A DTR pulse that the line cannot give leaves the port open and working.
        rig.port.resetDevice();
        QVERIFY(rig.line.isOpen());
        QCOMPARE(rig.portState.portNumber, 1);

        rig.queueReads(50);
        QVERIFY(rig.pumpUntil([&] { return rig.idle(); }, 30000));
        // Duplicates reach the decoder too; the answers proper are the rest.
        rig.responses.erase(std::unique(rig.responses.begin(), rig.responses.end()), rig.responses.end());
        QCOMPARE(rig.responses.size(), 50);
        for (int i = 0; i < 50; ++i) {
            const QByteArray& answer = rig.responses[i];
            QCOMPARE(packetIndex(answer), 0x2000 + i % 16);
            QCOMPARE(packetSubindex(answer), i / 16);
            QCOMPARE(packetData(answer), rig.server->device().cell(0x2000 + i % 16, i / 16));
        }
        QCOMPARE(rig.dialogs.messages.size(), 0);
        QCOMPARE(rig.engine.state().repeatTotal, rig.server->link().answersCorrupted());
        QVERIFY(rig.line.isOpen());
    }

    void twoStationsReadSideBySideInOneThread()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs pseudo-terminals");
#endif
        // Two transmitters of different families, one thread, one clock: both reads run at
        // once, neither waits inside the other, and each image holds its own device's family.
        QtClock clock;
        PtyStation crane(clock, 53);
        PtyStation hoist(clock, 52);
        QVERIFY(crane.start() && hoist.start());
        clock.startTicker(10, [&] {
            crane.station.tick();
            hoist.station.tick();
        });
        std::optional<ReadOutcome> craneRead;
        std::optional<ReadOutcome> hoistRead;
        int hoistAnswersWhenCraneDone = -1;
        int craneAnswersWhenHoistDone = -1;
        whenDone<ReadOutcome>(crane.detectAndRead(), [&](ReadOutcome outcome) {
            craneRead = outcome;
            hoistAnswersWhenCraneDone = hoist.views.refreshes;
        });
        whenDone<ReadOutcome>(hoist.detectAndRead(), [&](ReadOutcome outcome) {
            hoistRead = outcome;
            craneAnswersWhenHoistDone = crane.views.refreshes;
        });
        QVERIFY(QTest::qWaitFor([&] { return craneRead && hoistRead; }, 60000));
        QVERIFY(craneRead->complete && hoistRead->complete);
        QCOMPARE(craneRead->configId, 53);
        QCOMPARE(hoistRead->configId, 52);
        // Side by side: each finished after the other had begun to get answers.
        QVERIFY(hoistAnswersWhenCraneDone > 0 && craneAnswersWhenHoistDone > 0);
        QVERIFY(crane.dialogs.messages.isEmpty() && hoist.dialogs.messages.isEmpty());
        QVERIFY(!crane.station.image().value[SystemAddressNr].isEmpty() && !hoist.station.image().value[SystemAddressNr].isEmpty());
    }

    void vanishedPortIsGivenUpWithoutSpinning()
    {
#ifdef Q_OS_UNIX
        PtyRig rig;
        QVERIFY(rig.startServer());
        rig.connect();
        QVERIFY(rig.portState.adapterFound);
        rig.queueReads(200);
        QVERIFY(rig.pumpUntil([&] { return rig.responses.size() >= 20; }, 30000));

        // The far end closes both its ends: the client sees a hang-up.
        QElapsedTimer sinceStop;
        sinceStop.start();
        rig.server->stop();
        QVERIFY(rig.pumpUntil([&] { return rig.portState.portNumber == 0; }, 10000));
        const qint64 detectionMs = sinceStop.elapsed();
        qInfo("hang-up noticed after %lld ms", detectionMs);
        QVERIFY2(detectionMs < 1500, qPrintable(QStringLiteral("%1 ms").arg(detectionMs)));
        QVERIFY(!rig.portState.adapterFound);
        QVERIFY(!rig.line.isOpen());
        const DialogMessage lost{"The connection to the programming adapter was lost.\r\nCheck the cable, then choose Interface > Detect.",
                                 MsgButtons::Ok, MsgIcon::Critical, "Error"};
        QCOMPARE(rig.dialogs.messages, Messages{lost});

        // The engine gives the batch up by time-out, quietly: the loss was already reported.
        QVERIFY(rig.pumpUntil([&] { return rig.idle(); }, 20000));
        QVERIFY(rig.responses.size() < 200);
        QVERIFY(rig.engine.state().queue.isEmpty());
        QCOMPARE(rig.dialogs.messages.size(), 1);

        // With the port gone and the main timer running, the program sleeps between ticks.
        const std::clock_t cpuBefore = std::clock(); // the process's CPU time, every thread's
        rig.pumpUntil([] { return false; }, 1000);
        const double cpuUsed = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        qInfo("CPU time over 1 s without a port: %.3f s", cpuUsed);
        QVERIFY2(cpuUsed < 0.2, qPrintable(QString::number(cpuUsed)));
        QCOMPARE(rig.dialogs.messages.size(), 1);

        // The adapter is back (a new terminal): opening it again works, and so does a batch.
        QVERIFY(rig.startServer());
        rig.connect();
        QVERIFY(rig.portState.adapterFound);
        QCOMPARE(rig.portState.portNumber, 1);
        const qsizetype before = rig.responses.size();
        rig.queueReads(5);
        QVERIFY(rig.pumpUntil([&] { return rig.responses.size() == before + 5 && rig.idle(); }, 30000));
        QCOMPARE(packetIndex(rig.responses.last()), 0x2004);
        QCOMPARE(rig.session.image().deviceConfigId, qint16(53)); // the answers reached the device image too
        QCOMPARE(rig.dialogs.messages.size(), 1);
#endif
    }
};

QTEST_GUILESS_MAIN(TestSerialEndToEnd)
#include "tst_serial_e2e.moc"
