// Production channels against simulated transmitters in virtual time: automatic mode programs each
// unit that is plugged in, once, records it, and arms again when the unit is taken away.
#include "production/production_channel.h"
#include "records/sqlite_store.h"
#include "sim/sim_line.h"
#include "sim/virtual_clock.h"
#include "support/rig.h"
#include "support/test_data.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tunekit;
using namespace tunekit::testing;
using namespace Qt::StringLiterals;

namespace {

// A records server that is down: each record is kept locally.
struct ServerDown final : records::RecordSink {
    QCoro::Task<records::RecordOutcome> keep(records::OperationRecord) override
    {
        co_return records::RecordOutcome{records::RecordOutcome::Status::KeptLocally, QStringLiteral("server down")};
    }
};

} // namespace

class TestProduction : public QObject {
    Q_OBJECT

private slots:
    void automaticModeProgramsEachUnitOnce()
    {
        QTemporaryDir folder;
        VirtualClock clock;
        FixedHost host;
        records::SqliteRecordStore store(folder.filePath(QStringLiteral("records.sqlite")));
        ProductionSettings settings;
        settings.file = QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd");
        settings.backupFolder = folder.filePath(QStringLiteral("backups"));
        SimLine lineA(clock, 2);
        SimLine lineB(clock, 2);
        records::StoreSink sinkA(store);
        // The channel works at the level in force when a unit comes, not when it was made.
        AccessLevel level = AccessLevel::level1();
        ProductionChannel a({lineA, clock, host, &sinkA, QStringLiteral("A"), QStringLiteral("FT-A")}, settings,
                            [&level] { return level; }, makeVersionInfo());
        // B's records server is down: its units pass, and each says its record was kept locally.
        ServerDown sinkB;
        ProductionChannel b({lineB, clock, host, &sinkB, QStringLiteral("B"), QStringLiteral("FT-B")}, settings,
                            [&level] { return level; }, makeVersionInfo());
        level = AccessLevel::production();
        QVERIFY(a.open() && b.open());
        clock.startTicker(10, [&] {
            a.device().tick();
            b.device().tick();
        });
        using State = ProductionChannel::State;
        lineB.faults().silent = true; // channel B has no unit yet
        // The unit's bar only goes forward, and shows 100 % only with the result.
        QList<int> bar; // while the unit is in work
        a.setChanged([&] {
            if (a.currentState() == State::Working)
                bar << a.progress();
        });
        QCoro::Task<> runA = a.runAutomatic();
        QCoro::Task<> runB = b.runAutomatic();

        // A's unit is programmed without a click; B keeps asking.
        QVERIFY(clock.runUntil([&] { return a.currentState() == State::Passed; }, 120000));
        QCOMPARE(b.currentState(), State::Waiting);
        QCOMPARE(a.progress(), 100);
        QStringList shown;
        for (const int percent : bar)
            shown << QString::number(percent);
        QVERIFY2(std::is_sorted(bar.cbegin(), bar.cend()) && bar.last() >= 80 && bar.last() < 100, qPrintable(shown.join(u' ')));
        a.setChanged({});
        const int restarts = lineA.device().restartCount();
        clock.runFor(5000);
        QCOMPARE(a.unitsPassed(), 1); // programmed once, however long it stays
        // At Production, with "Overwrite adjusted calibration values" unticked, the unit keeps its
        // adjusted frequency (+2 steps) where the file says 0.
        QCOMPARE(lineA.device().cell(0x2501, 0).at(0), char(12));
        // The trace: each packet once, sent and received, with date and time, and the unit's
        // beginning and end.
        const QStringList trace = a.trace();
        QVERIFY(std::all_of(trace.cbegin(), trace.cend(), [](const QString& line) {
            return line.startsWith(u"2026-12-06 14:03:27.000 ") || line.startsWith(u'(');
        }));
        QCOMPARE(trace.filter(u"TxSend:"_s).size(), 0);
        QVERIFY(trace.filter(u"Receive "_s).size() >= trace.filter(u"Transmit "_s).size() / 2);
        QCOMPARE(trace.filter(u"--- Unit begins: backup_cfg2.scd"_s).size(), 1);
        QCOMPARE(trace.filter(QRegularExpression(u"--- Unit ends: PASS, serial number \\d+\\. Written and verified\\."_s)).size(), 1);
        QCOMPARE(lineA.device().restartCount(), restarts); // asking does not restart it

        // A's unit is taken away, B's plugged in; then a unit with a worn cell on A.
        lineA.faults().silent = true;
        QVERIFY(clock.runUntil([&] { return a.currentState() == State::Waiting; }, 10000));
        // Ten minutes of waiting for the next unit leave only their last lines in the trace.
        clock.runFor(600000);
        QVERIFY(a.trace().size() <= trace.size() + 42);
        QCOMPARE(a.trace().filter(u"earlier lines of waiting for a unit left out"_s).size(), 1);
        const int restartsB = lineB.device().restartCount();
        lineB.faults().silent = false;
        QVERIFY(clock.runUntil([&] { return b.currentState() == State::Passed; }, 120000));
        QVERIFY2(b.message().endsWith(QStringLiteral("\nRecord kept locally: server down")), qPrintable(b.message()));
        // One restart in the unit's cycle: after it stored the values, which the read-back then proves.
        QCOMPARE(lineB.device().restartCount() - restartsB, 1);
        lineA.device().makeFresh();
        lineA.device().setStuckCell(0x2303, 0); // its production number cannot be written
        lineA.faults().silent = false;
        QVERIFY(clock.runUntil([&] { return a.currentState() == State::Failed; }, 120000));
        QVERIFY2(a.message().contains(QStringLiteral("other values than the file")), qPrintable(a.message()));
        QVERIFY(!a.trace().isEmpty());

        a.stop();
        b.stop();
        QVERIFY(clock.runUntil([&] { return a.currentState() == State::Idle && b.currentState() == State::Idle; }, 10000));
        QStringList kept;
        for (const records::OperationRecord& record : store.query({}).records)
            kept << record.port + u' ' + record.adapter + u' ' + record.result + u' ' + QString::number(record.configId);
        QCOMPARE(kept, (QStringList{QStringLiteral("A FT-A passed 2"), QStringLiteral("A FT-A failed 2")}));
        const records::OperationRecord first = store.query({}).records.first();
        QVERIFY(QFile::exists(first.backup));
        QVERIFY(!first.changes.isEmpty());
        QCOMPARE(first.accessLevel, QStringLiteral("production"));

        // Switched on, off and on again at once: one run goes on, and the unit is programmed once.
        QCoro::Task<> again = b.runAutomatic();
        b.stop();
        QCoro::Task<> once = b.runAutomatic();
        QVERIFY(clock.runUntil([&] { return b.currentState() == State::Passed; }, 120000));
        clock.runFor(5000);
        QCOMPARE(b.unitsPassed(), 2);
        QCOMPARE(b.unitsFailed(), 0);
        b.stop();
        QVERIFY(clock.runUntil([&] { return b.currentState() == State::Idle; }, 10000));

        // Closed (the window goes) while a unit is in work: the unit fails as cancelled, its record
        // says so, and the automatic run ends with it.
        QCoro::Task<> closing = a.runAutomatic();
        QVERIFY(clock.runUntil([&] { return a.currentState() == State::Working; }, 10000));
        clock.runFor(1500);
        const qsizetype sent = lineA.device().requests().size();
        const int failed = a.unitsFailed();
        a.close();
        QCOMPARE(a.unitsFailed(), failed + 1);
        QCOMPARE(a.message(), QStringLiteral("Cancelled before the unit was finished: what it holds is not known."));
        QVERIFY(closing.isReady());
        clock.runFor(10000);
        QCOMPARE(lineA.device().requests().size(), sent);
        const records::OperationRecord cancelled = store.query({}).records.last();
        QCOMPARE(cancelled.result + u' ' + cancelled.message,
                 QStringLiteral("failed Cancelled before the unit was finished: what it holds is not known."));
    }
};

QTEST_GUILESS_MAIN(TestProduction)
#include "tst_production.moc"
