#include "transfer/device_detection.h"

#include "base/dialogs.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "params/config_defines.h"
#include "params/device_image.h"
#include "transfer/progress_bars.h"

#include <QCoreApplication>

namespace tunekit {

QString deviceNotDetectedText()
{
    return QCoreApplication::translate("DeviceTransfers", "Device not detected.") + QStringLiteral("\r\n")
           + QCoreApplication::translate("DeviceTransfers", "Please check your serial connection! ");
}

QString deviceNotDetectedTitle()
{
    return QCoreApplication::translate("DeviceTransfers", "Error");
}

QCoro::Task<> DeviceTransfers::queryDevice()
{
    DeviceImage& image = ctx_.image;
    EngineState& engine = ctx_.engine.state();
    const qint16 remembered = image.deviceConfigId;
    const bool portFound = ctx_.port.state().adapterFound;
    if (portFound) {
        const ConfigDefine& configId = findConfigDefine(ConfigIdNr);
        const ConfigDefine& select = findConfigDefine(InterpreterSelectNr);
        queueRead(configId.index, configId.subindex);
        queueRead(select.index, select.subindex);
    }
    if (ctx_.resetsBeforeTransmit())
        co_await ctx_.port.resetDevice();
    // The detection tells the user itself when no device answers, so the time-out of its own
    // requests stays silent: a silent device gets one message, not two.
    engine.quietTimeouts = true;
    // Up to 1500 ms: the wait ends as soon as the batch (and the reset after it) is over.
    ctx_.engine.startSending();
    co_await ctx_.engine.untilIdle(1500);

    if (image.deviceConfigId == 0) {
        if (portFound)
            ctx_.dialogs.msgBox(deviceNotDetectedText(), MsgButtons::Ok, MsgIcon::None, deviceNotDetectedTitle());
        co_return;
    }
    engine.quietTimeouts = false;
    if (image.deviceConfigId != remembered) {
        image.updateApplicable();
        image.updateEditMarks();
        ctx_.views.changed(StationChange::Facts);
    }
}

QCoro::Task<> DeviceTransfers::detectDevice()
{
    co_await queryDevice();
    ctx_.image.updateApplicable();
    ctx_.image.updateEditMarks();
    ctx_.views.changed(StationChange::Facts);
}

QCoro::Task<> DeviceTransfers::redetect()
{
    // Re-detection is how a hanging batch is given up, so a running batch does not block it.
    const RunningCommand command(*this, true);
    if (!command.granted())
        co_return;
    co_await redetectNow();
}

QCoro::Task<> DeviceTransfers::redetectNow()
{
    DeviceImage& image = ctx_.image;
    const PortState& port = ctx_.port.state();
    detecting_ = true;
    ctx_.views.changed(StationChange::Controls);
    ctx_.engine.state().quietTimeouts = true;
    image.clearFileData();
    ctx_.views.changed(StationChange::Facts);
    if (port.portNumber >= 1 && port.adapterPort == port.portNumber && port.adapterFound) {
        image.imageConfigId = 0;
        co_await ctx_.port.pause(100);
        ctx_.engine.abortTransfer();
        image.deviceConfigId = 0;
        co_await queryDevice();
        co_await ctx_.port.pause(200);
        image.imageConfigId = image.deviceConfigId;
        ctx_.views.changed(StationChange::Values | StationChange::Status);
        ctx_.views.logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
    }
    detecting_ = false;
    ctx_.views.changed(StationChange::Controls);
}

void DeviceTransfers::queueReads(int index, int firstSubindex, int lastSubindex)
{
    for (int sub = firstSubindex; sub <= lastSubindex; ++sub)
        queueRead(index, sub);
}

QCoro::Task<> DeviceTransfers::readInformation()
{
    co_await readInfo(true);
}

QCoro::Task<> DeviceTransfers::readInterpreterInfo()
{
    co_await readInfo(false);
}

QCoro::Task<> DeviceTransfers::readInfo(bool everything)
{
    if (ctx_.port.state().portNumber <= 0)
        co_return;
    const RunningCommand command(*this, false);
    if (!command.granted())
        co_return;
    EngineState& engine = ctx_.engine.state();
    // Both start from no interpreter known, and ask for the selected interpreter's eight
    // information cells once it has answered.
    ctx_.progress.setVisible(false);
    engine.readsAsked.clear();
    engine.readsRefused.clear();
    state_.interpreterInfoIndex = 0;
    state_.interpreterSelect = 0;

    // The source identification is long (65 packets) and only of use to those who read it.
    const bool withSource = everything && ctx_.accessLevel && ctx_.accessLevel().readsSourceIdentification();
    if (withSource)
        queueReads(InfoSourceIndex, 0, 64);
    const ConfigDefine& select = findConfigDefine(InterpreterSelectNr);
    queueRead(select.index, select.subindex);
    if (everything) {
        queueReads(InfoVersionIndex, 0, 1);
        queueReads(InfoDateIndex, 0, 4);
    }
    queueReads(InfoHardwareIndex, 0, 3);
    if (everything)
        queueRead(OperatingTimeIndex, 0);

    ctx_.engine.startSending();
    co_await ctx_.engine.untilIdle(withSource ? 4000 : everything ? 1000 : 500);
    if (everything && state_.interpreterSelect < 1)
        co_return;
    ctx_.engine.holdSending();
    if (state_.interpreterSelect > 0) {
        state_.interpreterInfoIndex = interpreterInfoIndex(state_.interpreterSelect);
        queueReads(state_.interpreterInfoIndex, 0, 7);
    }
    ctx_.engine.startSending();
}

QCoro::Task<> DeviceTransfers::resetDevice()
{
    // Always carried out, also without a port and in the middle of a transfer: it is the way
    // out of a device that hangs.
    co_await ctx_.port.resetDevice();
}

} // namespace tunekit
