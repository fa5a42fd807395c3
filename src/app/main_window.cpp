#include "app/main_window.h"

#include "app/production_tab.h"
#include "app/records_window.h"
#include "app/unit_history_window.h"

#include "app/tool_tips.h"
#include "session/window_arrangement.h"
#include "app/window_parts.h"

#include "files/config_file_reader.h"
#include "link/waits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>

// The main window put together: its tabs, menus and status bar are built in files of their own
// (configuration_tab.cpp, overview_tab.cpp, infos_tab.cpp, tools_tab.cpp, main_menus.cpp); here they
// are composed, and the views the logic calls that concern the whole window are rendered.

namespace tunekit {
namespace {

constexpr const char* TabCaptions[] = {
    QT_TRANSLATE_NOOP("MainWindow", "   Configuration    "),
    QT_TRANSLATE_NOOP("MainWindow", "   Overview    "),
    QT_TRANSLATE_NOOP("MainWindow", "   Infos    "),
    QT_TRANSLATE_NOOP("MainWindow", "   Tools    "),
    QT_TRANSLATE_NOOP("MainWindow", "   Production    "),
};

} // namespace

MainWindow::MainWindow(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), aux_(std::make_unique<AuxWindows>(this))
{
    setObjectName(QStringLiteral("frmMain"));
    SessionViews& views = *this;
    session_ = std::make_unique<Session>(SessionSeams{*setup_.line, *setup_.clock, dialogs_, *setup_.host, setup_.records.get()}, views,
                                         language_);
    setWindowTitle(session_->windowTitle());
    buildRedetectWindow();
    const ConsoleCommands consoles = session_->device().consoleCommands(dialogs_);
    aux_->terminalWindow.bind(consoles);
    aux_->packetConsole.bind(consoles);
    buildMenus();
    buildTabs();
    buildStatusBar();
    retranslateUi();
    updateStatusBar();
    optionsChanged();
    connectionChanged();
    if (setup_.paced)
        session_->paceThisRun();
    resize(twipsToPixels(9765, logicalDpiX()), twipsToPixels(8760, logicalDpiY()));
}

MainWindow::~MainWindow()
{
    closeDown();
    setup_.line->setListener({});
}

void MainWindow::closeDown()
{
    session_->shutdown();
    if (production_)
        production_->closeLine();
    // Questions the cancelled operations leave open get their escape answer, which nothing
    // waits for any more; the frames that asked them end now rather than never.
    for (QDialog* dialog : findChildren<QDialog*>()) {
        if (dialog->isVisible())
            dialog->reject();
    }
}

void MainWindow::start()
{
    if (started_)
        return;
    started_ = true;
    // The main timer: every 10 ms, always on.
    setup_.clock->startTicker(10, [this] { session_->mainTimerTick(); });
    // Runs on by itself; the window stays responsive meanwhile.
    whenDone(session_->startup(setup_.plan), [this, alive = std::weak_ptr<int>(alive_)] {
        if (!alive.expired())
            startupDone_ = true;
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Files dropped onto cmdFileOpen are opened like a file chosen in the dialog.
    if (watched->objectName() == QLatin1StringView("cmdFileOpen")) {
        if (event->type() == QEvent::DragEnter) {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (drag->mimeData()->hasUrls())
                drag->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList paths;
            for (const QUrl& url : drop->mimeData()->urls()) {
                if (url.isLocalFile())
                    paths << url.toLocalFile();
            }
            drop->acceptProposedAction();
            session_->openDroppedFiles(paths);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    closeDown();
    aux_->terminalWindow.hide();
    aux_->packetConsole.hide();
    aux_->transferWindow.hide();
    event->accept();
    QApplication::quit();
}

void MainWindow::buildTabs()
{
    tabs_ = named<QTabWidget>(this, "SSTab");
    setCentralWidget(tabs_);
    buildConfigurationTab();
    buildOverviewTab();
    buildInfosTab();
    buildToolsTab();
    buildProductionTab();
}

void MainWindow::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        statusBar()->addWidget(panels_[i], i == 6 ? 1 : 0);
    }
    panels_[6]->setMinimumWidth(twipsToPixels(4000, logicalDpiX()) / 2);
}

void MainWindow::retranslateUi()
{
    retranslateMenus();
    for (int tab = 0; tab < tabs_->count(); ++tab)
        tabs_->setTabText(tab, translated(TabCaptions[tab]));
    production_->retranslate();
    if (records_)
        records_->retranslate();
    if (history_)
        history_->retranslate();
    for (const Caption& caption : captions_) {
        QWidget* widget = findChild<QWidget*>(QLatin1StringView(caption.objectName));
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(translated(caption.text));
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(translated(caption.text));
    }
    setMainWindowToolTips(*this);
    aux_->transferWindow.retranslate();
    aux_->terminalWindow.retranslate();
    aux_->packetConsole.retranslate();
}

void MainWindow::showAbout()
{
    dialogs_.msgBox(session_->aboutText(), MsgButtons::Ok, MsgIcon::None, session_->aboutTitle());
}

void MainWindow::updateStatusBar()
{
    const StatusBarTexts texts = session_->statusBar();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (panels_[i]->text() != texts[i])
            panels_[i]->setText(texts[i]);
    }
}

void MainWindow::changed(StationChanges changes)
{
    if (changes & StationChange::Values) {
        showConfigTab();
        showDipSwitches();
        showOverview();
        // A unit read or detected while the history is open: the history is the new unit's.
        if (history_ && history_->isVisible() && history_->shownSerial() != session_->device().serialNumber())
            history_->showUnit(session_->device().serialNumber());
    }
    if (changes & StationChange::Facts)
        labelsChanged();
    if (changes & StationChange::Status)
        updateStatusBar();
    if (changes & StationChange::Controls)
        setRedetectButtonsEnabled(!session_->device().detecting());
}

void MainWindow::progressChanged(const TransferProgress& progress)
{
    aux_->transferWindow.render(progress);
    aux_->packetConsole.setManualResetHintVisible(progress.resetByHand);
}

void MainWindow::logged(const TrafficEntry& entry)
{
    switch (entry.kind) {
    case TrafficEntry::Kind::Debug:
        debugText_->appendPlainText(formatDebugLine(QTime::currentTime(), entry.text));
        break;
    case TrafficEntry::Kind::Packet:
        aux_->packetConsole.addPacket(entry.bytes, entry.text, QTime::currentTime());
        break;
    case TrafficEntry::Kind::Terminal: aux_->terminalWindow.append(entry.bytes); break;
    case TrafficEntry::Kind::TerminalCleared: aux_->terminalWindow.clear(); break;
    case TrafficEntry::Kind::PacketsCleared: aux_->packetConsole.clearLog(); break;
    }
}

void MainWindow::setTabVisible(int tab, bool visible)
{
    tabs_->setTabVisible(tab, visible);
}

void MainWindow::showConsoles(bool terminal, bool console)
{
    aux_->terminalWindow.setVisible(terminal);
    aux_->packetConsole.setVisible(console);
    keepMessagesInFront();
}

void MainWindow::keepMessagesInFront()
{
    // A message or question shown before the consoles opened or the windows moved ("No free
    // Port" at start-up) goes over the main window again, in front of the consoles.
    for (QDialog* dialog : findChildren<QDialog*>()) {
        if (!dialog->isVisible() || dialog->windowModality() == Qt::NonModal)
            continue;
        dialog->move(geometry().center() - dialog->rect().center());
        dialog->raise();
    }
}

void MainWindow::arrangeWindows()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    const QSize screenTwips(static_cast<int>(screen->availableGeometry().width() * 1440.0 / dpiX),
                            static_cast<int>(screen->availableGeometry().height() * 1440.0 / dpiY));
    const int consoleWidth = static_cast<int>(aux_->packetConsole.width() * 1440.0 / dpiX);
    const QSize needed = minimumSizeHint().expandedTo(minimumSize());
    const QSize neededTwips(static_cast<int>(needed.width() * 1440.0 / dpiX), static_cast<int>(needed.height() * 1440.0 / dpiY));
    const WindowArrangement a = tunekit::arrangeWindows(screenTwips, session_->access().level, consoleWidth, neededTwips);
    auto toPixels = [&](const QRect& r) {
        return QRect(twipsToPixels(r.x(), dpiX), twipsToPixels(r.y(), dpiY), twipsToPixels(r.width(), dpiX),
                     twipsToPixels(r.height(), dpiY));
    };
    const QPoint origin = screen->availableGeometry().topLeft();
    setGeometry(toPixels(a.main).translated(origin));
    aux_->terminalWindow.setGeometry(toPixels(a.terminal).translated(origin));
    aux_->packetConsole.setGeometry(toPixels(a.console).translated(origin));
    keepMessagesInFront();
}

void MainWindow::applyLevelView(const LevelView& view)
{
    for (int tab = 1; tab < tabs_->count(); ++tab)
        tabs_->setTabVisible(tab, view.tabAvailable[static_cast<std::size_t>(tab)]);
    for (const LevelView::Control& control : view.controls) {
        if (QWidget* widget = findChild<QWidget*>(control.objectName))
            widget->setVisible(control.shown);
    }
    labelsChanged();
}

void MainWindow::labelsChanged()
{
    const auto label = [this](const QString& name) { return findChild<QLabel*>(name); };
    const DeviceImage& image = session_->image();
    const DeviceInformation& info = image.info;
    findChild<QPlainTextEdit*>(QStringLiteral("txtSource"))->setPlainText(info.source);
    for (int i = 1; i <= 7; ++i)
        label(QStringLiteral("lblInfo%1").arg(i))->setText(info.texts[static_cast<std::size_t>(i)]);
    label(QStringLiteral("lblOpHours"))->setText(info.operatingHours);
    label(QStringLiteral("lblInterpreterImage"))->setText(interpreterCaption(image));
    label(QStringLiteral("lblcfid"))
        ->setText(info.reportedConfigId != 0 ? QStringLiteral("ConfigID = %1").arg(info.reportedConfigId) : QString());
    const LoadedFile& file = image.file;
    label(QStringLiteral("lblConfigFileName"))->setText(file.name);
    label(QStringLiteral("lblConfigFileInfo"))->setText(file.description);
    QLabel* fileId = label(QStringLiteral("ConfigFileIDLabel"));
    fileId->setText(file.configIdShown != 0 ? QStringLiteral("FileID: %1").arg(file.configIdShown) : QString());
    QLabel* crc = label(QStringLiteral("lblCRC"));
    if (file.checksumState >= 0) {
        const CrcLabelLook look = crcLabelLookFor(static_cast<ChecksumState>(file.checksumState));
        const auto rgb = [](const Rgb& colour) {
            return QStringLiteral("rgb(%1, %2, %3)").arg(colour.red).arg(colour.green).arg(colour.blue);
        };
        crc->setText(look.text);
        QString style = QStringLiteral("color: %1;").arg(rgb(look.foreground));
        if (look.background)
            style += QStringLiteral(" background-color: %1;").arg(rgb(*look.background));
        crc->setStyleSheet(style);
    } else {
        crc->clear();
        crc->setStyleSheet(QString());
    }
    label(QStringLiteral("lblI"))->setVisible(image.extended.interpreterPresent);
    label(QStringLiteral("lblD"))->setVisible(image.extended.displayPresent);
    label(QStringLiteral("lblF"))->setVisible(image.extended.frequencyPresent);
    // File labels show only when a file set them and the level allows them.
    const LevelView view = viewForLevel(session_->access().level);
    crc->setVisible(file.shown && view.shows(u"lblCRC"));
    fileId->setVisible(file.shown && view.shows(u"ConfigFileIDLabel"));
    if (image.value[2].isEmpty() && image.value[15].isEmpty()) {
        const WindowFilling::Hold hold(windowFilling_);
        serialNumberEdit_->clear();
        productionNumberEdit_->clear();
    }
}

void MainWindow::setRedetectButtonsEnabled(bool enabled)
{
    for (const char* name : {"cmdRead", "cmdConfigWrite", "CmdClearFileData", "cmdFileOpen", "cmdSicherung",
                             "cmdResetMe"})
        findChild<QWidget*>(QLatin1StringView(name))->setEnabled(enabled);
}

} // namespace tunekit
