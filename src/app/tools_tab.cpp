// The Tools tab: the transfer options, the service commands and the debug log.
#include "app/main_window.h"

#include "app/window_parts.h"

#include "files/checksum_conversion.h"
#include "widgets/config_description_dialog.h"
#include "files/config_file_writer.h"
#include "report/parameter_report.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tunekit {
namespace {

// Captions of the tab's controls; German texts come from the translation.
constexpr Caption ToolsCaptions[] = {
    {"chkResetBeforeTransmit", QT_TRANSLATE_NOOP("MainWindow", "Reset before transmit")},
    {"ChkSendNewDataOnly", QT_TRANSLATE_NOOP("MainWindow", "Only send changed values")},
    {"ChkEraseStringsAfterWrite", QT_TRANSLATE_NOOP("MainWindow", "Erase extended data after first writing")},
    {"ChkLongDelay", QT_TRANSLATE_NOOP("MainWindow", "Use long delay on reset")},
    {"CmdSaveOptions", QT_TRANSLATE_NOOP("MainWindow", "Save Options")},
    {"cmdGenReport", QT_TRANSLATE_NOOP("MainWindow", "Generate Report")},
    {"lblOptions", QT_TRANSLATE_NOOP("MainWindow", "Options")},
    {"cmdRedetectDevice", QT_TRANSLATE_NOOP("MainWindow", "Re-detect Device")},
    {"CmdCopyToConfig", QT_TRANSLATE_NOOP("MainWindow", "Generate new ConfigFile")},
    {"cmdConvertChecksum", QT_TRANSLATE_NOOP("MainWindow", "File -> Add Checksum")},
    {"DisAutoRes", QT_TRANSLATE_NOOP("MainWindow", "Disable Automatic Reset on Timeout")},
    {"chkPaced", QT_TRANSLATE_NOOP("MainWindow", "Send one packet per timer tick (slower)")},
    {"cmd_int_write", QT_TRANSLATE_NOOP("MainWindow", "Write interpreter")},
};

// The transfer options' boxes, one below the other.
struct OptionBox {
    TransferOption option;
    const char* name;
};
constexpr OptionBox OptionBoxes[] = {{TransferOption::ResetBeforeTransmit, "chkResetBeforeTransmit"},
                                     {TransferOption::SendChangedOnly, "ChkSendNewDataOnly"},
                                     {TransferOption::EraseTextsAfterWrite, "ChkEraseStringsAfterWrite"}};
// The service commands, one below the other.
constexpr const char* CommandButtons[] = {"cmdRedetectDevice", "cmdGenReport", "CmdCopyToConfig", "cmdConvertChecksum",
                                          "cmd_int_write"};

} // namespace

