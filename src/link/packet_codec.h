#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

namespace tunekit {

// A packet is 8 bytes: type, index low, index high, subindex, 4 data bytes (little-endian).
// On the wire it travels as "@" + 18 upper-case hex digits (packet + checksum) + CR.
constexpr qsizetype PacketSize = 8;
constexpr qsizetype FrameSize = 20;

enum PacketTypeCode : std::uint8_t {
    EchoRequest = 0x00,
    EchoResponse = 0x01,
    DownloadRequest = 0x10,
    DownloadResponse = 0x11,
    Upload = 0x12,
    UploadComplete = 0x13,
    FlashConfig = 0x14,
    FlashConfigComplete = 0x15,
    EraseIL2 = 0x16,
    EraseIL2Complete = 0x17,
    Calibration = 0x18,
    CalibrationComplete = 0x19,
    ReInit = 0x1A,
    ReInitComplete = 0x1B,
    RadioCalibrate = 0x1C,
    InitDefault = 0x1D,
    InitDefaultComplete = 0x1E,
    Reset = 0x1F,
    LockFreq = 0x20,
    ConfigEnable = 0x21,
    RTeleSim = 0x40,
    TeleSim = 0x41,
    OperationFailed = 0xFD,
    ChkError = 0xFE,
    UnknownResponse = 0xFF,
};

// Builds the 8-byte packet: only bits 0..15 of the index are used, data is padded with
// zero bytes or cut to 4 bytes.
QByteArray makePacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data = {});

// One's complement of the end-around-carry sum of the packet bytes.
std::uint8_t frameChecksum(QByteArrayView packet);

QByteArray encodeFrame(QByteArrayView packet);

// "" unless the text is exactly 20 characters starting with "@". The checksum pair is
// read but not checked here; a pair that is not hexadecimal makes the whole frame unreadable
// (""). The receive path checks the checksum with frameIntact before it uses a frame.
QByteArray decodeFrame(QByteArrayView frame);

// The frame is "@", 18 hexadecimal digits and CR, and its checksum pair matches its packet.
bool frameIntact(QByteArrayView frame);

// The packet's bytes as upper-case hexadecimal pairs separated by blanks: "10 00 20 00 ...".
QString hexBytes(QByteArrayView bytes);

// Finds answer frames in the bytes that arrive from the line, however they are cut into
// chunks: "@", 18 characters and CR make a frame; whatever follows a frame is kept for the
// next one, and bytes that cannot belong to a frame are dropped. At most one unfinished
// frame (19 characters) is held.
class FrameAssembler {
public:
    struct Frame {
        QByteArray text;   // the 20 characters
        bool intact = false; // hexadecimal with a matching checksum
    };

    // Every frame completed by these bytes, oldest first.
    QList<Frame> feed(QByteArrayView bytes);
    void clear() { pending_.clear(); }
    const QByteArray& pending() const noexcept { return pending_; }

private:
    QByteArray pending_; // from the "@" of an unfinished frame on, or empty
};

// The code of the packet's first byte; 0 for an empty packet.
int packetType(QByteArrayView packet);

// Name of every code 0..255; "unknown" for codes the protocol does not define.
QLatin1StringView packetTypeName(int code);

// A cell's index and subindex as one number, for sets and maps of cells.
constexpr quint32 cellAddress(int index, int subindex) noexcept
{
    return (static_cast<quint32>(index & 0xFFFF) << 8) | static_cast<quint32>(subindex & 0xFF);
}

// Index and subindex fields of a packet.
int packetIndex(QByteArrayView packet);
int packetSubindex(QByteArrayView packet);
QByteArray packetData(QByteArrayView packet);

} // namespace tunekit
