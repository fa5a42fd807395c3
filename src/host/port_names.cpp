#include "host/port_names.h"

namespace tunekit {

QString systemPortName(int portNumber)
{
#ifdef _WIN32
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyUSB%1").arg(portNumber - 1);
#endif
}

} // namespace tunekit
