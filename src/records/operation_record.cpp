#include "records/operation_record.h"
#include "records/record_store.h"

#include "base/version_info.h"

#include <QCoreApplication>
#include <QUuid>

namespace tunekit::records {

OperationRecord startRecord(const QString& command, const QString& station, const QDateTime& now)
{
    OperationRecord record;
    record.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record.started = now.toUTC();
    record.command = command;
    record.station = station;
    record.version = makeVersionInfo().version;
    return record;
}

QString outcomeNote(const RecordOutcome& outcome)
{
    switch (outcome.status) {
    case RecordOutcome::Status::Stored: return outcome.reason;
    case RecordOutcome::Status::KeptLocally:
        return QCoreApplication::translate("Records", "Record kept locally: %1").arg(outcome.reason);
    case RecordOutcome::Status::Failed: break;
    }
    return QCoreApplication::translate("Records", "The record was not stored: %1").arg(outcome.reason);
}

std::optional<QDateTime> filterTime(const QString& text, Bound bound)
{
    // A day as ISO writes it (2026-12-07) or as German does (07.12.2026).
    const QString trimmed = text.trimmed();
    QDate day = trimmed.size() == 10 ? QDate::fromString(trimmed, Qt::ISODate) : QDate();
    if (!day.isValid())
        day = QDate::fromString(trimmed, QStringLiteral("d.M.yyyy"));
    if (day.isValid())
        return QDateTime(bound == Bound::Since ? day : day.addDays(1), QTime(0, 0)).toUTC();
    const QDateTime time = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (time.isValid())
        return time.toUTC();
    return std::nullopt;
}

} // namespace tunekit::records
