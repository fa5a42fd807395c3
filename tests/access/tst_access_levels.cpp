#include "access/access_levels.h"
#include "access/password_dialog.h"
#include "base/language.h"
#include "params/device_image.h"
#include "support/scripted_dialogs.h"

#include <QLineEdit>
#include <QTest>

#include <optional>

using namespace tunekit;
using tunekit::testing::ScriptedDialogs;

namespace {

// Types keys into the open dialog as txtPwd would receive them; Enter runs OK.
std::optional<UnlockOutcome> TypeKeys(AccessState& access, DeviceImage& image, Dialogs& dialogs, const QString& keys)
{
    PasswordBox box;
    PasswordDialogLoad(access, box);
    std::optional<UnlockOutcome> outcome;
    for (const QChar key : keys) {
        if (TxtPwdKeyPress(access, box, key) == PasswordKeyAction::Ok)
            outcome = CmdOkClick(access, image, dialogs);
    }
    return outcome;
}

const auto NoDialog = [] { QFAIL("going down needs no dialog"); };

} // namespace

class TestAccessLevels : public QObject {
    Q_OBJECT
private slots:
    void levelView_data()
    {
        // Tabs 1..3; file controls, production number, CRC labels, level-60 tools; terminal, console.
        QTest::addColumn<QList<bool>>("shown");
        const bool o = false, X = true;
        QTest::newRow("10") << QList<bool>{o, o, o, o, o, o, o, o, o};
        QTest::newRow("20") << QList<bool>{X, o, o, o, o, o, o, o, o};
        QTest::newRow("30") << QList<bool>{X, X, o, X, o, o, o, o, o};
        QTest::newRow("40") << QList<bool>{X, X, o, X, X, o, o, o, o};
        QTest::newRow("50") << QList<bool>{X, X, X, X, X, X, o, X, o};
        QTest::newRow("60") << QList<bool>{X, X, X, X, X, X, X, X, X};
    }

    void levelView()
    {
        QFETCH(QList<bool>, shown);
        AccessState access;
        access.blnAuthLevel = QString::fromLatin1(QTest::currentDataTag()).toShort();
        const LevelView view = ViewForLevel(access.blnAuthLevel);
        QList<bool> actual{view.tabAvailable[1], view.tabAvailable[2], view.tabAvailable[3]};
        // Every control of a group appears with the group: a file button shown a level too early
        // would hand a lower level the files.
        const QList<QStringList> groups{
            {"lblConfigFileHeader", "lblConfigFileName", "lblConfigFileInfo", "cmdFileOpen", "CmdClearFileData", "cmdSicherung"},
            {"lblProductionNumberHeader", "txtProductionNumber"},
            {"lblCRC", "ConfigFileIDLabel"},
            {"cmdConvertChecksum", "cmdGenReport", "CmdCopyToConfig"}};
        for (const QStringList& group : groups) {
            for (const QString& name : group)
                QVERIFY2(view.Shows(name) == view.Shows(group[0]), qPrintable(name));
            actual << view.Shows(group[0]);
        }
        const ConsoleVisibility consoles = ConsolesForLevel(access);
        actual << consoles.terminal << consoles.console;
        QCOMPARE(actual, shown);
        QVERIFY(view.tabAvailable[0]);
    }

    // Going down needs no password and takes effect at once; loaded values are discarded.
    void loweringTakesEffectAtOnce()
    {
        AccessState access;
        access.blnAuthLevel = 60;
        DeviceImage image;
        image.deviceConfigId = 52;
        image.UpdateApplicable();
        image.value[7] = QStringLiteral("27");
        image.FileConfigID = 52;
        const LevelCommandResult result = LevelMenuCommand(40, access, image, NoDialog);
        QVERIFY(!result.dialogShown && result.refreshViews && access.blnUpdateKey);
        QCOMPARE(access.blnAuthLevel, qint16(40));
        QCOMPARE(access.levelChecks, (std::array<bool, 6>{false, false, false, true, false, false}));
        QVERIFY(!result.view.Shows(QStringLiteral("cmdGenReport")) && !ConsolesForLevel(access).console);
        QVERIFY(image.value[7].isEmpty() && image.FileConfigID == 0);
        LevelMenuCommand(10, access, image, NoDialog);
        QCOMPARE(access.blnAuthLevel, qint16(10));
        QVERIFY(image.editMark[42] && !image.editMark[5]); // ContraSignal level 10, ShutdownDelay 40
    }

    void unlock_data()
    {
        QTest::addColumn<QString>("stored"); // the settings file's text at start-up
        QTest::addColumn<int>("armed");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("german");
        QTest::newRow("level 30 in upper case") << "abc" << 30 << "KIESEL\r" << 30 << false;
        QTest::newRow("level 60") << "abc" << 60 << "haspel2093\r" << 60 << false;
        QTest::newRow("level 40 password for 50, German") << "abc" << 50 << "Dill\r" << 10 << true;
        QTest::newRow("blanks are not trimmed") << "abc" << 20 << " Tulpen\r" << 10 << false;
        QTest::newRow("backspace mends a typo") << "abc" << 30 << "\bKiesx\bel\r" << 30 << false;
        QTest::newRow("line break is no key") << "abc" << 40 << "Di\nll\r" << 40 << false;
        QTest::newRow("a typo keeps the stored level") << "Spinne" << 60 << "Haspel209\r" << 50 << false;
    }

