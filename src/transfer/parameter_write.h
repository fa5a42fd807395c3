#pragma once

#include "base/dialogs.h"
#include "transfer/extended_write.h"
#include "transfer/transfer_context.h"

#include <QByteArray>
#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <optional>

namespace tunekit {

class DeviceTransfers;
struct ConfigDefine;
struct RefusedPacket;

// Upload data encodings, low byte first. std::nullopt when the text holds no value the cell
// can take; such a value is left out of the write and named to the user.
// Only whole numbers the cell holds exactly are encoded: nothing is rounded or clamped.
// 8 bits: 0..255; a "signed char" from -128 to -1 is increased by 256.
std::optional<QByteArray> encode8Bit(const QString& text, bool isSigned = false);
// 16 bits: 0..65535.
std::optional<QByteArray> encode16Bit(const QString& text);
// 32 bits with bit 31 clear (the device reads the cell as signed): 0..2147483647; -1, as an
// erased cell reads, gives FF FF FF FF.
std::optional<QByteArray> encode32Bit(const QString& text);
// Day, month, year - 2000 from "dd.mm.yyyy" (leading zeros optional); "0.0.0000" gives zeros.
std::optional<QByteArray> encodeDate(const QString& text);
// FreqComp: -10..10 as the shown value + 10; 21..255, which a read shows unchanged, as it is.
std::optional<QByteArray> encodeFreqComp(const QString& text);
// The cell of GainComp and PhaseComp: low byte the gain, high byte the phase, each -128..255
// with a negative value increased by 256.
std::optional<QByteArray> encodeGainPhase(const QString& phase, const QString& gain);
// By DSize and DType: 8, 16, 32 bits or the date (DSize 1); other sizes have no encoding.
std::optional<QByteArray> encodeBySize(const ConfigDefine& define, const QString& text);

// How the last write ended.
enum class WriteResult {
    NothingSent, // refused by the rules, cancelled, or no device: the device is as it was
    Failed,      // a batch was given up or a packet refused; the user was told
    Done,        // everything was sent and acknowledged
};

// The writing side of the device transfers: the write of the image (and a file's extended
// data), the parameter write and the test interpreter write. A write is one of DeviceTransfers'
// commands: refused while another command or batch is under way, and it refuses others while
// it runs.
class DeviceWrites {
public:
    explicit DeviceWrites(DeviceTransfers& transfers);
    DeviceWrites(const DeviceWrites&) = delete;
    DeviceWrites& operator=(const DeviceWrites&) = delete;

    // Checks, detection, extended data on request, parameters, "Done!"; ends when the device
    // has stored the values (or the write stopped).
    QCoro::Task<WriteResult> write();
    WriteResult lastResult() const noexcept { return lastResult_; }
    // The parameters whose cells the last parameter write sent, with the values it sent.
    const ParamArray<QString>& uploadedValues() const noexcept { return uploadedValues_; }
    // The calibration values the user chose to keep as the device has them.
    const ParamArray<bool>& kept() const noexcept { return kept_; }
    // The last write sent extended data (some of it, at least).
    bool extendedDataSent() const noexcept { return extendedSent_; }
    // Sends "xtest.bin" from the program's folder as the interpreter and waits for it; a packet
    // the device refuses is told like in a write.
    QCoro::Task<> writeTestInterpreter(QString programFolder);

    // Queues ConfigEnable, the Uploads of the given values (the write's copy of the image) and
    // FlashConfig, and starts the engine; the caller waits.
    QCoro::Task<> parameterWrite(const ParamArray<QString>& values);
    // Shows the progress window with "data transfer...".
    void showProgressBar();

    static QString doneText();
    // The failure message for a write packet the device refused, naming the packet.
    static QString refusalText(const RefusedPacket& refusal);

private:
    // What a write sends, fixed once the checks have passed.
    struct PlannedWrite {
        AccessLevel accessLevel;
        ParamArray<QString> values;
        qint32 changedCount = 0; // changed values before erased ones were given defaults
    };

    AccessLevel level() const;
    // Every value goes out, changed or not: the Tools tab's option is off, or the level says so.
    bool writesEveryValue() const;
    // The message box titled "Error".
    void tellError(const QString& text, MsgIcon icon = MsgIcon::Exclamation);
    // The checks before anything is sent: a port, a detected device the image fits, values
    // its cells can hold. Nothing when the write ends there (the user was told).
    QCoro::Task<std::optional<PlannedWrite>> planWrite();
    QCoro::Task<> writeParametersOnly(const PlannedWrite& plan);
    // Asks whether the extended data goes too, then sends it and the parameters.
    QCoro::Task<> writeWithExtendedData(const PlannedWrite& plan, const ExtendedDataStore& store);
    // Whether the image may be written to the detected device: data of another family is refused
    // below the level that may be asked about it, and an image read from another device is never
    // written here. False when the write ends (the user was told, or the image emptied).
    QCoro::Task<bool> imageFitsDevice(AccessLevel level);
    // Data of another family refused: the image is emptied so a second click cannot write it
    // either.
    void dropIncompatibleData();
    // The calibration rule; frequency: FreqComp, else GainComp and PhaseComp together.
    QCoro::Task<bool> mayWriteCalibration(bool frequency);
    // Waits until the batch and the reset after it are over. False, after the failure message,
    // when the device refused a packet: the write ends there.
    QCoro::Task<bool> finishBatch();
    // False when the write ended (a refused packet or a block too long for its place).
    QCoro::Task<bool> writeExtendedData(const ExtendedDataStore& store);
    void useUpExtendedData();
    // The values (as "Name=value") the write would send but their cells cannot hold exactly.
    QStringList unwritableValues(const ParamArray<QString>& values) const;
    // Puts the data of a shared cell (sharedCell without special) together by firstByte.
    std::optional<QByteArray> sharedCellData(int nr, const ParamArray<QString>& values);

    DeviceTransfers& transfers_;
    TransferContext ctx_;
    ExtendedDataWriter extended_;
    WriteResult lastResult_ = WriteResult::NothingSent;
    ParamArray<bool> kept_{};
    bool extendedSent_ = false;
    ParamArray<QString> uploadedValues_;
};

} // namespace tunekit
