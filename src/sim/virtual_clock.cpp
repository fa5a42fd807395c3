#include "sim/virtual_clock.h"

#include <limits>

namespace tunekit {

void VirtualClock::step()
{
    if (!runNext(std::numeric_limits<qint64>::max()))
        nowUs_ += 1000;
}

void VirtualClock::schedule(qint64 delayMs, std::function<void()> fn)
{
    scheduleUs(delayMs * 1000, std::move(fn));
}

void VirtualClock::scheduleUs(qint64 delayUs, std::function<void()> fn)
{
    queueAt(nowUs_ + qMax<qint64>(0, delayUs), std::move(fn));
}

void VirtualClock::startTicker(qint64 intervalMs, std::function<void()> fn)
{
    auto ticker = std::make_shared<Ticker>();
    ticker->intervalUs = qMax<qint64>(1, intervalMs) * 1000;
    ticker->fn = std::move(fn);
    armTicker(ticker, nowUs_ + ticker->intervalUs);
}

void VirtualClock::runFor(qint64 ms)
{
    const qint64 endUs = nowUs_ + qMax<qint64>(0, ms) * 1000;
    while (runNext(endUs)) {
    }
    nowUs_ = qMax(nowUs_, endUs);
}

bool VirtualClock::runUntil(const std::function<bool()>& done, qint64 limitMs)
{
    const qint64 endUs = nowUs_ + qMax<qint64>(0, limitMs) * 1000;
    while (!done()) {
        if (!runNext(endUs)) {
            nowUs_ = qMax(nowUs_, endUs);
            return done();
        }
    }
    return true;
}

void VirtualClock::queueAt(qint64 atUs, std::function<void()> fn)
{
    queue_.emplace(std::make_pair(atUs, queued_++), std::move(fn));
}

void VirtualClock::armTicker(const std::shared_ptr<Ticker>& ticker, qint64 atUs)
{
    queueAt(atUs, [this, ticker, atUs] {
        // The next tick is due on the grid, however long this one takes.
        armTicker(ticker, atUs + ticker->intervalUs);
        if (ticker->running)
            return;
        ticker->running = true;
        ticker->fn();
        ticker->running = false;
    });
}

bool VirtualClock::runNext(qint64 limitUs)
{
    if (queue_.empty() || queue_.begin()->first.first > limitUs)
        return false;
    const auto first = queue_.begin();
    nowUs_ = qMax(nowUs_, first->first.first);
    // Taken out before it runs: it may queue events, run others, or clear the queue.
    const std::function<void()> fn = std::move(first->second);
    queue_.erase(first);
    fn();
    return true;
}

} // namespace tunekit
