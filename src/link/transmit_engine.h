#pragma once

#include "link/packet_queue.h"
#include "link/serial_line.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>

namespace tunekit {

class Dialogs;
class SerialPortAccess;
struct PortState;

// State of the stop-and-wait engine between the packet queue and the serial line.
struct EngineState {
    PacketQueue TxQueue;
    bool TransferActive = false;
    QByteArray TxCurrent;
    QByteArray RxBuffer;
    qint32 TimeoutCounter = 0;  // 0 = no answer awaited; else +10 per tick since sending
    bool ResetPending = false;
    qint32 PacketCounter = 0;
    bool SuppressTimeoutMessage = false;
};

// Progress bookkeeping of the main window; set by the transfers, read by the engine.
struct ProgressBookkeeping {
    bool blnInitProgressBar = false;
    qint32 intProgDiv1 = 0;       // queue characters when the batch started
    qint32 SendLength = 0;
    qint32 TotalSendLength = 0;
    bool writeconfigsonly = false;
    bool writeconfigs = false;
    bool AllSent = false;
};

// What the transfer window frmWriteInfo shows.
struct TransferWindowState {
    bool visible = false;
    int ProgressBar1 = 0;  // 0..100
    int ProgressBar2 = 0;
    int ProgressBar2Max = 100;
    QString lblText;
    QString lblText2;
};

// The two "disable automatic reset" boxes (main window and packet console), which mirror
// each other, and the console's hint label.
struct ResetOptions {
    bool DisAutoRes = false;
    bool check01 = false;
    bool consoleHintVisible = false; // frmContact.Label1
};

// Where the engine reports to the windows.
class EngineViews {
public:
    virtual ~EngineViews() = default;
    virtual void UpdateStatusBar() = 0;
    virtual void SetDebugText(const QString& text) = 0;
    virtual void AddContactDump(const QByteArray& packet, const QString& direction) = 0;
    virtual void AddToTerminal(const QByteArray& text) = 0;
    // The configuration tab, the DIP-switch picture and the table, after a read answer.
    virtual void RefreshAfterDownload() = 0;
    virtual void TransferWindowChanged() = 0;
};

// The protocol engine: sends one queued packet per tick, waits for its answer frame,
// supervises the wait with a time-out and resets the device after a batch.
class TransmitEngine {
public:
    TransmitEngine() = default;
    TransmitEngine(const TransmitEngine&) = delete;
    TransmitEngine& operator=(const TransmitEngine&) = delete;

    // Wires the engine to the port and the windows; the engine runs only once connected.
    void Connect(SerialPortAccess& port, Dialogs& dialogs, PortState& portState, EngineViews& views);
    void SetAuthLevelSource(std::function<int()> level) { authLevel_ = std::move(level); }
    void SetDownloadResponseHandler(std::function<void(const QByteArray&)> handler)
    {
        onDownloadResponse_ = std::move(handler);
    }

    // Appends one 8-byte packet to the queue; sends nothing by itself.
    void SendPacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data = {});

    void TransmitTick();
    void ReceiveData(QByteArrayView text);
    void OnComm(SerialLine::Event event);  // MSComm_OnComm
    void AbortTransfer();
    void WaitForTransfer();

    EngineState& State() noexcept { return state_; }
    const EngineState& State() const noexcept { return state_; }
    ProgressBookkeeping& Progress() noexcept { return progress_; }
    TransferWindowState& Window() noexcept { return window_; }
    const TransferWindowState& Window() const noexcept { return window_; }
    ResetOptions& Reset() noexcept { return reset_; }

private:
    int AuthLevel() const { return authLevel_ ? authLevel_() : 10; }
    void UpdateProgressBars();
    void EndOfQueue();

    EngineState state_;
    ProgressBookkeeping progress_;
    TransferWindowState window_;
    ResetOptions reset_;
    SerialPortAccess* port_ = nullptr;
    Dialogs* dialogs_ = nullptr;
    PortState* portState_ = nullptr;
    EngineViews* views_ = nullptr;
    std::function<int()> authLevel_;
    std::function<void(const QByteArray&)> onDownloadResponse_;
};

} // namespace tunekit
