#include "transfer/parameter_read.h"

#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
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

DeviceTransfers::CommandGuard::CommandGuard(DeviceTransfers& transfers, bool allowRunningBatch)
    : transfers_(transfers),
      acquired_(!transfers.commandRunning_ && (allowRunningBatch || !transfers.EngineBusy()))
{
    if (acquired_)
        transfers_.commandRunning_ = true;
}

DeviceTransfers::CommandGuard::~CommandGuard()
{
    if (acquired_)
        transfers_.commandRunning_ = false;
}

void DeviceTransfers::QueueRead(int index, int subindex)
{
    ctx_.engine.SendPacket(DownloadRequest, index, static_cast<std::uint8_t>(subindex));
}

void DeviceTransfers::WaitUntil(const std::function<bool()>& done, qint64 limitMs)
{
    Clock& clock = ctx_.port.Time();
    const qint64 end = clock.NowMs() + limitMs;
    while (!done() && clock.NowMs() < end)
        clock.ProcessEvents();
}

void DeviceTransfers::ShowTransferWindow(bool visible)
{
    ctx_.engine.Window().visible = visible;
    ctx_.views.TransferWindowChanged();
}

void DeviceTransfers::HandleDownloadResponse(const QByteArray& packet)
{
    if (DecodeDownloadResponse(packet, state_, ctx_.image))
        ctx_.views.LabelsChanged();
}

void DeviceTransfers::cmdRead_Click()
{
    const CommandGuard guard(*this, false);
    if (!guard.Acquired())
        return;
    EngineState& engine = ctx_.engine.State();
    TransferWindowState& window = ctx_.engine.Window();
    DeviceImage& image = ctx_.image;

    engine.PacketCounter = 0;
    window.ProgressBar1 = 0;
    window.ProgressBar2 = 0;
    window.ProgressBar2Max = 62;
    ctx_.views.TransferWindowChanged();

    image.labels.ActualInterpreterName.clear();
    image.labels.ActualInterpreterDate.clear();
    image.imageConfigId = 0;
    image.ClearFileData();
    image.labels.showCRC = false;
    image.labels.showConfigFileID = false;
    ctx_.views.LabelsChanged();

    if (ctx_.portState.intComPort > 0 && ctx_.portState.HVXPortFound && !engine.SuppressTimeoutMessage) {
        ctx_.views.ClearTerminal();
        ctx_.views.ClearPacketConsole();
        image.ClearFileData();
        state_.newData = true;
        ParameterRead();
        ctx_.port.WaitMs(20);
    } else {
        engine.SuppressTimeoutMessage = true;
        Redetect();
    }
    image.imageConfigId = image.deviceConfigId;
}

void DeviceTransfers::ParameterRead()
{
    EngineState& engine = ctx_.engine.State();
    TransferWindowState& window = ctx_.engine.Window();
    DeviceImage& image = ctx_.image;

    window.lblText2.clear();
    window.lblText = Tr(QT_TRANSLATE_NOOP("DeviceTransfers", "data transfer..."));
    ShowTransferWindow(true);

    // The interpreter select goes first: the interpreter's name is asked for by it below.
    const ConfigDefine& select = FindConfigDefine(InterpreterSelectNr);
    QueueRead(select.HexAdd, select.SubAdd);
    ctx_.engine.Progress().blnInitProgressBar = true;

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
    if (ctx_.options.chkResetBeforeTransmit)
        ctx_.port.ResetDevice();

    // The interpreter select decides what else to ask for; the waits end once it is in.
    const auto selectKnown = [&image] { return !image.value[InterpreterSelectNr].isEmpty(); };
    engine.TransferActive = true;
    WaitUntil(selectKnown, 100);
    engine.TransferActive = false;

    QueueReads(InfoHardwareIndex, 0, 3);
    QueueRead(OperatingTimeIndex, 0);

    if (!selectKnown())
        WaitUntil(selectKnown, 300);
    const QString selected = image.value[InterpreterSelectNr];
    if (selected.isEmpty()) {
        ctx_.port.WaitMs(1);
    } else if (selected.toInt() > 0) {
        state_.interpreterInfoIndex = InterpreterInfoIndex(selected.toInt());
        QueueReads(state_.interpreterInfoIndex, 2, 7);
    }
    if (ctx_.options.chkResetBeforeTransmit)
        ctx_.port.ResetDevice();
    engine.TransferActive = true;
}

} // namespace tunekit
