#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <initializer_list>
#include <span>
#include <string_view>

namespace tunekit {

// The transmitter families this firmware is built for, named by their ConfigID.
constexpr std::array<int, 10> FirmwareFamilies{1, 2, 3, 4, 5, 10, 50, 51, 52, 53};

// Whether the firmware is built for a family with this ConfigID.
constexpr bool isFirmwareFamily(int configId)
{
    for (const int family : FirmwareFamilies) {
        if (family == configId)
            return true;
    }
    return false;
}

// The families that carry a parameter: one bit for each entry of FirmwareFamilies.
class FirmwareFamilySet {
public:
    // Only ConfigIDs of FirmwareFamilies: another number does not compile.
    consteval FirmwareFamilySet(std::initializer_list<int> configIds)
    {
        for (const int configId : configIds) {
            if (!isFirmwareFamily(configId))
                throw "not a family of this firmware";
            bits_ |= bit(configId);
        }
    }
    constexpr bool contains(int configId) const { return (bits_ & bit(configId)) != 0; }

private:
    static constexpr quint16 bit(int configId)
    {
        for (std::size_t i = 0; i < FirmwareFamilies.size(); ++i) {
            if (FirmwareFamilies[i] == configId)
                return static_cast<quint16>(1U << i);
        }
        return 0;
    }
    quint16 bits_ = 0;
};

// How the firmware keeps a value in its bytes.
enum class CellCoding {
    Binary,       // little-endian, negative values in two's complement
    OffsetBy10,   // value + 10, so that -10..+10 fits an unsigned byte
    DayMonthYear, // three bytes: day, month, year - 2000; the value is written yyyymmdd
};

// One parameter of the firmware: where it lives in its 4-byte cell and what a factory-fresh
// device holds there.
struct FirmwareParameter {
    std::string_view name;
    quint16 index;
    quint8 subindex;
    quint8 firstByte; // 0..3
    quint8 width;     // bytes, firstByte + width <= 4
    CellCoding coding;
    qint32 factoryValue;
    FirmwareFamilySet families;
};

// The cell that names the family: the ConfigID, 16 bits from byte 0. It is no parameter of the
// table below and InitDefault leaves it alone.
constexpr int FamilyCellIndex = 0x2000;

// Every parameter of the firmware, in the order of their cells; some share a cell (0x2101,
// 0x2503).
std::span<const FirmwareParameter> firmwareParameters();
// The parameter of that name; nullptr when the firmware has none.
const FirmwareParameter* findFirmwareParameter(std::string_view name);

// The 4 bytes of cell with value stored in the parameter's bytes as the firmware keeps it; the
// cell's other bytes stay. A cell shorter than 4 bytes is padded with zero bytes.
QByteArray cellWithValue(QByteArray cell, const FirmwareParameter& parameter, qint64 value);

} // namespace tunekit
