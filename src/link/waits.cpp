#include "link/waits.h"

namespace tunekit {

QCoro::Task<bool> WaitUntil(Clock& clock, Lifetime owner, std::function<bool()> done, qint64 limitMs)
{
    const qint64 end = clock.NowMs() + limitMs;
    while (!done() && clock.NowMs() < end)
        co_await Pause(clock, 1, owner);
    co_return done();
}

} // namespace tunekit
