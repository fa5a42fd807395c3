#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;
class QWinEventNotifier;

namespace tunekit::cli {

class ConsoleInterrupts;

// Ctrl-C and SIGTERM (on Windows Ctrl-C, Ctrl-Break and closing the console) as events: while it
// lives, they no longer end the program at once but call onInterrupt from the event loop, so a
// write can stop between two packets and say what state it left the device in.
class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    std::function<void()> onInterrupt_;
#ifdef _WIN32
    std::unique_ptr<ConsoleInterrupts> console_;
    std::unique_ptr<QWinEventNotifier> notifier_;
#else
    int descriptor_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
#endif
};

} // namespace tunekit::cli
