#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <functional>

namespace tunekit {

class DeviceImage;
class Dialogs;

// The six access levels, lowest first; mnuLevel10..mnuLevel60 and every per-level flag array
// follow this order.
constexpr std::array<qint16, 6> AccessLevelValues{10, 20, 30, 40, 50, 60};

// Position 0..5 of a level in the per-level flag arrays; -1 for a number that is no level.
constexpr int LevelIndex(int level) noexcept
{
    return level >= 10 && level <= 60 && level % 10 == 0 ? level / 10 - 1 : -1;
}

// The access level, the level menu's check marks and the unlock dialog's state. Lives for the
// whole run; closing the dialog keeps it.
struct AccessState {
    qint16 blnAuthLevel = 10;
    std::array<bool, 6> levelChecks{};  // blnKeyLevel10..blnKeyLevel60: mnuLevel10..60 ticked
    bool blnUpdateKey = false;          // the main timer applies the check marks and clears it

    // frmPwd
    qint16 OldAuthLevel = 0;
    QString TypedPassword;              // what the open dialog has received; the box shows '*'
    QString blnAuthLevelFileString;     // the stored text, then the password of the level last granted
    std::array<bool, 6> testLevels{};   // blnTestLevel10..blnTestLevel60: what the dialog may grant
};

// The fixed password of a level 20..60; empty for level 10 and for anything else.
QStringView LevelPassword(int level);
// Passwords do not depend on case; nothing is trimmed.
bool PasswordMatches(QStringView password, QStringView typed);

// --- Level menu -------------------------------------------------------------------------

// The main window's controls that depend on the level, as the window applies them by objectName.
struct LevelView {
    struct Control {
        QString objectName;
        bool shown = false;
    };
    std::array<bool, 4> tabAvailable{};  // SSTab tabs 0..3; tab 0 is always available
    QList<Control> controls;

    // Whether the view lists the control as shown (false for a control it does not list).
    bool Shows(QStringView objectName) const;
};

// Which tabs and controls a level reaches.
LevelView ViewForLevel(int level);

// The terminal and the packet console as the main timer shows them for the level.
struct ConsoleVisibility {
    bool terminal = false;
    bool console = false;
};
ConsoleVisibility ConsolesForLevel(const AccessState& access);

// What the main window does after a level command has run.
struct LevelCommandResult {
    bool dialogShown = false;  // frmPwd was opened (raising to 20..60)
    bool refreshViews = false; // ShadowToTable, ShadowToDip, ShadowToGui (levels 20..60)
    LevelView view;            // apply by objectName, then ArrangeWindows
};

// mnuLevel10_Click..mnuLevel60_Click. Raising to 20..60 arms the dialog for exactly that level and
// calls showDialog, which runs frmPwd modally and returns when it has closed; the same or a lower
// level is taken at once. In every case the device image and any loaded file are discarded
// afterwards, also when the dialog was cancelled.
LevelCommandResult LevelMenuCommand(int level, AccessState& access, DeviceImage& image,
                                    const std::function<void()>& showDialog);

// SetUserLevel: ticks the level's menu item only and arms the dialog flags above it. Anything
// that is no level changes nothing.
void SetUserLevel(AccessState& access, int level);
// ApplyUserLevel: level marks of the parameters and SetUserLevel. The window applies
// ViewForLevel(blnAuthLevel) to its controls.
void ApplyUserLevel(AccessState& access, DeviceImage& image);

// --- Unlock dialog (frmPwd) ---------------------------------------------------------------

// Key codes of txtPwd_KeyPress.
constexpr char16_t KeyBackspace = 8;
constexpr char16_t KeyEnter = 13;
constexpr char16_t KeyEsc = 27;

// txtPwd as the logic keeps it: one asterisk per received character, and the caret.
struct PasswordBox {
    QString text;
    int caret = 0;
};

enum class PasswordKeyAction {
    Swallowed, // nothing changed
    Changed,   // the box and TypedPassword changed
    Ok,        // Enter: run CmdOkClick
};

// Form_Load: the dialog starts with nothing typed.
void PasswordDialogLoad(AccessState& access, PasswordBox& box);
// txtPwd_KeyPress for one key.
PasswordKeyAction TxtPwdKeyPress(AccessState& access, PasswordBox& box, QChar key);

enum class UnlockOutcome {
    Granted,       // the settings file must be written now (it stores the level's password)
    WrongPassword, // old level kept, message shown, nothing written
};

// cmdOk_Click: grants the armed level when TypedPassword is its password, otherwise shows the
// wrong-password message and keeps the old level; then applies the level. The dialog closes.
UnlockOutcome CmdOkClick(AccessState& access, DeviceImage& image, Dialogs& dialogs);

// --- Level kept in the settings file -------------------------------------------------------

// What the settings file's "AUT=" text restores at start-up.
struct StoredLevel {
    QString fileString;        // blnAuthLevelFileString: the first 10 characters of the text
    qint16 level = 10;
    bool consoles = false;     // level 60: blnTerminalEnable and blnContatcViewEnable
    qint16 menuCheckLevel = 0; // the menu item ticked at once (levels 50 and 60), 0 none
};

// Level 60 needs the exact text; the others are compared trimmed and regardless of case.
StoredLevel LevelFromStoredText(QStringView autValue);
// Takes the stored text and the level it restores, and sets that level's check mark.
StoredLevel RestoreStoredLevel(AccessState& access, QStringView autValue);

} // namespace tunekit
