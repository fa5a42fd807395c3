#include "production/production_channel.h"

#include "access/access_levels.h"
#include "host/host_facts.h"
#include "link/clock.h"
#include "link/waits.h"
#include "params/config_tab.h"
#include "session/unit_record.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTime>

#include <algorithm>

namespace tunekit {
namespace {

// How often an armed channel asks whether a unit answers.
constexpr qint64 PollMs = 1000;

} // namespace

MsgAnswer FixedAnswers::msgBox(const QString& text, MsgButtons buttons, MsgIcon, const QString&)
{
    messages.append(text);
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

QCoro::Task<MsgAnswer> FixedAnswers::ask(Question question, QString text, MsgButtons buttons, MsgIcon, QString)
{
    bool yes = false;
    switch (question) {
    case Question::UninitialisedValues: yes = settings_.initialiseErasedValues; break;
    case Question::Calibration: yes = settings_.writeCalibration; break;
    case Question::ConfigIdMismatch: yes = false; break; // a unit of another family is never written
    case Question::ExtendedData: yes = settings_.writeExtendedData; break;
    case Question::ConvertFile: yes = false; break;
    case Question::OutOfRange: yes = false; break; // the line writes what its descriptions allow
    case Question::RestoreBackup: yes = false; break;
    }
    messages.append(text);
    if (buttons == MsgButtons::OkCancel)
        co_return yes ? MsgAnswer::Ok : MsgAnswer::Cancel;
    co_return yes ? MsgAnswer::Yes : MsgAnswer::No;
}

ProductionChannel::ProductionChannel(ChannelSeams seams, const ProductionSettings& settings,
                                     std::function<AccessLevel()> level, VersionInfo version)
    : seams_(seams), settings_(settings), level_(std::move(level)), version_(std::move(version)), answers_(settings),
      station_(StationSeams{seams.line, seams.clock, answers_}, *this, level_)
{
    station_.prepareForUnit(levelMarks(level_()));
    station_.setRecords(seams.records, Recording::HeldRuns);
    station_.setRecordSite([this] { return RecordSite{seams_.host.computerName(), seams_.port, seams_.adapter}; });
    // A unit is reset when the channel connects and after it stored the written values, never
    // between the batches of its cycle.
    station_.setResetPolicy(ResetPolicy::WhereNeeded);
    // The trace holds the answers at every level.
    station_.traceReceivedTraffic();
}

ProductionChannel::~ProductionChannel()
{
    changed_ = {};
    close();
}

void ProductionChannel::close()
{
    stop();
    station_.close();
    polls_.cancel();
}

bool ProductionChannel::open()
{
    const bool opened = station_.openAdapterPort(1);
    portOpen_ = opened;
    if (!opened) {
        message_ = tr("The port cannot be opened.");
        show(State::Idle);
    }
    return opened;
}

void ProductionChannel::releasePort()
{
    if (automatic_ || state_ == State::Working)
        return;
    station_.closePort();
    portOpen_ = false;
}

void ProductionChannel::changed(StationChanges) {}

void ProductionChannel::progressChanged(const TransferProgress& progress)
{
    if (state_ != State::Working)
        return;
    // One bar for the unit, forward only: each transfer fills its own share of it, and 100 %
    // comes only with the result.
    const int within = phase_.from + progress.overall * (phase_.to - phase_.from) / 100;
    progress_ = std::max(progress_, std::min(within, 99));
    if (changed_)
        changed_();
}

void ProductionChannel::logged(const TrafficEntry& entry)
{
    if (const std::optional<QString> line = traceText(entry))
        addToTrace(*line);
}

void ProductionChannel::enterPhase(ProgramStep step)
{
    switch (step) {
    case ProgramStep::Reading: phase_ = {5, 35}; break;
    case ProgramStep::Writing: phase_ = {35, 80}; break;
    case ProgramStep::Verifying: phase_ = {80, 99}; break;
    case ProgramStep::BackedUp:
    case ProgramStep::Opening:
    case ProgramStep::TransferEnded: break;
    }
}

void ProductionChannel::addToTrace(const QString& line)
{
    const QString stamped = seams_.host.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) + line;
    if (state_ == State::Working) {
        trace_.append(stamped);
        return;
    }
    // Between units the channel asks for one once a second: only the last of those lines stay.
    idleLines_.append(stamped);
    if (idleLines_.size() > IdleTraceLines) {
        idleLines_.removeFirst();
        ++idleLinesLeftOut_;
    }
}

QStringList ProductionChannel::trace() const
{
    QStringList lines = trace_;
    if (idleLinesLeftOut_ > 0)
        lines.append(tr("(%n earlier lines of waiting for a unit left out)", nullptr, int(idleLinesLeftOut_)));
    return lines + idleLines_;
}

void ProductionChannel::show(State state)
{
    state_ = state;
    if (changed_)
        changed_();
}

QCoro::Task<bool> ProductionChannel::unitPresent()
{
    const int configId = co_await station_.lookForUnit();
    answers_.messages.clear();
    co_return configId != 0;
}

QCoro::Task<bool> ProductionChannel::finish(bool passed, const QString& message)
{
    message_ = message.isEmpty() && !answers_.messages.isEmpty() ? answers_.messages.last() : message;
    const records::RecordOutcome outcome = co_await station_.endRun(passed, passed ? 0 : 1, message_);
    if (seams_.records) {
        if (const QString note = records::outcomeNote(outcome); !note.isEmpty())
            message_ += (message_.isEmpty() ? QString() : QStringLiteral("\n")) + note;
        // A unit whose record is lost cannot be proved: it does not pass.
        if (outcome.status == records::RecordOutcome::Status::Failed)
            passed = false;
    }
    ++(passed ? passed_ : failed_);
    addToTrace(QStringLiteral("--- ") + tr("Unit ends: %1, serial number %2. %3")
                                             .arg(passed ? QStringLiteral("PASS") : QStringLiteral("FAIL"),
                                                  serialNumber_.isEmpty() ? QStringLiteral("-") : serialNumber_, message_));
    show(passed ? State::Passed : State::Failed);
    co_return passed;
}

QCoro::Task<bool> ProductionChannel::programUnit()
{
    station_.beginRun(QStringLiteral("write"), settings_.file);
    answers_.messages.clear();
    serialNumber_.clear();
    message_.clear();
    progress_ = 0;
    phase_ = {0, 5}; // the detection
    trace_ = trace();
    idleLines_.clear();
    idleLinesLeftOut_ = 0;
    show(State::Working);
    addToTrace(QStringLiteral("--- ") + tr("Unit begins: %1").arg(QFileInfo(settings_.file).fileName()));
    const auto fail = [this](const QString& why) { return finish(false, why); };
    if (!portOpen_ && !open())
        co_return co_await fail(message_);

    station_.prepareForUnit(levelMarks(level_()));
    if (co_await station_.detect() == 0)
        co_return co_await fail(tr("No unit answers."));
    // The row shows the unit's serial number as soon as it is read.
    const ProgramRequest request{settings_.file, settings_.backupFolder, true, seams_.host, version_,
                                 [this](ProgramStep step, const ProgramReport&) {
                                     serialNumber_ = station_.runRecord().serialNumber;
                                     enterPhase(step);
                                     return true;
                                 }};
    const ProgramReport report = co_await station_.programUnit(request);
    const ReadOutcome& read = report.read;
    using Stage = ProgramReport::Stage;
    switch (report.stage) {
    case Stage::ReadIncomplete:
        if (read.configId != 0 && !read.familyKnown)
            co_return co_await fail(tr("The unit reports ConfigID %1, a family Tunekit does not know.").arg(read.configId));
        co_return co_await fail(unreadValuesText(read));
    case Stage::BackupFailed: co_return co_await fail(tr("The backup was not written; nothing was written to the unit."));
    case Stage::PartlyWritten:
        co_return co_await fail(tr("The write stopped: the unit is partly written. Its backup: %1").arg(station_.runRecord().backup));
    case Stage::NotVerified: {
        QStringList names;
        for (const ValueDifference& mismatch : report.verify.mismatches)
            names << mismatch.name;
        // Made before it is awaited: GCC destroys the temporaries of a conditional inside co_await twice.
        const QString why = report.verify.readBack.complete
                                ? tr("The unit holds other values than the file: %1").arg(names.join(QStringLiteral(", ")))
                                : tr("The unit did not answer the read-back.");
        co_return co_await fail(why);
    }
    case Stage::Cancelled:
        co_return co_await fail(tr("Cancelled before the unit was finished: what it holds is not known."));
    case Stage::Verified: break;
    default: co_return co_await fail(QString()); // the answers' last message tells why
    }
    // The station's record names the unit as it was read before the write, as its backup does.
    serialNumber_ = station_.runRecord().serialNumber;
    progress_ = 100;
    const QString result = report.write.extendedDataSent ? tr("Written and verified; extended data written.")
                                                         : tr("Written and verified.");
    co_return co_await finish(true, result);
}

QCoro::Task<> ProductionChannel::runAutomatic()
{
    if (automatic_)
        co_return;
    if (!portOpen_ && !open())
        co_return;
    automatic_ = true;
    // Switched off and on again while this run still waits: the older run ends when it wakes.
    const int run = ++automaticRuns_;
    const auto armed = [this, run] { return automatic_ && run == automaticRuns_; };
    const Lifetime alive = alive_;
    show(State::Waiting);
    try {
        while (armed()) {
            if (!co_await unitPresent()) {
                co_await Pause(seams_.clock, PollMs, alive, &polls_);
                continue;
            }
            if (!armed())
                break;
            co_await programUnit();
            // The result stays on show until the unit is taken away; then the channel arms again.
            while (armed() && co_await unitPresent())
                co_await Pause(seams_.clock, PollMs, alive, &polls_);
            if (armed()) {
                // The unit is gone: nothing of it stays on show for the next one.
                serialNumber_.clear();
                message_.clear();
                progress_ = 0;
                show(State::Waiting);
            }
        }
    } catch (const OperationCancelled&) {
        // The channel was closed.
        co_return;
    }
    if (run == automaticRuns_ && !automatic_)
        show(State::Idle);
}

} // namespace tunekit
