#pragma once

#include "access/access_level.h"
#include "params/device_image.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>

namespace tunekit {

class Dialogs;

// The access level, the level menu's check marks and the unlock dialog's state. Lives for the
// whole run; closing the dialog keeps it.
struct AccessState {
    AccessLevel level = AccessLevel::level1(); // in force
    PerLevel levelChecks{};         // which item of the level menu is ticked, lowest level first
    bool refreshPending = false;               // the main timer applies the check marks and clears it

    // The unlock dialog
    QString typedPassword;           // what the open dialog has received; the box shows '*'
    QString rememberedPassword;      // kept as "AUT=": the stored text, then the password last granted
    PerLevel grantable{}; // what the dialog may grant, lowest level first

    // Whether the level menu ticks a level with production rights (the production number box
    // follows the menu).
    bool checkedLevelHasProductionRights() const;
};

// The fixed password of a level; empty for level 1.
QStringView levelPassword(AccessLevel level);
// Passwords do not depend on case; nothing is trimmed.
bool passwordMatches(QStringView password, QStringView typed);

// --- Level menu -------------------------------------------------------------------------

// The main window's controls that depend on the level, as the window applies them by objectName.
struct LevelView {
    struct Control {
        QString objectName;
        bool shown = false;
    };
    std::array<bool, 5> tabAvailable{};  // SSTab tabs 0..4; tab 0 is always available
    QList<Control> controls;

    // Whether the view lists the control as shown (false for a control it does not list).
    bool shows(QStringView objectName) const;
};

// Which tabs and controls a level reaches.
LevelView viewForLevel(AccessLevel level);

// The level marks of the device image: the parameters the level sees and edits.
ParamArray<bool> levelMarks(AccessLevel level);

// The terminal and the packet console as the main timer shows them for the level.
struct ConsoleVisibility {
    bool terminal = false;
    bool console = false;
};
ConsoleVisibility consolesForLevel(const AccessState& access);

// What the main window does after a level command has run.
struct LevelCommandResult {
    bool dialogShown = false;  // the unlock dialog is called for (raising the level)
    bool refreshViews = false; // the overview, the DIP switches and the configuration tab anew (all levels but level 1)
    LevelView view;            // apply by objectName, then arrangeWindows
};

// A level chosen in the level menu. Raising the level above level 1 arms the dialog for exactly
// that level and calls showDialog, which runs the unlock dialog modally and returns when it has
// closed; the same or a lower level is taken at once. In every case the device image and any
// loaded file are discarded afterwards, also when the dialog was cancelled.
LevelCommandResult levelMenuCommand(AccessLevel level, AccessState& access, DeviceImage& image,
                                    const std::function<void()>& showDialog);

// Ticks the level's menu item only and lets the dialog grant the levels above it.
void setUserLevel(AccessState& access, AccessLevel level);
// The level marks of the parameters and setUserLevel. The window applies
// viewForLevel(access.level) to its controls.
void applyUserLevel(AccessState& access, DeviceImage& image);

// --- Unlock dialog ---------------------------------------------------------------------------

// Key codes the password box handles.
constexpr char16_t KeyBackspace = 8;
constexpr char16_t KeyEnter = 13;
constexpr char16_t KeyEsc = 27;

// The password box as the logic keeps it: one asterisk per received character, and the caret.
struct PasswordBox {
    QString text;
    int caret = 0;
};

enum class PasswordKeyAction {
    Swallowed, // nothing changed
    Changed,   // the box and the typed password changed
    Ok,        // Enter: run confirmPassword
};

// The dialog starts with nothing typed.
void startPasswordEntry(AccessState& access, PasswordBox& box);
// One key typed into the password box.
PasswordKeyAction passwordKeyPress(AccessState& access, PasswordBox& box, QChar key);

enum class UnlockOutcome {
    Granted,       // the settings file must be written now (it stores the level's password)
    WrongPassword, // old level kept, message shown, nothing written
};

// OK in the dialog: grants the armed level when the typed password is its password, otherwise
// shows the wrong-password message and keeps the old level. The dialog closes; whoever opened it
// applies the level's marks to the image.
UnlockOutcome confirmPassword(AccessState& access, Dialogs& dialogs);

// --- Level kept in the settings file -------------------------------------------------------

// What the settings file's "AUT=" text restores at start-up.
struct StoredLevel {
    QString text;                         // the first 10 characters of the stored text
    AccessLevel level = AccessLevel::level1();
    bool consoles = false;                // development: terminal and packet console shown at start-up
    std::optional<AccessLevel> menuCheck; // the menu item ticked at once (production, development)
};

// Development needs the exact text; the others are compared trimmed and regardless of case.
StoredLevel levelFromStoredText(QStringView autValue);
// Takes the stored text and the level it restores, and sets that level's check mark.
StoredLevel restoreStoredLevel(AccessState& access, QStringView autValue);

} // namespace tunekit
