#include "link/serial_port_access.h"

#include "base/dialogs.h"
#include "link/clock.h"
#include "link/serial_line.h"
#include "link/waits.h"

#include <QCoreApplication>

namespace tunekit {

namespace {

// One line in the user's language that says why the line's last Open failed; "" when it did not.
QString openFailureReason(const SerialLine& line)
{
    switch (line.lastOpenFailure()) {
    case SerialLine::OpenFailure::None: return {};
    case SerialLine::OpenFailure::NotFound:
        return QCoreApplication::translate("SerialPort", "The port does not exist (is the adapter plugged in?).");
    case SerialLine::OpenFailure::NoPermission:
        if (const QString group = line.accessGroup(); !group.isEmpty())
            return QCoreApplication::translate(
                       "SerialPort", "You may not use this port: your user must be in the group \"%1\" "
                                     "(sudo usermod -aG %1 $USER, then log in again).")
                .arg(group);
        return QCoreApplication::translate("SerialPort", "You may not use this port: it belongs to another user, and no "
                                                         "group your user could join opens it.");
    case SerialLine::OpenFailure::InUse:
        return QCoreApplication::translate("SerialPort", "Another program is using the port.");
    case SerialLine::OpenFailure::Other: break;
    }
    return QCoreApplication::translate("SerialPort", "The system reports: %1").arg(line.openErrorText());
}

} // namespace

SerialPortAccess::SerialPortAccess(SerialLine& line, Clock& clock, Dialogs& dialogs)
    : line_(line), clock_(clock), dialogs_(dialogs)
{
}

qint64 SerialPortAccess::openDelayMs() const
{
    // An adapter that needs the long delay on reset is given it before the port opens, too.
    const qint64 delay = state_.longDelay ? state_.longDelaySeconds * 1000 : 0;
    return delay > 0 ? delay : 1;
}

bool SerialPortAccess::openPort()
{
    const qint16 port = state_.portNumber;
    bool open = line_.isOpen();
    if (!open && port >= 1) {
        open = line_.open(port);
        // Whatever is connected now has not been restarted by us yet.
        resetsAtOpen_ = resetsStarted_;
    }
    if (open) {
        line_.setRts(true);
        line_.setDtr(true);
        return true;
    }
    state_.portNumber = 0;
    QString text = QCoreApplication::translate("SerialPort", "COM=%1 already in use or not available !").arg(port);
    if (const QString reason = openFailureReason(line_); !reason.isEmpty())
        text += QStringLiteral("\r\n") + reason;
    dialogs_.msgBox(text, MsgButtons::Ok, MsgIcon::Critical,
                    QCoreApplication::translate("SerialPort", "Error opening COM-Port"));
    return false;
}

void SerialPortAccess::closePort()
{
    if (!line_.isOpen())
        return;
    line_.close();
    line_.setDtr(false);
    line_.setRts(false);
}

bool SerialPortAccess::probePort(int portNumber)
{
    if (portNumber < 1 || portNumber > 16)
        return false;
    closePort();
    const bool available = line_.open(portNumber);
    if (available)
        line_.close();
    // Reopen the port in use; with none selected there is nothing to reopen.
    if (state_.portNumber >= 1)
        openPort();
    return available;
}

void SerialPortAccess::sendText(const QByteArray& text)
{
    if (terminal_)
        terminal_(text);
    if (!line_.write(text)) {
        state_.portNumber = 0;
        state_.adapterFound = false;
    }
}

qint64 SerialPortAccess::restartMs() const
{
    const qint64 extra = state_.longDelaySeconds * 1000;
    return 2000 + (state_.longDelay && extra != 0 ? extra : 750);
}

void SerialPortAccess::startReset()
{
    ++resetting_;
    ++resetsStarted_;
    line_.setDtr(false);
    // Steps on the clock rather than a coroutine: a reset the port does not live to finish leaves
    // nothing behind.
    clock_.schedule(DtrPulseMs, [this, alive = Lifetime(alive_)] {
        if (alive.expired())
            return;
        line_.setDtr(true);
        clock_.schedule(restartMs(), [this, alive] {
            if (!alive.expired())
                --resetting_;
        });
    });
}

QCoro::Task<> SerialPortAccess::resetDevice()
{
    startReset();
    // The clock keeps its order: these end just after the reset's own steps.
    co_await tunekit::Pause(clock_, DtrPulseMs, alive_, scope_);
    co_await tunekit::Pause(clock_, restartMs(), alive_, scope_);
}

QCoro::Task<> SerialPortAccess::pause(qint64 ms)
{
    co_await tunekit::Pause(clock_, ms, alive_, scope_);
}

void SerialPortAccess::portLost()
{
    line_.close();
    state_.portNumber = 0;
    state_.adapterFound = false;
}

} // namespace tunekit
