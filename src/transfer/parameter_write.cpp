#include "transfer/parameter_write.h"

#include "base/dialogs.h"
#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "params/config_defines.h"
#include "params/device_image.h"
#include "transfer/extended_write.h"
#include "transfer/parameter_read.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace tunekit {
namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("DeviceWrites", text);
}

QString CrLf()
{
    return QStringLiteral("\r\n");
}

// Long enough for any batch; the engine's own time-out ends a batch the device does not answer.
constexpr qint64 WaitForeverMs = 24LL * 3600 * 1000;

// The program's default message box title.
QString DefaultTitle()
{
    return QStringLiteral("Tunekit");
}


// The value text as a whole number; nothing for text that is not one ("12.6", "abc"). A cell
// holds whole numbers only, and a value rounded on its way would not be the value the user
// or the file gave.
std::optional<qint64> WholeNumber(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > 1e15 || number != std::floor(number))
        return std::nullopt;
    return static_cast<qint64>(number);
}

QByteArray LowBytesFirst(qint64 value, int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace

std::optional<QByteArray> Encode8Bit(const QString& text, bool isSigned)
{
    std::optional<qint64> v = WholeNumber(text);
    if (!v)
        return std::nullopt;
    if (isSigned && *v < 0 && *v >= -128)
        *v += 256;
    if (*v < 0 || *v > 255)
        return std::nullopt; // an unsigned cell has no negative values, and 8 bits no more
    return LowBytesFirst(*v, 1);
}

std::optional<QByteArray> Encode16Bit(const QString& text)
{
    const std::optional<qint64> v = WholeNumber(text);
    if (!v || *v < 0 || *v > 0xFFFF)
        return std::nullopt;
    return LowBytesFirst(*v, 2);
}

std::optional<QByteArray> Encode32Bit(const QString& text)
{
    const std::optional<qint64> v = WholeNumber(text);
    // -1 is how an erased cell reads: written back, the cell is erased again.
    if (v == -1)
        return QByteArray(4, '\xFF');
    if (!v || *v < 0 || *v > 0x7FFFFFFF)
        return std::nullopt;
    QByteArray bytes = LowBytesFirst(*v, 4);
    bytes[3] = static_cast<char>(bytes[3] & 0x7F);
    return bytes;
}

std::optional<QByteArray> EncodeDate(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 3)
        return std::nullopt;
    std::array<int, 3> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        bool ok = false;
        numbers[i] = parts[static_cast<qsizetype>(i)].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const auto [day, month, year] = numbers;
    if (day == 0 && month == 0 && year == 0)
        return QByteArray(3, '\0');
    if (day < 0 || day > 31 || month < 0 || month > 12 || year < 2000 || year > 2255)
        return std::nullopt;
    return LowBytesFirst(day, 1) + LowBytesFirst(month, 1) + LowBytesFirst(year - 2000, 1);
}

std::optional<QByteArray> EncodeFreqComp(const QString& text)
{
    const std::optional<qint64> v = WholeNumber(text);
    if (!v)
        return std::nullopt;
    // The device keeps the compensation 10 higher than shown (the read takes 10 off); a cell
    // above 20 (255 = never adjusted) is shown as it is and written back as it is. 11..20 is
    // no value a read shows: it would not read back as itself.
    if (*v >= 21 && *v <= 255)
        return LowBytesFirst(*v, 1);
    if (*v < -10 || *v > 10)
        return std::nullopt;
    return LowBytesFirst(*v + 10, 1);
}

std::optional<QByteArray> EncodeGainPhase(const QString& phase, const QString& gain)
{
    const std::optional<qint64> p = WholeNumber(phase);
    const std::optional<qint64> g = WholeNumber(gain);
    if (!p || !g || *p < -128 || *p > 255 || *g < -128 || *g > 255)
        return std::nullopt;
    const qint64 word = (*p < 0 ? *p + 256 : *p) * 256 + (*g < 0 ? *g + 256 : *g);
    return LowBytesFirst(word, 2);
}

std::optional<QByteArray> EncodeBySize(const ConfigDefine& define, const QString& text)
{
    switch (define.DSize) {
    case 8: return Encode8Bit(text, define.IsSigned());
    case 16: return Encode16Bit(text);
    case 32: return Encode32Bit(text);
    case 1: return EncodeDate(text);
    default: return std::nullopt;
    }
}

