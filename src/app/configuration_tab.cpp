// The Configuration tab: the loaded file, serial and production number, the DIP-switch picture,
// Read and Write.
#include "app/main_window.h"

#include "app/records_window.h"
#include "app/unit_history_window.h"
#include "app/window_parts.h"

#include "files/config_file_writer.h"
#include "widgets/dip_picture.h"
#include "widgets/picture_button.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tunekit {
namespace {

// Captions of the tab's controls; German texts come from the translation.
constexpr Caption ConfigurationCaptions[] = {
    {"lblConfigFileHeader", QT_TRANSLATE_NOOP("MainWindow", "Configuration File:")},
    {"lblSerialNumberHeader", QT_TRANSLATE_NOOP("MainWindow", "Serial Number")},
    {"lblProductionNumberHeader", QT_TRANSLATE_NOOP("MainWindow", "Production Number")},
    {"cmdRead", QT_TRANSLATE_NOOP("MainWindow", "       Read")},
    {"cmdConfigWrite", QT_TRANSLATE_NOOP("MainWindow", "             Write")},
    {"cmdSicherung", QT_TRANSLATE_NOOP("MainWindow", "Generate Backup")},
    {"cmdRecords", QT_TRANSLATE_NOOP("MainWindow", "Records ...")},
    {"cmdUnitHistory", QT_TRANSLATE_NOOP("MainWindow", "History ...")},
    {"cmdFileOpen", QT_TRANSLATE_NOOP("MainWindow", "Open file")},
    {"CmdClearFileData", QT_TRANSLATE_NOOP("MainWindow", "Clear data")},
};

} // namespace

