// The main window binds to the logic: names, captions, status bar, languages, consoles.
#include "app/main_window.h"
#include "sim/sim_line.h"
#include "sim/virtual_clock.h"
#include "support/session_rig.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QTreeWidget>

using namespace tunekit;
using namespace tunekit::testing;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startsWithTitleTabsAndPanels();
    void languageMenuRewritesCaptions();
    void disAutoResMirrorsCheck01();
    void serviceLevelReadFillsTheViews();
    void droppedFileOpens();

private:
    struct Window {
        Window()
        {
            MainWindowSetup setup;
            auto clock = std::make_unique<VirtualClock>();
            virtualClock = clock.get();
            auto simLine = std::make_unique<SimLine>(*clock, 53);
            line = simLine.get();
            setup.clock = std::move(clock);
            setup.line = std::move(simLine);
            auto facts = std::make_unique<FixedHost>();
            host = facts.get();
            setup.host = std::move(facts);
            setup.startPort = 1;
            window = std::make_unique<MainWindow>(std::move(setup));
        }
        VirtualClock* virtualClock = nullptr;
        SimLine* line = nullptr;
        FixedHost* host = nullptr;
        std::unique_ptr<MainWindow> window;
        template <typename T>
        T* Find(const char* name) const
        {
            return window->findChild<T*>(QLatin1StringView(name));
        }
        QStringList Panels() const
        {
            QStringList texts;
            for (int i = 1; i <= 7; ++i)
                texts << Find<QLabel>(qPrintable(QStringLiteral("StatusPanel%1").arg(i)))->text();
            return texts;
        }
    };
};

void TestMainWindow::startsWithTitleTabsAndPanels()
{
    Window w;
    QCOMPARE(w.window->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Tunekit 2.13"));
    QCOMPARE(w.Panels().first(), QStringLiteral("Disconnected"));
    w.window->show();
    w.window->Start();
    auto* tabs = w.Find<QTabWidget>("SSTab");
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->tabText(0), QStringLiteral("   Configuration    "));
    QCOMPARE(tabs->tabText(3), QStringLiteral("   Tools    "));
    QVERIFY(tabs->isTabVisible(0));
    for (int tab = 1; tab <= 3; ++tab)
        QVERIFY(!tabs->isTabVisible(tab)); // level 10
    // Start-up detected the simulated transmitter.
    QCOMPARE(w.Panels(), (QStringList{"Connected", "COM=1", "ID=53", "Bytes=0", "Win 7", " Build 28-3003", "SIM"}));
    auto* overview = w.Find<QTreeWidget>("lstOverview");
    QCOMPARE(overview->headerItem()->text(0), QStringLiteral("Value"));
    QCOMPARE(overview->headerItem()->text(2), QStringLiteral("Description"));
    for (const char* name : {"cmdRead", "cmdConfigWrite", "txtSerialnumber", "pbxDip", "txtDebug", "cmdInfoRead",
                             "CmdClearFileData", "cmdConvertChecksum"})
        QVERIFY2(w.window->findChild<QWidget*>(QLatin1StringView(name)), name);
    for (const char* name : {"mnuCOM1", "mnuCOM5", "mnuCOMother", "mnuCOMredetect", "mnuLevel10", "mnuLevel60",
                             "mnuGerman", "mnuEnglish", "mnuHelp"})
        QVERIFY2(w.window->findChild<QAction*>(QLatin1StringView(name)), name);
    QVERIFY(w.Find<QWidget>("frmWriteInfo"));
    QVERIFY(w.Find<QWidget>("frmTerminal"));
    QVERIFY(w.Find<QWidget>("frmContact"));
    QVERIFY(!w.Find<QWidget>("frmContact")->isVisible());
    // The main timer has put the check mark on the start level.
    QVERIFY(w.window->findChild<QAction*>(QStringLiteral("mnuLevel10"))->isChecked());
    QVERIFY(!w.window->findChild<QAction*>(QStringLiteral("mnuLevel40"))->isChecked());
    // The detection batch resets after its last answer, and start-up resets once more at its end.
    QCOMPARE(w.line->Device().RestartCount(), 2);
    QVERIFY(w.virtualClock->NowMs() >= 1000 + 2950);
}

void TestMainWindow::languageMenuRewritesCaptions()
{
    Window w;
    w.host->languageId = QStringLiteral("0407"); // a German system starts in German
    w.window->Start();
    auto* tabs = w.Find<QTabWidget>("SSTab");
    QCOMPARE(tabs->tabText(1), QStringLiteral("   Übersicht    "));
    QCOMPARE(w.Find<QPushButton>("cmdRead")->text(), QStringLiteral("       Lesen"));
    QVERIFY(w.window->findChild<QAction*>(QStringLiteral("mnuGerman"))->isChecked());
    QCOMPARE(w.window->findChild<QAction*>(QStringLiteral("mnuLevel40"))->text(), QStringLiteral("Kundendienst"));

    w.window->findChild<QAction*>(QStringLiteral("mnuEnglish"))->trigger();
    QCOMPARE(tabs->tabText(1), QStringLiteral("   Overview    "));
    QCOMPARE(w.Find<QPushButton>("cmdConfigWrite")->text(), QStringLiteral("             Write"));
    QCOMPARE(w.Find<QCheckBox>("ChkSendNewDataOnly")->text(), QStringLiteral("Only send changed values"));
    QVERIFY(w.window->findChild<QAction*>(QStringLiteral("mnuEnglish"))->isChecked());
    QVERIFY(!w.window->findChild<QAction*>(QStringLiteral("mnuGerman"))->isChecked());
    // The overview's headers keep the language of the start.
    QCOMPARE(w.Find<QTreeWidget>("lstOverview")->headerItem()->text(0), QStringLiteral("Wert"));
}

