#pragma once

#include "transfer/download_response.h"
#include "transfer/transfer_context.h"

#include <QByteArray>
#include <QCoroTask>

#include <functional>
#include <memory>

namespace tunekit {

// The reading side of the device transfers: reading the parameters, device detection, the
// information and interpreter reads and the reset. Decodes every DownloadResponse the engine
// receives (it registers itself with the engine for as long as it lives).
//
// Each command is a coroutine. A read ends once its batch is under way (the engine works through
// it; the engine's untilIdle() tells when it is over), so re-detection can still cut a hanging
// batch short. One command at a time: a command started while another one runs, or while the engine still works through a
// batch that would be mixed into the new one, is refused (it does nothing). Re-detection may
// cut a running batch short (that is what it is for) but not another command; the reset is
// always carried out.
class DeviceTransfers {
public:
    explicit DeviceTransfers(const TransferContext& context);
    ~DeviceTransfers();
    DeviceTransfers(const DeviceTransfers&) = delete;
    DeviceTransfers& operator=(const DeviceTransfers&) = delete;

    // Reading parameters (parameter_read.cpp). Without a known device it detects instead.
    QCoro::Task<> readParameters();
    void handleDownloadResponse(const QByteArray& packet);

    // Detection, information and service commands (device_detection.cpp).
    // Asks for the ConfigID and the interpreter select; tells the user when nothing answers.
    QCoro::Task<> queryDevice();
    // The query, and the image follows the family found.
    QCoro::Task<> detectDevice();
    // Forgets the device and the file data and detects again.
    QCoro::Task<> redetect();
    // The information texts, operating time and the selected interpreter's information.
    QCoro::Task<> readInformation();
    // Only which interpreter runs and its information.
    QCoro::Task<> readInterpreterInfo();
    QCoro::Task<> resetDevice();

    ReadState& state() noexcept { return state_; }
    const ReadState& state() const noexcept { return state_; }
    TransferContext& context() noexcept { return ctx_; }
    // A command is running.
    bool commandRunning() const noexcept { return commandRunning_; }
    // The device is being detected anew; no command may be started meanwhile.
    bool detecting() const noexcept { return detecting_; }
    // The engine has a batch in hand: packets queued, sending enabled or an answer awaited.
    bool engineBusy() const;

    // The one running command: held for a command's lifetime. Granted() is false when another
    // command holds it or, unless a running batch is allowed, the engine is busy. The writing
    // commands take it too.
    class RunningCommand {
    public:
        RunningCommand(DeviceTransfers& transfers, bool allowRunningBatch);
        ~RunningCommand();
        RunningCommand(const RunningCommand&) = delete;
        RunningCommand& operator=(const RunningCommand&) = delete;
        bool granted() const noexcept { return granted_; }

    private:
        DeviceTransfers& transfers_;
        bool granted_;
    };

private:
    QCoro::Task<> redetectNow();
    // The information read (everything) or the interpreter read (only which interpreter runs).
    QCoro::Task<> readInfo(bool everything);
    // Queues the reads of every parameter of the family and starts the batch; ends once it runs.
    QCoro::Task<> startParameterRead();
    void queueRead(int index, int subindex);
    void queueReads(int index, int firstSubindex, int lastSubindex);
    // Until done() holds or limitMs have passed.
    QCoro::Task<bool> until(std::function<bool()> done, qint64 limitMs);

    TransferContext ctx_;
    ReadState state_;
    bool commandRunning_ = false;
    bool detecting_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace tunekit
