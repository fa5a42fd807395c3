#pragma once

#include "link/clock.h"
#include "link/serial_line.h"
#include "sim/sim_switches.h"

#include <QString>

#include <memory>
#include <optional>

namespace tunekit {

// The line a station drives: the simulated transmitter (set up by its switches), a port named by
// its system name, or the adapter's port as discovery finds it; and how packets leave on it.
// The window, tunekit-cli, the production line and the tests plan their lines alike.
struct LinePlan {
    std::optional<SimSwitches> simulated; // the transmitter inside the program
    QString port;                         // the port's system name; "": the adapter's, as found
    bool paced = false;                   // one packet per 10 ms tick
};

// The line for the plan: the in-process simulated transmitter, or the serial port.
std::unique_ptr<SerialLine> makeLine(const LinePlan& plan, Clock& clock);

} // namespace tunekit
