#include "app/production_tab.h"
#include "session/session.h"

#include "sim/sim_line.h"

#include "app/main_window.h"
#include "app/window_parts.h"
#include "files/config_file_reader.h"
#include "files/file_checksum.h"
#include "host/adapter_port.h"
#include "host/host_facts.h"
#include "link/clock.h"
#include "link/waits.h"
#include "sim/sim_line.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTableWidget>

#include <algorithm>

namespace tunekit {
namespace {

enum Column { AdapterColumn, PortColumn, StateColumn, SerialColumn, ProgressColumn, ResultColumn, MessageColumn, ColumnCount };

// The answers fixed on the tab, each a box.
struct AnswerBox {
    const char* objectName;
    bool ProductionSettings::* answer;
    int column;
};
constexpr AnswerBox AnswerBoxes[] = {
    {"chkProductionExtendedData", &ProductionSettings::writeExtendedData, 0},
    {"chkProductionCalibration", &ProductionSettings::writeCalibration, 1},
    {"chkProductionDefaults", &ProductionSettings::initialiseErasedValues, 2},
};

// Neither programming a unit nor armed for the next.
bool idle(const ProductionChannel& channel)
{
    return !channel.automatic() && channel.currentState() != ProductionChannel::State::Working;
}

} // namespace

ProductionTab::ProductionTab(QWidget* parent, Clock& clock, const HostFacts& host, std::function<AccessLevel()> level,
                             VersionInfo version, records::RecordSink* records)
    : QWidget(parent), clock_(clock), host_(host), level_(std::move(level)), version_(std::move(version)),
      records_(records)
{
    setObjectName(QStringLiteral("tabProduction"));
    settings_.backupFolder = Session::backupFolder();
    auto* grid = new QGridLayout(this);
    fileName_ = named<QLabel>(this, "lblProductionFile");
    fileState_ = named<QLabel>(this, "lblProductionFileState");
    auto* chooseFileButton = named<QPushButton>(this, "cmdProductionFile");
    grid->addWidget(fileName_, 0, 0, 1, 3);
    grid->addWidget(chooseFileButton, 0, 3);
    grid->addWidget(fileState_, 1, 0, 1, 4);
    for (const AnswerBox& box : AnswerBoxes) {
        auto* answerBox = named<QCheckBox>(this, box.objectName);
        answerBox->setChecked(settings_.*box.answer);
        grid->addWidget(answerBox, 2, box.column);
        connect(answerBox, &QCheckBox::toggled, this, [this, answer = box.answer](bool on) { settings_.*answer = on; });
    }
    table_ = named<QTableWidget>(this, "tblChannels");
    table_->setColumnCount(ColumnCount);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() * 3);
    table_->horizontalHeader()->setStretchLastSection(true);
    // PASS and FAIL in twice the font, readable from a step away.
    QFont large = font();
    large.setPointSizeF(large.pointSizeF() * 2.0);
    large.setBold(true);
    table_->setColumnWidth(ResultColumn, QFontMetrics(large).horizontalAdvance(QStringLiteral("FEHLER")) + 24);
    grid->addWidget(table_, 3, 0, 1, 4);
    auto* startAllButton = named<QPushButton>(this, "cmdProductionStartAll");
    auto* start = named<QPushButton>(this, "cmdProductionStart");
    automatic_ = named<QCheckBox>(this, "chkAutomatic");
    auto* saveTraceButton = named<QPushButton>(this, "cmdSaveTrace");
    grid->addWidget(startAllButton, 4, 0);
    grid->addWidget(start, 4, 1);
    grid->addWidget(saveTraceButton, 4, 3);
    // Automatic mode on a row of its own: its German caption alone is wider than a column.
    grid->addWidget(automatic_, 5, 0, 1, 3);
    // Simulated channels only: the bench's change of units, to try automatic mode without hardware.
    nextUnitButton_ = named<QPushButton>(this, "cmdNextSimulatedUnit");
    nextUnitButton_->setVisible(false);
    grid->addWidget(nextUnitButton_, 5, 3);
    grid->setRowStretch(3, 1);
    connect(nextUnitButton_, &QPushButton::clicked, this, [this] { nextSimulatedUnit(std::max(0, table_->currentRow())); });

