#pragma once

#include "host/adapter_discovery.h"

#include <QCoroTask>

namespace tunekit {

class HostFacts;
class Station;

// The programming adapter's port as discovery finds it (or, without an adapter, the first port
// that opens), taken into use and opened afresh; what was read or loaded is forgotten. The window
// and the command line look for the adapter alike; the window tells the user what was found.
QCoro::Task<> discoverAdapterPort(Station& station, DiscoveryState& discovery, const HostFacts& host);

// Takes the port offered (the Interface menu's choice, or discovery's) into use: the adapter's
// port once found; opens it afresh when there is one. The menu's other ports hide.
QCoro::Task<> usePort(Station& station, DiscoveryState& discovery, qint16 offered);

} // namespace tunekit
