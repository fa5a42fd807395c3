#include "transfer/progress_bars.h"

#include "link/clock.h"

#include <QCoreApplication>

#include <cmath>

namespace tunekit {

void ProgressBars::setVisible(bool visible)
{
    shown_.visible = visible;
    report();
}

void ProgressBars::setCaption(const QString& caption)
{
    shown_.caption = caption;
    report();
}

void ProgressBars::setDetail(const QString& detail)
{
    shown_.detail = detail;
    report();
}

void ProgressBars::restart(int partialMax)
{
    shown_.overall = 0;
    shown_.partial = 0;
    shown_.partialMax = partialMax;
    packetsCounted_ = 0;
    report();
}

void ProgressBars::packetLeaving(qsizetype queued)
{
    ++generation_;
    if (measureNext_) {
        queuedAtStart_ = queued;
        measureNext_ = false;
    }
    if (queuedAtStart_ > 0) {
        const double p = 100.0 - 100.0 * static_cast<double>(queued) / static_cast<double>(queuedAtStart_);
        shown_.overall = p < 0 ? 100 : static_cast<int>(std::lround(p));
    }
    int& max = shown_.partialMax;
    switch (partialBar_) {
    case PartialBar::Parameters:
        if (max < 0 || max < packetsCounted_)
            ++max;
        shown_.partial = max - packetsCounted_ <= 7 ? max : packetsCounted_;
        ++packetsCounted_;
        break;
    case PartialBar::Packets:
        if (max < packetsCounted_)
            ++max;
        shown_.partial = packetsCounted_;
        ++packetsCounted_;
        break;
    case PartialBar::FollowsOverall:
        max = 100;
        shown_.partial = shown_.overall;
        break;
    case PartialBar::Still: break;
    }
    report();
}

void ProgressBars::batchEnded(bool resetByHand)
{
    shown_.detail.clear();
    shown_.caption = QCoreApplication::translate("ProgressBars", "data transfer...ready");
    shown_.overall = 100;
    shown_.resetByHand = resetByHand;
    if (allSent_)
        shown_.partial = shown_.partialMax;
    report();
    hideAfterASecond();
}

void ProgressBars::hideAfterASecond()
{
    // The final state stays on screen for a second without holding anything up; a batch that
    // starts meanwhile, or a command that shows the window with new captions, keeps it open.
    const quint64 generation = ++generation_;
    const QString ready = shown_.caption;
    clock_.schedule(1000, [this, alive = std::weak_ptr<int>(alive_), generation, ready] {
        if (!alive.lock() || generation != generation_ || shown_.caption != ready || !shown_.visible)
            return;
        shown_.visible = false;
        report();
    });
}

} // namespace tunekit