    connect(chooseFileButton, &QPushButton::clicked, this, [this] { QCoro::connect(chooseFile(), this, [] {}); });
    connect(startAllButton, &QPushButton::clicked, this, [this] { startAll(); });
    connect(start, &QPushButton::clicked, this, [this] {
        const int row = table_->currentRow();
        if (row >= 0 && row < channelCount() && !settings_.file.isEmpty() && idle(channel(row)))
            runOnRow(row, channel(row).programUnit());
    });
    connect(automatic_, &QCheckBox::toggled, this, [this](bool on) { setAutomatic(on); });
    connect(saveTraceButton, &QPushButton::clicked, this, [this] { QCoro::connect(saveTrace(), this, [] {}); });
    // The channels' engines tick with the window's clock.
    clock_.startTicker(10, [this, alive = std::weak_ptr<int>(alive_)] {
        if (alive.expired())
            return;
        for (const std::unique_ptr<Entry>& entry : channels_)
            entry->channel->device().tick();
    });
    retranslate();
}

ProductionTab::~ProductionTab()
{
    closeLine();
}

void ProductionTab::closeLine()
{
    for (const std::unique_ptr<Entry>& entry : channels_)
        entry->channel->close();
    channels_.clear();
}

void ProductionTab::retranslate()
{
    findChild<QPushButton*>(QStringLiteral("cmdProductionFile"))->setText(tr("Choose file ..."));
    findChild<QCheckBox*>(QStringLiteral("chkProductionExtendedData"))->setText(tr("Write extended data"));
    findChild<QCheckBox*>(QStringLiteral("chkProductionCalibration"))->setText(tr("Overwrite adjusted calibration values"));
    findChild<QCheckBox*>(QStringLiteral("chkProductionDefaults"))->setText(tr("Put defaults in place of erased values"));
    findChild<QPushButton*>(QStringLiteral("cmdProductionStartAll"))->setText(tr("Start all"));
    findChild<QPushButton*>(QStringLiteral("cmdProductionStart"))->setText(tr("Start selected"));
    automatic_->setText(tr("Automatic mode: program each unit plugged in"));
    findChild<QPushButton*>(QStringLiteral("cmdSaveTrace"))->setText(tr("Save trace ..."));
    nextUnitButton_->setText(tr("Next simulated unit"));
    nextUnitButton_->setToolTip(tr("Takes the simulated unit of the selected channel away and puts the next one in its place"));
    table_->setHorizontalHeaderLabels(
        {tr("Adapter"), tr("Port"), tr("State"), tr("Serial number"), tr("Progress"), tr("Result"), tr("Message")});
    showFile();
    for (int row = 0; row < channelCount(); ++row)
        showRow(row);
}

void ProductionTab::lineStopped()
{
    for (const std::unique_ptr<Entry>& entry : channels_)
        entry->channel->releasePort();
    if (lent_) {
        lent_ = false;
        if (giveBack_)
            giveBack_();
    }
}

bool ProductionTab::working() const
{
    return std::any_of(channels_.cbegin(), channels_.cend(),
                       [](const std::unique_ptr<Entry>& entry) { return !idle(*entry->channel); });
}

void ProductionTab::setChannels(const QList<ChannelPlan>& plans)
{
    if (working())
        return;
    channels_.clear();
    table_->setRowCount(static_cast<int>(plans.size()));
    for (const ChannelPlan& plan : plans) {
        auto entry = std::make_unique<Entry>();
        entry->line = makeLine(plan.line, clock_);
        entry->channel = std::make_unique<ProductionChannel>(
            ChannelSeams{*entry->line, clock_, host_, records_, plan.port, plan.adapter}, settings_,
            // The level in force when each unit is programmed, not when the line was built.
            [this] { return level_ ? level_() : AccessLevel::production(); }, version_);
        const int row = static_cast<int>(channels_.size());
        entry->channel->setChanged([this, row] { showRow(row); });
        entry->simulated = plan.line.simulated.has_value();
        channels_.push_back(std::move(entry));
        showRow(row);
    }
    nextUnitButton_->setVisible(std::any_of(channels_.cbegin(), channels_.cend(),
                                            [](const std::unique_ptr<Entry>& entry) { return entry->simulated; }));
}

