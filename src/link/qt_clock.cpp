#include "link/qt_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <memory>

namespace tunekit {

QtClock::QtClock()
{
    elapsed_.start();
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
}

void QtClock::ProcessEvents()
{
    // Sleeps until something happens instead of spinning. Qt does not start a timer's slot
    // again while it runs, so a wait inside the main timer's tick would sleep until the
    // next mouse move; the wake timer ends every sleep within a few milliseconds.
    wake_.start(5);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtClock::Schedule(qint64 delayMs, std::function<void()> fn)
{
    QTimer::singleShot(std::chrono::milliseconds(qMax<qint64>(0, delayMs)), Qt::PreciseTimer, &context_,
                       std::move(fn));
}

void QtClock::StartTicker(qint64 intervalMs, std::function<void()> fn)
{
    auto* timer = new QTimer(&context_);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(std::chrono::milliseconds(intervalMs));
    // Qt never starts a timer's slot again while the previous call still runs.
    QObject::connect(timer, &QTimer::timeout, &context_, std::move(fn));
    timer->start();
}

} // namespace tunekit
