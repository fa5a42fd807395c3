#pragma once

#include "access/access_levels.h"
#include "base/language.h"
#include "base/version_info.h"
#include "host/adapter_discovery.h"
#include "host/host_info.h"
#include "params/config_tab.h"
#include "params/overview_edit.h"
#include "records/record_keeper.h"
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
    records::RecordSink* records; // where the window's operations are recorded; none: nowhere
};

// What the window's own logic tells the window, beyond its station's changes. A front end
// without these parts (the command line) overrides nothing.
class SessionViews : public StationViews {
public:
    // Which tabs the access level lets the user see.
    virtual void setTabVisible(int /*tab*/, bool /*visible*/) {}
    // The level menu's check marks, the terminal and the console follow the level.
    virtual void applyLevelChecks(const PerLevel& /*checks*/) {}
    virtual void showConsoles(bool /*terminal*/, bool /*console*/) {}
    virtual void arrangeWindows() {}
    // Shows and hides the level-dependent controls by objectName.
    virtual void applyLevelView(const LevelView& /*view*/) {}
    virtual void languageChanged() {}
    // The overview list's columns, in the language then active.
    virtual void prepareOverview() {}
    // The COM menu, the port, system and language captions and the window title.
    virtual void connectionChanged() {}
    // The option boxes of the Tools tab.
    virtual void optionsChanged() {}
    // The wait window of Interface > Detect.
    virtual void showRedetectWindow(bool /*shown*/) {}
};
// The Tools tab's transfer options, in the order the settings file keeps them.
enum class TransferOption { ResetBeforeTransmit, SendChangedOnly, EraseTextsAfterWrite };
constexpr std::array<TransferOption, 3> TransferOptionsInFileOrder{
    TransferOption::ResetBeforeTransmit, TransferOption::SendChangedOnly, TransferOption::EraseTextsAfterWrite};

// How a run finds its port: adapter discovery, or one port named for this run (a port given on
// the command line, or the simulated transmitter).
struct PortPlan {
    bool discover = true;
    qint16 number = 0; // the named port's number as portNumber
    QString name;      // the named port's system name, for the user ("" for the simulated line)
};

// txtLongDelay and lblSek as the Tools tab shows them.
struct LongDelayView {
    QString longDelayText;
    bool boxVisible = false;
    bool secondsLabelVisible = false;
};

// Texts of the status bar panels 1..7.
using StatusBarTexts = std::array<QString, 7>;

// The program's logic behind the window, built once by the main window: the settings, the
// language, the access level, port discovery and the one station the window works with.
class Session {
public:
    Session(SessionSeams seams, SessionViews& views, UiLanguage& language);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Start-up, run once the window is on screen: settings, language, the port, detection and
    // the reset; ends when the device is ready.
    QCoro::Task<> startup(PortPlan plan);
    // A run without the window (the command line): host facts, language, the port (discovery
    // without its message, or the named port) and the device's detection. The settings file is
    // neither read nor written by such a run when the host keeps none.
    QCoro::Task<> connectHeadless(PortPlan plan);
    void shutdown();
    void mainTimerTick();

    StatusBarTexts statusBar() const;
    // "Tunekit 2.13", and says so when the simulated transmitter is at the other end.
    QString windowTitle() const;
    QString aboutTitle() const;
    QString aboutText() const;

    // The language menu and start-up's choice: menu pick, then settings file, then system.
    void chooseLanguage(const QString& chosen);
    void setLanguage();
    bool german() const { return actLanguage_ == 1; }

    // The settings file is written whole whenever one of its values is changed through the window.
    void writeSettingsFile();

    // Adapter port discovery and the COM menu; quiet: no message about what was found.
    QCoro::Task<> checkComPorts(bool quiet = false);
    // Interface > Detect: closes the port, looks for the adapter again and detects the device.
    QCoro::Task<> redetectPort();
    const DiscoveryState& discovery() const noexcept { return discovery_; }

    // The option boxes of the Tools tab.
    void setOption(TransferOption option, bool ticked);
    bool option(TransferOption option) const;
    void setLongDelay(bool ticked);
    void editLongDelay(const QString& text);
    const LongDelayView& longDelay() const noexcept { return longDelay_; }
    void saveOptions() { writeSettingsFile(); }
    // chkPaced: one packet per timer tick instead of the next as soon as the answer is in.
    void setPaced(bool paced);
    // --paced: this run is paced whatever the settings file says.
    void paceThisRun();

    // "Disable Automatic Reset on Timeout", in the Tools tab and the packet console alike.
    void setAutomaticResetOff(bool off) { station_.setAutomaticResetOff(off); }

