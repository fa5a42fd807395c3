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

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

std::uint8_t subindexOf(QByteArrayView packet)
{
    return static_cast<std::uint8_t>(packetSubindex(packet));
}

} // namespace

SimDevice::SimDevice(int configId)
{
    setCell(FamilyCellIndex, 0, bytes({configId & 0xFF, (configId >> 8) & 0xFF}));
    fillFactoryParameters();
    fillFactoryInformation();
}

QByteArray SimDevice::answer(QByteArrayView packet, qint64 atUs)
{
    if (requests_.size() >= RequestLogLimit)
        requests_.removeFirst();
    requests_.append(packet.toByteArray());

    const int index = packetIndex(packet);
    const std::uint8_t subindex = subindexOf(packet);
    const auto reply = [index, subindex](std::uint8_t type, QByteArrayView data = {}) {
        return makePacket(type, index, subindex, data);
    };
    const int type = packetType(packet);
    switch (type) {
    case EchoRequest:
        return reply(EchoResponse, packetData(packet));
    case DownloadRequest:
        return reply(DownloadResponse, cell(index, subindex));
    case Upload:
        return answerUpload(packet);
    case ConfigEnable:
        if (!knowsConfigEnable_)
            return reply(UnknownResponse, bytes({type}));
        configOpen_ = true;
        return configEnableAnswer_ ? reply(*configEnableAnswer_) : QByteArray();
    case FlashConfig:
        // Without ConfigEnable first the working copy is not stored, yet the answer is the same:
        // the firmware does not tell, the next reset does.
        if (configOpen_ || !knowsConfigEnable_)
            flashConfiguration();
        configOpen_ = false;
        return reply(FlashConfigComplete);
    case EraseIL2:
        eraseRange(InterpreterFirst, InterpreterLast);
        return reply(EraseIL2Complete);
    case Calibration:
        return reply(CalibrationComplete);
    case ReInit:
        return reply(ReInitComplete);
    case InitDefault:
        eraseRange(ParametersFirst, ParametersLast);
        flashed_.erase(flashed_.lower_bound(key(ParametersFirst, 0)), flashed_.upper_bound(key(ParametersLast, 0xFF)));
        fillFactoryParameters();
        return reply(InitDefaultComplete);
    case Reset:
        // Answers first, so the sender's wait ends, then reboots.
        restart(atUs);
        return reply(Reset);
    default:
        return reply(UnknownResponse, bytes({type}));
    }
}

void SimDevice::makeFresh()
{
    for (const std::string_view name : {"BatteryType", "ProductionDate", "ProductionNumber"}) {
        const FirmwareParameter& parameter = *findFirmwareParameter(name);
        setCell(parameter.index, parameter.subindex, QByteArray(4, '\xFF'));
    }
}

qint64 SimDevice::systemAddress() const
{
    const FirmwareParameter& address = *findFirmwareParameter("SystemAddress");
    const QByteArray bytes = cell(address.index, address.subindex);
    return static_cast<quint8>(bytes[address.firstByte]) | (static_cast<quint8>(bytes[address.firstByte + 1]) << 8);
}

void SimDevice::becomeNextUnit()
{
    const int family = configId();
    const qint64 next = (systemAddress() + 1) & 0xFFFF;
    cells_.clear();
    flashed_.clear();
    configOpen_ = false;
    stuck_.clear();
    setCell(FamilyCellIndex, 0, bytes({family & 0xFF, (family >> 8) & 0xFF}));
    fillFactoryParameters();
    fillFactoryInformation();
    makeFresh();
    setSystemAddress(static_cast<int>(next));
}

QByteArray SimDevice::checksumErrorAnswer(QByteArrayView packet)
{
    return makePacket(ChkError, packetIndex(packet), subindexOf(packet));
}

QByteArray SimDevice::answerUpload(QByteArrayView packet)
{
    const int index = packetIndex(packet);
    const std::uint8_t subindex = subindexOf(packet);
    if (!acceptsUpload(index))
        return makePacket(OperationFailed, index, subindex);
    const QByteArray data = packetData(packet);
    if (!stuck_.contains(key(index, subindex)))
        putCell(index, subindex, data);
    return makePacket(UploadComplete, index, subindex, data);
}

bool SimDevice::acceptsUpload(int index) const
{
    // Information texts and the operating-time counter belong to the firmware.
    return index < InfoFirst || index > InfoLast;
}

quint32 SimDevice::key(int index, int subindex)
{
    return cellAddress(index, subindex);
}

QByteArray SimDevice::cell(int index, int subindex) const
{
    const auto it = cells_.find(key(index, subindex));
    if (it == cells_.end())
        return QByteArray(4, '\xFF');
    return QByteArray(it->second.data(), 4);
}

bool SimDevice::isErased(int index, int subindex) const
{
    return !cells_.contains(key(index, subindex));
}

void SimDevice::putCell(int index, int subindex, QByteArrayView data)
{
    std::array<char, 4> cell{};
    for (qsizetype i = 0; i < 4 && i < data.size(); ++i)
        cell[static_cast<std::size_t>(i)] = data[i];
    cells_[key(index, subindex)] = cell;
}

