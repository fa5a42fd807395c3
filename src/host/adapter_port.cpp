#include "host/adapter_port.h"

#include <QSerialPortInfo>
#include <QString>

namespace tunekit {

qint16 PortNumberOfSystemName(const QString& systemName)
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

qint16 ConnectedAdapterPort()
{
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.hasVendorIdentifier() && info.vendorIdentifier() == AdapterVendorId && info.hasProductIdentifier()
            && info.productIdentifier() == AdapterProductId) {
            if (const qint16 port = PortNumberOfSystemName(info.portName()); port > 0)
                return port;
        }
    }
    return 0;
}

QString UsbAdapterPortName()
{
    const qint16 port = ConnectedAdapterPort();
    return port > 0 ? QStringLiteral("COM%1").arg(port) : QString();
}

} // namespace tunekit
