// Feeds arbitrary bytes to the answer frame assembler, cut into chunks that the first byte
// chooses. Whatever the chunking, the same frames come out, each one "@", 18 characters and CR;
// an intact one decodes to the packet its checksum covers; never more than one unfinished frame
// is held.
#include "link/packet_codec.h"

#include <QByteArray>
#include <QByteArrayView>

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tunekit;
    if (size == 0)
        return 0;
    const qsizetype step = 1 + data[0] % 23;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    FrameAssembler whole;
    const QList<FrameAssembler::Frame> expected = whole.Feed(bytes);
    FrameAssembler pieces;
    QList<FrameAssembler::Frame> got;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        got += pieces.Feed(bytes.sliced(at, qMin(step, bytes.size() - at)));
        Check(pieces.Pending().size() < FrameSize);
    }
    Check(got.size() == expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        const FrameAssembler::Frame& frame = got[i];
        Check(frame.text == expected[i].text && frame.intact == expected[i].intact);
        Check(frame.text.size() == FrameSize && frame.text.front() == '@' && frame.text.back() == '\r');
        if (frame.intact)
            Check(EncodeFrame(DecodeFrame(frame.text)) == frame.text.toUpper());
    }
    Check(pieces.Pending() == whole.Pending());
    return 0;
}
