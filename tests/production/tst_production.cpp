// Production channels against simulated transmitters in virtual time: automatic mode programs each
// unit that is plugged in, once, records it, and arms again when the unit is taken away.
#include "production/production_channel.h"
#include "records/sqlite_store.h"
#include "sim/sim_line.h"
#include "sim/virtual_clock.h"
#include "support/rig.h"
#include "support/test_data.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tunekit;
using namespace tunekit::testing;

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
        ProductionChannel a({lineA, clock, host, &store, QStringLiteral("A"), QStringLiteral("FT-A")}, settings,
                            AccessLevel::Production(), MakeVersionInfo());
        ProductionChannel b({lineB, clock, host, &store, QStringLiteral("B"), QStringLiteral("FT-B")}, settings,
                            AccessLevel::Production(), MakeVersionInfo());
        QVERIFY(a.Open() && b.Open());
        clock.StartTicker(10, [&] {
            a.Device().Tick();
            b.Device().Tick();
        });
        using State = ProductionChannel::State;
        lineB.Faults().Silent = true; // channel B has no unit yet
        QCoro::Task<> runA = a.RunAutomatic();
        QCoro::Task<> runB = b.RunAutomatic();

        // A's unit is programmed without a click; B keeps asking.
        QVERIFY(clock.RunUntil([&] { return a.CurrentState() == State::Passed; }, 120000));
        QCOMPARE(b.CurrentState(), State::Waiting);
        const int restarts = lineA.Device().RestartCount();
        clock.RunFor(5000);
        QCOMPARE(a.UnitsPassed(), 1); // programmed once, however long it stays
        QCOMPARE(lineA.Device().RestartCount(), restarts); // asking does not restart it

        // A's unit is taken away, B's plugged in; then a unit with a worn cell on A.
        lineA.Faults().Silent = true;
        QVERIFY(clock.RunUntil([&] { return a.CurrentState() == State::Waiting; }, 10000));
        const int restartsB = lineB.Device().RestartCount();
        lineB.Faults().Silent = false;
        QVERIFY(clock.RunUntil([&] { return b.CurrentState() == State::Passed; }, 120000));
        // One restart in the unit's cycle: after it stored the values, which the read-back then proves.
        QCOMPARE(lineB.Device().RestartCount() - restartsB, 1);
        lineA.Device().MakeFresh();
        lineA.Device().SetStuckCell(0x2303, 0); // its production number cannot be written
        lineA.Faults().Silent = false;
        QVERIFY(clock.RunUntil([&] { return a.CurrentState() == State::Failed; }, 120000));
        QVERIFY2(a.Message().contains(QStringLiteral("other values than the file")), qPrintable(a.Message()));
        QVERIFY(!a.Trace().isEmpty());

        a.Stop();
        b.Stop();
        QVERIFY(clock.RunUntil([&] { return a.CurrentState() == State::Idle && b.CurrentState() == State::Idle; }, 10000));
        QStringList kept;
        for (const records::OperationRecord& record : store.query({}).records)
            kept << record.port + u' ' + record.adapter + u' ' + record.result + u' ' + QString::number(record.configId);
        QCOMPARE(kept, (QStringList{QStringLiteral("A FT-A passed 2"), QStringLiteral("B FT-B passed 2"),
                                    QStringLiteral("A FT-A failed 2")}));
        const records::OperationRecord first = store.query({}).records.first();
        QVERIFY(QFile::exists(first.backup));
        QVERIFY(!first.changes.isEmpty());
        QCOMPARE(first.accessLevel, QStringLiteral("production"));

        // Switched on, off and on again at once: one run goes on, and the unit is programmed once.
        QCoro::Task<> again = b.RunAutomatic();
        b.Stop();
        QCoro::Task<> once = b.RunAutomatic();
        QVERIFY(clock.RunUntil([&] { return b.CurrentState() == State::Passed; }, 120000));
        clock.RunFor(5000);
        QCOMPARE(b.UnitsPassed(), 2);
        QCOMPARE(b.UnitsFailed(), 0);
        b.Stop();
    }
};

QTEST_GUILESS_MAIN(TestProduction)
#include "tst_production.moc"
