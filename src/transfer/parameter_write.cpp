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
#include "transfer/progress_bars.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace tunekit {

namespace {


QString crLf()
{
    return QStringLiteral("\r\n");
}

// Long enough for any batch; the engine's own time-out ends a batch the device does not answer.
constexpr qint64 WaitForeverMs = 24LL * 3600 * 1000;

// The program's default message box title.
QString defaultTitle()
{
    return QStringLiteral("Tunekit");
}


// The value text as a whole number; nothing for text that is not one ("12.6", "abc"). A cell
// holds whole numbers only, and a value rounded on its way would not be the value the user
// or the file gave.
std::optional<qint64> wholeNumber(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > 1e15 || number != std::floor(number))
        return std::nullopt;
    return static_cast<qint64>(number);
}

QByteArray lowBytesFirst(qint64 value, int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace

std::optional<QByteArray> encode8Bit(const QString& text, bool isSigned)
{
    std::optional<qint64> v = wholeNumber(text);
    if (!v)
        return std::nullopt;
    if (isSigned && *v < 0 && *v >= -128)
        *v += 256;
    if (*v < 0 || *v > 255)
        return std::nullopt; // an unsigned cell has no negative values, and 8 bits no more
    return lowBytesFirst(*v, 1);
}

std::optional<QByteArray> encode16Bit(const QString& text)
{
    const std::optional<qint64> v = wholeNumber(text);
    if (!v || *v < 0 || *v > 0xFFFF)
        return std::nullopt;
    return lowBytesFirst(*v, 2);
}

std::optional<QByteArray> encode32Bit(const QString& text)
{
    const std::optional<qint64> v = wholeNumber(text);
    // -1 is how an erased cell reads: written back, the cell is erased again.
    if (v == -1)
        return QByteArray(4, '\xFF');
    if (!v || *v < 0 || *v > 0x7FFFFFFF)
        return std::nullopt;
    QByteArray bytes = lowBytesFirst(*v, 4);
    bytes[3] = static_cast<char>(bytes[3] & 0x7F);
    return bytes;
}

std::optional<QByteArray> encodeDate(const QString& text)
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
    return lowBytesFirst(day, 1) + lowBytesFirst(month, 1) + lowBytesFirst(year - 2000, 1);
}

std::optional<QByteArray> encodeFreqComp(const QString& text)
{
    const std::optional<qint64> v = wholeNumber(text);
    if (!v)
        return std::nullopt;
    // The device keeps the compensation 10 higher than shown (the read takes 10 off); a cell
    // above 20 (255 = never adjusted) is shown as it is and written back as it is. 11..20 is
    // no value a read shows: it would not read back as itself.
    if (*v >= 21 && *v <= 255)
        return lowBytesFirst(*v, 1);
    if (*v < -10 || *v > 10)
        return std::nullopt;
    return lowBytesFirst(*v + 10, 1);
}

std::optional<QByteArray> encodeGainPhase(const QString& phase, const QString& gain)
{
    const std::optional<qint64> p = wholeNumber(phase);
    const std::optional<qint64> g = wholeNumber(gain);
    if (!p || !g || *p < -128 || *p > 255 || *g < -128 || *g > 255)
        return std::nullopt;
    const qint64 word = (*p < 0 ? *p + 256 : *p) * 256 + (*g < 0 ? *g + 256 : *g);
    return lowBytesFirst(word, 2);
}

std::optional<QByteArray> encodeBySize(const ConfigDefine& define, const QString& text)
{
    switch (define.bits) {
    case 8: return encode8Bit(text, define.isSigned());
    case 16: return encode16Bit(text);
    case 32: return encode32Bit(text);
    case 1: return encodeDate(text);
    default: return std::nullopt;
    }
}

DeviceWrites::DeviceWrites(DeviceTransfers& transfers)
    : transfers_(transfers), ctx_(transfers.context()), extended_(transfers.context())
{
}

