#include "app/main_window.h"

#include "app/tool_tips.h"
#include "app/window_arrangement.h"

#include "access/password_dialog.h"
#include "consoles/console_windows.h"
#include "files/cfg_file_info_dialog.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "params/dip_picture.h"
#include "params/overview_edit.h"
#include "params/picture_button.h"
#include "report/parameter_report.h"
#include "transfer/transfer_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tunekit {

// The windows the main window creates on its behalf.
class AuxWindows {
public:
    explicit AuxWindows(QWidget* owner) : frmWriteInfo(owner), frmTerminal(owner), frmContact(owner)
    {
        frmRedetect.setParent(owner, Qt::Dialog);
        frmRedetect.setObjectName(QStringLiteral("frmRedetect"));
    }
    TransferWindow frmWriteInfo;
    TerminalWindow frmTerminal;
    ContactWindow frmContact;
    QWidget frmRedetect;
};

namespace {

// Captions of the main window's controls; German texts come from the translation.
struct Caption {
    const char* objectName;
    const char* text;
};

constexpr Caption Captions[] = {
    {"lblConfigFileHeader", QT_TRANSLATE_NOOP("MainWindow", "Configuration File:")},
    {"lblSerialNumberHeader", QT_TRANSLATE_NOOP("MainWindow", "Serial Number")},
    {"lblProductionNumberHeader", QT_TRANSLATE_NOOP("MainWindow", "Production Number")},
    {"cmdRead", QT_TRANSLATE_NOOP("MainWindow", "       Read")},
    {"cmdConfigWrite", QT_TRANSLATE_NOOP("MainWindow", "             Write")},
    {"Label4", QT_TRANSLATE_NOOP("MainWindow", "Sourcecode:")},
    {"Label5", QT_TRANSLATE_NOOP("MainWindow", "Version Number:")},
    {"Label6", QT_TRANSLATE_NOOP("MainWindow", "Date of Compilation:")},
    {"Label7", QT_TRANSLATE_NOOP("MainWindow", "Hardware plattform:")},
    {"Label8", QT_TRANSLATE_NOOP("MainWindow", "Hours of Operation:")},
    {"lblBetriebsstd", QT_TRANSLATE_NOOP("MainWindow", "Hours of Operation:")},
    {"LblInterNumber", QT_TRANSLATE_NOOP("MainWindow", "Interpreter Number:")},
    {"lblInterName", QT_TRANSLATE_NOOP("MainWindow", "Interpreter Name:")},
    {"lblInterDate", QT_TRANSLATE_NOOP("MainWindow", "Interpreter Date:")},
    {"cmdInfoRead", QT_TRANSLATE_NOOP("MainWindow", "Read")},
    {"chkResetBeforeTransmit", QT_TRANSLATE_NOOP("MainWindow", "Reset before transmit")},
    {"ChkSendNewDataOnly", QT_TRANSLATE_NOOP("MainWindow", "Only send changed values")},
    {"ChkEraseStringsAfterWrite", QT_TRANSLATE_NOOP("MainWindow", "Erase extended data after first writing")},
    {"ChkLongDelay", QT_TRANSLATE_NOOP("MainWindow", "Use long delay on reset")},
    {"CmdSaveOptions", QT_TRANSLATE_NOOP("MainWindow", "Save Options")},
    {"cmdGenReport", QT_TRANSLATE_NOOP("MainWindow", "Generate Report")},
    {"cmdSicherung", QT_TRANSLATE_NOOP("MainWindow", "Generate Backup")},
    {"lblOptions", QT_TRANSLATE_NOOP("MainWindow", "Options")},
    {"cmdFileOpen", QT_TRANSLATE_NOOP("MainWindow", "Open file")},
    {"CmdClearFileData", QT_TRANSLATE_NOOP("MainWindow", "Clear data")},
    {"cmdRedetectDevice", QT_TRANSLATE_NOOP("MainWindow", "Re-detect Device")},
    {"CmdCopyToConfig", QT_TRANSLATE_NOOP("MainWindow", "Generate new ConfigFile")},
    {"cmdConvertChecksum", QT_TRANSLATE_NOOP("MainWindow", "File -> Add Checksum")},
    {"DisAutoRes", QT_TRANSLATE_NOOP("MainWindow", "Disable Automatic Reset on Timeout")},
    {"chkPaced", QT_TRANSLATE_NOOP("MainWindow", "Send one packet per timer tick (slower)")},
    {"cmdIR", QT_TRANSLATE_NOOP("MainWindow", "Read interpreter info")},
    {"cmd_int_write", QT_TRANSLATE_NOOP("MainWindow", "Write interpreter")},
    {"cmdResetMe", QT_TRANSLATE_NOOP("MainWindow", "Reset")},
    {"lblInterpreterImageHeader", QT_TRANSLATE_NOOP("MainWindow", "Interpreter in file:")},
};

constexpr const char* TabCaptions[] = {
    QT_TRANSLATE_NOOP("MainWindow", "   Configuration    "),
    QT_TRANSLATE_NOOP("MainWindow", "   Overview    "),
    QT_TRANSLATE_NOOP("MainWindow", "   Infos    "),
    QT_TRANSLATE_NOOP("MainWindow", "   Tools    "),
};

constexpr const char* LevelCaptions[] = {
    QT_TRANSLATE_NOOP("MainWindow", "Level 1"),    QT_TRANSLATE_NOOP("MainWindow", "Level 2"),
    QT_TRANSLATE_NOOP("MainWindow", "Level 3"),    QT_TRANSLATE_NOOP("MainWindow", "Service"),
    QT_TRANSLATE_NOOP("MainWindow", "Production"), QT_TRANSLATE_NOOP("MainWindow", "Development"),
};

template <typename W>
W* Named(QWidget* parent, const char* name)
{
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1StringView(name));
    return widget;
}

