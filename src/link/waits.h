#pragma once

#include "link/clock.h"

#include <QCoroTask>

#include <coroutine>
#include <functional>
#include <memory>
#include <vector>

namespace tunekit {

// Writing a wait: with GCC 12, a co_await inside an expression that also holds a temporary of
// class type (a QString, a QDateTime, a braced struct) can resume freed memory. Put such
// arguments into named locals first and await on a line of its own.

// Held weakly by the waits of an owner's coroutines: once the owner is gone they are never
// resumed, so nothing runs on a destroyed station, port or engine.
using Lifetime = std::weak_ptr<const void>;

// co_await Pause(clock, ms, owner): the coroutine goes on ms from now (0: once the events due
// now have run). Time comes from the clock, so a virtual clock runs the same code in tests.
class Pause {
public:
    Pause(Clock& clock, qint64 ms, Lifetime owner) : clock_(clock), ms_(ms), owner_(std::move(owner)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting) const
    {
        clock_.schedule(ms_, [waiting, owner = owner_] {
            if (!owner.expired())
                waiting.resume();
        });
    }
    void await_resume() const noexcept {}

private:
    Clock& clock_;
    qint64 ms_;
    Lifetime owner_;
};

// A state that waits are kept on: whoever changes the state says so (changed()), and only then
// are the waits' conditions looked at again, besides once at each wait's time limit. A wait whose
// condition holds goes on as soon as the events due now have run, never inside changed() itself.
class StateSignal {
public:
    StateSignal() = default;
    StateSignal(const StateSignal&) = delete;
    StateSignal& operator=(const StateSignal&) = delete;

    // Until done() holds or limitMs have passed; gives done(). owner: held by the one whose
    // state it is (and who owns this signal); once it is gone the wait never goes on.
    QCoro::Task<bool> until(Clock& clock, Lifetime owner, std::function<bool()> done, qint64 limitMs);
    // The state may have changed.
    void changed();

private:
    struct Waiter;
    class Awaiter;
    void wake(const std::shared_ptr<Waiter>& waiter);

    std::vector<std::shared_ptr<Waiter>> waiters_;
};

// Lets a task run on by itself and hands its result to done once it has ended. The task is
// kept in the coroutine's own frame, so the caller need not keep anything.
template <typename T>
QCoro::Task<> whenDone(QCoro::Task<T> task, std::function<void(T)> done)
{
    T result = co_await task;
    done(std::move(result));
}

inline QCoro::Task<> whenDone(QCoro::Task<> task, std::function<void()> done)
{
    co_await task;
    done();
}

} // namespace tunekit
