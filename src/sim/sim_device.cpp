#include "sim/sim_device.h"

#include "link/packet_codec.h"
#include "sim/firmware_parameters.h"

#include <iterator>
#include <string_view>

namespace tunekit {
namespace {

constexpr int InfoFirst = 0x1000;
constexpr int InfoLast = 0x1FFF;
constexpr int ConfigurationFirst = FamilyCellIndex;
constexpr int ParametersFirst = FamilyCellIndex + 1; // the family survives InitDefault
constexpr int ParametersLast = 0x2FFF;
constexpr int InterpreterFirst = 0x6000;
constexpr int InterpreterLast = 0x6FFF;
constexpr int InterpreterImageFirst = 0x7100;

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

std::uint8_t Subindex(QByteArrayView packet)
{
    return static_cast<std::uint8_t>(PacketSubindex(packet));
}

} // namespace

SimDevice::SimDevice(int configId)
{
    SetCell(FamilyCellIndex, 0, Bytes({configId & 0xFF, (configId >> 8) & 0xFF}));
    FillFactoryParameters();
    FillFactoryInformation();
}

QByteArray SimDevice::Answer(QByteArrayView packet, qint64 atUs)
{
    if (requests_.size() >= RequestLogLimit)
        requests_.removeFirst();
    requests_.append(packet.toByteArray());

    const int index = PacketIndex(packet);
    const std::uint8_t subindex = Subindex(packet);
    const auto reply = [index, subindex](std::uint8_t type, QByteArrayView data = {}) {
        return MakePacket(type, index, subindex, data);
    };
    const int type = PacketType(packet);
    switch (type) {
    case EchoRequest:
        return reply(EchoResponse, PacketData(packet));
    case DownloadRequest:
        return reply(DownloadResponse, Cell(index, subindex));
    case Upload:
        return AnswerUpload(packet);
    case ConfigEnable:
        if (!knowsConfigEnable_)
            return reply(UnknownResponse, Bytes({type}));
        configOpen_ = true;
        // The protocol has no completion code for it; the device acknowledges by echoing the type.
        return reply(ConfigEnable);
    case FlashConfig:
        // Without ConfigEnable first the working copy is not stored, yet the answer is the same:
        // the firmware does not tell, the next reset does.
        if (configOpen_ || !knowsConfigEnable_)
            FlashConfiguration();
        configOpen_ = false;
        return reply(FlashConfigComplete);
    case EraseIL2:
        EraseRange(InterpreterFirst, InterpreterLast);
        return reply(EraseIL2Complete);
    case Calibration:
        return reply(CalibrationComplete);
    case ReInit:
        return reply(ReInitComplete);
    case InitDefault:
        EraseRange(ParametersFirst, ParametersLast);
        flashed_.erase(flashed_.lower_bound(Key(ParametersFirst, 0)), flashed_.upper_bound(Key(ParametersLast, 0xFF)));
        FillFactoryParameters();
        return reply(InitDefaultComplete);
    case Reset:
        // Answers first, so the sender's wait ends, then reboots.
        Restart(atUs);
        return reply(Reset);
    default:
        return reply(UnknownResponse, Bytes({type}));
    }
}

void SimDevice::MakeFresh()
{
    for (const std::string_view name : {"BatteryType", "ProductionDate", "ProductionNumber"}) {
        const FirmwareParameter& parameter = *FindFirmwareParameter(name);
        SetCell(parameter.index, parameter.subindex, QByteArray(4, '\xFF'));
    }
}

QByteArray SimDevice::ChecksumErrorAnswer(QByteArrayView packet)
{
    return MakePacket(ChkError, PacketIndex(packet), Subindex(packet));
}

QByteArray SimDevice::AnswerUpload(QByteArrayView packet)
{
    const int index = PacketIndex(packet);
    const std::uint8_t subindex = Subindex(packet);
    if (!AcceptsUpload(index))
        return MakePacket(OperationFailed, index, subindex);
    const QByteArray data = PacketData(packet);
    if (!stuck_.contains(Key(index, subindex)))
        PutCell(index, subindex, data);
    return MakePacket(UploadComplete, index, subindex, data);
}

bool SimDevice::AcceptsUpload(int index) const
{
    // Information texts and the operating-time counter belong to the firmware.
    return index < InfoFirst || index > InfoLast;
}

quint32 SimDevice::Key(int index, int subindex)
{
    return (static_cast<quint32>(index & 0xFFFF) << 8) | static_cast<quint32>(subindex & 0xFF);
}

QByteArray SimDevice::Cell(int index, int subindex) const
{
    const auto it = cells_.find(Key(index, subindex));
    if (it == cells_.end())
        return QByteArray(4, '\xFF');
    return QByteArray(it->second.data(), 4);
}

bool SimDevice::IsErased(int index, int subindex) const
{
    return !cells_.contains(Key(index, subindex));
}

void SimDevice::PutCell(int index, int subindex, QByteArrayView data)
{
    std::array<char, 4> cell{};
    for (qsizetype i = 0; i < 4 && i < data.size(); ++i)
        cell[static_cast<std::size_t>(i)] = data[i];
    cells_[Key(index, subindex)] = cell;
}

void SimDevice::SetCell(int index, int subindex, QByteArrayView data)
{
    PutCell(index, subindex, data);
    if (index >= ConfigurationFirst && index <= ParametersLast)
        flashed_[Key(index, subindex)] = cells_[Key(index, subindex)];
}

QByteArray SimDevice::FlashedCell(int index, int subindex) const
{
    const auto it = flashed_.find(Key(index, subindex));
    if (it == flashed_.end())
        return QByteArray(4, '\xFF');
    return QByteArray(it->second.data(), 4);
}

void SimDevice::FlashConfiguration()
{
    flashed_.clear();
    flashed_.insert(cells_.lower_bound(Key(ConfigurationFirst, 0)), cells_.upper_bound(Key(ParametersLast, 0xFF)));
}

QByteArray SimDevice::BlockBytes(int firstIndex, int subindexesPerIndex, int bytesPerCell, qsizetype length) const
{
    QByteArray bytes;
    if (subindexesPerIndex < 1 || bytesPerCell < 1 || bytesPerCell > 4)
        return bytes;
    for (int n = 0; bytes.size() < length; ++n)
        bytes += Cell(firstIndex + n / subindexesPerIndex, n % subindexesPerIndex).first(bytesPerCell);
    bytes.truncate(length);
    return bytes;
}

qsizetype SimDevice::UsedCells(int firstIndex, int lastIndex) const
{
    return std::distance(cells_.lower_bound(Key(firstIndex, 0)), cells_.upper_bound(Key(lastIndex, 0xFF)));
}

int SimDevice::ConfigId() const
{
    return static_cast<std::uint8_t>(Cell(FamilyCellIndex, 0)[0]);
}

void SimDevice::Restart(qint64 atUs)
{
    // The working copy of the configuration is reloaded from flash; what was not flashed is lost.
    EraseRange(ConfigurationFirst, ParametersLast);
    cells_.insert(flashed_.begin(), flashed_.end());
    configOpen_ = false;
    bootUntilUs_ = atUs + BootTimeUs;
    ++restarts_;
}

bool SimDevice::IsBooting(qint64 atUs) const
{
    return atUs < bootUntilUs_;
}

void SimDevice::EraseRange(int firstIndex, int lastIndex)
{
    cells_.erase(cells_.lower_bound(Key(firstIndex, 0)), cells_.upper_bound(Key(lastIndex, 0xFF)));
}

void SimDevice::PutText(int index, int firstSubindex, int cells, const QByteArray& text)
{
    // Cells past the text's end read as NUL characters, which end the text on the program's side.
    for (int i = 0; i < cells; ++i)
        SetCell(index, firstSubindex + i, text.mid(4 * i, 4));
}

void SimDevice::FillFactoryParameters()
{
    const int family = IsFirmwareFamily(ConfigId()) ? ConfigId() : DefaultConfigId;
    for (const FirmwareParameter& parameter : FirmwareParameters()) {
        if (parameter.families.Contains(family))
            PutParameter(parameter, parameter.factoryValue);
    }
}

void SimDevice::PutParameter(const FirmwareParameter& parameter, qint64 value)
{
    const QByteArray cell = IsErased(parameter.index, parameter.subindex) ? QByteArray(4, '\0')
                                                                          : Cell(parameter.index, parameter.subindex);
    SetCell(parameter.index, parameter.subindex, CellWithValue(cell, parameter, value));
}

void SimDevice::SetSystemAddress(int address)
{
    PutParameter(*FindFirmwareParameter("SystemAddress"), address);
}

void SimDevice::SetInterpreterSelect(int select)
{
    PutParameter(*FindFirmwareParameter("InterpreterSelect"), select);
}

void SimDevice::PutInterpreterInfo(int index, const InterpreterInfo& info)
{
    SetCell(index, 0, Bytes({0, 0, info.second, info.minute}));
    SetCell(index, 1, Bytes({info.hour, info.day, info.month, info.year - 2000}));
    // The name travels in pairs of characters, padded with blanks.
    PutText(index, 2, 6, info.name.leftJustified(24, ' '));
}

void SimDevice::FillFactoryInformation()
{
    PutText(0x1001, 0, 65, QByteArrayLiteral("Tunekit simulated hand-held transmitter, firmware HS4 V2.13"));
    PutText(0x1002, 0, 2, QByteArrayLiteral("V2.13"));
    PutText(0x1003, 0, 5, QByteArrayLiteral("26.02.2015"));
    PutText(0x1004, 0, 4, QByteArrayLiteral("HS4 HVX-TX"));
    SetCell(0x1101, 0, Bytes({5, 7, 300 & 0xFF, 300 >> 8})); // 300 h 07 min 05 s

    PutInterpreterInfo(InterpreterFirst, {QByteArrayLiteral("SIM-CRANE-V1.4"), 9, 15, 30, 5, 3, 2014});
    PutInterpreterInfo(InterpreterImageFirst, {QByteArrayLiteral("SIM-LIFT-V2.0"), 11, 2, 3, 14, 7, 2015});
    PutInterpreterInfo(InterpreterImageFirst + 1, {QByteArrayLiteral("SIM-DOZER-V3.1"), 16, 45, 0, 26, 2, 2015});
    PutInterpreterInfo(InterpreterImageFirst + 2, {QByteArrayLiteral("SIM-PUMP-V0.9"), 7, 0, 59, 1, 10, 2013});
}

} // namespace tunekit
