#pragma once

#include "records/operation_record.h"

#include <QString>

#include <functional>

namespace tunekit::records {

// Where records go: a SQLite file, a plant's PostgreSQL server, a test's double. Records are only
// ever appended.
class RecordStore {
public:
    virtual ~RecordStore() = default;

    // Appends a record; the outcome says where it landed. Call it before the operation reports
    // its result, for failures too.
    virtual RecordOutcome add(const OperationRecord& record) = 0;
    // The records the filter lets through, oldest first.
    virtual RecordQuery query(const RecordFilter& filter) = 0;
    // The same records handed to visit one at a time as they are read, so that an export of any
    // size holds one record at a time; visit returns false to stop there, and must not use this
    // store meanwhile. "" or why the records could not be read, also when that happened after
    // some were visited.
    virtual QString forEachRecord(const RecordFilter& filter, const std::function<bool(const OperationRecord&)>& visit) = 0;
    // The version of the store's tables; 0 when the store cannot be reached.
    virtual int schemaVersion() = 0;
    // Where the records go, for messages ("SQLite file /home/...", "PostgreSQL tunekit@db/records").
    virtual QString description() const = 0;
};

} // namespace tunekit::records
