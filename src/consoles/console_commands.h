#pragma once

#include "consoles/packet_dump.h"

#include <QStringView>

#include <array>

namespace tunekit {

class Dialogs;
class SerialPortAccess;
class TransmitEngine;

// What the two consoles do on the line. The windows hold one and forward their events to it.
class ConsoleCommands {
public:
    ConsoleCommands(SerialPortAccess& port, TransmitEngine& engine, Dialogs& dialogs) noexcept
        : port_(&port), engine_(&engine), dialogs_(&dialogs)
    {
    }

    // txtTerminal_KeyPress: the typed character goes to the device unchanged while the port is
    // open; the terminal shows only the device's echo. True when a byte was written.
    bool TerminalKeyPress(int keyAscii);

    // cmdSend_Click: the hand-made packet is queued and sent on the next tick like any other,
    // ending with the usual end-of-queue steps. A field that is not hexadecimal in its range
    // is reported to the user and nothing is sent.
    ConsolePacket cmdSend_Click(QStringView type, QStringView index, QStringView subindex,
                                const std::array<QStringView, 4>& data);

    // ResetButton_Click.
    void ResetButton_Click();

private:
    SerialPortAccess* port_;
    TransmitEngine* engine_;
    Dialogs* dialogs_;
};

} // namespace tunekit
