#include "access/access_levels.h"

#include "base/dialogs.h"
#include "params/config_defines.h"
#include "params/device_image.h"

#include <QCoreApplication>

namespace tunekit {

namespace {

constexpr AccessLevel Level1 = AccessLevel::level1();
constexpr AccessLevel Level2 = AccessLevel::level2();
constexpr AccessLevel Level3 = AccessLevel::level3();
constexpr AccessLevel Service = AccessLevel::service();
constexpr AccessLevel Production = AccessLevel::production();
constexpr AccessLevel Development = AccessLevel::development();

// Passwords of the levels, lowest first; level 1 has none.
constexpr std::array<QStringView, 6> Passwords{u"", u"Tulpen", u"Kiesel", u"Dill", u"Spinne", u"Haspel2093"};

// The lowest level at which a tab is available or a control shown.
constexpr std::array<AccessLevel, 5> TabFromLevel{Level1, Level2, Level3, Production, Production};

struct ControlGate {
    QStringView objectName;
    AccessLevel fromLevel;
};

constexpr ControlGate ControlGates[] = {
    {u"lblConfigFileHeader", Level3},        {u"lblConfigFileName", Level3},       {u"lblConfigFileInfo", Level3},
    {u"cmdFileOpen", Level3},                {u"CmdClearFileData", Level3},        {u"cmdSicherung", Level3},
    {u"cmdUnitHistory", Level3},
    {u"cmdRecords", Service},               {u"lblProductionNumberHeader", Service}, {u"txtProductionNumber", Service},    {u"lblCRC", Production},
    {u"ConfigFileIDLabel", Production},      {u"cmdConvertChecksum", Development}, {u"cmdGenReport", Development},
    {u"CmdCopyToConfig", Development},
};

bool reaches(AccessLevel level, AccessLevel from)
{
    return level.number() >= from.number();
}

// The settings file keeps the password of the level granted, as the level has it: typed in
// another case it would not restore development, which is compared exactly. A wrong attempt keeps
// what was stored.
void storeUnlockPassword(AccessState& access, AccessLevel level)
{
    access.rememberedPassword = levelPassword(level).toString();
}

} // namespace

bool AccessState::checkedLevelHasProductionRights() const
{
    for (const AccessLevel checked : AccessLevel::all()) {
        if (levelChecks[checked.index()] && checked.hasProductionRights())
            return true;
    }
    return false;
}

QStringView levelPassword(AccessLevel level)
{
    return Passwords[level.index()];
}

bool passwordMatches(QStringView password, QStringView typed)
{
    return !password.isEmpty() && password.toString().toLower() == typed.toString().toLower();
}

bool LevelView::shows(QStringView objectName) const
{
    for (const Control& control : controls) {
        if (control.objectName == objectName)
            return control.shown;
    }
    return false;
}

LevelView viewForLevel(AccessLevel level)
{
    LevelView view;
    for (std::size_t tab = 0; tab < TabFromLevel.size(); ++tab)
        view.tabAvailable[tab] = reaches(level, TabFromLevel[tab]);
    for (const ControlGate& gate : ControlGates)
        view.controls.append({gate.objectName.toString(), reaches(level, gate.fromLevel)});
    return view;
}

ParamArray<bool> levelMarks(AccessLevel level)
{
    ParamArray<bool> marks{};
    for (int n = 1; n <= ParamCount; ++n)
        marks[static_cast<std::size_t>(n)] = level.reachesParameter(findConfigDefine(n).lowestLevel);
    return marks;
}

ConsoleVisibility consolesForLevel(const AccessState& access)
{
    // The level in force or the one the menu ticks.
    const auto inForceOrTicked = [&access](AccessLevel level) {
        return access.level == level || access.levelChecks[level.index()];
    };
    if (inForceOrTicked(Production))
        return {Production.seesTerminal(), Production.seesPacketConsole()};
    if (inForceOrTicked(Development))
        return {Development.seesTerminal(), Development.seesPacketConsole()};
    return {};
}

LevelCommandResult levelMenuCommand(AccessLevel level, AccessState& access, DeviceImage& image,
                                    const std::function<void()>& showDialog)
{
    LevelCommandResult result;
    if (!reaches(access.level, level) && level != Level1) {
        // Only the requested level's password will count in the dialog.
        access.grantable = {};
        access.grantable[level.index()] = true;
        result.dialogShown = true;
        if (showDialog)
            showDialog();
    } else {
        // Going down needs no password. (Level 1 is never above the current one in practice;
        // should it be, it is taken the same way so that marks and menu agree with it.)
        access.level = level;
        applyUserLevel(access, image);
        image.updateEditMarks();
        access.refreshPending = true;
        // Remembered as the level now in force: a restart comes back at it, not at the higher one.
        storeUnlockPassword(access, level);
    }
    // Values read or loaded under another level must not survive the change, cancelled or not.
    image.clearFileData();
    result.refreshViews = level != Level1;
    result.view = viewForLevel(access.level);
    return result;
}

void setUserLevel(AccessState& access, AccessLevel level)
{
    access.levelChecks = {};
    access.levelChecks[level.index()] = true;
    access.refreshPending = true;
    for (std::size_t i = 0; i < access.grantable.size(); ++i)
        access.grantable[i] = i > level.index();
}

void applyUserLevel(AccessState& access, DeviceImage& image)
{
    image.applyLevelMarks(levelMarks(access.level));
    setUserLevel(access, access.level);
}

void startPasswordEntry(AccessState& access, PasswordBox& box)
{
    access.typedPassword.clear();
    box = PasswordBox{};
}

PasswordKeyAction passwordKeyPress(AccessState& access, PasswordBox& box, QChar key)
{
    switch (key.unicode()) {
    case KeyBackspace:
        if (access.typedPassword.isEmpty())
            return PasswordKeyAction::Swallowed;
        access.typedPassword.chop(1);
        box.text.chop(1);
        box.caret = qBound(0, box.caret - 1, static_cast<int>(box.text.size()));
        return PasswordKeyAction::Changed;
    case KeyEsc:
        access.typedPassword.clear();
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
    access.typedPassword.append(key);
    box.caret = qBound(0, box.caret, static_cast<int>(box.text.size()));
    box.text.insert(box.caret, QLatin1Char('*'));
    ++box.caret;
    return PasswordKeyAction::Changed;
}

UnlockOutcome confirmPassword(AccessState& access, Dialogs& dialogs)
{
    access.levelChecks = {};
    std::optional<AccessLevel> granted;
    for (const AccessLevel level : AccessLevel::all()) {
        // Level 1 needs no password; every other level only its own.
        if (access.grantable[level.index()]
            && (level == Level1 || passwordMatches(levelPassword(level), access.typedPassword))) {
            granted = level;
            break;
        }
    }

    UnlockOutcome outcome = UnlockOutcome::WrongPassword;
    if (granted) {
        access.level = *granted;
        for (std::size_t i = 0; i <= granted->index(); ++i)
            access.grantable[i] = false;
        access.levelChecks[granted->index()] = true;
        access.refreshPending = true;
        storeUnlockPassword(access, *granted);
        outcome = UnlockOutcome::Granted;
    } else {
        // The level in force stays.
        dialogs.msgBox(QCoreApplication::translate("AccessLevels", "   Wrong Password!    "), MsgButtons::Ok,
                       MsgIcon::None, QCoreApplication::translate("AccessLevels", "Error"));
    }
    setUserLevel(access, access.level);
    return outcome;
}

StoredLevel levelFromStoredText(QStringView autValue)
{
    StoredLevel stored;
    stored.text = autValue.left(10).toString();
    if (stored.text == levelPassword(Development)) {
        stored.level = Development;
        stored.consoles = true;
        stored.menuCheck = Development;
        return stored;
    }
    const QStringView trimmed = QStringView(stored.text).trimmed();
    for (const AccessLevel level : {Production, Service, Level3, Level2}) {
        if (passwordMatches(levelPassword(level), trimmed)) {
            stored.level = level;
            if (level == Production)
                stored.menuCheck = level;
            break;
        }
    }
    return stored;
}

StoredLevel restoreStoredLevel(AccessState& access, QStringView autValue)
{
    const StoredLevel stored = levelFromStoredText(autValue);
    access.rememberedPassword = stored.text;
    access.level = stored.level;
    access.levelChecks[stored.level.index()] = true;
    return stored;
}

} // namespace tunekit
