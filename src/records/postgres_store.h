#pragma once

#include "records/record_store.h"
#include "records/sql_records.h"
#include "records/sqlite_store.h"

#include <QDeadlineTimer>
#include <QString>

#include <memory>
#include <optional>

namespace tunekit::records {

// A PostgreSQL server as a records URL names it: postgresql://user@host[:port]/database, with
// libpq's connection options after "?" (sslmode, sslrootcert, connect_timeout, application_name,
// ...). The URL is read by libpq's own parser. The password never comes from the URL: libpq reads
// PGPASSWORD or the password file (PGPASSFILE, ~/.pgpass) itself.
struct ServerAddress {
    QString user;
    QString host;
    int port = -1; // -1: the default
    QString database;
    // Every other option the URL sets, in libpq's words, as the driver gets them.
    QList<QPair<QString, QString>> options;

    // The URL again, in one spelling.
    QString url() const;
    // The options as Qt's PostgreSQL driver takes them ("key='value';..."), with Tunekit's own
    // connection time-out and application name unless the URL sets them.
    QString connectOptions(int defaultTimeoutSeconds) const;
    // Sets the connection's host, port, database, user and options to this address.
    void applyTo(QSqlDatabase& connection, int defaultTimeoutSeconds) const;
};

// The URL as it may be shown: a password in it (which a records URL must not hold) hidden.
QString withoutPassword(const QString& url);

// The address a URL names, or the reason it names none (error).
std::optional<ServerAddress> parseServerUrl(const QString& url, QString* error);

// Records on a plant's PostgreSQL server, which every station writes at once. A record the server
// cannot take (unreachable, connection lost, statement refused) is kept in the local SQLite file,
// marked "to send"; every later store that reaches a server sends those first. A record's
// id is its key on the server and a record already there is left alone, so each lands once.
class PostgresRecordStore final : public RecordStore {
public:
    // Connects, makes or migrates the tables and sends what the local file keeps for this server.
    // The local file lies in dataFolder.
    PostgresRecordStore(const ServerAddress& server, const QString& dataFolder);

    RecordOutcome add(const OperationRecord& record) override;
    RecordQuery query(const RecordFilter& filter) override;
    QString forEachRecord(const RecordFilter& filter, const std::function<bool(const OperationRecord&)>& visit) override;
    int schemaVersion() override;
    QString description() const override;

    bool connected() { return connection_.database().isOpen(); }
    // Why the server was last not reached; "" when it was.
    QString error() const { return error_; }

private:
    bool connect();
    // Sends the records kept locally for this server; false when the server stopped taking them.
    bool sendKept();
    void disconnect(const QString& error);

    ServerAddress server_;
    SqlConnection connection_;
    std::unique_ptr<SqliteRecordStore> spool_;
    QString error_;
    // A server that was not reached is tried again only after a while, so that a station without
    // a network does not wait for the connection time-out at every record.
    QDeadlineTimer nextAttempt_;
};

} // namespace tunekit::records
