#include "transfer/parameter_read.h"

#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "link/waits.h"
#include "params/config_defines.h"
#include "params/device_image.h"

#include <QCoreApplication>

namespace tunekit {
namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("DeviceTransfers", text);
}


} // namespace

bool TransferContext::ResetsBeforeTransmit() const
{
    return options.chkResetBeforeTransmit && engine.Policy() == ResetPolicy::AfterEveryBatch;
}

DeviceTransfers::DeviceTransfers(const TransferContext& context) : ctx_(context)
{
    ctx_.engine.SetDownloadResponseHandler([this](const QByteArray& packet) { HandleDownloadResponse(packet); });
}

DeviceTransfers::~DeviceTransfers()
{
    ctx_.engine.SetDownloadResponseHandler({});
}

bool DeviceTransfers::EngineBusy() const
{
    return !ctx_.engine.Idle();
}

DeviceTransfers::RunningCommand::RunningCommand(DeviceTransfers& transfers, bool allowRunningBatch)
    : transfers_(transfers),
      granted_(!transfers.commandRunning_ && (allowRunningBatch || !transfers.EngineBusy()))
{
    if (granted_)
        transfers_.commandRunning_ = true;
}

DeviceTransfers::RunningCommand::~RunningCommand()
{
    if (granted_)
        transfers_.commandRunning_ = false;
}

void DeviceTransfers::QueueRead(int index, int subindex)
{
    ctx_.engine.SendPacket(DownloadRequest, index, static_cast<std::uint8_t>(subindex));
}

QCoro::Task<bool> DeviceTransfers::Until(std::function<bool()> done, qint64 limitMs)
{
    co_return co_await WaitUntil(ctx_.port.Time(), alive_, std::move(done), limitMs);
}

void DeviceTransfers::ShowTransferWindow(bool visible)
{
    ctx_.engine.Progress().visible = visible;
    ctx_.engine.ReportProgress();
}

void DeviceTransfers::HandleDownloadResponse(const QByteArray& packet)
{
    if (DecodeDownloadResponse(packet, state_, ctx_.image))
        ctx_.views.Changed(StationChange::Facts);
}

QCoro::Task<> DeviceTransfers::ReadParameters()
{
    const RunningCommand command(*this, false);
    if (!command.Granted())
        co_return;
    EngineState& engine = ctx_.engine.State();
    TransferProgress& window = ctx_.engine.Progress();
    DeviceImage& image = ctx_.image;

    engine.packetCount = 0;
    window.overall = 0;
    window.partial = 0;
    window.partialMax = 62;
    ctx_.engine.ReportProgress();

    image.labels.ActualInterpreterName.clear();
    image.labels.ActualInterpreterDate.clear();
    image.imageConfigId = 0;
    image.ClearFileData();
    image.labels.showCRC = false;
    image.labels.showConfigFileID = false;
    ctx_.views.Changed(StationChange::Facts);

    const PortState& port = ctx_.port.State();
    if (port.portNumber > 0 && port.adapterFound && !engine.quietTimeouts) {
        ctx_.views.Logged({TrafficEntry::Kind::TerminalCleared, {}, {}});
        ctx_.views.Logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
        image.ClearFileData();
        state_.newData = true;
        co_await StartParameterRead();
        image.imageConfigId = image.deviceConfigId;
    } else {
        engine.quietTimeouts = true;
        co_await RedetectNow();
        image.imageConfigId = image.deviceConfigId;
    }
}

QCoro::Task<> DeviceTransfers::StartParameterRead()
{
    EngineState& engine = ctx_.engine.State();
    TransferProgress& window = ctx_.engine.Progress();
    DeviceImage& image = ctx_.image;

    window.detail.clear();
    window.caption = Tr(QT_TRANSLATE_NOOP("DeviceTransfers", "data transfer..."));
    ShowTransferWindow(true);

    // The interpreter select goes first: the interpreter's name is asked for by it below.
    const ConfigDefine& select = FindConfigDefine(InterpreterSelectNr);
    QueueRead(select.HexAdd, select.SubAdd);
    ctx_.engine.Bookkeeping().startProgress = true;

    for (int i = 0; i <= ParamCount; ++i) {
        image.readBuffer[i].clear();
        image.value[i].clear();
        image.changed[i] = false;
        image.received[i] = false;
        if (image.applicable[i]) {
            const ConfigDefine& define = FindConfigDefine(i);
            QueueRead(define.HexAdd, define.SubAdd);
        }
    }
    if (ctx_.ResetsBeforeTransmit())
        co_await ctx_.port.ResetDevice();

    // The interpreter select decides what else to ask for; the waits end once it is in.
    const auto selectKnown = [&image] { return !image.value[InterpreterSelectNr].isEmpty(); };
    engine.sending = true;
    co_await Until(selectKnown, 100);
    engine.sending = false;

    QueueReads(InfoHardwareIndex, 0, 3);
    QueueRead(OperatingTimeIndex, 0);

    if (!selectKnown())
        co_await Until(selectKnown, 300);
    const QString selected = image.value[InterpreterSelectNr];
    if (!selected.isEmpty() && selected.toInt() > 0) {
        state_.interpreterInfoIndex = InterpreterInfoIndex(selected.toInt());
        QueueReads(state_.interpreterInfoIndex, 2, 7);
    }
    if (ctx_.ResetsBeforeTransmit())
        co_await ctx_.port.ResetDevice();
    engine.sending = true;
}

} // namespace tunekit
