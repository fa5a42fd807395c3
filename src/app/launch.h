#pragma once

#include "app/main_window.h"

#include <QString>

namespace tunekit {

// What the command line asks of a run.
struct LaunchOptions {
    bool simulate = false; // the built-in simulated transmitter instead of a port
    int configId = 5;      // its ConfigID
    bool paced = false;    // one packet per timer tick
    QString port;          // a port named for this run ("/dev/ttyUSB3", "/dev/pts/7", "COM7"); "" = discovery
};

// The line, clock, host and port plan of a run.
MainWindowSetup MakeWindowSetup(const LaunchOptions& options);

} // namespace tunekit