void SimDevice::setCell(int index, int subindex, QByteArrayView data)
{
    putCell(index, subindex, data);
    if (index >= ConfigurationFirst && index <= ParametersLast)
        flashed_[key(index, subindex)] = cells_[key(index, subindex)];
}

QByteArray SimDevice::flashedCell(int index, int subindex) const
{
    const auto it = flashed_.find(key(index, subindex));
    if (it == flashed_.end())
        return QByteArray(4, '\xFF');
    return QByteArray(it->second.data(), 4);
}

void SimDevice::flashConfiguration()
{
    flashed_.clear();
    flashed_.insert(cells_.lower_bound(key(ConfigurationFirst, 0)), cells_.upper_bound(key(ParametersLast, 0xFF)));
}

QByteArray SimDevice::blockBytes(int firstIndex, int subindexesPerIndex, int bytesPerCell, qsizetype length) const
{
    QByteArray bytes;
    if (subindexesPerIndex < 1 || bytesPerCell < 1 || bytesPerCell > 4)
        return bytes;
    for (int n = 0; bytes.size() < length; ++n)
        bytes += cell(firstIndex + n / subindexesPerIndex, n % subindexesPerIndex).first(bytesPerCell);
    bytes.truncate(length);
    return bytes;
}

qsizetype SimDevice::usedCells(int firstIndex, int lastIndex) const
{
    return std::distance(cells_.lower_bound(key(firstIndex, 0)), cells_.upper_bound(key(lastIndex, 0xFF)));
}

int SimDevice::configId() const
{
    return static_cast<std::uint8_t>(cell(FamilyCellIndex, 0)[0]);
}

void SimDevice::restart(qint64 atUs)
{
    // The working copy of the configuration is reloaded from flash; what was not flashed is lost.
    eraseRange(ConfigurationFirst, ParametersLast);
    cells_.insert(flashed_.begin(), flashed_.end());
    configOpen_ = false;
    bootUntilUs_ = atUs + BootTimeUs;
    ++restarts_;
}

bool SimDevice::isBooting(qint64 atUs) const
{
    return atUs < bootUntilUs_;
}

void SimDevice::eraseRange(int firstIndex, int lastIndex)
{
    cells_.erase(cells_.lower_bound(key(firstIndex, 0)), cells_.upper_bound(key(lastIndex, 0xFF)));
}

void SimDevice::putText(int index, int firstSubindex, int cells, const QByteArray& text)
{
    // Cells past the text's end read as NUL characters, which end the text on the program's side.
    for (int i = 0; i < cells; ++i)
        setCell(index, firstSubindex + i, text.mid(4 * i, 4));
}

void SimDevice::fillFactoryParameters()
{
    const int family = isTransmitterFamily(configId()) ? configId() : DefaultConfigId;
    for (const FirmwareParameter& parameter : firmwareParameters()) {
        if (parameter.families.contains(family))
            putParameter(parameter, parameter.factoryValue);
    }
}

void SimDevice::putParameter(const FirmwareParameter& parameter, qint64 value)
{
    const QByteArray current = isErased(parameter.index, parameter.subindex) ? QByteArray(4, '\0')
                                                                             : cell(parameter.index, parameter.subindex);
    setCell(parameter.index, parameter.subindex, cellWithValue(current, parameter, value));
}

void SimDevice::setSystemAddress(int address)
{
    putParameter(*findFirmwareParameter("SystemAddress"), address);
}

void SimDevice::setInterpreterSelect(int select)
{
    putParameter(*findFirmwareParameter("InterpreterSelect"), select);
}

void SimDevice::putInterpreterInfo(int index, const InterpreterInfo& info)
{
    setCell(index, 0, bytes({0, 0, info.second, info.minute}));
    setCell(index, 1, bytes({info.hour, info.day, info.month, info.year - 2000}));
    // The name travels in pairs of characters, padded with blanks.
    putText(index, 2, 6, info.name.leftJustified(24, ' '));
}

void SimDevice::fillFactoryInformation()
{
    putText(0x1001, 0, 65, QByteArrayLiteral("Tunekit simulated hand-held transmitter, firmware HS4 V2.13"));
    putText(0x1002, 0, 2, QByteArrayLiteral("V2.13"));
    putText(0x1003, 0, 5, QByteArrayLiteral("26.02.2015"));
    putText(0x1004, 0, 4, QByteArrayLiteral("HS4 HVX-TX"));
    setCell(0x1101, 0, bytes({5, 7, 300 & 0xFF, 300 >> 8})); // 300 h 07 min 05 s

    putInterpreterInfo(InterpreterFirst, {QByteArrayLiteral("SIM-CRANE-V1.4"), 9, 15, 30, 5, 3, 2014});
    putInterpreterInfo(InterpreterImageFirst, {QByteArrayLiteral("SIM-LIFT-V2.0"), 11, 2, 3, 14, 7, 2015});
    putInterpreterInfo(InterpreterImageFirst + 1, {QByteArrayLiteral("SIM-DOZER-V3.1"), 16, 45, 0, 26, 2, 2015});
    putInterpreterInfo(InterpreterImageFirst + 2, {QByteArrayLiteral("SIM-PUMP-V0.9"), 7, 0, 59, 1, 10, 2013});
}

} // namespace tunekit
