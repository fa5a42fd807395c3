#include "link/transmit_engine.h"

#include "base/dialogs.h"
#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/waits.h"

#include <QCoreApplication>

#include <cmath>

namespace tunekit {
namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("TransmitEngine", text);
}

// Longer than any reset: 2.2 s plus a long delay of at most 9 s.
constexpr qint64 ResetLimitMs = 15'000;

} // namespace

void TransmitEngine::Connect(SerialPortAccess& port, Dialogs& dialogs, StationViews& views)
{
    port_ = &port;
    dialogs_ = &dialogs;
    views_ = &views;
}

void TransmitEngine::StartReset()
{
    // The reset runs on by itself; Idle() is false until it is over.
    if (port_)
        port_->ResetDevice();
}

void TransmitEngine::SendPacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data)
{
    if (state_.interrupted)
        return;
    state_.queue.Append(MakePacket(type, index, subindex, data));
}

QString TransmitEngine::TimeoutText()
{
    return QStringLiteral("T I M E O U T  !\r\n") + Tr(QT_TRANSLATE_NOOP("TransmitEngine", "interface or device not reacting!"));
}

QString TransmitEngine::LineCorruptText()
{
    return Tr(QT_TRANSLATE_NOOP("TransmitEngine", "The line is corrupting data!")) + QStringLiteral("\r\n")
           + Tr(QT_TRANSLATE_NOOP("TransmitEngine", "The device's answers still arrived damaged after two repeats. Check the cable and the adapter."));
}

qint64 TransmitEngine::NowMs() const
{
    return port_->Time().NowMs();
}

void TransmitEngine::TransmitTick()
{
    if (!views_)
        return;
    if (state_.waitedMs > 0)
        state_.waitedMs = static_cast<qint32>(1 + qBound(qint64(0), NowMs() - state_.sentAtMs, qint64(1'000'000)));
    views_->Changed(StationChange::Status);

    if (resetWhenQuiet_) {
        ResetWhenQuiet();
        return;
    }
    if (state_.waitedMs > rule_.answerMs) {
        ++state_.lostTotal;
        if (rule_.repeatable)
            Repeat(TimeoutText(), true);
        else
            GiveUp(TimeoutText(), true);
        return;
    }
    SendNext();
}

bool TransmitEngine::CanSend() const
{
    return (state_.sending || state_.resendPending) && state_.waitedMs == 0 && !port_->Resetting()
           && !resetWhenQuiet_;
}

bool TransmitEngine::Idle() const
{
    return !state_.sending && state_.waitedMs == 0 && !state_.resendPending && state_.queue.IsEmpty()
           && !resetWhenQuiet_ && !(port_ && port_->Resetting());
}

void TransmitEngine::SendNext()
{
    if (!CanSend())
        return;
    if (state_.interrupted) {
        // A batch started after the stop sends nothing and needs no reset.
        state_.sending = false;
        state_.resendPending = false;
        state_.queue.Clear();
        batchOpen_ = false;
        return;
    }
    if (state_.resendPending) {
        state_.resendPending = false;
        const QString repeat = QStringLiteral(" (repeat %1)").arg(state_.repeats);
        LogDebug(QStringLiteral("TxSend: ") + HexBytes(state_.inFlight) + repeat);
        Transmit(state_.inFlight, QStringLiteral("Transmit") + repeat);
        return;
    }
    if (!batchOpen_)
        StartBatch();
    if (bookkeeping_.startProgress) {
        bookkeeping_.queueAtStart = static_cast<qint32>(state_.queue.Length());
        bookkeeping_.startProgress = false;
    }
    UpdateProgressBars();
    if (state_.queue.IsEmpty()) {
        // Started with nothing queued: the batch is over at once.
        EndOfQueue();
        return;
    }
    state_.inFlight = state_.queue.Front();
    LogDebug(QStringLiteral("TxSend: ") + HexBytes(state_.inFlight));
    Transmit(state_.inFlight, QStringLiteral("Transmit"));
    if (state_.queue.Length() > PacketSize) {
        state_.queue.DropFront();
        bookkeeping_.sentLength += 4;
        return;
    }
    EndOfQueue();
}

