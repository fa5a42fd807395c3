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

#include <functional>

#include <QList>

namespace tunekit::testing {

// Counts the answers the engine hands on, and lets a test act just before each packet leaves.
class CountingEngineViews final : public EngineViews {
public:
    explicit CountingEngineViews(const Clock& clock) : clock_(clock) {}
    int refreshes = 0;
    qint64 lastRefreshMs = 0;
    std::function<void()> beforeSend; // the engine logs every packet just before sending it
    void UpdateStatusBar() override {}
    void SetDebugText(const QString&) override
    {
        if (beforeSend)
            beforeSend();
    }
    void AddContactDump(const QByteArray&, const QString&) override {}
    void AddToTerminal(const QByteArray&) override {}
    void RefreshAfterDownload() override { ++refreshes; lastRefreshMs = clock_.NowMs(); }
    void TransferWindowChanged() override {}

private:
    const Clock& clock_;
};

// Records what the transfers ask of the windows.
class RecordingTransferViews final : public TransferViews {
public:
    explicit RecordingTransferViews(const TransferWindowState& window) : window_(window) {}
    int tableRefreshes = 0;
    QList<TransferWindowState> windows; // the transfer window at every change
    QList<bool> buttonsEnabled;
    void ShadowToTable() override { ++tableRefreshes; }
    void ShadowToDip() override {}
    void ShadowToGui() override {}
    void UpdateStatusBar() override {}
    void LabelsChanged() override {}
    void ClearTerminal() override {}
    void ClearPacketConsole() override {}
    void SetRedetectButtonsEnabled(bool enabled) override { buttonsEnabled << enabled; }
    void TransferWindowChanged() override { windows << window_; }

private:
    const TransferWindowState& window_;
};

// The reading and writing transfers against the simulated transmitter, in virtual time, with the
// engine ticking every 10 ms.
struct WriteRig {
    explicit WriteRig(int configId = 53) : line(clock, configId)
    {
        engine.Connect(port, dialogs, portState, engineViews);
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
    bool RunUntilIdle(qint64 limitMs = 120000)
    {
        const bool idle = clock.RunUntil([this] { return !transfers.EngineBusy(); }, limitMs);
        clock.RunFor(5000);
        return idle;
    }
    // The device's requests as (index, subindex), oldest first.
    QList<QPair<int, int>> Requests()
    {
        QList<QPair<int, int>> list;
        for (const QByteArray& request : line.Device().Requests())
            list << QPair<int, int>{PacketIndex(request), PacketSubindex(request)};
        return list;
    }
    // The subindexes requested of one index.
    QList<int> Subindexes(int index)
    {
        QList<int> subs;
        for (const auto& request : Requests()) {
            if (request.first == index)
                subs << request.second;
        }
        return subs;
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
    // The packet types the device got, in order.
    QList<int> Types()
    {
        QList<int> types;
        for (const QByteArray& request : line.Device().Requests())
            types << PacketType(request);
        return types;
    }
    QStringList Titles() const
    {
        QStringList titles;
        for (const auto& message : dialogs.messages)
            titles << message.title;
        return titles;
    }

    VirtualClock clock;
    SimLine line;
    ScriptedDialogs dialogs;
    PortState portState;
    SerialPortAccess port{line, clock, dialogs, portState};
    CountingEngineViews engineViews{clock};
    TransmitEngine engine;
    DeviceImage image;
    RecordingTransferViews views{engine.Window()};
    TransferOptions options;
    qint16 HVXPort = 0;
    int authLevel = 30;
    DeviceTransfers transfers{
        TransferContext{engine, port, portState, image, dialogs, views, options, [this] { return authLevel; }, HVXPort}};
    DeviceWrites writes{transfers};
};

} // namespace tunekit::testing
