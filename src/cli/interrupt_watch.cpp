#include "cli/interrupt_watch.h"

#include "cli/console_interrupts.h"

#include <QSocketNotifier>
#ifdef _WIN32
#include <QWinEventNotifier>
#endif

#ifdef __linux__
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

namespace tunekit::cli {

#ifdef __linux__
namespace {

sigset_t interruptSignals()
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    return stopSignals;
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : onInterrupt_(std::move(onInterrupt))
{
    // Blocked stopSignals wait in the descriptor until the event loop reads them.
    const sigset_t stopSignals = interruptSignals();
    if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0)
        return;
    descriptor_ = signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (descriptor_ < 0) {
        sigprocmask(SIG_UNBLOCK, &stopSignals, nullptr);
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(descriptor_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        signalfd_siginfo info{};
        while (read(descriptor_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
            onInterrupt_();
    });
}

InterruptWatch::~InterruptWatch()
{
    notifier_.reset();
    if (descriptor_ >= 0) {
        // A signal that came after the run's verdict changes nothing: it is taken here, so that
        // it does not end the process once the signals are unblocked.
        signalfd_siginfo info{};
        while (read(descriptor_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        }
        close(descriptor_);
        const sigset_t stopSignals = interruptSignals();
        sigprocmask(SIG_UNBLOCK, &stopSignals, nullptr);
    }
}
#elif defined(_WIN32)
InterruptWatch::InterruptWatch(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)), console_(std::make_unique<ConsoleInterrupts>())
{
    if (!console_->interruptEvent())
        return;
    notifier_ = std::make_unique<QWinEventNotifier>(console_->interruptEvent());
    QObject::connect(notifier_.get(), &QWinEventNotifier::activated, [this] { onInterrupt_(); });
}

// The notifier goes before the event it waits on; the console's handler is taken back last.
InterruptWatch::~InterruptWatch()
{
    notifier_.reset();
    console_.reset();
}
#else
InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : onInterrupt_(std::move(onInterrupt)) {}
InterruptWatch::~InterruptWatch() = default;
#endif

} // namespace tunekit::cli
