#pragma once

#include "link/clock.h"

#include <QCoroTask>

#include <coroutine>
#include <functional>
#include <memory>

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

// Until done() holds or limitMs have passed; gives done(). Looks once a millisecond, which is
// far below the 10 ms tick and any answer time.
QCoro::Task<bool> waitUntil(Clock& clock, Lifetime owner, std::function<bool()> done, qint64 limitMs);

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
