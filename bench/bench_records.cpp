// bench_records: several processes writing traceability records to one store at once, as the
// stations of a line do.
//
//   bench_records [--processes N] [--records N] [--postgres URL] [--server-control COMMAND]
//
// Each of N processes (default 8) writes its records (default 1,000) to a fresh SQLite file, then
// to the PostgreSQL server of --postgres or TUNEKIT_TEST_POSTGRES when one is named. Before that,
// one process alone writes the same number, as the reference. Reported: wall time, time per
// record, records per second, the ratio of the shared store's throughput to one writer's alone,
// and whether every record landed exactly once (checked by reading them all back). With
// --server-control, the PostgreSQL run does it again while the server is stopped ("COMMAND stop")
// in the middle and started again ("COMMAND start") a second later: what the server could not
// take is kept locally and sent by the next store that reaches it, each record once.
#include "records/store_choice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace tunekit::records;

struct Run {
    double seconds = 0;
    int landed = 0;    // records read back
    int duplicates = 0;
    bool writersOk = true;
};

// processes writers of count records each, to the store url; then reads them back by serial.
// serverControl: a command that stops and starts the server, run while they write.
Run writeAtOnce(const QString& url, const QString& dataFolder, int processes, int count,
                const QString& serverControl = {})
{
    const QString tag = QUuid::createUuid().toString(QUuid::Id128).left(8);
    std::vector<std::unique_ptr<QProcess>> writers;
    QElapsedTimer timer;
    timer.start();
    for (int w = 0; w < processes; ++w) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writers.back()->start(QStringLiteral(TUNEKIT_RECORDS_WRITER),
                              {url, dataFolder, QString::number(count), QStringLiteral("%1-%2").arg(tag).arg(w)});
    }
    bool restarted = true;
    if (!serverControl.isEmpty()) {
        QThread::msleep(300);
        restarted = QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), serverControl + QStringLiteral(" stop")}) == 0;
        QThread::msleep(1000);
        restarted = QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), serverControl + QStringLiteral(" start")}) == 0
                    && restarted;
    }
    Run run;
    run.writersOk = restarted;
    for (auto& writer : writers) {
        writer->waitForFinished(-1);
        run.writersOk = run.writersOk && writer->exitStatus() == QProcess::NormalExit && writer->exitCode() == 0;
    }
    run.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const ChosenStore chosen = openChosenStore(url, {}, dataFolder);
    if (!chosen.store) {
        std::fprintf(stderr, "%s\n", qPrintable(chosen.error));
        run.writersOk = false;
        return run;
    }
    QSet<QString> ids;
    for (int w = 0; w < processes; ++w) {
        const RecordQuery found = chosen.store->query({QStringLiteral("%1-%2").arg(tag).arg(w), {}, {}, {}});
        for (const OperationRecord& record : found.records) {
            ++run.landed;
            if (ids.contains(record.id))
                ++run.duplicates;
            ids.insert(record.id);
        }
    }
    return run;
}

// Every writer's records, once each, with the server stopped and started in the middle.
bool reportRestart(const QString& url, const QString& dataFolder, int processes, int count, const QString& serverControl)
{
    const Run run = writeAtOnce(url, dataFolder, processes, count, serverControl);
    const int total = processes * count;
    const bool exact = run.writersOk && run.landed == total && run.duplicates == 0;
    std::printf("PostgreSQL stopped and started while %d processes wrote: %.2f s, %d of %d records landed, %d twice -> %s\n",
                processes, run.seconds, run.landed, total, run.duplicates, exact ? "ok" : "LOST OR DOUBLED");
    return exact;
}

bool report(const char* store, const QString& url, const QString& dataFolder, int processes, int count)
{
    const Run alone = writeAtOnce(url, dataFolder, 1, count);
    const Run shared = writeAtOnce(url, dataFolder, processes, count);
    const int total = processes * count;
    const double aloneRate = count / alone.seconds;
    const double sharedRate = total / shared.seconds;
    std::printf("%s, one process, %d records: %.2f s, %.3f ms a record, %.0f records/s\n", store, count,
                alone.seconds, alone.seconds * 1000 / count, aloneRate);
    std::printf("%s, %d processes at once, %d records: %.2f s, %.3f ms a record, %.0f records/s "
                "(%.2f x one process's rate)\n",
                store, processes, total, shared.seconds, shared.seconds * 1000 / total, sharedRate,
                sharedRate / aloneRate);
    const bool exact = alone.writersOk && shared.writersOk && alone.landed == count && shared.landed == total
                       && alone.duplicates == 0 && shared.duplicates == 0;
    std::printf("%s: %d of %d records landed, %d twice, writers %s -> %s\n", store, shared.landed, total,
                shared.duplicates, shared.writersOk ? "all stored" : "FAILED", exact ? "ok" : "LOST OR DOUBLED");
    return exact;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int processes = 8;
    int count = 1000;
    QString postgres = qEnvironmentVariable("TUNEKIT_TEST_POSTGRES");
    QString serverControl;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments.at(i) == QLatin1StringView("--processes"))
            processes = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1StringView("--records"))
            count = arguments.at(i + 1).toInt();
        else if (arguments.at(i) == QLatin1StringView("--postgres"))
            postgres = arguments.at(i + 1);
        else if (arguments.at(i) == QLatin1StringView("--server-control"))
            serverControl = arguments.at(i + 1);
    }
    if (processes < 1 || count < 1) {
        std::fprintf(stderr, "usage: bench_records [--processes N] [--records N] [--postgres URL] [--server-control COMMAND]\n");
        return 2;
    }
    QTemporaryDir folder;
    bool exact = report("SQLite", QStringLiteral("sqlite:") + folder.filePath(QStringLiteral("records.sqlite")),
                        folder.path(), processes, count);
    if (postgres.isEmpty())
        std::printf("PostgreSQL: skipped (no --postgres URL and no TUNEKIT_TEST_POSTGRES)\n");
    else
        exact = report("PostgreSQL", postgres, folder.path(), processes, count) && exact;
    if (!postgres.isEmpty() && !serverControl.isEmpty())
        exact = reportRestart(postgres, folder.path(), processes, count, serverControl) && exact;
    return exact ? 0 : 1;
}
