#pragma once

#include "link/waits.h"

#include <QByteArray>
#include <QCoroTask>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace tunekit {

class Clock;
class Dialogs;
class SerialLine;

// The port's own facts; SerialPortAccess owns them, everyone else reads them there.
struct PortState {
    qint16 portNumber = 0;      // port in use (COM n); 0 = none
    bool adapterFound = false;  // the adapter is installed and its port opened
    qint16 adapterPort = 0;     // the port discovery found the adapter at; 0 = not found
    bool longDelay = false;     // "Use long delay on reset"
    qint16 longDelaySeconds = 0; // 0..9
};

// The one serial port of a station: open, close, probe, write and the DTR reset.
class SerialPortAccess {
public:
    using TerminalSink = std::function<void(const QByteArray&)>;

    SerialPortAccess(SerialLine& line, Clock& clock, Dialogs& dialogs);

    // Everything written to the port is echoed here (the terminal window).
    void setTerminalSink(TerminalSink sink) { terminal_ = std::move(sink); }

    // Opens the port in use (State().portNumber); tells the user when it cannot. Before an open
    // that follows a close, wait openDelayMs() first.
    bool openPort();
    qint64 openDelayMs() const;
    void closePort();
    bool probePort(int portNumber);
    void sendText(const QByteArray& text);
    // Pulls DTR low for 200 ms and gives the device time to start again (about 3 s, or 2.2 s
    // plus the long delay); ends when the device is ready.
    QCoro::Task<> resetDevice();
    // The same reset, running on by itself (resetting() says when it is over).
    void startReset();
    // A reset is under way (the engine sends nothing meanwhile).
    bool resetting() const noexcept { return resetting_ > 0; }
    // Resets started since this port access was made, and whether one was started since the
    // port was last opened (the device connected to it has been restarted by us).
    quint64 resetsStarted() const noexcept { return resetsStarted_; }
    bool resetSinceOpen() const noexcept { return resetsStarted_ != resetsAtOpen_; }
    // co_await Pause(ms): time passes for this port's work.
    QCoro::Task<> pause(qint64 ms);
    // The operation this port's waits belong to (and the engine's on it): a cancel of it ends
    // them at once. None: they always run their time.
    void setCancelScope(CancelScope* scope) noexcept { scope_ = scope; }
    CancelScope* cancelScope() const noexcept { return scope_; }

    // The adapter vanished while the port was open: the port is given up like after a
    // failed write, so the next transfer ends by time-out instead of writing into nothing.
    void portLost();

    SerialLine& line() noexcept { return line_; }
    Clock& time() noexcept { return clock_; }
    PortState& state() noexcept { return state_; }
    const PortState& state() const noexcept { return state_; }

private:
    SerialLine& line_;
    Clock& clock_;
    Dialogs& dialogs_;
    PortState state_;
    TerminalSink terminal_;
    static constexpr qint64 DtrPulseMs = 200;
    // How long the device takes to start again once DTR is back.
    qint64 restartMs() const;
    int resetting_ = 0;
    quint64 resetsStarted_ = 0;
    quint64 resetsAtOpen_ = 0;
    CancelScope* scope_ = nullptr;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace tunekit
