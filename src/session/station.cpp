#include "session/station.h"

#include "base/dialogs.h"
#include "files/config_file_reader.h"
#include "host/host_facts.h"
#include "link/serial_line.h"
#include "params/config_defines.h"
#include "params/config_tab.h"
#include "session/unit_record.h"
#include "transfer/download_response.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace tunekit {
namespace {

// Long enough for any batch: the longest answer time, repeated, for every packet of a 64 KB
// interpreter.
constexpr qint64 BatchLimitMs = 24LL * 3600 * 1000;

// Holds a station busy from an operation's start to its result, also while the operation waits
// between batches with the engine idle.
class Operation {
public:
    explicit Operation(int& running) : running_(running) { ++running_; }
    ~Operation() { --running_; }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    int& running_;
};

} // namespace

Station::Station(StationSeams seams, StationViews& views, std::function<AccessLevel()> accessLevel)
    : seams_(seams), accessLevel_(accessLevel), port_(seams.line, seams.clock, seams.dialogs),
      progress_(seams.clock, views)
{
    port_.setTerminalSink([&views](const QByteArray& text) { views.logged({TrafficEntry::Kind::Terminal, {}, text}); });
    engine_.connect(port_, seams.dialogs, views);
    engine_.setBatchListener(&progress_);
    engine_.setReceivedTrafficShown([accessLevel] { return accessLevel && accessLevel().seesReceivedTraffic(); });
    seams.line.setListener([this](SerialLine::Event event) { engine_.handleLineEvent(event); });
    transfers_ = std::make_unique<DeviceTransfers>(
        TransferContext{engine_, progress_, port_, image_, seams.dialogs, views, options_, std::move(accessLevel)});
    writes_ = std::make_unique<DeviceWrites>(*transfers_);
}

Station::~Station()
{
    seams_.line.setListener({});
}

bool Station::openAdapterPort(qint16 number)
{
    PortState& state = port_.state();
    state.portNumber = number;
    state.adapterFound = number >= 1 && port_.openPort();
    state.adapterPort = state.adapterFound ? number : qint16(0);
    return state.adapterFound;
}

QCoro::Task<int> Station::detect()
{
    const Operation running(operations_);
    co_await transfers_->detectDevice();
    co_return image_.deviceConfigId;
}

QCoro::Task<ReadOutcome> Station::readParameters()
{
    const Operation running(operations_);
    co_await transfers_->readParameters();
    co_await engine_.untilIdle(BatchLimitMs);
    ReadOutcome outcome{false, image_.deviceConfigId, findFamily(image_.deviceConfigId) != nullptr, {}, {}, {}};
    const EngineState& engine = engine_.state();
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        // Every applicable parameter has its value once its answer is in.
        if (!image_.applicable[i] || !image_.value[i].isEmpty())
            continue;
        const ConfigDefine& define = findConfigDefine(nr);
        const quint32 address = cellAddress(define.index, define.subindex);
        const QString name = define.name.toString();
        if (!engine.readsAsked.contains(address))
            outcome.notAsked << name;
        else if (engine.readsRefused.contains(address))
            outcome.refused << name;
        else
            outcome.missing << name;
    }
    outcome.complete = !engine.gaveUp && outcome.familyKnown && outcome.everyValue();
    co_return outcome;
}

QString unreadValuesText(const ReadOutcome& read)
{
    if (read.configId == 0)
        return QCoreApplication::translate("Station", "The device did not answer for: %1").arg(QStringLiteral("ConfigID"));
    QStringList lines;
    const QString comma = QStringLiteral(", ");
    if (!read.missing.isEmpty())
        lines << QCoreApplication::translate("Station", "The device did not answer for: %1").arg(read.missing.join(comma));
    if (!read.refused.isEmpty())
        lines << QCoreApplication::translate("Station", "The device refused to give: %1").arg(read.refused.join(comma));
    if (!read.notAsked.isEmpty())
        lines << QCoreApplication::translate("Station", "The read stopped before these were asked for: %1").arg(read.notAsked.join(comma));
    return lines.join(QLatin1Char('\n'));
}