void TestMainWindow::disAutoResMirrorsCheck01()
{
    Window w;
    auto* disAutoRes = w.Find<QCheckBox>("DisAutoRes");
    auto* check01 = w.Find<QCheckBox>("check01");
    QVERIFY(disAutoRes && check01);
    disAutoRes->setChecked(true);
    QVERIFY(check01->isChecked());
    QVERIFY(w.window->Logic().Engine().Reset().check01);
    check01->setChecked(false);
    QVERIFY(!disAutoRes->isChecked());
    QVERIFY(!w.window->Logic().Engine().Reset().DisAutoRes);
    // The paced mode's box on the same tab.
    auto* paced = w.Find<QCheckBox>("chkPaced");
    QVERIFY(paced && !paced->isChecked());
    paced->setChecked(true);
    QVERIFY(w.window->Logic().Engine().Paced());
}

void TestMainWindow::serviceLevelReadFillsTheViews()
{
    Window w;
    w.window->show();
    w.window->Start();
    // Unlock "Service" through the real dialog.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == QStringLiteral("frmPwd"));
        QTest::keyClicks(dialog->findChild<QWidget*>(QStringLiteral("txtPwd")), QStringLiteral("Dill"));
        QTest::keyClick(dialog->findChild<QWidget*>(QStringLiteral("txtPwd")), Qt::Key_Return);
    });
    w.window->findChild<QAction*>(QStringLiteral("mnuLevel40"))->trigger();
    QCOMPARE(w.window->Logic().Access().blnAuthLevel, 40);
    auto* tabs = w.Find<QTabWidget>("SSTab");
    QVERIFY(tabs->isTabVisible(1) && tabs->isTabVisible(2) && !tabs->isTabVisible(3));

    QTest::mouseClick(w.Find<QPushButton>("cmdRead"), Qt::LeftButton);
    QVERIFY(w.virtualClock->RunUntil([&] { return !w.window->Logic().Engine().State().TransferActive; }, 20000));
    w.virtualClock->RunFor(5000);

    auto* overview = w.Find<QTreeWidget>("lstOverview");
    QStringList names;
    QString shutdownDelay;
    for (int i = 0; i < overview->topLevelItemCount(); ++i) {
        names << overview->topLevelItem(i)->text(1);
        if (overview->topLevelItem(i)->text(1) == QStringLiteral("ShutdownDelay"))
            shutdownDelay = overview->topLevelItem(i)->text(0);
    }
    QVERIFY(names.contains(QStringLiteral("ZeroPos1")));    // a ConfigID 53 parameter
    QVERIFY(!names.contains(QStringLiteral("ZeroPos")));    // a ConfigID 52 one
    QVERIFY(!names.contains(QStringLiteral("ConfigID")));
    QCOMPARE(shutdownDelay, QStringLiteral("500"));
    // 1234 with OEM code 254: a scrambled serial number, decodable again.
    const QString serial = w.Find<QLineEdit>("txtSerialnumber")->text();
    QCOMPARE(serial.size(), 10);
    QVERIFY(serial.startsWith(QStringLiteral("983")));
    QCOMPARE(w.Find<QLabel>("ValueLow")->text(), QStringLiteral("D2(h) = 210(d)"));
    QCOMPARE(w.Find<QLabel>("ValueHigh")->text(), QStringLiteral("04(h) = 4(d)"));
    QVERIFY(!w.window->Logic().Image().changed[2]); // filled by the read, not by the user
    QCOMPARE(w.Find<QLabel>("lblInfo4")->text(), w.window->Logic().Image().labels.lblInfo[4]);
    // The transfer window closes a second after the batch.
    QVERIFY(!w.window->Logic().Engine().Window().visible);
    QVERIFY(!w.Find<QWidget>("frmWriteInfo")->isVisible());
}

void TestMainWindow::droppedFileOpens()
{
    Window w;
    w.window->show();
    w.window->Start();
    w.window->Logic().Access().blnAuthLevel = 60;
    w.window->Logic().ApplyUserLevel();
    auto* open = w.Find<QPushButton>("cmdFileOpen");
    QVERIFY(open->isVisibleTo(w.window.get()) && open->acceptDrops());

    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd"))});
    // As a desktop delivers it: the button accepts the drag, then gets the drop.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(open, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(open, &drop);
    delete mime;

    QCOMPARE(w.Find<QLabel>("lblConfigFileName")->text(), QStringLiteral("backup_cfg2.scd"));
    QCOMPARE(w.Find<QLabel>("lblCRC")->text(), QStringLiteral("Checksum valid"));
    QVERIFY(w.Find<QLabel>("lblCRC")->isVisibleTo(w.window.get()));
    QCOMPARE(w.Find<QLabel>("ConfigFileIDLabel")->text(), QStringLiteral("FileID: 2"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
