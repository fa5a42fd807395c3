#pragma once

#include "records/record_store.h"
#include "records/sql_records.h"

#include <QString>

namespace tunekit::records {

// Records in one SQLite file; several processes may write it at once (write-ahead log, and a
// writer waits for another instead of failing). The same file keeps the records a server could
// not take, marked "to send" until a store that reaches a server has sent them.
class SqliteRecordStore final : public RecordStore {
public:
    // How long a writer waits for another process's write before it gives up.
    static constexpr int BusyTimeoutMs = 30000;

    // Opens (and makes, or migrates) the file; error() tells when that failed.
    explicit SqliteRecordStore(const QString& path, int busyTimeoutMs = BusyTimeoutMs);

    RecordOutcome add(const OperationRecord& record) override;
    RecordQuery query(const RecordFilter& filter) override;
    QString forEachRecord(const RecordFilter& filter, const std::function<bool(const OperationRecord&)>& visit) override;
    int schemaVersion() override;
    QString description() const override;

    QString error() const { return error_; }
    QString path() const { return path_; }
    // The file did not exist before this store opened it.
    bool madeNew() const { return madeNew_; }

    // The spool: keeps a record that is still to be sent to a server.
    RecordOutcome keepToSend(const OperationRecord& record);
    // The records still to be sent, oldest first.
    RecordQuery toSend();
    // Marks a record sent: the only change ever made to a record.
    QString markSent(const QString& id);

    // The default file in a data folder (the user's, or a test's).
    static QString defaultPath(const QString& dataFolder);

private:
    RecordOutcome insert(const OperationRecord& record, bool toSend);

    QString path_;
    SqlConnection connection_;
    QString error_;
    bool madeNew_ = false;
};

} // namespace tunekit::records
