#pragma once

#include "session/session.h"
#include "link/qserialport_line.h"
#include "link/qt_clock.h"
#include "sim/pty_server.h"
#include "support/pty_station.h"
#include "support/rig.h"
#include "support/station_probe.h"

#include <QTest>

#include <functional>
#include <memory>

namespace tunekit::testing {

// The whole logic in real time, through the real QSerialPort, against the simulated
// transmitter on a pseudo-terminal served from this process. Port 1 is the terminal of the
// server started last, a transmitter of family 53; every other number names nothing.
struct PtyRig {
    PtyRig()
    {
        // A pseudo-terminal has no DTR line, so the reset after a batch would only cost 3 s.
        session.setAutomaticResetOff(true);
        engine.setDownloadResponseHandler([this](const QByteArray& p) {
            responses.append(p);
            transfers.handleDownloadResponse(p);
        });
        clock.startTicker(10, [this] { session.mainTimerTick(); });
    }

    // A new server; the one before (if any) is stopped and gone.
    bool startServer()
    {
        server = std::make_unique<PtyServer>(53);
        return server->start();
    }
    void connect()
    {
        portState.portNumber = 1;
        portState.adapterFound = port.openPort();
    }
    // Reads of index 0x2000..0x200F, subindex counting up every 16 packets.
    void queueReads(int count)
    {
        for (int i = 0; i < count; ++i)
            engine.sendPacket(0x10, 0x2000 + i % 16, static_cast<std::uint8_t>(i / 16));
        engine.state().sending = true;
    }
    // Runs the event loop until done() holds or limitMs pass.
    bool pumpUntil(const std::function<bool()>& done, qint64 limitMs)
    {
        return QTest::qWaitFor([&done] { return done(); }, static_cast<int>(limitMs)) || done();
    }
    // The batch is over and its last answer is in (or given up).
    bool idle() const
    {
        return !engine.state().sending && engine.state().waitedMs == 0;
    }

    std::unique_ptr<PtyServer> server;
    QtClock clock;
    QSerialPortLine line{[this](int n) {
        return n == 1 && server ? server->slavePath() : QStringLiteral("/dev/tunekit-no-such-port-%1").arg(n);
    }};
    ScriptedDialogs dialogs;
    FixedHost host;
    RecordingViews views;
    UiLanguage language;
    Session session{SessionSeams{line, clock, dialogs, host, nullptr}, views, language};
    TransmitEngine& engine = StationProbe::engine(session.device());
    SerialPortAccess& port = StationProbe::port(session.device());
    PortState& portState = port.state();
    DeviceTransfers& transfers = StationProbe::transfers(session.device());
    QList<QByteArray> responses;
};

} // namespace tunekit::testing