QString Tr(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

// Only the value column is edited in place, and only where the parameter may be edited.
class OverviewDelegate final : public QStyledItemDelegate {
public:
    OverviewDelegate(const DeviceImage& image, QObject* parent) : QStyledItemDelegate(parent), image_(image) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() != 0 || !BeforeLabelEdit(image_, index.siblingAtColumn(1).data().toString()))
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

private:
    const DeviceImage& image_;
};

// Small icon 2: the access level reaches the parameter; 1: it does not.
QIcon LevelIcon(bool reached)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(reached ? QColor(40, 150, 60) : QColor(170, 170, 170));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(1, 1, 10, 10);
    return QIcon(pixmap);
}

} // namespace

MainWindow::MainWindow(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), aux_(std::make_unique<AuxWindows>(this))
{
    setObjectName(QStringLiteral("frmMain"));
    SessionViews& views = *this;
    session_ = std::make_unique<Session>(SessionSeams{*setup_.line, *setup_.clock, dialogs_, *setup_.host}, views,
                                         language_);
    setWindowTitle(session_->WindowTitle());
    BuildRedetectWindow();
    const ConsoleCommands consoles(session_->Rs232(), session_->Engine(), dialogs_);
    aux_->frmTerminal.Bind(consoles);
    aux_->frmContact.Bind(consoles);
    BuildMenus();
    BuildTabs();
    BuildStatusBar();
    RetranslateUi();
    UpdateStatusBar();
    OptionsChanged();
    ConnectionChanged();
    if (setup_.paced)
        session_->PaceThisRun();
    resize(TwipsToPixels(9765, logicalDpiX()), TwipsToPixels(8760, logicalDpiY()));
}

MainWindow::~MainWindow()
{
    setup_.line->SetListener({});
}

void MainWindow::Start()
{
    if (started_)
        return;
    started_ = true;
    // tmrMain: 10 ms, always on.
    setup_.clock->StartTicker(10, [this] { session_->MainTimerTick(); });
    session_->Startup(setup_.plan);
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
            session_->cmdFileOpen_OLEDragDrop(paths);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    session_->Shutdown();
    aux_->frmTerminal.hide();
    aux_->frmContact.hide();
    aux_->frmWriteInfo.hide();
    event->accept();
    QApplication::quit();
}

void MainWindow::BuildMenus()
{
    QMenu* settings = menuBar()->addMenu(QString());
    mnuSettings = settings->menuAction();
    mnuSettings->setObjectName(QStringLiteral("mnuSettings"));
    for (int i = 0; i < 5; ++i) {
        mnuCOM_[static_cast<std::size_t>(i)] = settings->addAction(QStringLiteral("COM%1").arg(i + 1));
        mnuCOM_[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("mnuCOM%1").arg(i + 1));
        mnuCOM_[static_cast<std::size_t>(i)]->setCheckable(true);
    }
    mnuSeperator3 = settings->addSeparator();
    mnuSeperator3->setObjectName(QStringLiteral("mnuSeperator3"));
    mnuSeperator3->setVisible(false);
    mnuCOMother = settings->addAction(QString());
    mnuCOMother->setObjectName(QStringLiteral("mnuCOMother"));
    mnuCOMother->setCheckable(true);
    mnuCOMother->setVisible(false);
    settings->addSeparator();
    mnuCOMredetect = settings->addAction(QString());
    mnuCOMredetect->setObjectName(QStringLiteral("mnuCOMredetect"));
    // The COM entries only show the ports; Detect chooses again.
    for (QAction* com : mnuCOM_)
        com->setEnabled(false);
    connect(mnuCOMredetect, &QAction::triggered, this, [this] { session_->mnuCOMredetect_Click(); });

    QMenu* rights = menuBar()->addMenu(QString());
    mnuRights = rights->menuAction();
    mnuRights->setObjectName(QStringLiteral("mnuRights"));
    for (int i = 0; i < 6; ++i) {
        QAction* level = rights->addAction(QString());
        level->setObjectName(QStringLiteral("mnuLevel%1").arg((i + 1) * 10));
        level->setCheckable(true);
        mnuLevel_[static_cast<std::size_t>(i)] = level;
    }

    QMenu* languages = menuBar()->addMenu(QString());
    mnuLanguage = languages->menuAction();
    mnuLanguage->setObjectName(QStringLiteral("mnuLanguage"));
    mnuGerman = languages->addAction(QString());
    mnuGerman->setObjectName(QStringLiteral("mnuGerman"));
    mnuGerman->setCheckable(true);
    mnuEnglish = languages->addAction(QString());
    mnuEnglish->setObjectName(QStringLiteral("mnuEnglish"));
    mnuEnglish->setCheckable(true);
    connect(mnuGerman, &QAction::triggered, this, [this] { session_->ChooseLanguage(QStringLiteral("DE")); });
    connect(mnuEnglish, &QAction::triggered, this, [this] { session_->ChooseLanguage(QStringLiteral("EN")); });

    mnuHelp = menuBar()->addAction(QString());
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    connect(mnuHelp, &QAction::triggered, this, &MainWindow::ShowAbout);
}

