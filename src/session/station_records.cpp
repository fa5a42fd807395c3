// The records a station keeps: a run begun, described from what the station sent and read,
// ended and handed to the sink.
#include "session/station.h"

#include "base/dialogs.h"
#include "params/config_defines.h"
#include "session/unit_record.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tunekit {

void Station::setRecords(records::RecordSink* sink, Recording recording) noexcept
{
    records_ = sink;
    recording_ = sink ? recording : Recording::Off;
}

void Station::beginRun(const QString& command, const QString& file)
{
    RecordRun run;
    run.record = records::startRecord(command, site_ ? site_().station : QString(), QDateTime::currentDateTimeUtc());
    if (!file.isEmpty()) {
        run.record.file = QFileInfo(file).absoluteFilePath();
        run.record.fileSha256 = fileSha256(file);
    }
    run.before = deviceValues_;
    // The unit as the station last read it, until a read in the run says otherwise.
    run.record.serialNumber = knownUnit_.serialNumber;
    run.record.configId = knownUnit_.configId;
    run.record.productionNumber = knownUnit_.productionNumber;
    run_ = std::move(run);
}

records::OperationRecord Station::runRecord() const
{
    return run_ ? run_->record : lastRecord_;
}

bool Station::beginOwnRun(const char* command)
{
    if (run_ || recording_ != Recording::EveryOperation || operations_ > 0)
        return false;
    beginRun(QString::fromLatin1(command));
    run_->own = true;
    return true;
}

QCoro::Task<> Station::endOwnRun(bool own, bool passed)
{
    if (!own)
        co_return;
    const records::RecordOutcome outcome = co_await keep(closeRun(passed, passed ? 0 : 1, QString()));
    if (const QString note = records::outcomeNote(outcome); !note.isEmpty())
        dialogs_.msgBox(note, MsgButtons::Ok,
                        outcome.status == records::RecordOutcome::Status::Stored ? MsgIcon::Information
                                                                                 : MsgIcon::Exclamation,
                        QStringLiteral("Tunekit"));
}

records::OperationRecord Station::closeRun(bool passed, int exitCode, const QString& message)
{
    RecordRun run = std::move(*run_);
    run_.reset();
    records::OperationRecord& record = run.record;
    if (site_) {
        const RecordSite site = site_();
        record.port = site.port;
        record.adapter = site.adapter;
    }
    if (accessLevel_)
        record.accessLevel = QString::fromLatin1(accessLevel_().recordName());
    describeChanges(run);
    record.ended = QDateTime::currentDateTimeUtc();
    record.result = QString::fromLatin1(passed ? records::ResultPassed : records::ResultFailed);
    record.exitCode = exitCode;
    record.message = message;
    lastRecord_ = record;
    return record;
}

QCoro::Task<records::RecordOutcome> Station::keep(records::OperationRecord record)
{
    if (!records_ || recording_ == Recording::Off)
        co_return records::RecordOutcome{records::RecordOutcome::Status::Failed,
                                         QCoreApplication::translate("Station", "No records are kept here.")};
    co_return co_await cancelScope_.race(records_->keep(std::move(record)));
}

QCoro::Task<records::RecordOutcome> Station::endRun(bool passed, int exitCode, QString message)
{
    if (!run_)
        co_return records::RecordOutcome{records::RecordOutcome::Status::Failed, {}};
    try {
        co_return co_await keep(closeRun(passed, exitCode, message));
    } catch (const OperationCancelled&) {
        // The store has the record all the same; its answer is not waited for.
    }
    co_return records::RecordOutcome{records::RecordOutcome::Status::Failed,
                                     QCoreApplication::translate("Station", "Closed before the records' store answered.")};
}

void Station::endCancelledRun()
{
    if (!run_ || !run_->own)
        return;
    const records::OperationRecord record =
        closeRun(false, 1, QCoreApplication::translate("Station", "Cancelled before it ended."));
    if (records_ && recording_ != Recording::Off) {
        // Goes on by itself: the store takes the record whether anybody waits for it or not.
        QCoro::Task<records::RecordOutcome> keeping = records_->keep(record);
    }
}

void Station::forgetDevice()
{
    deviceValues_ = {};
    knownUnit_ = {};
}

void Station::learnFromRead(const ReadOutcome& read)
{
    if (read.configId == 0 || !read.familyKnown)
        return;
    for (int nr = 1; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        if (image_.applicable[i] && !image_.value[i].isEmpty())
            deviceValues_[i] = image_.value[i];
    }
    if (read.complete)
        describeUnit(knownUnit_, *this);
    if (!run_)
        return;
    if (!run_->written) {
        for (std::size_t i = 1; i < deviceValues_.size(); ++i) {
            if (run_->before[i].isEmpty())
                run_->before[i] = deviceValues_[i];
        }
    }
    // The unit as it came: its first read in the run names it, unless that read was cut short
    // and only a later one (a write's read-back) is whole.
    if (read.complete && run_->record.serialNumber.isEmpty())
        describeUnit(run_->record, *this);
    if (run_->record.configId == 0)
        run_->record.configId = read.configId;
}

void Station::learnFromWrite(const WriteReport& report)
{
    if (!report.anythingSent)
        return;
    const DeviceWrites::WrittenParameters written = writes_->writtenParameters();
    const ParamArray<QString>& values = writes_->uploadedValues();
    for (std::size_t i = 1; i < deviceValues_.size(); ++i) {
        if (written.reached[i])
            deviceValues_[i] = values[i];
    }
    if (!run_)
        return;
    run_->written = true;
    for (std::size_t i = 1; i < deviceValues_.size(); ++i) {
        if (!written.planned[i])
            continue;
        run_->planned[i] = true;
        run_->reached[i] = run_->reached[i] || written.reached[i];
        run_->wanted[i] = values[i];
    }
}

void Station::describeChanges(RecordRun& run) const
{
    QList<records::RecordChange>& changes = run.record.changes;
    changes.clear();
    if (!run.written)
        return;
    ParamArray<bool> reached = run.reached;
    reached[ConfigIdNr] = false;
    // The ConfigID is a number of its own: compared as text.
    if (run.reached[ConfigIdNr] && run.before[ConfigIdNr] != deviceValues_[ConfigIdNr])
        changes.append({QStringLiteral("ConfigID"), run.before[ConfigIdNr], deviceValues_[ConfigIdNr]});
    for (const ValueDifference& difference : compareValues(run.before, deviceValues_, reached))
        changes.append({difference.name, difference.left, difference.right});
    for (int nr = 1; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        if (run.planned[i] && !run.reached[i])
            changes.append({findConfigDefine(nr).name.toString(), run.before[i], run.wanted[i], false});
    }
}

} // namespace tunekit
