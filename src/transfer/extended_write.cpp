#include "transfer/extended_write.h"

#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "params/device_image.h"

#include <QCoreApplication>

namespace tunekit {
namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("DeviceWrites", text);
}

constexpr int InterpreterBytesPerPacket = 4;
constexpr int SubindexesPerIndex = 256;
constexpr int DisplayTableSubindexes = 10;

constexpr const char* InterpreterName = QT_TRANSLATE_NOOP("DeviceWrites", "Interpreter");
constexpr const char* FrequencyTableName = QT_TRANSLATE_NOOP("DeviceWrites", "Frequency table");
// In the order of DisplayBlocks().
constexpr std::array<const char*, 6> DisplayBlockNames{
    QT_TRANSLATE_NOOP("DeviceWrites", "Text indices"), QT_TRANSLATE_NOOP("DeviceWrites", "Texts"),
    QT_TRANSLATE_NOOP("DeviceWrites", "Picture indices"), QT_TRANSLATE_NOOP("DeviceWrites", "Pictures"),
    QT_TRANSLATE_NOOP("DeviceWrites", "Display table"), QT_TRANSLATE_NOOP("DeviceWrites", "Defaults")};

QList<PlannedUpload> Cut(QByteArrayView bytes, int firstIndex, int bytesPerPacket, int subindexesPerIndex)
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

} // namespace

const std::array<DisplayBlock, 6>& DisplayBlocks()
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

qsizetype BlockRoom(int firstIndex, int lastIndex, int subindexesPerIndex, int bytesPerPacket)
{
    return qsizetype(lastIndex - firstIndex + 1) * subindexesPerIndex * bytesPerPacket;
}

QString ExtendedBlockName(int index)
{
    if (index >= InterpreterFirstIndex && index <= InterpreterLastIndex)
        return Tr(InterpreterName);
    if (index == FrequencyTableIndex)
        return Tr(FrequencyTableName);
    for (std::size_t n = 0; n < DisplayBlocks().size(); ++n) {
        if (index >= BlockFirstIndex(DisplayBlocks()[n].blockNumber) && index <= DisplayBlocks()[n].lastIndex)
            return Tr(DisplayBlockNames[n]);
    }
    return {};
}

QStringList OversizedBlocks(const ExtendedDataStore& store)
{
    QStringList lines;
    const auto check = [&lines](const char* name, qsizetype size, qsizetype room) {
        if (size > room)
            lines << Tr(QT_TRANSLATE_NOOP("DeviceWrites", "%1: %2 bytes, room for %3")).arg(Tr(name)).arg(size).arg(room);
    };
    if (store.interpreterImage.size() >= InterpreterMinimumBytes)
        check(InterpreterName, store.interpreterImage.size(),
              BlockRoom(InterpreterFirstIndex, InterpreterLastIndex, SubindexesPerIndex, InterpreterBytesPerPacket));
    for (std::size_t n = 0; n < DisplayBlocks().size(); ++n) {
        const DisplayBlock& block = DisplayBlocks()[n];
        const QByteArray& bytes = store.*block.source;
        if (bytes.size() < DisplayMinimumBytes)
            continue;
        const bool table = block.blockNumber == DisplayTableBlock;
        check(DisplayBlockNames[n], bytes.size(),
              BlockRoom(BlockFirstIndex(block.blockNumber), block.lastIndex, table ? DisplayTableSubindexes : SubindexesPerIndex,
                        block.bytesPerPacket));
    }
    return lines;
}

int BlockFirstIndex(int blockNumber)
{
    return QString::number(blockNumber).toInt(nullptr, 16);
}

QList<PlannedUpload> PlanInterpreter(QByteArrayView image)
{
    return Cut(image, InterpreterFirstIndex, InterpreterBytesPerPacket, SubindexesPerIndex);
}

QList<PlannedUpload> PlanDisplayBlock(QByteArrayView block, int blockNumber, int bytesPerPacket)
{
    // Told apart by its number, not by its bytes: another block may well hold the same bytes.
    const bool displayTable = blockNumber == DisplayTableBlock;
    return Cut(block, BlockFirstIndex(blockNumber), displayTable ? 1 : qBound(1, bytesPerPacket, 4),
               displayTable ? DisplayTableSubindexes : SubindexesPerIndex);
}