void MainWindow::BuildTabs()
{
    SSTab = Named<QTabWidget>(this, "SSTab");
    setCentralWidget(SSTab);

    auto* config = new QWidget(SSTab);
    auto* configGrid = new QGridLayout(config);
    configGrid->addWidget(Named<QLabel>(config, "lblConfigFileHeader"), 0, 0);
    configGrid->addWidget(Named<QLabel>(config, "lblConfigFileName"), 0, 1, 1, 2);
    configGrid->addWidget(Named<QPushButton>(config, "cmdFileOpen"), 0, 3);
    configGrid->addWidget(Named<QLabel>(config, "lblConfigFileInfo"), 1, 0, 1, 3);
    auto* indicators = new QHBoxLayout;
    for (const char* name : {"lblI", "lblD", "lblF"}) {
        auto* indicator = Named<QLabel>(config, name);
        indicator->setText(QString::fromLatin1(name + 3));
        indicator->setFrameShape(QFrame::Box);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(20);
        indicator->hide();
        indicators->addWidget(indicator);
    }
    indicators->addStretch(1);
    configGrid->addLayout(indicators, 1, 3);
    // From level 30, where the Tools tab is still closed.
    configGrid->addWidget(Named<QPushButton>(config, "CmdClearFileData"), 2, 3);
    configGrid->addWidget(Named<QPushButton>(config, "cmdSicherung"), 3, 3);
    configGrid->addWidget(Named<QLabel>(config, "lblSerialNumberHeader"), 2, 0);
    txtSerialnumber = Named<QLineEdit>(config, "txtSerialnumber");
    configGrid->addWidget(txtSerialnumber, 2, 1);
    configGrid->addWidget(Named<QLabel>(config, "lblProductionNumberHeader"), 3, 0);
    txtProductionNumber = Named<QLineEdit>(config, "txtProductionNumber");
    configGrid->addWidget(txtProductionNumber, 3, 1);
    auto* dipPanel = new DipPanel(config);
    pbxDip = dipPanel->Picture();
    configGrid->addWidget(dipPanel, 4, 0, 3, 4);
    configGrid->addWidget(Named<QLabel>(config, "InternalAddress"), 7, 1);
    configGrid->addWidget(Named<QLabel>(config, "DirectAddress"), 7, 3);
    configGrid->addWidget(Named<QLabel>(config, "lblcfid"), 8, 0, 1, 2);
    configGrid->addWidget(Named<QLabel>(config, "lblCRC"), 9, 0);
    configGrid->addWidget(Named<QLabel>(config, "ConfigFileIDLabel"), 9, 2);
    configGrid->addWidget(Named<QPushButton>(config, "cmdRead"), 10, 0);
    configGrid->addWidget(Named<QPushButton>(config, "cmdConfigWrite"), 10, 3);
    configGrid->setRowStretch(11, 1);
    SSTab->addTab(config, QString());

    auto* overview = new QWidget(SSTab);
    auto* overviewLayout = new QVBoxLayout(overview);
    lstOverview = Named<QTreeWidget>(overview, "lstOverview");
    lstOverview->setColumnCount(3);
    lstOverview->setRootIsDecorated(false);
    overviewLayout->addWidget(lstOverview);
    SSTab->addTab(overview, QString());

    auto* infos = new QWidget(SSTab);
    auto* infoGrid = new QGridLayout(infos);
    auto* source = Named<QPlainTextEdit>(infos, "txtSource");
    source->setReadOnly(true);
    source->setMaximumHeight(70);
    infoGrid->addWidget(Named<QLabel>(infos, "Label4"), 0, 0);
    infoGrid->addWidget(source, 0, 1, 1, 2);
    int row = 1;
    const char* infoCaptions[] = {"Label5", "Label6", "Label7", "Label8", "LblInterNumber", "lblInterName",
                                  "lblInterDate"};
    for (int i = 0; i < 7; ++i) {
        infoGrid->addWidget(Named<QLabel>(infos, infoCaptions[i]), row, 0);
        infoGrid->addWidget(Named<QLabel>(infos, qPrintable(QStringLiteral("lblInfo%1").arg(i + 1))), row, 1, 1, 2);
        ++row;
    }
    infoGrid->addWidget(Named<QLabel>(infos, "lblBetriebsstd"), row, 0);
    infoGrid->addWidget(Named<QLabel>(infos, "lblOpHours"), row++, 1);
    infoGrid->addWidget(Named<QLabel>(infos, "lblInterpreterImageHeader"), row, 0);
    infoGrid->addWidget(Named<QLabel>(infos, "lblInterpreterImage"), row++, 1);
    infoGrid->addWidget(Named<QLabel>(infos, "lblWinVer"), row, 0);
    infoGrid->addWidget(Named<QLabel>(infos, "lblSprache"), row++, 1);
    infoGrid->addWidget(Named<QLabel>(infos, "lblComPort"), row++, 0, 1, 2);
    auto* infoButtons = new QHBoxLayout;
    infoButtons->addWidget(Named<QPushButton>(infos, "cmdInfoRead"));
    infoButtons->addWidget(Named<QPushButton>(infos, "cmdIR"));
    infoButtons->addWidget(Named<QPushButton>(infos, "cmdResetMe"));
    infoButtons->addStretch(1);
    infoGrid->addLayout(infoButtons, row++, 0, 1, 3);
    infoGrid->setRowStretch(row, 1);
    infoGrid->setColumnStretch(2, 1);
    SSTab->addTab(infos, QString());

    auto* tools = new QWidget(SSTab);
    auto* toolGrid = new QGridLayout(tools);
    toolGrid->addWidget(Named<QLabel>(tools, "lblOptions"), 0, 0);
    toolGrid->addWidget(Named<QCheckBox>(tools, "chkResetBeforeTransmit"), 1, 0);
    toolGrid->addWidget(Named<QCheckBox>(tools, "ChkSendNewDataOnly"), 2, 0);
    toolGrid->addWidget(Named<QCheckBox>(tools, "ChkEraseStringsAfterWrite"), 3, 0);
    toolGrid->addWidget(Named<QCheckBox>(tools, "ChkLongDelay"), 4, 0);
    auto* delay = new QHBoxLayout;
    auto* txtLongDelay = Named<QLineEdit>(tools, "txtLongDelay");
    txtLongDelay->setMaxLength(3);
    txtLongDelay->setFixedWidth(txtLongDelay->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    delay->addWidget(txtLongDelay);
    auto* lblSek = Named<QLabel>(tools, "lblSek");
    lblSek->setText(QStringLiteral("s"));
    delay->addWidget(lblSek);
    delay->addStretch(1);
    toolGrid->addLayout(delay, 4, 1);
    DisAutoRes = Named<QCheckBox>(tools, "DisAutoRes");
    toolGrid->addWidget(DisAutoRes, 5, 0);
    toolGrid->addWidget(Named<QPushButton>(tools, "CmdSaveOptions"), 6, 0);
    toolGrid->addWidget(Named<QPushButton>(tools, "cmdRedetectDevice"), 1, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "cmdGenReport"), 2, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "CmdCopyToConfig"), 3, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "cmdConvertChecksum"), 4, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "cmd_int_write"), 5, 2);
    chkPaced = Named<QCheckBox>(tools, "chkPaced");
    toolGrid->addWidget(chkPaced, 7, 0);
    txtDebug = Named<QPlainTextEdit>(tools, "txtDebug");
    txtDebug->setReadOnly(true);
    // A day of transfers must not eat the memory: keep the newest lines.
    txtDebug->setMaximumBlockCount(50000);
    toolGrid->addWidget(txtDebug, 8, 0, 1, 3);
    SSTab->addTab(tools, QString());

    connect(DisAutoRes, &QCheckBox::toggled, this, [this](bool ticked) {
        session_->SetDisAutoRes(ticked);
        aux_->frmContact.SetCheck01(ticked);
    });
    connect(chkPaced, &QCheckBox::clicked, this, [this](bool ticked) { session_->SetPaced(ticked); });
    connect(&aux_->frmContact, &ContactWindow::Check01Toggled, this, [this](bool ticked) {
        session_->SetCheck01(ticked);
        DisAutoRes->setChecked(ticked);
    });

    // Hidden until the access level shows them.
    for (const char* name : {"lblConfigFileHeader", "lblConfigFileName", "cmdFileOpen", "lblConfigFileInfo",
                             "CmdClearFileData", "cmdSicherung", "lblProductionNumberHeader", "txtProductionNumber",
                             "lblCRC", "ConfigFileIDLabel"})
        findChild<QWidget*>(QLatin1StringView(name))->hide();
    WireCommands();
}

