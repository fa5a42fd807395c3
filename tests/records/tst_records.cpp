// Traceability records against real SQLite files and a real PostgreSQL server (the one
// scripts/test.sh starts; TUNEKIT_TEST_POSTGRES names it).
#include "records/postgres_store.h"
#include "records/record_format.h"
#include "records/record_keeper.h"
#include "records/sql_records.h"
#include "records/sqlite_store.h"
#include "records/store_choice.h"

#include <QCoroTask>
#include <QDir>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QScopeGuard>
#include <QProcess>
#include <QSet>
#include <QSqlError>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tunekit::records;

namespace {

const QString Sqlite = QStringLiteral("sqlite");
const QString Postgres = QStringLiteral("postgresql");

OperationRecord sampleRecord(const QString& serial, const QDateTime& started, const char* result)
{
    OperationRecord record = startRecord(u"write"_s, u"bench-7"_s, started);
    record.ended = started.addMSecs(83'250);
    record.port = u"/dev/ttyUSB0"_s;
    record.adapter = u"FT4ZQ1A7"_s;
    record.accessLevel = u"Production"_s;
    record.serialNumber = serial;
    record.configId = 53;
    record.productionNumber = u"P-2231"_s;
    record.file = u"/plant/Kran 3, \"Halle\".scd"_s;
    record.fileSha256 = u"9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"_s;
    record.backup = u"backups/"_s + serial + u"_20250301-081500.scd"_s;
    record.changes = {{u"TransmitPower"_s, u"20"_s, u"27"_s}, {u"Name"_s, u"Kran; alt"_s, u"Größe \"B\""_s}};
    record.result = QLatin1StringView(result);
    record.exitCode = record.result == QLatin1StringView(ResultPassed) ? 0 : 7;
    record.message = u"Line one\nline two"_s;
    return record;
}

QDateTime at(int minute)
{
    return QDateTime(QDate(2025, 3, 1), QTime(8, minute, 0, 250), Qt::UTC);
}

ServerAddress addressOf(const QString& url)
{
    QString error;
    return parseServerUrl(url, &error).value();
}

// A PostgreSQL server of one test's own, which the test may stop and start again: its data in a
// temporary folder, on localhost, run as the postgres user when the test runs as root.
class PrivateServer {
public:
    PrivateServer() : port_(20000 + static_cast<int>(QCoreApplication::applicationPid() % 30000))
    {
        const QStringList versions = QDir(u"/usr/lib/postgresql"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        if (versions.isEmpty() || !folder_.isValid())
            return;
        bin_ = u"/usr/lib/postgresql/%1/bin/"_s.arg(versions.last());
        if (getuid() == 0) {
            as_ = {u"-u"_s, u"postgres"_s, u"--"_s};
            if (QProcess::execute(u"chown"_s, {u"postgres"_s, folder_.path()}) != 0)
                return;
        }
        ready_ = run(u"initdb"_s, {u"-D"_s, data(), u"-U"_s, u"tunekit"_s, u"--auth=trust"_s, u"-E"_s, u"UTF8"_s}) && start()
                 && run(u"createdb"_s, {u"-h"_s, u"127.0.0.1"_s, u"-p"_s, QString::number(port_), u"-U"_s, u"tunekit"_s, u"records"_s});
    }
    ~PrivateServer() { stop(); }
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    bool ready() const noexcept { return ready_; }
    QString url() const { return u"postgresql://tunekit@127.0.0.1:%1/records"_s.arg(port_); }
    bool start()
    {
        const QString options = u"-c listen_addresses=127.0.0.1 -p %1 -k %2 -c fsync=off"_s.arg(port_).arg(folder_.path());
        return run(u"pg_ctl"_s, {u"-D"_s, data(), u"-l"_s, folder_.filePath(u"server.log"_s), u"-w"_s, u"-o"_s, options, u"start"_s});
    }
    bool stop() { return !bin_.isEmpty() && run(u"pg_ctl"_s, {u"-D"_s, data(), u"-m"_s, u"fast"_s, u"-w"_s, u"stop"_s}); }

private:
    QString data() const { return folder_.filePath(u"data"_s); }
    bool run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        if (as_.isEmpty())
            process.start(bin_ + program, arguments);
        else
            process.start(u"runuser"_s, as_ + QStringList{bin_ + program} + arguments);
        return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QTemporaryDir folder_;
    int port_;
    QString bin_;
    QStringList as_;
    bool ready_ = false;
};

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    QString server_; // the test server's URL
    QStringList databases_;

    // The URL of a fresh store of the kind given: a SQLite file, or a database of its own on the
    // test server, dropped at the end (none without a server).
    QString freshStore(const QString& kind)
    {
        if (kind == Sqlite)
            return u"sqlite:"_s + folder_.filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
        if (server_.isEmpty())
            return {};
        databases_ << u"tunekit_test_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(databases_.size());
        QSqlQuery query(QSqlDatabase::database(u"admin"_s));
        if (!query.exec(u"CREATE DATABASE "_s + databases_.last()))
            qWarning() << query.lastError().text();
        ServerAddress address = addressOf(server_);
        address.database = databases_.last();
        return address.url();
    }

    static void addStoreRows()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("SQLite") << Sqlite;
        QTest::newRow("PostgreSQL") << Postgres;
    }

    // A data folder of its own, so that each store's local file is its own.
    QString dataFolder() { return folder_.filePath(u"data-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces)); }

#define FETCH_STORE(url)                                                                                              \
    QFETCH(QString, kind);                                                                                            \
    const QString url = freshStore(kind);                                                                             \
    if (url.isEmpty())                                                                                                \
        QSKIP("No PostgreSQL server: TUNEKIT_TEST_POSTGRES names none (scripts/test.sh starts one).");

private slots:
    void initTestCase()
    {
        QVERIFY(folder_.isValid());
        server_ = qEnvironmentVariable("TUNEKIT_TEST_POSTGRES");
        if (server_.isEmpty())
            return;
        QString error;
        QVERIFY2(parseServerUrl(server_, &error), qPrintable(error));
        QSqlDatabase admin = QSqlDatabase::addDatabase(u"QPSQL"_s, u"admin"_s);
        addressOf(server_).applyTo(admin, 10);
        QVERIFY2(admin.open(), qPrintable(admin.lastError().text()));
    }

    void cleanupTestCase()
    {
        if (server_.isEmpty())
            return;
        {
            QSqlQuery query(QSqlDatabase::database(u"admin"_s));
            for (const QString& name : std::as_const(databases_))
                query.exec(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(name));
        }
        QSqlDatabase::removeDatabase(u"admin"_s);
    }

    // Every field comes back as it went in, through JSON too, and the filters pick by unit, time
    // and result, oldest first (stored in another order): for a query, and for an export that
    // visits the records one at a time until it stops. The store answers again afterwards.
    void storesAndFilters_data() { addStoreRows(); }
    void storesAndFilters()
    {
        FETCH_STORE(url);
        ChosenStore chosen = openChosenStore(url, {}, dataFolder());
        QVERIFY2(chosen.store, qPrintable(chosen.error));
        const QList<OperationRecord> records{sampleRecord(u"A1"_s, at(1), ResultPassed), sampleRecord(u"B2"_s, at(2), ResultFailed),
                                             sampleRecord(u"A1"_s, at(3), ResultFailed), sampleRecord(u"A1"_s, at(4), ResultPassed)};
        for (int i : {2, 0, 3, 1}) {
            QCOMPARE(recordFromJson(recordJson(records.at(i))), records.at(i));
            QCOMPARE(chosen.store->add(records.at(i)).status, RecordOutcome::Status::Stored);
        }
        const std::pair<RecordFilter, QList<int>> cases[] = {
            {{}, {0, 1, 2, 3}},
            {{u"A1"_s, {}, {}, {}}, {0, 2, 3}},
            {{{}, at(2), {}, {}}, {1, 2, 3}},
            {{{}, {}, at(3), {}}, {0, 1}},
            {{{}, at(2), at(4), u"failed"_s}, {1, 2}},
            {{u"A1"_s, {}, {}, u"passed"_s}, {0, 3}},
            {{u"C3"_s, {}, {}, {}}, {}},
        };
        for (const auto& [filter, expected] : cases) {
            QList<OperationRecord> wanted;
            for (int i : expected)
                wanted << records.at(i);
            for (const qsizetype stopAt : {0, 1}) { // 0: the visitor never stops
                QList<OperationRecord> visited;
                const QString error = chosen.store->forEachRecord(filter, [&visited, stopAt](const OperationRecord& record) {
                    visited << record;
                    return visited.size() != stopAt;
                });
                QVERIFY2(error.isEmpty(), qPrintable(error));
                QCOMPARE(visited, stopAt > 0 ? wanted.mid(0, stopAt) : wanted);
            }
            const RecordQuery found = chosen.store->query(filter);
            QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
            QCOMPARE(found.records, wanted);
        }
    }

    // A server out of reach is an error for an export and a query, and nothing is visited.
    void storeOutOfReach()
    {
        ChosenStore chosen = openChosenStore(u"postgresql://tunekit@127.0.0.1:1/records"_s, {}, dataFolder());
        QVERIFY2(chosen.store, qPrintable(chosen.error));
        int visited = 0;
        QVERIFY(!chosen.store->forEachRecord({}, [&visited](const OperationRecord&) { return ++visited > 0; }).isEmpty());
        QCOMPARE(visited, 0);
        QVERIFY(!chosen.store->query({}).error.isEmpty());
    }

    // Several processes write the same fresh store at once: the first ones race to make the
    // tables, and every record lands exactly once.
    void concurrentWriters_data() { addStoreRows(); }
    void concurrentWriters()
    {
        FETCH_STORE(url);
        constexpr int writerCount = 4;
        constexpr int each = 60;
        const QString data = dataFolder();
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int w = 0; w < writerCount; ++w) {
            writers.push_back(std::make_unique<QProcess>());
            writers.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            writers.back()->start(QStringLiteral(TUNEKIT_RECORDS_WRITER), {url, data, QString::number(each), u"W%1"_s.arg(w)});
        }
        for (auto& writer : writers) {
            QVERIFY(writer->waitForFinished(120'000));
            QCOMPARE(writer->exitCode(), 0);
        }
        ChosenStore chosen = openChosenStore(url, {}, data);
        QVERIFY2(chosen.store, qPrintable(chosen.error));
        const RecordQuery found = chosen.store->query({});
        QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
        // As many records as were written, and every writer's "0" .. "each-1" among them: each once.
        QCOMPARE(found.records.size(), writerCount * each);
        QHash<QString, QSet<QString>> messages;
        for (const OperationRecord& record : found.records)
            messages[record.serialNumber].insert(record.message);
        for (int w = 0; w < writerCount; ++w)
            QCOMPARE(messages.value(u"W%1"_s.arg(w)).size(), each);
    }

    // The server stops while a store is writing and starts again: what it could not take was kept
    // locally, and once it is back every record is there exactly once, even one that reached the
    // server before its local copy was marked sent.
    void serverStoppedAndStartedAgain()
    {
        PrivateServer server;
        if (!server.ready())
            QSKIP("No PostgreSQL server programs here to start a private server.");
        const ServerAddress address = addressOf(server.url());
        const QString data = dataFolder();
        QList<OperationRecord> all;
        {
            PostgresRecordStore store(address, data);
            QVERIFY2(store.connected(), qPrintable(store.error()));
            for (int i = 0; i < 6; ++i) {
                if (i == 3)
                    QVERIFY(server.stop());
                all << sampleRecord(u"S%1"_s.arg(i), at(20 + i), ResultPassed);
                const RecordOutcome outcome = store.add(all.last());
                QCOMPARE(outcome.status, i < 3 ? RecordOutcome::Status::Stored : RecordOutcome::Status::KeptLocally);
                QVERIFY(i < 3 || outcomeNote(outcome).startsWith(u"Record kept locally: "_s));
            }
            QVERIFY(!store.query({}).error.isEmpty());
        }
        SqliteRecordStore local(SqliteRecordStore::defaultPath(data));
        QCOMPARE(local.toSend().records, all.mid(3));
        QVERIFY(server.start());
        QCOMPARE(PostgresRecordStore(address, dataFolder()).add(all.at(3)).status, RecordOutcome::Status::Stored);
        for (int open = 0; open < 2; ++open) {
            PostgresRecordStore back(address, data);
            QVERIFY2(back.connected(), qPrintable(back.error()));
            const RecordQuery found = back.query({});
            QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
            QCOMPARE(found.records, all);
            QVERIFY(local.toSend().records.isEmpty());
        }
    }

    // Whatever a destination cannot take goes to the spool, and is sent, once, before the next
    // record that reaches it; only when the spool cannot be written either is a record lost.
    void spoolsWhatTheStoreCannotTake_data()
    {
        QTest::addColumn<QString>("url");     // "{dir}": a folder of the test's
        QTest::addColumn<bool>("lockFile");   // another process holds the file locked
        QTest::addColumn<bool>("spoolBlocked"); // the data folder is a file: no spool either
        QTest::newRow("locked SQLite file") << "sqlite:{dir}/locked.sqlite" << true << false;
        QTest::newRow("folder that cannot be made") << "sqlite:/proc/tunekit/records.sqlite" << false << false;
        QTest::newRow("lost: neither store nor spool") << "sqlite:/proc/tunekit/records.sqlite" << false << true;
    }
    void spoolsWhatTheStoreCannotTake()
    {
        QFETCH(QString, url);
        QFETCH(bool, lockFile);
        QFETCH(bool, spoolBlocked);
        const QTemporaryDir dir;
        url.replace(u"{dir}"_s, dir.path());
        const QString data = dir.filePath(u"data"_s);
        if (spoolBlocked) {
            QFile blocker(data);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        std::unique_ptr<SqlConnection> lock;
        if (lockFile) {
            { SqliteRecordStore made(url.mid(7)); }
            lock = std::make_unique<SqlConnection>(u"QSQLITE"_s);
            lock->database().setDatabaseName(url.mid(7));
            QVERIFY(lock->database().open());
            QVERIFY(QSqlQuery(lock->database()).exec(u"BEGIN EXCLUSIVE"_s));
        }
        const OperationRecord first = sampleRecord(u"K1"_s, at(1), ResultPassed);
        {
            ChosenStore chosen = openChosenStore(url, {}, data, 100);
            QVERIFY(chosen.store);
            const RecordOutcome outcome = chosen.store->add(first);
            QCOMPARE(outcome.status, spoolBlocked ? RecordOutcome::Status::Failed : RecordOutcome::Status::KeptLocally);
            QVERIFY2(outcomeNote(outcome).startsWith(spoolBlocked ? u"The record was not stored: "_s : u"Record kept locally: "_s),
                     qPrintable(outcomeNote(outcome)));
        }
        if (!lockFile)
            return;
        QCOMPARE(QDir(spoolFolder(data)).entryList(QDir::Files).size(), 1);
        QCOMPARE(int(QFileInfo(spoolFolder(data)).permissions() & 0x0777), 0x0700);
        QVERIFY(QSqlQuery(lock->database()).exec(u"ROLLBACK"_s));
        lock.reset();
        // The next record (a later run's) brings the kept one along, and only once.
        const OperationRecord second = sampleRecord(u"K2"_s, at(2), ResultPassed);
        for (int run = 0; run < 2; ++run) {
            ChosenStore chosen = openChosenStore(url, {}, data, 100);
            if (run == 0)
                QCOMPARE(chosen.store->add(second).status, RecordOutcome::Status::Stored);
            QCOMPARE(chosen.store->query({}).records, (QList<OperationRecord>{first, second}));
        }
        QVERIFY(QDir(spoolFolder(data)).entryList(QDir::Files).isEmpty());
    }

    // A server that takes the connection and never answers costs the first record nothing: the
    // keeper opens the store as soon as it is made, while the run's device work goes on.
    void hangingServerDoesNotHoldTheRecord()
    {
        // Listens, and never says a word: the kernel takes the connection, nobody answers.
        const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(silent >= 0);
        const auto closeSilent = qScopeGuard([silent] { ::close(silent); });
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(::bind(silent, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(silent, 8) == 0
                && ::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length) == 0);
        const QTemporaryDir dir;
        const QString url = u"postgresql://tk@127.0.0.1:%1/records?connect_timeout=2"_s.arg(ntohs(address.sin_port));
        QSemaphore opened;
        RecordKeeper keeper([&] {
            ChosenStore chosen = openChosenStore(url, {}, dir.filePath(u"data"_s));
            opened.release();
            return chosen;
        });
        QVERIFY(opened.tryAcquire(1, 10'000)); // the device work of a run takes as long
        QElapsedTimer kept;
        kept.start();
        const RecordOutcome outcome = QCoro::waitFor(keeper.keep(sampleRecord(u"K1"_s, at(1), ResultPassed)));
        QCOMPARE(outcome.status, RecordOutcome::Status::KeptLocally);
        QVERIFY2(kept.elapsed() < 1000, qPrintable(QString::number(kept.elapsed())));
        // Reading them back waits on the keeper's thread too, and says why it found nothing.
        const FoundRecords found = QCoro::waitFor(keeper.find({}));
        QVERIFY(found.query.records.isEmpty() && !found.query.error.isEmpty());
    }

    // The window's views read the records where the keeper keeps them, on its thread.
    void keeperReadsBackWhatItKept()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(u"records.sqlite"_s);
        RecordKeeper keeper([&] { return openChosenStore(u"sqlite:"_s + path, {}, dir.filePath(u"data"_s)); });
        const OperationRecord record = sampleRecord(u"K2"_s, at(2), ResultPassed);
        QCOMPARE(QCoro::waitFor(keeper.keep(record)).status, RecordOutcome::Status::Stored);
        const FoundRecords found = QCoro::waitFor(keeper.find(RecordFilter{u"K2"_s, {}, {}, {}}));
        QVERIFY2(found.query.error.isEmpty(), qPrintable(found.query.error));
        QCOMPARE(found.query.records, QList<OperationRecord>{record});
        QVERIFY2(found.store.contains(path), qPrintable(found.store));
    }

    // libpq reads the URL: its options reach the driver, and a connection that asks for TLS is
    // never made without it (the test server has none).
    void connectionOptionsReachTheDriver()
    {
        if (server_.isEmpty())
            QSKIP("No PostgreSQL server: TUNEKIT_TEST_POSTGRES names none (scripts/test.sh starts one).");
        QString error;
        const std::optional<ServerAddress> plain = parseServerUrl(server_ + u"?application_name=bench%207"_s, &error);
        QVERIFY2(plain, qPrintable(error));
        QVERIFY2(plain->connectOptions(5).contains(u"application_name='bench 7'"_s), qPrintable(plain->connectOptions(5)));
        QCOMPARE(PostgresRecordStore(*plain, dataFolder()).connected(), true);
        const std::optional<ServerAddress> tls = parseServerUrl(server_ + u"?sslmode=require"_s, &error);
        QVERIFY2(tls, qPrintable(error));
        PostgresRecordStore store(*tls, dataFolder());
        QVERIFY(!store.connected());
        QVERIFY2(store.error().contains(u"SSL"_s), qPrintable(store.error()));
    }

    // A store made by an older Tunekit is brought up to date on open, its records kept; one made
    // by a newer Tunekit is left alone.
    void migratesSchema_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("from");
        QTest::newRow("SQLite from 1") << Sqlite << 1;
        QTest::newRow("PostgreSQL from 1") << Postgres << 1;
        QTest::newRow("SQLite newer") << Sqlite << SchemaVersion + 1;
        QTest::newRow("PostgreSQL newer") << Postgres << SchemaVersion + 1;
        // Its version row lost after every step had run: the steps run again and do not fail.
        QTest::newRow("SQLite migrated again") << Sqlite << -1;
        QTest::newRow("PostgreSQL migrated again") << Postgres << -1;
    }
    void migratesSchema()
    {
        FETCH_STORE(url);
        QFETCH(int, from);
        const OperationRecord old = sampleRecord(u"OLD"_s, at(1), ResultPassed);
        {
            const bool sqlite = kind == Sqlite;
            SqlConnection connection(sqlite ? u"QSQLITE"_s : u"QPSQL"_s);
            QSqlDatabase& database = connection.database();
            if (sqlite)
                database.setDatabaseName(url.mid(7));
            else
                addressOf(url).applyTo(database, 10);
            QVERIFY2(database.open(), qPrintable(database.lastError().text()));
            const Dialect dialect = sqlite ? Dialect::Sqlite : Dialect::Postgres;
            QCOMPARE(migrateSchema(database, dialect, from < 0 ? SchemaVersion : from), QString());
            if (from < 0)
                QVERIFY(QSqlQuery(database).exec(u"DELETE FROM record_schema"_s));
            QCOMPARE(readSchemaVersion(database), qMax(from, 0));
            QCOMPARE(insertRecord(database, dialect, old), QString());
        }
        const OperationRecord fresh = sampleRecord(u"NEW"_s, at(2), ResultPassed);
        ChosenStore chosen = openChosenStore(url, {}, dataFolder());
        if (from > SchemaVersion) {
            const QString why = chosen.store ? chosen.store->add(fresh).reason : chosen.error;
            QVERIFY2(why.contains(u"schema version %1"_s.arg(from)), qPrintable(why));
            return;
        }
        QVERIFY2(chosen.store, qPrintable(chosen.error));
        QCOMPARE(chosen.store->schemaVersion(), SchemaVersion);
        QCOMPARE(chosen.store->add(fresh).status, RecordOutcome::Status::Stored);
        QCOMPARE(chosen.store->query({}).records, (QList<OperationRecord>{old, fresh}));
    }

    // The --records URL, else TUNEKIT_RECORDS, else the data folder's file; "{dir}" is a folder of
    // the test's.
    void choosesStore_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("described"); // the store's description, or the error
        QTest::newRow("neither") << "" << "" << "SQLite file {dir}/data/records.sqlite";
        QTest::newRow("option first") << "sqlite:{dir}/a.sqlite" << "sqlite:{dir}/b.sqlite" << "SQLite file {dir}/a.sqlite";
        QTest::newRow("environment") << "" << "sqlite:///{dir}/b.sqlite" << "SQLite file /{dir}/b.sqlite";
        QTest::newRow("server out of reach") << "postgresql://tunekit@127.0.0.1:1/records" << ""
                                             << "PostgreSQL postgresql://tunekit@127.0.0.1:1/records";
        QTest::newRow("password in the URL") << "postgresql://tunekit:secret@db/records" << "" << "A records URL holds no password";
        QTest::newRow("no database") << "postgres://tunekit@db" << "" << "names no database";
        QTest::newRow("other scheme") << "mysql://db/records" << "" << "is no records URL";
        // A password in a URL is never shown, also when the URL does not parse.
        QTest::newRow("password with a blank") << "postgresql://tk:S3cret PW@db/records" << "" << "A records URL holds no password";
        QTest::newRow("password in a URL that does not parse") << "postgresql://tk:S3cret@[db/records" << ""
                                                               << "postgresql://tk:***@[db/records is not a PostgreSQL URL";
        // libpq's options go to the driver; the URL shows them.
        QTest::newRow("connection options") << "postgresql://tunekit@127.0.0.1:1/records?sslmode=require&application_name=line%203"
                                            << "" << "PostgreSQL postgresql://tunekit@127.0.0.1:1/records?application_name=line%203&sslmode=require";
        QTest::newRow("password in another scheme") << "mysql://tk:S3cret@db/records" << "" << "mysql://tk:***@db/records is no";
        // A folder and a file made for the records are their user's alone.
        QTest::newRow("new folder") << "sqlite:{dir}/new/private.sqlite" << "" << "SQLite file {dir}/new/private.sqlite";
    }
    void choosesStore()
    {
        QFETCH(QString, option);
        QFETCH(QString, environment);
        QFETCH(QString, described);
        const QString dir = folder_.path();
        const ChosenStore chosen = openChosenStore(option.replace(u"{dir}"_s, dir), environment.replace(u"{dir}"_s, dir),
                                                   folder_.filePath(u"data"_s));
        const QString shown = chosen.store ? chosen.store->description() : chosen.error;
        QVERIFY2(shown.contains(described.replace(u"{dir}"_s, dir)), qPrintable(shown));
        QVERIFY(chosen.store || !chosen.error.isEmpty());
        QVERIFY(!shown.contains(u"S3cret"_s));
        if (QByteArrayView(QTest::currentDataTag()) == "new folder") {
            const auto mode = [](const QString& path) { return int(QFileInfo(path).permissions() & 0x0777); };
            QCOMPARE(mode(dir + u"/new"_s), 0x0700);
            QCOMPARE(mode(dir + u"/new/private.sqlite"_s), 0x0600);
            QCOMPARE(mode(dir + u"/new/private.sqlite-wal"_s), 0x0600);
        }
    }

    // CSV cells with commas, quotes and line breaks are quoted; the changes are one cell.
    void csvQuotesItsCells()
    {
        const OperationRecord record = sampleRecord(u"12345"_s, at(15), ResultFailed);
        QCOMPARE(recordsCsvHeader(), u"id,time,end,station,port,adapter,accessLevel,command,serialNumber,configId,productionNumber,"
                                     "file,fileSha256,backup,changes,result,exitCode,message,version\n"_s);
        QCOMPARE(recordCsvLine(record),
                 record.id + u",2025-03-01T08:15:00.250Z,2025-03-01T08:16:23.500Z,bench-7,/dev/ttyUSB0,FT4ZQ1A7,Production,write,"
                             "12345,53,P-2231,\"/plant/Kran 3, \"\"Halle\"\".scd\","_s
                     + record.fileSha256
                     + u",backups/12345_20250301-081500.scd,\"TransmitPower: 20 -> 27; Name: Kran; alt -> Größe \"\"B\"\"\","
                       "failed,7,\"Line one\nline two\","_s
                     + record.version + u'\n');
        // Cells from outside that a spreadsheet would run as a formula stay text.
        OperationRecord foreign = record;
        foreign.station = u"=HYPERLINK(\"http://x\")"_s;
        foreign.port = u"+1"_s;
        foreign.adapter = u"@SUM(A1)"_s;
        foreign.message = u"-2+3"_s;
        const QString line = recordCsvLine(foreign);
        for (const QString& cell : {u"\"'=HYPERLINK(\"\"http://x\"\")\","_s, u",\"'+1\","_s, u",\"'@SUM(A1)\","_s, u",\"'-2+3\","_s})
            QVERIFY2(line.contains(cell), qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
