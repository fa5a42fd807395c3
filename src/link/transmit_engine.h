#pragma once

#include "base/station_views.h"
#include "link/waits.h"
#include "link/answer_rules.h"
#include "link/packet_codec.h"
#include "link/packet_queue.h"
#include "link/serial_line.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCoroTask>
#include <QList>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace tunekit {

class Dialogs;
class SerialPortAccess;

// A request the device refused or did not know: the request and the type of the answer.
struct RefusedPacket {
    QByteArray request;
    int answerType = 0;
};

// State of the stop-and-wait engine between the packet queue and the serial line.
struct EngineState {
    PacketQueue queue;
    bool sending = false;
    QByteArray inFlight;
    FrameAssembler rx;          // what has arrived of the next answer frame
    qint32 waitedMs = 0;  // 0 = no answer awaited; else 1 + ms since the packet was sent
    qint64 sentAtMs = 0;
    bool resetPending = false;
    bool quietTimeouts = false;
    // repeats of the packet in flight after a corrupted or ChkError answer, and of all packets
    // since the program started.
    int repeats = 0;
    qint64 repeatTotal = 0;
    bool resendPending = false;
    // Copies of the packet in flight that the device may still answer: a copy sent again after
    // a lost answer does not cancel the first, which a busy device answers late before it works
    // on the repeat. While more than one is out, an answer only means one copy is done.
    int copiesOut = 0;
    // One copy of the packet in flight has been answered; the wait is for the others.
    bool answeredOnce = false;
    // Requests of the current batch that the device refused; the batch ended at the first.
    QList<RefusedPacket> refusals;
    // The reads since a read command began (it empties them): the cells asked for
    // (cellAddress), and those the device refused to give (UnknownResponse or OperationFailed;
    // the value stays unknown).
    QSet<quint32> readsAsked;
    QSet<quint32> readsRefused;
    // The Uploads the device answered as done since a parameter write began (it empties them),
    // by cellAddress: what of a write reached the device.
    QSet<quint32> uploadsAnswered;
    // Frames that answered nothing awaited (late, stray, of the wrong type, a second answer),
    // and answers that were lost and asked for again, since the program started.
    qint64 ignoredTotal = 0;
    qint64 lostTotal = 0;
    // Packets sent since the program started that change what the device holds (Uploads,
    // FlashConfig, EraseIL2, InitDefault), answered or not: a write that stops after one of
    // them has left the device partly written.
    qint64 changesSent = 0;
    // FlashConfigs the device answered as done since the program started: it has stored its
    // configuration, and with it everything the batch sent before.
    qint64 storesAnswered = 0;
    // Stopped on request: nothing more is queued or sent until the program ends.
    bool interrupted = false;
    // The current batch was given up (time-out, corrupting line or a refusal).
    bool gaveUp = false;
};

// Told of a batch as it goes: a packet leaves (queued: the queue's characters, that packet's
// included), or the batch is over.
class BatchListener {
public:
    virtual ~BatchListener() = default;
    virtual void packetLeaving(qsizetype queued) = 0;
    // resetByHand: the automatic reset is switched off, so none follows.
    virtual void batchEnded(bool resetByHand) = 0;
};

// Where the device is reset (a DTR pulse; it restarts, which takes about 3 s). The front end
// chooses; the station passes it on.
enum class ResetPolicy {
    // The window's rules: after every batch (unless the automatic reset is switched off), and
    // before each transmission when the Tools tab asks for it.
    AfterEveryBatch,
    // Only where the device needs it: once when connecting (after the first batch on a newly
    // opened port, so that what is read is what the device starts with), once after a write
    // stored values (the station does that one), and after a batch that was given up, so that
    // no device is left half-way through a command or with its configuration open. Never
    // between the batches of one command.
    WhereNeeded,
};


// The protocol engine: sends one queued packet at a time and waits for its answer frame (at
// most one packet outstanding), supervises the wait with a time-out, repeats a packet whose
// answer came corrupted, and resets the device after a batch. By default the next packet
// leaves as soon as the answer to the one before has been handled; paced, one packet leaves per
// timer tick.
class TransmitEngine {
public:
    TransmitEngine() = default;
    TransmitEngine(const TransmitEngine&) = delete;
    TransmitEngine& operator=(const TransmitEngine&) = delete;

    // Wires the engine to the port and the windows; the engine runs only once connected.
    void connect(SerialPortAccess& port, Dialogs& dialogs, StationViews& views);
    // Whether what comes in is shown in the terminal and the packet console; asked on every
    // arrival, since the user's rights may change at any time. Unset: not shown.
    void setReceivedTrafficShown(std::function<bool()> shown) { receivedTrafficShown_ = std::move(shown); }
    void setBatchListener(BatchListener* listener) noexcept { batchListener_ = listener; }
    void setDownloadResponseHandler(std::function<void(const QByteArray&)> handler)
    {
        onDownloadResponse_ = std::move(handler);
    }

