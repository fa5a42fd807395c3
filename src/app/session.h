#pragma once

#include "access/access_levels.h"
#include "app/language.h"
#include "app/version_info.h"
#include "host/host_info.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "params/device_image.h"
#include "transfer/parameter_read.h"
#include "transfer/parameter_write.h"
#include "transfer/transfer_context.h"

#include <QStringList>
#include <QTime>

#include <array>
#include <functional>
#include <memory>

namespace tunekit {

class Clock;
class Dialogs;
class HostFacts;
class SerialLine;

// The outside world as the program's logic sees it.
struct SessionSeams {
    SerialLine& line;
    Clock& clock;
    Dialogs& dialogs;
    const HostFacts& host;
};

// The refresh operations of the main window that the logic calls by name.
class SessionViews : public EngineViews, public TransferViews {
public:
    void UpdateStatusBar() override = 0;
    void TransferWindowChanged() override = 0;
    void ClearPacketConsole() override = 0;
    // Start-up step 7 and the level table: which tabs may be used.
    virtual void SetTabVisible(int tab, bool visible) = 0;
    // The level menu's check marks, the terminal and the console follow the level.
    virtual void ApplyLevelChecks(const std::array<bool, 6>& checks) = 0;
    virtual void ShowConsoles(bool terminal, bool console) = 0;
    virtual void ArrangeWindows() = 0;
    // Shows and hides the level-dependent controls by objectName.
    virtual void ApplyLevelView(const LevelView& view) = 0;
    virtual void LanguageChanged() = 0;
    // The overview list's columns, in the language then active.
    virtual void PrepareOverview() = 0;
};

// Texts of the status bar panels 1..7.
using StatusBarTexts = std::array<QString, 7>;

struct StatusBarInput {
    qint16 intComPort = 0;
    qint16 deviceConfigId = 0;
    qsizetype queuedCharacters = 0;
    QString winVerShort;
    QString build;
    QString portName;
};

StatusBarTexts MakeStatusBarTexts(const StatusBarInput& input);

// The program's logic, built once by the main window: it owns the module state and hands
// references to whoever needs them.
class Session {
public:
    Session(SessionSeams seams, SessionViews& views, UiLanguage& language);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Form_Load, run after the window is on screen. simulatedPort / adapterPort: the port
    // the line opens at start-up until discovery chooses one (0 = none).
    void Startup(qint16 startPort);
    void Shutdown();
    void MainTimerTick();

    StatusBarTexts StatusBar() const;
    QString AboutTitle() const;
    QString AboutText() const;

    // The language menu and start-up's choice: menu pick, then settings file, then system.
    void ChooseLanguage(const QString& chosen);
    void SetLanguage();
    bool German() const { return actLanguage_ == 1; }

    void SetDisAutoRes(bool ticked);
    void SetCheck01(bool ticked);

    // mnuLevel10..60: showDialog runs frmPwd modally when a higher level is asked for.
    void LevelMenuCommand(int level, const std::function<void()>& showDialog);
    // The access level's marks, controls and menu checks (ApplyUserLevel and the window).
    void ApplyUserLevel();
    // "Clear data".
    void CmdClearFileData_Click();
    // cmdFileOpen: by dialog, or the files dropped onto the button.
    void cmdFileOpen_Click();
    void cmdFileOpen_OLEDragDrop(const QStringList& paths);
    void cmdConvertChecksum_Click();
    void ShadowAll();
    // The message of a command refused while a transfer runs.
    static QString BusyText();

    VersionInfo& Version() noexcept { return version_; }
    PortState& Port() noexcept { return port_; }
    const PortState& Port() const noexcept { return port_; }
    AccessState& Access() noexcept { return access_; }
    SerialPortAccess& Rs232() noexcept { return rs232_; }
    TransmitEngine& Engine() noexcept { return engine_; }
    const TransmitEngine& Engine() const noexcept { return engine_; }
    const OsNames& Os() const noexcept { return os_; }
    DeviceImage& Image() noexcept { return image_; }
    const DeviceImage& Image() const noexcept { return image_; }
    TransferOptions& Options() noexcept { return options_; }
    DeviceTransfers& Transfers() noexcept { return *transfers_; }
    DeviceWrites& Writes() noexcept { return *writes_; }
    Language UiLanguageNow() const { return LanguageFromActLanguage(actLanguage_); }
    const HostFacts& Host() const noexcept { return seams_.host; }
    Dialogs& UserDialogs() noexcept { return seams_.dialogs; }
    const QString& InstallLanguage() const noexcept { return regLang_; }

    qint16 HVXPort = 0;
    bool blnTerminalEnable = false;
    bool blnContatcViewEnable = false;
    QString SetFileLang;
    QString ChosenLanguage;

private:
    // Open file, drop, Clear data, the level menu and the language menu change the image, the
    // file data or the level: while a transfer command or a batch runs they are refused with a
    // short message (true).
    bool RefusedWhileTransferring();

    SessionSeams seams_;
    SessionViews& views_;
    UiLanguage& language_;
    VersionInfo version_;
    PortState port_;
    AccessState access_;
    OsNames os_;
    QString regLang_;
    QString wordWidth_;
    int actLanguage_ = 0;
    SerialPortAccess rs232_;
    TransmitEngine engine_;
    DeviceImage image_;
    TransferOptions options_;
    std::unique_ptr<DeviceTransfers> transfers_;
    std::unique_ptr<DeviceWrites> writes_;
};

} // namespace tunekit

namespace tunekit {

// A line of the debug log: "hh:mm:ss.ff : text", ff the hundredths of the second.
QString FormatDebugLine(const QTime& time, const QString& text);

} // namespace tunekit
