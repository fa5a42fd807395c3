#pragma once

#include "base/station_views.h"
#include "link/transmit_engine.h"

#include <QString>

#include <memory>

namespace tunekit {

class Clock;

// How the partial bar moves while a batch is sent.
enum class PartialBar {
    FollowsOverall, // reads, detection, and after a write: the partial bar shows the overall one
    Parameters,     // a parameter write: a step a packet, and full for the last few
    Packets,        // a write with extended data: a step a packet
    Still,          // extended data with nothing to count: the bar stays where it is
};

// The progress a transfer shows: the transfers say what they do and how the partial bar counts,
// the engine's packets move the bars as they leave. Every change goes to the views; the final
// state of a batch stays for a second and then the window goes.
class ProgressBars final : public BatchListener {
public:
    ProgressBars(Clock& clock, StationViews& views) : clock_(clock), views_(views) {}
    ProgressBars(const ProgressBars&) = delete;
    ProgressBars& operator=(const ProgressBars&) = delete;

    const TransferProgress& shown() const noexcept { return shown_; }
    void setVisible(bool visible);
    void setCaption(const QString& caption);
    void setDetail(const QString& detail);
    // Both bars back to empty, the partial one counting to partialMax from its first packet.
    void restart(int partialMax);
    void setPartialBar(PartialBar partialBar) noexcept { partialBar_ = partialBar; }
    // The overall bar measures the batch from the next packet that leaves.
    void measureFromNextPacket() noexcept { measureNext_ = true; }
    // Everything the write meant to send has gone: the partial bar ends full.
    void setAllSent(bool allSent) noexcept { allSent_ = allSent; }

    void packetLeaving(qsizetype queued) override;
    void batchEnded(bool resetByHand) override;

private:
    void report() { views_.progressChanged(shown_); }
    void hideAfterASecond();

    Clock& clock_;
    StationViews& views_;
    TransferProgress shown_;
    PartialBar partialBar_ = PartialBar::FollowsOverall;
    bool measureNext_ = false;
    bool allSent_ = false;
    qsizetype queuedAtStart_ = 0; // queue characters when the batch's measure began
    int packetsCounted_ = 0;
    quint64 generation_ = 0; // a packet that leaves keeps a finished batch's window open
    // Scheduled calls hold it weakly, so one that falls due after the bars are gone does nothing.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace tunekit