void ProductionTab::nextSimulatedUnit(int row)
{
    if (row >= channelCount() || !channels_.at(static_cast<std::size_t>(row))->simulated)
        return;
    auto& line = dynamic_cast<SimLine&>(this->line(row));
    line.link().takeUnitAway();
    // The channel is looked up again: the line may have been made anew meanwhile.
    clock_.schedule(SimLink::NextUnitAfterMs, [this, row, unit = &line, alive = std::weak_ptr<int>(alive_)] {
        if (!alive.expired() && row < channelCount() && &this->line(row) == unit)
            unit->link().putNextUnit();
    });
}

bool ProductionTab::useFile(const QString& path)
{
    // Units in work and the ones that follow get the file the line was started with.
    if (working()) {
        dialogs_.msgBox(tr("The line is running, so it keeps the file %1. Stop it to choose another file.")
                            .arg(QFileInfo(settings_.file).fileName()),
                        MsgButtons::Ok, MsgIcon::Exclamation, tr("Production"));
        return false;
    }
    const ChecksumStateResult checksum = fileChecksumState(path);
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const ConfigFileContent content =
        readConfigFile(bytes, {AccessLevel::production(), checksum.state, host_.now().date(), 0, path});
    const bool valid = checksum.ok() && checksum.state == ChecksumState::ChecksumValid && !content.refused
                       && content.readConfigId > 0;
    if (!valid) {
        fileProblem_ = tr("%1 cannot be used: only a file with a valid checksum goes to the line.").arg(QFileInfo(path).fileName());
        showFile();
        return false;
    }
    fileProblem_.clear();
    settings_.file = path;
    fileConfigId_ = content.readConfigId;
    fileIgnoredLines_ = ignoredLinesText(content.fileName, content.ignoredLines, content.ignoredLineCount)
                            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    showFile();
    return true;
}

void ProductionTab::showFile()
{
    if (settings_.file.isEmpty())
        fileName_->setText(tr("No file chosen"));
    else
        fileName_->setText(QFileInfo(settings_.file).fileName());
    fileState_->setText(fileProblem_.isEmpty() && !settings_.file.isEmpty()
                            ? tr("ConfigID %1, checksum valid. Backups go to %2.").arg(fileConfigId_).arg(settings_.backupFolder)
                                  + (fileIgnoredLines_.isEmpty() ? QString() : QStringLiteral("\n") + fileIgnoredLines_)
                            : fileProblem_);
}

void ProductionTab::startAll()
{
    if (settings_.file.isEmpty())
        return;
    for (int row = 0; row < channelCount(); ++row) {
        if (idle(channel(row)))
            runOnRow(row, channel(row).programUnit());
    }
}

void ProductionTab::setAutomatic(bool on)
{
    if (automatic_->isChecked() != on) {
        automatic_->setChecked(on); // comes back here through toggled
        return;
    }
    if (on && settings_.file.isEmpty()) {
        automatic_->setChecked(false);
        return;
    }
    for (int row = 0; row < channelCount(); ++row) {
        if (on)
            runOnRow(row, channel(row).runAutomatic());
        else
            channel(row).stop();
    }
}

