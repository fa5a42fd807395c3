// Traceability records against real SQLite files and a real PostgreSQL server (the one
// scripts/test.sh starts; TUNEKIT_TEST_POSTGRES names it).
#include "records/postgres_store.h"
#include "records/record_format.h"
#include "records/sql_records.h"
#include "records/sqlite_store.h"
#include "records/store_choice.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <memory>

#include <unistd.h>

using namespace tunekit::records;

namespace {

const QString Sqlite = QStringLiteral("sqlite");
const QString Postgres = QStringLiteral("postgresql");

OperationRecord sampleRecord(const QString& serial, const QDateTime& started, const char* result)
{
    OperationRecord record = startRecord(QStringLiteral("write"), QStringLiteral("bench-7"), started);
    record.ended = started.addMSecs(83'250);
    record.port = QStringLiteral("/dev/ttyUSB0");
    record.adapter = QStringLiteral("FT4ZQ1A7");
    record.accessLevel = QStringLiteral("Production");
    record.serialNumber = serial;
    record.configId = 53;
    record.productionNumber = QStringLiteral("P-2231");
    record.file = QStringLiteral("/plant/Kran 3, \"Halle\".scd");
    record.fileSha256 = QStringLiteral("9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08");
    record.backup = QStringLiteral("backups/") + serial + QStringLiteral("_20250301-081500.scd");
    record.changes = {{QStringLiteral("TransmitPower"), QStringLiteral("20"), QStringLiteral("27")},
                      {QStringLiteral("Name"), QStringLiteral("Kran; alt"), QStringLiteral("Größe \"B\"")}};
    record.result = QLatin1StringView(result);
    record.exitCode = record.result == QLatin1StringView(ResultPassed) ? 0 : 7;
    record.message = QStringLiteral("Line one\nline two");
    return record;
}

QDateTime at(int minute)
{
    return QDateTime(QDate(2025, 3, 1), QTime(8, minute, 0, 250), Qt::UTC);
}


// A PostgreSQL server of one test's own, which the test may stop and start again: its data in a
// temporary folder, on localhost, run as the postgres user when the test runs as root.
class PrivateServer {
public:
    PrivateServer() : port_(20000 + static_cast<int>(QCoreApplication::applicationPid() % 30000))
    {
        const QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        if (versions.isEmpty() || !folder_.isValid())
            return;
        bin_ = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(versions.last());
        if (getuid() == 0) {
            as_ = {QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")};
            if (QProcess::execute(QStringLiteral("chown"), {QStringLiteral("postgres"), folder_.path()}) != 0)
                return;
        }
        ready_ = run(QStringLiteral("initdb"), {QStringLiteral("-D"), data(), QStringLiteral("-U"), QStringLiteral("tunekit"),
                                                QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8")})
                 && start()
                 && run(QStringLiteral("createdb"), {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                                     QString::number(port_), QStringLiteral("-U"), QStringLiteral("tunekit"),
                                                     QStringLiteral("records")});
    }
    ~PrivateServer() { stop(); }
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    bool ready() const noexcept { return ready_; }
    QString url() const { return QStringLiteral("postgresql://tunekit@127.0.0.1:%1/records").arg(port_); }
    bool start()
    {
        return run(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), data(), QStringLiteral("-l"), folder_.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                    QStringLiteral("-o"),
                    QStringLiteral("-c listen_addresses=127.0.0.1 -p %1 -k %2 -c fsync=off").arg(port_).arg(folder_.path()),
                    QStringLiteral("start")});
    }
    bool stop()
    {
        return !bin_.isEmpty()
               && run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data(), QStringLiteral("-m"), QStringLiteral("fast"),
                                                 QStringLiteral("-w"), QStringLiteral("stop")});
    }

private:
    QString data() const { return folder_.filePath(QStringLiteral("data")); }
    bool run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        if (as_.isEmpty())
            process.start(bin_ + program, arguments);
        else
            process.start(QStringLiteral("runuser"), as_ + QStringList{bin_ + program} + arguments);
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
    int nextDatabase_ = 0;

    // A fresh database on the test server, dropped at the end; skips without a server.
    QString freshServerDatabase()
    {
        QSqlDatabase admin = QSqlDatabase::database(QStringLiteral("admin"));
        const QString name = QStringLiteral("tunekit_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++nextDatabase_);
        QSqlQuery query(admin);
        if (!query.exec(QStringLiteral("CREATE DATABASE %1").arg(name)))
            qWarning() << query.lastError().text();
        databases_ << name;
        QString error;
        ServerAddress address = *parseServerUrl(server_, &error);
        address.database = name;
        return address.url();
    }

    // The URL of a fresh store of the kind given: a SQLite file or a database of its own.
    QString FreshStore(const QString& kind)
    {
        if (kind == Sqlite)
            return QStringLiteral("sqlite:") + folder_.filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
        if (server_.isEmpty())
            return {};
        return freshServerDatabase();
    }

    static void addStoreRows()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("SQLite") << Sqlite;
        QTest::newRow("PostgreSQL") << Postgres;
    }

    // A data folder of its own, so that each store's local file is its own.
    QString dataFolder() { return folder_.filePath(QStringLiteral("data-") + QUuid::createUuid().toString(QUuid::WithoutBraces)); }

#define FETCH_STORE(url)                                                                                              \
    QFETCH(QString, kind);                                                                                            \
    const QString url = FreshStore(kind);                                                                             \
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
        const std::optional<ServerAddress> address = parseServerUrl(server_, &error);
        QVERIFY2(address, qPrintable(error));
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
        admin.setHostName(address->host);
        admin.setPort(address->port);
        admin.setUserName(address->user);
        admin.setDatabaseName(address->database);
        QVERIFY2(admin.open(), qPrintable(admin.lastError().text()));
    }

