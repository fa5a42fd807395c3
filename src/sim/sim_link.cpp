#include "sim/sim_link.h"

#include "link/packet_codec.h"

#include <utility>

namespace tunekit {

qint64 SimLink::Wire::send(qint64 count, qint64 notBeforeUs)
{
    if (notBeforeUs >= freeAtUs()) {
        burstStartUs_ = notBeforeUs;
        burstCharacters_ = 0;
    }
    burstCharacters_ += count;
    return freeAtUs();
}

SimLink::SimLink(SimDevice& device)
    : device_(device)
{
}

QList<SimChunk> SimLink::feed(QByteArrayView bytes, qint64 nowUs)
{
    QList<SimChunk> out;
    for (const char c : bytes)
        takeCharacter(c, toDevice_.send(1, nowUs), out);
    return out;
}

void SimLink::setDtr(bool on, qint64 nowUs)
{
    if (on && !dtr_) {
        if (working(nowUs))
            ++workDisturbed_;
        busyUntilUs_ = std::numeric_limits<qint64>::min();
        device_.restart(nowUs);
        frame_.clear();
    }
    dtr_ = on;
}

void SimLink::takeCharacter(char c, qint64 atUs, QList<SimChunk>& out)
{
    // A booting or dead device's receiver loses what arrives; the frame in progress is broken.
    if (faults_.silent || device_.isBooting(atUs)) {
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
            handleFrame(frame_ + '\r', atUs, out);
        frame_.clear();
        return;
    }
    frame_ += c;
    if (frame_.size() >= FrameSize)
        frame_.clear(); // no carriage return where it belongs
}

void SimLink::handleFrame(const QByteArray& frame, qint64 atUs, QList<SimChunk>& out)
{
    const QByteArray packet = decodeFrame(frame);
    if (packet.isEmpty())
        return; // not hexadecimal
    if (working(atUs) && packet != workingOn_)
        ++workDisturbed_;
    const auto sentChecksum = static_cast<std::uint8_t>(QByteArray::fromHex(frame.mid(17, 2)).at(0));
    if (sentChecksum != frameChecksum(packet)) {
        sendAnswer(SimDevice::checksumErrorAnswer(packet), packet, atUs, out);
        return;
    }
    const QByteArray answer = device_.answer(packet, atUs);
    if (!answer.isEmpty())
        sendAnswer(answer, packet, atUs, out);
}

namespace {

// How long the device works on the request before it answers, beyond its usual processing.
qint64 workMsFor(const QByteArray& request, const SimFaults& faults)
{
    const int type = packetType(request);
    if (type == FlashConfig && faults.storeMs > 0)
        return faults.storeMs;
    if (type == EraseIL2 && faults.eraseMs > 0)
        return faults.eraseMs;
    const bool work = type == FlashConfig || type == EraseIL2 || type == InitDefault
                      || (type == Upload && packetIndex(request) >= 0x4000);
    return work ? faults.workMs : 0;
}

} // namespace

QList<QByteArray> SimLink::strays(const QByteArray& request)
{
    QList<QByteArray> frames;
    const int index = packetIndex(request);
    const auto subindex = static_cast<std::uint8_t>(packetSubindex(request));
    const auto bogus = [this] {
        QByteArray data;
        for (int i = 0; i < 4; ++i)
            data += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random_));
        return data;
    };
    if (chance(faults_.strayRate)) {
        const int other = index + std::uniform_int_distribution<int>(1, 8)(random_);
        frames << encodeFrame(makePacket(DownloadResponse, other, subindex, bogus()));
    }
    if (chance(faults_.wrongTypeRate)) {
        const std::uint8_t type = packetType(request) == Upload ? DownloadResponse : UploadComplete;
        frames << encodeFrame(makePacket(type, index, subindex, bogus()));
    }
    straysSent_ += static_cast<int>(frames.size());
    return frames;
}

void SimLink::sendAnswer(const QByteArray& answer, const QByteArray& request, qint64 requestEndUs, QList<SimChunk>& out)
{
    ++answers_;
    // One request at a time: a request that came while the device was busy is taken up after.
    // A request that arrived damaged is not carried out.
    const qint64 workUs = packetType(answer) == ChkError ? 0 : workMsFor(request, faults_) * 1000;
    const qint64 doneUs = qMax(requestEndUs, busyUntilUs_) + ProcessingUs + workUs;
    busyUntilUs_ = doneUs;
    busyWithWork_ = workUs > 0;
    workingOn_ = request;
    if ((faults_.dropEvery > 0 && answers_ % faults_.dropEvery == 0) || chance(faults_.loseRate)) {
        ++answersLost_;
        return;
    }
    const QByteArray frame = encodeFrame(answer);
    QByteArray bytes = faults_.garbage ? rubbish(FrameSize) : frame;
    if (chance(faults_.corruptRate)) {
        // One digit of the 18 becomes another hexadecimal digit.
        static constexpr char digits[] = "0123456789ABCDEF";
        const auto at = std::uniform_int_distribution<qsizetype>(1, FrameSize - 2)(random_);
        const auto by = std::uniform_int_distribution<int>(1, 15)(random_);
        const int digit = static_cast<int>(QByteArray(digits).indexOf(bytes[at]));
        bytes[at] = digits[(qMax(digit, 0) + by) % 16];
        ++answersCorrupted_;
    }
    QList<QByteArray> pieces = strays(request);
    if (!faults_.noise.isEmpty())
        pieces << faults_.noise;
    if (chance(faults_.noiseBurstRate)) {
        pieces << rubbish(std::uniform_int_distribution<qsizetype>(1, 40)(random_), true);
        ++noiseBursts_;
    }
    const bool split = faults_.splitAfter > 0 && faults_.splitAfter < bytes.size();
    const qsizetype first = split ? faults_.splitAfter : bytes.size();
    pieces << bytes.first(first);
    if (split)
        pieces << bytes.sliced(first);
    if (chance(faults_.duplicateRate)) {
        pieces << frame;
        ++answersDuplicated_;
    }
    put(pieces, doneUs + faults_.extraDelayMs * 1000, out);
}

void SimLink::put(const QList<QByteArray>& pieces, qint64 notBeforeUs, QList<SimChunk>& out)
{
    if (faults_.latencyMs <= 0) {
        for (const QByteArray& piece : pieces)
            out.append({toHost_.send(piece.size(), notBeforeUs), piece});
        return;
    }
    const qint64 latencyUs = faults_.latencyMs * 1000;
    SimChunk packet;
    qint64 flushUs = 0;
    for (const QByteArray& piece : pieces) {
        for (const char c : piece) {
            const qint64 atUs = toHost_.send(1, notBeforeUs);
            if (!packet.bytes.isEmpty() && atUs >= flushUs) {
                packet.atUs = flushUs; // the timer ran out before this byte came
                out.append(std::exchange(packet, SimChunk{}));
            }
            if (packet.bytes.isEmpty())
                flushUs = atUs + latencyUs;
            packet.bytes += c;
            if (packet.bytes.size() == UsbPacketBytes) {
                packet.atUs = atUs;
                out.append(std::exchange(packet, SimChunk{}));
            }
        }
    }
    if (!packet.bytes.isEmpty()) {
        packet.atUs = flushUs;
        out.append(packet);
    }
}

bool SimLink::chance(double rate)
{
    return rate > 0 && std::uniform_real_distribution<double>(0.0, 1.0)(random_) < rate;
}

QByteArray SimLink::rubbish(qsizetype size, bool anyByte)
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