void ProductionTab::showRow(int row)
{
    if (row < 0 || row >= channelCount())
        return;
    ProductionChannel& unit = channel(row);
    const auto text = [this, row](int column, const QString& shown) {
        QTableWidgetItem* item = table_->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            table_->setItem(row, column, item);
        }
        item->setText(shown);
        return item;
    };
    text(AdapterColumn, unit.adapter().isEmpty() ? QStringLiteral("-") : unit.adapter());
    // A simulated channel keeps its plain name in the records; the row says it in the user's language.
    const bool simulated = channels_.at(static_cast<std::size_t>(row))->simulated;
    text(PortColumn, simulated ? tr("simulated %1").arg(row + 1) : unit.port());
    const bool passed = unit.currentState() == ProductionChannel::State::Passed;
    const bool failed = unit.currentState() == ProductionChannel::State::Failed;
    QString state;
    switch (unit.currentState()) {
    case ProductionChannel::State::Idle: state = tr("idle"); break;
    case ProductionChannel::State::Waiting: state = tr("waiting for a unit"); break;
    case ProductionChannel::State::Working: state = tr("programming"); break;
    case ProductionChannel::State::Passed:
    case ProductionChannel::State::Failed: state = tr("take the unit away"); break;
    }
    text(StateColumn, state);
    text(MessageColumn, unit.message())->setToolTip(unit.message());
    text(SerialColumn, unit.serialNumber());
    text(ProgressColumn, QStringLiteral("%1 %").arg(unit.progress()));
    QTableWidgetItem* shown = text(ResultColumn, passed ? tr("PASS") : failed ? tr("FAIL") : QString());
    shown->setTextAlignment(Qt::AlignCenter);
    QFont font = table_->font();
    if (passed || failed) {
        font.setPointSizeF(font.pointSizeF() * 2.0);
        font.setBold(true);
    }
    shown->setFont(font);
    // Never drawn as selected, so a selected row keeps its green or red; no result, no colour.
    shown->setFlags(shown->flags() & ~Qt::ItemIsSelectable);
    shown->setBackground(passed ? QBrush(QColor(0, 160, 0)) : failed ? QBrush(QColor(200, 0, 0)) : QBrush());
    shown->setForeground(passed || failed ? QColor(Qt::white) : table_->palette().color(QPalette::Text));
}

QCoro::Task<> ProductionTab::chooseFile()
{
    const QString filter = QStringLiteral("TunekitData (*.scd)|*.scd");
    const QString path = co_await dialogs_.openFileName(filter);
    if (!path.isEmpty())
        useFile(path);
}

QCoro::Task<> ProductionTab::saveTrace()
{
    const int row = table_->currentRow();
    if (row < 0 || row >= channelCount())
        co_return;
    const QString proposed = QStringLiteral("trace_%1.txt").arg(host_.now().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString filter = tr("Trace") + QStringLiteral(" (*.txt)|*.txt");
    const QString path = co_await dialogs_.saveFileName(filter, proposed);
    if (path.isEmpty())
        co_return;
    QSaveFile file(path);
    const QByteArray trace = channel(row).trace().join(u'\n').toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(trace) != trace.size() || !file.commit())
        fileState_->setText(tr("The trace could not be saved to %1.").arg(path));
}

void MainWindow::buildProductionTab()
{
    production_ = new ProductionTab(tabs_, *setup_.clock, *setup_.host, [this] { return session_->access().level; },
                                    session_->version(), setup_.records.get());
    tabs_->addTab(production_, QString());
    // The line's channels: two simulated transmitters when the window runs against the simulation,
    // else every programming adapter plugged in, and the port of this run.
    QList<ChannelPlan> plans;
    if (setup_.line->simulated()) {
        // Units of the family the window's own simulated transmitter has, each with a serial
        // number of its own (system addresses 1000 apart, so the next units stay apart too).
        for (int unit = 1; unit <= 2; ++unit) {
            SimSwitches switches = setup_.linePlan.simulated.value_or(SimSwitches{});
            if (switches.systemAddress < 0)
                switches.systemAddress = 1234 + (unit - 1) * 1000;
            plans.append({QStringLiteral("simulated %1").arg(unit), QString(), LinePlan{switches, QString(), false}});
        }
    } else {
        for (const SystemPort& port : systemPorts()) {
            if (port.adapter)
                plans.append({port.location, port.usbSerial, LinePlan{std::nullopt, port.location, false}});
        }
        if (!setup_.plan.discover && !setup_.plan.name.isEmpty()
            && std::none_of(plans.cbegin(), plans.cend(), [this](const ChannelPlan& plan) { return plan.port == setup_.plan.name; }))
            plans.append({setup_.plan.name, QString(), LinePlan{std::nullopt, setup_.plan.name, false}});
    }
    production_->setChannels(plans);
    // A channel on the window's own adapter takes its port over while the line runs, and gives it
    // back when the line stops.
    if (!setup_.line->simulated())
        production_->setPortLending([this] { session_->lendPort(); }, [this] { run(session_->takePortBack()); });
}

} // namespace tunekit
