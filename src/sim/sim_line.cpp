#include "sim/sim_line.h"

#include <utility>

namespace tunekit {

SimLine::SimLine(Clock& clock, int configId)
    : clock_(clock)
    , device_(configId)
    , link_(device_)
{
}

bool SimLine::Open(int portNumber)
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
    Close();
    port_ = portNumber;
    return true;
}

void SimLine::Close()
{
    port_ = 0;
    received_.clear();
    ++generation_;
}

void SimLine::SetDtr(bool on)
{
    if (IsOpen() && plugged_)
        link_.SetDtr(on, NowUs());
}

bool SimLine::Write(const QByteArray& bytes)
{
    if (!IsOpen() || !plugged_)
        return false;
    const qint64 nowUs = NowUs();
    for (SimChunk& chunk : link_.Feed(bytes, nowUs)) {
        const qint64 delayMs = (chunk.AtUs - nowUs + 999) / 1000;
        clock_.Schedule(delayMs, [self = std::weak_ptr<SimLine*>(self_), generation = generation_,
                                  bytes = std::move(chunk.Bytes)] {
            if (const auto line = self.lock())
                (*line)->Deliver(generation, bytes);
        });
    }
    return true;
}

void SimLine::Deliver(quint64 generation, const QByteArray& bytes)
{
    if (generation != generation_ || !IsOpen())
        return;
    received_ += bytes;
    Notify(Event::DataReceived);
}

QByteArray SimLine::ReadAll()
{
    return std::exchange(received_, QByteArray());
}

QString SimLine::PortName() const
{
    return QStringLiteral("SIM");
}

void SimLine::SetPortBusy(int portNumber, bool busy)
{
    if (busy)
        busyPorts_.insert(portNumber);
    else
        busyPorts_.remove(portNumber);
}

void SimLine::PullPlug()
{
    plugged_ = false;
    ++generation_;
    if (IsOpen())
        Notify(Event::PortLost);
}

} // namespace tunekit
