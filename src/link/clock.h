#pragma once

#include <QtGlobal>

#include <functional>

namespace tunekit {

// Time and timers. Every wait of the logic and the 10 ms main timer go through here, so the
// whole program can run in virtual time under test. Nothing waits by running events itself:
// a wait is a coroutine that a scheduled call resumes.
class Clock {
public:
    virtual ~Clock() = default;

    // Monotonic milliseconds since an arbitrary start.
    virtual qint64 nowMs() const = 0;
    // Runs fn once, delayMs from now, from the event loop.
    virtual void schedule(qint64 delayMs, std::function<void()> fn) = 0;
    // Runs fn every intervalMs from the event loop.
    virtual void startTicker(qint64 intervalMs, std::function<void()> fn) = 0;
};

} // namespace tunekit
