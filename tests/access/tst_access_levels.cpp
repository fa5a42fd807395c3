#include "access/access_levels.h"
#include "widgets/password_dialog.h"
#include "base/language.h"
#include "params/config_defines.h"
#include "params/device_image.h"
#include "support/scripted_dialogs.h"

#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>

using namespace tunekit;
using tunekit::testing::Messages;
using tunekit::testing::ScriptedDialogs;

// What a level gets, as flags that must all be set, or all clear.
using Reach = std::function<QList<bool>(AccessLevel)>;
Q_DECLARE_METATYPE(Reach)

namespace {

// Types keys into the open dialog as txtPwd would receive them; Enter runs OK.
std::optional<UnlockOutcome> typeKeys(AccessState& access, Dialogs& dialogs, const QString& keys)
{
    PasswordBox box;
    startPasswordEntry(access, box);
    std::optional<UnlockOutcome> outcome;
    for (const QChar key : keys) {
        if (passwordKeyPress(access, box, key) == PasswordKeyAction::Ok)
            outcome = confirmPassword(access, dialogs);
    }
    return outcome;
}

const auto NoDialog = [] { QFAIL("going down needs no dialog"); };

AccessLevel levelOf(int number)
{
    return AccessLevel::fromNumber(number).value();
}

// One flag of a level.
Reach one(std::function<bool(AccessLevel)> gets)
{
    return [gets](AccessLevel level) { return QList<bool>{gets(level)}; };
}

Reach tab(std::size_t tab) { return one([tab](AccessLevel level) { return viewForLevel(level).tabAvailable[tab]; }); }

Reach controls(const QStringList& group)
{
    return [group](AccessLevel level) {
        QList<bool> shown;
        for (const QString& name : group)
            shown << viewForLevel(level).shows(name);
        return shown;
    };
}

Reach consoles(bool ConsoleVisibility::*window)
{
    return one([window](AccessLevel level) {
        AccessState access;
        access.level = level;
        return consolesForLevel(access).*window;
    });
}

Reach permission(bool (AccessLevel::*permission)() const noexcept) { return one(std::mem_fn(permission)); }

} // namespace

class TestAccessLevels : public QObject {
    Q_OBJECT
private slots:
    // What each level gets: tabs, controls, consoles and the permissions no other test checks by
    // level. "X" marks the levels that get it, from Level 1 to Development.
    void whatEachLevelGets_data()
    {
        QTest::addColumn<Reach>("reach");
        QTest::addColumn<QString>("levels");
        QTest::newRow("Configuration tab") << tab(0) << "XXXXXX";
        QTest::newRow("Overview tab") << tab(1) << "oXXXXX";
        QTest::newRow("Infos tab") << tab(2) << "ooXXXX";
        QTest::newRow("Tools tab") << tab(3) << "ooooXX";
        // Every control of a group appears with the group: a file button shown a level too early
        // would hand a lower level the files.
        QTest::newRow("file controls") << controls({"lblConfigFileHeader", "lblConfigFileName", "lblConfigFileInfo",
                                                    "cmdFileOpen", "CmdClearFileData", "cmdSicherung"})
                                       << "ooXXXX";
        QTest::newRow("production number") << controls({"lblProductionNumberHeader", "txtProductionNumber"}) << "oooXXX";
        QTest::newRow("checksum labels") << controls({"lblCRC", "ConfigFileIDLabel"}) << "ooooXX";
        QTest::newRow("development tools") << controls({"cmdConvertChecksum", "cmdGenReport", "CmdCopyToConfig"})
                                           << "oooooX";
        QTest::newRow("terminal shown") << consoles(&ConsoleVisibility::terminal) << "ooooXX";
        QTest::newRow("packet console shown") << consoles(&ConsoleVisibility::console) << "oooooX";

        // The named permissions that decide a transfer, a file or a console are checked where they
        // act, by level (tests/transfer, tests/files, the consoles above); no test drives these
        // three by level where they act.
        QTest::newRow("seesReceivedTraffic") << permission(&AccessLevel::seesReceivedTraffic) << "ooooXX";
        QTest::newRow("seesInternalAddressValues") << permission(&AccessLevel::seesInternalAddressValues) << "oooXXX";
        QTest::newRow("mayInitialiseErasedValues") << permission(&AccessLevel::mayInitialiseErasedValues) << "oooooX";
        // Only the level the menu ticks counts, so this row also holds hasProductionRights.
        QTest::newRow("ticked level has production rights") << one([](AccessLevel level) {
            AccessState access;
            setUserLevel(access, level);
            return access.checkedLevelHasProductionRights();
        }) << "ooooXX";
    }

    void whatEachLevelGets()
    {
        QFETCH(Reach, reach);
        QFETCH(QString, levels);
        for (const AccessLevel level : AccessLevel::all()) {
            QCOMPARE(AccessLevel::fromNumber(level.number()), level);
            for (const bool gets : reach(level))
                QVERIFY2(gets == (levels[level.index()] == u'X'), qPrintable(QString::number(level.number())));
        }
        QVERIFY(!AccessLevel::fromNumber(0) && !AccessLevel::fromNumber(35) && !AccessLevel::fromNumber(70));
    }

