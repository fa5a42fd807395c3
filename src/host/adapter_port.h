#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace tunekit {

// The programming adapter's FTDI converter: vendor 0403, product D7A0.
constexpr quint16 AdapterVendorId = 0x0403;
constexpr quint16 AdapterProductId = 0xD7A0;

// Port number (as in "COMn") of the first connected programming adapter; 0 when none.
qint16 connectedAdapterPort();
// The same as the registry would report it: "COM<n>", or "" when no adapter is connected.
QString usbAdapterPortName();

// Port number of a system port name: "COM7" -> 7, "/dev/ttyUSB0" or "ttyUSB0" -> 1; 0 if none.
qint16 portNumberOfSystemName(const QString& systemName);

// A serial port as the system reports it.
struct SystemPort {
    QString location;    // "/dev/ttyUSB0", "COM7"
    QString id;          // "0403:d7a0"; "" when not on USB
    QString description;
    QString usbSerial;   // the USB converter's own serial number; "" when none
    bool adapter = false; // a programming adapter
};
QList<SystemPort> systemPorts();
// The port of the adapter with this USB serial number, whichever socket it is plugged into; ""
// when none is.
QString portOfAdapter(const QList<SystemPort>& ports, const QString& usbSerial);
// The USB serial number of the converter behind a port ("" when none is known).
QString adapterOfPort(const QList<SystemPort>& ports, const QString& port);

} // namespace tunekit
