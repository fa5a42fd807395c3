#pragma once

#include "sim/sim_device.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QtGlobal>

#include <limits>
#include <random>

namespace tunekit {

// Ways the device or its cable can misbehave. All off by default.
struct SimFaults {
    bool silent = false;      // the device hears nothing and never answers
    int dropEvery = 0;        // every n-th answer is lost on the way (0 = none)
    int splitAfter = 0;       // an answer arrives in two chunks, the first this long (0 = one chunk)
    QByteArray noise;         // sent before every answer frame; must not contain '@'
    qint64 extraDelayMs = 0;  // added to the device's processing time
    bool garbage = false;     // 20 bytes of rubbish without '@' instead of every answer
    // Faults at random, each a share of the answers (0..1), from a fixed seed so a run repeats.
    double corruptRate = 0;   // one hexadecimal digit of the answer frame is flipped
    double loseRate = 0;      // the answer is lost
    double duplicateRate = 0; // the answer frame arrives twice
    double noiseBurstRate = 0; // a burst of random bytes comes before the answer
    // Before the answer, a well-formed DownloadResponse for another address, with a value that
    // is not that cell's; and a well-formed frame of the right address but a type that does not
    // answer the request (a DownloadResponse to an Upload, an UploadComplete to anything else).
    double strayRate = 0;
    double wrongTypeRate = 0;
    // Requests that make the device work (FlashConfig, EraseIL2, InitDefault, Uploads of
    // extended data) are answered this much later than others. The device works on one
    // request at a time: what arrives meanwhile waits in its buffer.
    qint64 workMs = 0;
    // Storing the configuration (FlashConfig) and erasing the interpreter area (EraseIL2) take
    // this long instead, when set.
    qint64 storeMs = 0;
    qint64 eraseMs = 0;
    // The USB adapter's latency timer: bytes from the device reach the host when 62 of them have
    // gathered or this many ms after the first of them arrived. 0 = at once, byte by byte.
    qint64 latencyMs = 0;
};

// Bytes on their way to the host: the chunk is complete at the host at atUs.
struct SimChunk {
    qint64 atUs = 0;
    QByteArray bytes;
};

// The device's serial side, independent of how bytes travel: it assembles request frames from
// the bytes the host wrote, lets the device answer, and says when each answer byte reaches the
// host. Both directions are paced at 38400 baud, 10 bits per character; the answer starts
// ProcessingUs (+ the extra delay) after the request's last character has arrived.
class SimLink {
public:
    static constexpr qint64 BaudRate = 38400;
    static constexpr qint64 BitsPerCharacter = 10;
    static constexpr qint64 ProcessingUs = 1000;
    // Payload of one USB packet from the adapter.
    static constexpr int UsbPacketBytes = 62;

    explicit SimLink(SimDevice& device);

    SimFaults& faults() noexcept { return faults_; }
    const SimFaults& faults() const noexcept { return faults_; }

    // A bench's change of units: the unit is taken away (the line falls silent), and once the
    // program has had time to see it gone, the next unit of the family is in its place
    // (SimDevice::becomeNextUnit).
    static constexpr qint64 NextUnitAfterMs = 5000;
    void takeUnitAway() noexcept { faults_.silent = true; }
    void putNextUnit()
    {
        device_.becomeNextUnit();
        faults_.silent = false;
    }

    // The host wrote these bytes at nowUs. Returns the answer chunks that follow, in order of
    // arrival. Noise before "@" is skipped; a frame that is not "@" + 18 hex digits + CR is
    // ignored; a frame with a wrong checksum is answered with ChkError.
    QList<SimChunk> feed(QByteArrayView bytes, qint64 nowUs);

    // The DTR line as the host sets it; an off -> on edge restarts the device.
    void setDtr(bool on, qint64 nowUs);
    bool dtr() const noexcept { return dtr_; }

    // Microseconds that count characters take on the wire (rounded up).
    static constexpr qint64 wireUs(qint64 count)
    {
        return (count * BitsPerCharacter * 1'000'000 + BaudRate - 1) / BaudRate;
    }

    int answersLost() const noexcept { return answersLost_; }
    int answersCorrupted() const noexcept { return answersCorrupted_; }
    int answersDuplicated() const noexcept { return answersDuplicated_; }
    int noiseBursts() const noexcept { return noiseBursts_; }
    int straysSent() const noexcept { return straysSent_; }
    // Restarts, and requests other than a repeat of the one at work, that reached the device
    // while it was still storing, erasing or writing flash.
    int workDisturbed() const noexcept { return workDisturbed_; }

private:
    // One direction of the line. Characters sent back to back form a burst whose times are
    // computed from its start, so rounding never adds up.
    class Wire {
    public:
        // Puts count characters on the wire, not before notBeforeUs; returns when the last one
        // has arrived.
        qint64 send(qint64 count, qint64 notBeforeUs);

    private:
        qint64 freeAtUs() const { return burstStartUs_ + wireUs(burstCharacters_); }
        qint64 burstStartUs_ = std::numeric_limits<qint64>::min() / 2;
        qint64 burstCharacters_ = 0;
    };

    void takeCharacter(char c, qint64 atUs, QList<SimChunk>& out);
    void handleFrame(const QByteArray& frame, qint64 atUs, QList<SimChunk>& out);
    void sendAnswer(const QByteArray& answer, const QByteArray& request, qint64 requestEndUs, QList<SimChunk>& out);
    bool working(qint64 atUs) const { return busyWithWork_ && atUs < busyUntilUs_; }
    // The frames a misbehaving device sends ahead of its answer to the request.
    QList<QByteArray> strays(const QByteArray& request);
    // Random bytes; without '@' unless anyByte.
    QByteArray rubbish(qsizetype size, bool anyByte = false);
    bool chance(double rate);
    // Puts the pieces on the wire back to back from notBeforeUs; each piece is a chunk of its
    // own, unless the latency timer gathers the bytes into USB packets.
    void put(const QList<QByteArray>& pieces, qint64 notBeforeUs, QList<SimChunk>& out);

    SimDevice& device_;
    SimFaults faults_;
    Wire toDevice_;
    Wire toHost_;
    QByteArray frame_; // the request being assembled, from its "@"
    bool dtr_ = true;  // the line idles with DTR on, so opening a port does not reboot the device
    int answersLost_ = 0;
    int answersCorrupted_ = 0;
    int answersDuplicated_ = 0;
    int noiseBursts_ = 0;
    int straysSent_ = 0;
    int workDisturbed_ = 0;
    int answers_ = 0;
    // Until then the device works on the last request it took; work is flash work or not.
    qint64 busyUntilUs_ = std::numeric_limits<qint64>::min();
    bool busyWithWork_ = false;
    QByteArray workingOn_;
    std::minstd_rand random_{20150226}; // fixed seed: faults repeat exactly from run to run
};

} // namespace tunekit
