#include "transfer/parameter_read.h"

#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "link/waits.h"
#include "params/config_defines.h"
#include "params/device_image.h"
#include "transfer/progress_bars.h"

#include <QCoreApplication>

namespace tunekit {

bool TransferContext::resetsBeforeTransmit() const
{
    return options.resetBeforeTransmit && engine.policy() == ResetPolicy::AfterEveryBatch;
}

DeviceTransfers::DeviceTransfers(const TransferContext& context) : ctx_(context)
{
    ctx_.engine.setDownloadResponseHandler([this](const QByteArray& packet) { handleDownloadResponse(packet); });
}

DeviceTransfers::~DeviceTransfers()
{
    ctx_.engine.setDownloadResponseHandler({});
}

bool DeviceTransfers::engineBusy() const
{
    return !ctx_.engine.idle();
}

DeviceTransfers::RunningCommand::RunningCommand(DeviceTransfers& transfers, bool allowRunningBatch)
    : transfers_(transfers),
      granted_(!transfers.commandRunning_ && (allowRunningBatch || !transfers.engineBusy()))
{
    if (granted_)
        transfers_.commandRunning_ = true;
}

DeviceTransfers::RunningCommand::~RunningCommand()
{
    if (granted_)
        transfers_.commandRunning_ = false;
}

void DeviceTransfers::queueRead(int index, int subindex)
{
    ctx_.engine.sendPacket(DownloadRequest, index, static_cast<std::uint8_t>(subindex));
}

QCoro::Task<bool> DeviceTransfers::until(std::function<bool()> done, qint64 limitMs)
{
    co_return co_await ctx_.engine.until(std::move(done), limitMs);
}

void DeviceTransfers::handleDownloadResponse(const QByteArray& packet)
{
    if (decodeDownloadResponse(packet, state_, ctx_.image))
        ctx_.views.changed(StationChange::Facts);
}

QCoro::Task<> DeviceTransfers::readParameters()
{
    const RunningCommand command(*this, false);
    if (!command.granted())
        co_return;
    EngineState& engine = ctx_.engine.state();
    DeviceImage& image = ctx_.image;

    ctx_.progress.restart(ParamCount);

    image.info.interpreterName.clear();
    image.info.interpreterDate.clear();
    image.imageConfigId = 0;
    image.clearFileData();
    ctx_.views.changed(StationChange::Facts);

    const PortState& port = ctx_.port.state();
    if (port.portNumber > 0 && port.adapterFound && !engine.quietTimeouts) {
        ctx_.views.logged({TrafficEntry::Kind::TerminalCleared, {}, {}});
        ctx_.views.logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
        state_.newData = true;
        co_await startParameterRead();
    } else {
        engine.quietTimeouts = true;
        co_await redetectNow();
    }
    image.imageConfigId = image.deviceConfigId;
}

QCoro::Task<> DeviceTransfers::startParameterRead()
{
    EngineState& engine = ctx_.engine.state();
    DeviceImage& image = ctx_.image;

    engine.readsAsked.clear();
    engine.readsRefused.clear();
    ctx_.progress.setDetail({});
    ctx_.progress.setCaption(QCoreApplication::translate("DeviceTransfers", "data transfer..."));
    ctx_.progress.setVisible(true);

    // The interpreter select goes first: the interpreter's name is asked for by it below.
    const ConfigDefine& select = findConfigDefine(InterpreterSelectNr);
    queueRead(select.index, select.subindex);
    ctx_.progress.measureFromNextPacket();

    for (int i = 0; i <= ParamCount; ++i) {
        image.readBuffer[i].clear();
        image.value[i].clear();
        image.changed[i] = false;
        image.received[i] = false;
        if (image.applicable[i]) {
            const ConfigDefine& define = findConfigDefine(i);
            queueRead(define.index, define.subindex);
        }
    }
    if (ctx_.resetsBeforeTransmit())
        co_await ctx_.port.resetDevice();

    // The interpreter select decides what else to ask for; the waits end once it is in.
    const auto selectKnown = [&image] { return !image.value[InterpreterSelectNr].isEmpty(); };
    ctx_.engine.startSending();
    co_await until(selectKnown, 100);
    ctx_.engine.holdSending();

    queueReads(InfoHardwareIndex, 0, 3);
    queueRead(OperatingTimeIndex, 0);

    if (!selectKnown())
        co_await until(selectKnown, 300);
    const QString selected = image.value[InterpreterSelectNr];
    if (!selected.isEmpty() && selected.toInt() > 0) {
        state_.interpreterInfoIndex = interpreterInfoIndex(selected.toInt());
        queueReads(state_.interpreterInfoIndex, 2, 7);
    }
    if (ctx_.resetsBeforeTransmit())
        co_await ctx_.port.resetDevice();
    ctx_.engine.startSending();
}

} // namespace tunekit
