#pragma once

#include "params/device_image.h"
#include "transfer/transfer_context.h"

#include <QByteArray>
#include <QCoroTask>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

namespace tunekit {

using FrequencyTable = std::array<qint32, ExtendedDataStore::FreqTableSize>;

// Where the device keeps extended data. Each block is a run of indexes in which the subindex
// counts the packets; past the last subindex the index goes up by one.
constexpr int InterpreterFirstIndex = 0x6000;
constexpr int FrequencyTableIndex = 0x5000;
constexpr int FrequencyTableEndSubindex = 255;
constexpr int DisplayTableBlock = 4200; // 10 one-byte cells an index
constexpr int InterpreterMinimumBytes = 17; // shorter is no interpreter
constexpr int DisplayMinimumBytes = 5;

constexpr int InterpreterLastIndex = 0x6FFF;

// One display-data block of the store with its block number, packet size and the last index of
// its place in the device (the next block's range starts after it), in the order the Write
// command sends them.
struct DisplayBlock {
    int blockNumber;
    int bytesPerPacket;
    QByteArray ExtendedDataStore::*source;
    int lastIndex;
};
const std::array<DisplayBlock, 6>& displayBlocks();

// The name of the extended-data block whose range holds the index; "" outside them.
QString extendedBlockName(int index);
// The blocks of the store that are longer than their place in the device, as a message line
// each ("" when all fit). Writing one would overwrite the range after it.
QStringList oversizedBlocks(const ExtendedDataStore& store);

// The block number's decimal digits read as hexadecimal: 4010 gives 0x4010.
int blockFirstIndex(int blockNumber);

// Nothing worth sending: an interpreter of at most 16 bytes, the other blocks and the
// frequency-table text at most 4 bytes (characters).
bool extendedDataEmpty(const ExtendedDataStore& store);
// The steps the blocks add to the Write command's partial bar.
qint32 extendedProgressUnits(const ExtendedDataStore& store);

// The extended-data writers. Each queues one block as a batch of its own and starts the engine;
// the caller waits for it (WaitForTransfer).
class ExtendedDataWriter {
public:
    explicit ExtendedDataWriter(const TransferContext& context);

    // EraseIL2, then the image. No reset before it, whatever the option says. Without progress
    // ("Write interpreter"), no captions and no progress set-up either.
    void interpreterWrite(QByteArrayView image, bool withProgress);
    QCoro::Task<> displayDataWrite(QByteArrayView block, int blockNumber, int bytesPerPacket);
    QCoro::Task<> frequencyTableWrite(const FrequencyTable& table);

    // The texts the writers show in detail and caption.
    static QString sendingText();
    static QString transferText();

private:
    QCoro::Task<> startDisplayBatch();

    TransferContext ctx_;
};

} // namespace tunekit