void MainWindow::buildConfigurationTab()
{
    auto* config = new QWidget(tabs_);
    auto* configGrid = new QGridLayout(config);
    configGrid->addWidget(named<QLabel>(config, "lblConfigFileHeader"), 0, 0);
    configGrid->addWidget(named<QLabel>(config, "lblConfigFileName"), 0, 1, 1, 2);
    configGrid->addWidget(named<QPushButton>(config, "cmdFileOpen"), 0, 3);
    configGrid->addWidget(named<QLabel>(config, "lblConfigFileInfo"), 1, 0, 1, 3);
    auto* indicators = new QHBoxLayout;
    for (const char* name : {"lblI", "lblD", "lblF"}) {
        auto* indicator = named<QLabel>(config, name);
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
    configGrid->addWidget(named<QPushButton>(config, "CmdClearFileData"), 2, 3);
    configGrid->addWidget(named<QPushButton>(config, "cmdSicherung"), 3, 3);
    configGrid->addWidget(named<QLabel>(config, "lblSerialNumberHeader"), 2, 0);
    serialNumberEdit_ = named<QLineEdit>(config, "txtSerialnumber");
    configGrid->addWidget(serialNumberEdit_, 2, 1);
    configGrid->addWidget(named<QLabel>(config, "lblProductionNumberHeader"), 3, 0);
    productionNumberEdit_ = named<QLineEdit>(config, "txtProductionNumber");
    configGrid->addWidget(productionNumberEdit_, 3, 1);
    auto* dipPanel = new DipPanel(config);
    dipPicture_ = dipPanel->picture();
    configGrid->addWidget(dipPanel, 4, 0, 3, 4);
    configGrid->addWidget(named<QLabel>(config, "InternalAddress"), 7, 1);
    configGrid->addWidget(named<QLabel>(config, "DirectAddress"), 7, 3);
    configGrid->addWidget(named<QLabel>(config, "lblcfid"), 8, 0, 1, 2);
    configGrid->addWidget(named<QPushButton>(config, "cmdUnitHistory"), 8, 2);
    configGrid->addWidget(named<QPushButton>(config, "cmdRecords"), 8, 3);
    configGrid->addWidget(named<QLabel>(config, "lblCRC"), 9, 0);
    configGrid->addWidget(named<QLabel>(config, "ConfigFileIDLabel"), 9, 2);
    configGrid->addWidget(named<QPushButton>(config, "cmdRead"), 10, 0);
    configGrid->addWidget(named<QPushButton>(config, "cmdConfigWrite"), 10, 3);
    configGrid->setRowStretch(11, 1);
    tabs_->addTab(config, QString());

    // Hidden until the access level shows them.
    for (const char* name : {"lblConfigFileHeader", "lblConfigFileName", "cmdFileOpen", "lblConfigFileInfo",
                             "CmdClearFileData", "cmdSicherung", "lblProductionNumberHeader", "txtProductionNumber",
                             "lblCRC", "ConfigFileIDLabel", "cmdRecords", "cmdUnitHistory"})
        config->findChild<QWidget*>(QLatin1StringView(name))->hide();
    for (const Caption& caption : ConfigurationCaptions)
        captions_.append(caption);
    connectConfigurationTab();
}

// The configuration tab's buttons and boxes, to the session.
void MainWindow::connectConfigurationTab()
{
    auto button = [this](const char* name) { return findChild<QPushButton*>(QLatin1StringView(name)); };
    connect(button("cmdRead"), &QPushButton::clicked, this, [this] { run(session_->readParameters()); });
    auto* picture1 = new PictureButton(QStringLiteral(":/pictures/read.svg"), button("cmdRead"));
    picture1->setObjectName(QStringLiteral("Picture1"));
    connect(picture1, &PictureButton::clicked, this, [this] { run(session_->readParameters()); });
    auto* picture2 = new PictureButton(QStringLiteral(":/pictures/write.svg"), button("cmdConfigWrite"));
    picture2->setObjectName(QStringLiteral("Picture2"));
    connect(picture2, &PictureButton::clicked, this, [this] { run(session_->write()); });
    connect(button("cmdConfigWrite"), &QPushButton::clicked, this, [this] { run(session_->write()); });
    connect(button("cmdRecords"), &QPushButton::clicked, this, [this] {
        if (!records_)
            records_ = new RecordsWindow(this, setup_.records.get());
        records_->show();
        records_->raise();
        records_->search();
    });
    connect(button("cmdUnitHistory"), &QPushButton::clicked, this, [this] {
        if (!history_) {
            history_ = new UnitHistoryWindow(this, setup_.records.get());
            connect(history_, &UnitHistoryWindow::restoreRequested, this, [this](const QString& path) {
                run([](MainWindow* window, QString backup) -> QCoro::Task<> {
                    co_await window->session_->restoreBackup(backup);
                    // The history shows the restore and the backup made before it.
                    window->history_->showUnit(window->session_->device().serialNumber());
                }(this, path));
            });
        }
        history_->showUnit(session_->device().serialNumber());
        history_->show();
        history_->raise();
    });
    connect(button("CmdClearFileData"), &QPushButton::clicked, this, [this] { session_->clearFileData(); });
    connect(button("cmdFileOpen"), &QPushButton::clicked, this, [this] { run(session_->openFile()); });
    button("cmdFileOpen")->setAcceptDrops(true);
    button("cmdFileOpen")->installEventFilter(this);
    connect(button("cmdSicherung"), &QPushButton::clicked, this, [this] { run(backUpImage()); });
    connect(serialNumberEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const AddressLabels labels = session_->typeSerialNumber(text, windowFilling_.isSet());
        findChild<QLabel*>(QStringLiteral("InternalAddress"))->setText(labels.internalAddress);
        findChild<QLabel*>(QStringLiteral("DirectAddress"))->setText(labels.directAddress);
        findChild<QLabel*>(QStringLiteral("ValueLow"))->setText(labels.valueLow);
        findChild<QLabel*>(QStringLiteral("ValueHigh"))->setText(labels.valueHigh);
        showDipSwitches();
    });
    connect(productionNumberEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        session_->typeProductionNumber(text, windowFilling_.isSet());
    });
}

// The image as it is when the button is clicked goes into the backup, whatever happens while the
// file dialog is open.
QCoro::Task<> MainWindow::backUpImage()
{
    const DeviceImage image = session_->image();
    co_await generateBackup({image, session_->host(), session_->version(), dialogs_}, serialNumberEdit_->text());
}

void MainWindow::showDipSwitches()
{
    dipPicture_->setView(tunekit::dipSwitchesOf(session_->image(), session_->access().level.seesInternalAddressValues()));
    const DipView& view = dipPicture_->view();
    if (view.showValues) {
        findChild<QLabel*>(QStringLiteral("ValueLow"))->setText(view.valueLow);
        findChild<QLabel*>(QStringLiteral("ValueHigh"))->setText(view.valueHigh);
    }
}

void MainWindow::showConfigTab()
{
    const ConfigTabView view = session_->configTabView();
    const WindowFilling::Hold hold(windowFilling_);
    productionNumberEdit_->setEnabled(view.productionEnabled);
    QPalette production = productionNumberEdit_->palette();
    production.setColor(QPalette::Base, view.productionEnabled ? QColor(255, 255, 255) : palette().color(QPalette::Window));
    productionNumberEdit_->setPalette(production);
    if (serialNumberEdit_->text() != view.serialNumberText)
        serialNumberEdit_->setText(view.serialNumberText);
    if (productionNumberEdit_->text() != view.productionNumberText)
        productionNumberEdit_->setText(view.productionNumberText);
}

} // namespace tunekit
