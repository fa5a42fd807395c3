#include "link/packet_codec.h"

namespace tunekit {
namespace {

using NameTable = std::array<QLatin1StringView, 256>;

constexpr NameTable makeNameTable()
{
    NameTable names{};
    for (auto& name : names)
        name = QLatin1StringView("unknown");
    names[EchoRequest] = QLatin1StringView("EchoRequest");
    names[EchoResponse] = QLatin1StringView("EchoResponse");
    names[DownloadRequest] = QLatin1StringView("DownloadRequest");
    names[DownloadResponse] = QLatin1StringView("DownloadResponse");
    names[Upload] = QLatin1StringView("Upload");
    names[UploadComplete] = QLatin1StringView("UploadComplete");
    names[FlashConfig] = QLatin1StringView("FlashConfig");
    names[FlashConfigComplete] = QLatin1StringView("FlashConfigComplete");
    names[EraseIL2] = QLatin1StringView("EraseIL2");
    names[EraseIL2Complete] = QLatin1StringView("EraseIL2Complete");
    names[Calibration] = QLatin1StringView("Calibration");
    names[CalibrationComplete] = QLatin1StringView("CalibrationComplete");
    names[ReInit] = QLatin1StringView("ReInit");
    names[ReInitComplete] = QLatin1StringView("ReInitComplete");
    names[RadioCalibrate] = QLatin1StringView("RadioCalibrate");
    names[InitDefault] = QLatin1StringView("InitDefault");
    names[InitDefaultComplete] = QLatin1StringView("InitDefaultComplete");
    names[Reset] = QLatin1StringView("Reset");
    names[LockFreq] = QLatin1StringView("LockFreq");
    names[ConfigEnable] = QLatin1StringView("ConfigEnable");
    names[RTeleSim] = QLatin1StringView("RTeleSim");
    names[TeleSim] = QLatin1StringView("TeleSim");
    names[OperationFailed] = QLatin1StringView("OperationFailed");
    names[ChkError] = QLatin1StringView("ChkError");
    names[UnknownResponse] = QLatin1StringView("UnknownResponse");
    return names;
}

constexpr NameTable TypeNames = makeNameTable();

constexpr char HexDigits[] = "0123456789ABCDEF";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::uint8_t byteAt(QByteArrayView bytes, qsizetype i)
{
    return static_cast<std::uint8_t>(bytes[i]);
}

} // namespace

QByteArray makePacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data)
{
    QByteArray packet(PacketSize, '\0');
    packet[0] = static_cast<char>(type);
    packet[1] = static_cast<char>(index & 0xFF);
    packet[2] = static_cast<char>((index / 256) & 0xFF); // division truncates toward zero
    packet[3] = static_cast<char>(subindex);
    for (qsizetype i = 0; i < 4 && i < data.size(); ++i)
        packet[4 + i] = data[i];
    return packet;
}

std::uint8_t frameChecksum(QByteArrayView packet)
{
    unsigned sum = 0;
    for (qsizetype i = 0; i < packet.size(); ++i) {
        sum += byteAt(packet, i);
        if (sum >= 256)
            sum = (sum & 0xFF) + 1;
    }
    return static_cast<std::uint8_t>(sum ^ 0xFF);
}

QByteArray encodeFrame(QByteArrayView packet)
{
    QByteArray frame;
    frame.reserve(2 * packet.size() + 4);
    frame += '@';
    auto appendHex = [&frame](std::uint8_t byte) {
        frame += HexDigits[byte >> 4];
        frame += HexDigits[byte & 0x0F];
    };
    for (qsizetype i = 0; i < packet.size(); ++i)
        appendHex(byteAt(packet, i));
    appendHex(frameChecksum(packet));
    frame += '\r';
    return frame;
}

QByteArray decodeFrame(QByteArrayView frame)
{
    if (frame.size() != FrameSize || frame[0] != '@')
        return {};
    QByteArray bytes(9, '\0');
    for (qsizetype i = 0; i < 9; ++i) {
        const int high = hexValue(frame[1 + 2 * i]);
        const int low = hexValue(frame[2 + 2 * i]);
        if (high < 0 || low < 0)
            return {};
        bytes[i] = static_cast<char>(high * 16 + low);
    }
    bytes.chop(1); // the checksum is not verified by the receiver
    return bytes;
}

bool frameIntact(QByteArrayView frame)
{
    if (frame.size() != FrameSize || frame[FrameSize - 1] != '\r')
        return false;
    const QByteArray packet = decodeFrame(frame);
    if (packet.isEmpty())
        return false;
    const int high = hexValue(frame[17]);
    const int low = hexValue(frame[18]);
    return high * 16 + low == frameChecksum(packet);
}

QString hexBytes(QByteArrayView bytes)
{
    QString text;
    text.reserve(3 * bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        text += QLatin1Char(HexDigits[byteAt(bytes, i) >> 4]);
        text += QLatin1Char(HexDigits[byteAt(bytes, i) & 0x0F]);
    }
    return text;
}

QList<FrameAssembler::Frame> FrameAssembler::feed(QByteArrayView bytes)
{
    QList<Frame> frames;
    for (const char c : bytes) {
        if (c == '@') {
            // A start mark inside an unfinished frame means that frame was broken off.
            pending_ = QByteArray(1, '@');
            continue;
        }
        if (pending_.isEmpty())
            continue; // noise between frames
        if (pending_.size() < FrameSize - 1) {
            if (c == '\r')
                pending_.clear(); // too short to be a frame
            else
                pending_ += c;
            continue;
        }
        // The twentieth character: a frame ends here or there was none.
        if (c == '\r') {
            pending_ += c;
            frames.append({pending_, frameIntact(pending_)});
        }
        pending_.clear();
    }
    return frames;
}

int packetType(QByteArrayView packet)
{
    return packet.isEmpty() ? 0 : byteAt(packet, 0);
}

QLatin1StringView packetTypeName(int code)
{
    if (code < 0 || code > 255)
        return QLatin1StringView("unknown");
    return TypeNames[static_cast<std::size_t>(code)];
}

int packetIndex(QByteArrayView packet)
{
    return packet.size() < 3 ? 0 : byteAt(packet, 1) | (byteAt(packet, 2) << 8);
}

int packetSubindex(QByteArrayView packet)
{
    return packet.size() < 4 ? 0 : byteAt(packet, 3);
}

QByteArray packetData(QByteArrayView packet)
{
    return packet.size() < PacketSize ? QByteArray(4, '\0') : packet.sliced(4, 4).toByteArray();
}

} // namespace tunekit
