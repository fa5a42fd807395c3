#pragma once

#include "records/operation_record.h"

#include <QString>

namespace tunekit {

class Station;

// What a record says of the unit a station is connected to: its serial number, ConfigID and
// production number. Called right after a read, while the image holds the unit's own values.
void describeUnit(records::OperationRecord& record, Station& station);

// The SHA-256 of a file's bytes in lower-case hexadecimal; "" when it cannot be read.
QString fileSha256(const QString& path);

} // namespace tunekit