void TransmitEngine::Transmit(const QByteArray& packet, const QString& direction)
{
    // Awaited before it leaves, so even an answer that came at once would find it so.
    state_.waitedMs = 1;
    state_.sentAtMs = NowMs();
    rule_ = AnswerRuleFor(packet);
    if (rule_.changesDevice) {
        ++state_.changesSent;
        changedDevice_ = true;
        resetsAtLastChange_ = port_->ResetsStarted();
    }
    state_.Rx.Clear();
    port_->SendText(EncodeFrame(packet));
    LogPacket(packet, direction);
}

void TransmitEngine::StartBatch()
{
    // Nothing of an earlier batch acts in this one: its reset has been carried out or given
    // up, and a half frame or a refusal belongs to it.
    batchOpen_ = true;
    ++progressGeneration_;
    state_.resetPending = false;
    state_.Rx.Clear();
    state_.repeats = 0;
    state_.refusals.clear();
    state_.unsupported.clear();
    state_.gaveUp = false;
}

void TransmitEngine::ReportProgress()
{
    if (views_)
        views_->ProgressChanged(progress_);
}

void TransmitEngine::LogDebug(const QString& text)
{
    views_->Logged({TrafficEntry::Kind::Debug, text, {}});
}

void TransmitEngine::LogPacket(const QByteArray& packet, const QString& direction)
{
    views_->Logged({TrafficEntry::Kind::Packet, direction, packet});
}

void TransmitEngine::UpdateProgressBars()
{
    if (bookkeeping_.queueAtStart > 0) {
        const double p = 100.0 - 100.0 * static_cast<double>(state_.queue.Length()) / bookkeeping_.queueAtStart;
        progress_.overall = p < 0 ? 100 : static_cast<int>(std::lround(p));
    }
    int& max = progress_.partialMax;
    if (bookkeeping_.totalLength != 0 && bookkeeping_.parametersOnly) {
        if (max < 0 || max < state_.packetCount)
            ++max;
        progress_.partial = max - state_.packetCount <= 7 ? max : state_.packetCount;
        ++state_.packetCount;
    } else if (bookkeeping_.totalLength != 0) {
        if (max < state_.packetCount)
            ++max;
        progress_.partial = state_.packetCount;
        ++state_.packetCount;
    } else if (!bookkeeping_.withExtendedData) {
        max = 100;
        progress_.partial = progress_.overall;
    }
    ReportProgress();
}

bool TransmitEngine::ResetsAfterBatch() const
{
    switch (policy_) {
    case ResetPolicy::AfterEveryBatch: return !reset_.automaticResetOff;
    case ResetPolicy::WhereNeeded: return port_ && !port_->ResetSinceOpen();
    }
    return true;
}

bool TransmitEngine::ChangedSinceReset() const
{
    return changedDevice_ && port_ && port_->ResetsStarted() == resetsAtLastChange_;
}

void TransmitEngine::EndOfQueue()
{
    reset_.consoleHintVisible = reset_.automaticResetOff;
    if (ResetsAfterBatch())
        state_.resetPending = true;
    state_.sending = false;
    state_.queue.Clear();
    batchOpen_ = false;
    views_->Changed(StationChange::Status);
    progress_.detail.clear();
    progress_.caption = Tr(QT_TRANSLATE_NOOP("TransmitEngine", "data transfer...ready"));
    progress_.overall = 100;
    if (bookkeeping_.allSent)
        progress_.partial = progress_.partialMax;
    ReportProgress();
    ScheduleHide();
}

void TransmitEngine::ScheduleHide()
{
    // The final state stays on screen for a second without holding the engine; a batch that
    // starts meanwhile, or a command that shows the window with new captions, keeps it open.
    const quint64 generation = ++progressGeneration_;
    const QString ready = progress_.caption;
    port_->Time().Schedule(1000, [this, alive = std::weak_ptr<int>(alive_), generation, ready] {
        if (!alive.lock() || generation != progressGeneration_ || progress_.caption != ready || !progress_.visible)
            return;
        progress_.visible = false;
        ReportProgress();
    });
}

