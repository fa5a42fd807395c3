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


} // namespace

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
    // Stopped after the device stored the configuration (the last batch of every write): all
    // of it is in the device, only what came after (the reset) was cut short.
    const bool stored = engine.storesAnswered > storesBefore_;
    if (engine.interrupted && !stored) {
        // Stopped by the user: the write ends here, and it is not complete.
        lastResult_ = WriteResult::Failed;
        ctx_.progress.setPartialBar(PartialBar::FollowsOverall);
        ctx_.progress.setVisible(false);
        co_return false;
    }
    if (!engine.gaveUp || (engine.interrupted && stored))
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

QCoro::Task<bool> DeviceWrites::otherFamilyAllowed(int fileConfigId, int deviceConfigId, AccessLevel level)
{
    // Data of another family is never written unasked, whatever the level: it makes the unit
    // another product.
    if (fileConfigId < 1 || deviceConfigId < 1 || fileConfigId == deviceConfigId)
        co_return true;
    const std::pair<int, int> pair{fileConfigId, deviceConfigId};
    if (otherFamilyAccepted_ == pair) {
        otherFamilyAccepted_.reset();
        co_return true;
    }
    const QString incompatible =
        QCoreApplication::translate("DeviceWrites", "Data (ConfigID=%1) not compatible to connected hardware (ConfigID=%2)")
            .arg(fileConfigId)
            .arg(deviceConfigId);
    if (!level.mayWriteOtherFamily()) {
        tellError(incompatible, MsgIcon::Critical);
        co_return false;
    }
    const QString error = QCoreApplication::translate("DeviceWrites", "Error");
    const QString question = incompatible + crLf() + QCoreApplication::translate("DeviceWrites", "Do You really want to continue?");
    const MsgAnswer answer = co_await ctx_.dialogs.ask(Question::ConfigIdMismatch, question, MsgButtons::YesNo,
                                                       MsgIcon::Critical, error);
    if (answer == MsgAnswer::Yes)
        otherFamilyAccepted_ = pair;
    co_return answer == MsgAnswer::Yes;
}

QCoro::Task<bool> DeviceWrites::imageFitsDevice(AccessLevel level)
{
    const DeviceImage& image = ctx_.image;
    const bool sameFamilyOrAllowed = co_await otherFamilyAllowed(image.fileConfigId, image.deviceConfigId, level);
    if (!sameFamilyOrAllowed) {
        dropIncompatibleData();
        co_return false;
    }
    otherFamilyAccepted_.reset();
    // The image was read from another device: writing it here would mix two devices.
    if (!level.writesWithoutCompatibilityCheck() && image.deviceConfigId != image.imageConfigId) {
        ctx_.progress.setVisible(false);
        co_return false;
    }
    co_return true;
}