DeviceWrites::DeviceWrites(DeviceTransfers& transfers)
    : transfers_(transfers), ctx_(transfers.Context()), extended_(transfers.Context())
{
}

QString DeviceWrites::DoneText()
{
    return Tr(QT_TRANSLATE_NOOP("DeviceWrites", "        Done!     "));
}

AccessLevel DeviceWrites::Level() const
{
    return ctx_.accessLevel ? ctx_.accessLevel() : AccessLevel();
}

void DeviceWrites::ShowProgressBar()
{
    // Always with its caption: the window may still read "data transfer...ready" from the
    // batch before, which would be wrong for the one about to start.
    TransferProgress& window = ctx_.engine.Progress();
    window.visible = true;
    window.caption = ExtendedDataWriter::TransferText();
    ctx_.engine.ReportProgress();
}

void DeviceWrites::HideTransferWindow()
{
    ctx_.engine.Progress().visible = false;
    ctx_.engine.ReportProgress();
}

void DeviceWrites::DropIncompatibleData()
{
    ctx_.image.ClearFileData();
    ctx_.engine.AbortTransfer();
    ctx_.views.Changed(StationChange::Facts | StationChange::Values);
    HideTransferWindow();
}

QCoro::Task<bool> DeviceWrites::FinishBatch()
{
    // Until the last answer is in and the reset after the batch is over; the engine never
    // leaves a reset pending for the next batch.
    co_await ctx_.engine.UntilIdle(WaitForeverMs);
    const EngineState& engine = ctx_.engine.State();
    if (engine.interrupted) {
        // Stopped by the user: the write ends here, and it is not complete.
        lastResult_ = WriteResult::Failed;
        ResetWriteBookkeeping();
        HideTransferWindow();
        co_return false;
    }
    if (!engine.gaveUp)
        co_return true;
    // The engine has told of a time-out or a corrupting line; the write goes on with the next
    // block as it always has, but it will not end in "Done!".
    lastResult_ = WriteResult::Failed;
    if (engine.refusals.isEmpty())
        co_return true;
    // A refused packet ends the write.
    ctx_.dialogs.MsgBox(RefusalText(engine.refusals.first()), MsgButtons::Ok, MsgIcon::Critical,
                        Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Error")));
    ResetWriteBookkeeping();
    HideTransferWindow();
    co_return false;
}

QString DeviceWrites::RefusalText(const RefusedPacket& refusal)
{
    const QByteArray& packet = refusal.request;
    const int type = PacketType(packet);
    const int index = PacketIndex(packet);
    QString what = PacketTypeName(type).toString();
    if (type == Upload) {
        what += QStringLiteral(" %1/%2").arg(index, 4, 16, QLatin1Char('0')).arg(PacketSubindex(packet), 2, 16, QLatin1Char('0')).toUpper();
        QStringList names;
        for (int nr = 1; nr <= ParamCount; ++nr) {
            const ConfigDefine& define = FindConfigDefine(nr);
            if (define.HexAdd == index && define.SubAdd == PacketSubindex(packet))
                names << define.Name.toString();
        }
        const QString block = ExtendedBlockName(index);
        if (!names.isEmpty())
            what += QStringLiteral(" (") + names.join(QStringLiteral(", ")) + QLatin1Char(')');
        else if (!block.isEmpty())
            what += QStringLiteral(" (") + block + QLatin1Char(')');
    }
    return Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Writing failed: the device answered %1 to %2.")).arg(PacketTypeName(refusal.answerType), what)
           + CrLf() + Tr(QT_TRANSLATE_NOOP("DeviceWrites", "The device does not hold all of the data."));
}

void DeviceWrites::ResetWriteBookkeeping()
{
    // The partial bar counts packets only for a write; later reads copy the overall bar again.
    ProgressBookkeeping& progress = ctx_.engine.Bookkeeping();
    progress.totalLength = 0;
    progress.parametersOnly = false;
    progress.withExtendedData = false;
}

QCoro::Task<bool> DeviceWrites::ImageFitsDevice(AccessLevel level)
{
    const DeviceImage& image = ctx_.image;
    if (level.writesWithoutCompatibilityCheck())
        co_return true;
    const bool mismatch = image.FileConfigID >= 1 && image.deviceConfigId >= 1 && image.FileConfigID != image.deviceConfigId;
    const QString incompatible =
        Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Data (ConfigID=%1) not compatible to connected hardware (ConfigID=%2)"))
            .arg(image.FileConfigID)
            .arg(image.deviceConfigId);
    const QString error = Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Error"));
    bool confirmed = false;
    if (mismatch && !level.mayWriteOtherFamily()) {
        ctx_.dialogs.MsgBox(incompatible, MsgButtons::Ok, MsgIcon::Critical, error);
        DropIncompatibleData();
        co_return false;
    }
    if (mismatch) {
        const MsgAnswer answer =
            co_await ctx_.dialogs.Ask(Question::ConfigIdMismatch,
                             incompatible + CrLf() + Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Do You really want to continue?")),
                             MsgButtons::YesNo, MsgIcon::Critical, error);
        if (answer != MsgAnswer::Yes) {
            DropIncompatibleData();
            co_return false;
        }
        confirmed = true;
    }
    // The image was read from another device: writing it here would mix two devices.
    if (!confirmed && image.deviceConfigId != image.imageConfigId) {
        HideTransferWindow();
        co_return false;
    }
    co_return true;
}

QCoro::Task<WriteResult> DeviceWrites::Write()
{
    const DeviceTransfers::RunningCommand command(transfers_, false);
    if (!command.Granted())
        co_return WriteResult::NothingSent;
    lastResult_ = WriteResult::NothingSent;
    extendedSent_ = false;
    EngineState& engine = ctx_.engine.State();
    ProgressBookkeeping& progress = ctx_.engine.Bookkeeping();
    TransferProgress& window = ctx_.engine.Progress();
    DeviceImage& image = ctx_.image;

    engine.packetCount = 0;
    progress.allSent = false;
    window.overall = 0;
    window.partial = 0;
    window.partialMax = 62;
    ctx_.engine.ReportProgress();

    if (ctx_.port.State().portNumber < 1 || !ctx_.port.State().adapterFound) {
        ctx_.dialogs.MsgBox(Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Device type not detected.")) + CrLf()
                                + Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Please check your serial connection and COM-Port settings! ")),
                            MsgButtons::Ok, MsgIcon::Exclamation, Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Error")));
        co_return lastResult_;
    }

    co_await transfers_.DetectDevice();
    if (image.deviceConfigId == 0)
        co_return lastResult_;

    const AccessLevel level = Level();
    if (!co_await ImageFitsDevice(level))
        co_return lastResult_;

    engine.packetCount = 0;
    progress.sentLength = 0;
    progress.totalLength = 0;
    progress.allSent = false;
    ctx_.views.Logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
    qint32 changedCount = 0;
    for (int nr = 0; nr <= ParamCount; ++nr) {
        if (!image.value[nr].isEmpty() && image.changed[nr])
            ++changedCount;
    }
    co_await image.CheckUninitialisedValues(level.mayInitialiseErasedValues(), ctx_.dialogs);
    co_await ctx_.engine.UntilIdle(WaitForeverMs);
    // The write sends these values, whatever happens to the image while it runs.
    const ParamArray<QString> values = image.value;
    // A value its cell cannot hold exactly would be left out or changed on its way: the
    // device would not end up as the user meant. Nothing is sent then.
    if (const QStringList unwritable = UnwritableValues(values); !unwritable.isEmpty()) {
        ctx_.dialogs.MsgBox(Tr(QT_TRANSLATE_NOOP("DeviceWrites", "These values cannot be written to the device, so nothing was written:"))
                                + CrLf() + unwritable.join(QStringLiteral(", ")),
                            MsgButtons::Ok, MsgIcon::Exclamation, Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Error")));
        HideTransferWindow();
        co_return lastResult_;
    }

    // A copy: the store may be replaced (a file opened) while the blocks are being sent.
    const ExtendedDataStore store = image.extended;
    if (ExtendedDataEmpty(store)) {
        progress.totalLength = changedCount + 1;
        progress.parametersOnly = true;
        window.overall = 0;
        window.partial = 0;
        window.partialMax = changedCount + 1;
        ShowProgressBar();
        co_await ParameterWrite(values);
        image.uninitialised.fill(false);
        if (!co_await FinishBatch())
            co_return lastResult_;
        progress.allSent = true;
        if (lastResult_ != WriteResult::Failed)
            lastResult_ = WriteResult::Done;
        ResetWriteBookkeeping();
        HideTransferWindow();
        co_return lastResult_;
    }
    if (store.used) {
        HideTransferWindow();
        co_return lastResult_;
    }

    const qint32 total = changedCount + ExtendedProgressUnits(store);
    progress.totalLength = total;
    progress.withExtendedData = true;
    // The detection's batch has moved the bars; the write starts them afresh.
    window.overall = 0;
    window.partial = 0;
    window.partialMax = total + 5;
    ctx_.engine.ReportProgress();
    const MsgAnswer answer = co_await ctx_.dialogs.Ask(
        Question::ExtendedData,
        Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Extended Data is to be written to the device. That could take a while.")) + CrLf()
            + Tr(QT_TRANSLATE_NOOP("DeviceWrites", "YES to proceed, NO to write parameters only or CANCEL to finish.")),
        MsgButtons::YesNoCancel, MsgIcon::None, DefaultTitle());
    if (answer == MsgAnswer::Yes && !co_await WriteExtendedData(store))
        co_return lastResult_;
    if (answer == MsgAnswer::Yes || answer == MsgAnswer::No) {
        co_await ParameterWrite(values);
        if (!co_await FinishBatch())
            co_return lastResult_;
        progress.allSent = true;
    }
    ResetWriteBookkeeping();

    if (!level.keepsExtendedDataAfterWrite(ctx_.options.ChkEraseStringsAfterWrite))
        UseUpExtendedData();

    co_await ctx_.port.Pause(100);
    // After a block that was given up, "Done!" would tell the user the device is complete.
    if (lastResult_ == WriteResult::Failed) {
        HideTransferWindow();
        co_return lastResult_;
    }
    if (answer == MsgAnswer::Yes || answer == MsgAnswer::No)
        lastResult_ = WriteResult::Done;
    ctx_.dialogs.MsgBox(DoneText(), MsgButtons::Ok, MsgIcon::None, DefaultTitle());
    HideTransferWindow();
    co_return lastResult_;
}

QCoro::Task<bool> DeviceWrites::WriteExtendedData(const ExtendedDataStore& store)
{
    // A block longer than its place would run into the range after it; such a file's blocks
    // are refused before anything is sent.
    const QStringList oversized = OversizedBlocks(store);
    if (!oversized.isEmpty()) {
        ctx_.dialogs.MsgBox(Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Extended data longer than its place in the device is not written:"))
                                + CrLf() + oversized.join(CrLf()),
                            MsgButtons::Ok, MsgIcon::Exclamation, Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Error")));
        ResetWriteBookkeeping();
        HideTransferWindow();
        co_return false;
    }
    extendedSent_ = true;
    if (store.interpreterImage.size() >= InterpreterMinimumBytes) {
        ShowProgressBar();
        extended_.InterpreterWrite(store.interpreterImage);
        if (!co_await FinishBatch())
            co_return false;
    }
    for (const DisplayBlock& block : DisplayBlocks()) {
        const QByteArray& bytes = store.*block.source;
        if (bytes.size() < DisplayMinimumBytes)
            continue;
        ShowProgressBar();
        co_await extended_.DisplayDataWrite(bytes, block.blockNumber, block.bytesPerPacket);
        if (!co_await FinishBatch())
            co_return false;
    }
    if (store.frequencyTableText.size() >= DisplayMinimumBytes) {
        ShowProgressBar();
        co_await extended_.FrequencyTableWrite(store.FreqTable);
        if (!co_await FinishBatch())
            co_return false;
    }
    co_return true;
}

void DeviceWrites::UseUpExtendedData()
{
    DeviceImage& image = ctx_.image;
    image.extended.used = true;
    image.extended.interpreterPresent = false;
    image.extended.displayPresent = false;
    image.extended.frequencyPresent = false;
    image.labels.lblConfigFileName.clear();
    image.labels.lblConfigFileInfo.clear();
    image.labels.showConfigFileID = false;
    image.labels.showCRC = false;
    ctx_.views.Changed(StationChange::Facts);
}

QCoro::Task<bool> DeviceWrites::MayWriteCalibration(bool frequency)
{
    // Without that decision only calibration values a file brought are written.
    if (!Level().decidesCalibration())
        co_return ctx_.image.valuesFromFile;
    const QString title = frequency ? Tr(QT_TRANSLATE_NOOP("DeviceWrites", "A T T E N T I O N  -  adjusted value"))
                                    : Tr(QT_TRANSLATE_NOOP("DeviceWrites", "A T T E N T I O N  -  adjusted values"));
    const QString text = frequency ? Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Overwrite Adjusted Frequency Compensation Value?"))
                                   : Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Overwrite Adjusted Gain/Phase Compensation Values?"));
    co_return co_await ctx_.dialogs.Ask(Question::Calibration, text, MsgButtons::YesNo, MsgIcon::Critical, title)
        == MsgAnswer::Yes;
}

QStringList DeviceWrites::UnwritableValues(const ParamArray<QString>& values) const
{
    const DeviceImage& image = ctx_.image;
    const bool everything = !ctx_.options.ChkSendNewDataOnly || Level().writesEveryValue();
    QStringList names;
    for (int i = 1; i <= ParamCount; ++i) {
        if (values[i].isEmpty() || !image.applicable[i] || !(everything || image.changed[i]))
            continue;
        const ConfigDefine& define = FindConfigDefine(i);
        std::optional<QByteArray> data;
        if (i == SystemAddressNr)
            data = Encode16Bit(values[i]);
        else if (i == GainCompNr || i == PhaseCompNr)
            data = EncodeGainPhase(values[PhaseCompNr].isEmpty() ? QStringLiteral("0") : values[PhaseCompNr],
                                   values[GainCompNr].isEmpty() ? QStringLiteral("0") : values[GainCompNr]);
        else if (i == FreqCompNr)
            data = EncodeFreqComp(values[i]);
        else if (define.Special && !define.MultiMess)
            continue; // not written at all
        else
            data = EncodeBySize(define, values[i]);
        if (!data || (define.MultiMess && !define.Special && define.SByte + data->size() > 4))
            names << define.Name.toString() + QStringLiteral("=") + values[i];
    }
    return names;
}

std::optional<QByteArray> DeviceWrites::SharedCellData(int nr, const ParamArray<QString>& values)
{
    DeviceImage& image = ctx_.image;
    const ConfigDefine& define = FindConfigDefine(nr);
    QByteArray cell(4, '\0');
    for (int j = 1; j <= ParamCount; ++j) {
        const ConfigDefine& other = FindConfigDefine(j);
        if (other.HexAdd != define.HexAdd || other.SubAdd != define.SubAdd)
            continue;
        image.sent[j] = true;
        image.changed[j] = false;
        if (values[j].isEmpty())
            continue;
        const std::optional<QByteArray> piece = EncodeBySize(other, values[j]);
        if (!piece || other.SByte < 0 || other.SByte + piece->size() > 4)
            return std::nullopt;
        // Each piece at its own byte, so an empty slot does not shift the ones after it.
        cell.replace(other.SByte, piece->size(), *piece);
    }
    return cell;
}

QCoro::Task<> DeviceWrites::ParameterWrite(const ParamArray<QString>& values)
{
    EngineState& engine = ctx_.engine.State();
    DeviceImage& image = ctx_.image;
    const AccessLevel level = Level();
    const bool onlyChanged = ctx_.options.ChkSendNewDataOnly;

    engine.sending = false;
    image.sent.fill(false);
    uploaded_.fill(false);
    kept_.fill(false);
    uploadedValues_ = values;
    leftOut_.clear();
    ctx_.engine.SendPacket(ConfigEnable, 0, 0);

    for (int i = 0; i <= ParamCount; ++i) {
        if ((!onlyChanged || level.writesEveryValue()) && !image.sent[i])
            image.changed[i] = true;
        if (values[i].isEmpty() || image.sent[i] || !image.changed[i] || !image.applicable[i])
            continue;
        image.changed[i] = false;
        const ConfigDefine& define = FindConfigDefine(i);
        std::optional<QByteArray> data;
        if (define.MultiMess && define.Special) {
            if (i >= SystemAddressNr && i <= ProdGrpNr) {
                // One cell: the address in bytes 0-1, OEM code in 2, product group in 3. A piece
                // that is not known would overwrite the device's value with 0, so all three must be.
                for (int k = SystemAddressNr; k <= ProdGrpNr; ++k) {
                    image.sent[k] = true;
                    image.changed[k] = false;
                }
                const auto address = Encode16Bit(values[SystemAddressNr]);
                const auto oem = Encode8Bit(values[SystemAddressNr + 1]);
                const auto group = Encode8Bit(values[ProdGrpNr]);
                if (address && oem && group)
                    data = *address + *oem + *group;
            } else if (i == GainCompNr || i == PhaseCompNr) {
                image.sent[GainCompNr] = image.sent[PhaseCompNr] = true;
                image.changed[GainCompNr] = image.changed[PhaseCompNr] = false;
                data = EncodeGainPhase(values[PhaseCompNr], values[GainCompNr]);
                if (data && !co_await MayWriteCalibration(false)) {
                    kept_[GainCompNr] = kept_[PhaseCompNr] = true;
                    continue;
                }
            } else {
                continue;
            }
        } else if (define.MultiMess) {
            data = SharedCellData(i, values);
        } else if (define.Special) {
            if (i != FreqCompNr)
                continue;
            image.sent[i] = true;
            data = EncodeFreqComp(values[i]);
            if (data && !co_await MayWriteCalibration(true)) {
                kept_[i] = true;
                continue;
            }
        } else {
            data = EncodeBySize(define, values[i]);
        }
        if (!data) {
            // Kept marked, so it goes out with the next write once it holds a proper value.
            image.changed[i] = true;
            leftOut_ << define.Name.toString();
            continue;
        }
        // Every parameter of the cell goes out with it.
        for (int k = 1; k <= ParamCount; ++k) {
            const ConfigDefine& other = FindConfigDefine(k);
            if (other.HexAdd == define.HexAdd && other.SubAdd == define.SubAdd)
                uploaded_[static_cast<std::size_t>(k)] = true;
        }
        ctx_.engine.SendPacket(Upload, define.HexAdd, static_cast<std::uint8_t>(define.SubAdd), *data);
    }

    if (!engine.queue.IsEmpty()) {
        ShowProgressBar();
        ctx_.engine.Progress().detail.clear();
        ctx_.engine.ReportProgress();
        ctx_.engine.Bookkeeping().startProgress = true;
    }
    ctx_.engine.SendPacket(FlashConfig, 0, 0);
    if (!leftOut_.isEmpty()) {
        // The device will not hold everything the user meant: the write cannot end in "Done!".
        lastResult_ = WriteResult::Failed;
        ctx_.dialogs.MsgBox(Tr(QT_TRANSLATE_NOOP("DeviceWrites", "These values cannot be written to the device and were left out:"))
                                + CrLf() + leftOut_.join(QStringLiteral(", ")),
                            MsgButtons::Ok, MsgIcon::Exclamation, Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Error")));
    }
    if (ctx_.ResetsBeforeTransmit())
        co_await ctx_.port.ResetDevice();
    engine.sending = true;
}

QCoro::Task<> DeviceWrites::WriteTestInterpreter(QString programFolder)
{
    const DeviceTransfers::RunningCommand command(transfers_, false);
    if (!command.Granted())
        co_return;
    // Without a file there is nothing to send; say so instead of doing nothing.
    const QString path = QDir(programFolder).filePath(QStringLiteral("xtest.bin"));
    const QString shown = QDir::toNativeSeparators(path);
    const QString error = Tr(QT_TRANSLATE_NOOP("DeviceWrites", "Error"));
    QFile file(path);
    if (!file.exists()) {
        ctx_.dialogs.MsgBox(Tr(QT_TRANSLATE_NOOP("DeviceWrites", "The interpreter file %1 was not found.")).arg(shown),
                            MsgButtons::Ok, MsgIcon::Exclamation, error);
        co_return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        ctx_.dialogs.MsgBox(Tr(QT_TRANSLATE_NOOP("DeviceWrites", "The interpreter file %1 could not be read.")).arg(shown),
                            MsgButtons::Ok, MsgIcon::Exclamation, error);
        co_return;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        ctx_.dialogs.MsgBox(Tr(QT_TRANSLATE_NOOP("DeviceWrites", "The interpreter file %1 is empty.")).arg(shown),
                            MsgButtons::Ok, MsgIcon::Exclamation, error);
        co_return;
    }
    co_await ctx_.engine.UntilIdle(WaitForeverMs);
    extended_.RawInterpreterWrite(bytes);
    // Waited for, so that a refusal is told and nothing else changes the device meanwhile.
    co_await FinishBatch();
}

} // namespace tunekit
