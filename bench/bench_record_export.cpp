// bench_record_export: tunekit-cli records exporting a large store, as a plant exports a year's
// traceability records.
//
//   bench_record_export [--records N] [--changes N] [--store PATH] [--postgres URL] [--cli PATH]
//
// Fills a fresh SQLite store (or the file --store names, unless it holds records already) with N
// records (default 100,000) of N changed values each (default 27), and so the database of
// --postgres, then runs `tunekit-cli records` with --json, --csv and as lines against each (--cli:
// another tunekit-cli, to compare two builds).
// Reported for each: wall time, CPU time, the child's peak resident memory and the bytes it
// printed, and whether the output holds every record (the JSON document parsed and counted, the
// CSV and the lines counted).
#include "records/postgres_store.h"
#include "records/record_format.h"
#include "records/sql_records.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace tunekit::records;

// Parameter names as a transmitter's dictionary has them; a write changes some of them.
constexpr const char* Names[] = {"TransmitPower", "ChannelStep",   "ShutdownDelay", "SystemAddress", "OemCode",
                                 "ProdGrp",       "BatteryType",   "ProductionDate", "Channel",      "Frequency",
                                 "ButtonMode",    "JoystickCurve", "EmergencyStop", "StartDelay",    "Display"};

OperationRecord benchRecord(int i, int changes, const QDateTime& first)
{
    const QDateTime started = first.addSecs(90LL * i);
    OperationRecord record = startRecord(QStringLiteral("write"), QStringLiteral("line-3-station-%1").arg(i % 8), started);
    record.ended = started.addMSecs(41'500 + i % 7'000);
    record.port = QStringLiteral("/dev/ttyUSB%1").arg(i % 8);
    record.adapter = QStringLiteral("FT4ZQ%1").arg(i % 8, 3, 10, QLatin1Char('0'));
    record.accessLevel = QStringLiteral("Production");
    record.serialNumber = QString::number(40'000'000 + i);
    record.configId = 53;
    record.productionNumber = QStringLiteral("P-%1").arg(2'000 + i / 500);
    record.file = QStringLiteral("/plant/line-3/templates/crane-%1.scd").arg(i % 40);
    record.fileSha256 = QString::fromLatin1(QByteArray::number(i).repeated(64).left(64));
    record.backup = QStringLiteral("/plant/line-3/backups/%1_20250301-081500.scd").arg(record.serialNumber);
    for (int c = 0; c < changes; ++c) {
        const QString name = QString::fromLatin1(Names[c % std::size(Names)]) + (c < int(std::size(Names)) ? QString() : QString::number(c));
        record.changes.append({name, QString::number((i + c) % 1000), QString::number((i + 3 * c) % 1000)});
    }
    const bool passed = i % 25 != 0;
    record.result = QLatin1StringView(passed ? ResultPassed : ResultFailed);
    record.exitCode = passed ? 0 : 7;
    record.message = passed ? QStringLiteral("Written and verified.")
                            : QStringLiteral("The device holds other values than the file:\nTransmitPower\t20\t27");
    return record;
}

// Opens the store (a SQLite file, or the database of a PostgreSQL URL) and, when it holds no
// records, fills it in one transaction; "" or the error. filled: whether it did.
QString prepare(const QString& url, int count, int changes, bool* filled)
{
    const bool sqlite = url.startsWith(QLatin1StringView("sqlite:"));
    const Dialect dialect = sqlite ? Dialect::Sqlite : Dialect::Postgres;
    SqlConnection connection(sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"));
    QSqlDatabase& database = connection.database();
    if (sqlite) {
        database.setDatabaseName(url.mid(7));
    } else {
        QString error;
        const std::optional<ServerAddress> server = parseServerUrl(url, &error);
        if (!server)
            return error;
        server->applyTo(database, 10);
    }
    if (!database.open())
        return QStringLiteral("%1 cannot be opened: %2").arg(url, database.lastError().text());
    if (QString error = migrateSchema(database, dialect); !error.isEmpty())
        return error;
    QSqlQuery held(database);
    if (!held.exec(QStringLiteral("SELECT count(*) FROM records")) || !held.next())
        return held.lastError().text();
    *filled = held.value(0).toInt() == 0;
    held.finish();
    if (!*filled)
        return {};
    if (!database.transaction())
        return QStringLiteral("no transaction");
    const QDateTime first(QDate(2024, 3, 1), QTime(6, 0), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        if (QString error = insertRecord(database, dialect, benchRecord(i, changes, first)); !error.isEmpty())
            return error;
    }
    return database.commit() ? QString() : QStringLiteral("the records were not committed");
}

struct Export {
    int exit = -1;
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMiB = 0;
};

// Runs the program with its standard output to outFile; the figures are the child's alone.
Export run(const QString& program, const QStringList& arguments, const QString& outFile)
{
    Export result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray out = QFile::encodeName(outFile);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QList<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        words << argument.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return result;
    result.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6; };
    result.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // Linux: KiB
    return result;
}

// How many records the output of the format holds; -1 when it is not what that format prints.
qsizetype recordsIn(const QString& format, const QString& outFile)
{
    QFile file(outFile);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    if (format == QLatin1StringView("--json")) {
        const QJsonValue records = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("records"));
        return records.isArray() ? records.toArray().size() : -1;
    }
    // A failed record's message has a line break: CSV quotes it, the lines show its first line.
    const bool csv = format == QLatin1StringView("--csv");
    qsizetype lines = 0;
    bool quoted = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        quoted = csv && (line.count('"') % 2 == 1) != quoted;
        if (!quoted)
            ++lines;
    }
    return csv ? lines - 1 : lines;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int count = 100'000;
    int changes = 27;
    QString store;
    QString postgres;
    QString cli = QStringLiteral(TUNEKIT_CLI_EXECUTABLE);
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments.at(i) == QLatin1StringView("--records"))
            count = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1StringView("--changes"))
            changes = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1StringView("--store"))
            store = arguments.at(i + 1);
        else if (arguments.at(i) == QLatin1StringView("--postgres"))
            postgres = arguments.at(i + 1);
        else if (arguments.at(i) == QLatin1StringView("--cli"))
            cli = arguments.at(i + 1);
    }
    if (count < 1 || changes < 0 || arguments.size() % 2 == 0) {
        std::fprintf(stderr, "usage: bench_record_export [--records N] [--changes N] [--store PATH] [--postgres URL] [--cli PATH]\n");
        return 2;
    }
    QTemporaryDir folder;
    // A server's records the command cannot reach are kept in the data folder: this one's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder.path()));
    QStringList stores{QStringLiteral("sqlite:") + (store.isEmpty() ? folder.filePath(QStringLiteral("records.sqlite")) : store)};
    if (!postgres.isEmpty())
        stores << postgres;
    for (const QString& url : stores) {
        QElapsedTimer timer;
        timer.start();
        bool filled = false;
        if (const QString error = prepare(url, count, changes, &filled); !error.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(url), qPrintable(error));
            return 1;
        }
        if (filled)
            std::printf("filled %s with %d records of %d changes in %.1f s\n", qPrintable(url), count, changes,
                        static_cast<double>(timer.elapsed()) / 1000.0);
        else
            std::printf("%s holds records already: used as it is (expecting %d)\n", qPrintable(url), count);
    }
    std::fflush(stdout);
    // A child's peak as the system counts it is never below its parent's at the time it started
    // (the parent's memory is the child's until it runs the program): the bench stays small until
    // every export ran, and checks the outputs only then.
    rusage own{};
    getrusage(RUSAGE_SELF, &own);
    std::printf("this bench's own peak before the exports: %.1f MiB resident\n", static_cast<double>(own.ru_maxrss) / 1024.0);
    const QStringList formats{QStringLiteral("--json"), QStringLiteral("--csv"), QString()};
    struct Run {
        QString url;
        QString format;
        QString outFile;
        Export figures;
    };
    QList<Run> runs;
    for (const QString& url : stores) {
        for (const QString& format : formats) {
            QStringList words{QStringLiteral("records"), QStringLiteral("--records"), url};
            if (!format.isEmpty())
                words << format;
            const QString outFile = folder.filePath(QStringLiteral("export%1.out").arg(runs.size()));
            runs.append({url, format, outFile, run(cli, words, outFile)});
        }
    }
    bool allThere = true;
    for (const Run& done : runs) {
        const qsizetype found = recordsIn(done.format, done.outFile);
        const bool complete = done.figures.exit == 0 && found == count;
        allThere = allThere && complete;
        std::printf("%-10s records %-7s exit %d, %7.2f s wall, %7.2f s CPU, peak %7.1f MiB resident, %7.1f MiB printed, "
                    "%lld records -> %s\n",
                    done.url.startsWith(QLatin1StringView("sqlite:")) ? "SQLite" : "PostgreSQL",
                    done.format.isEmpty() ? "(lines)" : qPrintable(done.format), done.figures.exit, done.figures.seconds,
                    done.figures.cpuSeconds, done.figures.peakMiB,
                    static_cast<double>(QFileInfo(done.outFile).size()) / (1024.0 * 1024.0), static_cast<long long>(found),
                    complete ? "ok" : "INCOMPLETE");
        QFile::remove(done.outFile);
    }
    return allThere ? 0 : 1;
}
