#pragma once

#include "files/config_file_writer.h"
#include "access/access_level.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "transfer/progress_bars.h"
#include "params/device_image.h"
#include "params/value_compare.h"
#include "records/operation_record.h"
#include "transfer/parameter_read.h"
#include "transfer/parameter_write.h"
#include "transfer/transfer_context.h"

#include <QCoroTask>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tunekit {

class Clock;
class Dialogs;
class HostFacts;
class SerialLine;
struct VersionInfo;

// The outside world of one station: its line, the clock and whoever answers its questions.
struct StationSeams {
    SerialLine& line;
    Clock& clock;
    Dialogs& dialogs;
};

// How a read ended.
struct ReadOutcome {
    bool complete = false;   // every request was answered and every parameter has its value
    int configId = 0;        // the family the device reported; 0 = no device answered
    bool familyKnown = false; // configId is a family Tunekit has parameters for; else nothing was read
    // Parameters of the family left without a value: asked for and not answered, refused by the
    // device (UnknownResponse or OperationFailed), or never asked for because the read stopped.
    QStringList missing;
    QStringList refused;
    QStringList notAsked;
    bool everyValue() const { return missing.isEmpty() && refused.isEmpty() && notAsked.isEmpty(); }
};

// What an incomplete read left without a value, in words: who did not answer, who refused, how
// many were never asked for.
QString unreadValuesText(const ReadOutcome& read);

// Where a backup went.
struct BackupOutcome {
    enum class Status {
        Saved,
        NoFolder,   // the folder cannot be made
        NoName,     // no new file can be made in the folder
        NotWritten, // the file could not be written whole
    };
    Status status = Status::NotWritten;
    QString path;
};

// What a write did to the device.
struct WriteReport {
    WriteResult result = WriteResult::NothingSent;
    bool anythingSent = false;     // a packet that changes the device went out
    bool extendedDataSent = false; // extended data went out (it cannot be read back)
};

// What the read-back after a write found.
struct VerifyReport {
    ReadOutcome readBack;
    QList<ValueDifference> mismatches; // the written value against the one read back
    bool verified = false;             // read back whole, and the device holds the written values
};

// How far programming a unit got, and what each step found. Nothing was written before
// NotWritten.
struct ProgramReport {
    enum class Stage { Stopped, ReadIncomplete, BackupFailed, FileRefused, NotWritten, PartlyWritten, Written,
                       NotVerified, Verified };
    // Stopped: told to stop (stopAfterCurrent); Written: not read back; NotVerified: the read-back
    // was incomplete or found other values.
    Stage stage = Stage::Stopped;
    ReadOutcome read;               // before the write, with a backup only
    BackupOutcome backup;
    QList<ValueDifference> changes; // the unit's value before, the file's after; with a backup only
    WriteReport write;
    VerifyReport verify;
};

// The steps of programming a unit a front end follows; TransferEnded ends a read, write or read-back.
enum class ProgramStep { Reading, BackedUp, Opening, Writing, Verifying, TransferEnded };

// How to program a unit: the file it gets, where its backup goes, whether it is read back.
struct ProgramRequest {
    QString file;
    QString backupFolder; // "": the unit is neither read nor backed up before the write
    bool verify = true;
    const HostFacts& host;
    const VersionInfo& version;
    // Told of each step with the report so far; false before Opening or Verifying stops there.
    std::function<bool(ProgramStep, const ProgramReport&)> step;
    // A restore: the file's values go back exactly as they are, erased ones erased, with no
    // defaults put in their place.
    bool exact = false;
};

