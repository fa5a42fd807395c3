#include "sim/firmware_parameters.h"

#include <algorithm>
#include <array>

namespace tunekit {
namespace {

using enum CellCoding;

// The parameters every family carries.
constexpr FamilySet Every = EveryFamily;

// The memory map of the parameters, cell by cell, with the values a device leaves the factory
// with. A unit's own identity (system address, OEM code, production date and number) and its
// compensation values are those of the simulated unit; the others are the firmware's defaults.
constexpr auto Parameters = std::to_array<FirmwareParameter>({
    // name, index, subindex, first byte, width, coding, factory value, families
    {"SystemAddress", 0x2101, 0, 0, 2, Binary, 1234, Every},
    {"OemCode", 0x2101, 0, 2, 1, Binary, 254, Every},
    {"ProdGrp", 0x2101, 0, 3, 1, Binary, 0, Every},

    {"ShutdownDelay", 0x2201, 0, 0, 2, Binary, 500, Every}, // ms
    {"AutoPowerdown", 0x2202, 0, 0, 2, Binary, 0, FamilySet{1, 2, 3, 4, 5, 10, 50, 51, 53}},
    {"TransmitPower", 0x2203, 0, 0, 1, Binary, 27, Every},
    {"ChannelStart", 0x2204, 0, 0, 1, Binary, 1, Every},
    {"ChannelStop", 0x2204, 1, 0, 1, Binary, 67, Every},
    {"ChannelBlockStart", 0x2204, 2, 0, 1, Binary, 0, Every},
    {"ChannelBlockStop", 0x2204, 3, 0, 1, Binary, 0, Every},
    {"ChannelStep", 0x2204, 4, 0, 1, Binary, 1, Every},

    {"BatteryType", 0x2301, 0, 0, 1, Binary, 0, FamilySet{1, 2, 3, 4, 5, 10, 50, 51, 53}},
    {"ProductionDate", 0x2302, 0, 0, 3, DayMonthYear, 20141231, Every},
    {"ProductionNumber", 0x2303, 0, 0, 4, Binary, 20140001, Every},
    {"Charger", 0x2304, 0, 0, 1, Binary, 0, FamilySet{2, 3, 5, 10, 51}},
    {"StopButton", 0x2305, 0, 0, 1, Binary, 0, FamilySet{3, 5}},
    {"JoyDisable", 0x2306, 0, 0, 2, Binary, 0, FamilySet{3, 5}},
    {"LcdType", 0x2307, 0, 0, 1, Binary, 254, FamilySet{3, 5}},
    {"JoyAssembly", 0x2309, 0, 0, 1, Binary, 0, FamilySet{3, 5}},
    {"JoyInvert", 0x2310, 0, 0, 2, Binary, 0, FamilySet{3, 5}},

    {"InterpreterSelect", 0x2401, 0, 0, 1, Binary, 1, Every}, // the interpreter in flash
    {"OptDip", 0x2402, 0, 0, 1, Binary, 0, FamilySet{3, 5}},
    {"OptSummer", 0x2403, 0, 0, 1, Binary, 0, FamilySet{3, 5}},
    {"OptKulisse", 0x2404, 0, 0, 1, Binary, 0, FamilySet{3, 5}},

    {"FreqComp", 0x2501, 0, 0, 1, OffsetBy10, 2, Every}, // +2 steps of 225 Hz
    {"Deviation", 0x2502, 0, 0, 1, Binary, 30, FamilySet{10}},
    {"GainComp", 0x2503, 0, 0, 1, Binary, -5, FamilySet{2, 3, 4, 5, 10, 50, 51, 52, 53}},
    {"PhaseComp", 0x2503, 0, 1, 1, Binary, 3, FamilySet{2, 3, 4, 5, 10, 50, 51, 52, 53}},
    {"FreqBand", 0x2504, 0, 0, 1, Binary, 0, FamilySet{2, 3, 5, 10, 50, 51, 52, 53}},
    {"LbtMode", 0x2505, 0, 0, 1, Binary, 0, FamilySet{2, 3, 5, 10, 51, 53}},
    {"BaseFreqval", 0x2510, 0, 0, 4, Binary, 3796992, FamilySet{10}},

    {"FreqMgmnt", 0x2601, 0, 0, 1, Binary, 0, FamilySet{50}},

    {"Brk", 0x2701, 0, 0, 1, Binary, 0, FamilySet{50}},
    {"FreqUm", 0x2702, 0, 0, 1, Binary, 0, FamilySet{50}},
    {"LedBrightness", 0x2703, 0, 0, 1, Binary, 0, FamilySet{2, 3, 4, 5, 10, 51}},
    {"MultiUserID", 0x2704, 0, 0, 1, Binary, 0, FamilySet{51}},
    {"MultiUserType", 0x2705, 0, 0, 1, Binary, 0, FamilySet{51}},
    {"LCDContrast", 0x2706, 0, 0, 1, Binary, 0, FamilySet{5}},

    {"RfOptions", 0x2801, 0, 0, 1, Binary, 34, FamilySet{10}},
    {"TxPeriod", 0x2802, 0, 0, 2, Binary, 0, FamilySet{10}},
    {"Preamble", 0x2803, 0, 0, 1, Binary, 0, FamilySet{10}},
    {"MinRSSI", 0x2804, 0, 0, 1, Binary, -95, FamilySet{2, 3, 5, 10, 50, 51, 52, 53}}, // dBm
    {"RxTxDel", 0x2805, 0, 0, 1, Binary, 0, FamilySet{10}},
    {"ScanDelay", 0x2806, 0, 0, 2, Binary, 0, FamilySet{10}},
    {"RqMpm", 0x2807, 0, 0, 1, Binary, 120, FamilySet{10}},
    {"RssiLnaMin", 0x2808, 0, 0, 1, Binary, 0, FamilySet{3, 5}},
    {"RssiLnaMax", 0x2809, 0, 0, 1, Binary, 0, FamilySet{3, 5}},
    {"RFType", 0x2810, 0, 0, 1, Binary, 0, FamilySet{3, 5}},

    {"ZeroPos", 0x2900, 0, 0, 1, Binary, 127, FamilySet{52}},
    {"PowerMin", 0x2901, 0, 0, 2, Binary, 0, FamilySet{52}},
    {"MaxAngle", 0x2902, 0, 0, 1, Binary, 80, FamilySet{52}},
    {"DeadMiddle", 0x2903, 0, 0, 1, Binary, 4, FamilySet{52}},
    {"ContraSignal", 0x2904, 0, 0, 1, Binary, 0, FamilySet{52}},
    {"InclinometerLimit", 0x2905, 0, 0, 1, Binary, 30, FamilySet{52}},
    {"ZeroPos1", 0x2910, 0, 0, 2, Binary, 2048, FamilySet{53}},
    {"ZeroPos2", 0x2911, 0, 0, 2, Binary, 2048, FamilySet{53}},
    {"OffsetWarning", 0x2912, 0, 0, 2, Binary, 65, FamilySet{53}},
    {"OffsetStop", 0x2913, 0, 0, 2, Binary, 135, FamilySet{53}},
    {"DelayWarning", 0x2914, 0, 0, 1, Binary, 0, FamilySet{53}},
    {"DelayStop", 0x2915, 0, 0, 1, Binary, 0, FamilySet{53}},
    {"InclOptions", 0x2916, 0, 0, 1, Binary, 0, FamilySet{53}},
});

constexpr bool fitsItsCell(const FirmwareParameter& parameter)
{
    return parameter.width >= 1 && parameter.firstByte + parameter.width <= 4;
}
static_assert(std::ranges::all_of(Parameters, fitsItsCell));

} // namespace

std::span<const FirmwareParameter> firmwareParameters()
{
    return Parameters;
}

const FirmwareParameter* findFirmwareParameter(std::string_view name)
{
    const auto it = std::ranges::find(Parameters, name, &FirmwareParameter::name);
    return it == Parameters.end() ? nullptr : &*it;
}

QByteArray cellWithValue(QByteArray cell, const FirmwareParameter& parameter, qint64 value)
{
    cell = cell.leftJustified(4, '\0', true);
    switch (parameter.coding) {
    case CellCoding::Binary:
        break;
    case CellCoding::OffsetBy10:
        value += 10;
        break;
    case CellCoding::DayMonthYear:
        value = value % 100 | (value / 100 % 100) << 8 | (value / 10000 - 2000) << 16;
        break;
    }
    for (int i = 0; i < parameter.width; ++i)
        cell[parameter.firstByte + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return cell;
}

} // namespace tunekit
