#pragma once

#include "link/clock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace tunekit {

// The real clock: QElapsedTimer for time, the Qt event loop's timers.
class QtClock final : public Clock {
public:
    QtClock();

    qint64 nowMs() const override { return elapsed_.elapsed(); }
    void schedule(qint64 delayMs, std::function<void()> fn) override;
    void startTicker(qint64 intervalMs, std::function<void()> fn) override;

private:
    QElapsedTimer elapsed_;
    QObject context_; // owns the timers, so none fires after the clock is gone
};

} // namespace tunekit
