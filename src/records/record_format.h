#pragma once

#include "records/operation_record.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

namespace tunekit::records {

// Times as records show them: ISO 8601 in UTC with milliseconds ("2025-03-01T08:15:00.250Z").
QString recordTimeText(const QDateTime& time);

// One record as JSON, its fields named id, time, end, station, port, adapter, accessLevel,
// command, serialNumber, configId, productionNumber, file, fileSha256, backup, changes
// ([{name, before, after}]), result, exitCode, message, version.
QJsonObject recordJson(const OperationRecord& record);
OperationRecord recordFromJson(const QJsonObject& json);

// The changes alone, as JSON (how the stores keep them, too).
QJsonArray changesJson(const QList<RecordChange>& changes);
QList<RecordChange> changesFromJson(const QJsonArray& json);

// CSV (RFC 4180 quoting): a header of the JSON names, then one line per record; the changes as
// "name: before -> after" joined by "; ". Each line ends with "\n".
QString recordsCsvHeader();
QString recordCsvLine(const OperationRecord& record);

} // namespace tunekit::records