    // A higher level sees every parameter a lower one sees, and more: level 1 has the ConfigID,
    // development every parameter of the dictionary.
    void higherLevelsSeeMoreParameters()
    {
        ParamArray<bool> below{};
        for (const AccessLevel level : AccessLevel::all()) {
            const ParamArray<bool> marks = levelMarks(level);
            QVERIFY(!marks[0]);
            for (int nr = 1; nr <= ParamCount; ++nr)
                QVERIFY2(marks[nr] || !below[nr], qPrintable(QStringLiteral("level %1, Nr %2").arg(level.number()).arg(nr)));
            QVERIFY(marks != below);
            below = marks;
        }
        QVERIFY(levelMarks(AccessLevel::level1())[ConfigIdNr]);
        QCOMPARE(std::count(below.begin(), below.end(), true), ParamCount);
    }

    // Going down needs no password and takes effect at once; loaded values are discarded.
    void loweringTakesEffectAtOnce()
    {
        AccessState access;
        access.level = AccessLevel::development();
        DeviceImage image;
        image.deviceConfigId = 52;
        image.updateApplicable();
        image.value[7] = QStringLiteral("27");
        image.fileConfigId = 52;
        const LevelCommandResult result = levelMenuCommand(AccessLevel::service(), access, image, NoDialog);
        QVERIFY(!result.dialogShown && result.refreshViews && access.refreshPending);
        QCOMPARE(access.level, AccessLevel::service());
        QCOMPARE(access.levelChecks, (PerLevel{false, false, false, true, false, false}));
        QVERIFY(!result.view.shows(QStringLiteral("cmdGenReport")) && !consolesForLevel(access).console);
        QVERIFY(image.value[7].isEmpty() && image.fileConfigId == 0);
        levelMenuCommand(AccessLevel::level1(), access, image, NoDialog);
        QCOMPARE(access.level, AccessLevel::level1());
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
        QVERIFY(lang.set(german ? Language::German : Language::English));
        AccessState access;
        restoreStoredLevel(access, stored);
        DeviceImage image;
        image.value[2] = QStringLiteral("5");
        ScriptedDialogs dialogs;
        std::optional<UnlockOutcome> outcome;
        const LevelCommandResult result =
            levelMenuCommand(levelOf(armed), access, image, [&] { outcome = typeKeys(access, dialogs, keys); });
        QVERIFY(result.dialogShown && image.value[2].isEmpty());
        QCOMPARE(outcome, level == armed ? UnlockOutcome::Granted : UnlockOutcome::WrongPassword);
        QCOMPARE(access.level, levelOf(level));
        QVERIFY(access.levelChecks[levelOf(level).index()]);
        QCOMPARE(result.view.tabAvailable[3], level >= 50);
        // The settings file keeps the password that unlocked, spelt as the level has it, so that
        // it restores the level; a wrong password keeps what was stored.
        QCOMPARE(access.rememberedPassword, level == armed ? levelPassword(levelOf(level)).toString() : stored);
        QCOMPARE(levelFromStoredText(access.rememberedPassword).level, levelOf(level));
        for (std::size_t i = 0; i < access.grantable.size(); ++i) // what the dialog may grant next
            QCOMPARE(access.grantable[i], i > levelOf(level).index());
        const DialogMessage wrong{german ? "   Falsches Passwort!    " : "   Wrong Password!    ", MsgButtons::Ok, MsgIcon::None,
                                  german ? "Fehler" : "Error"};
        QCOMPARE(dialogs.messages, level == armed ? Messages{} : Messages{wrong});
    }

    // Backspace takes back the last character wherever the caret is.
    void backspaceTakesTheLastCharacter()
    {
        AccessState access;
        PasswordBox box;
        for (const QChar key : QStringLiteral("abc"))
            passwordKeyPress(access, box, key);
        box.caret = 1;
        QCOMPARE(passwordKeyPress(access, box, QChar(KeyBackspace)), PasswordKeyAction::Changed);
        QCOMPARE(access.typedPassword, QStringLiteral("ab"));
        QVERIFY(box.text == u"**" && box.caret == 0);
    }

    void dialogUnlocksFromTypedKeys()
    {
        AccessState access;
        DeviceImage image;
        ScriptedDialogs dialogs;
        int settingsWrites = 0;
        levelMenuCommand(AccessLevel::level3(), access, image, [&] {
            PasswordDialog passwordDialog(access, dialogs);
            QObject::connect(&passwordDialog, &PasswordDialog::writeSettingsFile, [&] { ++settingsWrites; });
            passwordDialog.show();
            auto* passwordEdit = passwordDialog.findChild<QLineEdit*>(QStringLiteral("txtPwd"));
            QVERIFY(passwordEdit);
            QTest::keyClicks(passwordEdit, QStringLiteral("Tulpen"));
            QTest::keyClick(passwordEdit, Qt::Key_Escape);
            QVERIFY(passwordDialog.isVisible() && passwordEdit->text().isEmpty());
            QTest::keyClicks(passwordEdit, QStringLiteral("kiesel"));
            QCOMPARE(passwordEdit->text(), QStringLiteral("******"));
            QTest::keyClick(passwordEdit, Qt::Key_Return);
            QVERIFY(!passwordDialog.isVisible());
        });
        QCOMPARE(access.level, AccessLevel::level3());
        // A second Esc, on the empty box, closes it.
        PasswordDialog again(access, dialogs);
        again.show();
        auto* edit = again.findChild<QLineEdit*>(QStringLiteral("txtPwd"));
        QTest::keyClicks(edit, QStringLiteral("Dil"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(again.isVisible() && edit->text().isEmpty());
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!again.isVisible());
        QCOMPARE(again.result(), int(QDialog::Rejected));
        QCOMPARE(settingsWrites, 1);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(access.rememberedPassword, QStringLiteral("Kiesel"));
    }
};

QTEST_MAIN(TestAccessLevels)
#include "tst_access_levels.moc"
