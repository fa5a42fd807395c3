#include "link/qt_clock.h"

#include <QTimer>

#include <memory>

namespace tunekit {

QtClock::QtClock()
{
    elapsed_.start();
}

void QtClock::schedule(qint64 delayMs, std::function<void()> fn)
{
    QTimer::singleShot(std::chrono::milliseconds(qMax<qint64>(0, delayMs)), Qt::PreciseTimer, &context_,
                       std::move(fn));
}

void QtClock::startTicker(qint64 intervalMs, std::function<void()> fn)
{
    auto* timer = new QTimer(&context_);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(std::chrono::milliseconds(intervalMs));
    // Qt never starts a timer's slot again while the previous call still runs.
    QObject::connect(timer, &QTimer::timeout, &context_, std::move(fn));
    timer->start();
}

} // namespace tunekit