void MainWindow::BuildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        statusBar()->addWidget(panels_[i], i == 6 ? 1 : 0);
    }
    panels_[6]->setMinimumWidth(TwipsToPixels(4000, logicalDpiX()) / 2);
}

void MainWindow::RetranslateUi()
{
    mnuSettings->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Interface")));
    mnuRights->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Authorization")));
    mnuLanguage->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Language")));
    mnuHelp->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "About")));
    mnuGerman->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "German")));
    mnuEnglish->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "English")));
    mnuCOMredetect->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Detect")));
    for (std::size_t i = 0; i < mnuLevel_.size(); ++i)
        mnuLevel_[i]->setText(Tr(LevelCaptions[i]));
    for (int tab = 0; tab < 4; ++tab)
        SSTab->setTabText(tab, Tr(TabCaptions[tab]));
    for (const Caption& caption : Captions) {
        QWidget* widget = findChild<QWidget*>(QLatin1StringView(caption.objectName));
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(Tr(caption.text));
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(Tr(caption.text));
    }
    aux_->frmRedetect.setWindowTitle(Tr(QT_TRANSLATE_NOOP("MainWindow", "Redetecting ...")));
    aux_->frmRedetect.findChild<QLabel*>(QStringLiteral("lblRedetect"))
        ->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Please wait while redetecting COM-Ports ...")));
    SetMainWindowToolTips(*this);
    aux_->frmWriteInfo.Retranslate();
    aux_->frmTerminal.Retranslate();
    aux_->frmContact.Retranslate();
}

