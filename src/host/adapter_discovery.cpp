#include "host/adapter_discovery.h"

#include "base/dialogs.h"
#include "host/adapter_registry.h"

#include <QCoreApplication>

namespace tunekit {
namespace {

std::size_t slot(int port)
{
    return static_cast<std::size_t>(port);
}

// Port numbers 1..16 that belong to the adapter carry this mark in the menu.
QString adapterSuffix(int port, qint16 adapterPort)
{
    return port >= 1 && port <= 16 && port == adapterPort ? QStringLiteral("  <- HVX") : QString();
}

QString fill(QString text, const QString& osName, qint16 port)
{
    return text.replace(QLatin1StringView("%1"), osName).replace(QLatin1StringView("%2"), QString::number(port));
}

} // namespace

qint16 findAdapterPort(DiscoveryState& discovery, const QString& portName)
{
    const auto number = static_cast<qint16>(portNumberOfPortName(portName.toStdString()));
    discovery.adapterLocated = number >= 1;
    discovery.adapterPortCaption =
        number >= 1 ? QStringLiteral("COM%1").arg(number) : QStringLiteral("HVX-USPI not installed");
    return number;
}

PortChoice chooseComPort(DiscoveryState& discovery, PortChoice port, const PortProbe& probe,
                         const std::function<qint16()>& findAdapter)
{
    qint16& adapterPort = port.adapterPort;
    discovery.firstFreePortChosen = false;
    port.adapterFound = false;
    discovery.noPortFound = false;
    bool anyAvailable = false;
    for (int k = 1; k <= 5; ++k) {
        const bool available = probe(k);
        discovery.portAvailable[slot(k)] = available;
        discovery.menu.enabled[slot(k - 1)] = available;
        anyAvailable = anyAvailable || available;
    }
    if (port.portNumber > 5 && port.portNumber <= 256) {
        const bool available = probe(port.portNumber);
        discovery.portAvailable[slot(port.portNumber)] = available;
        discovery.menu.otherEnabled = available;
        anyAvailable = anyAvailable || available;
    }
    if (!discovery.adapterLocated)
        adapterPort = findAdapter();
    if (discovery.adapterLocated && probe(adapterPort))
        port.adapterFound = true;

    if (port.adapterFound) {
        port.portNumber = adapterPort;
    } else if (!anyAvailable) {
        port.portNumber = 0;
        discovery.noPortFound = true;
    } else {
        for (int k = 1; k <= 256; ++k) {
            if (discovery.portAvailable[slot(k)]) {
                port.portNumber = static_cast<qint16>(k);
                break;
            }
        }
        discovery.firstFreePortChosen = true;
    }
    return port;
}

qint16 menuPort(const DiscoveryState& discovery, bool adapterFound, qint16 adapterPort, qint16 offered,
                const PortProbe& probe)
{
    if (adapterFound)
        return adapterPort;
    if (!discovery.settingsPortKnown)
        return offered;
    return probe(discovery.settingsPort) ? discovery.settingsPort : qint16(0);
}

void updateComMenu(ComMenu& menu, qint16 portNumber, qint16 adapterPort)
{
    menu.otherVisible = false;
    menu.checked = 0;
    if (portNumber < 1)
        return;
    for (int k = 1; k <= 5; ++k)
        menu.captions[slot(k - 1)] = QStringLiteral("COM%1").arg(k) + adapterSuffix(k, adapterPort);
    if (portNumber > 5) {
        menu.otherVisible = true;
        menu.otherCaption = QStringLiteral("COM%1").arg(portNumber) + adapterSuffix(portNumber, adapterPort);
        menu.checked = 6;
    } else {
        menu.checked = portNumber;
    }
}

namespace {

// The adapter's driver is not installed: the first free port is taken, if there is one.
ComMessage adapterNotInstalledMessage(bool noPortFound, qint16 adapterPort, const QString& osName)
{
    if (noPortFound) {
        return ComMessage{
            fill(QCoreApplication::translate(
                     "PortDiscovery",
                     "\"HVX-USB-Serial Programming Interface\" is not installed\r\n"
                     "and there is no free serial port available !\r\n\r\n"
                     "1. Please finish the Program and (re)install the correct drivers and connect\r\n"
                     "   the device to your %1 - PC.\r\n"
                     "2. Restart this program.\r\n\r\n"
                     "If there is another error try to choose the Port manually!"),
                 osName, adapterPort),
            QCoreApplication::translate("PortDiscovery", "No free Port", "adapter not installed"), MsgIcon::Critical};
    }
    return ComMessage{
        fill(QCoreApplication::translate(
                 "PortDiscovery",
                 "\"HVX-USB-Serial Programming Interface\" is not installed on your PC.\r\n"
                 "The first free COM-Port is chosen automatically.\r\n\r\n"
                 "1. Please finish the program and (re)install the correct drivers and connect\r\n"
                 "   the device to your  %1 - PC.\r\n"
                 "2. Restart this program.\r\n\r\n"
                 "If there is another error try to choose the Port manually!"),
             osName, adapterPort),
        QCoreApplication::translate("PortDiscovery", "Adapter not installed"), MsgIcon::Critical};
}

} // namespace

std::optional<ComMessage> comMessageFor(const DiscoveryState& discovery, bool adapterFound, qint16 adapterPort,
                                        const QString& osName)
{
    if (!discovery.adapterLocated)
        return adapterNotInstalledMessage(discovery.noPortFound, adapterPort, osName);
    if (adapterFound) {
        return ComMessage{fill(QCoreApplication::translate("PortDiscovery",
                                                           "\"HVX-USB-Serial Programming Interface\" detected at COM%2 .\r\n\r\n"
                                                           "1. Please connect your transmitter to the programmer\r\n"
                                                           "2. Press OK."),
                               osName, adapterPort),
                          QCoreApplication::translate("PortDiscovery", "Connection OK"), MsgIcon::Information};
    }
    if (discovery.noPortFound) {
        return ComMessage{
            fill(QCoreApplication::translate(
                     "PortDiscovery",
                     "\"HVX-USB-Serial Programming Interface\" not found, \r\n"
                     "the interface is in use, an incorrect COM-Port is chosen.\r\n"
                     "and there is no free serial port available !\r\n\r\n"
                     "1. Please finish the program and close any programs using COM%2.\r\n"
                     "2. Restart this program.\r\n\r\n"
                     "3. Change your hardware's COM-Port (COM1 - COM16)\r\n"
                     "4. In main menu press Interface_Detect"),
                 osName, adapterPort),
            QCoreApplication::translate("PortDiscovery", "No free Port", "adapter installed"), MsgIcon::Critical};
    }
    if (discovery.firstFreePortChosen) {
        return ComMessage{
            fill(QCoreApplication::translate(
                     "PortDiscovery",
                     "\"HVX-USB-Serial Programming Interface\" not found, \r\n"
                     "the interface is in use or an incorrect COM-Port is chosen.\r\n\r\n"
                     "1. Please check the connection between your %1 - PC and USB-Adapter and press OK\r\n"
                     "2. Close any programs using COM%2.\r\n"
                     "3. Change your hardware's COM-Port (COM1 - COM16)\r\n"
                     "4. In main menu press Interface_Detect"),
                 osName, adapterPort),
            QCoreApplication::translate("PortDiscovery", "Connection fault"), MsgIcon::Exclamation};
    }
    return std::nullopt;
}

} // namespace tunekit
