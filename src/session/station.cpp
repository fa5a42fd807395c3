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
    port_.SetTerminalSink([&views](const QByteArray& text) { views.Logged({TrafficEntry::Kind::Terminal, {}, text}); });
    engine_.Connect(port_, seams.dialogs, views);
    engine_.SetReceivedTrafficShown([accessLevel] { return accessLevel && accessLevel().seesReceivedTraffic(); });
    seams.line.SetListener([this](SerialLine::Event event) { engine_.HandleLineEvent(event); });
    transfers_ = std::make_unique<DeviceTransfers>(
        TransferContext{engine_, port_, image_, seams.dialogs, views, options_, std::move(accessLevel)});
    writes_ = std::make_unique<DeviceWrites>(*transfers_);
}

Station::~Station()
{
    seams_.line.SetListener({});
}

bool Station::OpenAdapterPort(qint16 number)
{
    PortState& state = port_.State();
    state.portNumber = number;
    state.adapterFound = number >= 1 && port_.OpenPort();
    state.adapterPort = state.adapterFound ? number : qint16(0);
    return state.adapterFound;
}

QCoro::Task<bool> Station::BatchOver()
{
    co_return co_await engine_.UntilIdle(BatchLimitMs);
}

QCoro::Task<int> Station::Detect()
{
    co_await transfers_->DetectDevice();
    co_return image_.deviceConfigId;
}

QCoro::Task<ReadOutcome> Station::ReadParameters()
{
    co_await transfers_->ReadParameters();
    co_await BatchOver();
    ReadOutcome outcome{false, image_.deviceConfigId, {}};
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        // Every applicable parameter has its value once its answer is in.
        if (image_.applicable[i] && image_.value[i].isEmpty())
            outcome.missing << FindConfigDefine(nr).Name.toString();
    }
    outcome.complete = !engine_.State().gaveUp && outcome.configId != 0 && outcome.missing.isEmpty();
    co_return outcome;
}

QCoro::Task<ReadOutcome> Station::ReadInformation()
{
    co_await transfers_->ReadInformation();
    co_await BatchOver();
    co_return ReadOutcome{!engine_.State().gaveUp, image_.deviceConfigId, {}};
}

QCoro::Task<> Station::RestartAfterWrite()
{
    if (engine_.Policy() != ResetPolicy::WhereNeeded)
        co_return;
    // A given-up batch's reset comes first; a device reset after the last change needs no other.
    co_await BatchOver();
    if (engine_.ChangedSinceReset() && port_.State().portNumber >= 1 && port_.State().adapterFound)
        co_await port_.ResetDevice();
}

QCoro::Task<WriteResult> Station::Write()
{
    const WriteResult result = co_await writes_->Write();
    co_await RestartAfterWrite();
    co_return result;
}

QCoro::Task<WriteReport> Station::WriteImage()
{
    WriteReport report;
    const qint64 changesBefore = engine_.State().changesSent;
    report.result = co_await writes_->Write();
    co_await RestartAfterWrite();
    report.anythingSent = engine_.State().changesSent > changesBefore;
    report.extendedDataSent = writes_->ExtendedDataSent();
    co_return report;
}

QCoro::Task<VerifyReport> Station::VerifyWrite()
{
    const ParamArray<QString> expected = writes_->UploadedValues();
    ParamArray<bool> compared{};
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        compared[i] = image_.applicable[i] && !expected[i].isEmpty() && !writes_->Kept()[i];
    }
    VerifyReport report;
    report.readBack = co_await ReadParameters();
    if (report.readBack.complete) {
        report.mismatches = CompareValues(expected, image_.value, compared);
        report.verified = report.mismatches.isEmpty();
    }
    co_return report;
}

QString Station::SerialNumber()
{
    // On a copy and without messages: the serial number is only looked at here.
    DeviceImage copy = image_;
    KeptMessages quiet;
    return ShadowToGui(copy, accessLevel_ && accessLevel_().hasProductionRights(), quiet).txtSerialnumber;
}

BackupOutcome Station::SaveBackup(const QString& folder, const HostFacts& host, const VersionInfo& version)
{
    const QString serial = SerialNumber();
    const QString name = QStringLiteral("%1_%2").arg(serial.isEmpty() ? QStringLiteral("unknown") : serial,
                                                      host.Now().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    if (!QDir().mkpath(folder))
        return {BackupOutcome::Status::NoFolder, {}};
    // Two backups of one unit in the same second, or from two stations, get two files.
    const QString path = ReserveNewFile(folder, name);
    if (path.isEmpty())
        return {BackupOutcome::Status::NoName, {}};
    if (WriteRestorableBackup({image_, host, version, seams_.dialogs}, path) != WriteOutcome::Written)
        return {BackupOutcome::Status::NotWritten, path};
    return {BackupOutcome::Status::Saved, path};
}

QList<ValueDifference> Station::DifferencesFromDevice(const ParamArray<QString>& deviceValues, int deviceConfigId) const
{
    QList<ValueDifference> differences = DeviceFileDifferences(deviceValues, image_);
    const qint16 fileConfigId = image_.FileConfigID;
    if (fileConfigId != 0 && fileConfigId != deviceConfigId)
        differences.prepend({ConfigIdNr, QStringLiteral("ConfigID"), QString::number(deviceConfigId), QString::number(fileConfigId)});
    return differences;
}

QCoro::Task<> Station::ReadInterpreterInfo()
{
    co_await transfers_->ReadInterpreterInfo();
}

QCoro::Task<> Station::Redetect()
{
    co_await transfers_->Redetect();
}

QCoro::Task<> Station::WriteTestInterpreter(QString programFolder)
{
    co_await writes_->WriteTestInterpreter(std::move(programFolder));
}

QCoro::Task<> Station::Reset()
{
    co_await transfers_->ResetDevice();
}

} // namespace tunekit
