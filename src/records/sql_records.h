#pragma once

#include "records/operation_record.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

namespace tunekit::records {

// The schema version this Tunekit writes; a store of an older version is brought up to it when
// opened, a store of a newer one is left alone and refused.
inline constexpr int SchemaVersion = 2;

enum class Dialect { Sqlite, Postgres };

// A database connection of its own: Qt names every connection, and several stores live in one
// process (channels, tests), so each gets a name nobody else has. It is removed with the object.
class SqlConnection {
public:
    explicit SqlConnection(const QString& driver);
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    QSqlDatabase& database() { return database_; }

private:
    QString name_;
    QSqlDatabase database_;
};

// The store's schema version; 0 for a store without tables, -1 when it cannot be read.
int readSchemaVersion(QSqlDatabase& database);

// Brings the tables to the version target (a fresh store gets them all) in one transaction;
// another process opening the same store at the same moment waits for it and then finds the
// tables made. "" or the error.
QString migrateSchema(QSqlDatabase& database, Dialect dialect, int target = SchemaVersion);

// Appends a record. One whose id the store holds already is left as it is, so a record sent twice
// lands once; landed tells whether this call added it. toSend (SQLite only): the record is kept
// for a server that could not take it. "" or the error.
QString insertRecord(QSqlDatabase& database, Dialect dialect, const OperationRecord& record, bool* landed = nullptr,
                     bool toSend = false);

// The records the filter lets through, oldest first, each handed to visit as the database gives
// it (a forward-only query: none are collected) until visit returns false; with onlyToSend
// (SQLite only) only those still to be sent to a server. "" or the error, also one that broke
// the reading off after some records.
QString visitRecords(QSqlDatabase& database, Dialect dialect, const RecordFilter& filter,
                     const std::function<bool(const OperationRecord&)>& visit, bool onlyToSend = false);

// The same records collected; none when the reading failed.
RecordQuery selectRecords(QSqlDatabase& database, Dialect dialect, const RecordFilter& filter, bool onlyToSend = false);

} // namespace tunekit::records
