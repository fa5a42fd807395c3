#pragma once

#include "base/dialogs.h"
#include "params/parameter_cells.h"
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

// How a write treats the values it is given.
enum class WriteMode {
    AsEdited, // the window's rules: values that look erased may get their defaults (asked first)
    Exact,    // a restore: every value goes back as it is, erased ones erased
};

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
    QCoro::Task<WriteResult> write(WriteMode mode = WriteMode::AsEdited);
    WriteResult lastResult() const noexcept { return lastResult_; }
    // The parameters whose cells the last parameter write sent, with the values it sent.
    const ParamArray<QString>& uploadedValues() const noexcept { return uploadedValues_; }
    // The calibration values the user chose to keep as the device has them.
    const ParamArray<bool>& kept() const noexcept { return kept_; }
    // The parameters the last parameter write had Uploads for, and those whose Upload the device
    // answered: those values reached it.
    struct WrittenParameters {
        ParamArray<bool> planned{};
        ParamArray<bool> reached{};
    };
    WrittenParameters writtenParameters() const;
    // The last write sent extended data (some of it, at least).
    bool extendedDataSent() const noexcept { return extendedSent_; }
    // Sends "xtest.bin" from the program's folder as the interpreter and waits for it; a packet
    // the device refuses is told like in a write.
    QCoro::Task<> writeTestInterpreter(QString programFolder);

    // Whether data of fileConfigId may go to a device of deviceConfigId: always when they are of
    // one family; never unasked otherwise, and never below the level that may be asked (the user
    // is told). A yes holds for the next write of that pair, which then does not ask again, so
    // that a unit can be checked before its backup and asked once; forgetAnswer drops it.
    QCoro::Task<bool> otherFamilyAllowed(int fileConfigId, int deviceConfigId, AccessLevel level);
    void forgetAnswer() noexcept { otherFamilyAccepted_.reset(); }

    // Shows the progress window with "data transfer...".
    void showProgressBar();

    static QString doneText();
    // The failure message for a write packet the device refused, naming the packet.
    static QString refusalText(const RefusedPacket& refusal);

private:
    // What a write sends, fixed once the checks have passed and every question is answered.
    struct PlannedWrite {
        AccessLevel accessLevel;
        ParamArray<QString> values;
        qint32 changedCount = 0; // changed values before erased ones were given defaults
        ParameterCells cells;    // the parameter Uploads
        bool writesFrequencyCalibration = true;
        bool writesGainPhaseCalibration = true;
        // With extended data: Yes writes it too, No the parameters only, Cancel nothing.
        MsgAnswer extendedData = MsgAnswer::No;
    };

    AccessLevel level() const;
    // Every value goes out, changed or not: the Tools tab's option is off, or the level says so.
    bool writesEveryValue() const;
    // The message box titled "Error".
    void tellError(const QString& text, MsgIcon icon = MsgIcon::Exclamation);
    // The checks and questions before anything is sent: a port, a detected device the image
    // fits, values its cells can hold, the user's answers (a question nobody could answer ends
    // the write). Nothing when the write ends there (the user was told).
    QCoro::Task<std::optional<PlannedWrite>> planWrite(WriteMode mode);
    // The questions a write asks before its first packet: values outside their stated range, the
    // extended data, the calibration values. False when the answers leave the device as it is.
    QCoro::Task<bool> askBeforeWriting(PlannedWrite& plan, const ParamArray<bool>& chosen);
    // Queues ConfigEnable, the planned Uploads and FlashConfig, and starts the engine; the
    // caller waits.
    QCoro::Task<> parameterWrite(const PlannedWrite& plan);
    QCoro::Task<> writeParametersOnly(const PlannedWrite& plan);
    // Sends the extended data as the plan's answer says, and the parameters.
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

    DeviceTransfers& transfers_;
    TransferContext ctx_;
    ExtendedDataWriter extended_;
    WriteResult lastResult_ = WriteResult::NothingSent;
    std::optional<std::pair<int, int>> otherFamilyAccepted_; // file and device ConfigID
    ParamArray<bool> kept_{};
    bool extendedSent_ = false;
    qint64 storesBefore_ = 0; // the engine's stored configurations when the write began
    ParamArray<QString> uploadedValues_;
    // The last parameter write's Uploads, by cell address, with the parameters each carries.
    QList<QPair<quint32, QList<int>>> uploadCells_;
};

} // namespace tunekit
