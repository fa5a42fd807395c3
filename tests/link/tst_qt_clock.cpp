// The real clock's pump: a wait inside the main timer's own tick must end on time,
// although Qt does not run that timer again while its slot waits.
#include "link/qt_clock.h"

#include <QTest>

using namespace tunekit;

class TestQtClock : public QObject {
    Q_OBJECT
private slots:
    void waitInsideTheTickEnds()
    {
        QtClock clock;
        qint64 took = -1;
        clock.StartTicker(10, [&] {
            if (took != -1)
                return;
            took = 0;
            const qint64 start = clock.NowMs();
            while (clock.NowMs() <= start + 50)
                clock.ProcessEvents();
            took = clock.NowMs() - start;
        });
        QTRY_VERIFY_WITH_TIMEOUT(took > 0, 5000);
        QVERIFY2(took >= 50 && took < 1000, qPrintable(QString::number(took)));
    }

    void scheduledCallsRunInOrder()
    {
        QtClock clock;
        QList<int> order;
        clock.Schedule(30, [&] { order << 2; });
        clock.Schedule(1, [&] { order << 1; });
        QTRY_COMPARE_WITH_TIMEOUT(order, (QList<int>{1, 2}), 5000);
    }
};

QTEST_GUILESS_MAIN(TestQtClock)
#include "tst_qt_clock.moc"
