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

void TransmitEngine::Connect(SerialPortAccess& port, Dialogs& dialogs, EngineViews& views)
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
    if (state_.Interrupted)
        return;
    state_.TxQueue.Append(MakePacket(type, index, subindex, data));
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
    if (state_.TimeoutCounter > 0)
        state_.TimeoutCounter = static_cast<qint32>(1 + qBound(qint64(0), NowMs() - state_.SentAtMs, qint64(1'000'000)));
    views_->UpdateStatusBar();

    if (resetWhenQuiet_) {
        ResetWhenQuiet();
        return;
    }
    if (state_.TimeoutCounter > rule_.answerMs) {
        ++state_.LostTotal;
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
    return (state_.TransferActive || state_.ResendPending) && state_.TimeoutCounter == 0 && !port_->Resetting()
           && !resetWhenQuiet_;
}

bool TransmitEngine::Idle() const
{
    return !state_.TransferActive && state_.TimeoutCounter == 0 && !state_.ResendPending && state_.TxQueue.IsEmpty()
           && !resetWhenQuiet_ && !(port_ && port_->Resetting());
}

void TransmitEngine::SendNext()
{
    if (!CanSend())
        return;
    if (state_.Interrupted) {
        // A batch started after the stop sends nothing and needs no reset.
        state_.TransferActive = false;
        state_.ResendPending = false;
        state_.TxQueue.Clear();
        batchOpen_ = false;
        return;
    }
    if (state_.ResendPending) {
        state_.ResendPending = false;
        const QString repeat = QStringLiteral(" (repeat %1)").arg(state_.Repeats);
        views_->SetDebugText(QStringLiteral("TxSend: ") + HexBytes(state_.TxCurrent) + repeat);
        Transmit(state_.TxCurrent, QStringLiteral("Transmit") + repeat);
        return;
    }
    if (!batchOpen_)
        StartBatch();
    if (progress_.blnInitProgressBar) {
        progress_.intProgDiv1 = static_cast<qint32>(state_.TxQueue.Length());
        progress_.blnInitProgressBar = false;
    }
    UpdateProgressBars();
    if (state_.TxQueue.IsEmpty()) {
        // Started with nothing queued: the batch is over at once.
        EndOfQueue();
        return;
    }
    state_.TxCurrent = state_.TxQueue.Front();
    views_->SetDebugText(QStringLiteral("TxSend: ") + HexBytes(state_.TxCurrent));
    Transmit(state_.TxCurrent, QStringLiteral("Transmit"));
    if (state_.TxQueue.Length() > PacketSize) {
        state_.TxQueue.DropFront();
        progress_.SendLength += 4;
        return;
    }
    EndOfQueue();
}

void TransmitEngine::Transmit(const QByteArray& packet, const QString& direction)
{
    // Awaited before it leaves, so even an answer that came at once would find it so.
    state_.TimeoutCounter = 1;
    state_.SentAtMs = NowMs();
    rule_ = AnswerRuleFor(packet);
    if (rule_.changesDevice)
        ++state_.ChangesSent;
    state_.Rx.Clear();
    port_->SendText(EncodeFrame(packet));
    views_->AddContactDump(packet, direction);
}

void TransmitEngine::StartBatch()
{
    // Nothing of an earlier batch acts in this one: its reset has been carried out or given
    // up, and a half frame or a refusal belongs to it.
    batchOpen_ = true;
    ++windowGeneration_;
    state_.ResetPending = false;
    state_.Rx.Clear();
    state_.Repeats = 0;
    state_.Refusals.clear();
    state_.Unsupported.clear();
    state_.GaveUp = false;
}

void TransmitEngine::UpdateProgressBars()
{
    if (progress_.intProgDiv1 > 0) {
        const double p = 100.0 - 100.0 * static_cast<double>(state_.TxQueue.Length()) / progress_.intProgDiv1;
        window_.ProgressBar1 = p < 0 ? 100 : static_cast<int>(std::lround(p));
    }
    int& max = window_.ProgressBar2Max;
    if (progress_.TotalSendLength != 0 && progress_.writeconfigsonly) {
        if (max < 0 || max < state_.PacketCounter)
            ++max;
        window_.ProgressBar2 = max - state_.PacketCounter <= 7 ? max : state_.PacketCounter;
        ++state_.PacketCounter;
    } else if (progress_.TotalSendLength != 0) {
        if (max < state_.PacketCounter)
            ++max;
        window_.ProgressBar2 = state_.PacketCounter;
        ++state_.PacketCounter;
    } else if (!progress_.writeconfigs) {
        max = 100;
        window_.ProgressBar2 = window_.ProgressBar1;
    }
    views_->TransferWindowChanged();
}

