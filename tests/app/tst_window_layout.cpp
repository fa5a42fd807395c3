#include "session/session.h"
#include "app/window_arrangement.h"

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

    void statusBar()
    {
        const auto texts = [](qint16 port, qint16 configId, int queued) {
            const StatusBarTexts t = makeStatusBarTexts({port, configId, queued, QStringLiteral("Win 7"),
                                                         QStringLiteral("28-3003"), QStringLiteral("/dev/ttyUSB2")});
            return QStringList(t.begin(), t.end());
        };
        QCOMPARE(texts(0, 0, 0), (QStringList{"Disconnected", "", "ID=?", "Bytes=0", "Win 7", " Build 28-3003", ""}));
        QCOMPARE(texts(3, 53, 16),
                 (QStringList{"Connected", "COM=3", "ID=53", "Bytes=16", "Win 7", " Build 28-3003", "/dev/ttyUSB2"}));
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
