#pragma once

#include "link/clock.h"

#include <QCoroTask>

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tunekit {

// Writing a wait: with GCC 12, a co_await inside an expression that also holds a temporary of
// class type (a QString, a QDateTime, a braced struct) can resume freed memory. Put such
// arguments into named locals first and await on a line of its own.

// Held weakly by the waits of an owner's coroutines: once the owner is gone they are never
// resumed, so nothing runs on a destroyed station, port or engine.
using Lifetime = std::weak_ptr<const void>;

// Thrown out of a wait whose operation was cancelled. It unwinds the operation, with its guards
// and locals, up to the station that ran it, whose result then says cancelled.
class OperationCancelled final : public std::exception {
public:
    const char* what() const noexcept override { return "operation cancelled"; }
};

// The waits one station's operation is made of, so that the operation can be ended from outside:
// cancel() makes every wait under way go on at once, before it returns, and throw
// OperationCancelled; so does every wait begun after it, until allowWaits(). A station cancels
// its operation before its parts go, so nothing is ever left waiting on them.
class CancelScope {
public:
    CancelScope() = default;
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

    void cancel();
    void allowWaits() noexcept { cancelled_ = false; }
    bool cancelled() const noexcept { return cancelled_; }

    // One suspended wait: gone on once, by its own event or by a cancel, never twice.
    struct Slot {
        std::coroutine_handle<> waiting;
        bool ended = false;
        bool cancelled = false;
        void goOn(bool byCancel);
    };
    // Suspends waiting on slot until the slot goes on; throws when that was a cancel.
    class Awaiter {
    public:
        Awaiter(CancelScope* scope, std::shared_ptr<Slot> slot) : scope_(scope), slot_(std::move(slot)) {}
        bool await_ready() const noexcept { return slot_->ended || (scope_ && scope_->cancelled()); }
        void await_suspend(std::coroutine_handle<> waiting);
        void await_resume() const;

    private:
        CancelScope* scope_;
        std::shared_ptr<Slot> slot_;
    };

    // Awaits task unless the operation is cancelled first; task then runs on by itself and its
    // result goes nowhere. For waits on others: a question to the user, a record's store.
    template <typename T>
    QCoro::Task<T> race(QCoro::Task<T> task);

private:
    bool cancelled_ = false;
    std::vector<std::weak_ptr<Slot>> waiting_;
};

// co_await Pause(clock, ms, owner): the coroutine goes on ms from now (0: once the events due
// now have run). Time comes from the clock, so a virtual clock runs the same code in tests.
// With a scope, a cancel of its operation ends the pause at once, by OperationCancelled.
class Pause {
public:
    Pause(Clock& clock, qint64 ms, Lifetime owner, CancelScope* scope = nullptr)
        : clock_(clock), ms_(ms), owner_(std::move(owner)), wait_(scope, slot_)
    {
    }

    bool await_ready() const noexcept { return wait_.await_ready(); }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        wait_.await_suspend(waiting);
        clock_.schedule(ms_, [slot = slot_, owner = owner_] {
            if (!owner.expired())
                slot->goOn(false);
        });
    }
    void await_resume() const { wait_.await_resume(); }

private:
    Clock& clock_;
    qint64 ms_;
    Lifetime owner_;
    std::shared_ptr<CancelScope::Slot> slot_ = std::make_shared<CancelScope::Slot>(); // before wait_
    CancelScope::Awaiter wait_;
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
    // state it is (and who owns this signal); once it is gone the wait never goes on. With a
    // scope, a cancel of its operation ends the wait by OperationCancelled.
    QCoro::Task<bool> until(Clock& clock, Lifetime owner, std::function<bool()> done, qint64 limitMs,
                            CancelScope* scope = nullptr);
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

template <typename T>
QCoro::Task<T> CancelScope::race(QCoro::Task<T> task)
{
    auto result = std::make_shared<std::optional<T>>();
    auto slot = std::make_shared<Slot>();
    // Kept in a frame of its own: the waiting operation may be gone when the task ends.
    whenDone<T>(std::move(task), [result, slot](T value) {
        *result = std::move(value);
        slot->goOn(false);
    });
    co_await Awaiter(this, slot);
    co_return std::move(**result);
}

} // namespace tunekit