QCoro::Task<WriteResult> DeviceWrites::write(WriteMode mode)
{
    const DeviceTransfers::RunningCommand command(transfers_, false);
    if (!command.granted())
        co_return WriteResult::NothingSent;
    lastResult_ = WriteResult::NothingSent;
    extendedSent_ = false;
    storesBefore_ = ctx_.engine.state().storesAnswered;
    const std::optional<PlannedWrite> plan = co_await planWrite(mode);
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

QCoro::Task<std::optional<DeviceWrites::PlannedWrite>> DeviceWrites::planWrite(WriteMode mode)
{
    ProgressBars& progress = ctx_.progress;
    DeviceImage& image = ctx_.image;
    progress.setAllSent(false);
    progress.restart(ParamCount);

    if (ctx_.port.state().portNumber < 1 || !ctx_.port.state().adapterFound) {
        tellError(QCoreApplication::translate("DeviceWrites", "Device type not detected.") + crLf()
                  + QCoreApplication::translate("DeviceWrites", "Please check your serial connection and COM-Port settings! "));
        co_return std::nullopt;
    }

    co_await transfers_.detectDevice();
    if (image.deviceConfigId == 0)
        co_return std::nullopt;

    PlannedWrite plan;
    plan.accessLevel = level();
    if (!co_await imageFitsDevice(plan.accessLevel))
        co_return std::nullopt;

    progress.setPartialBar(PartialBar::FollowsOverall);
    progress.setAllSent(false);
    ctx_.views.logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
    for (int nr = 0; nr <= ParamCount; ++nr) {
        if (!image.value[nr].isEmpty() && image.changed[nr])
            ++plan.changedCount;
    }
    if (mode == WriteMode::AsEdited)
        co_await image.checkUninitialisedValues(plan.accessLevel.mayInitialiseErasedValues(), ctx_.dialogs);
    co_await ctx_.engine.untilIdle(WaitForeverMs);
    // The write sends these values, whatever happens to the image while it runs.
    plan.values = image.value;
    const bool everything = writesEveryValue();
    ParamArray<bool> chosen{};
    for (int nr = 1; nr <= ParamCount; ++nr)
        chosen[nr] = image.applicable[nr] && (everything || image.changed[nr]);
    plan.cells = parameterCells(plan.values, chosen);
    // A value its cell cannot hold exactly would be left out or changed on its way: the
    // device would not end up as the user meant. Nothing is sent then.
    if (!plan.cells.unwritable.isEmpty()) {
        tellError(QCoreApplication::translate("DeviceWrites", "These values cannot be written to the device, so nothing was written:")
                  + crLf() + plan.cells.unwritable.join(QStringLiteral(", ")));
        ctx_.progress.setVisible(false);
        co_return std::nullopt;
    }
    if (!co_await askBeforeWriting(plan, chosen))
        co_return std::nullopt;
    co_return plan;
}

QCoro::Task<bool> DeviceWrites::askBeforeWriting(PlannedWrite& plan, const ParamArray<bool>& chosen)
{
    const DeviceImage& image = ctx_.image;
    // Every question comes before the first packet that changes the device. Values outside the
    // range their description states may be what the user means (the device may take more),
    // but never unasked.
    if (const QStringList outside = valuesOutsideStatedRange(plan.values, chosen); !outside.isEmpty()) {
        const MsgAnswer answer = co_await ctx_.dialogs.ask(
            Question::OutOfRange,
            QCoreApplication::translate("DeviceWrites", "These values are outside the range their description states:") + crLf()
                + outside.join(QStringLiteral(", ")) + crLf() + QCoreApplication::translate("DeviceWrites", "Write them anyway?"),
            MsgButtons::YesNo, MsgIcon::Exclamation, defaultTitle());
        if (answer != MsgAnswer::Yes) {
            ctx_.progress.setVisible(false);
            co_return false;
        }
    }
    const ExtendedDataStore& store = image.extended;
    if (!extendedDataEmpty(store) && !store.used)
        plan.extendedData = co_await ctx_.dialogs.ask(
            Question::ExtendedData,
            QCoreApplication::translate("DeviceWrites", "Extended Data is to be written to the device. That could take a while.") + crLf()
                + QCoreApplication::translate("DeviceWrites", "YES to proceed, NO to write parameters only or CANCEL to finish."),
            MsgButtons::YesNoCancel, MsgIcon::None, defaultTitle());
    if (plan.extendedData != MsgAnswer::Cancel) {
        const auto carries = [&plan](CalibrationKind calibration) {
            return std::any_of(plan.cells.uploads.cbegin(), plan.cells.uploads.cend(),
                               [calibration](const CellUpload& upload) { return upload.calibration == calibration; });
        };
        if (carries(CalibrationKind::Frequency))
            plan.writesFrequencyCalibration = co_await mayWriteCalibration(true);
        if (carries(CalibrationKind::GainPhase))
            plan.writesGainPhaseCalibration = co_await mayWriteCalibration(false);
    }
    if (ctx_.dialogs.questionRefused()) {
        // Nobody could answer: the device is left as it is rather than written half-way as meant.
        ctx_.progress.setVisible(false);
        co_return false;
    }
    co_return true;
}

QCoro::Task<> DeviceWrites::writeParametersOnly(const PlannedWrite& plan)
{
    ProgressBars& progress = ctx_.progress;
    progress.setPartialBar(PartialBar::Parameters);
    progress.restart(plan.changedCount + 1);
    showProgressBar();
    co_await parameterWrite(plan);
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
    const MsgAnswer answer = plan.extendedData;
    if (answer == MsgAnswer::Yes && !co_await writeExtendedData(store))
        co_return;
    if (answer == MsgAnswer::Yes || answer == MsgAnswer::No) {
        co_await parameterWrite(plan);
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

QCoro::Task<> DeviceWrites::parameterWrite(const PlannedWrite& plan)
{
    EngineState& engine = ctx_.engine.state();
    DeviceImage& image = ctx_.image;

    ctx_.engine.holdSending();
    kept_.fill(false);
    uploadedValues_ = plan.values;
    uploadCells_.clear();
    engine.uploadsAnswered.clear();
    ctx_.engine.sendPacket(ConfigEnable, 0, 0);
    for (const CellUpload& upload : plan.cells.uploads) {
        for (const int nr : upload.parameters)
            image.changed[nr] = false;
        const bool keep = (upload.calibration == CalibrationKind::Frequency && !plan.writesFrequencyCalibration)
                          || (upload.calibration == CalibrationKind::GainPhase && !plan.writesGainPhaseCalibration);
        if (keep) {
            for (const int nr : upload.parameters)
                kept_[nr] = true;
            continue;
        }
        uploadCells_.append({cellAddress(upload.index, upload.subindex), upload.parameters});
        ctx_.engine.sendPacket(Upload, upload.index, static_cast<std::uint8_t>(upload.subindex), upload.data);
    }
    if (!engine.queue.isEmpty()) {
        showProgressBar();
        ctx_.progress.setDetail({});
        ctx_.progress.measureFromNextPacket();
    }
    ctx_.engine.sendPacket(FlashConfig, 0, 0);
    if (ctx_.resetsBeforeTransmit())
        co_await ctx_.port.resetDevice();
    ctx_.engine.startSending();
}

DeviceWrites::WrittenParameters DeviceWrites::writtenParameters() const
{
    WrittenParameters written;
    const QSet<quint32>& answered = ctx_.engine.state().uploadsAnswered;
    for (const auto& [address, parameters] : uploadCells_) {
        for (const int nr : parameters) {
            written.planned[static_cast<std::size_t>(nr)] = true;
            written.reached[static_cast<std::size_t>(nr)] = answered.contains(address);
        }
    }
    return written;
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
