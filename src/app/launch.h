#pragma once

#include "app/main_window.h"

#include <QString>
#include <QStringList>

namespace tunekit {

// What the command line asks of a run.
struct LaunchOptions {
    bool simulate = false; // the built-in simulated transmitter instead of a port
    int configId = 5;      // its ConfigID
    bool paced = false;    // one packet per timer tick
    QString port;          // a port named for this run ("/dev/ttyUSB3", "/dev/pts/7", "COM7"); "" = discovery
};

// What a command line asks of the program: a run with its options, or an answer that needs no
// window (help, version, manual page, the adapter check) or a usage error.
struct LaunchRequest {
    LaunchOptions options;
    QString text;              // help, version or manual page (standard output), or the usage error
    bool usageError = false;   // text says what is wrong (standard error)
    bool adapterCheck = false; // --has-adapter: exit with 0 when a programming adapter is connected
};

// Parses the arguments (the program's name first) against the program's option table, the one
// source of --help and of the manual page. Texts are in the language installed.
LaunchRequest parseLaunchArguments(const QStringList& arguments);

// Whether the window system can start: a platform is named (-platform, QT_QPA_PLATFORM), or on
// Linux and the other X11/Wayland systems DISPLAY or WAYLAND_DISPLAY is set.
bool displayNamed(const QStringList& arguments, const QStringList& environment);
// What the program says when it has no display to show its window on.
QString noDisplayText();

// The line, clock, host and port plan of a run.
MainWindowSetup makeWindowSetup(const LaunchOptions& options);

} // namespace tunekit
