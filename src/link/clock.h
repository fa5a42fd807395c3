#pragma once

#include <QtGlobal>

#include <functional>

namespace tunekit {

// Time and the event pump. The waits, the transfer wait and the 10 ms main timer all go
// through here, so the whole program can run in virtual time under test.
class Clock {
public:
    virtual ~Clock() = default;

    // Monotonic milliseconds since an arbitrary start.
    virtual qint64 NowMs() const = 0;
    // Runs pending events (timers, received bytes, user input). May block until the next
    // event is due; in virtual time it advances to that moment.
    virtual void ProcessEvents() = 0;
    // Runs fn once, delayMs from now, from the event pump.
    virtual void Schedule(qint64 delayMs, std::function<void()> fn) = 0;
    // Runs fn every intervalMs from the event pump; a tick is never started while the
    // previous one still runs (a wait inside it does not re-enter it).
    virtual void StartTicker(qint64 intervalMs, std::function<void()> fn) = 0;
};

} // namespace tunekit
