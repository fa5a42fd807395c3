#pragma once

#include <QString>
#include <QtGlobal>

namespace tunekit {

// The programming adapter's FTDI converter: vendor 0403, product D7A0.
constexpr quint16 AdapterVendorId = 0x0403;
constexpr quint16 AdapterProductId = 0xD7A0;

// Port number (as in "COMn") of the first connected programming adapter; 0 when none.
qint16 ConnectedAdapterPort();
// The same as the registry would report it: "COM<n>", or "" when no adapter is connected.
QString UsbAdapterPortName();

// Port number of a system port name: "COM7" -> 7, "/dev/ttyUSB0" or "ttyUSB0" -> 1; 0 if none.
qint16 PortNumberOfSystemName(const QString& systemName);

} // namespace tunekit
