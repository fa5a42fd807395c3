#pragma once

#include "link/packet_codec.h"
#include "support/session_rig.h"

namespace tunekit::testing {

// The reading and writing transfers of a whole session against the simulated transmitter, in
// virtual time, with the engine ticking every 10 ms; the session's parts go by short names.
struct TransferRig : SessionRig {
    explicit TransferRig(int configId = 53) : SessionRig(configId)
    {
        views.window = &engine.Window();
        views.clock = &clock;
        accessLevel = AccessLevel::Level3();
        image.InitDeviceImage(LevelMarks(accessLevel), Language::English);
    }

    // Opens the simulated adapter's port as discovery would have.
    void Connect()
    {
        SessionRig::Connect();
        portState.adapterPort = 1;
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
        Finish(transfers.DetectDevice());
        clock.RunFor(5000);
        line.Device().ClearRequests();
        views.refreshes = 0;
        views.windows.clear();
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
        for (const auto& [requested, sub] : Requests()) {
            if (requested == index)
                subs << sub;
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

    TransmitEngine& engine = session.Engine();
    SerialPortAccess& port = session.Rs232();
    PortState& portState = session.Port();
    DeviceImage& image = session.Image();
    TransferOptions& options = session.Options();
    DeviceTransfers& transfers = session.Transfers();
    DeviceWrites& writes = session.Writes();
    AccessLevel& accessLevel = session.Access().level;
};

} // namespace tunekit::testing