void MainWindow::buildToolsTab()
{
    auto* tools = new QWidget(tabs_);
    auto* toolGrid = new QGridLayout(tools);
    toolGrid->addWidget(named<QLabel>(tools, "lblOptions"), 0, 0);
    int row = 1;
    for (const OptionBox& box : OptionBoxes) {
        auto* optionBox = named<QCheckBox>(tools, box.name);
        toolGrid->addWidget(optionBox, row++, 0);
        connect(optionBox, &QCheckBox::clicked, this, [this, option = box.option](bool on) { session_->setOption(option, on); });
    }
    toolGrid->addWidget(named<QCheckBox>(tools, "ChkLongDelay"), 4, 0);
    auto* delay = new QHBoxLayout;
    auto* longDelayEdit = named<QLineEdit>(tools, "txtLongDelay");
    longDelayEdit->setMaxLength(3);
    longDelayEdit->setFixedWidth(longDelayEdit->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    delay->addWidget(longDelayEdit);
    auto* secondsLabel = named<QLabel>(tools, "lblSek");
    secondsLabel->setText(QStringLiteral("s"));
    delay->addWidget(secondsLabel);
    delay->addStretch(1);
    toolGrid->addLayout(delay, 4, 1);
    autoResetOffBox_ = named<QCheckBox>(tools, "DisAutoRes");
    toolGrid->addWidget(autoResetOffBox_, 5, 0);
    toolGrid->addWidget(named<QPushButton>(tools, "CmdSaveOptions"), 6, 0);
    for (int i = 0; i < static_cast<int>(std::size(CommandButtons)); ++i)
        toolGrid->addWidget(named<QPushButton>(tools, CommandButtons[i]), i + 1, 2);
    pacedBox_ = named<QCheckBox>(tools, "chkPaced");
    toolGrid->addWidget(pacedBox_, 7, 0);
    debugText_ = named<QPlainTextEdit>(tools, "txtDebug");
    debugText_->setReadOnly(true);
    // A day of transfers must not eat the memory: keep the newest lines.
    debugText_->setMaximumBlockCount(50000);
    toolGrid->addWidget(debugText_, 8, 0, 1, 3);
    tabs_->addTab(tools, QString());

    connect(autoResetOffBox_, &QCheckBox::toggled, this, [this](bool ticked) {
        session_->setAutomaticResetOff(ticked);
        aux_->packetConsole.setAutoResetDisabled(ticked);
    });
    connect(pacedBox_, &QCheckBox::clicked, this, [this](bool ticked) { session_->setPaced(ticked); });
    connect(&aux_->packetConsole, &PacketConsoleWindow::autoResetDisabledToggled, this, [this](bool ticked) {
        session_->setAutomaticResetOff(ticked);
        autoResetOffBox_->setChecked(ticked);
    });

    for (const Caption& caption : ToolsCaptions)
        captions_.append(caption);
    connectToolsTab();
}

// The Tools tab's service commands and option boxes, to the session.
void MainWindow::connectToolsTab()
{
    auto button = [this](const char* name) { return findChild<QPushButton*>(QLatin1StringView(name)); };
    connect(button("cmd_int_write"), &QPushButton::clicked, this, [this] { run(session_->writeTestInterpreter()); });
    connect(button("cmdRedetectDevice"), &QPushButton::clicked, this, [this] { run(session_->redetectDevice()); });
    connect(findChild<QCheckBox*>(QStringLiteral("ChkLongDelay")), &QCheckBox::clicked, this,
            [this](bool on) { session_->setLongDelay(on); });
    connect(findChild<QLineEdit*>(QStringLiteral("txtLongDelay")), &QLineEdit::textEdited, this,
            [this](const QString& text) { session_->editLongDelay(text); });
    connect(button("CmdSaveOptions"), &QPushButton::clicked, this, [this] { session_->saveOptions(); });
    connect(button("cmdConvertChecksum"), &QPushButton::clicked, this, [this] { run(convertChecksumCommand(dialogs_)); });
    connect(button("cmdGenReport"), &QPushButton::clicked, this,
            [this] { run(generateReport(dialogs_, session_->uiLanguageNow())); });
    connect(button("CmdCopyToConfig"), &QPushButton::clicked, this, [this] { run(generateDescribedFile()); });
}

// A configuration file of the image, with the description the user gives it first.
QCoro::Task<> MainWindow::generateDescribedFile()
{
    auto* describe = new ConfigDescriptionDialog(this);
    const int result = co_await closedWith(describe);
    const QStringList descriptions = describe->descriptions();
    describe->deleteLater();
    if (result != QDialog::Accepted)
        co_return;
    // The image as it is now, whatever happens while the file dialog is open.
    const DeviceImage image = session_->image();
    co_await generateConfigFile({image, session_->host(), session_->version(), dialogs_}, descriptions);
}

void MainWindow::optionsChanged()
{
    for (const OptionBox& box : OptionBoxes)
        findChild<QCheckBox*>(QLatin1StringView(box.name))->setChecked(session_->option(box.option));
    findChild<QCheckBox*>(QStringLiteral("ChkLongDelay"))->setChecked(session_->port().longDelay);
    pacedBox_->setChecked(session_->device().paced());
    const LongDelayView& delay = session_->longDelay();
    auto* text = findChild<QLineEdit*>(QStringLiteral("txtLongDelay"));
    if (text->text() != delay.longDelayText)
        text->setText(delay.longDelayText);
    text->setVisible(delay.boxVisible);
    findChild<QLabel*>(QStringLiteral("lblSek"))->setVisible(delay.secondsLabelVisible);
}

} // namespace tunekit
