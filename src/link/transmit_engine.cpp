#include "link/transmit_engine.h"

#include "base/dialogs.h"
#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/waits.h"

#include <QCoreApplication>


namespace tunekit {

namespace {


// Longer than any reset: 2.2 s plus a long delay of at most 9 s.
constexpr qint64 ResetLimitMs = 15'000;

} // namespace

void TransmitEngine::connect(SerialPortAccess& port, Dialogs& dialogs, StationViews& views)
{
    port_ = &port;
    dialogs_ = &dialogs;
    views_ = &views;
}

void TransmitEngine::startReset()
{
    // The reset runs on by itself; Idle() is false until it is over.
    if (port_)
        port_->startReset();
}

void TransmitEngine::sendPacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data)
{
    if (state_.interrupted)
        return;
    state_.queue.append(makePacket(type, index, subindex, data));
}

QString TransmitEngine::timeoutText()
{
    // One text, so that the message is known by its code wherever it is shown.
    return QCoreApplication::translate("TransmitEngine", "T I M E O U T  !\r\ninterface or device not reacting!");
}

QString TransmitEngine::lineCorruptText()
{
    return QCoreApplication::translate("TransmitEngine", "The line is corrupting data!") + QStringLiteral("\r\n")
           + QCoreApplication::translate("TransmitEngine", "The device's answers still arrived damaged after two repeats. Check the cable and the adapter.");
}

qint64 TransmitEngine::nowMs() const
{
    return port_->time().nowMs();
}

void TransmitEngine::transmitTick()
{
    if (!views_)
        return;
    tickOnce();
    changes_.changed();
}

void TransmitEngine::tickOnce()
{
    if (state_.waitedMs > 0)
        state_.waitedMs = static_cast<qint32>(1 + qBound(qint64(0), nowMs() - state_.sentAtMs, qint64(1'000'000)));
    views_->changed(StationChange::Status);

    if (resetWhenQuiet_) {
        resetWhenQuiet();
        return;
    }
    if (state_.answeredOnce && state_.waitedMs > copiesWaitMs_) {
        // One copy was answered and the line stayed quiet for as long as the others may take:
        // the device is done with all of them.
        logDebug(QStringLiteral("RxQuiet: no answer to the repeat of ") + hexBytes(state_.inFlight));
        state_.waitedMs = 0;
        answered();
        return;
    }
    if (!state_.answeredOnce && state_.waitedMs > rule_.answerMs) {
        ++state_.lostTotal;
        if (rule_.repeatable)
            repeat(timeoutText(), true);
        else
            giveUp(timeoutText(), true);
        return;
    }
    sendNext();
}

bool TransmitEngine::canSend() const
{
    return (state_.sending || state_.resendPending) && state_.waitedMs == 0 && !port_->resetting()
           && !resetWhenQuiet_;
}

bool TransmitEngine::idle() const
{
    return !state_.sending && state_.waitedMs == 0 && !state_.resendPending && state_.queue.isEmpty()
           && !resetWhenQuiet_ && !(port_ && port_->resetting());
}

void TransmitEngine::sendNext()
{
    if (!canSend())
        return;
    if (state_.interrupted) {
        // A batch started after the stop sends nothing and needs no reset.
        abortTransfer();
        return;
    }
    if (state_.resendPending) {
        state_.resendPending = false;
        ++state_.copiesOut;
        const QString repeat = QStringLiteral(" (repeat %1)").arg(state_.repeats);
        logDebug(QStringLiteral("TxSend: ") + hexBytes(state_.inFlight) + repeat);
        transmit(state_.inFlight, QStringLiteral("Transmit") + repeat);
        return;
    }
    if (!batchOpen_)
        startBatch();
    if (batchListener_)
        batchListener_->packetLeaving(state_.queue.length());
    if (state_.queue.isEmpty()) {
        // Started with nothing queued: the batch is over at once.
        endOfQueue();
        return;
    }
    state_.inFlight = state_.queue.front();
    state_.copiesOut = 1;
    state_.answeredOnce = false;
    firstCopySentMs_ = nowMs();
    logDebug(QStringLiteral("TxSend: ") + hexBytes(state_.inFlight));
    transmit(state_.inFlight, QStringLiteral("Transmit"));
    if (state_.queue.length() > PacketSize) {
        state_.queue.dropFront();
        return;
    }
    endOfQueue();
}