QString DeviceWrites::doneText()
{
    return QCoreApplication::translate("DeviceWrites", "        Done!     ");
}

void DeviceWrites::tellError(const QString& text, MsgIcon icon)
{
    ctx_.dialogs.msgBox(text, MsgButtons::Ok, icon, QCoreApplication::translate("DeviceWrites", "Error"));
}

AccessLevel DeviceWrites::level() const
{
    return ctx_.accessLevel ? ctx_.accessLevel() : AccessLevel();
}

void DeviceWrites::showProgressBar()
{
    // Always with its caption: the window may still read "data transfer...ready" from the
    // batch before, which would be wrong for the one about to start.
    ctx_.progress.setCaption(ExtendedDataWriter::transferText());
    ctx_.progress.setVisible(true);
}

void DeviceWrites::dropIncompatibleData()
{
    ctx_.image.clearFileData();
    ctx_.engine.abortTransfer();
    ctx_.views.changed(StationChange::Facts | StationChange::Values);
    ctx_.progress.setVisible(false);
}

QCoro::Task<bool> DeviceWrites::finishBatch()
{
    // Until the last answer is in and the reset after the batch is over; the engine never
    // leaves a reset pending for the next batch.
    co_await ctx_.engine.untilIdle(WaitForeverMs);
    const EngineState& engine = ctx_.engine.state();
    if (engine.interrupted) {
        // Stopped by the user: the write ends here, and it is not complete.
        lastResult_ = WriteResult::Failed;
        ctx_.progress.setPartialBar(PartialBar::FollowsOverall);
        ctx_.progress.setVisible(false);
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
    tellError(refusalText(engine.refusals.first()), MsgIcon::Critical);
    ctx_.progress.setPartialBar(PartialBar::FollowsOverall);
    ctx_.progress.setVisible(false);
    co_return false;
}

QString DeviceWrites::refusalText(const RefusedPacket& refusal)
{
    const QByteArray& packet = refusal.request;
    const int type = packetType(packet);
    const int index = packetIndex(packet);
    QString what = packetTypeName(type).toString();
    if (type == Upload) {
        what += QStringLiteral(" %1/%2").arg(index, 4, 16, QLatin1Char('0')).arg(packetSubindex(packet), 2, 16, QLatin1Char('0')).toUpper();
        QStringList names;
        for (int nr = 1; nr <= ParamCount; ++nr) {
            const ConfigDefine& define = findConfigDefine(nr);
            if (define.index == index && define.subindex == packetSubindex(packet))
                names << define.name.toString();
        }
        const QString block = extendedBlockName(index);
        if (!names.isEmpty())
            what += QStringLiteral(" (") + names.join(QStringLiteral(", ")) + QLatin1Char(')');
        else if (!block.isEmpty())
            what += QStringLiteral(" (") + block + QLatin1Char(')');
    }
    return QCoreApplication::translate("DeviceWrites", "Writing failed: the device answered %1 to %2.").arg(packetTypeName(refusal.answerType), what)
           + crLf() + QCoreApplication::translate("DeviceWrites", "The device does not hold all of the data.");
}

QCoro::Task<bool> DeviceWrites::imageFitsDevice(AccessLevel level)
{
    const DeviceImage& image = ctx_.image;
    if (level.writesWithoutCompatibilityCheck())
        co_return true;
    const bool mismatch = image.fileConfigId >= 1 && image.deviceConfigId >= 1 && image.fileConfigId != image.deviceConfigId;
    const QString incompatible =
        QCoreApplication::translate("DeviceWrites", "Data (ConfigID=%1) not compatible to connected hardware (ConfigID=%2)")
            .arg(image.fileConfigId)
            .arg(image.deviceConfigId);
    if (mismatch && !level.mayWriteOtherFamily()) {
        tellError(incompatible, MsgIcon::Critical);
        dropIncompatibleData();
        co_return false;
    }
    if (mismatch) {
        const QString error = QCoreApplication::translate("DeviceWrites", "Error");
        const MsgAnswer answer =
            co_await ctx_.dialogs.ask(Question::ConfigIdMismatch,
                             incompatible + crLf() + QCoreApplication::translate("DeviceWrites", "Do You really want to continue?"),
                             MsgButtons::YesNo, MsgIcon::Critical, error);
        if (answer != MsgAnswer::Yes)
            dropIncompatibleData();
        co_return answer == MsgAnswer::Yes;
    }
    // The image was read from another device: writing it here would mix two devices.
    if (image.deviceConfigId != image.imageConfigId) {
        ctx_.progress.setVisible(false);
        co_return false;
    }
    co_return true;
}

QCoro::Task<WriteResult> DeviceWrites::write()
{
    const DeviceTransfers::RunningCommand command(transfers_, false);
    if (!command.granted())
        co_return WriteResult::NothingSent;
    lastResult_ = WriteResult::NothingSent;
    extendedSent_ = false;
    const std::optional<PlannedWrite> plan = co_await planWrite();
    if (!plan)
        co_return lastResult_;
    // A copy: the store may be replaced (a file opened) while the blocks are being sent.
    const ExtendedDataStore store = ctx_.image.extended;
    if (extendedDataEmpty(store))
        co_await writeParametersOnly(*plan);
    else if (store.used)
        ctx_.progress.setVisible(false);
    else
        co_await writeWithExtendedData(*plan, store);
    co_return lastResult_;
}

QCoro::Task<std::optional<DeviceWrites::PlannedWrite>> DeviceWrites::planWrite()
{
    ProgressBars& progress = ctx_.progress;
    DeviceImage& image = ctx_.image;
    progress.setAllSent(false);
    progress.restart(62);

    if (ctx_.port.state().portNumber < 1 || !ctx_.port.state().adapterFound) {
        tellError(QCoreApplication::translate("DeviceWrites", "Device type not detected.") + crLf()
                  + QCoreApplication::translate("DeviceWrites", "Please check your serial connection and COM-Port settings! "));
        co_return std::nullopt;
    }

    co_await transfers_.detectDevice();
    if (image.deviceConfigId == 0)
        co_return std::nullopt;

    PlannedWrite plan{level(), {}, 0};
    if (!co_await imageFitsDevice(plan.accessLevel))
        co_return std::nullopt;

    progress.setPartialBar(PartialBar::FollowsOverall);
    progress.setAllSent(false);
    ctx_.views.logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
    for (int nr = 0; nr <= ParamCount; ++nr) {
        if (!image.value[nr].isEmpty() && image.changed[nr])
            ++plan.changedCount;
    }
    co_await image.checkUninitialisedValues(plan.accessLevel.mayInitialiseErasedValues(), ctx_.dialogs);
    co_await ctx_.engine.untilIdle(WaitForeverMs);
    // The write sends these values, whatever happens to the image while it runs.
    plan.values = image.value;
    // A value its cell cannot hold exactly would be left out or changed on its way: the
    // device would not end up as the user meant. Nothing is sent then.
    if (const QStringList unwritable = unwritableValues(plan.values); !unwritable.isEmpty()) {
        tellError(QCoreApplication::translate("DeviceWrites", "These values cannot be written to the device, so nothing was written:")
                  + crLf() + unwritable.join(QStringLiteral(", ")));
        ctx_.progress.setVisible(false);
        co_return std::nullopt;
    }
    co_return plan;
}

QCoro::Task<> DeviceWrites::writeParametersOnly(const PlannedWrite& plan)
{
    ProgressBars& progress = ctx_.progress;
    progress.setPartialBar(PartialBar::Parameters);
    progress.restart(plan.changedCount + 1);
    showProgressBar();
    co_await parameterWrite(plan.values);
    ctx_.image.uninitialised.fill(false);
    if (!co_await finishBatch())
        co_return;
    progress.setAllSent(true);
    if (lastResult_ != WriteResult::Failed)
        lastResult_ = WriteResult::Done;
    progress.setPartialBar(PartialBar::FollowsOverall);
    progress.setVisible(false);
}

QCoro::Task<> DeviceWrites::writeWithExtendedData(const PlannedWrite& plan, const ExtendedDataStore& store)
{
    ProgressBars& progress = ctx_.progress;
    const qint32 total = plan.changedCount + extendedProgressUnits(store);
    progress.setPartialBar(total != 0 ? PartialBar::Packets : PartialBar::Still);
    // The detection's batch has moved the bars; the write starts them afresh.
    progress.restart(total + 5);
    const MsgAnswer answer = co_await ctx_.dialogs.ask(
        Question::ExtendedData,
        QCoreApplication::translate("DeviceWrites", "Extended Data is to be written to the device. That could take a while.") + crLf()
            + QCoreApplication::translate("DeviceWrites", "YES to proceed, NO to write parameters only or CANCEL to finish."),
        MsgButtons::YesNoCancel, MsgIcon::None, defaultTitle());
    if (answer == MsgAnswer::Yes && !co_await writeExtendedData(store))
        co_return;
    if (answer == MsgAnswer::Yes || answer == MsgAnswer::No) {
        co_await parameterWrite(plan.values);
        if (!co_await finishBatch())
            co_return;
        progress.setAllSent(true);
    }
    progress.setPartialBar(PartialBar::FollowsOverall);

    if (!plan.accessLevel.keepsExtendedDataAfterWrite(ctx_.options.eraseTextsAfterWrite))
        useUpExtendedData();

    co_await ctx_.port.pause(100);
    // After a block that was given up, "Done!" would tell the user the device is complete.
    if (lastResult_ != WriteResult::Failed) {
        if (answer == MsgAnswer::Yes || answer == MsgAnswer::No)
            lastResult_ = WriteResult::Done;
        ctx_.dialogs.msgBox(doneText(), MsgButtons::Ok, MsgIcon::None, defaultTitle());
    }
    progress.setVisible(false);
}

QCoro::Task<bool> DeviceWrites::writeExtendedData(const ExtendedDataStore& store)
{
    // A block longer than its place would run into the range after it; such a file's blocks
    // are refused before anything is sent.
    const QStringList oversized = oversizedBlocks(store);
    if (!oversized.isEmpty()) {
        tellError(QCoreApplication::translate("DeviceWrites", "Extended data longer than its place in the device is not written:")
                  + crLf() + oversized.join(crLf()));
        ctx_.progress.setPartialBar(PartialBar::FollowsOverall);
        ctx_.progress.setVisible(false);
        co_return false;
    }
    extendedSent_ = true;
    if (store.interpreterImage.size() >= InterpreterMinimumBytes) {
        showProgressBar();
        extended_.interpreterWrite(store.interpreterImage, true);
        if (!co_await finishBatch())
            co_return false;
    }
    for (const DisplayBlock& block : displayBlocks()) {
        const QByteArray& bytes = store.*block.source;
        if (bytes.size() < DisplayMinimumBytes)
            continue;
        showProgressBar();
        co_await extended_.displayDataWrite(bytes, block.blockNumber, block.bytesPerPacket);
        if (!co_await finishBatch())
            co_return false;
    }
    if (store.frequencyTableText.size() >= DisplayMinimumBytes) {
        showProgressBar();
        co_await extended_.frequencyTableWrite(store.freqTable);
        if (!co_await finishBatch())
            co_return false;
    }
    co_return true;
}

void DeviceWrites::useUpExtendedData()
{
    DeviceImage& image = ctx_.image;
    image.extended.used = true;
    image.extended.interpreterPresent = false;
    image.extended.displayPresent = false;
    image.extended.frequencyPresent = false;
    image.file.name.clear();
    image.file.description.clear();
    image.file.shown = false;
    ctx_.views.changed(StationChange::Facts);
}

bool DeviceWrites::writesEveryValue() const
{
    return !ctx_.options.sendChangedOnly || level().writesEveryValue();
}

QCoro::Task<bool> DeviceWrites::mayWriteCalibration(bool frequency)
{
    // Without that decision only calibration values a file brought are written.
    if (!level().decidesCalibration())
        co_return ctx_.image.valuesFromFile;
    const QString title = frequency ? QCoreApplication::translate("DeviceWrites", "A T T E N T I O N  -  adjusted value")
                                    : QCoreApplication::translate("DeviceWrites", "A T T E N T I O N  -  adjusted values");
    const QString text = frequency ? QCoreApplication::translate("DeviceWrites", "Overwrite Adjusted Frequency Compensation Value?")
                                   : QCoreApplication::translate("DeviceWrites", "Overwrite Adjusted Gain/Phase Compensation Values?");
    co_return co_await ctx_.dialogs.ask(Question::Calibration, text, MsgButtons::YesNo, MsgIcon::Critical, title)
        == MsgAnswer::Yes;
}

QStringList DeviceWrites::unwritableValues(const ParamArray<QString>& values) const
{
    const DeviceImage& image = ctx_.image;
    const bool everything = writesEveryValue();
    QStringList names;
    for (int i = 1; i <= ParamCount; ++i) {
        if (values[i].isEmpty() || !image.applicable[i] || !(everything || image.changed[i]))
            continue;
        const ConfigDefine& define = findConfigDefine(i);
        std::optional<QByteArray> data;
        if (i == SystemAddressNr)
            data = encode16Bit(values[i]);
        else if (i == GainCompNr || i == PhaseCompNr)
            data = encodeGainPhase(values[PhaseCompNr].isEmpty() ? QStringLiteral("0") : values[PhaseCompNr],
                                   values[GainCompNr].isEmpty() ? QStringLiteral("0") : values[GainCompNr]);
        else if (i == FreqCompNr)
            data = encodeFreqComp(values[i]);
        else if (define.special && !define.sharedCell)
            continue; // not written at all
        else
            data = encodeBySize(define, values[i]);
        if (!data || (define.sharedCell && !define.special && define.firstByte + data->size() > 4))
            names << define.name.toString() + QStringLiteral("=") + values[i];
    }
    return names;
}

std::optional<QByteArray> DeviceWrites::sharedCellData(int nr, const ParamArray<QString>& values)
{
    DeviceImage& image = ctx_.image;
    const ConfigDefine& define = findConfigDefine(nr);
    QByteArray cell(4, '\0');
    for (int j = 1; j <= ParamCount; ++j) {
        const ConfigDefine& other = findConfigDefine(j);
        if (other.index != define.index || other.subindex != define.subindex)
            continue;
        image.sent[j] = true;
        image.changed[j] = false;
        if (values[j].isEmpty())
            continue;
        const std::optional<QByteArray> piece = encodeBySize(other, values[j]);
        if (!piece || other.firstByte < 0 || other.firstByte + piece->size() > 4)
            return std::nullopt;
        // Each piece at its own byte, so an empty slot does not shift the ones after it.
        cell.replace(other.firstByte, piece->size(), *piece);
    }
    return cell;
}

QCoro::Task<> DeviceWrites::parameterWrite(const ParamArray<QString>& values)
{
    EngineState& engine = ctx_.engine.state();
    DeviceImage& image = ctx_.image;
    const bool everything = writesEveryValue();
    QStringList leftOut;

    engine.sending = false;
    image.sent.fill(false);
    kept_.fill(false);
    uploadedValues_ = values;
    ctx_.engine.sendPacket(ConfigEnable, 0, 0);

    for (int i = 0; i <= ParamCount; ++i) {
        if (everything && !image.sent[i])
            image.changed[i] = true;
        if (values[i].isEmpty() || image.sent[i] || !image.changed[i] || !image.applicable[i])
            continue;
        image.changed[i] = false;
        const ConfigDefine& define = findConfigDefine(i);
        std::optional<QByteArray> data;
        if (define.sharedCell && define.special) {
            if (i >= SystemAddressNr && i <= ProdGrpNr) {
                // One cell: the address in bytes 0-1, OEM code in 2, product group in 3. A piece
                // that is not known would overwrite the device's value with 0, so all three must be.
                for (int k = SystemAddressNr; k <= ProdGrpNr; ++k) {
                    image.sent[k] = true;
                    image.changed[k] = false;
                }
                const auto address = encode16Bit(values[SystemAddressNr]);
                const auto oem = encode8Bit(values[SystemAddressNr + 1]);
                const auto group = encode8Bit(values[ProdGrpNr]);
                if (address && oem && group)
                    data = *address + *oem + *group;
            } else if (i == GainCompNr || i == PhaseCompNr) {
                image.sent[GainCompNr] = image.sent[PhaseCompNr] = true;
                image.changed[GainCompNr] = image.changed[PhaseCompNr] = false;
                data = encodeGainPhase(values[PhaseCompNr], values[GainCompNr]);
                if (data && !co_await mayWriteCalibration(false)) {
                    kept_[GainCompNr] = kept_[PhaseCompNr] = true;
                    continue;
                }
            } else {
                continue;
            }
        } else if (define.sharedCell) {
            data = sharedCellData(i, values);
        } else if (define.special) {
            if (i != FreqCompNr)
                continue;
            image.sent[i] = true;
            data = encodeFreqComp(values[i]);
            if (data && !co_await mayWriteCalibration(true)) {
                kept_[i] = true;
                continue;
            }
        } else {
            data = encodeBySize(define, values[i]);
        }
        if (!data) {
            // Kept marked, so it goes out with the next write once it holds a proper value.
            image.changed[i] = true;
            leftOut << define.name.toString();
            continue;
        }
        ctx_.engine.sendPacket(Upload, define.index, static_cast<std::uint8_t>(define.subindex), *data);
    }

    if (!engine.queue.isEmpty()) {
        showProgressBar();
        ctx_.progress.setDetail({});
        ctx_.progress.measureFromNextPacket();
    }
    ctx_.engine.sendPacket(FlashConfig, 0, 0);
    if (!leftOut.isEmpty()) {
        // The device will not hold everything the user meant: the write cannot end in "Done!".
        lastResult_ = WriteResult::Failed;
        tellError(QCoreApplication::translate("DeviceWrites", "These values cannot be written to the device and were left out:")
                  + crLf() + leftOut.join(QStringLiteral(", ")));
    }
    if (ctx_.resetsBeforeTransmit())
        co_await ctx_.port.resetDevice();
    engine.sending = true;
}

QCoro::Task<> DeviceWrites::writeTestInterpreter(QString programFolder)
{
    const DeviceTransfers::RunningCommand command(transfers_, false);
    if (!command.granted())
        co_return;
    // Without a file there is nothing to send; say so instead of doing nothing.
    const QString path = QDir(programFolder).filePath(QStringLiteral("xtest.bin"));
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.exists()) {
        tellError(QCoreApplication::translate("DeviceWrites", "The interpreter file %1 was not found.").arg(shown));
        co_return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        tellError(QCoreApplication::translate("DeviceWrites", "The interpreter file %1 could not be read.").arg(shown));
        co_return;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        tellError(QCoreApplication::translate("DeviceWrites", "The interpreter file %1 is empty.").arg(shown));
        co_return;
    }
    co_await ctx_.engine.untilIdle(WaitForeverMs);
    extended_.interpreterWrite(bytes, false);
    // Waited for, so that a refusal is told and nothing else changes the device meanwhile.
    co_await finishBatch();
}

} // namespace tunekit
