#pragma once

#include <QByteArray>
#include <QtGlobal>

#include "params/transmitter_family.h"

#include <array>
#include <span>
#include <string_view>

namespace tunekit {

// The firmware is built for every transmitter family (transmitter_family.h); which of them carry
// a parameter is the firmware's own knowledge, marked on each row of its table below.

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
    FamilySet families;
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
