#include "session/port_discovery.h"

#include "host/host_facts.h"
#include "session/station.h"

namespace tunekit {

QCoro::Task<> discoverAdapterPort(Station& station, DiscoveryState& discovery, const HostFacts& host)
{
    const PortProbe probe = [&station](int n) { return station.probePort(n); };
    const PortState state = station.portState();
    const PortChoice chosen = chooseComPort(discovery, {state.portNumber, state.adapterFound, state.adapterPort}, probe,
                                            [&discovery, &host] { return findAdapterPort(discovery, host.adapterPortName()); });
    station.choosePort(chosen.portNumber, chosen.adapterFound, chosen.adapterPort);
    co_await usePort(station, discovery, chosen.portNumber);
}

QCoro::Task<> usePort(Station& station, DiscoveryState& discovery, qint16 offered)
{
    discovery.menu.otherVisible = false;
    PortState state = station.portState();
    state.portNumber = menuPort(discovery, state.adapterFound, state.adapterPort, offered,
                               [&station](int n) { return station.probePort(n); });
    station.choosePort(state.portNumber, state.adapterFound, state.adapterPort);
    if (state.portNumber >= 1)
        co_await station.reopenPort();
}

} // namespace tunekit