QCoro::Task<ReadOutcome> Station::readInformation()
{
    const Operation running(operations_);
    co_await transfers_->readInformation();
    co_await engine_.untilIdle(BatchLimitMs);
    ReadOutcome outcome{!engine_.state().gaveUp, image_.deviceConfigId, findFamily(image_.deviceConfigId) != nullptr, {}, {}, {}};
    // A text the device refused a chunk of is unknown: what came of it would read as a shorter
    // text ("V1.2" for "V1.23").
    static constexpr std::array<const char*, 4> TextNames{"source", "firmwareVersion", "compileDate", "hardware"};
    for (int index = InfoSourceIndex; index <= InfoHardwareIndex; ++index) {
        const bool refused = std::any_of(engine_.state().readsRefused.cbegin(), engine_.state().readsRefused.cend(),
                                         [index](quint32 address) { return int(address >> 8) == index; });
        if (!refused)
            continue;
        const auto k = static_cast<std::size_t>(index - InfoSourceIndex);
        (k == 0 ? image_.info.source : image_.info.texts[k]) = unknownText();
        outcome.refused << QString::fromLatin1(TextNames[k]);
        outcome.complete = false;
    }
    if (!outcome.refused.isEmpty())
        transfers_->context().views.changed(StationChange::Facts);
    co_return outcome;
}

QCoro::Task<> Station::restartAfterWrite()
{
    if (engine_.policy() != ResetPolicy::WhereNeeded)
        co_return;
    // A given-up batch's reset comes first; a device reset after the last change needs no other.
    co_await engine_.untilIdle(BatchLimitMs);
    if (engine_.changedSinceReset() && port_.state().portNumber >= 1 && port_.state().adapterFound)
        co_await port_.resetDevice();
}

QCoro::Task<WriteReport> Station::writeImage(WriteMode mode)
{
    const Operation running(operations_);
    WriteReport report;
    const qint64 changesBefore = engine_.state().changesSent;
    report.result = co_await writes_->write(mode);
    co_await restartAfterWrite();
    report.anythingSent = engine_.state().changesSent > changesBefore;
    report.extendedDataSent = writes_->extendedDataSent();
    co_return report;
}

QCoro::Task<VerifyReport> Station::verifyWrite()
{
    const Operation running(operations_);
    const ParamArray<QString> expected = writes_->uploadedValues();
    // A write that gave the unit another ConfigID made it another family: it is read as such.
    if (const QString written = expected[ConfigIdNr]; !written.isEmpty() && written.toInt() != image_.deviceConfigId)
        co_await transfers_->detectDevice();
    ParamArray<bool> compared{};
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        compared[i] = image_.applicable[i] && !expected[i].isEmpty() && !writes_->kept()[i];
    }
    VerifyReport report;
    report.readBack = co_await readParameters();
    if (report.readBack.complete) {
        report.mismatches = compareValues(expected, image_.value, compared);
        report.verified = report.mismatches.isEmpty();
    }
    co_return report;
}

QString Station::serialNumber()
{
    // On a copy and without messages: the serial number is only looked at here.
    DeviceImage copy = image_;
    KeptMessages quiet;
    return shadowToGui(copy, accessLevel_ && accessLevel_().hasProductionRights(), quiet).serialNumberText;
}