void TransmitEngine::transmit(const QByteArray& packet, const QString& direction)
{
    // Awaited before it leaves, so even an answer that came at once would find it so.
    state_.waitedMs = 1;
    state_.sentAtMs = nowMs();
    rule_ = answerRuleFor(packet);
    if (packetType(packet) == DownloadRequest)
        state_.readsAsked.insert(cellAddress(packetIndex(packet), packetSubindex(packet)));
    if (rule_.changesDevice) {
        ++state_.changesSent;
        changedDevice_ = true;
        resetsAtLastChange_ = port_->resetsStarted();
    }
    state_.rx.clear();
    port_->sendText(encodeFrame(packet));
    logPacket(packet, direction);
}

void TransmitEngine::startBatch()
{
    // Nothing of an earlier batch acts in this one: its reset has been carried out or given
    // up, and a half frame or a refusal belongs to it.
    batchOpen_ = true;
    state_.resetPending = false;
    state_.rx.clear();
    state_.repeats = 0;
    state_.refusals.clear();
    state_.gaveUp = false;
}

void TransmitEngine::logDebug(const QString& text)
{
    views_->logged({TrafficEntry::Kind::Debug, text, {}});
}

void TransmitEngine::logPacket(const QByteArray& packet, const QString& direction)
{
    views_->logged({TrafficEntry::Kind::Packet, direction, packet});
}

bool TransmitEngine::resetsAfterBatch() const
{
    switch (policy_) {
    case ResetPolicy::AfterEveryBatch: return !automaticResetOff_;
    case ResetPolicy::WhereNeeded: return port_ && !port_->resetSinceOpen();
    }
    return true;
}

bool TransmitEngine::changedSinceReset() const
{
    return changedDevice_ && port_ && port_->resetsStarted() == resetsAtLastChange_;
}

void TransmitEngine::endOfQueue()
{
    if (resetsAfterBatch())
        state_.resetPending = true;
    state_.sending = false;
    state_.queue.clear();
    batchOpen_ = false;
    views_->changed(StationChange::Status);
    if (batchListener_)
        batchListener_->batchEnded(automaticResetOff_);
}

void TransmitEngine::giveUp(const QString& message, bool deviceMayBeWorking)
{
    state_.gaveUp = true;
    state_.waitedMs = 0;
    state_.resendPending = false;
    state_.repeats = 0;
    state_.queue.clear();
    state_.rx.clear();
    if (batchOpen_ || state_.sending)
        endOfQueue();
    // Only where the device needs it still means after every batch given up: the device may be
    // half-way through the command or have its configuration open.
    if (policy_ == ResetPolicy::WhereNeeded)
        state_.resetPending = true;
    const bool shown = !message.isEmpty() && port_->state().adapterFound && !state_.quietTimeouts;
    if (state_.resetPending) {
        state_.resetPending = false;
        if (port_->state().portNumber >= 1 && port_->state().adapterFound) {
            if (deviceMayBeWorking) {
                resetWhenQuiet_ = true;
                quietFromMs_ = nowMs();
            } else {
                // The device has answered: it is reset at once, and the message follows the reset.
                resetThenTell(shown ? message : QString());
                return;
            }
        }
    }
    if (shown)
        tell(message);
}

QCoro::Task<> TransmitEngine::resetThenTell(QString message)
{
    co_await port_->resetDevice();
    if (!message.isEmpty())
        tell(message);
}

void TransmitEngine::tell(const QString& message)
{
    dialogs_->msgBox(message, MsgButtons::Ok, MsgIcon::Critical, QCoreApplication::translate("TransmitEngine", "Error"));
}

void TransmitEngine::resetWhenQuiet()
{
    // Quiet for as long again as the lost answer was given: a device still at work has had
    // twice its time and a late answer has arrived (and been logged) before the reset.
    const qint64 quietMs = qMax<qint64>(rule_.answerMs, OrdinaryAnswerMs);
    if (nowMs() - qMax(quietFromMs_, lastFrameMs_) < quietMs)
        return;
    resetWhenQuiet_ = false;
    if (port_->state().portNumber >= 1 && port_->state().adapterFound)
        startReset();
}

void TransmitEngine::receiveData(QByteArrayView text)
{
    if (!views_)
        return;
    for (const FrameAssembler::Frame& frame : state_.rx.feed(text))
        handleFrame(frame);
    changes_.changed();
}

