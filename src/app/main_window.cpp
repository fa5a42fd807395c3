#include "app/main_window.h"

#include "app/window_arrangement.h"

#include "consoles/console_windows.h"
#include "transfer/transfer_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
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
#include <QVBoxLayout>

namespace tunekit {

// The windows the main window creates on its behalf.
class AuxWindows {
public:
    explicit AuxWindows(QWidget* owner) : frmWriteInfo(owner), frmTerminal(owner), frmContact(owner)
    {
        for (QWidget* shell : {&frmPwd, &frmCfgFileInfo, &frmRedetect})
            shell->setParent(owner, Qt::Dialog);
        frmPwd.setObjectName(QStringLiteral("frmPwd"));
        frmCfgFileInfo.setObjectName(QStringLiteral("frmCfgFileInfo"));
        frmRedetect.setObjectName(QStringLiteral("frmRedetect"));
    }
    TransferWindow frmWriteInfo;
    TerminalWindow frmTerminal;
    ContactWindow frmContact;
    QWidget frmPwd;
    QWidget frmCfgFileInfo;
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

} // namespace

MainWindow::MainWindow(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), aux_(std::make_unique<AuxWindows>(this))
{
    setObjectName(QStringLiteral("frmMain"));
    SessionViews& views = *this;
    session_ = std::make_unique<Session>(SessionSeams{*setup_.line, *setup_.clock, dialogs_, *setup_.host}, views,
                                         language_);
    setWindowTitle(session_->Version().WindowTitle());
    BuildMenus();
    BuildTabs();
    BuildStatusBar();
    RetranslateUi();
    UpdateStatusBar();
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
    session_->Startup(setup_.startPort);
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
    configGrid->addWidget(Named<QLabel>(config, "lblConfigFileInfo"), 1, 0, 1, 4);
    configGrid->addWidget(Named<QLabel>(config, "lblSerialNumberHeader"), 2, 0);
    configGrid->addWidget(Named<QLineEdit>(config, "txtSerialnumber"), 2, 1);
    configGrid->addWidget(Named<QLabel>(config, "lblProductionNumberHeader"), 3, 0);
    configGrid->addWidget(Named<QLineEdit>(config, "txtProductionNumber"), 3, 1);
    auto* dip = Named<QWidget>(config, "pbxDip");
    dip->setMinimumHeight(60);
    configGrid->addWidget(dip, 4, 0, 1, 4);
    configGrid->addWidget(Named<QLabel>(config, "ValueLow"), 5, 0);
    configGrid->addWidget(Named<QLabel>(config, "ValueHigh"), 5, 2);
    configGrid->addWidget(Named<QLabel>(config, "InternalAddress"), 6, 0);
    configGrid->addWidget(Named<QLabel>(config, "DirectAddress"), 6, 2);
    configGrid->addWidget(Named<QLabel>(config, "lblCRC"), 7, 0);
    configGrid->addWidget(Named<QLabel>(config, "ConfigFileIDLabel"), 7, 2);
    configGrid->addWidget(Named<QPushButton>(config, "cmdRead"), 8, 0);
    configGrid->addWidget(Named<QPushButton>(config, "cmdConfigWrite"), 8, 3);
    configGrid->setRowStretch(9, 1);
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
    int row = 0;
    for (const char* name : {"Label4", "Label5", "Label6", "Label7", "Label8", "LblInterNumber", "lblInterName",
                             "lblInterDate"}) {
        infoGrid->addWidget(Named<QLabel>(infos, name), row, 0);
        ++row;
    }
    infoGrid->addWidget(Named<QLabel>(infos, "lblBetriebsstd"), row++, 0);
    infoGrid->addWidget(Named<QLabel>(infos, "lblWinVer"), row, 0);
    infoGrid->addWidget(Named<QLabel>(infos, "lblSprache"), row++, 1);
    infoGrid->addWidget(Named<QPushButton>(infos, "cmdInfoRead"), row++, 0);
    infoGrid->setRowStretch(row, 1);
    SSTab->addTab(infos, QString());

    auto* tools = new QWidget(SSTab);
    auto* toolGrid = new QGridLayout(tools);
    toolGrid->addWidget(Named<QLabel>(tools, "lblOptions"), 0, 0);
    toolGrid->addWidget(Named<QCheckBox>(tools, "chkResetBeforeTransmit"), 1, 0);
    toolGrid->addWidget(Named<QCheckBox>(tools, "ChkSendNewDataOnly"), 2, 0);
    toolGrid->addWidget(Named<QCheckBox>(tools, "ChkEraseStringsAfterWrite"), 3, 0);
    toolGrid->addWidget(Named<QCheckBox>(tools, "ChkLongDelay"), 4, 0);
    toolGrid->addWidget(Named<QLineEdit>(tools, "txtLongDelay"), 4, 1);
    DisAutoRes = Named<QCheckBox>(tools, "DisAutoRes");
    toolGrid->addWidget(DisAutoRes, 5, 0);
    toolGrid->addWidget(Named<QPushButton>(tools, "CmdSaveOptions"), 6, 0);
    toolGrid->addWidget(Named<QPushButton>(tools, "cmdSicherung"), 1, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "CmdClearFileData"), 2, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "cmdRedetectDevice"), 3, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "cmdGenReport"), 4, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "CmdCopyToConfig"), 5, 2);
    toolGrid->addWidget(Named<QPushButton>(tools, "cmdConvertChecksum"), 6, 2);
    txtDebug = Named<QPlainTextEdit>(tools, "txtDebug");
    txtDebug->setReadOnly(true);
    // A day of transfers must not eat the memory: keep the newest lines.
    txtDebug->setMaximumBlockCount(50000);
    toolGrid->addWidget(txtDebug, 7, 0, 1, 3);
    SSTab->addTab(tools, QString());

    connect(DisAutoRes, &QCheckBox::toggled, this, [this](bool ticked) {
        session_->SetDisAutoRes(ticked);
        aux_->frmContact.SetCheck01(ticked);
    });
    connect(&aux_->frmContact, &ContactWindow::Check01Toggled, this, [this](bool ticked) {
        session_->SetCheck01(ticked);
        DisAutoRes->setChecked(ticked);
    });

    // Hidden until the access level shows them.
    for (const char* name : {"lblConfigFileHeader", "lblConfigFileName", "cmdFileOpen", "lblConfigFileInfo",
                             "lblProductionNumberHeader", "txtProductionNumber", "lblCRC", "ConfigFileIDLabel"})
        findChild<QWidget*>(QLatin1StringView(name))->hide();
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

void MainWindow::RefreshAfterDownload() {}

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
    const int width = lstOverview->viewport()->width();
    lstOverview->setColumnWidth(0, width * 18 / 100);
    lstOverview->setColumnWidth(1, width * 28 / 100);
}

void MainWindow::LanguageChanged()
{
    const bool german = session_->German();
    mnuGerman->setChecked(german);
    mnuEnglish->setChecked(!german);
    RetranslateUi();
}

} // namespace tunekit
