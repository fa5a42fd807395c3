#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace tunekit::records {

// One value an operation changed on the device: before and after as the device held them ("":
// not known). A value of the file that did not reach the device (the write stopped before its
// Upload was answered) is listed with written false and after as the file had it.
struct RecordChange {
    QString name;
    QString before;
    QString after;
    bool written = true;

    bool operator==(const RecordChange&) const = default;
};

// What one operation on a device leaves behind: who, where, which unit, which file, what changed
// and how it ended. Records are appended to a store and never changed.
struct OperationRecord {
    QString id;              // a UUID, the record's key wherever it lands
    QDateTime started;       // UTC
    QDateTime ended;         // UTC
    QString station;         // the host's name
    QString port;            // the channel's port ("/dev/ttyUSB0", "COM7", "simulated")
    QString adapter;         // the programming adapter's USB serial number
    QString accessLevel;     // the level's name
    QString command;         // "read", "write", "restore" ...
    QString serialNumber;    // the unit's
    int configId = 0;        // 0: not known
    QString productionNumber;
    QString file;            // the .scd file written, restored or compared
    QString fileSha256;      // of the file's bytes, lower-case hexadecimal
    QString backup;          // the backup made before a write
    QList<RecordChange> changes;
    QString result;          // "passed" or "failed"
    int exitCode = 0;
    QString message;
    QString version;         // Tunekit's

    bool operator==(const OperationRecord&) const = default;
};

inline constexpr char ResultPassed[] = "passed";
inline constexpr char ResultFailed[] = "failed";

// Which records a query returns; an empty field does not filter.
struct RecordFilter {
    QString serialNumber;
    std::optional<QDateTime> since; // started at or after
    std::optional<QDateTime> until; // started before
    QString result;                 // "passed" or "failed"
};

// What became of a record handed to a store.
struct RecordOutcome {
    enum class Status {
        Stored,      // in the chosen store
        KeptLocally, // the server could not take it: kept in the local file, sent on a later run
        Failed,      // neither: the reason says why
    };
    Status status = Status::Failed;
    // Failed: why; KeptLocally: why the store did not take it; Stored: something the user should
    // know all the same ("" mostly), such as a records file made new.
    QString reason;
    bool alreadyThere = false; // Failed because the store holds a record of that id already
};

// The records a query found, oldest first, or why it could not run.
struct RecordQuery {
    QList<OperationRecord> records;
    QString error; // "" when the query ran
};

// A record of an operation that starts now: a fresh id, the start time, the command, the host's
// name and this Tunekit's version. The rest is filled in as the operation goes on.
OperationRecord startRecord(const QString& command, const QString& station, const QDateTime& now);

// What a front end tells the user of an outcome: "" when the record was stored without remark,
// else a line such as "Record kept locally: ...".
QString outcomeNote(const RecordOutcome& outcome);

// A filter bound from a command line or a form: a day (YYYY-MM-DD, local time) or an ISO 8601
// time. A day as the upper bound includes that whole day. Nothing for a text that is neither.
enum class Bound { Since, Until };
std::optional<QDateTime> filterTime(const QString& text, Bound bound);

} // namespace tunekit::records