void TransmitEngine::GiveUp(const QString& message, bool deviceMayBeWorking)
{
    state_.gaveUp = true;
    state_.waitedMs = 0;
    state_.resendPending = false;
    state_.repeats = 0;
    state_.queue.Clear();
    state_.Rx.Clear();
    if (batchOpen_ || state_.sending)
        EndOfQueue();
    // Only where the device needs it still means after every batch given up: the device may be
    // half-way through the command or have its configuration open.
    if (policy_ == ResetPolicy::WhereNeeded)
        state_.resetPending = true;
    const bool tell = !message.isEmpty() && port_->State().adapterFound && !state_.quietTimeouts;
    if (state_.resetPending) {
        state_.resetPending = false;
        if (port_->State().portNumber >= 1 && port_->State().adapterFound) {
            if (deviceMayBeWorking) {
                resetWhenQuiet_ = true;
                quietFromMs_ = NowMs();
            } else {
                // The device has answered: it is reset at once, and the message follows the reset.
                ResetThenTell(tell ? message : QString());
                return;
            }
        }
    }
    if (tell)
        Tell(message);
}

QCoro::Task<> TransmitEngine::ResetThenTell(QString message)
{
    co_await port_->ResetDevice();
    if (!message.isEmpty())
        Tell(message);
}

