#include "session/station.h"

#include "base/dialogs.h"
#include "files/config_file_reader.h"
#include "host/host_facts.h"
#include "link/serial_line.h"
#include "params/config_defines.h"
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

// The results of an operation the station refused because another one ran, and of one cancelled.
template <typename Result>
Result refusedAsBusy()
{
    Result result;
    result.busy = true;
    return result;
}

template <typename Result>
Result cancelledResult()
{
    Result result;
    result.cancelled = true;
    return result;
}

} // namespace

Station::Station(StationSeams seams, StationViews& views, std::function<AccessLevel()> accessLevel)
    : seams_(seams), accessLevel_(accessLevel), dialogs_(seams.dialogs, cancelScope_),
      port_(seams.line, seams.clock, dialogs_), progress_(seams.clock, views)
{
    port_.setCancelScope(&cancelScope_);
    port_.setTerminalSink([&views](const QByteArray& text) { views.logged({TrafficEntry::Kind::Terminal, {}, text}); });
    engine_.connect(port_, dialogs_, views);
    engine_.setBatchListener(&progress_);
    engine_.setReceivedTrafficShown([accessLevel] { return accessLevel && accessLevel().seesReceivedTraffic(); });
    seams.line.setListener([this](SerialLine::Event event) { engine_.handleLineEvent(event); });
    transfers_ = std::make_unique<DeviceTransfers>(
        TransferContext{engine_, progress_, port_, image_, dialogs_, views, options_, std::move(accessLevel)});
    writes_ = std::make_unique<DeviceWrites>(*transfers_);
}

Station::~Station()
{
    // The operation under way ends while every part it uses is still there.
    close();
    seams_.line.setListener({});
}

void Station::cancel()
{
    cancelScope_.cancel();
    engine_.abortTransfer();
    if (!closed_)
        cancelScope_.allowWaits();
}

void Station::close()
{
    closed_ = true;
    cancel();
}

template <typename Result>
QCoro::Task<Result> Station::unlessCancelled(QCoro::Task<Result> operation, Result whenCancelled)
{
    try {
        co_return co_await operation;
    } catch (const OperationCancelled&) {
        // Unwound; what is left to do is done outside the handler.
    }
    endCancelledRun();
    co_return whenCancelled;
}

QCoro::Task<> Station::unlessCancelled(QCoro::Task<> operation)
{
    try {
        co_await operation;
        co_return;
    } catch (const OperationCancelled&) {
    }
    endCancelledRun();
}

bool Station::openAdapterPort(qint16 number)
{
    forgetDevice();
    PortState& state = port_.state();
    state.portNumber = number;
    state.adapterFound = number >= 1 && port_.openPort();
    state.adapterPort = state.adapterFound ? number : qint16(0);
    return state.adapterFound;
}

void Station::choosePort(qint16 portNumber, bool adapterFound, qint16 adapterPort)
{
    PortState& state = port_.state();
    state.portNumber = portNumber;
    state.adapterFound = adapterFound;
    state.adapterPort = adapterPort;
}

QCoro::Task<> Station::reopenPort()
{
    port_.closePort();
    try {
        co_await port_.pause(50 + port_.openDelayMs());
        port_.openPort();
        co_await port_.pause(50);
    } catch (const OperationCancelled&) {
        // Left closed.
    }
    image_.clearFileData();
}

QCoro::Task<> Station::releasePort()
{
    image_.clearFileData();
    try {
        co_await port_.pause(20);
    } catch (const OperationCancelled&) {
    }
    port_.closePort();
}

QCoro::Task<> Station::startUp(StartUp plan)
{
    co_await unlessCancelled(startUpNow(std::move(plan)));
}

QCoro::Task<> Station::startUpNow(StartUp plan)
{
    const Operation running(operations_);
    if (plan.settleMs > 0)
        co_await port_.pause(plan.settleMs);
    if (plan.detectWithoutPort || (port_.state().portNumber >= 1 && port_.state().adapterFound))
        co_await transfers_->detectDevice();
    image_.clearFileData();
    image_.initDeviceImage(plan.levelMarks, plan.language);
}

QCoro::Task<> Station::finishStartUp(bool reset)
{
    const Operation running(operations_);
    if (reset && port_.state().portNumber >= 1)
        co_await unlessCancelled(port_.resetDevice());
    engine_.state().resetPending = false;
    image_.imageConfigId = image_.deviceConfigId;
}

void Station::setLongDelay(bool ticked, qint16 seconds)
{
    port_.state().longDelay = ticked;
    port_.state().longDelaySeconds = seconds;
}

bool Station::editImage(const std::function<void(DeviceImage&)>& edit)
{
    if (busy())
        return false;
    edit(image_);
    return true;
}

void Station::setLevelMarks(const ParamArray<bool>& marks)
{
    image_.applyLevelMarks(marks);
    image_.updateEditMarks();
}

