#include "link/waits.h"

#include <algorithm>

namespace tunekit {

void CancelScope::Slot::goOn(bool byCancel)
{
    if (ended)
        return;
    ended = true;
    cancelled = byCancel;
    // Ended before anybody waited on it (a question answered at once): the wait will not begin.
    if (waiting)
        waiting.resume();
}

void CancelScope::Awaiter::await_suspend(std::coroutine_handle<> waiting)
{
    slot_->waiting = waiting;
    if (!scope_)
        return;
    std::erase_if(scope_->waiting_, [](const std::weak_ptr<Slot>& slot) { return slot.expired(); });
    scope_->waiting_.push_back(slot_);
}

void CancelScope::Awaiter::await_resume() const
{
    if (slot_->ended && !slot_->cancelled)
        return;
    // Cancelled before it began: whatever it waited for goes nowhere.
    slot_->ended = true;
    throw OperationCancelled();
}

void CancelScope::cancel()
{
    cancelled_ = true;
    // Each wait unwinds its operation before the next goes on; one that waits anew meanwhile
    // ends at once, being cancelled too.
    std::vector<std::shared_ptr<Slot>> waiting;
    for (const std::weak_ptr<Slot>& slot : waiting_) {
        if (std::shared_ptr<Slot> held = slot.lock())
            waiting.push_back(std::move(held));
    }
    waiting_.clear();
    for (const std::shared_ptr<Slot>& slot : waiting)
        slot->goOn(true);
}

struct StateSignal::Waiter {
    Waiter(Clock& time, Lifetime life, std::function<bool()> condition)
        : clock(time), owner(std::move(life)), done(std::move(condition))
    {
    }
    Clock& clock;
    Lifetime owner;
    std::function<bool()> done;
    std::shared_ptr<CancelScope::Slot> slot = std::make_shared<CancelScope::Slot>();
    bool woken = false;
};

class StateSignal::Awaiter {
public:
    Awaiter(StateSignal& signal, std::shared_ptr<Waiter> waiter, qint64 limitMs, CancelScope* scope)
        : signal_(signal), waiter_(std::move(waiter)), limitMs_(limitMs), wait_(scope, waiter_->slot)
    {
    }

    bool await_ready()
    {
        held_ = waiter_->done();
        return held_ || wait_.await_ready();
    }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        wait_.await_suspend(waiting);
        signal_.waiters_.push_back(waiter_);
        // The time limit: the signal is looked up only while its owner lives.
        waiter_->clock.schedule(std::max<qint64>(limitMs_, 0), [signal = &signal_, waiter = waiter_] {
            if (!waiter->woken && !waiter->slot->ended && !waiter->owner.expired())
                signal->wake(waiter);
        });
    }
    void await_resume() const
    {
        if (!held_)
            wait_.await_resume();
    }

private:
    StateSignal& signal_;
    std::shared_ptr<Waiter> waiter_;
    qint64 limitMs_;
    CancelScope::Awaiter wait_;
    bool held_ = false; // the condition held at once
};

QCoro::Task<bool> StateSignal::until(Clock& clock, Lifetime owner, std::function<bool()> done, qint64 limitMs,
                                     CancelScope* scope)
{
    auto waiter = std::make_shared<Waiter>(clock, std::move(owner), std::move(done));
    co_await Awaiter(*this, waiter, limitMs, scope);
    co_return waiter->done();
}

void StateSignal::changed()
{
    // Waits a cancel ended are dropped; a wait that goes on may wait again, so the list is
    // looked at as it was.
    std::erase_if(waiters_, [](const std::shared_ptr<Waiter>& waiter) { return waiter->slot->ended; });
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
            waiter->slot->goOn(false);
    });
}

} // namespace tunekit