    void unlock()
    {
        QFETCH(QString, stored);
        QFETCH(int, armed);
        QFETCH(QString, keys);
        QFETCH(int, level);
        QFETCH(bool, german);
        UiLanguage lang;
        QVERIFY(lang.Set(german ? Language::German : Language::English));
        AccessState access;
        RestoreStoredLevel(access, stored);
        DeviceImage image;
        image.value[2] = QStringLiteral("5");
        ScriptedDialogs dialogs;
        std::optional<UnlockOutcome> outcome;
        const LevelCommandResult result =
            LevelMenuCommand(armed, access, image, [&] { outcome = TypeKeys(access, image, dialogs, keys); });
        QVERIFY(result.dialogShown && image.value[2].isEmpty());
        QCOMPARE(outcome, level == armed ? UnlockOutcome::Granted : UnlockOutcome::WrongPassword);
        QCOMPARE(access.blnAuthLevel, qint16(level));
        QVERIFY(access.levelChecks[static_cast<std::size_t>(LevelIndex(level))]);
        QCOMPARE(result.view.tabAvailable[3], level >= 50);
        QCOMPARE(dialogs.messages.size(), level == armed ? 0 : 1);
        // The settings file keeps the password that unlocked, spelt as the level has it, so that
        // it restores the level; a wrong password keeps what was stored.
        QCOMPARE(access.blnAuthLevelFileString, level == armed ? LevelPassword(level).toString() : stored);
        QCOMPARE(LevelFromStoredText(access.blnAuthLevelFileString).level, level);
        for (std::size_t i = 0; i < access.testLevels.size(); ++i) // what the dialog may grant next
            QCOMPARE(access.testLevels[i], int(i) > LevelIndex(level));
        if (level != armed) {
            QCOMPARE(dialogs.messages[0].text, german ? "   Falsches Passwort!    " : "   Wrong Password!    ");
            QCOMPARE(dialogs.messages[0].title, german ? "Fehler" : "Error");
            QVERIFY(dialogs.messages[0].buttons == MsgButtons::Ok);
        }
    }

    // Backspace takes back the last character wherever the caret is.
    void backspaceTakesTheLastCharacter()
    {
        AccessState access;
        PasswordBox box;
        for (const QChar key : QStringLiteral("abc"))
            TxtPwdKeyPress(access, box, key);
        box.caret = 1;
        QCOMPARE(TxtPwdKeyPress(access, box, QChar(KeyBackspace)), PasswordKeyAction::Changed);
        QCOMPARE(access.TypedPassword, QStringLiteral("ab"));
        QVERIFY(box.text == u"**" && box.caret == 0);
    }

    void storedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("level");
        QTest::newRow("first ten characters") << "Haspel2093xy" << 60;
        QTest::newRow("service with blanks") << " Dill " << 40;
        QTest::newRow("two passwords") << "TulpenDill" << 10;
    }

    void storedText()
    {
        QFETCH(QString, text);
        QFETCH(int, level);
        AccessState access;
        const StoredLevel stored = RestoreStoredLevel(access, text);
        QCOMPARE(access.blnAuthLevel, qint16(level));
        QCOMPARE(access.blnAuthLevelFileString, text.left(10));
        QCOMPARE(stored.consoles, level == 60);
        QVERIFY(access.levelChecks[static_cast<std::size_t>(LevelIndex(level))]);
    }

    void dialogUnlocksFromTypedKeys()
    {
        AccessState access;
        DeviceImage image;
        ScriptedDialogs dialogs;
        int settingsWrites = 0;
        LevelMenuCommand(30, access, image, [&] {
            PasswordDialog frmPwd(access, image, dialogs);
            QObject::connect(&frmPwd, &PasswordDialog::WriteSettingsFile, [&] { ++settingsWrites; });
            frmPwd.show();
            auto* txtPwd = frmPwd.findChild<QLineEdit*>(QStringLiteral("txtPwd"));
            QVERIFY(txtPwd);
            QTest::keyClicks(txtPwd, QStringLiteral("Tulpen"));
            QTest::keyClick(txtPwd, Qt::Key_Escape);
            QVERIFY(frmPwd.isVisible() && txtPwd->text().isEmpty());
            QTest::keyClicks(txtPwd, QStringLiteral("kiesel"));
            QCOMPARE(txtPwd->text(), QStringLiteral("******"));
            QTest::keyClick(txtPwd, Qt::Key_Return);
            QVERIFY(!frmPwd.isVisible());
        });
        QCOMPARE(access.blnAuthLevel, qint16(30));
        QCOMPARE(settingsWrites, 1);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(access.blnAuthLevelFileString, QStringLiteral("Kiesel"));
    }
};

QTEST_MAIN(TestAccessLevels)
#include "tst_access_levels.moc"