void MainWindow::ShowAbout()
{
    dialogs_.MsgBox(session_->AboutText(), MsgButtons::Ok, MsgIcon::None, session_->AboutTitle());
}

void MainWindow::UpdateStatusBar()
{
    const StatusBarTexts texts = session_->StatusBar();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (panels_[i]->text() != texts[i])
            panels_[i]->setText(texts[i]);
    }
}

void MainWindow::SetDebugText(const QString& text)
{
    txtDebug->appendPlainText(FormatDebugLine(QTime::currentTime(), text));
}

void MainWindow::AddContactDump(const QByteArray& packet, const QString& direction)
{
    aux_->frmContact.AddContactDump(packet, direction, QTime::currentTime());
}

void MainWindow::AddToTerminal(const QByteArray& text)
{
    aux_->frmTerminal.AddToTerminal(text);
}

void MainWindow::RefreshAfterDownload()
{
    ShadowToGui();
    ShadowToDip();
    ShadowToTable();
    LabelsChanged();
}

void MainWindow::TransferWindowChanged()
{
    aux_->frmWriteInfo.Render(session_->Engine().Window());
    aux_->frmContact.SetHintVisible(session_->Engine().Reset().consoleHintVisible);
}

void MainWindow::SetTabVisible(int tab, bool visible)
{
    SSTab->setTabVisible(tab, visible);
}

void MainWindow::ApplyLevelChecks(const std::array<bool, 6>& checks)
{
    for (std::size_t i = 0; i < checks.size(); ++i)
        mnuLevel_[i]->setChecked(checks[i]);
}

void MainWindow::ShowConsoles(bool terminal, bool console)
{
    aux_->frmTerminal.setVisible(terminal);
    aux_->frmContact.setVisible(console);
}

void MainWindow::ArrangeWindows()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    const QSize screenTwips(static_cast<int>(screen->availableGeometry().width() * 1440.0 / dpiX),
                            static_cast<int>(screen->availableGeometry().height() * 1440.0 / dpiY));
    const int consoleWidth = static_cast<int>(aux_->frmContact.width() * 1440.0 / dpiX);
    const WindowArrangement a = tunekit::ArrangeWindows(screenTwips, session_->Access().blnAuthLevel, consoleWidth);
    auto toPixels = [&](const QRect& r) {
        return QRect(TwipsToPixels(r.x(), dpiX), TwipsToPixels(r.y(), dpiY), TwipsToPixels(r.width(), dpiX),
                     TwipsToPixels(r.height(), dpiY));
    };
    const QPoint origin = screen->availableGeometry().topLeft();
    setGeometry(toPixels(a.main).translated(origin));
    aux_->frmTerminal.setGeometry(toPixels(a.terminal).translated(origin));
    aux_->frmContact.setGeometry(toPixels(a.console).translated(origin));
}

void MainWindow::ClearPacketConsole()
{
    aux_->frmContact.ClearLog();
}

void MainWindow::PrepareOverview()
{
    // The column headers are set once, in the language of the start.
    lstOverview->setHeaderLabels({Tr(QT_TRANSLATE_NOOP("MainWindow", "Value")), Tr(QT_TRANSLATE_NOOP("MainWindow", "Name")),
                                  Tr(QT_TRANSLATE_NOOP("MainWindow", "Description"))});
    SizeOverviewColumns();
}

void MainWindow::SizeOverviewColumns()
{
    // 0.18, 0.28 and 0.53 of the list's width; the list is measured once it is on screen.
    const int width = lstOverview->isVisible() ? lstOverview->viewport()->width() : centralWidget()->width() - 30;
    lstOverview->setColumnWidth(0, width * 18 / 100);
    lstOverview->setColumnWidth(1, width * 28 / 100);
    lstOverview->setColumnWidth(2, width * 53 / 100);
}

