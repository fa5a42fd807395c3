#include "sim/sim_device.h"

#include "link/packet_codec.h"

namespace tunekit {
namespace {

constexpr int InfoFirst = 0x1000;
constexpr int InfoLast = 0x1FFF;
constexpr int ParametersFirst = 0x2001; // 0x2000 is the family and survives InitDefault
constexpr int ParametersLast = 0x2FFF;
constexpr int InterpreterFirst = 0x6000;
constexpr int InterpreterLast = 0x6FFF;

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
    SetCell(0x2000, 0, Bytes({configId & 0xFF, (configId >> 8) & 0xFF}));
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
        // The protocol has no completion code for it; the device acknowledges by echoing the type.
        return reply(ConfigEnable);
    case FlashConfig:
        // Cells are kept in non-volatile memory as they are written; flashing has nothing left to do.
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
    SetCell(index, subindex, data);
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

void SimDevice::SetCell(int index, int subindex, QByteArrayView data)
{
    std::array<char, 4> cell{};
    for (qsizetype i = 0; i < 4 && i < data.size(); ++i)
        cell[static_cast<std::size_t>(i)] = data[i];
    cells_[Key(index, subindex)] = cell;
}

int SimDevice::ConfigId() const
{
    return static_cast<std::uint8_t>(Cell(0x2000, 0)[0]);
}

void SimDevice::Restart(qint64 atUs)
{
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
    constexpr int systemAddress = 1234;
    constexpr int oemCode = 254;
    constexpr int productGroup = 0;
    SetCell(0x2101, 0, Bytes({systemAddress & 0xFF, systemAddress >> 8, oemCode, productGroup}));
    SetCell(0x2201, 0, Bytes({500 & 0xFF, 500 >> 8})); // ShutdownDelay
    SetCell(0x2203, 0, Bytes({27}));                   // TransmitPower
    const int channels[] = {1, 67, 0, 0, 1};
    for (int sub = 0; sub < 5; ++sub)
        SetCell(0x2204, sub, Bytes({channels[sub]}));
    SetCell(0x2401, 0, Bytes({1})); // InterpreterSelect: the interpreter at 0x6000
}

void SimDevice::FillFactoryInformation()
{
    PutText(0x1001, 0, 65, QByteArrayLiteral("Tunekit simulated hand-held transmitter, firmware HS4 2.07"));
    PutText(0x1002, 0, 2, QByteArrayLiteral("2.07"));
    PutText(0x1003, 0, 5, QByteArrayLiteral("Nov  3 2014 14:22:10"));
    PutText(0x1004, 0, 4, QByteArrayLiteral("HS4 / CC1101"));
    SetCell(0x1101, 0, Bytes({5, 7, 300 & 0xFF, 300 >> 8})); // 300 h 07 min 05 s

    // Interpreter header: built 5.3.2014 09:15:30, name in blank-padded pairs.
    SetCell(InterpreterFirst, 0, Bytes({0, 0, 30, 15}));
    SetCell(InterpreterFirst, 1, Bytes({9, 5, 3, 14}));
    PutText(InterpreterFirst, 2, 6, QByteArrayLiteral("SIM CRANE V1.4          "));
}

} // namespace tunekit