void TransmitEngine::Tell(const QString& message)
{
    dialogs_->MsgBox(message, MsgButtons::Ok, MsgIcon::Critical, Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Error")));
}

void TransmitEngine::ResetWhenQuiet()
{
    // Quiet for as long again as the lost answer was given: a device still at work has had
    // twice its time and a late answer has arrived (and been logged) before the reset.
    const qint64 quietMs = qMax<qint64>(rule_.answerMs, OrdinaryAnswerMs);
    if (NowMs() - qMax(quietFromMs_, lastFrameMs_) < quietMs)
        return;
    resetWhenQuiet_ = false;
    if (port_->State().portNumber >= 1 && port_->State().adapterFound)
        StartReset();
}

void TransmitEngine::ReceiveData(QByteArrayView text)
{
    if (!views_)
        return;
    for (const FrameAssembler::Frame& frame : state_.Rx.Feed(text))
        HandleFrame(frame);
}

namespace {

// The frame as it can be shown on one line.
QString Printable(const QByteArray& frame)
{
    QString text;
    for (const char c : frame.chopped(1))
        text += c >= 32 && c < 127 ? QLatin1Char(c) : QLatin1Char('.');
    return text;
}

} // namespace

void TransmitEngine::HandleFrame(const FrameAssembler::Frame& frame)
{
    lastFrameMs_ = NowMs();
    const bool awaited = state_.waitedMs > 0;
    if (!frame.intact) {
        // Not an answer: nothing of it is used.
        LogDebug(QStringLiteral("RxCorrupt: ") + Printable(frame.text));
        const QByteArray hex = frame.text.sliced(1, FrameSize - 2);
        if (ShowsReceivedTraffic() && QByteArray::fromHex(hex).toHex().toUpper() == hex.toUpper())
            LogPacket(QByteArray::fromHex(hex), QStringLiteral("Receive (checksum error)"));
        if (awaited)
            Repeat(LineCorruptText());
        return;
    }
    const QByteArray packet = DecodeFrame(frame.text);
    if (!awaited) {
        Ignore(packet, QStringLiteral("RxLate: ")); // after a time-out, or a second answer
        return;
    }
    const int type = PacketType(packet);
    if (type == ChkError) {
        // The device got our frame damaged; the address it names may be damaged too.
        if (ShowsReceivedTraffic())
            LogPacket(packet, QStringLiteral("Receive"));
        Repeat(LineCorruptText());
        return;
    }
    const AnswerMeaning meaning = MeaningOfAnswer(state_.inFlight, packet);
    if (meaning == AnswerMeaning::NotAnAnswer) {
        // Another address or a type that does not answer this request: whatever it carries,
        // it is not what was asked for.
        Ignore(packet, QStringLiteral("RxStray: "));
        return;
    }
    state_.waitedMs = 0;
    state_.repeats = 0;
    if (type == DownloadResponse) {
        if (onDownloadResponse_)
            onDownloadResponse_(packet);
        views_->Changed(StationChange::Values | StationChange::Facts);
    }
    if (ShowsReceivedTraffic())
        LogPacket(packet, QStringLiteral("Receive"));
    if (meaning == AnswerMeaning::Failed) {
        state_.refusals.append({state_.inFlight, type});
        GiveUp(QString());
        return;
    }
    if (meaning == AnswerMeaning::NotSupported)
        state_.unsupported.append({state_.inFlight, type});
    if (state_.interrupted) {
        GiveUp(QString());
        return;
    }
    if (state_.resetPending) {
        state_.resetPending = false;
        StartReset();
    }
    if (!paced_)
        SendNext();
}

void TransmitEngine::Ignore(const QByteArray& packet, const QString& why)
{
    ++state_.ignoredTotal;
    LogDebug(why + HexBytes(packet));
    if (ShowsReceivedTraffic())
        LogPacket(packet, QStringLiteral("Receive (not awaited)"));
}

void TransmitEngine::Repeat(const QString& giveUpMessage, bool deviceMayBeWorking)
{
    if (state_.repeats >= MaxRepeats || state_.interrupted) {
        GiveUp(giveUpMessage, deviceMayBeWorking);
        return;
    }
    ++state_.repeats;
    ++state_.repeatTotal;
    state_.waitedMs = 0;
    state_.resendPending = true;
    if (!paced_)
        SendNext();
}

void TransmitEngine::HandleLineEvent(SerialLine::Event event)
{
    if (!port_)
        return;
    const QString title = QStringLiteral("Tunekit");
    switch (event) {
    case SerialLine::Event::DataReceived: {
        const QByteArray text = port_->Line().ReadAll();
        if (ShowsReceivedTraffic())
            views_->Logged({TrafficEntry::Kind::Terminal, {}, text});
        ReceiveData(text);
        break;
    }
    case SerialLine::Event::ReceiveOverrun:
        dialogs_->MsgBox(Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Data Loss (CommEvent comRxOver) !")), MsgButtons::Ok, MsgIcon::None, title);
        break;
    case SerialLine::Event::TransmitFull:
        dialogs_->MsgBox(Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Hardware Error: Check serial interface! (comEventTxFull)")), MsgButtons::Ok,
                         MsgIcon::None, title);
        break;
    case SerialLine::Event::PortLost:
        port_->PortLost();
        views_->Changed(StationChange::Status);
        dialogs_->MsgBox(Tr(QT_TRANSLATE_NOOP("TransmitEngine", "The connection to the programming adapter was lost."))
                             + QStringLiteral("\r\n")
                             + Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Check the cable, then choose Interface > Detect.")),
                         MsgButtons::Ok, MsgIcon::Critical, Tr(QT_TRANSLATE_NOOP("TransmitEngine", "Error")));
        break;
    case SerialLine::Event::HardwareOverrun:
        break;
    }
}

void TransmitEngine::AbortTransfer()
{
    state_.sending = false;
    state_.queue.Clear();
    state_.resendPending = false;
    batchOpen_ = false;
}

void TransmitEngine::StopAfterCurrent()
{
    state_.interrupted = true;
    state_.queue.Clear();
    // With an answer awaited, its arrival (or its time-out) ends the batch.
    if (state_.waitedMs == 0 && (batchOpen_ || state_.sending || state_.resendPending))
        GiveUp(QString());
}

QCoro::Task<bool> TransmitEngine::UntilIdle(qint64 limitMs)
{
    if (!port_)
        co_return Idle();
    if (co_await WaitUntil(port_->Time(), alive_, [this] { return Idle(); }, limitMs))
        co_return true;
    // A reset is never cut short by the limit: the device is ready only once it is over.
    co_await WaitUntil(port_->Time(), alive_, [this] { return !port_->Resetting(); }, ResetLimitMs);
    co_return Idle();
}

} // namespace tunekit
