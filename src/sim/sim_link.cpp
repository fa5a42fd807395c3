#include "sim/sim_link.h"

#include "link/packet_codec.h"

#include <utility>

namespace tunekit {

qint64 SimLink::Wire::Send(qint64 count, qint64 notBeforeUs)
{
    if (notBeforeUs >= FreeAtUs()) {
        burstStartUs_ = notBeforeUs;
        burstCharacters_ = 0;
    }
    burstCharacters_ += count;
    return FreeAtUs();
}

SimLink::SimLink(SimDevice& device)
    : device_(device)
{
}

QList<SimChunk> SimLink::Feed(QByteArrayView bytes, qint64 nowUs)
{
    QList<SimChunk> out;
    for (const char c : bytes)
        TakeCharacter(c, toDevice_.Send(1, nowUs), out);
    return out;
}

void SimLink::SetDtr(bool on, qint64 nowUs)
{
    if (on && !dtr_) {
        device_.Restart(nowUs);
        frame_.clear();
    }
    dtr_ = on;
}

void SimLink::TakeCharacter(char c, qint64 atUs, QList<SimChunk>& out)
{
    // A booting or dead device's receiver loses what arrives; the frame in progress is broken.
    if (faults_.Silent || device_.IsBooting(atUs)) {
        frame_.clear();
        return;
    }
    if (c == '@') {
        frame_ = QByteArray(1, '@'); // a new start mark wins over an unfinished frame
        return;
    }
    if (frame_.isEmpty())
        return; // noise between frames
    if (c == '\r') {
        if (frame_.size() == FrameSize - 1)
            HandleFrame(frame_ + '\r', atUs, out);
        frame_.clear();
        return;
    }
    frame_ += c;
    if (frame_.size() >= FrameSize)
        frame_.clear(); // no carriage return where it belongs
}

void SimLink::HandleFrame(const QByteArray& frame, qint64 atUs, QList<SimChunk>& out)
{
    const QByteArray packet = DecodeFrame(frame);
    if (packet.isEmpty())
        return; // not hexadecimal
    const auto sentChecksum = static_cast<std::uint8_t>(QByteArray::fromHex(frame.mid(17, 2)).at(0));
    if (sentChecksum != FrameChecksum(packet)) {
        SendAnswer(SimDevice::ChecksumErrorAnswer(packet), packet, atUs, out);
        return;
    }
    SendAnswer(device_.Answer(packet, atUs), packet, atUs, out);
}

namespace {

bool MakesDeviceWork(const QByteArray& request)
{
    const int type = PacketType(request);
    return type == FlashConfig || type == EraseIL2 || type == InitDefault || (type == Upload && PacketIndex(request) >= 0x4000);
}

} // namespace

QList<QByteArray> SimLink::Strays(const QByteArray& request)
{
    QList<QByteArray> frames;
    const int index = PacketIndex(request);
    const auto subindex = static_cast<std::uint8_t>(PacketSubindex(request));
    const auto bogus = [this] {
        QByteArray data;
        for (int i = 0; i < 4; ++i)
            data += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random_));
        return data;
    };
    if (Chance(faults_.StrayRate)) {
        const int other = index + std::uniform_int_distribution<int>(1, 8)(random_);
        frames << EncodeFrame(MakePacket(DownloadResponse, other, subindex, bogus()));
    }
    if (Chance(faults_.WrongTypeRate)) {
        const std::uint8_t type = PacketType(request) == Upload ? DownloadResponse : UploadComplete;
        frames << EncodeFrame(MakePacket(type, index, subindex, bogus()));
    }
    straysSent_ += static_cast<int>(frames.size());
    return frames;
}

void SimLink::SendAnswer(const QByteArray& answer, const QByteArray& request, qint64 requestEndUs, QList<SimChunk>& out)
{
    ++answers_;
    if ((faults_.DropEvery > 0 && answers_ % faults_.DropEvery == 0) || Chance(faults_.LoseRate)) {
        ++answersLost_;
        return;
    }
    const QByteArray frame = EncodeFrame(answer);
    QByteArray bytes = faults_.Garbage ? Rubbish(FrameSize) : frame;
    if (Chance(faults_.CorruptRate)) {
        // One digit of the 18 becomes another hexadecimal digit.
        static constexpr char Digits[] = "0123456789ABCDEF";
        const auto at = std::uniform_int_distribution<qsizetype>(1, FrameSize - 2)(random_);
        const auto by = std::uniform_int_distribution<int>(1, 15)(random_);
        const int digit = static_cast<int>(QByteArray(Digits).indexOf(bytes[at]));
        bytes[at] = Digits[(qMax(digit, 0) + by) % 16];
        ++answersCorrupted_;
    }
    QList<QByteArray> pieces = Strays(request);
    if (!faults_.Noise.isEmpty())
        pieces << faults_.Noise;
    if (Chance(faults_.NoiseBurstRate)) {
        pieces << Rubbish(std::uniform_int_distribution<qsizetype>(1, 40)(random_), true);
        ++noiseBursts_;
    }
    const bool split = faults_.SplitAfter > 0 && faults_.SplitAfter < bytes.size();
    const qsizetype first = split ? faults_.SplitAfter : bytes.size();
    pieces << bytes.first(first);
    if (split)
        pieces << bytes.sliced(first);
    if (Chance(faults_.DuplicateRate)) {
        pieces << frame;
        ++answersDuplicated_;
    }
    const qint64 workUs = MakesDeviceWork(request) ? faults_.WorkMs * 1000 : 0;
    Put(pieces, requestEndUs + ProcessingUs + faults_.ExtraDelayMs * 1000 + workUs, out);
    ++answersSent_;
}

void SimLink::Put(const QList<QByteArray>& pieces, qint64 notBeforeUs, QList<SimChunk>& out)
{
    if (faults_.LatencyMs <= 0) {
        for (const QByteArray& piece : pieces)
            out.append({toHost_.Send(piece.size(), notBeforeUs), piece});
        return;
    }
    const qint64 latencyUs = faults_.LatencyMs * 1000;
    SimChunk packet;
    qint64 flushUs = 0;
    for (const QByteArray& piece : pieces) {
        for (const char c : piece) {
            const qint64 atUs = toHost_.Send(1, notBeforeUs);
            if (!packet.Bytes.isEmpty() && atUs >= flushUs) {
                packet.AtUs = flushUs; // the timer ran out before this byte came
                out.append(std::exchange(packet, SimChunk{}));
            }
            if (packet.Bytes.isEmpty())
                flushUs = atUs + latencyUs;
            packet.Bytes += c;
            if (packet.Bytes.size() == UsbPacketBytes) {
                packet.AtUs = atUs;
                out.append(std::exchange(packet, SimChunk{}));
            }
        }
    }
    if (!packet.Bytes.isEmpty()) {
        packet.AtUs = flushUs;
        out.append(packet);
    }
}

bool SimLink::Chance(double rate)
{
    return rate > 0 && std::uniform_real_distribution<double>(0.0, 1.0)(random_) < rate;
}

QByteArray SimLink::Rubbish(qsizetype size, bool anyByte)
{
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes;
    while (bytes.size() < size) {
        const int value = byte(random_);
        if (anyByte || value != '@')
            bytes += static_cast<char>(value);
    }
    return bytes;
}

} // namespace tunekit
