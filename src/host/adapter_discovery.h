#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>

namespace tunekit {

enum class MsgIcon;

// The COM menu as the window shows it: which of COM1..COM5 can be opened, the entry for a port
// above 5, their captions and which one carries the check mark.
struct ComMenu {
    std::array<QString, 5> captions{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                                    QStringLiteral("COM4"), QStringLiteral("COM5")};
    std::array<bool, 5> enabled{};
    bool otherEnabled = false; // the entry for a port above 5, and the separator before it
    bool otherVisible = false;
    QString otherCaption;
    int checked = 0;           // 1..5 a COM entry, 6 the entry above 5, 0 none
};

// What discovery found out, kept between its runs. The port in use, the adapter's port and
// whether the adapter was found are the main window's values, shared with the serial port.
struct DiscoveryState {
    bool adapterLocated = false;      // the adapter's port number is known (found once)
    bool firstFreePortChosen = false; // no adapter: the first port that opens was taken instead
    bool noPortFound = false;         // no adapter and no port that opens
    bool settingsPortKnown = false;   // the settings file named a port
    qint16 settingsPort = 0;
    std::array<bool, 257> portAvailable{}; // by port number: it could be opened when probed
    QString adapterPortCaption;       // "COMn", or that the adapter is not installed
    ComMenu menu;
};

using PortProbe = std::function<bool(int)>;

// The port number of the adapter's "portName" as the system reports it; marks the number as
// located (when at least 1) and sets the caption of the adapter's port.
qint16 findAdapterPort(DiscoveryState& discovery, const QString& portName);

// Discovery up to the choice of the port: probes COM1..COM5 and the current port, looks the
// adapter up until it has been found once, and sets the port to use: the adapter's, else the
// first that opens. findAdapter is called only when the adapter's port is not yet known.
struct PortChoice {
    qint16 portNumber = 0;
    bool adapterFound = false;
    qint16 adapterPort = 0;
};
PortChoice chooseComPort(DiscoveryState& discovery, PortChoice port, const PortProbe& probe,
                         const std::function<qint16()>& findAdapter);

// The port a choice in the Interface menu leads to: the adapter's port once found; without a
// settings port the port offered; otherwise the settings port when it can be opened, else none.
qint16 menuPort(const DiscoveryState& discovery, bool adapterFound, qint16 adapterPort, qint16 offered,
                const PortProbe& probe);

// The captions and check mark once a port is in use (portNumber >= 1); with none in use only the
// check marks go.
void updateComMenu(ComMenu& menu, qint16 portNumber, qint16 adapterPort);

// The message that tells the user what discovery found; osName is the system's name for messages.
struct ComMessage {
    QString text;
    QString title;
    MsgIcon icon;
};
std::optional<ComMessage> comMessageFor(const DiscoveryState& discovery, bool adapterFound, qint16 adapterPort,
                                        const QString& osName);

} // namespace tunekit
