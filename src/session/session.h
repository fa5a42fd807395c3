#pragma once

#include "access/access_levels.h"
#include "base/language.h"
#include "base/version_info.h"
#include "host/adapter_discovery.h"
#include "host/host_info.h"
#include "records/operation_record.h"
#include "session/station.h"

#include <QCoroTask>
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

// What the window's own logic tells the window, beyond its station's changes. A front end
// without these parts (the command line) overrides nothing.
class SessionViews : public StationViews {
public:
    // Which tabs the access level lets the user see.
    virtual void SetTabVisible(int /*tab*/, bool /*visible*/) {}
    // The level menu's check marks, the terminal and the console follow the level.
    virtual void ApplyLevelChecks(const std::array<bool, 6>& /*checks*/) {}
    virtual void ShowConsoles(bool /*terminal*/, bool /*console*/) {}
    virtual void ArrangeWindows() {}
    // Shows and hides the level-dependent controls by objectName.
    virtual void ApplyLevelView(const LevelView& /*view*/) {}
    virtual void LanguageChanged() {}
    // The overview list's columns, in the language then active.
    virtual void PrepareOverview() {}
    // The COM menu, the port, system and language captions and the window title.
    virtual void ConnectionChanged() {}
    // The option boxes of the Tools tab.
    virtual void OptionsChanged() {}
    // The wait window of Interface > Detect.
    virtual void ShowRedetectWindow(bool /*shown*/) {}
};
// How a run finds its port: adapter discovery, or one port named for this run (a port given on
// the command line, or the simulated transmitter).
struct PortPlan {
    bool discover = true;
    qint16 number = 0; // the named port's number as portNumber
    QString name;      // the named port's system name, for the user ("" for the simulated line)
};

// txtLongDelay and lblSek as the Tools tab shows them.
struct LongDelayView {
    QString txtLongDelay;
    bool boxVisible = false;
    bool lblSekVisible = false;
};

// Texts of the status bar panels 1..7.
using StatusBarTexts = std::array<QString, 7>;

struct StatusBarInput {
    qint16 portNumber = 0;
    qint16 deviceConfigId = 0;
    qsizetype queuedCharacters = 0;
    QString winVerShort;
    QString build;
    QString portName;
    bool simulated = false;
};

StatusBarTexts MakeStatusBarTexts(const StatusBarInput& input);

// The program's logic behind the window, built once by the main window: the settings, the
// language, the access level, port discovery and the one station the window works with.
class Session {
public:
    Session(SessionSeams seams, SessionViews& views, UiLanguage& language);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Start-up, run once the window is on screen: settings, language, the port, detection and
    // the reset; ends when the device is ready.
    QCoro::Task<> Startup(PortPlan plan);
    // A run without the window (the command line): host facts, language, the port (discovery
    // without its message, or the named port) and the device's detection. The settings file is
    // neither read nor written by such a run when the host keeps none.
    QCoro::Task<> ConnectHeadless(PortPlan plan);
    void Shutdown();
    void MainTimerTick();

    StatusBarTexts StatusBar() const;
    // "Tunekit 2.13", and says so when the simulated transmitter is at the other end.
    QString WindowTitle() const;
    QString AboutTitle() const;
    QString AboutText() const;

    // The language menu and start-up's choice: menu pick, then settings file, then system.
    void ChooseLanguage(const QString& chosen);
    void SetLanguage();
    bool German() const { return actLanguage_ == 1; }

    // The settings file: read once at start-up, written whole whenever one of its values is
    // changed through the window.
    void ReadSettingsFile();
    void WriteSettingsFile();
    QString SettingsFilePath() const;

    // Adapter port discovery and the COM menu.
    QCoro::Task<> CheckComPorts(int quiet = 0);
    // Uses the port the menu offers (or discovery chose) and opens it afresh.
    QCoro::Task<> UsePort(qint16 port);
    void HandleComMessages(int quiet);
    // Interface > Detect: closes the port, looks for the adapter again and detects the device.
    QCoro::Task<> RedetectPort();
    const DiscoveryState& Discovery() const noexcept { return discovery_; }
    const PortPlan& Plan() const noexcept { return plan_; }

