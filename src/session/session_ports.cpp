// The window's port: found by discovery or named for the run, shown in the COM menu and the
// status bar, detected anew, and lent to the Production tab's line while it runs.
#include "session/session.h"

#include "base/dialogs.h"
#include "host/adapter_discovery.h"
#include "link/serial_line.h"
#include "session/port_discovery.h"

namespace tunekit {

QCoro::Task<> Session::findPort(bool quiet)
{
    if (plan_.discover)
        co_await checkComPorts(quiet);
    else
        openNamedPort();
}

void Session::openNamedPort()
{
    // The port named for this run stands in for the adapter's: it is used as found when it opens.
    station_.openAdapterPort(plan_.number);
    const PortState state = station_.portState();
    discovery_.adapterLocated = state.adapterFound;
    discovery_.adapterPortCaption = namedPortCaption();
    showPortInMenu();
    views_.connectionChanged();
    views_.changed(StationChange::Status);
}

QCoro::Task<> Session::checkComPorts(bool quiet)
{
    co_await discoverAdapterPort(station_, discovery_, seams_.host);
    portTaken();
    if (quiet)
        co_return;
    const PortState found = station_.portState();
    if (const auto message = comMessageFor(discovery_, found.adapterFound, found.adapterPort, os_.messageName))
        seams_.dialogs.msgBox(message->text, MsgButtons::Ok, message->icon, message->title);
}

QCoro::Task<> Session::usePort(qint16 offered)
{
    co_await tunekit::usePort(station_, discovery_, offered);
    portTaken();
}

void Session::portTaken()
{
    const PortState state = station_.portState();
    if (state.portNumber >= 1) {
        views_.changed(StationChange::Facts | StationChange::Values | StationChange::Status);
        writeSettingsFile();
    }
    showPortInMenu();
    views_.connectionChanged();
}

bool Session::portNamed() const
{
    return !plan_.discover && !plan_.name.isEmpty() && !seams_.line.simulated();
}

void Session::showPortInMenu()
{
    const PortState state = station_.portState();
    updateComMenu(discovery_.menu, state.portNumber, state.adapterPort);
    // A port named for this run (/dev/ttyUSB3, /dev/pts/7) is shown by its own name, not as COM1.
    if (portNamed() && state.portNumber >= 1) {
        discovery_.menu.otherVisible = true;
        discovery_.menu.otherCaption = plan_.name;
        discovery_.menu.checked = 6;
    }
}

QCoro::Task<> Session::redetectPort()
{
    if (refusedForDevice())
        co_return;
    co_await station_.releasePort();
    views_.changed(StationChange::Facts);
    views_.showRedetectWindow(true);
    co_await findPort(false);
    views_.showRedetectWindow(false);
    co_await station_.redetect();
}

void Session::lendPort()
{
    if (portLent_)
        return;
    station_.closePort();
    portLent_ = true;
    views_.connectionChanged();
}

QCoro::Task<> Session::takePortBack()
{
    if (!portLent_)
        co_return;
    // Lent until it is open again.
    co_await station_.reopenPort();
    portLent_ = false;
    portTaken();
}

} // namespace tunekit