void Station::prepareForUnit(const ParamArray<bool>& levelMarks)
{
    image_.clearFileData();
    image_.initDeviceImage(levelMarks, Language::English);
    image_.deviceConfigId = 0;
}

int Station::queuedPackets() const
{
    // Eight characters a packet.
    return static_cast<int>(engine_.state().queue.length() / 8);
}

QCoro::Task<int> Station::detect()
{
    if (busy())
        co_return 0;
    co_return co_await unlessCancelled(detectNow(), 0);
}

QCoro::Task<int> Station::lookForUnit()
{
    if (busy())
        co_return 0;
    const bool automaticResetOff = engine_.automaticResetOff();
    engine_.setAutomaticResetOff(true);
    image_.deviceConfigId = 0;
    const int configId = co_await unlessCancelled(detectNow(), 0);
    engine_.setAutomaticResetOff(automaticResetOff);
    co_return configId;
}

QCoro::Task<int> Station::detectNow()
{
    const bool own = beginOwnRun("detect");
    const Operation running(operations_);
    // Another unit may be on the line now.
    forgetDevice();
    co_await transfers_->detectDevice();
    if (run_)
        run_->record.configId = image_.deviceConfigId;
    co_await endOwnRun(own, image_.deviceConfigId != 0);
    co_return image_.deviceConfigId;
}

QCoro::Task<ReadOutcome> Station::readParameters()
{
    if (busy())
        co_return refusedAsBusy<ReadOutcome>();
    co_return co_await unlessCancelled(readNow(), cancelledResult<ReadOutcome>());
}

QCoro::Task<ReadOutcome> Station::readNow()
{
    const bool own = beginOwnRun("read");
    const Operation running(operations_);
    co_await transfers_->readParameters();
    co_await engine_.untilIdle(BatchLimitMs);
    ReadOutcome outcome{false, false, false, image_.deviceConfigId, findFamily(image_.deviceConfigId) != nullptr, {}, {}, {}};
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
    learnFromRead(outcome);
    co_await endOwnRun(own, outcome.complete);
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
    if (busy())
        co_return refusedAsBusy<ReadOutcome>();
    co_return co_await unlessCancelled(readInformationNow(), cancelledResult<ReadOutcome>());
}

QCoro::Task<ReadOutcome> Station::readInformationNow()
{
    const bool own = beginOwnRun("info");
    const Operation running(operations_);
    co_await transfers_->readInformation();
    co_await engine_.untilIdle(BatchLimitMs);
    ReadOutcome outcome{false, false, !engine_.state().gaveUp, image_.deviceConfigId, findFamily(image_.deviceConfigId) != nullptr, {}, {}, {}};
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
    if (run_ && run_->record.configId == 0)
        run_->record.configId = image_.deviceConfigId;
    co_await endOwnRun(own, outcome.complete);
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
    if (busy())
        co_return refusedAsBusy<WriteReport>();
    co_return co_await unlessCancelled(writeNow(mode), cancelledResult<WriteReport>());
}

QCoro::Task<WriteReport> Station::writeNow(WriteMode mode)
{
    const bool own = beginOwnRun("write");
    const Operation running(operations_);
    // The record names the file the image came from.
    if (run_ && run_->record.file.isEmpty() && image_.valuesFromFile && !image_.file.name.isEmpty()) {
        run_->record.file = QFileInfo(image_.file.name).absoluteFilePath();
        run_->record.fileSha256 = fileSha256(image_.file.name);
    }
    WriteReport report;
    const qint64 changesBefore = engine_.state().changesSent;
    report.result = co_await writes_->write(mode);
    co_await restartAfterWrite();
    report.anythingSent = engine_.state().changesSent > changesBefore;
    report.extendedDataSent = writes_->extendedDataSent();
    learnFromWrite(report);
    co_await endOwnRun(own, report.result == WriteResult::Done);
    co_return report;
}

QCoro::Task<VerifyReport> Station::verifyWrite()
{
    VerifyReport ended;
    if (busy()) {
        ended.readBack = refusedAsBusy<ReadOutcome>();
        co_return ended;
    }
    ended.readBack = cancelledResult<ReadOutcome>();
    co_return co_await unlessCancelled(verifyNow(), ended);
}

QCoro::Task<VerifyReport> Station::verifyNow()
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
    report.readBack = co_await readNow();
    if (report.readBack.complete) {
        report.mismatches = compareValues(expected, image_.value, compared);
        report.verified = report.mismatches.isEmpty();
    }
    co_return report;
}

QCoro::Task<ProgramReport> Station::programUnit(ProgramRequest request)
{
    ProgramReport report;
    if (busy()) {
        report.stage = ProgramReport::Stage::Busy;
        co_return report;
    }
    const bool own = beginOwnRun(request.exact ? "restore" : "write");
    try {
        const Operation running(operations_);
        co_await programSteps(request, report);
        writes_->forgetAnswer();
        co_await endOwnRun(own, report.stage == ProgramReport::Stage::Verified);
        co_return report;
    } catch (const OperationCancelled&) {
        // How far it got stays in the report.
        report.stage = ProgramReport::Stage::Cancelled;
    }
    writes_->forgetAnswer();
    endCancelledRun();
    co_return report;
}

