// bench_record_export: tunekit-cli records exporting a large store, as a plant exports a year's
// traceability records.
//
//   bench_record_export [--records N] [--changes N] [--store PATH] [--cli PATH]
//
// Fills a fresh SQLite store (or the file --store names, when it is not there yet) with N records
// (default 100,000) of N changed values each (default 27), then runs `tunekit-cli records` with
// --json, --csv and as lines against it (--cli: another tunekit-cli, to compare two builds).
// Reported for each: wall time, CPU time, the child's peak resident memory and the bytes it
// printed, and whether the output holds every record (the JSON document parsed and counted, the
// CSV and the lines counted).
#include "records/record_format.h"
#include "records/sql_records.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// Fills the store at path in one transaction; "" or the error.
QString fill(const QString& path, int count, int changes)
{
    SqlConnection connection(QStringLiteral("QSQLITE"));
    QSqlDatabase& database = connection.database();
    database.setDatabaseName(path);
    if (!database.open())
        return QStringLiteral("%1 cannot be opened").arg(path);
    if (QString error = migrateSchema(database, Dialect::Sqlite); !error.isEmpty())
        return error;
    if (!database.transaction())
        return QStringLiteral("no transaction");
    const QDateTime first(QDate(2024, 3, 1), QTime(6, 0), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        if (QString error = insertRecord(database, Dialect::Sqlite, benchRecord(i, changes, first)); !error.isEmpty())
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
    QString cli = QStringLiteral(TUNEKIT_CLI_EXECUTABLE);
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments.at(i) == QLatin1StringView("--records"))
            count = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1StringView("--changes"))
            changes = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1StringView("--store"))
            store = arguments.at(i + 1);
        else if (arguments.at(i) == QLatin1StringView("--cli"))
            cli = arguments.at(i + 1);
    }
    if (count < 1 || changes < 0 || arguments.size() % 2 == 0) {
        std::fprintf(stderr, "usage: bench_record_export [--records N] [--changes N] [--store PATH] [--cli PATH]\n");
        return 2;
    }
    QTemporaryDir folder;
    if (store.isEmpty())
        store = folder.filePath(QStringLiteral("records.sqlite"));
    if (!QFileInfo::exists(store)) {
        QElapsedTimer timer;
        timer.start();
        if (const QString error = fill(store, count, changes); !error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("filled %s: %d records of %d changes, %.1f MiB, in %.1f s\n", qPrintable(store), count, changes,
                    static_cast<double>(QFileInfo(store).size()) / (1024.0 * 1024.0),
                    static_cast<double>(timer.elapsed()) / 1000.0);
    } else {
        std::printf("using %s as it is (expecting %d records)\n", qPrintable(store), count);
    }
    std::fflush(stdout);
    // A child's peak as the system counts it is never below its parent's at the time it started
    // (the parent's memory is the child's until it runs the program): the bench stays small until
    // every export ran, and checks the outputs only then.
    rusage own{};
    getrusage(RUSAGE_SELF, &own);
    std::printf("this bench's own peak before the exports: %.1f MiB resident\n", static_cast<double>(own.ru_maxrss) / 1024.0);
    const QStringList formats{QStringLiteral("--json"), QStringLiteral("--csv"), QString()};
    QList<Export> exports;
    for (const QString& format : formats) {
        QStringList words{QStringLiteral("records"), QStringLiteral("--records"), QStringLiteral("sqlite:") + store};
        if (!format.isEmpty())
            words << format;
        exports << run(cli, words, folder.filePath(QStringLiteral("export%1.out").arg(exports.size())));
    }
    bool allThere = true;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        const Export& figures = exports.at(i);
        const QString outFile = folder.filePath(QStringLiteral("export%1.out").arg(i));
        const qsizetype found = recordsIn(formats.at(i), outFile);
        const bool complete = figures.exit == 0 && found == count;
        allThere = allThere && complete;
        std::printf("records %-7s exit %d, %7.2f s wall, %7.2f s CPU, peak %7.1f MiB resident, %7.1f MiB printed, "
                    "%lld records -> %s\n",
                    formats.at(i).isEmpty() ? "(lines)" : qPrintable(formats.at(i)), figures.exit, figures.seconds,
                    figures.cpuSeconds, figures.peakMiB, static_cast<double>(QFileInfo(outFile).size()) / (1024.0 * 1024.0),
                    static_cast<long long>(found), complete ? "ok" : "INCOMPLETE");
        QFile::remove(outFile);
    }
    return allThere ? 0 : 1;
}
