#include "consoles/console_commands.h"

#include "base/dialogs.h"
#include "consoles/terminal_buffer.h"
#include "link/serial_line.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"

#include <QCoreApplication>

namespace tunekit {

bool ConsoleCommands::TerminalKeyPress(int keyAscii)
{
    const QByteArray bytes = TerminalKeyBytes(port_->Line().IsOpen(), keyAscii);
    return !bytes.isEmpty() && port_->Line().Write(bytes);
}

ConsolePacket ConsoleCommands::cmdSend_Click(QStringView type, QStringView index, QStringView subindex,
                                             const std::array<QStringView, 4>& data)
{
    ConsolePacket packet = ParseConsolePacket(type, index, subindex, data);
    if (!packet.Ok()) {
        dialogs_->MsgBox(packet.error, MsgButtons::Ok, MsgIcon::Exclamation,
                         QCoreApplication::translate("PacketConsole", "Packet not sent"));
        return packet;
    }
    engine_->SendPacket(packet.type, packet.index, packet.subindex, packet.data);
    engine_->State().sending = true;
    return packet;
}

void ConsoleCommands::ResetButton_Click()
{
    port_->ResetDevice(); // runs on by itself
}

} // namespace tunekit
