#include "session/session.h"
#include "app/window_arrangement.h"

#include <QTest>

using namespace tunekit;

class TestWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void arrangement_data();
    void arrangement();
    void statusBar_data();
    void statusBar();
    void debugLine();
};

void TestWindowLayout::arrangement_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("level");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("terminal");
    QTest::addColumn<QRect>("console");
    // 1920 x 1080 pixels at 96 dpi = 28800 x 16200 twips.
    QTest::newRow("centred") << QSize(28800, 16200) << 10 << QRect(9518, 3720, 9765, 8760)
                             << QRect(19303, 3720, 7323, 8760) << QRect(3498, 3720, 6000, 8760);
    QTest::newRow("production a third from the left")
        << QSize(28800, 16200) << 50 << QRect(4718, 3720, 9765, 8760) << QRect(14503, 3720, 7323, 8760)
        << QRect(0, 3720, 6000, 8760);
    QTest::newRow("development centred again") << QSize(28800, 16200) << 60 << QRect(9518, 3720, 9765, 8760)
                                               << QRect(19303, 3720, 7323, 8760) << QRect(3498, 3720, 6000, 8760);
    QTest::newRow("small screen never negative") << QSize(9000, 6000) << 10 << QRect(0, 0, 9765, 8760)
                                                 << QRect(9785, 0, 7323, 8760) << QRect(0, 0, 6000, 8760);
}

void TestWindowLayout::arrangement()
{
    QFETCH(QSize, screen);
    QFETCH(int, level);
    QFETCH(QRect, main);
    QFETCH(QRect, terminal);
    QFETCH(QRect, console);
    const WindowArrangement a = ArrangeWindows(screen, level, 6000);
    QCOMPARE(a.main, main);
    QCOMPARE(a.terminal, terminal);
    QCOMPARE(a.console, console);
}

void TestWindowLayout::statusBar_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("configId");
    QTest::addColumn<int>("queued");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("no port") << 0 << 0 << 0
                             << QStringList{"Disconnected", "", "ID=?", "Bytes=0", "Win 7", " Build 28-3003", ""};
    QTest::newRow("connected with device") << 3 << 53 << 16
                                           << QStringList{"Connected", "COM=3", "ID=53", "Bytes=16", "Win 7",
                                                          " Build 28-3003", "/dev/ttyUSB2"};
}

void TestWindowLayout::statusBar()
{
    QFETCH(int, port);
    QFETCH(int, configId);
    QFETCH(int, queued);
    QFETCH(QStringList, texts);
    const StatusBarTexts t = MakeStatusBarTexts({static_cast<qint16>(port), static_cast<qint16>(configId), queued,
                                                 QStringLiteral("Win 7"), QStringLiteral("28-3003"),
                                                 QStringLiteral("/dev/ttyUSB2")});
    QCOMPARE(QStringList(t.begin(), t.end()), texts);
}

void TestWindowLayout::debugLine()
{
    QCOMPARE(FormatDebugLine(QTime(14, 3, 27, 589), QStringLiteral("TxSend: x")),
             QStringLiteral("14:03:27.58 : TxSend: x"));
    QCOMPARE(FormatDebugLine(QTime(0, 0, 0, 5), QStringLiteral("t")), QStringLiteral("00:00:00.00 : t"));
}

QTEST_GUILESS_MAIN(TestWindowLayout)
#include "tst_window_layout.moc"
