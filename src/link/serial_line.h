#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <utility>

namespace tunekit {

// The one serial line to the programming adapter: 38400 baud, 8N1, no handshake.
class SerialLine {
public:
    enum class Event {
        DataReceived,
        ReceiveOverrun,   // receive buffer overflowed, bytes lost
        TransmitFull,     // transmit buffer full
        HardwareOverrun,
        PortLost,         // the adapter vanished (unplugged) while open
    };
    using Listener = std::function<void(Event)>;
    // Why the last Open failed, as far as the system tells.
    enum class OpenFailure {
        None,
        NotFound,     // no such port
        NoPermission, // the user may not use the port
        InUse,        // another program holds it
        Other,        // see openErrorText
    };

    virtual ~SerialLine() = default;

    // Opens port number n (1..). Returns false when it does not exist or is held elsewhere.
    virtual bool open(int portNumber) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Lines that have no modem control (a pseudo-terminal) ignore these.
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
    // Returns false when the bytes could not be handed to the line.
    virtual bool write(const QByteArray& bytes) = 0;
    virtual QByteArray readAll() = 0;
    // The system's name of the open port, for the user ("/dev/ttyUSB0", "COM3", "simulated").
    virtual QString portName() const = 0;
    // The simulated transmitter, not a real adapter, is at the far end.
    virtual bool simulated() const { return false; }
    virtual OpenFailure lastOpenFailure() const { return OpenFailure::None; }
    // The system's own words for the last failed Open.
    virtual QString openErrorText() const { return {}; }
    // After NoPermission: the group whose members may open the port ("dialout"); "" when no group
    // gives access (a pseudo-terminal of another user).
    virtual QString accessGroup() const { return {}; }

    void setListener(Listener listener) { listener_ = std::move(listener); }

protected:
    void notify(Event event) const
    {
        if (listener_)
            listener_(event);
    }

private:
    Listener listener_;
};

} // namespace tunekit
