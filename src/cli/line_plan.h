#pragma once

#include "cli/cli_options.h"
#include "link/clock.h"
#include "link/serial_line.h"
#include "sim/sim_switches.h"

#include <QString>

#include <memory>
#include <optional>

namespace tunekit::cli {

// The line a run drives: the simulated transmitter (set up by its switches), a port named by its
// system name, or the adapter's port as discovery finds it; and how packets leave on it.
struct LinePlan {
    std::optional<SimSwitches> simulated; // --simulate: the transmitter inside the program
    QString port;                         // --port as the system names it; "": the adapter's
    bool paced = false;                   // one packet per 10 ms tick
};

// The plan a run's options give.
LinePlan linePlan(const Options& options);

// The line for the plan: the in-process simulated transmitter, or the serial port.
std::unique_ptr<SerialLine> makeLine(const LinePlan& plan, Clock& clock);

} // namespace tunekit::cli
