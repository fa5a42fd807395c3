// The start-up sequence and the main window's texts, in virtual time against the
// simulated transmitter.
#include "link/packet_codec.h"
#include "support/session_rig.h"

#include <QTest>

using namespace tunekit;
using namespace tunekit::testing;

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void startupDetectsAndResets();
    void startupWithoutDevice();
    void aboutBox_data();
    void aboutBox();
    void languageChoice_data();
    void languageChoice();
    void imageCommandsWaitForTheWrite();
};

void TestSession::startupDetectsAndResets()
{
    SessionRig rig(52);
    rig.session.Startup(1);
    QCOMPARE(rig.session.Port().intComPort, 1);
    QVERIFY(rig.session.Port().HVXPortFound);
    QCOMPARE(rig.session.Image().deviceConfigId, 52);
    QCOMPARE(rig.session.Image().imageConfigId, 52);
    QCOMPARE(rig.session.StatusBar()[2], QStringLiteral("ID=52"));
    QVERIFY(!rig.views.tabs[1] && !rig.views.tabs[2] && !rig.views.tabs[3]);
    QVERIFY(rig.views.arranged >= 1);
    QCOMPARE(rig.views.consoleClears, 1);
    QVERIFY(!rig.session.Engine().State().ResetPending);
    // The 1 s wait, the detection's 1.5 s and the closing reset of 2.95 s.
    QVERIFY(rig.clock.NowMs() >= 1000 + 1500 + 2950);
    QVERIFY(rig.dialogs.messages.isEmpty());
    // Applicable marks follow the detected family; the image itself is empty.
    QVERIFY(rig.session.Image().applicable[38]);
    QVERIFY(!rig.session.Image().applicable[55]);
    QVERIFY(rig.session.Image().value[2].isEmpty());
}

void TestSession::startupWithoutDevice()
{
    SessionRig rig;
    rig.line.Faults().Silent = true;
    rig.session.Startup(1);
    QCOMPARE(rig.session.Image().deviceConfigId, 0);
    QCOMPARE(rig.session.StatusBar()[2], QStringLiteral("ID=?"));
    // The unanswered request times out first; then the detection says what it found.
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Error"));
    QCOMPARE(rig.dialogs.messages.last().text,
             QStringLiteral("Device not detected.\r\nPlease check your serial connection! "));
    QVERIFY(rig.session.Engine().State().SuppressTimeoutMessage);
    // No port at all: no port message from start-up, "Disconnected".
    SessionRig none;
    none.session.Startup(0);
    QCOMPARE(none.session.StatusBar()[0], QStringLiteral("Disconnected"));
    QVERIFY(none.dialogs.messages.isEmpty());
}

void TestSession::aboutBox_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("lines");
    const QString rule(35, QLatin1Char('_'));
    QTest::newRow("English") << "EN" << "About ..."
                             << QStringList{rule, "T u n e k i t", "Version: 2.13", "Date: 26.02.2015", rule,
                                            "OS: Windows 7 (64bit)", "Lng: EN", "HVX-Port: COM 1",
                                            "Act-Port: COM 1", "CfgID: 53", ""};
    QTest::newRow("German") << "DE" << "Über ..."
                            << QStringList{rule, "T u n e k i t", "Version: 2.13", "Build: 28-3003",
                                           "Stand: 26.02.2015", rule, "OS: Windows 7 (64bit)", "Lng: EN",
                                           "HVX-Port: COM 1", "Act-Port: COM 1", "CfgID: 53", ""};
}

void TestSession::aboutBox()
{
    QFETCH(QString, language);
    QFETCH(QString, title);
    QFETCH(QStringList, lines);
    SessionRig rig;
    rig.session.Startup(1);
    rig.session.ChooseLanguage(language);
    QCOMPARE(rig.session.AboutTitle(), title);
    QCOMPARE(rig.session.AboutText().split(QStringLiteral("\r\n")), lines);
}

void TestSession::languageChoice_data()
{
    QTest::addColumn<QString>("systemLanguage");
    QTest::addColumn<QString>("fileLanguage");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("german");
    QTest::newRow("German system") << "0407" << "" << "" << true;
    QTest::newRow("file says EN on a German system") << "0407" << "EN" << "" << false;
    QTest::newRow("unknown file value is English") << "0407" << "FR" << "" << false;
    QTest::newRow("menu wins") << "0409" << "EN" << "DE" << true;
    QTest::newRow("French system") << "040C" << "" << "" << false;
}

void TestSession::languageChoice()
{
    QFETCH(QString, systemLanguage);
    QFETCH(QString, fileLanguage);
    QFETCH(QString, chosen);
    QFETCH(bool, german);
    SessionRig rig;
    rig.host.languageId = systemLanguage;
    rig.session.SetFileLang = fileLanguage;
    rig.session.ChosenLanguage = chosen;
    rig.session.Startup(0);
    QCOMPARE(rig.session.German(), german);
    QCOMPARE(rig.language.Current() == Language::German, german);
}

void TestSession::imageCommandsWaitForTheWrite()
{
    SessionRig rig;
    rig.Connect();
    rig.session.Access().blnAuthLevel = 30;
    rig.session.Transfers().DetectDevice();
    rig.session.Transfers().cmdRead_Click();
    QVERIFY(rig.clock.RunUntil([&] { return rig.session.Engine().Idle(); }, 60000));
    DeviceImage& image = rig.session.Image();
    image.extended.strTextsImage = QByteArray(1030, 'x');
    const ParamArray<QString> read = image.value;
    bool clicked = false;
    rig.views.beforeSend = [&] {
        const QByteArray& sent = rig.session.Engine().State().TxCurrent;
        if (clicked || PacketIndex(sent) != 0x4010 || PacketSubindex(sent) != 100)
            return;
        clicked = true;
        rig.clock.Schedule(1, [&] {
            rig.session.cmdFileOpen_OLEDragDrop({QStringLiteral("/tmp/crane-52.scd")});
            rig.session.CmdClearFileData_Click();
            rig.session.ChooseLanguage(QStringLiteral("DE"));
            rig.session.LevelMenuCommand(60, [] {});
        });
    };
    rig.dialogs.messages.clear();

    rig.session.Writes().cmdConfigWrite_Click();

    QVERIFY(clicked);
    QStringList texts;
    for (const auto& message : rig.dialogs.messages)
        texts << message.text;
    const QString busy = Session::BusyText();
    QCOMPARE(texts.mid(1), (QStringList{busy, busy, busy, busy, DeviceWrites::DoneText()}));
    QCOMPARE(image.value, read);
    QVERIFY(!rig.session.German());
    QCOMPARE(rig.session.Access().blnAuthLevel, 30);
    // Once the write is over, the commands work again.
    QVERIFY(rig.clock.RunUntil([&] { return rig.session.Engine().Idle(); }, 60000));
    rig.session.CmdClearFileData_Click();
    QVERIFY(image.value[7].isEmpty());
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
