#include "records/postgres_store.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QUrlQuery>

#include <libpq-fe.h>

#include <memory>

namespace tunekit::records {

namespace {

constexpr int ConnectTimeoutSeconds = 5;
constexpr qint64 RetryAfterMs = 60'000;


} // namespace

QString ServerAddress::url() const
{
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += QString::fromUtf8(QUrl::toPercentEncoding(user)) + QLatin1Char('@');
    text += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    if (port >= 0)
        text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + QString::fromUtf8(QUrl::toPercentEncoding(database));
    if (!options.isEmpty()) {
        QUrlQuery query;
        for (const auto& [key, value] : options)
            query.addQueryItem(key, QString::fromUtf8(QUrl::toPercentEncoding(value)));
        text += QLatin1Char('?') + query.toString(QUrl::FullyEncoded);
    }
    return text;
}

void ServerAddress::applyTo(QSqlDatabase& connection, int defaultTimeoutSeconds) const
{
    connection.setHostName(host);
    if (port >= 0)
        connection.setPort(port);
    connection.setDatabaseName(database);
    connection.setUserName(user);
    connection.setConnectOptions(connectOptions(defaultTimeoutSeconds));
}

QString ServerAddress::connectOptions(int defaultTimeoutSeconds) const
{
    QStringList settings;
    bool timeout = false;
    bool name = false;
    for (const auto& [key, value] : options) {
        timeout = timeout || key == QLatin1StringView("connect_timeout");
        name = name || key == QLatin1StringView("application_name");
        // libpq's quoting; the driver turns ";" into blanks, so parseServerUrl refuses values with one.
        QString quoted = value;
        quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
        settings << key + QStringLiteral("='") + quoted + QLatin1Char('\'');
    }
    if (!timeout)
        settings << QStringLiteral("connect_timeout=%1").arg(defaultTimeoutSeconds);
    if (!name)
        settings << QStringLiteral("application_name=tunekit");
    return settings.join(QLatin1Char(';'));
}

QString withoutPassword(const QString& url)
{
    // Also in a URL that does not parse: whatever stands between "user:" and "@" is hidden.
    static const QRegularExpression password(QStringLiteral("(://[^/@:]*):[^@/]*@"));
    return QString(url).replace(password, QStringLiteral("\\1:***@"));
}

std::optional<ServerAddress> parseServerUrl(const QString& text, QString* error)
{
    const auto notUrl = [&text, error] {
        *error = QCoreApplication::translate("Records", "%1 is not a PostgreSQL URL (postgresql://user@host[:port]/database).")
                     .arg(withoutPassword(text));
        return std::nullopt;
    };
    if (!text.startsWith(QLatin1StringView("postgresql://")) && !text.startsWith(QLatin1StringView("postgres://")))
        return notUrl();
    char* parseError = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> parsed(
        PQconninfoParse(text.toUtf8().constData(), &parseError), &PQconninfoFree);
    if (parseError != nullptr)
        PQfreemem(parseError);
    if (!parsed)
        return notUrl();
    ServerAddress server;
    bool port = true;
    for (const PQconninfoOption* option = parsed.get(); option->keyword != nullptr; ++option) {
        if (option->val == nullptr)
            continue;
        const QString key = QString::fromUtf8(option->keyword);
        const QString value = QString::fromUtf8(option->val);
        if (key == QLatin1StringView("password")) {
            *error = QCoreApplication::translate("Records", "A records URL holds no password: give it in PGPASSWORD or a password file (~/.pgpass).");
            return std::nullopt;
        }
        if (value.contains(QLatin1Char(';')))
            return notUrl();
        if (key == QLatin1StringView("user"))
            server.user = value;
        else if (key == QLatin1StringView("host"))
            server.host = value;
        else if (key == QLatin1StringView("port"))
            server.port = value.toInt(&port);
        else if (key == QLatin1StringView("dbname"))
            server.database = value;
        else
            server.options.append({key, value});
    }
    if (!port || server.host.contains(QLatin1Char(',')))
        return notUrl();
    if (server.database.isEmpty()) {
        *error = QCoreApplication::translate("Records", "The records URL %1 names no database.").arg(withoutPassword(text));
        return std::nullopt;
    }
    return server;
}

PostgresRecordStore::PostgresRecordStore(const ServerAddress& server, const QString& dataFolder)
    : server_(server), connection_(QStringLiteral("QPSQL")),
      spool_(std::make_unique<SqliteRecordStore>(SqliteRecordStore::defaultPath(dataFolder)))
{
    connect();
}

QString PostgresRecordStore::description() const
{
    return QStringLiteral("PostgreSQL ") + server_.url();
}

bool PostgresRecordStore::connect()
{
    QSqlDatabase& database = connection_.database();
    if (database.isOpen())
        return true;
    if (!database.isValid()) {
        error_ = QCoreApplication::translate("Records", "Qt's PostgreSQL driver (QPSQL) is not installed.");
        return false;
    }
    server_.applyTo(database, ConnectTimeoutSeconds);
    if (!database.open()) {
        disconnect(database.lastError().databaseText().simplified());
        return false;
    }
    if (const QString error = migrateSchema(database, Dialect::Postgres); !error.isEmpty()) {
        disconnect(error);
        return false;
    }
    error_.clear();
    return sendKept();
}

void PostgresRecordStore::disconnect(const QString& error)
{
    error_ = error;
    connection_.database().close();
    nextAttempt_ = QDeadlineTimer(RetryAfterMs);
}

bool PostgresRecordStore::sendKept()
{
    if (!spool_->error().isEmpty())
        return true; // no local file: nothing kept
    const RecordQuery kept = spool_->toSend();
    for (const OperationRecord& record : kept.records) {
        if (const QString error = insertRecord(connection_.database(), Dialect::Postgres, record); !error.isEmpty()) {
            disconnect(error);
            return false;
        }
        // Sent twice when this fails, it still lands once: the server keeps the first.
        spool_->markSent(record.id);
    }
    return true;
}

RecordOutcome PostgresRecordStore::add(const OperationRecord& record)
{
    if (!connected() && nextAttempt_.hasExpired())
        connect();
    if (connected()) {
        const QString error = insertRecord(connection_.database(), Dialect::Postgres, record);
        if (error.isEmpty())
            return {RecordOutcome::Status::Stored, {}};
        disconnect(error);
    }
    // Kept, whatever the server's reason: a record is never lost.
    const RecordOutcome kept = spool_->keepToSend(record);
    if (kept.status == RecordOutcome::Status::KeptLocally)
        return {RecordOutcome::Status::KeptLocally, error_};
    return {RecordOutcome::Status::Failed, error_ + QStringLiteral("; ") + kept.reason};
}

RecordQuery PostgresRecordStore::query(const RecordFilter& filter)
{
    RecordQuery found;
    found.error = forEachRecord(filter, [&found](const OperationRecord& record) {
        found.records.append(record);
        return true;
    });
    if (!found.error.isEmpty())
        found.records.clear();
    return found;
}

QString PostgresRecordStore::forEachRecord(const RecordFilter& filter, const std::function<bool(const OperationRecord&)>& visit)
{
    if (!connect())
        return QCoreApplication::translate("Records", "The records server %1 cannot be reached: %2").arg(server_.url(), error_);
    const QString error = visitRecords(connection_.database(), Dialect::Postgres, filter, visit);
    if (!error.isEmpty())
        disconnect(error);
    return error;
}

int PostgresRecordStore::schemaVersion()
{
    return connect() ? std::max(readSchemaVersion(connection_.database()), 0) : 0;
}

} // namespace tunekit::records
