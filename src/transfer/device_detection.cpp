#include "transfer/device_detection.h"

#include "base/dialogs.h"
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

QString DeviceNotDetectedText()
{
    return Tr(QT_TRANSLATE_NOOP("DeviceTransfers", "Device not detected.")) + QStringLiteral("\r\n")
           + Tr(QT_TRANSLATE_NOOP("DeviceTransfers", "Please check your serial connection! "));
}

QString DeviceNotDetectedTitle()
{
    return Tr(QT_TRANSLATE_NOOP("DeviceTransfers", "Error"));
}

QCoro::Task<> DeviceTransfers::QueryDevice()
{
    DeviceImage& image = ctx_.image;
    EngineState& engine = ctx_.engine.State();
    const qint16 remembered = image.deviceConfigId;
    const bool portFound = ctx_.port.State().adapterFound;
    if (portFound) {
        const ConfigDefine& configId = FindConfigDefine(ConfigIdNr);
        const ConfigDefine& select = FindConfigDefine(InterpreterSelectNr);
        QueueRead(configId.HexAdd, configId.SubAdd);
        QueueRead(select.HexAdd, select.SubAdd);
    }
    if (ctx_.ResetsBeforeTransmit())
        co_await ctx_.port.ResetDevice();
    // The detection tells the user itself when no device answers, so the time-out of its own
    // requests stays silent: a silent device gets one message, not two.
    engine.quietTimeouts = true;
    // Up to 1500 ms: the wait ends as soon as the batch (and the reset after it) is over.
    engine.sending = true;
    co_await ctx_.engine.UntilIdle(1500);

    if (image.deviceConfigId == 0) {
        if (portFound)
            ctx_.dialogs.MsgBox(DeviceNotDetectedText(), MsgButtons::Ok, MsgIcon::None, DeviceNotDetectedTitle());
        co_return;
    }
    engine.quietTimeouts = false;
    if (image.deviceConfigId != remembered) {
        image.UpdateApplicable();
        image.UpdateEditMarks();
        ctx_.views.Changed(StationChange::Facts);
    }
}

QCoro::Task<> DeviceTransfers::DetectDevice()
{
    co_await QueryDevice();
    ctx_.image.UpdateApplicable();
    ctx_.image.UpdateEditMarks();
    ctx_.views.Changed(StationChange::Facts);
}

QCoro::Task<> DeviceTransfers::Redetect()
{
    // Re-detection is how a hanging batch is given up, so a running batch does not block it.
    const RunningCommand command(*this, true);
    if (!command.Granted())
        co_return;
    co_await RedetectNow();
}

QCoro::Task<> DeviceTransfers::RedetectNow()
{
    DeviceImage& image = ctx_.image;
    const PortState& port = ctx_.port.State();
    detecting_ = true;
    ctx_.views.Changed(StationChange::Controls);
    ctx_.engine.State().quietTimeouts = true;
    image.ClearFileData();
    ctx_.views.Changed(StationChange::Facts);
    if (port.portNumber >= 1 && port.adapterPort == port.portNumber && port.adapterFound) {
        image.imageConfigId = 0;
        co_await ctx_.port.Pause(100);
        ctx_.engine.AbortTransfer();
        image.deviceConfigId = 0;
        co_await QueryDevice();
        co_await ctx_.port.Pause(200);
        image.imageConfigId = image.deviceConfigId;
        ctx_.views.Changed(StationChange::Values | StationChange::Status);
        ctx_.views.Logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
    }
    detecting_ = false;
    ctx_.views.Changed(StationChange::Controls);
}

void DeviceTransfers::ForgetInterpreterInfo()
{
    ShowTransferWindow(false);
    state_.interpreterInfoIndex = 0;
    state_.interpreterSelect = 0;
}

void DeviceTransfers::QueueInterpreterInfo()
{
    state_.interpreterInfoIndex = InterpreterInfoIndex(state_.interpreterSelect);
    QueueReads(state_.interpreterInfoIndex, 0, 7);
}

void DeviceTransfers::QueueReads(int index, int firstSubindex, int lastSubindex)
{
    for (int sub = firstSubindex; sub <= lastSubindex; ++sub)
        QueueRead(index, sub);
}

QCoro::Task<> DeviceTransfers::ReadInformation()
{
    co_await ReadInfo(true);
}

QCoro::Task<> DeviceTransfers::ReadInterpreterInfo()
{
    co_await ReadInfo(false);
}

QCoro::Task<> DeviceTransfers::ReadInfo(bool everything)
{
    if (ctx_.port.State().portNumber <= 0)
        co_return;
    const RunningCommand command(*this, false);
    if (!command.Granted())
        co_return;
    EngineState& engine = ctx_.engine.State();
    ForgetInterpreterInfo();

    // The source identification is long (65 packets) and only of use to those who read it.
    const bool withSource = everything && ctx_.accessLevel && ctx_.accessLevel().readsSourceIdentification();
    if (withSource)
        QueueReads(InfoSourceIndex, 0, 64);
    const ConfigDefine& select = FindConfigDefine(InterpreterSelectNr);
    QueueRead(select.HexAdd, select.SubAdd);
    if (everything) {
        QueueReads(InfoVersionIndex, 0, 1);
        QueueReads(InfoDateIndex, 0, 4);
    }
    QueueReads(InfoHardwareIndex, 0, 3);
    if (everything)
        QueueRead(OperatingTimeIndex, 0);

    engine.sending = true;
    co_await ctx_.engine.UntilIdle(withSource ? 4000 : everything ? 1000 : 500);
    if (everything && state_.interpreterSelect < 1)
        co_return;
    engine.sending = false;
    if (state_.interpreterSelect > 0)
        QueueInterpreterInfo();
    engine.sending = true;
}

QCoro::Task<> DeviceTransfers::ResetDevice()
{
    // Always carried out, also without a port and in the middle of a transfer: it is the way
    // out of a device that hangs.
    co_await ctx_.port.ResetDevice();
}

} // namespace tunekit
