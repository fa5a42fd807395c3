#pragma once

#include "link/clock.h"
#include "link/waits.h"
#include "sim/virtual_clock.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <functional>
#include <memory>

namespace tunekit::testing {

// Runs what is due next: in virtual time the next event (time jumps to it), in real time the
// event loop until something happened.
inline void runEvents(Clock& clock)
{
    if (auto* virtualClock = dynamic_cast<VirtualClock*>(&clock))
        virtualClock->step();
    else
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Runs events until done() holds or limitMs have passed on the clock; gives done().
inline bool runEventsUntil(Clock& clock, const std::function<bool()>& done, qint64 limitMs)
{
    const qint64 end = clock.nowMs() + limitMs;
    while (!done() && clock.nowMs() < end)
        runEvents(clock);
    return done();
}

// Runs events until the task has ended (true) or limitMs have passed (false).
inline bool runTask(Clock& clock, QCoro::Task<> task, qint64 limitMs = 600000)
{
    auto done = std::make_shared<bool>(false);
    whenDone(std::move(task), [done] { *done = true; });
    return runEventsUntil(clock, [&done] { return *done; }, limitMs);
}

} // namespace tunekit::testing
