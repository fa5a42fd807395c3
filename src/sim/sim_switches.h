#pragma once

#include "base/option_table.h"
#include "link/packet_codec.h"
#include "sim/sim_device.h"
#include "sim/sim_link.h"

#include <QCommandLineParser>
#include <QList>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <utility>

namespace tunekit {

// The simulated transmitter as one value: its family, the unit's own ways and the faults of the
// device and its line. tunekit-sim reads it from its options, tunekit-cli --simulate makes one,
// and the tests set one up per unit.
struct SimSwitches {
    int configId = SimDevice::DefaultConfigId;
    int systemAddress = -1; // -1: the simulator's own
    bool fresh = false;     // production date, battery type and production number never set
    bool oldFirmware = false; // does not know ConfigEnable
    std::optional<std::uint8_t> configEnableAnswer = ConfigEnable; // nullopt: never answered
    QList<std::pair<int, int>> stuckCells; // worn cells: index, subindex
    SimFaults faults;

    // The unit's own ways, given to a device of the family (the line's faults go to its link).
    void setUp(SimDevice& device) const;
};

// tunekit-sim's options, as its --help and manual page list them; all but --exit-after-ms are
// switches.
std::span<const OptionEntry> simOptions();
// The switches the parsed options give; nothing when a value is not a number in its range.
std::optional<SimSwitches> readSimSwitches(const QCommandLineParser& parser);

// Why a simulated transmitter a user asks for cannot have this ConfigID (no family Tunekit knows
// has it), in the user's language; "" when it can. The programs refuse such a ConfigID; a test may
// still set one up to see how an unknown family is met.
QString simulatedConfigIdProblem(int configId);
// The same from words as they follow tunekit-sim on its command line ("--config-id 53 --lose 0.05").
std::optional<SimSwitches> parseSimSwitches(const QStringList& words);

} // namespace tunekit
