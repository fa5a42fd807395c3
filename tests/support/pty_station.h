#pragma once

#include "link/qserialport_line.h"
#include "session/station.h"
#include "sim/pty_server.h"
#include "support/rig.h"

#include <QCoroTask>

namespace tunekit::testing {

// One station on a simulated transmitter of its own behind a pseudo-terminal, in real time;
// several of them share one clock and one thread.
struct PtyStation {
    PtyStation(Clock& time, int configId) : clock(time), server(configId)
    {
        // A pseudo-terminal has no DTR line, so the reset after a batch would only cost 3 s.
        station.Engine().Reset().automaticResetOff = true;
        station.Image().InitDeviceImage(LevelMarks(AccessLevel::Level3()), Language::English);
        views.clock = &clock;
    }
    bool Start() { return server.Start() && station.OpenAdapterPort(1); }
    // Detects the device, then reads every parameter of its family.
    QCoro::Task<ReadOutcome> DetectAndRead()
    {
        co_await station.Detect();
        co_return co_await station.ReadParameters();
    }

    Clock& clock;
    PtyServer server;
    QSerialPortLine line{[this](int) { return server.SlavePath(); }};
    ScriptedDialogs dialogs;
    RecordingViews views;
    Station station{StationSeams{line, clock, dialogs}, views, [] { return AccessLevel::Level3(); }};
};

} // namespace tunekit::testing
