// A process that writes records, for the tests and the benchmark of several writers at once:
//   records_writer URL DATA_FOLDER COUNT SERIAL
// writes COUNT records of the unit SERIAL to the store URL names ("" for the data folder's file).
// Exit 0 when every record was stored or kept locally (to be sent later), 1 otherwise.
#include "records/store_choice.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 5)
        return 2;
    using namespace tunekit::records;
    const ChosenStore chosen = openChosenStore(arguments.at(1), {}, arguments.at(2));
    if (!chosen.store) {
        std::fprintf(stderr, "%s\n", qPrintable(chosen.error));
        return 1;
    }
    const int count = arguments.at(3).toInt();
    int stored = 0;
    for (int i = 0; i < count; ++i) {
        OperationRecord record = startRecord(QStringLiteral("write"), QStringLiteral("bench"), QDateTime::currentDateTimeUtc());
        record.serialNumber = arguments.at(4);
        record.message = QString::number(i);
        record.changes = {{QStringLiteral("TransmitPower"), QStringLiteral("20"), QStringLiteral("27")}};
        record.result = QLatin1StringView(ResultPassed);
        record.ended = QDateTime::currentDateTimeUtc();
        const RecordOutcome outcome = chosen.store->add(record);
        if (outcome.status != RecordOutcome::Status::Failed)
            ++stored;
        else
            std::fprintf(stderr, "%s\n", qPrintable(outcome.reason));
    }
    return stored == count ? 0 : 1;
}
