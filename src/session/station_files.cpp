// What a station reads from and writes to files: a configuration file loaded into its image,
// the backup and the saved read, and what a loaded file would change on the device.
#include "session/station.h"

#include "base/dialogs.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "host/host_facts.h"
#include "session/unit_record.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tunekit {

OpenStatus Station::loadFile(const QString& path, QDate today)
{
    if (busy())
        return OpenStatus::Busy;
    return openConfigFile(QFileInfo(path).absoluteFilePath(), image_, dialogs_, accessLevel_(), today);
}

QCoro::Task<bool> Station::fileFitsUnit(QString path, int unitConfigId, QDate today)
{
    // Read into a copy of the image, as the write will read it; the file's own faults are told
    // when it is opened for the write.
    DeviceImage file = image_;
    KeptMessages quiet;
    if (openConfigFile(QFileInfo(path).absoluteFilePath(), file, quiet, accessLevel_(), today) != OpenStatus::Loaded)
        co_return true;
    co_return co_await writes_->otherFamilyAllowed(file.fileConfigId, unitConfigId, accessLevel_());
}

QString Station::serialNumber() const
{
    // Without messages: the serial number is only looked at here.
    KeptMessages quiet;
    return serialNumberOf(image_, quiet).serial;
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
    if (writeRestorableBackup({image_, host, version, dialogs_}, path) != WriteOutcome::Written)
        return {BackupOutcome::Status::NotWritten, path};
    return {BackupOutcome::Status::Saved, path};
}

WriteOutcome Station::saveRead(const QString& path, const HostFacts& host, const VersionInfo& version)
{
    const WriteOutcome saved = writeRestorableBackup({image_, host, version, dialogs_}, path);
    if (run_ && saved == WriteOutcome::Written) {
        run_->record.file = QFileInfo(path).absoluteFilePath();
        run_->record.fileSha256 = fileSha256(path);
    }
    return saved;
}

QByteArray Station::readAsBackup(const HostFacts& host, const VersionInfo& version)
{
    const QByteArray bytes = restorableBackupText({image_, host, version, dialogs_});
    if (run_) {
        run_->record.file = QStringLiteral("-");
        run_->record.fileSha256 = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }
    return bytes;
}

namespace {

// What the unit holds where the file loaded into the image would change it, by parameter; ""
// where it changes nothing or the unit's value is not known. Written values no longer count.
ParamArray<QString> fileChangesOnUnit(const DeviceImage& image, const ParamArray<QString>& onTheUnit)
{
    ParamArray<QString> changes{};
    if (!image.valuesFromFile)
        return changes;
    for (const ValueDifference& difference : deviceFileDifferences(onTheUnit, image)) {
        const auto i = static_cast<std::size_t>(difference.nr);
        if (difference.nr >= 2 && image.changed[i] && !difference.left.isEmpty())
            changes[i] = difference.left;
    }
    return changes;
}

} // namespace

QList<OverviewRow> Station::overviewRows() const
{
    const ParamArray<QString> changes = fileChangesOnUnit(image_, deviceValues_);
    QList<OverviewRow> rows = image_.overviewRows();
    for (OverviewRow& row : rows) {
        row.deviceValue = changes[static_cast<std::size_t>(row.nr)];
        row.fileChangesIt = !row.deviceValue.isEmpty();
        row.calibration = row.fileChangesIt && (row.nr == FreqCompNr || row.nr == GainCompNr || row.nr == PhaseCompNr);
    }
    return rows;
}

int Station::fileChangeCount() const
{
    const ParamArray<QString> changes = fileChangesOnUnit(image_, deviceValues_);
    return static_cast<int>(std::count_if(changes.cbegin(), changes.cend(), [](const QString& held) { return !held.isEmpty(); }));
}

QList<ValueDifference> Station::differencesFromDevice(const ParamArray<QString>& deviceValues, int deviceConfigId) const
{
    QList<ValueDifference> differences = deviceFileDifferences(deviceValues, image_);
    const qint16 fileConfigId = image_.fileConfigId;
    if (fileConfigId != 0 && fileConfigId != deviceConfigId)
        differences.prepend({ConfigIdNr, QStringLiteral("ConfigID"), QString::number(deviceConfigId), QString::number(fileConfigId)});
    return differences;
}

} // namespace tunekit
