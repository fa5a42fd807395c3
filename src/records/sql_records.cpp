#include "records/sql_records.h"

#include "records/record_format.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>
#include <QVariant>

namespace tunekit::records {
namespace {

// Every process that opens a PostgreSQL store takes this lock while it makes or migrates the
// tables ("tunekit" in ASCII).
constexpr qint64 SchemaLock = 0x74756e656b6974;

// The columns of the records table, in the order insertRecord binds and selectRecords reads them.
constexpr const char* Columns = "id, started, ended, station, port, adapter, access_level, command, serial_number, "
                                "config_id, production_number, file, file_sha256, backup, changes, result, "
                                "exit_code, message, version";

QString errorOf(const QSqlQuery& query)
{
    return query.lastError().text().trimmed();
}

// The statements that bring a store from version - 1 to version. Each may run again (a migration
// cut short, or two stations migrating at once) without failing.
QStringList migrationSteps(int version, Dialect dialect)
{
    const bool sqlite = dialect == Dialect::Sqlite;
    switch (version) {
    case 1: {
        const QString time = sqlite ? QStringLiteral("TEXT") : QStringLiteral("TIMESTAMPTZ");
        // The local file also keeps the records a server could not take, marked until sent.
        const QString spool = sqlite ? QStringLiteral(", to_send INTEGER NOT NULL DEFAULT 0") : QString();
        return {QStringLiteral("CREATE TABLE IF NOT EXISTS records (id TEXT PRIMARY KEY, started %1 NOT NULL, ended %1, station TEXT, "
                               "port TEXT, adapter TEXT, access_level TEXT, command TEXT, serial_number TEXT, "
                               "config_id INTEGER, production_number TEXT, file TEXT, file_sha256 TEXT, backup TEXT, "
                               "changes TEXT, result TEXT NOT NULL, exit_code INTEGER, message TEXT, version TEXT%2)")
                    .arg(time, spool)};
    }
    case 2: {
        // The queries ask by serial number and by time; the spool by its mark.
        QStringList steps{QStringLiteral("CREATE INDEX IF NOT EXISTS records_serial_number ON records (serial_number)"),
                          QStringLiteral("CREATE INDEX IF NOT EXISTS records_started ON records (started)")};
        if (sqlite)
            steps << QStringLiteral("CREATE INDEX IF NOT EXISTS records_to_send ON records (to_send) WHERE to_send = 1");
        return steps;
    }
    default: break;
    }
    return {};
}

QVariant timeValue(const QDateTime& time, Dialect dialect)
{
    if (!time.isValid())
        return QVariant(QMetaType(dialect == Dialect::Sqlite ? QMetaType::QString : QMetaType::QDateTime));
    return dialect == Dialect::Sqlite ? QVariant(recordTimeText(time)) : QVariant(time.toUTC());
}

QDateTime timeOf(const QVariant& value)
{
    if (value.isNull())
        return {};
    const QDateTime time = value.metaType().id() == QMetaType::QDateTime
                               ? value.toDateTime()
                               : QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

QString placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

QVariant textValue(const QString& text)
{
    return text.isNull() ? QVariant(QString(QLatin1StringView(""))) : QVariant(text);
}

} // namespace

SqlConnection::SqlConnection(const QString& driver)
    : name_(QStringLiteral("tunekit-records-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      database_(QSqlDatabase::addDatabase(driver, name_))
{
}

SqlConnection::~SqlConnection()
{
    database_.close();
    database_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

int readSchemaVersion(QSqlDatabase& database)
{
    if (!database.tables().contains(QStringLiteral("record_schema")))
        return database.isOpen() ? 0 : -1;
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("SELECT version FROM record_schema")))
        return -1;
    return query.next() ? query.value(0).toInt() : 0;
}

QString migrateSchema(QSqlDatabase& database, Dialect dialect, int target)
{
    if (readSchemaVersion(database) == target)
        return {};
    QSqlQuery query(database);
    const auto run = [&query](const QString& statement) {
        return query.exec(statement) ? QString() : errorOf(query) + QStringLiteral(" (") + statement + QLatin1Char(')');
    };
    // SQLite: the write lock from the start, so that a second process waits (busy time-out)
    // instead of failing to upgrade a read lock; PostgreSQL: a lock of our own around the DDL.
    QString error = run(dialect == Dialect::Sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    if (error.isEmpty() && dialect == Dialect::Postgres)
        error = run(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(SchemaLock));
    if (error.isEmpty())
        error = run(QStringLiteral("CREATE TABLE IF NOT EXISTS record_schema (version INTEGER NOT NULL)"));
    int version = 0;
    bool hasRow = false;
    if (error.isEmpty()) {
        error = run(QStringLiteral("SELECT version FROM record_schema"));
        hasRow = error.isEmpty() && query.next();
        version = hasRow ? query.value(0).toInt() : 0;
        query.finish();
    }
    if (error.isEmpty() && version > target)
        error = QCoreApplication::translate("Records", "The records store has schema version %1; this Tunekit knows %2.")
                    .arg(version)
                    .arg(target);
    for (int next = version + 1; error.isEmpty() && next <= target; ++next) {
        for (const QString& statement : migrationSteps(next, dialect)) {
            if (error.isEmpty())
                error = run(statement);
        }
    }
    if (error.isEmpty() && version != target)
        error = run(hasRow ? QStringLiteral("UPDATE record_schema SET version = %1").arg(target)
                           : QStringLiteral("INSERT INTO record_schema (version) VALUES (%1)").arg(target));
    if (error.isEmpty())
        error = run(QStringLiteral("COMMIT"));
    if (!error.isEmpty())
        query.exec(QStringLiteral("ROLLBACK"));
    return error;
}

QString insertRecord(QSqlDatabase& database, Dialect dialect, const OperationRecord& r, bool* landed, bool toSend)
{
    const bool spool = dialect == Dialect::Sqlite;
    QSqlQuery query(database);
    query.prepare(QStringLiteral("INSERT INTO records (%1%2) VALUES (%3) ON CONFLICT (id) DO NOTHING")
                      .arg(QLatin1StringView(Columns), spool ? QStringLiteral(", to_send") : QString(),
                           placeholders(spool ? 20 : 19)));
    query.addBindValue(r.id);
    query.addBindValue(timeValue(r.started, dialect));
    query.addBindValue(timeValue(r.ended, dialect));
    for (const QString* text : {&r.station, &r.port, &r.adapter, &r.accessLevel, &r.command, &r.serialNumber})
        query.addBindValue(textValue(*text));
    query.addBindValue(r.configId == 0 ? QVariant(QMetaType(QMetaType::Int)) : QVariant(r.configId));
    for (const QString* text : {&r.productionNumber, &r.file, &r.fileSha256, &r.backup})
        query.addBindValue(textValue(*text));
    query.addBindValue(QString::fromUtf8(QJsonDocument(changesJson(r.changes)).toJson(QJsonDocument::Compact)));
    query.addBindValue(textValue(r.result));
    query.addBindValue(r.exitCode);
    query.addBindValue(textValue(r.message));
    query.addBindValue(textValue(r.version));
    if (spool)
        query.addBindValue(toSend ? 1 : 0);
    if (!query.exec())
        return errorOf(query);
    if (landed)
        *landed = query.numRowsAffected() == 1;
    return {};
}

QString visitRecords(QSqlDatabase& database, Dialect dialect, const RecordFilter& filter,
                     const std::function<bool(const OperationRecord&)>& visit, bool onlyToSend)
{
    QStringList conditions;
    QVariantList values;
    if (!filter.serialNumber.isEmpty()) {
        conditions << QStringLiteral("serial_number = ?");
        values << filter.serialNumber;
    }
    if (filter.since) {
        conditions << QStringLiteral("started >= ?");
        values << timeValue(*filter.since, dialect);
    }
    if (filter.until) {
        conditions << QStringLiteral("started < ?");
        values << timeValue(*filter.until, dialect);
    }
    if (!filter.result.isEmpty()) {
        conditions << QStringLiteral("result = ?");
        values << filter.result;
    }
    if (onlyToSend)
        conditions << QStringLiteral("to_send = 1");
    // Forward-only: SQLite steps through the rows, PostgreSQL sends them one by one, and Qt keeps
    // only the current one.
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM records%2%3 ORDER BY started, id")
                      .arg(QLatin1StringView(Columns), conditions.isEmpty() ? QString() : QStringLiteral(" WHERE "),
                           conditions.join(QStringLiteral(" AND "))));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        return errorOf(query);
    while (query.next()) {
        OperationRecord r;
        int column = 0;
        const auto text = [&query, &column] { return query.value(column++).toString(); };
        r.id = text();
        r.started = timeOf(query.value(column++));
        r.ended = timeOf(query.value(column++));
        for (QString* field : {&r.station, &r.port, &r.adapter, &r.accessLevel, &r.command, &r.serialNumber})
            *field = text();
        r.configId = query.value(column++).toInt();
        for (QString* field : {&r.productionNumber, &r.file, &r.fileSha256, &r.backup})
            *field = text();
        r.changes = changesFromJson(QJsonDocument::fromJson(text().toUtf8()).array());
        r.result = text();
        r.exitCode = query.value(column++).toInt();
        r.message = text();
        r.version = text();
        if (!visit(r))
            return {};
    }
    // next() is false at the end and on an error alike (a connection lost on the way).
    return query.lastError().isValid() ? errorOf(query) : QString();
}

RecordQuery selectRecords(QSqlDatabase& database, Dialect dialect, const RecordFilter& filter, bool onlyToSend)
{
    RecordQuery result;
    result.error = visitRecords(
        database, dialect, filter,
        [&result](const OperationRecord& record) {
            result.records.append(record);
            return true;
        },
        onlyToSend);
    if (!result.error.isEmpty())
        result.records.clear();
    return result;
}

} // namespace tunekit::records