    // Appends one 8-byte packet to the queue; sends nothing by itself.
    void sendPacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data = {});

    void transmitTick();
    void receiveData(QByteArrayView text);
    // What the line reports: received bytes, overruns, the adapter gone.
    void handleLineEvent(SerialLine::Event event);
    void abortTransfer();
    // Stops for good (the user interrupted the program): the packet on the line gets its
    // answer, nothing more is sent, and the device is reset as after any batch.
    void stopAfterCurrent();
    // Nothing queued or sending, no answer awaited, no reset under way or waiting for a quiet line.
    bool idle() const;
    // Ends once the engine is idle (the batch and the reset after it are over) or limitMs have
    // passed, but never in the middle of a reset; gives Idle().
    QCoro::Task<bool> untilIdle(qint64 limitMs);
    // The queued packets go out, one after the other, from the next tick on.
    void startSending();
    // The queue is held while a transfer puts it together; nothing more leaves until startSending.
    void holdSending();
    // Ends once done() holds, looked at whenever the engine's state changes (a tick, an answer,
    // a batch given up), or when limitMs have passed; gives done().
    QCoro::Task<bool> until(std::function<bool()> done, qint64 limitMs);
    // Resets the device now (the engine sends nothing until it is over), or not at all without
    // an adapter's port.
    void startReset();

    // One packet per timer tick instead of one as soon as the answer is in.
    void setPaced(bool paced) noexcept { paced_ = paced; }
    bool paced() const noexcept { return paced_; }
    // How often a packet is sent again before the batch is given up.
    static constexpr int MaxRepeats = 2;
    static QString lineCorruptText();
    static QString timeoutText();

    EngineState& state() noexcept { return state_; }
    const EngineState& state() const noexcept { return state_; }
    // The automatic reset after a batch, which the window's two "Disable Automatic Reset on
    // Timeout" boxes (main window and packet console, always alike) switch off.
    void setAutomaticResetOff(bool off) noexcept { automaticResetOff_ = off; }
    bool automaticResetOff() const noexcept { return automaticResetOff_; }
    void setResetPolicy(ResetPolicy policy) noexcept { policy_ = policy; }
    ResetPolicy policy() const noexcept { return policy_; }
    // A packet that changes what the device holds went out since the device was last reset (or
    // ever, when it never was): the device may not yet run with what it was sent.
    bool changedSinceReset() const;

private:
    // One tick's work: a time-out looked at, the next packet sent.
    void tickOnce();
    // What the answer to the packet in flight tells: a value read, a cell the device refused to
    // give, a store or an Upload it acknowledged; the answer is logged.
    void takeAnswer(const QByteArray& packet, AnswerMeaning meaning);
    // One copy of a slow, device-changing request was answered: the others are awaited too.
    void awaitOtherCopies();
    bool showsReceivedTraffic() const { return receivedTrafficShown_ && receivedTrafficShown_(); }
    qint64 nowMs() const;
    bool canSend() const;
    // Sends the packet that is due (a repeat, or the next of the queue) if the engine may.
    void sendNext();
    void transmit(const QByteArray& packet, const QString& direction);
    void logDebug(const QString& text);
    void logPacket(const QByteArray& packet, const QString& direction);
    void startBatch();
    void endOfQueue();
    // Whether a batch that ends normally is followed by a reset.
    bool resetsAfterBatch() const;
    void handleFrame(const FrameAssembler::Frame& frame);
    // The packet in flight has its answer (every copy's, or the line stayed quiet for the
    // copies that were not answered): the reset that waited for it, then the next packet.
    void answered();
    // A corrupted or ChkError answer: the packet goes again, unless a copy of it has already
    // been answered and this only ends the wait for a repeat.
    void damagedAnswer();
    // The answer in flight came corrupted, as ChkError or not at all: send the packet again,
    // or give up the batch with the message.
    void repeat(const QString& giveUpMessage, bool deviceMayBeWorking = false);
    // Ends the batch now (time-out, corrupted line, refusal): the queue goes and the batch's
    // end-of-queue steps run. The reset they arrange cannot wait for an answer: after a
    // refusal or a corrupting line the device has answered and is reset at once; after a
    // time-out it may still be working, so it is reset once the line has been quiet. Then the
    // message, if any.
    void giveUp(const QString& message, bool deviceMayBeWorking = false);
    QCoro::Task<> resetThenTell(QString message);
    // The message of a given-up batch.
    void tell(const QString& message);
    // A frame that answers nothing awaited: logged, otherwise ignored.
    void ignore(const QByteArray& packet, const QString& why);
    // The reset of a given-up batch falls due when no frame has come for the quiet time.
    void resetWhenQuiet();

    EngineState state_;
    bool automaticResetOff_ = false;
    ResetPolicy policy_ = ResetPolicy::AfterEveryBatch;
    bool changedDevice_ = false;     // a packet that changes the device went out
    quint64 resetsAtLastChange_ = 0; // the port's reset count when it did
    SerialPortAccess* port_ = nullptr;
    Dialogs* dialogs_ = nullptr;
    StationViews* views_ = nullptr;
    std::function<bool()> receivedTrafficShown_;
    std::function<void(const QByteArray&)> onDownloadResponse_;
    BatchListener* batchListener_ = nullptr;
    bool paced_ = false;
    bool batchOpen_ = false;
    AnswerRule rule_;              // of the packet in flight
    qint64 firstCopySentMs_ = 0;   // when its first copy went out
    qint64 copiesWaitMs_ = 0;      // once one copy is answered: how long the others are awaited
    bool resetWhenQuiet_ = false;  // a given-up batch's reset waits for a quiet line
    qint64 quietFromMs_ = 0;
    qint64 lastFrameMs_ = 0;
    // Scheduled calls hold it weakly, so one that falls due after the engine is gone does nothing.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    StateSignal changes_; // the waits on the engine's state
};

} // namespace tunekit