void TransmitEngine::EndOfQueue()
{
    if (!reset_.check01) {
        state_.ResetPending = true;
        reset_.consoleHintVisible = false;
    } else {
        reset_.consoleHintVisible = true;
    }
    if (!reset_.DisAutoRes)
        state_.ResetPending = true;
    state_.TransferActive = false;
    state_.TxQueue.Clear();
    batchOpen_ = false;
    views_->UpdateStatusBar();
    window_.lblText2.clear();
    window_.lblText = Tr(QT_TRANSLATE_NOOP("TransmitEngine", "data transfer...ready"));
    window_.ProgressBar1 = 100;
    if (progress_.AllSent)
        window_.ProgressBar2 = window_.ProgressBar2Max;
    views_->TransferWindowChanged();
    ScheduleHide();
}

void TransmitEngine::ScheduleHide()
{
    // The final state stays on screen for a second without holding the engine; a batch that
    // starts meanwhile, or a command that shows the window with new captions, keeps it open.
    const quint64 generation = ++windowGeneration_;
    const QString ready = window_.lblText;
    port_->Time().Schedule(1000, [this, alive = std::weak_ptr<int>(alive_), generation, ready] {
        if (!alive.lock() || generation != windowGeneration_ || window_.lblText != ready || !window_.visible)
            return;
        window_.visible = false;
        views_->TransferWindowChanged();
    });
}

void TransmitEngine::GiveUp(const QString& message, bool deviceMayBeWorking)
{
    state_.GaveUp = true;
    state_.TimeoutCounter = 0;
    state_.ResendPending = false;
    state_.Repeats = 0;
    state_.TxQueue.Clear();
    state_.Rx.Clear();
    if (batchOpen_ || state_.TransferActive)
        EndOfQueue();
    const bool tell = !message.isEmpty() && port_->State().adapterFound && !state_.SuppressTimeoutMessage;
    if (state_.ResetPending) {
        state_.ResetPending = false;
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
    const bool awaited = state_.TimeoutCounter > 0;
    if (!frame.intact) {
        // Not an answer: nothing of it is used.
        views_->SetDebugText(QStringLiteral("RxCorrupt: ") + Printable(frame.text));
        const QByteArray hex = frame.text.sliced(1, FrameSize - 2);
        if (ShowsReceivedTraffic() && QByteArray::fromHex(hex).toHex().toUpper() == hex.toUpper())
            views_->AddContactDump(QByteArray::fromHex(hex), QStringLiteral("Receive (checksum error)"));
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
            views_->AddContactDump(packet, QStringLiteral("Receive"));
        Repeat(LineCorruptText());
        return;
    }
    const AnswerMeaning meaning = MeaningOfAnswer(state_.TxCurrent, packet);
    if (meaning == AnswerMeaning::NotAnAnswer) {
        // Another address or a type that does not answer this request: whatever it carries,
        // it is not what was asked for.
        Ignore(packet, QStringLiteral("RxStray: "));
        return;
    }
    state_.TimeoutCounter = 0;
    state_.Repeats = 0;
    if (type == DownloadResponse) {
        if (onDownloadResponse_)
            onDownloadResponse_(packet);
        views_->RefreshAfterDownload();
    }
    if (ShowsReceivedTraffic())
        views_->AddContactDump(packet, QStringLiteral("Receive"));
    if (meaning == AnswerMeaning::Failed) {
        state_.Refusals.append({state_.TxCurrent, type});
        GiveUp(QString());
        return;
    }
    if (meaning == AnswerMeaning::NotSupported)
        state_.Unsupported.append({state_.TxCurrent, type});
    if (state_.Interrupted) {
        GiveUp(QString());
        return;
    }
    if (state_.ResetPending) {
        state_.ResetPending = false;
        StartReset();
    }
    if (!paced_)
        SendNext();
}

void TransmitEngine::Ignore(const QByteArray& packet, const QString& why)
{
    ++state_.IgnoredTotal;
    views_->SetDebugText(why + HexBytes(packet));
    if (ShowsReceivedTraffic())
        views_->AddContactDump(packet, QStringLiteral("Receive (not awaited)"));
}

void TransmitEngine::Repeat(const QString& giveUpMessage, bool deviceMayBeWorking)
{
    if (state_.Repeats >= MaxRepeats || state_.Interrupted) {
        GiveUp(giveUpMessage, deviceMayBeWorking);
        return;
    }
    ++state_.Repeats;
    ++state_.RepeatTotal;
    state_.TimeoutCounter = 0;
    state_.ResendPending = true;
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
            views_->AddToTerminal(text);
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
        views_->UpdateStatusBar();
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
    state_.TransferActive = false;
    state_.TxQueue.Clear();
    state_.ResendPending = false;
    batchOpen_ = false;
}

void TransmitEngine::StopAfterCurrent()
{
    state_.Interrupted = true;
    state_.TxQueue.Clear();
    // With an answer awaited, its arrival (or its time-out) ends the batch.
    if (state_.TimeoutCounter == 0 && (batchOpen_ || state_.TransferActive || state_.ResendPending))
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
