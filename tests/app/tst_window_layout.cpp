#include "session/session.h"
#include "session/window_arrangement.h"

#include <QTest>

using namespace tunekit;

class TestWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void arrangement_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("top");
        QTest::addColumn<QList<int>>("lefts"); // main window, terminal, console
        const QSize fullHd(28800, 16200);       // 1920 x 1080 pixels at 96 dpi, in twips
        QTest::newRow("service centred") << fullHd << 40 << 3720 << QList{9518, 19303, 3498};
        QTest::newRow("production a third from the left") << fullHd << 50 << 3720 << QList{4718, 14503, 0};
        QTest::newRow("development centred again") << fullHd << 60 << 3720 << QList{9518, 19303, 3498};
        QTest::newRow("small screen never negative") << QSize(9000, 6000) << 10 << 0 << QList{0, 9785, 0};
    }

    void arrangement()
    {
        QFETCH(QSize, screen);
        QFETCH(int, level);
        QFETCH(int, top);
        QFETCH(QList<int>, lefts);
        const WindowArrangement a = arrangeWindows(screen, AccessLevel::fromNumber(level).value(), 6000);
        QCOMPARE(a.main, QRect(lefts[0], top, 9765, 8760));
        QCOMPARE(a.terminal, QRect(lefts[1], top, 7323, 8760));
        QCOMPARE(a.console, QRect(lefts[2], top, 6000, 8760));
    }

    void debugLine()
    {
        QCOMPARE(formatDebugLine(QTime(14, 3, 27, 589), QStringLiteral("TxSend: x")),
                 QStringLiteral("14:03:27.58 : TxSend: x"));
        QCOMPARE(formatDebugLine(QTime(0, 0, 0, 5), QStringLiteral("t")), QStringLiteral("00:00:00.00 : t"));
    }
};

QTEST_GUILESS_MAIN(TestWindowLayout)
#include "tst_window_layout.moc"
