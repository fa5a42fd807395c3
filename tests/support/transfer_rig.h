#pragma once

#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "params/device_image.h"
#include "support/session_rig.h"
#include "transfer/parameter_read.h"
#include "transfer/parameter_write.h"

namespace tunekit::testing {

// The reading and writing transfers against the simulated transmitter, in virtual time, with the
// engine ticking every 10 ms.
struct TransferRig {
    explicit TransferRig(int configId = 53) : line(clock, configId)
    {
        views.window = &engine.Window();
        views.clock = &clock;
        engine.Connect(port, dialogs, portState, views);
        engine.SetAuthLevelSource([this] { return authLevel; });
        line.SetListener([this](SerialLine::Event event) { engine.OnComm(event); });
        image.InitDeviceImage(authLevel, Language::English);
        clock.StartTicker(10, [this] { engine.TransmitTick(); });
    }
    ~TransferRig() { clock.Clear(); }

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
    // A detected device; the detection's traffic is forgotten.
    void Detect()
    {
        Connect();
        transfers.DetectDevice();
        clock.RunFor(5000);
        line.Device().ClearRequests();
        views.refreshes = 0;
        views.windows.clear();
    }
    // The device read into the image, as a user would before writing; its traffic is forgotten.
    void Read()
    {
        Detect();
        transfers.cmdRead_Click();
        RunUntilIdle();
        line.Device().ClearRequests();
        dialogs.messages.clear();
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
    RecordingViews views;
    TransferOptions options;
    qint16 HVXPort = 0;
    int authLevel = 30;
    DeviceTransfers transfers{
        TransferContext{engine, port, portState, image, dialogs, views, options, [this] { return authLevel; }, HVXPort}};
    DeviceWrites writes{transfers};
};

} // namespace tunekit::testing