    void cleanupTestCase()
    {
        if (server_.isEmpty())
            return;
        {
            QSqlQuery query(QSqlDatabase::database(QStringLiteral("admin")));
            for (const QString& name : std::as_const(databases_))
                query.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    }

    // Every field comes back as it went in, through JSON too.
    void roundTrip_data() { addStoreRows(); }
    void roundTrip()
    {
        FETCH_STORE(url);
        const OperationRecord record = sampleRecord(QStringLiteral("12345"), at(15), ResultFailed);
        QCOMPARE(recordFromJson(recordJson(record)), record);
        ChosenStore chosen = openChosenStore(url, {}, dataFolder());
        QVERIFY2(chosen.store, qPrintable(chosen.error));
        QCOMPARE(chosen.store->schemaVersion(), SchemaVersion);
        QCOMPARE(chosen.store->add(record).status, RecordOutcome::Status::Stored);
        const RecordQuery found = chosen.store->query({});
        QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
        QCOMPARE(found.records.size(), 1);
        QCOMPARE(recordJson(found.records.first()), recordJson(record));
        QCOMPARE(found.records.first(), record);
    }

    void filters_data() { addStoreRows(); }
    void filters()
    {
        FETCH_STORE(url);
        ChosenStore chosen = openChosenStore(url, {}, dataFolder());
        QVERIFY2(chosen.store, qPrintable(chosen.error));
        const OperationRecord records[] = {sampleRecord(QStringLiteral("A1"), at(1), ResultPassed),
                                           sampleRecord(QStringLiteral("B2"), at(2), ResultFailed),
                                           sampleRecord(QStringLiteral("A1"), at(3), ResultFailed),
                                           sampleRecord(QStringLiteral("A1"), at(4), ResultPassed)};
        for (const OperationRecord& record : records)
            QCOMPARE(chosen.store->add(record).status, RecordOutcome::Status::Stored);
        struct Case {
            RecordFilter filter;
            QList<int> expected; // indexes into records, oldest first
        };
        const Case cases[] = {
            {{}, {0, 1, 2, 3}},
            {{QStringLiteral("A1"), {}, {}, {}}, {0, 2, 3}},
            {{{}, at(2), {}, {}}, {1, 2, 3}},
            {{{}, {}, at(3), {}}, {0, 1}},
            {{{}, at(2), at(4), QStringLiteral("failed")}, {1, 2}},
            {{QStringLiteral("A1"), {}, {}, QStringLiteral("passed")}, {0, 3}},
            {{QStringLiteral("C3"), {}, {}, {}}, {}},
        };
        for (const Case& c : cases) {
            const RecordQuery found = chosen.store->query(c.filter);
            QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
            QStringList ids;
            for (const OperationRecord& record : found.records)
                ids << record.id;
            QStringList expected;
            for (int i : c.expected)
                expected << records[i].id;
            QCOMPARE(ids, expected);
        }
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
            writers.back()->start(QStringLiteral(TUNEKIT_RECORDS_WRITER),
                                  {url, data, QString::number(each), QStringLiteral("W%1").arg(w)});
        }
        for (auto& writer : writers) {
            QVERIFY(writer->waitForFinished(120'000));
            QCOMPARE(writer->exitCode(), 0);
        }
        ChosenStore chosen = openChosenStore(url, {}, data);
        QVERIFY2(chosen.store, qPrintable(chosen.error));
        const RecordQuery found = chosen.store->query({});
        QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
        QCOMPARE(found.records.size(), writerCount * each);
        QSet<QString> ids;
        QHash<QString, QSet<QString>> messages; // per writer: "0" .. "Each-1", once each
        for (const OperationRecord& record : found.records) {
            ids.insert(record.id);
            messages[record.serialNumber].insert(record.message);
        }
        QCOMPARE(ids.size(), writerCount * each);
        for (int w = 0; w < writerCount; ++w)
            QCOMPARE(messages.value(QStringLiteral("W%1").arg(w)).size(), each);
    }

    // With the server out of reach the records stay in the local file; the next store that
    // reaches it sends them first, and each lands once, even one that reached the server
    // before its local copy was marked sent.
    void unreachableServerKeepsRecords()
    {
        if (server_.isEmpty())
            QSKIP("No PostgreSQL server: TUNEKIT_TEST_POSTGRES names none (scripts/test.sh starts one).");
        const QString live = freshServerDatabase();
        QString error;
        ServerAddress closed = *parseServerUrl(live, &error);
        closed.port = 1; // nothing listens there
        const QString data = dataFolder();
        QList<OperationRecord> kept;
        {
            PostgresRecordStore away(closed, data);
            QVERIFY(!away.connected());
            QVERIFY(!away.error().isEmpty());
            for (int i = 0; i < 3; ++i) {
                kept << sampleRecord(QStringLiteral("K%1").arg(i), at(10 + i), ResultPassed);
                const RecordOutcome outcome = away.add(kept.last());
                QCOMPARE(outcome.status, RecordOutcome::Status::KeptLocally);
                QVERIFY(outcomeNote(outcome).startsWith(QStringLiteral("Record kept locally: ")));
            }
            QVERIFY(!away.query({}).error.isEmpty());
        }
        SqliteRecordStore local(SqliteRecordStore::defaultPath(data));
        QCOMPARE(local.toSend().records, kept);
        // The first one reached the server once, but its local copy was never marked sent.
        {
            PostgresRecordStore direct(*parseServerUrl(live, &error), dataFolder());
            QCOMPARE(direct.add(kept.first()).status, RecordOutcome::Status::Stored);
        }
        for (int open = 0; open < 2; ++open) {
            PostgresRecordStore back(*parseServerUrl(live, &error), data);
            QVERIFY2(back.connected(), qPrintable(back.error()));
            const RecordQuery found = back.query({});
            QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
            QCOMPARE(found.records, kept);
            QVERIFY(local.toSend().records.isEmpty());
        }
    }

    // The server stops while a store is writing and starts again: what it could not take was kept
    // locally, and once it is back every record is there exactly once.
    void serverStoppedAndStartedAgain()
    {
        PrivateServer server;
        if (!server.ready())
            QSKIP("No PostgreSQL server programs here to start a private server.");
        QString error;
        const ServerAddress address = *parseServerUrl(server.url(), &error);
        const QString data = dataFolder();
        QList<OperationRecord> all;
        {
            PostgresRecordStore store(address, data);
            QVERIFY2(store.connected(), qPrintable(store.error()));
            for (int i = 0; i < 6; ++i) {
                if (i == 3)
                    QVERIFY(server.stop());
                all << sampleRecord(QStringLiteral("S%1").arg(i), at(20 + i), ResultPassed);
                QCOMPARE(store.add(all.last()).status, i < 3 ? RecordOutcome::Status::Stored : RecordOutcome::Status::KeptLocally);
            }
        }
        QVERIFY(server.start());
        for (int open = 0; open < 2; ++open) {
            PostgresRecordStore back(address, data);
            QVERIFY2(back.connected(), qPrintable(back.error()));
            const RecordQuery found = back.query({});
            QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
            QCOMPARE(found.records, all);
        }
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
    }
    void migratesSchema()
    {
        FETCH_STORE(url);
        QFETCH(int, from);
        const OperationRecord old = sampleRecord(QStringLiteral("OLD"), at(1), ResultPassed);
        {
            const bool sqlite = kind == Sqlite;
            SqlConnection connection(sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"));
            QSqlDatabase& database = connection.database();
            QString error;
            if (sqlite) {
                database.setDatabaseName(url.mid(7));
            } else {
                const ServerAddress address = *parseServerUrl(url, &error);
                database.setHostName(address.host);
                database.setPort(address.port);
                database.setUserName(address.user);
                database.setDatabaseName(address.database);
            }
            QVERIFY2(database.open(), qPrintable(database.lastError().text()));
            const Dialect dialect = sqlite ? Dialect::Sqlite : Dialect::Postgres;
            QCOMPARE(migrateSchema(database, dialect, from), QString());
            QCOMPARE(readSchemaVersion(database), from);
            QCOMPARE(insertRecord(database, dialect, old), QString());
        }
        const OperationRecord fresh = sampleRecord(QStringLiteral("NEW"), at(2), ResultPassed);
        ChosenStore chosen = openChosenStore(url, {}, dataFolder());
        if (from > SchemaVersion) {
            const QString why = chosen.store ? chosen.store->add(fresh).reason : chosen.error;
            QVERIFY2(why.contains(QStringLiteral("schema version %1").arg(from)), qPrintable(why));
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
        QTest::newRow("password in the URL") << "postgresql://tunekit:secret@db/records" << ""
                                             << "A records URL holds no password";
        QTest::newRow("no database") << "postgres://tunekit@db" << "" << "names no database";
        QTest::newRow("other scheme") << "mysql://db/records" << "" << "is no records URL";
    }
    void choosesStore()
    {
        QFETCH(QString, option);
        QFETCH(QString, environment);
        QFETCH(QString, described);
        const QString dir = folder_.path();
        const ChosenStore chosen = openChosenStore(option.replace(QStringLiteral("{dir}"), dir),
                                                   environment.replace(QStringLiteral("{dir}"), dir),
                                                   folder_.filePath(QStringLiteral("data")));
        const QString shown = chosen.store ? chosen.store->description() : chosen.error;
        QVERIFY2(shown.contains(described.replace(QStringLiteral("{dir}"), dir)), qPrintable(shown));
        QCOMPARE(!chosen.store, chosen.store ? false : !chosen.error.isEmpty());
    }

    // CSV cells with commas, quotes and line breaks are quoted; the changes are one cell.
    void csvQuotesItsCells()
    {
        const OperationRecord record = sampleRecord(QStringLiteral("12345"), at(15), ResultFailed);
        QCOMPARE(recordsCsvHeader(), QStringLiteral("id,time,end,station,port,adapter,accessLevel,command,serialNumber,"
                                                    "configId,productionNumber,file,fileSha256,backup,changes,result,"
                                                    "exitCode,message,version\n"));
        QCOMPARE(recordCsvLine(record),
                 record.id + QStringLiteral(",2025-03-01T08:15:00.250Z,2025-03-01T08:16:23.500Z,bench-7,/dev/ttyUSB0,"
                                            "FT4ZQ1A7,Production,write,12345,53,P-2231,\"/plant/Kran 3, \"\"Halle\"\".scd\",")
                     + record.fileSha256 + QStringLiteral(",backups/12345_20250301-081500.scd,"
                                                          "\"TransmitPower: 20 -> 27; Name: Kran; alt -> Größe \"\"B\"\"\","
                                                          "failed,7,\"Line one\nline two\",")
                     + record.version + QStringLiteral("\n"));
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
