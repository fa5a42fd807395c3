#pragma once

#include "records/record_store.h"

#include <QString>

#include <memory>

namespace tunekit::records {

// The one rule every records destination follows: a record the destination cannot take (a
// locked or unreadable file, a folder that cannot be made, tables newer than this Tunekit, a
// server down) is kept in the local spool, one file per record, and sent before the next record
// that goes to the same destination. A record is lost only when the spool cannot be written
// either; the outcome is then Failed.
class SpooledStore final : public RecordStore {
public:
    // destination: the destination in one spelling (the spool knows its records by it); store:
    // the destination opened, or none, for the reason openError gives. notice: what the first
    // record stored there tells the user ("" mostly).
    SpooledStore(QString destination, std::unique_ptr<RecordStore> store, QString openError, QString spoolFolder,
                 QString notice = {});

    RecordOutcome add(const OperationRecord& record) override;
    RecordQuery query(const RecordFilter& filter) override;
    QString forEachRecord(const RecordFilter& filter, const std::function<bool(const OperationRecord&)>& visit) override;
    int schemaVersion() override;
    QString description() const override;

    // Sends what the spool keeps for this destination; the number still kept afterwards.
    int sendKept();
    // The records the spool keeps for this destination.
    int keptCount() const;

private:
    // Writes the record into the spool; "" when it is there, whole, else why not.
    QString keep(const OperationRecord& record) const;
    QStringList keptFiles() const;

    QString destination_;
    std::unique_ptr<RecordStore> store_;
    QString openError_;
    QString spoolFolder_;
    QString notice_;
};

} // namespace tunekit::records
