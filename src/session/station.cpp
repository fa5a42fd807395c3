#include "session/station.h"

#include "base/dialogs.h"
#include "host/host_facts.h"
#include "link/serial_line.h"
#include "params/config_defines.h"
#include "params/config_tab.h"

#include <QDir>

namespace tunekit {
namespace {

// Long enough for any batch: the longest answer time, repeated, for every packet of a 64 KB
// interpreter.
constexpr qint64 BatchLimitMs = 24LL * 3600 * 1000;

} // namespace

Station::Station(StationSeams seams, StationViews& views, std::function<AccessLevel()> accessLevel)
    : seams_(seams), accessLevel_(accessLevel), port_(seams.line, seams.clock, seams.dialogs)
{
    port_.setTerminalSink([&views](const QByteArray& text) { views.logged({TrafficEntry::Kind::Terminal, {}, text}); });
    engine_.connect(port_, seams.dialogs, views);
    engine_.setReceivedTrafficShown([accessLevel] { return accessLevel && accessLevel().seesReceivedTraffic(); });
    seams.line.setListener([this](SerialLine::Event event) { engine_.handleLineEvent(event); });
    transfers_ = std::make_unique<DeviceTransfers>(
        TransferContext{engine_, port_, image_, seams.dialogs, views, options_, std::move(accessLevel)});
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

QCoro::Task<bool> Station::batchOver()
{
    co_return co_await engine_.untilIdle(BatchLimitMs);
}

QCoro::Task<int> Station::detect()
{
    co_await transfers_->detectDevice();
    co_return image_.deviceConfigId;
}

QCoro::Task<ReadOutcome> Station::readParameters()
{
    co_await transfers_->readParameters();
    co_await batchOver();
    ReadOutcome outcome{false, image_.deviceConfigId, {}};
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        // Every applicable parameter has its value once its answer is in.
        if (image_.applicable[i] && image_.value[i].isEmpty())
            outcome.missing << findConfigDefine(nr).name.toString();
    }
    outcome.complete = !engine_.state().gaveUp && outcome.configId != 0 && outcome.missing.isEmpty();
    co_return outcome;
}

QCoro::Task<ReadOutcome> Station::readInformation()
{
    co_await transfers_->readInformation();
    co_await batchOver();
    co_return ReadOutcome{!engine_.state().gaveUp, image_.deviceConfigId, {}};
}

QCoro::Task<> Station::restartAfterWrite()
{
    if (engine_.policy() != ResetPolicy::WhereNeeded)
        co_return;
    // A given-up batch's reset comes first; a device reset after the last change needs no other.
    co_await batchOver();
    if (engine_.changedSinceReset() && port_.state().portNumber >= 1 && port_.state().adapterFound)
        co_await port_.resetDevice();
}

QCoro::Task<WriteResult> Station::write()
{
    const WriteResult result = co_await writes_->write();
    co_await restartAfterWrite();
    co_return result;
}

QCoro::Task<WriteReport> Station::writeImage()
{
    WriteReport report;
    const qint64 changesBefore = engine_.state().changesSent;
    report.result = co_await writes_->write();
    co_await restartAfterWrite();
    report.anythingSent = engine_.state().changesSent > changesBefore;
    report.extendedDataSent = writes_->extendedDataSent();
    co_return report;
}

QCoro::Task<VerifyReport> Station::verifyWrite()
{
    const ParamArray<QString> expected = writes_->uploadedValues();
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
    co_await transfers_->readInterpreterInfo();
}

QCoro::Task<> Station::redetect()
{
    co_await transfers_->redetect();
}

QCoro::Task<> Station::writeTestInterpreter(QString programFolder)
{
    co_await writes_->writeTestInterpreter(std::move(programFolder));
}

QCoro::Task<> Station::reset()
{
    co_await transfers_->resetDevice();
}

} // namespace tunekit