void MainWindow::WireCommands()
{
    auto button = [this](const char* name) { return findChild<QPushButton*>(QLatin1StringView(name)); };
    DeviceTransfers& transfers = session_->Transfers();
    connect(button("cmdRead"), &QPushButton::clicked, this, [&transfers] { transfers.cmdRead_Click(); });
    auto* picture1 = new PictureButton(QStringLiteral(":/pictures/read.svg"), button("cmdRead"));
    picture1->setObjectName(QStringLiteral("Picture1"));
    connect(picture1, &PictureButton::clicked, this, [&transfers] { transfers.cmdRead_Click(); });
    auto* picture2 = new PictureButton(QStringLiteral(":/pictures/write.svg"), button("cmdConfigWrite"));
    picture2->setObjectName(QStringLiteral("Picture2"));
    connect(picture2, &PictureButton::clicked, this, [this] { session_->Writes().cmdConfigWrite_Click(); });
    connect(button("cmdInfoRead"), &QPushButton::clicked, this, [&transfers] { transfers.cmdInfoRead_Click(); });
    connect(button("cmdConfigWrite"), &QPushButton::clicked, this, [this] { session_->Writes().cmdConfigWrite_Click(); });
    connect(button("cmd_int_write"), &QPushButton::clicked, this,
            [this] { session_->Writes().cmd_int_write_Click(session_->Host().ProgramFolder()); });
    connect(button("cmdIR"), &QPushButton::clicked, this, [&transfers] { transfers.cmdIR_Click(); });
    connect(button("cmdResetMe"), &QPushButton::clicked, this, [&transfers] { transfers.cmdResetMe_Click(); });
    connect(button("cmdRedetectDevice"), &QPushButton::clicked, this,
            [&transfers] { transfers.cmdRedetectDevice_Click(); });
    connect(button("CmdClearFileData"), &QPushButton::clicked, this, [this] { session_->CmdClearFileData_Click(); });
    connect(button("cmdFileOpen"), &QPushButton::clicked, this, [this] { session_->cmdFileOpen_Click(); });
    button("cmdFileOpen")->setAcceptDrops(true);
    button("cmdFileOpen")->installEventFilter(this);
    auto box = [this](const char* name) { return findChild<QCheckBox*>(QLatin1StringView(name)); };
    const char* optionBoxes[] = {"chkResetBeforeTransmit", "ChkSendNewDataOnly", "ChkEraseStringsAfterWrite"};
    for (int i = 0; i < 3; ++i)
        connect(box(optionBoxes[i]), &QCheckBox::clicked, this, [this, i](bool on) { session_->SetOption(i, on); });
    connect(box("ChkLongDelay"), &QCheckBox::clicked, this, [this](bool on) { session_->ChkLongDelay_Click(on); });
    connect(findChild<QLineEdit*>(QStringLiteral("txtLongDelay")), &QLineEdit::textEdited, this,
            [this](const QString& text) { session_->txtLongDelay_Change(text); });
    connect(button("CmdSaveOptions"), &QPushButton::clicked, this, [this] { session_->CmdSaveOptions_Click(); });
    connect(button("cmdConvertChecksum"), &QPushButton::clicked, this,
            [this] { session_->cmdConvertChecksum_Click(); });
    connect(button("cmdSicherung"), &QPushButton::clicked, this, [this] {
        cmdSicherung_Click({session_->Image(), session_->Host(), session_->Version(), dialogs_},
                           txtSerialnumber->text());
    });
    connect(button("cmdGenReport"), &QPushButton::clicked, this,
            [this] { cmdGenReport_Click(dialogs_, session_->UiLanguageNow()); });
    connect(button("CmdCopyToConfig"), &QPushButton::clicked, this, [this] {
        CfgFileInfoDialog frmCfgFileInfo(this);
        if (frmCfgFileInfo.exec() == QDialog::Accepted)
            CmdCopyToConfig_Click({session_->Image(), session_->Host(), session_->Version(), dialogs_},
                                  frmCfgFileInfo.Descriptions());
    });
    for (std::size_t i = 0; i < mnuLevel_.size(); ++i) {
        const int level = static_cast<int>(i + 1) * 10;
        connect(mnuLevel_[i], &QAction::triggered, this, [this, level] { LevelCommand(level); });
    }
    connect(SSTab, &QTabWidget::currentChanged, this, [this] {
        ShadowToTable();
        if (!overviewSized_ && lstOverview->isVisible()) {
            overviewSized_ = true;
            SizeOverviewColumns();
        }
    });

    lstOverview->setItemDelegate(new OverviewDelegate(session_->Image(), lstOverview));
    lstOverview->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::SelectedClicked);
    connect(lstOverview, &QTreeWidget::itemChanged, this, &MainWindow::OverviewItemChanged);

    connect(txtSerialnumber, &QLineEdit::textChanged, this, [this](const QString& text) {
        const AddressLabels labels = TxtSerialnumberChange(session_->Image(), text, shadowFlag_.IsSet(),
                                                           session_->Access().blnAuthLevel);
        findChild<QLabel*>(QStringLiteral("InternalAddress"))->setText(labels.internalAddress);
        findChild<QLabel*>(QStringLiteral("DirectAddress"))->setText(labels.directAddress);
        findChild<QLabel*>(QStringLiteral("ValueLow"))->setText(labels.valueLow);
        findChild<QLabel*>(QStringLiteral("ValueHigh"))->setText(labels.valueHigh);
        ShadowToDip();
    });
    connect(txtProductionNumber, &QLineEdit::textChanged, this, [this](const QString& text) {
        TxtProductionNumberChange(session_->Image(), text, shadowFlag_.IsSet());
    });
}

