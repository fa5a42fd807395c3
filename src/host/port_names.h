#pragma once

#include <QString>

namespace tunekit {

// The system name of COM port number n: "COMn" on Windows, /dev/ttyUSB<n-1> elsewhere
// (the adapter's FTDI converter appears there).
QString systemPortName(int portNumber);

} // namespace tunekit
