#pragma once

#include "link/clock.h"

#include <QtGlobal>

#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace tunekit {

// Time that only moves when events run, for tests and benchmarks: a wait of a minute with the
// simulated transmitter answering costs microseconds of real time and runs the same every time.
// Time is kept in microseconds; nowMs is its millisecond part.
class VirtualClock final : public Clock {
public:
    VirtualClock() = default;
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;
    ~VirtualClock() override = default;

    qint64 nowMs() const override { return nowUs_ / 1000; }
    qint64 nowUs() const noexcept { return nowUs_; }

    // Runs the earliest queued event, moving time forward to it; with nothing queued, lets 1 ms
    // pass. Events may queue more events and call step() themselves.
    void step();
    // Events due at the same moment run in the order they were queued.
    void schedule(qint64 delayMs, std::function<void()> fn) override;
    void scheduleUs(qint64 delayUs, std::function<void()> fn);
    // First tick intervalMs from now. A tick that falls due while the previous one still runs
    // (inside a wait) is dropped; the next one is due an interval later.
    void startTicker(qint64 intervalMs, std::function<void()> fn) override;

    // Runs every event due within the next ms milliseconds, then stands at now + ms.
    void runFor(qint64 ms);
    // Runs events until done() holds or limitMs have passed; returns done().
    bool runUntil(const std::function<bool()>& done, qint64 limitMs);

    // Forgets every queued event and ticker, so nothing runs that refers to objects a test is
    // about to destroy.
    void clear() { queue_.clear(); }

private:
    struct Ticker {
        qint64 intervalUs = 0;
        std::function<void()> fn;
        bool running = false;
    };

    void queueAt(qint64 atUs, std::function<void()> fn);
    void armTicker(const std::shared_ptr<Ticker>& ticker, qint64 atUs);
    // Runs the earliest event if it is due by limitUs; false when there is none.
    bool runNext(qint64 limitUs);

    // Keyed by (due time, queue order).
    std::map<std::pair<qint64, quint64>, std::function<void()>> queue_;
    quint64 queued_ = 0;
    qint64 nowUs_ = 0;
};

} // namespace tunekit
