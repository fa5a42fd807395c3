#include "consoles/console_commands.h"

#include "base/dialogs.h"
#include "consoles/terminal_buffer.h"
#include "link/serial_line.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"

#include <QCoreApplication>

namespace tunekit {

bool ConsoleCommands::sendTypedKey(int keyCode)
{
    const QByteArray bytes = terminalKeyBytes(port_->line().isOpen(), keyCode);
    return !bytes.isEmpty() && port_->line().write(bytes);
}

ConsolePacket ConsoleCommands::sendPacket(QStringView type, QStringView index, QStringView subindex,
                                          const std::array<QStringView, 4>& data)
{
    ConsolePacket packet = parseConsolePacket(type, index, subindex, data);
    if (!packet.ok()) {
        dialogs_->msgBox(packet.error, MsgButtons::Ok, MsgIcon::Exclamation,
                         QCoreApplication::translate("PacketConsole", "Packet not sent"));
        return packet;
    }
    engine_->sendPacket(packet.type, packet.index, packet.subindex, packet.data);
    engine_->startSending();
    return packet;
}

void ConsoleCommands::resetDevice()
{
    port_->startReset(); // runs on by itself; nobody here waits for it
}

} // namespace tunekit
