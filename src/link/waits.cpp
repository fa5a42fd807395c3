#include "link/waits.h"

namespace tunekit {

QCoro::Task<bool> waitUntil(Clock& clock, Lifetime owner, std::function<bool()> done, qint64 limitMs)
{
    const qint64 end = clock.nowMs() + limitMs;
    while (!done() && clock.nowMs() < end)
        co_await Pause(clock, 1, owner);
    co_return done();
}

} // namespace tunekit