void MainWindow::OverviewItemChanged(QTreeWidgetItem* item, int column)
{
    if (fillingOverview_ || column != 0)
        return;
    const OverviewEditResult result = AfterLabelEdit(session_->Image(), item->text(1), item->text(0), dialogs_);
    if (result.shadowToGui)
        ShadowToGui();
    // The row shows what the image holds, never a refused text.
    const QString shown = result.nr > 0 ? session_->Image().value[result.nr] : result.rowText;
    fillingOverview_ = true;
    item->setText(0, shown);
    fillingOverview_ = false;
    if (result.clearedFileData)
        LabelsChanged();
}

void MainWindow::LevelCommand(int level)
{
    session_->LevelMenuCommand(level, [this] {
        PasswordDialog dialog(session_->Access(), session_->Image(), dialogs_, this);
        connect(&dialog, &PasswordDialog::WriteSettingsFile, this, [this] { session_->WriteSettingsFile(); });
        dialog.Retranslate();
        dialog.exec();
    });
}

void MainWindow::ApplyLevelView(const LevelView& view)
{
    for (int tab = 1; tab < 4; ++tab)
        SSTab->setTabVisible(tab, view.tabAvailable[static_cast<std::size_t>(tab)]);
    for (const LevelView::Control& control : view.controls) {
        if (QWidget* widget = findChild<QWidget*>(control.objectName))
            widget->setVisible(control.shown);
    }
    LabelsChanged();
}

void MainWindow::ShadowToTable()
{
    const DeviceImage& image = session_->Image();
    fillingOverview_ = true;
    lstOverview->clear();
    const QIcon reached = LevelIcon(true);
    const QIcon notReached = LevelIcon(false);
    for (const OverviewRow& row : image.OverviewRows()) {
        auto* item = new QTreeWidgetItem(lstOverview, {row.value, row.name, row.description});
        item->setIcon(0, row.icon == 2 ? reached : notReached);
        item->setData(0, Qt::UserRole, row.icon);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    fillingOverview_ = false;
    findChild<QLabel*>(QStringLiteral("lblInterpreterImage"))->setText(image.labels.lblInterpreterImage);
}

void MainWindow::ShadowToDip()
{
    pbxDip->SetView(tunekit::ShadowToDip(session_->Image(), session_->Access().blnAuthLevel));
    const DipView& view = pbxDip->View();
    if (view.showValues) {
        findChild<QLabel*>(QStringLiteral("ValueLow"))->setText(view.valueLow);
        findChild<QLabel*>(QStringLiteral("ValueHigh"))->setText(view.valueHigh);
    }
}

void MainWindow::ShadowToGui()
{
    const AccessState& access = session_->Access();
    const ConfigTabView view =
        tunekit::ShadowToGui(session_->Image(), access.levelChecks[4] || access.levelChecks[5], dialogs_);
    const ShadowFlag::Hold hold(shadowFlag_);
    txtProductionNumber->setEnabled(view.productionEnabled);
    QPalette production = txtProductionNumber->palette();
    production.setColor(QPalette::Base, view.productionEnabled ? QColor(255, 255, 255) : palette().color(QPalette::Window));
    txtProductionNumber->setPalette(production);
    if (txtSerialnumber->text() != view.txtSerialnumber)
        txtSerialnumber->setText(view.txtSerialnumber);
    if (txtProductionNumber->text() != view.txtProductionNumber)
        txtProductionNumber->setText(view.txtProductionNumber);
}

void MainWindow::LabelsChanged()
{
    const DeviceImage& image = session_->Image();
    const ImageLabels& labels = image.labels;
    findChild<QPlainTextEdit*>(QStringLiteral("txtSource"))->setPlainText(labels.txtSource);
    for (int i = 1; i <= 7; ++i)
        findChild<QLabel*>(QStringLiteral("lblInfo%1").arg(i))->setText(labels.lblInfo[static_cast<std::size_t>(i)]);
    findChild<QLabel*>(QStringLiteral("lblOpHours"))->setText(labels.lblOpHours);
    findChild<QLabel*>(QStringLiteral("lblInterpreterImage"))->setText(labels.lblInterpreterImage);
    findChild<QLabel*>(QStringLiteral("lblcfid"))->setText(labels.lblcfid);
    findChild<QLabel*>(QStringLiteral("lblConfigFileName"))->setText(labels.lblConfigFileName);
    findChild<QLabel*>(QStringLiteral("lblConfigFileInfo"))->setText(labels.lblConfigFileInfo);
    findChild<QLabel*>(QStringLiteral("ConfigFileIDLabel"))->setText(labels.ConfigFileIDLabel);
    auto* crc = findChild<QLabel*>(QStringLiteral("lblCRC"));
    crc->setText(labels.lblCRC);
    if (labels.crcState >= 0) {
        const CrcLabelLook look = CrcLabelLookFor(static_cast<CRC_Failure>(labels.crcState));
        QString style = QStringLiteral("color: rgb(%1, %2, %3);")
                            .arg(look.foreground.red)
                            .arg(look.foreground.green)
                            .arg(look.foreground.blue);
        if (look.background)
            style += QStringLiteral(" background-color: rgb(%1, %2, %3);")
                         .arg(look.background->red)
                         .arg(look.background->green)
                         .arg(look.background->blue);
        crc->setStyleSheet(style);
    } else {
        crc->setStyleSheet(QString());
    }
    findChild<QLabel*>(QStringLiteral("lblI"))->setVisible(image.extended.interpreterPresent);
    findChild<QLabel*>(QStringLiteral("lblD"))->setVisible(image.extended.displayPresent);
    findChild<QLabel*>(QStringLiteral("lblF"))->setVisible(image.extended.frequencyPresent);
    // File labels show only when a file set them and the level allows them.
    const LevelView view = ViewForLevel(session_->Access().blnAuthLevel);
    findChild<QLabel*>(QStringLiteral("lblCRC"))->setVisible(labels.showCRC && view.Shows(u"lblCRC"));
    findChild<QLabel*>(QStringLiteral("ConfigFileIDLabel"))
        ->setVisible(labels.showConfigFileID && view.Shows(u"ConfigFileIDLabel"));
    if (image.value[2].isEmpty() && image.value[15].isEmpty()) {
        const ShadowFlag::Hold hold(shadowFlag_);
        txtSerialnumber->clear();
        txtProductionNumber->clear();
    }
}

void MainWindow::ClearTerminal()
{
    aux_->frmTerminal.Clear();
}

void MainWindow::SetRedetectButtonsEnabled(bool enabled)
{
    for (const char* name : {"cmdRead", "cmdConfigWrite", "CmdClearFileData", "cmdFileOpen", "cmdSicherung",
                             "cmdResetMe"})
        findChild<QWidget*>(QLatin1StringView(name))->setEnabled(enabled);
}

void MainWindow::BuildRedetectWindow()
{
    QWidget& window = aux_->frmRedetect;
    auto* layout = new QVBoxLayout(&window);
    auto* label = Named<QLabel>(&window, "lblRedetect");
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    window.setWindowModality(Qt::ApplicationModal);
}

void MainWindow::ShowRedetectWindow(bool shown)
{
    QWidget& window = aux_->frmRedetect;
    if (!shown) {
        window.hide();
        return;
    }
    window.adjustSize();
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        window.move(area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2);
    }
    window.show();
}

