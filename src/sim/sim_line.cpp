#include "sim/sim_line.h"

#include <utility>

namespace tunekit {

SimLine::SimLine(Clock& clock, int configId)
    : clock_(clock)
    , ownDevice_(std::make_unique<SimDevice>(configId))
    , device_(ownDevice_.get())
    , link_(*device_)
{
}

SimLine::SimLine(Clock& clock, const SimSwitches& switches) : SimLine(clock, switches.configId)
{
    switches.setUp(*device_);
    link_.faults() = switches.faults;
}

SimLine::SimLine(Clock& clock, SimDevice& device, const SimFaults& faults)
    : clock_(clock)
    , device_(&device)
    , link_(device)
{
    link_.faults() = faults;
}

bool SimLine::open(int portNumber)
{
    openFailure_ = OpenFailure::None;
    if (portNumber < 1 || !plugged_ || (existingPorts_ && !existingPorts_->contains(portNumber))) {
        openFailure_ = OpenFailure::NotFound;
        return false;
    }
    if (busyPorts_.contains(portNumber)) {
        openFailure_ = OpenFailure::InUse;
        return false;
    }
    if (port_ == portNumber)
        return true;
    close();
    port_ = portNumber;
    return true;
}

void SimLine::close()
{
    port_ = 0;
    received_.clear();
    ++generation_;
}

void SimLine::setDtr(bool on)
{
    if (isOpen() && plugged_)
        link_.setDtr(on, nowUs());
}

bool SimLine::write(const QByteArray& bytes)
{
    if (!isOpen() || !plugged_)
        return false;
    const qint64 now = nowUs();
    for (SimChunk& chunk : link_.feed(bytes, now)) {
        const qint64 delayMs = (chunk.atUs - now + 999) / 1000;
        clock_.schedule(delayMs, [self = std::weak_ptr<SimLine*>(self_), generation = generation_,
                                  bytes = std::move(chunk.bytes)] {
            if (const auto line = self.lock())
                (*line)->deliver(generation, bytes);
        });
    }
    return true;
}

void SimLine::deliver(quint64 generation, const QByteArray& bytes)
{
    if (generation != generation_ || !isOpen())
        return;
    received_ += bytes;
    notify(Event::DataReceived);
}

QByteArray SimLine::readAll()
{
    return std::exchange(received_, QByteArray());
}

QString SimLine::portName() const
{
    return QStringLiteral("SIM");
}

void SimLine::setPortBusy(int portNumber, bool busy)
{
    if (busy)
        busyPorts_.insert(portNumber);
    else
        busyPorts_.remove(portNumber);
}

void SimLine::pullPlug()
{
    plugged_ = false;
    ++generation_;
    if (isOpen())
        notify(Event::PortLost);
}

} // namespace tunekit