namespace {

// The frame as it can be shown on one line.
QString printable(const QByteArray& frame)
{
    QString text;
    for (const char c : frame.chopped(1))
        text += c >= 32 && c < 127 ? QLatin1Char(c) : QLatin1Char('.');
    return text;
}

} // namespace

void TransmitEngine::handleFrame(const FrameAssembler::Frame& frame)
{
    lastFrameMs_ = nowMs();
    const bool awaited = state_.waitedMs > 0;
    if (!frame.intact) {
        // Not an answer: nothing of it is used.
        logDebug(QStringLiteral("RxCorrupt: ") + printable(frame.text));
        const QByteArray hex = frame.text.sliced(1, FrameSize - 2);
        if (showsReceivedTraffic() && QByteArray::fromHex(hex).toHex().toUpper() == hex.toUpper())
            logPacket(QByteArray::fromHex(hex), QStringLiteral("Receive (checksum error)"));
        if (awaited)
            damagedAnswer();
        return;
    }
    const QByteArray packet = decodeFrame(frame.text);
    if (!awaited) {
        ignore(packet, QStringLiteral("RxLate: ")); // after a time-out, or a second answer
        return;
    }
    const int type = packetType(packet);
    if (type == ChkError) {
        // The device got our frame damaged; the address it names may be damaged too.
        if (showsReceivedTraffic())
            logPacket(packet, QStringLiteral("Receive"));
        damagedAnswer();
        return;
    }
    const AnswerMeaning meaning = meaningOfAnswer(state_.inFlight, packet);
    if (meaning == AnswerMeaning::NotAnAnswer) {
        // Another address or a type that does not answer this request: whatever it carries,
        // it is not what was asked for.
        ignore(packet, QStringLiteral("RxStray: "));
        return;
    }
    state_.waitedMs = 0;
    state_.repeats = 0;
    const bool copiesStillOut = --state_.copiesOut > 0;
    takeAnswer(packet, meaning);
    if (meaning == AnswerMeaning::Failed) {
        state_.refusals.append({state_.inFlight, type});
        giveUp(QString(), copiesStillOut);
        return;
    }
    if (state_.interrupted) {
        giveUp(QString(), copiesStillOut);
        return;
    }
    if (copiesStillOut && rule_.changesDevice && rule_.answerMs > OrdinaryAnswerMs) {
        awaitOtherCopies();
        return;
    }
    answered();
}

void TransmitEngine::awaitOtherCopies()
{
    // A device busy storing, erasing or writing flash answers the first copy, then works on
    // the repeat it has buffered: neither the next packet nor a reset may reach it before
    // that work is done. (A parameter cell is written at once; its repeat holds up nothing.)
    // The first copy showed how long this device takes; the others take as long each.
    state_.answeredOnce = true;
    copiesWaitMs_ = qMax<qint64>(rule_.answerMs, (nowMs() - firstCopySentMs_) * 3 / 2);
    state_.waitedMs = 1;
    state_.sentAtMs = nowMs();
    logDebug(QStringLiteral("RxAnswer: one of %1 copies of %2; waiting for the others")
                 .arg(state_.copiesOut + 1)
                 .arg(hexBytes(state_.inFlight)));
}

void TransmitEngine::takeAnswer(const QByteArray& packet, AnswerMeaning meaning)
{
    const int type = packetType(packet);
    if (type == DownloadResponse) {
        if (onDownloadResponse_)
            onDownloadResponse_(packet);
        views_->changed(StationChange::Values | StationChange::Facts);
    }
    if (showsReceivedTraffic())
        logPacket(packet, QStringLiteral("Receive"));
    if (rule_.answerType < 0 && type != packetType(state_.inFlight))
        logDebug(QStringLiteral("RxAnswer: %1 answers %2").arg(packetTypeName(type), packetTypeName(packetType(state_.inFlight))));
    const quint32 address = cellAddress(packetIndex(state_.inFlight), packetSubindex(state_.inFlight));
    if (meaning == AnswerMeaning::NotSupported && packetType(state_.inFlight) == DownloadRequest)
        state_.readsRefused.insert(address);
    if (meaning == AnswerMeaning::Done && packetType(state_.inFlight) == FlashConfig)
        ++state_.storesAnswered;
    if (meaning == AnswerMeaning::Done && packetType(state_.inFlight) == Upload)
        state_.uploadsAnswered.insert(address);
}