    // The level menu: showDialog asks for the password when a higher level is asked for.
    QCoro::Task<> levelMenuCommand(AccessLevel level, std::function<QCoro::Task<>()> showDialog);
    // The access level's marks, controls and menu checks (applyUserLevel and the window).
    void applyUserLevel();
    // "Clear data".
    void clearFileData();
    // Opens a configuration file: chosen in the file dialog, or dropped onto the Open button.
    QCoro::Task<> openFile();
    void openDroppedFiles(const QStringList& paths);
    // The window's device commands (Read, Write; the Infos tab's Read, interpreter and Reset; the
    // Tools tab's interpreter write and Detect): the station's operation and its record. Each
    // is refused with a message while a transfer runs or while the Production tab holds the port.
    QCoro::Task<> readParameters();
    QCoro::Task<> write();
    // Writes one of the unit's backups back, asked first, exactly as it was saved (erased values
    // erased), backs the unit up before and reads it back after, as a restore from the command
    // line does; the record says "restore".
    QCoro::Task<> restoreBackup(QString path);
    // Where the window's and the line's backups go: "backups" in the user's data folder.
    static QString backupFolder();
    QCoro::Task<> readInformation();
    QCoro::Task<> readInterpreterInfo();
    QCoro::Task<> reset();
    QCoro::Task<> writeTestInterpreter();
    QCoro::Task<> redetectDevice();
    // The Production tab's line uses this window's port while it runs: lent, the port is closed
    // and the device commands say so; taken back, it is opened again.
    void lendPort();
    QCoro::Task<> takePortBack();
    bool portLent() const noexcept { return portLent_; }
    void showImage();
    // The configuration tab: the serial and production number as the image holds them.
    ConfigTabView configTabView();
    // The user typed a serial or production number; typedByWindow: the window filled the box
    // itself. The labels of the address the serial number gives.
    AddressLabels typeSerialNumber(const QString& text, bool typedByWindow);
    void typeProductionNumber(const QString& text, bool typedByWindow);
    // The overview's value column: whether the row may be edited now, and the edit made.
    bool overviewRowEditable(const QString& rowName) const;
    OverviewEditResult editOverviewValue(const QString& rowName, const QString& text);
    // The message of a command refused while a transfer runs.
    static QString busyText();

    VersionInfo& version() noexcept { return version_; }
    PortState port() const { return station_.portState(); }
    AccessState& access() noexcept { return access_; }
    Station& device() noexcept { return station_; }
    const Station& device() const noexcept { return station_; }
    const OsNames& os() const noexcept { return os_; }
    // The station's image as it is now (a copy).
    const DeviceImage image() const { return station_.image(); }
    Language uiLanguageNow() const { return languageFromNumber(actLanguage_); }
    const HostFacts& host() const noexcept { return seams_.host; }
    const QString& installLanguage() const noexcept { return regLang_; }

    QString setFileLang;
    QString chosenLanguage;

private:
    // Read once, at start-up.
    void readSettingsFile();
    QString settingsFilePath() const;
    // Discovery, or the port named for this run.
    QCoro::Task<> findPort(bool quiet);
    // Uses the port the menu offers (or discovery chose) and opens it afresh.
    QCoro::Task<> usePort(qint16 port);
    // The views, the settings file and the COM menu follow the port in use.
    void portTaken();
    void openNamedPort();
    // The port named for this run as the user knows it.
    QString namedPortCaption() const;
    // A real port named for this run, not found by discovery.
    bool portNamed() const;
    // The COM menu ticks the port in use; a named port stands there by its own name.
    void showPortInMenu();
    void readHostFacts();
    // Open file, drop, Clear data, the level menu and the language menu change the image, the
    // file data or the level: while a transfer command or a batch runs they are refused with a
    // short message (true).
    bool refusedWhileTransferring();
    // A device command: also refused while the port is lent to the Production tab.
    bool refusedForDevice();
    // Opens the first of paths into the image, as Open File and a drop do.
    OpenStatus openFiles(const QStringList& paths);

    SessionSeams seams_;
    SessionViews& views_;
    UiLanguage& language_;
    VersionInfo version_;
    AccessState access_;
    OsNames os_;
    PortPlan plan_;
    DiscoveryState discovery_;
    bool portLent_ = false;
    qint16 storedPort_ = 0; // the port the settings file names: as read, then as last saved
    LongDelayView longDelay_;
    bool pacedByCommandLine_ = false;
    bool consolesBySettings_ = false; // the remembered password opens the terminal and the console
    QString regLang_;
    QString wordWidth_;
    int actLanguage_ = 0;
    Station station_;
};

} // namespace tunekit

namespace tunekit {

// A line of the debug log: "hh:mm:ss.ff : text", ff the hundredths of the second.
QString formatDebugLine(const QTime& time, const QString& text);

} // namespace tunekit
