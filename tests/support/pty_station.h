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
        station.setAutomaticResetOff(true);
        station.prepareForUnit(levelMarks(AccessLevel::level3()));
    }
    bool start() { return server.start() && station.openAdapterPort(1); }
    // Detects the device, then reads every parameter of its family.
    QCoro::Task<ReadOutcome> detectAndRead()
    {
        co_await station.detect();
        co_return co_await station.readParameters();
    }

    Clock& clock;
    PtyServer server;
    QSerialPortLine line{[this](int) { return server.slavePath(); }};
    ScriptedDialogs dialogs;
    RecordingViews views;
    Station station{StationSeams{line, clock, dialogs}, views, [] { return AccessLevel::level3(); }};
};

} // namespace tunekit::testing
