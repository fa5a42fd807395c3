#include "records/record_spool.h"

#include "records/record_format.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <utility>

namespace tunekit::records {
namespace {

const QString DestinationKey = QStringLiteral("destination");
const QString RecordKey = QStringLiteral("record");

} // namespace

SpooledStore::SpooledStore(QString destination, std::unique_ptr<RecordStore> store, QString openError,
                           QString spoolFolder, QString notice)
    : destination_(std::move(destination)), store_(std::move(store)), openError_(std::move(openError)),
      spoolFolder_(std::move(spoolFolder)), notice_(std::move(notice))
{
    sendKept();
}

QString SpooledStore::description() const
{
    return store_ ? store_->description() : destination_;
}

int SpooledStore::schemaVersion()
{
    return store_ ? store_->schemaVersion() : 0;
}

RecordQuery SpooledStore::query(const RecordFilter& filter)
{
    if (!store_)
        return {{}, openError_};
    return store_->query(filter);
}

QString SpooledStore::forEachRecord(const RecordFilter& filter, const std::function<bool(const OperationRecord&)>& visit)
{
    return store_ ? store_->forEachRecord(filter, visit) : openError_;
}

QStringList SpooledStore::keptFiles() const
{
    QStringList files;
    const QDir folder(spoolFolder_);
    for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject kept = QJsonDocument::fromJson(file.readAll()).object();
        if (kept.value(DestinationKey).toString() == destination_)
            files << file.fileName();
    }
    return files;
}

int SpooledStore::keptCount() const
{
    return static_cast<int>(keptFiles().size());
}

int SpooledStore::sendKept()
{
    if (!store_)
        return keptCount();
    int left = 0;
    // Oldest first; a record sent twice (its file could not be removed) still lands once: every
    // store keeps the first record of an id.
    for (const QString& path : keptFiles()) {
        QFile file(path);
        const bool read = file.open(QIODevice::ReadOnly);
        const OperationRecord record =
            recordFromJson(QJsonDocument::fromJson(read ? file.readAll() : QByteArray()).object().value(RecordKey).toObject());
        file.close();
        const RecordOutcome outcome = store_->add(record);
        if (outcome.status == RecordOutcome::Status::Failed && !outcome.alreadyThere) {
            ++left;
            break; // the destination stopped taking records: the rest wait for the next time
        }
        if (!QFile::remove(path))
            ++left;
    }
    return left;
}

QString SpooledStore::keep(const OperationRecord& record) const
{
    const bool newFolder = !QFileInfo::exists(spoolFolder_);
    if (!QDir().mkpath(spoolFolder_))
        return QCoreApplication::translate("Records", "The spool folder %1 cannot be made.").arg(spoolFolder_);
    // Records are their user's alone, as the records file is.
    if (newFolder)
        QFile::setPermissions(spoolFolder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Named by time, so that they are sent in the order they were kept.
    const QString name = record.ended.toUTC().toString(QStringLiteral("yyyyMMddTHHmmsszzz")) + QLatin1Char('-')
                         + record.id + QStringLiteral(".json");
    QSaveFile file(QDir(spoolFolder_).filePath(name));
    const QJsonObject kept{{DestinationKey, destination_}, {RecordKey, recordJson(record)}};
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)
        || file.write(QJsonDocument(kept).toJson(QJsonDocument::Compact)) < 0 || !file.commit())
        return QCoreApplication::translate("Records", "The spool file %1 cannot be written: %2")
            .arg(file.fileName(), file.errorString());
    return {};
}

RecordOutcome SpooledStore::add(const OperationRecord& record)
{
    QString reason = openError_;
    if (store_) {
        sendKept();
        RecordOutcome outcome = store_->add(record);
        if (outcome.status == RecordOutcome::Status::Stored && outcome.reason.isEmpty())
            outcome.reason = std::exchange(notice_, QString());
        if (outcome.status != RecordOutcome::Status::Failed)
            return outcome;
        reason = outcome.reason;
    }
    if (const QString lost = keep(record); !lost.isEmpty())
        return {RecordOutcome::Status::Failed, reason + QStringLiteral("; ") + lost};
    return {RecordOutcome::Status::KeptLocally, reason};
}

} // namespace tunekit::records