// One connected transmitter and every operation on it. The station owns its port, engine,
// device image and transfers; the window, tunekit-cli and a production line are front ends
// on it. Operations are coroutines: several stations run side by side in one thread, each
// waiting on its own device without holding up the others. One command at a time per station:
// an operation asked for while another runs is refused (it does nothing).
class Station {
public:
    // accessLevel tells the access level in force.
    Station(StationSeams seams, StationViews& views, std::function<AccessLevel()> accessLevel);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Where the device is reset; the window keeps the default, its own rules (after every
    // batch, and as the Tools tab says). The command line and production reset only where the
    // device needs it: once when connecting, once after a write stored values (before the
    // read-back, which then shows that they survived the restart), and after a batch that was
    // given up.
    void setResetPolicy(ResetPolicy policy) noexcept { engine_.setResetPolicy(policy); }

    // The engine's clock tick; the front end calls it every 10 ms.
    void tick() { engine_.transmitTick(); }
    // Opens port number (1..) as the adapter's port; false, after telling the user, when it
    // cannot be opened.
    bool openAdapterPort(qint16 number);
    void closePort() { port_.closePort(); }
    // An operation is under way, a command runs or the engine still works through a batch.
    bool busy() const { return operations_ > 0 || transfers_->commandRunning() || transfers_->engineBusy(); }

    // Asks the device for its family; 0 when none answered (the user was told).
    QCoro::Task<int> detect();
    // Reads every parameter of the family into the image; ends when the last answer is in.
    QCoro::Task<ReadOutcome> readParameters();
    // Reads the information texts, the operating time and the interpreter's information.
    QCoro::Task<ReadOutcome> readInformation();
    // Writes the image (and the extended data on request) and tells what went out.
    QCoro::Task<WriteReport> writeImage(WriteMode mode = WriteMode::AsEdited);
    // Reads the device back after a write and compares it with the values the write meant to
    // leave there: the file's, with the defaults the user took for values that looked erased,
    // but not calibration values the user chose to keep.
    QCoro::Task<VerifyReport> verifyWrite();
    // Saves what was read as a backup that restores the device exactly, under a name of its
    // own in folder: SERIAL_DATE-TIME.scd (-2, -3 ... when taken). The file is complete on disk
    // when this returns Saved.
    BackupOutcome saveBackup(const QString& folder, const HostFacts& host, const VersionInfo& version);
    // Programs the connected unit with a file: reads it and saves its backup, loads the file with
    // the seams' answers, writes it, and reads the unit back. Ends at the first step that fails,
    // and before the backup or the write once told to stop. The record gets the unit's facts
    // once it was read whole (before the write, or else in its read-back), the backup and what
    // the write changed.
    QCoro::Task<ProgramReport> programUnit(ProgramRequest request, records::OperationRecord& record);
    // The transmitter's serial number as the window shows it, once its values are read.
    QString serialNumber();
    // What writing the file loaded into the image would change on a device that holds
    // deviceValues; a file made for another family differs first of all in its ConfigID.
    QList<ValueDifference> differencesFromDevice(const ParamArray<QString>& deviceValues, int deviceConfigId) const;
    QCoro::Task<> readInterpreterInfo();
    QCoro::Task<> redetect();
    QCoro::Task<> writeTestInterpreter(QString programFolder);
    QCoro::Task<> reset();
    // Lets the packet on the line finish and sends nothing more (a signal stopped the run).
    void stopAfterCurrent() { engine_.stopAfterCurrent(); }

    SerialPortAccess& port() noexcept { return port_; }
    const SerialPortAccess& port() const noexcept { return port_; }
    TransmitEngine& engine() noexcept { return engine_; }
    const TransmitEngine& engine() const noexcept { return engine_; }
    DeviceImage& image() noexcept { return image_; }
    const DeviceImage& image() const noexcept { return image_; }
    TransferOptions& options() noexcept { return options_; }
    const TransferOptions& options() const noexcept { return options_; }
    DeviceTransfers& transfers() noexcept { return *transfers_; }
    DeviceWrites& writes() noexcept { return *writes_; }

private:
    // Only where the device needs resets: once a write is over, the device that was sent new
    // values (and not reset since) restarts with them.
    QCoro::Task<> restartAfterWrite();

    StationSeams seams_;
    std::function<AccessLevel()> accessLevel_;
    SerialPortAccess port_;
    TransmitEngine engine_;
    ProgressBars progress_;
    DeviceImage image_;
    TransferOptions options_;
    std::unique_ptr<DeviceTransfers> transfers_;
    std::unique_ptr<DeviceWrites> writes_;
    int operations_ = 0; // operations under way (one calls others)
};

} // namespace tunekit