QCoro::Task<> Station::programSteps(const ProgramRequest& request, ProgramReport& report)
{
    using Stage = ProgramReport::Stage;
    const auto step = [&request, &report](ProgramStep next) { return !request.step || request.step(next, report); };
    const auto stopped = [this] { return engine_.state().interrupted; };
    const QString file = QFileInfo(request.file).absoluteFilePath();
    if (run_) {
        run_->record.file = file;
        run_->record.fileSha256 = fileSha256(file);
    }
    // Read first, with a backup or without: the record names the unit as it came and what the
    // write changed.
    const bool backedUp = !request.backupFolder.isEmpty();
    step(ProgramStep::Reading);
    report.read = co_await readNow();
    step(ProgramStep::TransferEnded);
    // A family Tunekit does not know has no parameters: there is nothing to back up or compare.
    if (stopped() || (backedUp && (!report.read.familyKnown || !report.read.everyValue()))) {
        report.stage = stopped() ? Stage::Stopped : Stage::ReadIncomplete;
        co_return;
    }
    // A unit of another family than the file's is refused, or the user asked, before it is
    // backed up: a unit that is not written gets no backup.
    const bool fits = co_await fileFitsUnit(file, report.read.configId, request.host.now().date());
    if (!fits) {
        report.stage = Stage::NotWritten;
        co_return;
    }
    if (backedUp) {
        report.backup = saveBackup(request.backupFolder, request.host, request.version);
        step(ProgramStep::BackedUp);
        report.stage = Stage::BackupFailed;
        if (report.backup.status != BackupOutcome::Status::Saved)
            co_return;
        if (run_)
            run_->record.backup = QFileInfo(report.backup.path).absoluteFilePath();
    }
    report.stage = stopped() ? Stage::Stopped : Stage::FileRefused;
    if (stopped() || !step(ProgramStep::Opening)
        || openConfigFile(file, image_, dialogs_, accessLevel_(), request.host.now().date()) != OpenStatus::Loaded)
        co_return;

    step(ProgramStep::Writing);
    report.write = co_await writeNow(request.exact ? WriteMode::Exact : WriteMode::AsEdited);
    step(ProgramStep::TransferEnded);
    if (run_ && run_->record.configId == 0)
        run_->record.configId = image_.deviceConfigId;
    report.stage = report.write.anythingSent ? Stage::PartlyWritten : Stage::NotWritten;
    if (report.write.result != WriteResult::Done)
        co_return;
    // Stopped after the device stored the whole write: written, and not verified.
    report.stage = Stage::Written;
    if (stopped() || !request.verify || !step(ProgramStep::Verifying))
        co_return;
    report.verify = co_await verifyNow();
    step(ProgramStep::TransferEnded);
    report.stage = report.verify.verified ? Stage::Verified : Stage::NotVerified;
}

QCoro::Task<> Station::readInterpreterInfo()
{
    if (busy())
        co_return;
    try {
        const Operation running(operations_);
        co_await transfers_->readInterpreterInfo();
    } catch (const OperationCancelled&) {
    }
}

QCoro::Task<> Station::redetect()
{
    if (busy())
        co_return;
    const bool own = beginOwnRun("detect");
    try {
        const Operation running(operations_);
        forgetDevice();
        co_await transfers_->redetect();
        co_await endOwnRun(own, image_.deviceConfigId != 0);
    } catch (const OperationCancelled&) {
        endCancelledRun();
    }
}

QCoro::Task<> Station::writeTestInterpreter(QString programFolder)
{
    if (busy())
        co_return;
    const bool own = beginOwnRun("interpreter");
    try {
        const Operation running(operations_);
        const qint64 changesBefore = engine_.state().changesSent;
        if (run_)
            run_->record.file = QFileInfo(QDir(programFolder).filePath(QStringLiteral("xtest.bin"))).absoluteFilePath();
        co_await writes_->writeTestInterpreter(std::move(programFolder));
        // Passed when it went out whole and the device took every block.
        const bool passed = engine_.state().changesSent > changesBefore && !engine_.state().gaveUp
                            && engine_.state().refusals.isEmpty();
        if (run_ && engine_.state().changesSent > changesBefore)
            run_->written = true;
        co_await endOwnRun(own, passed);
    } catch (const OperationCancelled&) {
        endCancelledRun();
    }
}

QCoro::Task<> Station::reset()
{
    if (busy())
        co_return;
    const bool own = beginOwnRun("reset");
    try {
        const Operation running(operations_);
        if (run_ && run_->record.configId == 0)
            run_->record.configId = image_.deviceConfigId;
        co_await transfers_->resetDevice();
        co_await endOwnRun(own, true);
    } catch (const OperationCancelled&) {
        endCancelledRun();
    }
}

} // namespace tunekit