QList<PlannedUpload> PlanFrequencyTable(const FrequencyTable& table)
{
    QList<PlannedUpload> uploads;
    for (int n = 0; n < static_cast<int>(table.size()) && table[static_cast<std::size_t>(n)] != 0; ++n) {
        const auto v = static_cast<quint32>(table[static_cast<std::size_t>(n)]);
        QByteArray data(4, '\0');
        data[0] = static_cast<char>(v & 0xFF);
        data[1] = static_cast<char>((v >> 8) & 0xFF);
        data[2] = static_cast<char>((v >> 16) & 0xFF);
        data[3] = static_cast<char>((v >> 24) & 0x7F);
        uploads.append({FrequencyTableIndex, n, data});
    }
    uploads.append({FrequencyTableIndex, FrequencyTableEndSubindex, QByteArray()});
    return uploads;
}

bool ExtendedDataEmpty(const ExtendedDataStore& store)
{
    if (store.interpreterImage.size() >= InterpreterMinimumBytes)
        return false;
    for (const DisplayBlock& block : DisplayBlocks()) {
        if ((store.*block.source).size() >= DisplayMinimumBytes)
            return false;
    }
    return store.frequencyTableText.size() < DisplayMinimumBytes;
}

qint32 ExtendedProgressUnits(const ExtendedDataStore& store)
{
    qint32 units = 0;
    const auto length = [](const QByteArray& bytes) { return static_cast<qint32>(bytes.size()); };
    if (store.interpreterImage.size() > 16)
        units += length(store.interpreterImage) / 4;
    for (const DisplayBlock& block : DisplayBlocks()) {
        const QByteArray& bytes = store.*block.source;
        if (bytes.size() > 4)
            units += length(bytes) / (block.blockNumber == 4000 ? 2 : 4);
    }
    if (store.frequencyTableText.size() > 24)
        units += static_cast<qint32>(store.frequencyTableText.size()) / 4;
    return units;
}

ExtendedDataWriter::ExtendedDataWriter(const TransferContext& context) : ctx_(context) {}

QString ExtendedDataWriter::PreparingText()
{
    return Tr(QT_TRANSLATE_NOOP("DeviceWrites", "preparing data ..."));
}

QString ExtendedDataWriter::SendingText()
{
    return Tr(QT_TRANSLATE_NOOP("DeviceWrites", "sending data  ..."));
}

QString ExtendedDataWriter::TransferText()
{
    return Tr(QT_TRANSLATE_NOOP("DeviceWrites", "data transfer..."));
}

void ExtendedDataWriter::Queue(const QList<PlannedUpload>& uploads, bool captions)
{
    TransferProgress& window = ctx_.engine.Progress();
    for (qsizetype n = 0; n < uploads.size(); ++n) {
        const PlannedUpload& upload = uploads[n];
        ctx_.engine.SendPacket(Upload, upload.index, static_cast<std::uint8_t>(upload.subindex), upload.data);
    }
    // The engine stays quiet meanwhile: sending is only set once the block is queued.
    if (captions && !uploads.isEmpty()) {
        window.detail = PreparingText();
        ctx_.engine.ReportProgress();
    }
}

void ExtendedDataWriter::InterpreterWrite(QByteArrayView image)
{
    ctx_.engine.SendPacket(EraseIL2, 0, 0);
    Queue(PlanInterpreter(image), true);
    ctx_.engine.Progress().detail = SendingText();
    ctx_.engine.ReportProgress();
    ctx_.engine.Bookkeeping().startProgress = true;
    ctx_.engine.State().sending = true;
}

void ExtendedDataWriter::RawInterpreterWrite(QByteArrayView image)
{
    ctx_.engine.SendPacket(EraseIL2, 0, 0);
    Queue(PlanInterpreter(image), false);
    ctx_.engine.State().sending = true;
}

QCoro::Task<> ExtendedDataWriter::DisplayDataWrite(QByteArrayView block, int blockNumber, int bytesPerPacket)
{
    const QList<PlannedUpload> uploads = PlanDisplayBlock(block, blockNumber, bytesPerPacket);
    if (uploads.isEmpty())
        co_return;
    Queue(uploads, true);
    co_await StartDisplayBatch();
}

QCoro::Task<> ExtendedDataWriter::FrequencyTableWrite(const FrequencyTable& table)
{
    Queue(PlanFrequencyTable(table), true);
    co_await StartDisplayBatch();
}

QCoro::Task<> ExtendedDataWriter::StartDisplayBatch()
{
    TransferProgress& window = ctx_.engine.Progress();
    window.caption = TransferText();
    window.detail = SendingText();
    ctx_.engine.ReportProgress();
    ctx_.engine.Bookkeeping().startProgress = true;
    if (ctx_.ResetsBeforeTransmit())
        co_await ctx_.port.ResetDevice();
    ctx_.engine.State().sending = true;
}

} // namespace tunekit
