#pragma once

#include "transfer/download_response.h"
#include "transfer/transfer_context.h"

#include <QByteArray>

#include <functional>

namespace tunekit {

// The reading side of the device transfers: the Read button, device detection, the
// information and interpreter reads and Reset. Decodes every DownloadResponse the engine
// receives (it registers itself with the engine for as long as it lives).
//
// One command at a time: the waits pump events, so a user can click again while a command is
// still queueing or waiting. Such a click is ignored, and so is a click on Read, the Infos
// tab's Read or cmdIR while the engine still works through an earlier batch, which would
// otherwise be mixed into the new one. Re-detection may interrupt a running batch (it aborts
// it on purpose) but not another command; Reset is always carried out.
class DeviceTransfers {
public:
    explicit DeviceTransfers(const TransferContext& context);
    ~DeviceTransfers();
    DeviceTransfers(const DeviceTransfers&) = delete;
    DeviceTransfers& operator=(const DeviceTransfers&) = delete;

    // Reading parameters (parameter_read.cpp).
    void cmdRead_Click();
    void ParameterRead();
    void HandleDownloadResponse(const QByteArray& packet);

    // Detection, information and service commands (device_detection.cpp).
    void DeviceQuery();
    void DetectDevice();
    void cmdRedetectDevice_Click();
    void cmdInfoRead_Click();
    void cmdIR_Click();
    void cmdResetMe_Click();

    ReadState& State() noexcept { return state_; }
    const ReadState& State() const noexcept { return state_; }
    TransferContext& Context() noexcept { return ctx_; }
    // A command is queueing or waiting.
    bool CommandRunning() const noexcept { return commandRunning_; }
    // The engine has a batch in hand: packets queued, sending enabled or an answer awaited.
    bool EngineBusy() const;

    // Holds the one-command flag for its lifetime; Acquired() is false when another command
    // holds it (or, unless allowed, the engine is busy). Other transfer commands use it too.
    class CommandGuard {
    public:
        CommandGuard(DeviceTransfers& transfers, bool allowRunningBatch);
        ~CommandGuard();
        CommandGuard(const CommandGuard&) = delete;
        CommandGuard& operator=(const CommandGuard&) = delete;
        bool Acquired() const noexcept { return acquired_; }

    private:
        DeviceTransfers& transfers_;
        bool acquired_;
    };

private:
    // The body of cmdRedetectDevice_Click, also run by the Read button when no device is known.
    void Redetect();
    void QueueRead(int index, int subindex);
    void QueueReads(int index, int firstSubindex, int lastSubindex);
    // The information read and the short interpreter read start from no interpreter known,
    // and ask for the selected interpreter's eight information cells once it has answered.
    void ForgetInterpreterInfo();
    void QueueInterpreterInfo();
    void ShowTransferWindow(bool visible);
    // Runs events until done() holds or limitMs have passed.
    void WaitUntil(const std::function<bool()>& done, qint64 limitMs);

    TransferContext ctx_;
    ReadState state_;
    bool commandRunning_ = false;
};

} // namespace tunekit
