#include "sim/sim_link.h"

#include "link/packet_codec.h"

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
        SendAnswer(SimDevice::ChecksumErrorAnswer(packet), atUs, out);
        return;
    }
    SendAnswer(device_.Answer(packet, atUs), atUs, out);
}

void SimLink::SendAnswer(const QByteArray& answer, qint64 requestEndUs, QList<SimChunk>& out)
{
    ++answers_;
    if (faults_.DropEvery > 0 && answers_ % faults_.DropEvery == 0) {
        ++answersLost_;
        return;
    }
    const QByteArray bytes = faults_.Garbage ? Rubbish(FrameSize) : EncodeFrame(answer);
    const qint64 startUs = requestEndUs + ProcessingUs + faults_.ExtraDelayMs * 1000;
    if (!faults_.Noise.isEmpty())
        out.append({toHost_.Send(faults_.Noise.size(), startUs), faults_.Noise});
    const bool split = faults_.SplitAfter > 0 && faults_.SplitAfter < bytes.size();
    const qsizetype first = split ? faults_.SplitAfter : bytes.size();
    out.append({toHost_.Send(first, startUs), bytes.first(first)});
    if (split)
        out.append({toHost_.Send(bytes.size() - first, startUs), bytes.sliced(first)});
    ++answersSent_;
}

QByteArray SimLink::Rubbish(qsizetype size)
{
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes;
    while (bytes.size() < size) {
        const int value = byte(random_);
        if (value != '@')
            bytes += static_cast<char>(value);
    }
    return bytes;
}

} // namespace tunekit