void TransmitEngine::answered()
{
    state_.copiesOut = 0;
    state_.answeredOnce = false;
    if (state_.resetPending) {
        state_.resetPending = false;
        startReset();
    }
    if (!paced_)
        sendNext();
}

void TransmitEngine::damagedAnswer()
{
    // It answered one copy, though nobody can tell how.
    state_.copiesOut = qMax(0, state_.copiesOut - 1);
    if (!state_.answeredOnce) {
        repeat(lineCorruptText());
        return;
    }
    // A copy was answered as it should be; this is the damaged answer to a repeat of it.
    if (state_.copiesOut == 0) {
        state_.waitedMs = 0;
        answered();
    }
}

void TransmitEngine::ignore(const QByteArray& packet, const QString& why)
{
    ++state_.ignoredTotal;
    logDebug(why + hexBytes(packet));
    if (showsReceivedTraffic())
        logPacket(packet, QStringLiteral("Receive (not awaited)"));
}

void TransmitEngine::repeat(const QString& giveUpMessage, bool deviceMayBeWorking)
{
    if (state_.repeats >= MaxRepeats || state_.interrupted) {
        giveUp(giveUpMessage, deviceMayBeWorking);
        return;
    }
    ++state_.repeats;
    ++state_.repeatTotal;
    state_.waitedMs = 0;
    state_.resendPending = true;
    if (!paced_)
        sendNext();
}

void TransmitEngine::handleLineEvent(SerialLine::Event event)
{
    if (!port_)
        return;
    const QString title = QStringLiteral("Tunekit");
    switch (event) {
    case SerialLine::Event::DataReceived: {
        const QByteArray text = port_->line().readAll();
        if (showsReceivedTraffic())
            views_->logged({TrafficEntry::Kind::Terminal, {}, text});
        receiveData(text);
        break;
    }
    case SerialLine::Event::ReceiveOverrun:
        dialogs_->msgBox(QCoreApplication::translate("TransmitEngine", "Data Loss (CommEvent comRxOver) !"), MsgButtons::Ok, MsgIcon::None, title);
        break;
    case SerialLine::Event::TransmitFull:
        dialogs_->msgBox(QCoreApplication::translate("TransmitEngine", "Hardware Error: Check serial interface! (comEventTxFull)"), MsgButtons::Ok,
                         MsgIcon::None, title);
        break;
    case SerialLine::Event::PortLost:
        port_->portLost();
        views_->changed(StationChange::Status);
        dialogs_->msgBox(QCoreApplication::translate("TransmitEngine", "The connection to the programming adapter was lost.")
                             + QStringLiteral("\r\n")
                             + QCoreApplication::translate("TransmitEngine", "Check the cable, then choose Interface > Detect."),
                         MsgButtons::Ok, MsgIcon::Critical, QCoreApplication::translate("TransmitEngine", "Error"));
        break;
    case SerialLine::Event::HardwareOverrun:
        break;
    }
    changes_.changed();
}

void TransmitEngine::abortTransfer()
{
    state_.sending = false;
    state_.queue.clear();
    state_.resendPending = false;
    batchOpen_ = false;
    changes_.changed();
}

void TransmitEngine::stopAfterCurrent()
{
    state_.interrupted = true;
    state_.queue.clear();
    // With an answer awaited, its arrival (or its time-out) ends the batch.
    if (state_.waitedMs == 0 && (batchOpen_ || state_.sending || state_.resendPending))
        giveUp(QString());
    changes_.changed();
}

void TransmitEngine::startSending()
{
    state_.sending = true;
    changes_.changed();
}

void TransmitEngine::holdSending()
{
    state_.sending = false;
    changes_.changed();
}

QCoro::Task<bool> TransmitEngine::untilIdle(qint64 limitMs)
{
    if (!port_)
        co_return idle();
    if (co_await until([this] { return idle(); }, limitMs))
        co_return true;
    // A reset is never cut short by the limit: the device is ready only once it is over.
    co_await until([this] { return !port_->resetting(); }, ResetLimitMs);
    co_return idle();
}

QCoro::Task<bool> TransmitEngine::until(std::function<bool()> done, qint64 limitMs)
{
    if (!port_)
        co_return done();
    co_return co_await changes_.until(port_->time(), alive_, std::move(done), limitMs, port_->cancelScope());
}

} // namespace tunekit
