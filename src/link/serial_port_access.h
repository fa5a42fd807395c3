#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace tunekit {

class Clock;
class Dialogs;
class SerialLine;

// Port values kept by the main window and shared with discovery and the engine.
struct PortState {
    qint16 intComPort = 0;      // COM port in use; 0 = none
    bool HVXPortFound = false;  // the adapter is installed and its port opened
    bool ChkLongDelay = false;  // "Use long delay on reset"
    qint16 LongDelayValue = 0;  // seconds, 0..9
};

// One line in the user's language that says why the line's last Open failed; "" when it did not.
QString OpenFailureReason(const SerialLine& line);

// The one serial port: open, close, probe, write, DTR reset, and the event-pumping waits.
class SerialPortAccess {
public:
    using TerminalSink = std::function<void(const QByteArray&)>;

    SerialPortAccess(SerialLine& line, Clock& clock, Dialogs& dialogs, PortState& state);

    // Everything written to the port is echoed here (the terminal window).
    void SetTerminalSink(TerminalSink sink) { terminal_ = std::move(sink); }

    bool OpenPort();
    void ClosePort();
    bool ProbePort(int portNumber);
    void SendText(const QByteArray& text);
    void ResetDevice();
    // A reset is under way (the engine sends nothing meanwhile).
    bool Resetting() const noexcept { return resetting_ > 0; }
    void WaitMs(qint32 ms);

    // The adapter vanished while the port was open: the port is given up like after a
    // failed write, so the next transfer ends by time-out instead of writing into nothing.
    void PortLost();

    SerialLine& Line() noexcept { return line_; }
    Clock& Time() noexcept { return clock_; }

private:
    SerialLine& line_;
    Clock& clock_;
    Dialogs& dialogs_;
    PortState& state_;
    TerminalSink terminal_;
    int resetting_ = 0;
};

} // namespace tunekit
