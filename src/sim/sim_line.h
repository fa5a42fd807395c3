#pragma once

#include "link/clock.h"
#include "link/serial_line.h"
#include "sim/sim_device.h"
#include "sim/sim_link.h"
#include "sim/sim_switches.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

namespace tunekit {

// A serial line with the simulated transmitter at its far end, inside the process: for tests
// (with a VirtualClock) and for running the program without an adapter. Answer bytes arrive
// through the clock's event pump at the moments the link computes (rounded up to whole ms).
class SimLine final : public SerialLine {
public:
    explicit SimLine(Clock& clock, int configId = SimDevice::DefaultConfigId);
    // A transmitter of its own, set up by the switches.
    SimLine(Clock& clock, const SimSwitches& switches);
    // A line to a transmitter that outlives it, as a unit outlives each cable plugged into it:
    // what one line wrote, the next one reads. Each line brings faults of its own.
    SimLine(Clock& clock, SimDevice& device, const SimFaults& faults);
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;
    ~SimLine() override = default;

    // Any port number from 1 opens, unless it was made missing or busy below, or the plug is out.
    // Opening another port while open closes the first.
    bool open(int portNumber) override;
    // Answers still on their way are dropped.
    void close() override;
    bool isOpen() const override { return port_ > 0; }
    // Ignored while closed, as on a real port.
    void setDtr(bool on) override;
    void setRts(bool) override {}
    // False while closed or unplugged.
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    QString portName() const override;
    bool simulated() const override { return true; }
    OpenFailure lastOpenFailure() const override { return openFailure_; }

    int portNumber() const noexcept { return port_; }
    // Which port numbers exist; std::nullopt (the default) means every number from 1.
    void setExistingPorts(std::optional<QSet<int>> ports) { existingPorts_ = std::move(ports); }
    // A busy port exists but is held by another program.
    void setPortBusy(int portNumber, bool busy);

    // The adapter is pulled out: the line reports portLost, stays open until closed, and every
    // write and open fails until plugIn.
    void pullPlug();
    void plugIn() { plugged_ = true; }

    SimDevice& device() noexcept { return *device_; }
    SimLink& link() noexcept { return link_; }
    SimFaults& faults() noexcept { return link_.faults(); }

private:
    qint64 nowUs() const { return clock_.nowMs() * 1000; }
    void deliver(quint64 generation, const QByteArray& bytes);

    Clock& clock_;
    std::unique_ptr<SimDevice> ownDevice_; // none when the transmitter outlives the line
    SimDevice* device_;
    SimLink link_;
    std::optional<QSet<int>> existingPorts_;
    QSet<int> busyPorts_;
    int port_ = 0; // 0 = closed
    OpenFailure openFailure_ = OpenFailure::None;
    bool plugged_ = true;
    QByteArray received_;
    // Bumped by Close and pullPlug; a delivery queued under an older generation is dropped.
    quint64 generation_ = 0;
    // Deliveries queued on the clock hold only a weak reference, so one that falls due after
    // the line is gone does nothing.
    std::shared_ptr<SimLine*> self_ = std::make_shared<SimLine*>(this);
};

} // namespace tunekit
