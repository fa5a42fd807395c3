#include "transfer/extended_write.h"

#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "params/device_image.h"
#include "transfer/progress_bars.h"

#include <QCoreApplication>
#include <QtEndian>

namespace tunekit {

namespace {


constexpr int InterpreterBytesPerPacket = 4;
constexpr int SubindexesPerIndex = 256;
constexpr int DisplayTableSubindexes = 10;

constexpr const char* InterpreterName = QT_TRANSLATE_NOOP("DeviceWrites", "Interpreter");
constexpr const char* FrequencyTableName = QT_TRANSLATE_NOOP("DeviceWrites", "Frequency table");
// In the order of displayBlocks().
constexpr std::array<const char*, 6> DisplayBlockNames{
    QT_TRANSLATE_NOOP("DeviceWrites", "Text indices"), QT_TRANSLATE_NOOP("DeviceWrites", "Texts"),
    QT_TRANSLATE_NOOP("DeviceWrites", "Picture indices"), QT_TRANSLATE_NOOP("DeviceWrites", "Pictures"),
    QT_TRANSLATE_NOOP("DeviceWrites", "Display table"), QT_TRANSLATE_NOOP("DeviceWrites", "Defaults")};

// One Upload of a block: its address and 1 to 4 data bytes (the packet pads them).
struct PlannedUpload {
    int index = 0;
    int subindex = 0;
    QByteArray data;
};

qsizetype blockRoom(int firstIndex, int lastIndex, int subindexesPerIndex, int bytesPerPacket)
{
    return qsizetype(lastIndex - firstIndex + 1) * subindexesPerIndex * bytesPerPacket;
}

QList<PlannedUpload> cut(QByteArrayView bytes, int firstIndex, int bytesPerPacket, int subindexesPerIndex)
{
    QList<PlannedUpload> uploads;
    uploads.reserve((bytes.size() + bytesPerPacket - 1) / bytesPerPacket);
    int n = 0;
    // Every byte goes out, also a last one that does not fill its packet.
    for (qsizetype at = 0; at < bytes.size(); at += bytesPerPacket, ++n) {
        uploads.append({firstIndex + n / subindexesPerIndex, n % subindexesPerIndex,
                        bytes.sliced(at, qMin<qsizetype>(bytesPerPacket, bytes.size() - at)).toByteArray()});
    }
    return uploads;
}

// The interpreter's Uploads (EraseIL2 goes before them): 4 bytes each from 0x6000/0 on.
QList<PlannedUpload> planInterpreter(QByteArrayView image)
{
    return cut(image, InterpreterFirstIndex, InterpreterBytesPerPacket, SubindexesPerIndex);
}

// A display block cut into packets of bytesPerPacket bytes, the last one possibly shorter, from
// the block's first index on; the display table has 10 subindexes to an index, the others 256.
QList<PlannedUpload> planDisplayBlock(QByteArrayView block, int blockNumber, int bytesPerPacket)
{
    // Told apart by its number, not by its bytes: another block may well hold the same bytes.
    const bool displayTable = blockNumber == DisplayTableBlock;
    return cut(block, blockFirstIndex(blockNumber), displayTable ? 1 : qBound(1, bytesPerPacket, 4),
               displayTable ? DisplayTableSubindexes : SubindexesPerIndex);
}

// Entries 0, 1, ... up to the first 0, each as 32 bits with bit 31 clear, then the closing
// Upload to subindex 255 without data.
QList<PlannedUpload> planFrequencyTable(const FrequencyTable& table)
{
    QList<PlannedUpload> uploads;
    for (int n = 0; n < static_cast<int>(table.size()) && table[static_cast<std::size_t>(n)] != 0; ++n) {
        QByteArray data(4, '\0');
        qToLittleEndian<quint32>(static_cast<quint32>(table[static_cast<std::size_t>(n)]) & 0x7FFFFFFFu, data.data());
        uploads.append({FrequencyTableIndex, n, data});
    }
    uploads.append({FrequencyTableIndex, FrequencyTableEndSubindex, QByteArray()});
    return uploads;
}

// Queues the Uploads; the engine stays quiet meanwhile: sending is only set once the block is
// queued.
void queueUploads(const TransferContext& ctx, const QList<PlannedUpload>& uploads, bool captions)
{
    for (const PlannedUpload& upload : uploads)
        ctx.engine.sendPacket(Upload, upload.index, static_cast<std::uint8_t>(upload.subindex), upload.data);
    if (captions && !uploads.isEmpty())
        ctx.progress.setDetail(QCoreApplication::translate("DeviceWrites", "preparing data ..."));
}

} // namespace

const std::array<DisplayBlock, 6>& displayBlocks()
{
    static constexpr std::array<DisplayBlock, 6> blocks{{
        {4000, 2, &ExtendedDataStore::textIndexesImage, 0x400F},
        {4010, 4, &ExtendedDataStore::textsImage, 0x40FF},
        {4100, 2, &ExtendedDataStore::pictureIndexesImage, 0x410F},
        {4110, 4, &ExtendedDataStore::picturesImage, 0x41FF},
        {DisplayTableBlock, 1, &ExtendedDataStore::displayTableImage, 0x42FF},
        {4300, 4, &ExtendedDataStore::defaultsImage, FrequencyTableIndex - 1},
    }};
    return blocks;
}

QString extendedBlockName(int index)
{
    if (index >= InterpreterFirstIndex && index <= InterpreterLastIndex)
        return QCoreApplication::translate("DeviceWrites", InterpreterName);
    if (index == FrequencyTableIndex)
        return QCoreApplication::translate("DeviceWrites", FrequencyTableName);
    for (std::size_t n = 0; n < displayBlocks().size(); ++n) {
        if (index >= blockFirstIndex(displayBlocks()[n].blockNumber) && index <= displayBlocks()[n].lastIndex)
            return QCoreApplication::translate("DeviceWrites", DisplayBlockNames[n]);
    }
    return {};
}

QStringList oversizedBlocks(const ExtendedDataStore& store)
{
    QStringList lines;
    const auto check = [&lines](const char* name, qsizetype size, qsizetype room) {
        if (size > room)
            lines << QCoreApplication::translate("DeviceWrites", "%1: %2 bytes, room for %3").arg(QCoreApplication::translate("DeviceWrites", name)).arg(size).arg(room);
    };
    if (store.interpreterImage.size() >= InterpreterMinimumBytes)
        check(InterpreterName, store.interpreterImage.size(),
              blockRoom(InterpreterFirstIndex, InterpreterLastIndex, SubindexesPerIndex, InterpreterBytesPerPacket));
    for (std::size_t n = 0; n < displayBlocks().size(); ++n) {
        const DisplayBlock& block = displayBlocks()[n];
        const QByteArray& bytes = store.*block.source;
        if (bytes.size() < DisplayMinimumBytes)
            continue;
        const bool table = block.blockNumber == DisplayTableBlock;
        check(DisplayBlockNames[n], bytes.size(),
              blockRoom(blockFirstIndex(block.blockNumber), block.lastIndex, table ? DisplayTableSubindexes : SubindexesPerIndex,
                        block.bytesPerPacket));
    }
    return lines;
}

int blockFirstIndex(int blockNumber)
{
    return QString::number(blockNumber).toInt(nullptr, 16);
}

bool extendedDataEmpty(const ExtendedDataStore& store)
{
    if (store.interpreterImage.size() >= InterpreterMinimumBytes)
        return false;
    for (const DisplayBlock& block : displayBlocks()) {
        if ((store.*block.source).size() >= DisplayMinimumBytes)
            return false;
    }
    return store.frequencyTableText.size() < DisplayMinimumBytes;
}

qint32 extendedProgressUnits(const ExtendedDataStore& store)
{
    qint32 units = 0;
    const auto length = [](const QByteArray& bytes) { return static_cast<qint32>(bytes.size()); };
    if (store.interpreterImage.size() > 16)
        units += length(store.interpreterImage) / 4;
    for (const DisplayBlock& block : displayBlocks()) {
        const QByteArray& bytes = store.*block.source;
        if (bytes.size() > 4)
            units += length(bytes) / (block.blockNumber == 4000 ? 2 : 4);
    }
    if (store.frequencyTableText.size() > 24)
        units += static_cast<qint32>(store.frequencyTableText.size()) / 4;
    return units;
}

ExtendedDataWriter::ExtendedDataWriter(const TransferContext& context) : ctx_(context) {}

QString ExtendedDataWriter::sendingText()
{
    return QCoreApplication::translate("DeviceWrites", "sending data  ...");
}

QString ExtendedDataWriter::transferText()
{
    return QCoreApplication::translate("DeviceWrites", "data transfer...");
}

void ExtendedDataWriter::interpreterWrite(QByteArrayView image, bool withProgress)
{
    ctx_.engine.sendPacket(EraseIL2, 0, 0);
    queueUploads(ctx_, planInterpreter(image), withProgress);
    if (withProgress) {
        ctx_.progress.setDetail(sendingText());
        ctx_.progress.measureFromNextPacket();
    }
    ctx_.engine.startSending();
}

QCoro::Task<> ExtendedDataWriter::displayDataWrite(QByteArrayView block, int blockNumber, int bytesPerPacket)
{
    const QList<PlannedUpload> uploads = planDisplayBlock(block, blockNumber, bytesPerPacket);
    if (uploads.isEmpty())
        co_return;
    queueUploads(ctx_, uploads, true);
    co_await startDisplayBatch();
}

QCoro::Task<> ExtendedDataWriter::frequencyTableWrite(const FrequencyTable& table)
{
    queueUploads(ctx_, planFrequencyTable(table), true);
    co_await startDisplayBatch();
}

QCoro::Task<> ExtendedDataWriter::startDisplayBatch()
{
    ctx_.progress.setCaption(transferText());
    ctx_.progress.setDetail(sendingText());
    ctx_.progress.measureFromNextPacket();
    if (ctx_.resetsBeforeTransmit())
        co_await ctx_.port.resetDevice();
    ctx_.engine.startSending();
}

} // namespace tunekit
