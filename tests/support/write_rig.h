#pragma once

#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "params/device_image.h"
#include "sim/sim_line.h"
#include "sim/virtual_clock.h"
#include "support/scripted_dialogs.h"
#include "transfer/parameter_read.h"
#include "transfer/parameter_write.h"

#include <QList>

#include <functional>

namespace tunekit::testing {

// The windows as the engine and the transfers see them: records the transfer window at every
// change, and lets a test act just before each packet leaves (the engine logs it first).
class WriteRigViews final : public EngineViews, public TransferViews {
public:
    explicit WriteRigViews(const TransferWindowState& window) : window_(window) {}
    QList<TransferWindowState> windows;
    std::function<void()> beforeSend;
    void SetDebugText(const QString&) override
    {
        if (beforeSend)
            beforeSend();
    }
    void TransferWindowChanged() override { windows << window_; }
    void UpdateStatusBar() override {}
    void AddContactDump(const QByteArray&, const QString&) override {}
    void AddToTerminal(const QByteArray&) override {}
    void RefreshAfterDownload() override {}
    void ShadowToTable() override {}
    void ShadowToDip() override {}
    void ShadowToGui() override {}
    void LabelsChanged() override {}
    void ClearTerminal() override {}
    void ClearPacketConsole() override {}
    void SetRedetectButtonsEnabled(bool) override {}

private:
    const TransferWindowState& window_;
};

// The reading and writing transfers against the simulated transmitter, in virtual time, with the
// engine ticking every 10 ms.
struct WriteRig {
    explicit WriteRig(int configId = 53) : line(clock, configId)
    {
        engine.Connect(port, dialogs, portState, views);
        engine.SetAuthLevelSource([this] { return authLevel; });
        line.SetListener([this](SerialLine::Event event) { engine.OnComm(event); });
        image.InitDeviceImage(authLevel, Language::English);
        clock.StartTicker(10, [this] { engine.TransmitTick(); });
    }
    ~WriteRig() { clock.Clear(); }

    // Opens the simulated adapter's port as discovery would have.
    void Connect()
    {
        portState.intComPort = 1;
        portState.HVXPortFound = port.OpenPort();
        HVXPort = 1;
    }
    // Until the engine has nothing left to do and the automatic reset is over.
    bool RunUntilIdle()
    {
        const bool idle = clock.RunUntil([this] { return !transfers.EngineBusy(); }, 600000);
        clock.RunFor(5000);
        return idle;
    }
    // The device read into the image, as a user would before writing; its traffic is forgotten.
    void Read()
    {
        Connect();
        transfers.DetectDevice();
        clock.RunFor(5000);
        transfers.cmdRead_Click();
        RunUntilIdle();
        line.Device().ClearRequests();
        dialogs.messages.clear();
    }
    // The requests of one packet type, whole.
    QList<QByteArray> Sent(int type)
    {
        QList<QByteArray> packets;
        for (const QByteArray& request : line.Device().Requests()) {
            if (PacketType(request) == type)
                packets << request;
        }
        return packets;
    }
    // The packet types the device got, in order, without the detection's reads.
    QList<int> Types()
    {
        QList<int> types;
        for (const QByteArray& request : line.Device().Requests())
            types << PacketType(request);
        types.removeAll(DownloadRequest);
        return types;
    }
    QStringList Texts() const
    {
        QStringList texts;
        for (const auto& message : dialogs.messages)
            texts << message.text;
        return texts;
    }

    VirtualClock clock;
    SimLine line;
    ScriptedDialogs dialogs;
    PortState portState;
    SerialPortAccess port{line, clock, dialogs, portState};
    TransmitEngine engine;
    DeviceImage image;
    WriteRigViews views{engine.Window()};
    TransferOptions options;
    qint16 HVXPort = 0;
    int authLevel = 30;
    DeviceTransfers transfers{
        TransferContext{engine, port, portState, image, dialogs, views, options, [this] { return authLevel; }, HVXPort}};
    DeviceWrites writes{transfers};
};

} // namespace tunekit::testing
