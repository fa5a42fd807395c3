#include "access/access_levels.h"

#include "base/dialogs.h"
#include "params/device_image.h"

#include <QCoreApplication>

namespace tunekit {

namespace {

// Passwords of the levels 20, 30, 40, 50 and 60.
constexpr std::array<QStringView, 5> Passwords{u"Tulpen", u"Kiesel", u"Dill", u"Spinne", u"Haspel2093"};

// The lowest level at which a tab is available or a control shown.
constexpr std::array<qint16, 4> TabFromLevel{0, 20, 30, 50};

struct ControlGate {
    QStringView objectName;
    qint16 fromLevel;
};

constexpr ControlGate ControlGates[] = {
    {u"lblConfigFileHeader", 30},       {u"lblConfigFileName", 30},  {u"lblConfigFileInfo", 30},
    {u"cmdFileOpen", 30},               {u"CmdClearFileData", 30},   {u"cmdSicherung", 30},
    {u"lblProductionNumberHeader", 40}, {u"txtProductionNumber", 40}, {u"lblCRC", 50},
    {u"ConfigFileIDLabel", 50},         {u"cmdConvertChecksum", 60}, {u"cmdGenReport", 60},
    {u"CmdCopyToConfig", 60},
};

std::size_t Slot(int index)
{
    return static_cast<std::size_t>(index);
}

// The settings file keeps the password of the level granted, as the level has it: typed in
// another case it would not restore level 60, which is compared exactly. A wrong attempt keeps
// what was stored.
void StoreUnlockPassword(AccessState& access, int level)
{
    access.blnAuthLevelFileString = LevelPassword(level).toString();
}

} // namespace

QStringView LevelPassword(int level)
{
    const int index = LevelIndex(level);
    return index >= 1 ? Passwords[Slot(index - 1)] : QStringView();
}

bool PasswordMatches(QStringView password, QStringView typed)
{
    return !password.isEmpty() && password.toString().toLower() == typed.toString().toLower();
}

bool LevelView::Shows(QStringView objectName) const
{
    for (const Control& control : controls) {
        if (control.objectName == objectName)
            return control.shown;
    }
    return false;
}

LevelView ViewForLevel(int level)
{
    LevelView view;
    for (std::size_t tab = 0; tab < TabFromLevel.size(); ++tab)
        view.tabAvailable[tab] = level >= TabFromLevel[tab];
    for (const ControlGate& gate : ControlGates)
        view.controls.append({gate.objectName.toString(), level >= gate.fromLevel});
    return view;
}

ConsoleVisibility ConsolesForLevel(const AccessState& access)
{
    if (access.blnAuthLevel == 50 || access.levelChecks[4])
        return {true, false};
    if (access.blnAuthLevel == 60 || access.levelChecks[5])
        return {true, true};
    return {};
}

LevelCommandResult LevelMenuCommand(int level, AccessState& access, DeviceImage& image,
                                    const std::function<void()>& showDialog)
{
    LevelCommandResult result;
    const int index = LevelIndex(level);
    if (index < 0) {
        result.view = ViewForLevel(access.blnAuthLevel);
        return result;
    }
    if (access.blnAuthLevel < level && level > 10) {
        // Only the requested level's password will count in the dialog.
        access.testLevels = {};
        access.testLevels[Slot(index)] = true;
        result.dialogShown = true;
        if (showDialog)
            showDialog();
    } else {
        // Going down needs no password. (Level 10 is never above the current one in practice;
        // should it be, it is taken the same way so that marks and menu agree with it.)
        access.blnAuthLevel = static_cast<qint16>(level);
        ApplyUserLevel(access, image);
        image.UpdateEditMarks();
        access.blnUpdateKey = true;
    }
    // Values read or loaded under another level must not survive the change, cancelled or not.
    image.ClearFileData();
    result.refreshViews = level >= 20;
    result.view = ViewForLevel(access.blnAuthLevel);
    return result;
}

void SetUserLevel(AccessState& access, int level)
{
    const int index = LevelIndex(level);
    if (index < 0)
        return;
    access.levelChecks = {};
    access.levelChecks[Slot(index)] = true;
    access.blnUpdateKey = true;
    for (std::size_t i = 0; i < access.testLevels.size(); ++i)
        access.testLevels[i] = static_cast<int>(i) > index;
}

void ApplyUserLevel(AccessState& access, DeviceImage& image)
{
    image.ApplyLevelMarks(access.blnAuthLevel);
    SetUserLevel(access, access.blnAuthLevel);
}

void PasswordDialogLoad(AccessState& access, PasswordBox& box)
{
    access.TypedPassword.clear();
    box = PasswordBox{};
}

PasswordKeyAction TxtPwdKeyPress(AccessState& access, PasswordBox& box, QChar key)
{
    switch (key.unicode()) {
    case KeyBackspace:
        if (access.TypedPassword.isEmpty())
            return PasswordKeyAction::Swallowed;
        access.TypedPassword.chop(1);
        box.text.chop(1);
        box.caret = qBound(0, box.caret - 1, static_cast<int>(box.text.size()));
        return PasswordKeyAction::Changed;
    case KeyEsc:
        access.TypedPassword.clear();
        box = PasswordBox{};
        return PasswordKeyAction::Changed;
    case KeyEnter:
        return PasswordKeyAction::Ok;
    default:
        break;
    }
    // Control characters are no part of a password.
    if (key.category() == QChar::Other_Control)
        return PasswordKeyAction::Swallowed;
    access.TypedPassword.append(key);
    box.caret = qBound(0, box.caret, static_cast<int>(box.text.size()));
    box.text.insert(box.caret, QLatin1Char('*'));
    ++box.caret;
    return PasswordKeyAction::Changed;
}

UnlockOutcome CmdOkClick(AccessState& access, DeviceImage& image, Dialogs& dialogs)
{
    access.OldAuthLevel = access.blnAuthLevel;
    access.levelChecks = {};
    int granted = 0;
    if (access.testLevels[0]) {
        granted = 10;
    } else {
        for (std::size_t i = 1; i < AccessLevelValues.size(); ++i) {
            const int level = AccessLevelValues[i];
            if (access.testLevels[i] && PasswordMatches(LevelPassword(level), access.TypedPassword)) {
                granted = level;
                break;
            }
        }
    }

    UnlockOutcome outcome = UnlockOutcome::WrongPassword;
    if (granted != 0) {
        const int index = LevelIndex(granted);
        access.blnAuthLevel = static_cast<qint16>(granted);
        for (int i = 0; i <= index; ++i)
            access.testLevels[Slot(i)] = false;
        access.levelChecks[Slot(index)] = true;
        access.blnUpdateKey = true;
        StoreUnlockPassword(access, granted);
        outcome = UnlockOutcome::Granted;
    } else {
        access.blnAuthLevel = access.OldAuthLevel;
        dialogs.MsgBox(QCoreApplication::translate("AccessLevels", "   Wrong Password!    "), MsgButtons::Ok,
                       MsgIcon::None, QCoreApplication::translate("AccessLevels", "Error"));
    }
    SetUserLevel(access, access.blnAuthLevel);
    ApplyUserLevel(access, image);
    image.UpdateEditMarks();
    return outcome;
}

StoredLevel LevelFromStoredText(QStringView autValue)
{
    StoredLevel stored;
    stored.fileString = autValue.left(10).toString();
    if (stored.fileString == LevelPassword(60)) {
        stored.level = 60;
        stored.consoles = true;
        stored.menuCheckLevel = 60;
        return stored;
    }
    const QStringView trimmed = QStringView(stored.fileString).trimmed();
    for (const qint16 level : {qint16(50), qint16(40), qint16(30), qint16(20)}) {
        if (PasswordMatches(LevelPassword(level), trimmed)) {
            stored.level = level;
            stored.menuCheckLevel = level == 50 ? level : qint16(0);
            break;
        }
    }
    return stored;
}

StoredLevel RestoreStoredLevel(AccessState& access, QStringView autValue)
{
    const StoredLevel stored = LevelFromStoredText(autValue);
    access.blnAuthLevelFileString = stored.fileString;
    access.blnAuthLevel = stored.level;
    access.levelChecks[Slot(LevelIndex(stored.level))] = true;
    return stored;
}

} // namespace tunekit
