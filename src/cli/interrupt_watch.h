#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tunekit::cli {

// Ctrl-C and SIGTERM as events: while it lives, the two signals no longer end the program at
// once but call onInterrupt from the event loop, so a write can stop between two packets and
// say what state it left the device in. (Only on Linux; elsewhere the signals act as always.)
class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    std::function<void()> onInterrupt_;
    int descriptor_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tunekit::cli
