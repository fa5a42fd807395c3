#include "session/station.h"

#include "link/serial_line.h"

namespace tunekit {
namespace {

// Long enough for any batch: the longest answer time, repeated, for every packet of a 64 KB
// interpreter.
constexpr qint64 BatchLimitMs = 24LL * 3600 * 1000;

} // namespace

Station::Station(StationSeams seams, StationViews& views, std::function<AccessLevel()> accessLevel)
    : seams_(seams), port_(seams.line, seams.clock, seams.dialogs)
{
    port_.SetTerminalSink([&views](const QByteArray& text) { views.AddToTerminal(text); });
    engine_.Connect(port_, seams.dialogs, views);
    engine_.SetReceivedTrafficShown([accessLevel] { return accessLevel && accessLevel().seesReceivedTraffic(); });
    seams.line.SetListener([this](SerialLine::Event event) { engine_.HandleLineEvent(event); });
    TransferViews& transferViews = views;
    transfers_ = std::make_unique<DeviceTransfers>(
        TransferContext{engine_, port_, image_, seams.dialogs, transferViews, options_, std::move(accessLevel)});
    writes_ = std::make_unique<DeviceWrites>(*transfers_);
}

Station::~Station()
{
    seams_.line.SetListener({});
}

bool Station::OpenAdapterPort(qint16 number)
{
    PortState& state = port_.State();
    state.portNumber = number;
    state.adapterFound = number >= 1 && port_.OpenPort();
    state.adapterPort = state.adapterFound ? number : qint16(0);
    return state.adapterFound;
}

QCoro::Task<bool> Station::BatchOver()
{
    co_return co_await engine_.UntilIdle(BatchLimitMs);
}

QCoro::Task<int> Station::Detect()
{
    co_await transfers_->DetectDevice();
    co_return image_.deviceConfigId;
}

QCoro::Task<ReadOutcome> Station::ReadParameters()
{
    co_await transfers_->ReadParameters();
    co_await BatchOver();
    co_return ReadOutcome{!engine_.State().GaveUp && image_.deviceConfigId != 0, image_.deviceConfigId};
}

QCoro::Task<ReadOutcome> Station::ReadInformation()
{
    co_await transfers_->ReadInformation();
    co_await BatchOver();
    co_return ReadOutcome{!engine_.State().GaveUp, image_.deviceConfigId};
}

QCoro::Task<WriteResult> Station::Write()
{
    co_return co_await writes_->Write();
}

QCoro::Task<> Station::Reset()
{
    co_await transfers_->ResetDevice();
}

} // namespace tunekit
