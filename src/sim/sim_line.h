#pragma once

#include "link/clock.h"
#include "link/serial_line.h"
#include "sim/sim_device.h"
#include "sim/sim_link.h"

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
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;
    ~SimLine() override = default;

    // Any port number from 1 opens, unless it was made missing or busy below, or the plug is out.
    // Opening another port while open closes the first.
    bool Open(int portNumber) override;
    // Answers still on their way are dropped.
    void Close() override;
    bool IsOpen() const override { return port_ > 0; }
    // Ignored while closed, as on a real port.
    void SetDtr(bool on) override;
    void SetRts(bool) override {}
    // False while closed or unplugged.
    bool Write(const QByteArray& bytes) override;
    QByteArray ReadAll() override;
    QString PortName() const override;
    bool Simulated() const override { return true; }
    OpenFailure LastOpenFailure() const override { return openFailure_; }

    int PortNumber() const noexcept { return port_; }
    // Which port numbers exist; std::nullopt (the default) means every number from 1.
    void SetExistingPorts(std::optional<QSet<int>> ports) { existingPorts_ = std::move(ports); }
    // A busy port exists but is held by another program.
    void SetPortBusy(int portNumber, bool busy);

    // The adapter is pulled out: the line reports PortLost, stays open until closed, and every
    // write and open fails until PlugIn.
    void PullPlug();
    void PlugIn() { plugged_ = true; }
    bool IsPlugged() const noexcept { return plugged_; }

    SimDevice& Device() noexcept { return device_; }
    SimLink& Link() noexcept { return link_; }
    SimFaults& Faults() noexcept { return link_.Faults(); }

private:
    qint64 NowUs() const { return clock_.NowMs() * 1000; }
    void Deliver(quint64 generation, const QByteArray& bytes);

    Clock& clock_;
    SimDevice device_;
    SimLink link_;
    std::optional<QSet<int>> existingPorts_;
    QSet<int> busyPorts_;
    int port_ = 0; // 0 = closed
    OpenFailure openFailure_ = OpenFailure::None;
    bool plugged_ = true;
    QByteArray received_;
    // Bumped by Close and PullPlug; a delivery queued under an older generation is dropped.
    quint64 generation_ = 0;
    // Deliveries queued on the clock hold only a weak reference, so one that falls due after
    // the line is gone does nothing.
    std::shared_ptr<SimLine*> self_ = std::make_shared<SimLine*>(this);
};

} // namespace tunekit
