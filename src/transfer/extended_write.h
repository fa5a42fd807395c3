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

// How many bytes of a block fit between its first index and lastIndex.
qsizetype blockRoom(int firstIndex, int lastIndex, int subindexesPerIndex, int bytesPerPacket);
// The name of the extended-data block whose range holds the index; "" outside them.
QString extendedBlockName(int index);
// The blocks of the store that are longer than their place in the device, as a message line
// each ("" when all fit). Writing one would overwrite the range after it.
QStringList oversizedBlocks(const ExtendedDataStore& store);

// The block number's decimal digits read as hexadecimal: 4010 gives 0x4010.
int blockFirstIndex(int blockNumber);

// One Upload of a block: its address and 1 to 4 data bytes (the packet pads them).
struct PlannedUpload {
    int index = 0;
    int subindex = 0;
    QByteArray data;
    friend bool operator==(const PlannedUpload&, const PlannedUpload&) = default;
};

// The interpreter's Uploads (EraseIL2 goes before them): 4 bytes each from 0x6000/0 on.
QList<PlannedUpload> planInterpreter(QByteArrayView image);
// A display block cut into packets of bytesPerPacket bytes, the last one possibly shorter, from
// the block's first index on; the display table has 10 subindexes to an index, the others 256.
QList<PlannedUpload> planDisplayBlock(QByteArrayView block, int blockNumber, int bytesPerPacket);
// Entries 0, 1, ... up to the first 0, each as 32 bits with bit 31 clear, then the closing
// Upload to subindex 255 without data.
QList<PlannedUpload> planFrequencyTable(const FrequencyTable& table);

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

    // EraseIL2, then the image. No reset before it, whatever the option says.
    void interpreterWrite(QByteArrayView image);
    QCoro::Task<> displayDataWrite(QByteArrayView block, int blockNumber, int bytesPerPacket);
    QCoro::Task<> frequencyTableWrite(const FrequencyTable& table);
    // "Write interpreter": EraseIL2 and the image without captions, progress set-up or reset.
    void rawInterpreterWrite(QByteArrayView image);

    // The texts the writers show in detail and caption.
    static QString preparingText();
    static QString sendingText();
    static QString transferText();

private:
    void queue(const QList<PlannedUpload>& uploads, bool captions);
    QCoro::Task<> startDisplayBatch();

    TransferContext ctx_;
};

} // namespace tunekit
