#include "host/adapter_port.h"

#include <QSerialPortInfo>
#include <QString>

namespace tunekit {

qint16 portNumberOfSystemName(const QString& systemName)
{
    const QString name = systemName.section(QLatin1Char('/'), -1);
    bool ok = false;
    int number = 0;
    if (name.startsWith(QLatin1StringView("COM"), Qt::CaseInsensitive))
        number = name.mid(3).toInt(&ok);
    else if (name.startsWith(QLatin1StringView("ttyUSB")))
        number = name.mid(6).toInt(&ok) + 1;
    return ok && number >= 1 && number <= 256 ? static_cast<qint16>(number) : qint16(0);
}

qint16 connectedAdapterPort()
{
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.hasVendorIdentifier() && info.vendorIdentifier() == AdapterVendorId && info.hasProductIdentifier()
            && info.productIdentifier() == AdapterProductId) {
            if (const qint16 port = portNumberOfSystemName(info.portName()); port > 0)
                return port;
        }
    }
    return 0;
}

QString usbAdapterPortName()
{
    const qint16 port = connectedAdapterPort();
    return port > 0 ? QStringLiteral("COM%1").arg(port) : QString();
}

QList<SystemPort> systemPorts()
{
    QList<SystemPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SystemPort port;
        port.location = info.systemLocation();
        if (info.hasVendorIdentifier())
            port.id = QStringLiteral("%1:%2")
                          .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                          .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        port.description = info.description();
        port.usbSerial = info.serialNumber();
        port.adapter = info.hasVendorIdentifier() && info.vendorIdentifier() == AdapterVendorId
                       && info.hasProductIdentifier() && info.productIdentifier() == AdapterProductId;
        ports.append(port);
    }
    return ports;
}

QString portOfAdapter(const QList<SystemPort>& ports, const QString& usbSerial)
{
    for (const SystemPort& port : ports) {
        if (!usbSerial.isEmpty() && port.usbSerial == usbSerial)
            return port.location;
    }
    return {};
}

QString adapterOfPort(const QList<SystemPort>& ports, const QString& port)
{
    const QString name = port.section(QLatin1Char('/'), -1);
    for (const SystemPort& known : ports) {
        if (known.location == port || known.location.section(QLatin1Char('/'), -1) == name)
            return known.usbSerial;
    }
    return {};
}

} // namespace tunekit
