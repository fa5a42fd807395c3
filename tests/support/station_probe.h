#pragma once

#include "session/station.h"

namespace tunekit {

// The parts of a station, for white-box tests of the layers below it (the engine, the
// transfers, the image). Front ends have no such way in: they see operations and copies.
class StationProbe {
public:
    static TransmitEngine& engine(Station& station) noexcept { return station.engine_; }
    static SerialPortAccess& port(Station& station) noexcept { return station.port_; }
    static DeviceImage& image(Station& station) noexcept { return station.image_; }
    static TransferOptions& options(Station& station) noexcept { return station.options_; }
    static DeviceTransfers& transfers(Station& station) noexcept { return *station.transfers_; }
    static DeviceWrites& writes(Station& station) noexcept { return *station.writes_; }
};

} // namespace tunekit
