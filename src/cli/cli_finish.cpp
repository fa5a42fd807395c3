// How a run of tunekit-cli ends: its result checked against what reached standard output, the
// --json document printed, and the record of a device command kept with the final exit code.
#include "cli/cli_run.h"

#include "cli/cli_json.h"

#include <QJsonArray>

namespace tunekit::cli {

QCoro::Task<Exit> CliRun::finish(Exit exit)
{
    views_.finishProgress();
    if (!dialogs_.refused.isEmpty() && exit == Exit::Ok)
        exit = Exit::Refused;
    if (trace_ && (traceFailed_ || !trace_->flush())) {
        error(tr("The trace file %1 cannot be written.").arg(options_.log));
        if (exit == Exit::Ok || exit == Exit::Differs)
            exit = Exit::Failed;
    }
    // Results that did not reach standard output are a failure, and the record says so.
    bool outputLostTold = false;
    const auto outputLost = [this, &exit, &outputLostTold] {
        if (!console_.outputFailed() || outputLostTold)
            return;
        outputLostTold = true;
        console_.error(tr("The output could not be written completely.") + QLatin1Char('\n'));
        if (exit == Exit::Ok || exit == Exit::Differs)
            exit = Exit::Failed;
    };
    outputLost();
    // -q keeps notes back, but a failure always says why: the device's message may have been one.
    if (exit != Exit::Ok && exit != Exit::Differs && !console_.errorShown() && !lastMessage().isEmpty())
        console_.error(lastMessage() + QLatin1Char('\n'));
    document_.insert(QStringLiteral("packets"), views_.totalPackets());
    document_.insert(QStringLiteral("transferSeconds"), static_cast<double>(views_.transferMs()) / 1000.0);
    if (usesDevice(options_.command)) {
        // Known or not, a device result names its serial number.
        const QString serial = station_ ? station_->runRecord().serialNumber : QString();
        document_.insert(QStringLiteral("serialNumber"), serial.isEmpty() ? QJsonValue() : QJsonValue(serial));
    }
    if (options_.json && headFields_) {
        // The records command printed its head and records already.
        document_.insert(QStringLiteral("exitCode"), static_cast<int>(exit));
        document_.insert(QStringLiteral("messages"), messagesJson());
        QJsonObject rest = document_;
        for (const QString& printed : std::as_const(*headFields_))
            rest.remove(printed);
        console_.out(jsonTail(rest, elementPrinted_));
        outputLost();
        co_return exit;
    }
    if (options_.json)
        printDocumentHead();
    outputLost();
    if (usesDevice(options_.command))
        exit = co_await keepRecord(exit);
    printDocumentTail(exit);
    outputLost();
    co_return exit;
}

void CliRun::printDocumentHead()
{
    QJsonObject head = document_;
    for (const char* key : {"record", "messages", "exitCode"})
        head.remove(QLatin1StringView(key));
    // Indented, the head ends in "\n}\n"; the tail goes in its place.
    console_.out(jsonText(head).chopped(3));
}

QJsonArray CliRun::messagesJson() const
{
    QJsonArray messages;
    for (const CliDialogs::Message& message : dialogs_.messages)
        messages.append(messageJson(codes_.codeFor(message.text), message.icon, message.title, dialogs_.shown(message.text),
                                    message.answer));
    return messages;
}

void CliRun::printDocumentTail(Exit exit)
{
    QJsonObject tail{{QStringLiteral("exitCode"), static_cast<int>(exit)}, {QStringLiteral("messages"), messagesJson()}};
    if (document_.contains(QStringLiteral("record")))
        tail.insert(QStringLiteral("record"), document_.value(QStringLiteral("record")));
    for (auto it = tail.constBegin(); it != tail.constEnd(); ++it)
        document_.insert(it.key(), it.value());
    if (options_.json)
        console_.out(QStringLiteral(",\n") + jsonText(tail).mid(2));
}

QCoro::Task<Exit> CliRun::keepRecord(Exit exit)
{
    if (!station_)
        buildStation();
    Station& station = *station_;
    const records::RecordOutcome outcome =
        co_await station.endRun(commandPassed(options_.command, exit), static_cast<int>(exit), lastMessage());
    using Status = records::RecordOutcome::Status;
    const char* stored = outcome.status == Status::Stored        ? "stored"
                         : outcome.status == Status::KeptLocally ? "keptLocally"
                                                                 : "failed";
    document_.insert(QStringLiteral("record"), QJsonObject{{QStringLiteral("id"), station.lastRecord().id},
                                                           {QStringLiteral("stored"), QLatin1StringView(stored)}});
    const QString note = records::outcomeNote(outcome);
    if (outcome.status == Status::Stored) {
        if (!note.isEmpty())
            this->note(note);
        co_return exit;
    }
    error(note); // on a channel too, whose line shows it
    // A unit without its record cannot be proved: the run fails, whatever the device did.
    if (outcome.status == Status::Failed) {
        error(tr("The record of this run is lost."));
        co_return Exit::RecordLost;
    }
    co_return exit;
}

} // namespace tunekit::cli
