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
        QTest::addColumn<int>("mainNeeds");      // the main window's contents' width; 0: less than its own
        QTest::addColumn<int>("terminalWidth");
        const QSize fullHd(28800, 16200);       // 1920 x 1080 pixels at 96 dpi, in twips
        QTest::newRow("service centred") << fullHd << 40 << 3720 << QList{9518, 19303, 3498} << 0 << 7323;
        QTest::newRow("production a third from the left") << fullHd << 50 << 3720 << QList{4718, 14503, 0} << 0 << 7323;
        QTest::newRow("development centred again") << fullHd << 60 << 3720 << QList{9518, 19303, 3498} << 0 << 7323;
        // Nothing negative, nothing past the right edge: on a screen this small the terminal
        // shrinks to a third and overlaps.
        QTest::newRow("small screen never negative") << QSize(9000, 6000) << 10 << 0 << QList{0, 6559, 0} << 0 << 2441;
        // A main window whose contents need 12225 twips (815 px): the side windows go beside it,
        // not over its buttons, and keep on the screen; the terminal takes the room that is left.
        QTest::newRow("wide main window, terminal beside it") << fullHd << 50 << 3720 << QList{3488, 15733, 0} << 12225 << 7323;
        QTest::newRow("narrower screen, terminal narrower") << QSize(19200, 16200) << 50 << 3720 << QList{288, 12533, 0} << 12225 << 6667;
        QTest::newRow("development on 1600 px, all three beside") << QSize(24000, 15000) << 60 << 3120 << QList{6020, 18265, 0} << 12225 << 5735;
    }

    void arrangement()
    {
        QFETCH(QSize, screen);
        QFETCH(int, level);
        QFETCH(int, top);
        QFETCH(QList<int>, lefts);
        QFETCH(int, mainNeeds);
        QFETCH(int, terminalWidth);
        const WindowArrangement a = arrangeWindows(screen, AccessLevel::fromNumber(level).value(), 6000, QSize(mainNeeds, 0));
        QCOMPARE(a.main, QRect(lefts[0], top, std::max(9765, mainNeeds), 8760));
        QCOMPARE(a.terminal, QRect(lefts[1], top, terminalWidth, 8760));
        QCOMPARE(a.console, QRect(lefts[2], top, 6000, 8760));
        // Nothing past the screen's right edge.
        QVERIFY(a.main.right() < std::max(screen.width(), a.main.width()) && a.terminal.right() < std::max(screen.width(), a.terminal.width()));
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
