#pragma once

#include "params/value_compare.h"
#include "records/operation_record.h"

#include <QList>
#include <QString>

namespace tunekit {

class Station;

// What a record says of the unit a station is connected to: its serial number, ConfigID and
// production number. Called right after a read, while the image holds the unit's own values.
void describeUnit(records::OperationRecord& record, Station& station);

// The SHA-256 of a file's bytes in lower-case hexadecimal; "" when it cannot be read.
QString fileSha256(const QString& path);

// A write's changes as a record keeps them: the device's value before, the file's after.
QList<records::RecordChange> recordedChanges(const QList<ValueDifference>& differences);

} // namespace tunekit
