#pragma once

#include "consoles/packet_dump.h"

#include <QStringView>

#include <array>

namespace tunekit {

class Dialogs;
class SerialPortAccess;
class TransmitEngine;

// What the two consoles do on the line. The windows hold one and forward the user's actions to it.
class ConsoleCommands {
public:
    ConsoleCommands(SerialPortAccess& port, TransmitEngine& engine, Dialogs& dialogs) noexcept
        : port_(&port), engine_(&engine), dialogs_(&dialogs)
    {
    }

    // A key typed into the terminal: its character goes to the device unchanged while the port
    // is open; the terminal shows only the device's echo. True when a byte was written.
    bool sendTypedKey(int keyCode);

    // The packet made by hand in the packet console is queued and sent on the next tick like any
    // other, ending with the usual end-of-queue work. A field that is not hexadecimal in its
    // range is reported to the user and nothing is sent.
    ConsolePacket sendPacket(QStringView type, QStringView index, QStringView subindex,
                             const std::array<QStringView, 4>& data);

    // Restarts the device by a DTR pulse; the reset runs on by itself.
    void resetDevice();

private:
    SerialPortAccess* port_;
    TransmitEngine* engine_;
    Dialogs* dialogs_;
};

} // namespace tunekit
