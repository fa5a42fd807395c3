#include "link/waits.h"

#include <algorithm>

namespace tunekit {

struct StateSignal::Waiter {
    Clock& clock;
    Lifetime owner;
    std::function<bool()> done;
    std::coroutine_handle<> waiting;
    bool woken = false;
};

class StateSignal::Awaiter {
public:
    Awaiter(StateSignal& signal, std::shared_ptr<Waiter> waiter, qint64 limitMs)
        : signal_(signal), waiter_(std::move(waiter)), limitMs_(limitMs)
    {
    }

    bool await_ready() const { return waiter_->done(); }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        waiter_->waiting = waiting;
        signal_.waiters_.push_back(waiter_);
        // The time limit: the signal is looked up only while its owner lives.
        waiter_->clock.schedule(std::max<qint64>(limitMs_, 0), [signal = &signal_, waiter = waiter_] {
            if (!waiter->woken && !waiter->owner.expired())
                signal->wake(waiter);
        });
    }
    void await_resume() const noexcept {}

private:
    StateSignal& signal_;
    std::shared_ptr<Waiter> waiter_;
    qint64 limitMs_;
};

QCoro::Task<bool> StateSignal::until(Clock& clock, Lifetime owner, std::function<bool()> done, qint64 limitMs)
{
    auto waiter = std::make_shared<Waiter>(Waiter{clock, std::move(owner), std::move(done), {}, false});
    co_await Awaiter(*this, waiter, limitMs);
    co_return waiter->done();
}

void StateSignal::changed()
{
    // A wait that goes on may wait again: the list is looked at as it was.
    const std::vector<std::shared_ptr<Waiter>> waiting = waiters_;
    for (const std::shared_ptr<Waiter>& waiter : waiting) {
        if (!waiter->woken && waiter->done())
            wake(waiter);
    }
}

void StateSignal::wake(const std::shared_ptr<Waiter>& waiter)
{
    waiter->woken = true;
    std::erase(waiters_, waiter);
    waiter->clock.schedule(0, [waiter] {
        if (!waiter->owner.expired())
            waiter->waiting.resume();
    });
}

} // namespace tunekit
