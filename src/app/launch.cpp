#include "app/launch.h"

#include "host/adapter_port.h"
#include "link/qserialport_line.h"
#include "link/qt_clock.h"
#include "sim/sim_line.h"

namespace tunekit {

MainWindowSetup MakeWindowSetup(const LaunchOptions& options)
{
    MainWindowSetup setup;
    setup.clock = std::make_unique<QtClock>();
    setup.host = std::make_unique<SystemHostFacts>();
    setup.paced = options.paced;
    if (options.simulate) {
        setup.line = std::make_unique<SimLine>(*setup.clock, options.configId);
        setup.plan = {false, 1, QString()};
    } else if (!options.port.isEmpty()) {
        // Every port number opens the named port; its number (COM7, ttyUSB6) is kept where it
        // has one, so that the status bar and the messages speak of the right COM port.
        const qint16 number = PortNumberOfSystemName(options.port);
        setup.line = std::make_unique<QSerialPortLine>([name = options.port](int) { return name; });
        setup.plan = {false, number >= 1 ? number : qint16(1), options.port};
    } else {
        setup.line = std::make_unique<QSerialPortLine>();
        setup.plan = {};
    }
    return setup;
}

} // namespace tunekit
