#include "sim/virtual_clock.h"

#include <limits>

namespace tunekit {

void VirtualClock::ProcessEvents()
{
    if (!RunNext(std::numeric_limits<qint64>::max()))
        nowUs_ += 1000;
}

void VirtualClock::Schedule(qint64 delayMs, std::function<void()> fn)
{
    ScheduleUs(delayMs * 1000, std::move(fn));
}

void VirtualClock::ScheduleUs(qint64 delayUs, std::function<void()> fn)
{
    QueueAt(nowUs_ + qMax<qint64>(0, delayUs), std::move(fn));
}

void VirtualClock::StartTicker(qint64 intervalMs, std::function<void()> fn)
{
    auto ticker = std::make_shared<Ticker>();
    ticker->intervalUs = qMax<qint64>(1, intervalMs) * 1000;
    ticker->fn = std::move(fn);
    ArmTicker(ticker, nowUs_ + ticker->intervalUs);
}

void VirtualClock::RunFor(qint64 ms)
{
    const qint64 endUs = nowUs_ + qMax<qint64>(0, ms) * 1000;
    while (RunNext(endUs)) {
    }
    nowUs_ = qMax(nowUs_, endUs);
}

bool VirtualClock::RunUntil(const std::function<bool()>& done, qint64 limitMs)
{
    const qint64 endUs = nowUs_ + qMax<qint64>(0, limitMs) * 1000;
    while (!done()) {
        if (!RunNext(endUs)) {
            nowUs_ = qMax(nowUs_, endUs);
            return done();
        }
    }
    return true;
}

void VirtualClock::QueueAt(qint64 atUs, std::function<void()> fn)
{
    queue_.emplace(std::make_pair(atUs, queued_++), std::move(fn));
}

void VirtualClock::ArmTicker(const std::shared_ptr<Ticker>& ticker, qint64 atUs)
{
    QueueAt(atUs, [this, ticker, atUs] {
        // The next tick is due on the grid, however long this one takes.
        ArmTicker(ticker, atUs + ticker->intervalUs);
        if (ticker->running)
            return;
        ticker->running = true;
        ticker->fn();
        ticker->running = false;
    });
}

bool VirtualClock::RunNext(qint64 limitUs)
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