void MainWindow::ConnectionChanged()
{
    setWindowTitle(session_->WindowTitle());
    const DiscoveryState& discovery = session_->Discovery();
    const ComMenu& menu = discovery.menu;
    for (std::size_t i = 0; i < mnuCOM_.size(); ++i) {
        mnuCOM_[i]->setText(menu.captions[i]);
        mnuCOM_[i]->setEnabled(menu.enabled[i]);
        mnuCOM_[i]->setChecked(menu.checked == static_cast<int>(i) + 1);
    }
    mnuCOMother->setText(menu.otherCaption);
    mnuCOMother->setVisible(menu.otherVisible);
    mnuCOMother->setEnabled(menu.otherEnabled);
    mnuCOMother->setChecked(menu.checked == 6);
    mnuSeperator3->setVisible(menu.otherVisible);
    findChild<QLabel*>(QStringLiteral("lblComPort"))->setText(discovery.lblComPort);
    findChild<QLabel*>(QStringLiteral("lblWinVer"))->setText(session_->Os().winVerCaption);
    findChild<QLabel*>(QStringLiteral("lblSprache"))->setText(session_->InstallLanguage());
}

void MainWindow::OptionsChanged()
{
    const char* optionBoxes[] = {"chkResetBeforeTransmit", "ChkSendNewDataOnly", "ChkEraseStringsAfterWrite"};
    for (int i = 0; i < 3; ++i)
        findChild<QCheckBox*>(QLatin1StringView(optionBoxes[i]))->setChecked(session_->Option(i));
    findChild<QCheckBox*>(QStringLiteral("ChkLongDelay"))->setChecked(session_->Port().ChkLongDelay);
    chkPaced->setChecked(session_->Engine().Paced());
    const LongDelayView& delay = session_->LongDelay();
    auto* text = findChild<QLineEdit*>(QStringLiteral("txtLongDelay"));
    if (text->text() != delay.txtLongDelay)
        text->setText(delay.txtLongDelay);
    text->setVisible(delay.boxVisible);
    findChild<QLabel*>(QStringLiteral("lblSek"))->setVisible(delay.lblSekVisible);
}

void MainWindow::LanguageChanged()
{
    const bool german = session_->German();
    mnuGerman->setChecked(german);
    mnuEnglish->setChecked(!german);
    RetranslateUi();
}

} // namespace tunekit
