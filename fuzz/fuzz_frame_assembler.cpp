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
    const QList<FrameAssembler::Frame> expected = whole.feed(bytes);
    FrameAssembler pieces;
    QList<FrameAssembler::Frame> got;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        got += pieces.feed(bytes.sliced(at, qMin(step, bytes.size() - at)));
        check(pieces.pending().size() < FrameSize);
    }
    check(got.size() == expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        const FrameAssembler::Frame& frame = got[i];
        check(frame.text == expected[i].text && frame.intact == expected[i].intact);
        check(frame.text.size() == FrameSize && frame.text.front() == '@' && frame.text.back() == '\r');
        if (frame.intact)
            check(encodeFrame(decodeFrame(frame.text)) == frame.text.toUpper());
    }
    check(pieces.pending() == whole.pending());
    return 0;
}
