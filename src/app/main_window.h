#pragma once

#include "sim/line_plan.h"
#include "base/language.h"
#include "records/record_keeper.h"
#include "session/session.h"
#include "app/widget_dialogs.h"
#include "params/config_tab.h"
#include "host/host_facts.h"
#include "link/clock.h"
#include "link/serial_line.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tunekit {

class AuxWindows;

// A control's caption, marked for translation in the "MainWindow" context.
struct Caption {
    const char* objectName;
    const char* text;
};

// What the main window runs against: the serial line and the clock (real or simulated).
struct MainWindowSetup {
    std::unique_ptr<SerialLine> line;
    LinePlan linePlan;    // what line was made from (the Production tab's simulated units follow it)
    std::unique_ptr<Clock> clock;
    std::unique_ptr<HostFacts> host;
    PortPlan plan;        // discovery, or the one port of this run
    bool paced = false;   // one packet per timer tick (--paced)
    std::unique_ptr<records::RecordSink> records; // where operations are recorded; none: nowhere
};

// The main window: shows the session's state and forwards the user's actions to it.
class MainWindow final : public QMainWindow, private SessionViews {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowSetup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    Session& logic() noexcept { return *session_; }
    // Starts the main timer and the start-up; run once the window is on screen.
    void start();
    // Start-up (settings, port, detection, reset) has ended.
    bool startupDone() const noexcept { return startupDone_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Ends the station's and the line's operations as cancelled and answers the questions they
    // left open; the window is whole meanwhile.
    void closeDown();
    // Open message boxes stay centred over the main window and in front of the consoles.
    void keepMessagesInFront();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the station and the session tell the window.
    void changed(StationChanges changes) override;
    void progressChanged(const TransferProgress& progress) override;
    void logged(const TrafficEntry& entry) override;
    void setTabVisible(int tab, bool visible) override;
    void applyLevelChecks(const PerLevel& checks) override;
    void showConsoles(bool terminal, bool console) override;
    void arrangeWindows() override;
    void languageChanged() override;
    void prepareOverview() override;
    void connectionChanged() override;
    void optionsChanged() override;
    void showRedetectWindow(bool shown) override;
    void applyLevelView(const LevelView& view) override;
    // The parts of the window that show the station's state.
    void updateStatusBar();
    void showOverview();
    // How many values an opened file would change on the unit read last, over the overview.
    void showFileChangeCount();
    void showDipSwitches();
    QCoro::Task<> backUpImage();
    // Runs what a click started to its end: the task is kept until then, and its end refreshes
    // the status bar only while the window lives.
    template <typename T>
    void run(QCoro::Task<T> task)
    {
        QCoro::connect(std::move(task), this, [this] { updateStatusBar(); });
    }
    void showConfigTab();
    void labelsChanged();
    void setRedetectButtonsEnabled(bool enabled);

    // Each tab and the menus are built, wired and rendered in a file of their own.
    void buildConfigurationTab();
    void connectConfigurationTab(); // configuration_tab.cpp
    void buildOverviewTab();      // overview_tab.cpp
    void overviewItemChanged(QTreeWidgetItem* item, int column);
    void sizeOverviewColumns();
    void buildInfosTab();         // infos_tab.cpp
    void buildToolsTab();
    void connectToolsTab();         // tools_tab.cpp
    QCoro::Task<> generateDescribedFile();
    QCoro::Task<> askPassword();
    void buildProductionTab();    // production_tab.cpp
    void buildMenus();            // main_menus.cpp
    void retranslateMenus();
    void levelCommand(AccessLevel level);
    // The tick of the COM menu on the entry of the port in use, and on no other.
    void showPortInUse();
    void buildRedetectWindow();

    void buildTabs();
    void buildStatusBar();
    void retranslateUi();
    void showAbout();

    MainWindowSetup setup_;
    WidgetDialogs dialogs_{this};
    UiLanguage language_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<AuxWindows> aux_;
    class ProductionTab* production_ = nullptr;
    class RecordsWindow* records_ = nullptr; // made when first opened
    class UnitHistoryWindow* history_ = nullptr; // made when first opened

    QTabWidget* tabs_ = nullptr;
    QTreeWidget* overviewList_ = nullptr;
    QPlainTextEdit* debugText_ = nullptr;
    std::array<QLabel*, 7> panels_{};
    QList<Caption> captions_; // every caption the tabs registered, for retranslateUi
    QAction* settingsMenu_ = nullptr;
    QAction* rightsMenu_ = nullptr;
    QAction* languageMenu_ = nullptr;
    QAction* helpMenu_ = nullptr;
    QAction* germanAction_ = nullptr;
    QAction* englishAction_ = nullptr;
    QAction* redetectAction_ = nullptr;
    QAction* otherPortAction_ = nullptr;
    QAction* portSeparator_ = nullptr;
    std::array<QAction*, 5> portActions_{};
    std::array<QAction*, 6> levelActions_{};
    QCheckBox* autoResetOffBox_ = nullptr;
    QCheckBox* pacedBox_ = nullptr;
    QLineEdit* serialNumberEdit_ = nullptr;
    QLineEdit* productionNumberEdit_ = nullptr;
    class DipPicture* dipPicture_ = nullptr;
    WindowFilling windowFilling_;
    bool fillingOverview_ = false;
    bool overviewSized_ = false;
    bool started_ = false;
    bool startupDone_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace tunekit