BackupOutcome Station::saveBackup(const QString& folder, const HostFacts& host, const VersionInfo& version)
{
    const QString serial = serialNumber();
    const QString name = QStringLiteral("%1_%2").arg(serial.isEmpty() ? QStringLiteral("unknown") : serial,
                                                      host.now().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    if (!QDir().mkpath(folder))
        return {BackupOutcome::Status::NoFolder, {}};
    // Two backups of one unit in the same second, or from two stations, get two files.
    const QString path = reserveNewFile(folder, name);
    if (path.isEmpty())
        return {BackupOutcome::Status::NoName, {}};
    if (writeRestorableBackup({image_, host, version, seams_.dialogs}, path) != WriteOutcome::Written)
        return {BackupOutcome::Status::NotWritten, path};
    return {BackupOutcome::Status::Saved, path};
}

QCoro::Task<ProgramReport> Station::programUnit(ProgramRequest request, records::OperationRecord& record)
{
    const Operation running(operations_);
    using Stage = ProgramReport::Stage;
    ProgramReport report;
    const auto step = [&request, &report](ProgramStep next) { return !request.step || request.step(next, report); };
    const auto stopped = [this] { return engine_.state().interrupted; };
    const bool backedUp = !request.backupFolder.isEmpty();
    if (backedUp) {
        step(ProgramStep::Reading);
        report.read = co_await readParameters();
        step(ProgramStep::TransferEnded);
        // A family Tunekit does not know has no parameters: there is nothing to back up or compare.
        if (stopped() || !report.read.familyKnown || !report.read.everyValue()) {
            report.stage = stopped() ? Stage::Stopped : Stage::ReadIncomplete;
            co_return report;
        }
        describeUnit(record, *this);
        report.backup = saveBackup(request.backupFolder, request.host, request.version);
        step(ProgramStep::BackedUp);
        report.stage = Stage::BackupFailed;
        if (report.backup.status != BackupOutcome::Status::Saved)
            co_return report;
        record.backup = QFileInfo(report.backup.path).absoluteFilePath();
    }
    const ParamArray<QString> before = image_.value;
    report.stage = stopped() ? Stage::Stopped : Stage::FileRefused;
    if (stopped() || !step(ProgramStep::Opening)
        || openConfigFile(QFileInfo(request.file).absoluteFilePath(), image_, seams_.dialogs, accessLevel_(),
                          request.host.now().date())
               != OpenStatus::Loaded)
        co_return report;
    if (backedUp)
        report.changes = differencesFromDevice(before, report.read.configId);

    step(ProgramStep::Writing);
    report.write = co_await writeImage(request.exact ? WriteMode::Exact : WriteMode::AsEdited);
    step(ProgramStep::TransferEnded);
    // Without the read before it, the write's own detection is all that is known of the unit
    // until its read-back.
    if (!backedUp)
        record.configId = image_.deviceConfigId;
    if (report.write.anythingSent) {
        // Values the write left alone (calibration kept) are no change.
        report.changes.removeIf([this](const ValueDifference& change) { return writes_->kept()[change.nr]; });
        for (const ValueDifference& change : report.changes)
            record.changes.append({change.name, change.left, change.right});
    }
    report.stage = report.write.anythingSent ? Stage::PartlyWritten : Stage::NotWritten;
    if (report.write.result != WriteResult::Done)
        co_return report;
    // Stopped after the device stored the whole write: written, and not verified.
    report.stage = Stage::Written;
    if (stopped() || !request.verify || !step(ProgramStep::Verifying))
        co_return report;
    report.verify = co_await verifyWrite();
    step(ProgramStep::TransferEnded);
    if (!backedUp && report.verify.readBack.complete)
        describeUnit(record, *this);
    report.stage = report.verify.verified ? Stage::Verified : Stage::NotVerified;
    co_return report;
}

QList<ValueDifference> Station::differencesFromDevice(const ParamArray<QString>& deviceValues, int deviceConfigId) const
{
    QList<ValueDifference> differences = deviceFileDifferences(deviceValues, image_);
    const qint16 fileConfigId = image_.fileConfigId;
    if (fileConfigId != 0 && fileConfigId != deviceConfigId)
        differences.prepend({ConfigIdNr, QStringLiteral("ConfigID"), QString::number(deviceConfigId), QString::number(fileConfigId)});
    return differences;
}

QCoro::Task<> Station::readInterpreterInfo()
{
    const Operation running(operations_);
    co_await transfers_->readInterpreterInfo();
}

QCoro::Task<> Station::redetect()
{
    const Operation running(operations_);
    co_await transfers_->redetect();
}

QCoro::Task<> Station::writeTestInterpreter(QString programFolder)
{
    const Operation running(operations_);
    co_await writes_->writeTestInterpreter(std::move(programFolder));
}

QCoro::Task<> Station::reset()
{
    const Operation running(operations_);
    co_await transfers_->resetDevice();
}

} // namespace tunekit
