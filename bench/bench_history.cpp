// bench_history: how fast a unit's history opens from a plant's records server, as the window's
// History and `tunekit-cli records --history` open it.
//
//   bench_history [--postgres URL] [--unit-records N] [--others N]
//
// Fills a fresh schema of the server's database (or the one TUNEKIT_TEST_POSTGRES names) with N
// records of one unit (default 1,000) among other units' records (default 50,000), then opens
// that unit's history five times. Reported: the median time against the 0.5 s a technician
// waits at most, and as a ratio to the reference measured in the same run, one query of a unit
// with a single record (a round trip with the same connection and the same filter).
#include "records/postgres_store.h"
#include "records/sql_records.h"
#include "records/store_choice.h"
#include "records/unit_history.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace tunekit::records;

OperationRecord unitRecord(const QString& serial, int i, const QDateTime& first)
{
    OperationRecord record = startRecord(i % 3 == 0 ? QStringLiteral("write") : QStringLiteral("read"),
                                         QStringLiteral("service-desk-%1").arg(i % 4), first.addSecs(3600LL * i));
    record.ended = record.started.addSecs(40);
    record.port = QStringLiteral("/dev/ttyUSB0");
    record.accessLevel = QStringLiteral("service");
    record.serialNumber = serial;
    record.configId = 53;
    record.file = QStringLiteral("/service/templates/crane-%1.scd").arg(i % 12);
    record.fileSha256 = QString::fromLatin1(QByteArray::number(i).repeated(64).left(64));
    for (int c = 0; c < 5; ++c)
        record.changes.append({QStringLiteral("Value%1").arg(c), QString::number(i + c), QString::number(i + c + 1)});
    record.result = QLatin1StringView(ResultPassed);
    record.message = QStringLiteral("Written and verified.");
    return record;
}

// Puts the records into the server's database in one transaction; "" or the error.
QString fill(const QString& url, int unitRecords, int others)
{
    QString error;
    const std::optional<ServerAddress> server = parseServerUrl(url, &error);
    if (!server)
        return error;
    SqlConnection connection(QStringLiteral("QPSQL"));
    QSqlDatabase& database = connection.database();
    server->applyTo(database, 10);
    if (!database.open())
        return database.lastError().text();
    QSqlQuery clear(database);
    clear.exec(QStringLiteral("DROP TABLE IF EXISTS records, record_schema"));
    if (QString migrated = migrateSchema(database, Dialect::Postgres); !migrated.isEmpty())
        return migrated;
    if (!database.transaction())
        return QStringLiteral("no transaction");
    const QDateTime first(QDate(2024, 3, 1), QTime(6, 0), Qt::UTC);
    for (int i = 0; i < others + unitRecords; ++i) {
        // The unit's records spread among the others, as a unit comes back now and then.
        const bool unit = i % ((others + unitRecords) / unitRecords) == 0 && i / ((others + unitRecords) / unitRecords) < unitRecords;
        const QString serial = unit ? QStringLiteral("9830001234") : QString::number(40'000'000 + i);
        if (QString inserted = insertRecord(database, Dialect::Postgres, unitRecord(serial, i, first)); !inserted.isEmpty())
            return inserted;
    }
    return database.commit() ? QString() : QStringLiteral("the records were not committed");
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QString url = qEnvironmentVariable("TUNEKIT_TEST_POSTGRES");
    int unitRecords = 1000;
    int others = 50'000;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments.at(i) == QLatin1StringView("--postgres"))
            url = arguments.at(i + 1);
        else if (arguments.at(i) == QLatin1StringView("--unit-records"))
            unitRecords = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1StringView("--others"))
            others = arguments.at(i + 1).toInt();
    }
    if (url.isEmpty() || unitRecords < 1 || others < 0) {
        std::fprintf(stderr, "usage: bench_history --postgres URL [--unit-records N] [--others N]\n");
        return 2;
    }
    if (const QString error = fill(url, unitRecords, others); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QTemporaryDir data;
    const ChosenStore chosen = openChosenStore(url, QString(), data.path());
    if (!chosen.store) {
        std::fprintf(stderr, "%s\n", qPrintable(chosen.error));
        return 1;
    }
    std::vector<double> history;
    std::vector<double> reference;
    qsizetype shown = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        const UnitHistory opened = unitHistory(*chosen.store, QStringLiteral("9830001234"));
        QStringList lines{historySummary(opened)};
        for (const OperationRecord& record : opened.records)
            lines << historyFields(record).join(QLatin1Char('\t'));
        history.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        shown = opened.records.size();
        timer.restart();
        const UnitHistory single = unitHistory(*chosen.store, QString::number(40'000'001));
        reference.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (!opened.error.isEmpty() || !single.error.isEmpty()) {
            std::fprintf(stderr, "%s%s\n", qPrintable(opened.error), qPrintable(single.error));
            return 1;
        }
    }
    const double took = median(history);
    std::printf("history of a unit with %lld records among %d others: %.3f s (goal < 0.5 s); "
                "one-record unit %.4f s; ratio %.1f\n",
                static_cast<long long>(shown), others, took, median(reference), took / median(reference));
    return shown == unitRecords && took < 0.5 ? 0 : 1;
}
