#include "records/sqlite_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace tunekit::records {
SqliteRecordStore::SqliteRecordStore(const QString& path, int busyTimeoutMs)
    : path_(path), connection_(QStringLiteral("QSQLITE"))
{
    QSqlDatabase& database = connection_.database();
    if (!database.isValid()) {
        error_ = QCoreApplication::translate("Records", "Qt's SQLite driver (QSQLITE) is not installed.");
        return;
    }
    // The records name units, people's stations and files: a folder made here and a file made
    // here are their user's alone, whatever the umask. SQLite gives its log files the file's
    // rights. Files and folders that already exist keep what their owner gave them.
    const QString folder = QFileInfo(path).absolutePath();
    const bool newFolder = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder)) {
        error_ = QCoreApplication::translate("Records", "The folder of %1 cannot be made.").arg(path);
        return;
    }
    if (newFolder)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!QFileInfo::exists(path)) {
        QFile made(path);
        if (made.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            made.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            madeNew_ = true;
        }
    }
    database.setDatabaseName(path);
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!database.open()) {
        error_ = database.lastError().text();
        return;
    }
    QSqlQuery query(database);
    // Readers and writers in several processes at once; every record is on disk when add returns.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.next()
        || query.value(0).toString().compare(QLatin1StringView("wal"), Qt::CaseInsensitive) != 0) {
        error_ = QCoreApplication::translate("Records", "The records file %1 cannot use a write-ahead log: %2")
                     .arg(path, query.lastError().text());
        return;
    }
    query.finish();
    error_ = migrateSchema(database, Dialect::Sqlite);
}

QString SqliteRecordStore::defaultPath(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("records.sqlite"));
}

QString SqliteRecordStore::description() const
{
    return QCoreApplication::translate("Records", "SQLite file %1").arg(path_);
}

int SqliteRecordStore::schemaVersion()
{
    return error_.isEmpty() ? std::max(readSchemaVersion(connection_.database()), 0) : 0;
}

RecordOutcome SqliteRecordStore::insert(const OperationRecord& record, bool toSend)
{
    if (!error_.isEmpty())
        return {RecordOutcome::Status::Failed, error_};
    bool landed = false;
    if (QString error = insertRecord(connection_.database(), Dialect::Sqlite, record, &landed, toSend); !error.isEmpty())
        return {RecordOutcome::Status::Failed, error};
    if (!landed)
        return {RecordOutcome::Status::Failed,
                QCoreApplication::translate("Records", "A record with the id %1 is stored already.").arg(record.id), true};
    return {toSend ? RecordOutcome::Status::KeptLocally : RecordOutcome::Status::Stored, {}};
}

RecordOutcome SqliteRecordStore::add(const OperationRecord& record)
{
    return insert(record, false);
}

RecordOutcome SqliteRecordStore::keepToSend(const OperationRecord& record)
{
    return insert(record, true);
}

RecordQuery SqliteRecordStore::query(const RecordFilter& filter)
{
    if (!error_.isEmpty())
        return {{}, error_};
    return selectRecords(connection_.database(), Dialect::Sqlite, filter);
}

QString SqliteRecordStore::forEachRecord(const RecordFilter& filter, const std::function<bool(const OperationRecord&)>& visit)
{
    if (!error_.isEmpty())
        return error_;
    return visitRecords(connection_.database(), Dialect::Sqlite, filter, visit);
}

RecordQuery SqliteRecordStore::toSend()
{
    if (!error_.isEmpty())
        return {{}, error_};
    return selectRecords(connection_.database(), Dialect::Sqlite, {}, true);
}

QString SqliteRecordStore::markSent(const QString& id)
{
    QSqlQuery query(connection_.database());
    query.prepare(QStringLiteral("UPDATE records SET to_send = 0 WHERE id = ?"));
    query.addBindValue(id);
    return query.exec() ? QString() : query.lastError().text();
}

} // namespace tunekit::records