    // The option boxes of the Tools tab: 0 chkResetBeforeTransmit, 1 ChkSendNewDataOnly,
    // 2 ChkEraseStringsAfterWrite.
    void SetOption(int option, bool ticked);
    bool Option(int option) const;
    void SetLongDelay(bool ticked);
    void EditLongDelay(const QString& text);
    const LongDelayView& LongDelay() const noexcept { return longDelay_; }
    void SaveOptions() { WriteSettingsFile(); }
    // chkPaced: one packet per timer tick instead of the next as soon as the answer is in.
    void SetPaced(bool paced);
    // --paced: this run is paced whatever the settings file says.
    void PaceThisRun();

    // "Disable Automatic Reset on Timeout", in the Tools tab and the packet console alike.
    void SetAutomaticResetOff(bool off);

    // The level menu: showDialog asks for the password when a higher level is asked for.
    void LevelMenuCommand(AccessLevel level, const std::function<void()>& showDialog);
    // The access level's marks, controls and menu checks (ApplyUserLevel and the window).
    void ApplyUserLevel();
    // "Clear data".
    void ClearFileData();
    // Opens a configuration file: chosen in the file dialog, or dropped onto the Open button.
    void OpenFile();
    void OpenDroppedFiles(const QStringList& paths);
    QCoro::Task<> ConvertChecksum();
    // The Read and Write buttons: the station's read or write, and its record.
    QCoro::Task<> ReadParameters();
    QCoro::Task<> Write();
    // The Infos tab's Reset, with its record.
    QCoro::Task<> Reset();
    void ShadowAll();
    // The message of a command refused while a transfer runs.
    static QString BusyText();

    VersionInfo& Version() noexcept { return version_; }
    PortState& Port() noexcept { return station_.Port().State(); }
    const PortState& Port() const noexcept { return station_.Port().State(); }
    AccessState& Access() noexcept { return access_; }
    Station& Device() noexcept { return station_; }
    SerialPortAccess& Rs232() noexcept { return station_.Port(); }
    TransmitEngine& Engine() noexcept { return station_.Engine(); }
    const TransmitEngine& Engine() const noexcept { return station_.Engine(); }
    const OsNames& Os() const noexcept { return os_; }
    DeviceImage& Image() noexcept { return station_.Image(); }
    const DeviceImage& Image() const noexcept { return station_.Image(); }
    TransferOptions& Options() noexcept { return station_.Options(); }
    const TransferOptions& Options() const noexcept { return station_.Options(); }
    DeviceTransfers& Transfers() noexcept { return station_.Transfers(); }
    DeviceWrites& Writes() noexcept { return station_.Writes(); }
    Language UiLanguageNow() const { return languageFromNumber(actLanguage_); }
    const HostFacts& Host() const noexcept { return seams_.host; }
    Dialogs& UserDialogs() noexcept { return seams_.dialogs; }
    const QString& InstallLanguage() const noexcept { return regLang_; }

    bool terminalEnabled = false;
    bool packetConsoleEnabled = false;
    QString SetFileLang;
    QString ChosenLanguage;

private:
    void OpenNamedPort();
    // A record of a button's operation, begun now.
    records::OperationRecord StartRecord(const QString& command);
    void ReadHostFacts();
    // Open file, drop, Clear data, the level menu and the language menu change the image, the
    // file data or the level: while a transfer command or a batch runs they are refused with a
    // short message (true).
    bool RefusedWhileTransferring();

    SessionSeams seams_;
    SessionViews& views_;
    UiLanguage& language_;
    VersionInfo version_;
    AccessState access_;
    OsNames os_;
    PortPlan plan_;
    DiscoveryState discovery_;
    qint16 storedPort_ = 0; // the port the settings file names: as read, then as last saved
    LongDelayView longDelay_;
    bool pacedByCommandLine_ = false;
    QString regLang_;
    QString wordWidth_;
    int actLanguage_ = 0;
    Station station_;
};

} // namespace tunekit

namespace tunekit {

// A line of the debug log: "hh:mm:ss.ff : text", ff the hundredths of the second.
QString FormatDebugLine(const QTime& time, const QString& text);

} // namespace tunekit
