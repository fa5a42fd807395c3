#pragma once

#include "access/access_level.h"
#include "consoles/console_commands.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "link/serial_port_access.h"
#include "link/transmit_engine.h"
#include "transfer/progress_bars.h"
#include "params/device_image.h"
#include "params/value_compare.h"
#include "records/operation_record.h"
#include "records/record_keeper.h"
#include "session/operation_dialogs.h"
#include "transfer/parameter_read.h"
#include "transfer/parameter_write.h"
#include "transfer/transfer_context.h"

#include <QCoroTask>
#include <QDate>
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
    bool busy = false;       // not begun: the station was running another operation
    bool cancelled = false;  // ended early: the station's operation was cancelled
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
    bool busy = false;      // not begun: the station was running another operation
    bool cancelled = false; // ended early: the station's operation was cancelled
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
    enum class Stage { Busy, Cancelled, Stopped, ReadIncomplete, BackupFailed, FileRefused, NotWritten, PartlyWritten,
                       Written, NotVerified, Verified };
    // Busy: not begun, the station was running another operation; Cancelled: ended early, the
    // station's operation was cancelled (what the unit holds is not known); Stopped: told to
    // stop (stopAfterCurrent); Written: not read back; NotVerified: the read-back was incomplete
    // or found other values.
    Stage stage = Stage::Stopped;
    ReadOutcome read;               // before the write
    BackupOutcome backup;
    WriteReport write;
    VerifyReport verify;
};

// The steps of programming a unit a front end follows; TransferEnded ends a read, write or read-back.
enum class ProgramStep { Reading, BackedUp, Opening, Writing, Verifying, TransferEnded };

// How to program a unit: the file it gets, where its backup goes, whether it is read back.
struct ProgramRequest {
    QString file;
    // "": no backup; the unit is still read before the write, for its record, and written
    // whatever that read found.
    QString backupFolder;
    bool verify = true;
    const HostFacts& host;
    const VersionInfo& version;
    // Told of each step with the report so far; false before Opening or Verifying stops there.
    std::function<bool(ProgramStep, const ProgramReport&)> step;
    // A restore: the file's values go back exactly as they are, erased ones erased, with no
    // defaults put in their place.
    bool exact = false;
};

// Where a station's records say it works.
struct RecordSite {
    QString station; // the host's name
    QString port;    // as the user knows it ("/dev/ttyUSB0", "COM7", "simulated")
    QString adapter; // the programming adapter's USB serial number
};

// Which of a station's operations leave a record.
enum class Recording {
    Off,
    HeldRuns,       // only the runs a front end holds open (beginRun to endRun): a command, a unit
    EveryOperation, // and each operation started outside such a run, on its own (the window)
};

// How a station starts working with the device behind its port.
struct StartUp {
    int settleMs = 0;           // waited first: the window gives the adapter a second
    bool detectWithoutPort = false; // asks for the device even when no port is open (the window's way)
    ParamArray<bool> levelMarks{};  // the parameters the access level reaches
    Language language = Language::English; // of the parameters' names and descriptions
};

// One connected transmitter and every operation on it. The station owns its port, engine,
// device image and transfers, and hands out copies of what they hold, never themselves; the
// window, tunekit-cli and a production line are front ends on it. Operations are coroutines:
// several stations run side by side in one thread, each waiting on its own device without
// holding up the others. One operation at a time per station: one asked for while another runs
// is refused, and its result says so (busy). The station owns the operation it runs: cancel()
// ends it at once, as does the station's end, and its result says so (cancelled).
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

    // Received packets reach the views at every level, not only from the level that sees them in
    // the packet console (a production channel's trace).
    void traceReceivedTraffic() { engine_.setReceivedTrafficShown([] { return true; }); }
    // The engine's clock tick; the front end calls it every 10 ms.
    void tick() { engine_.transmitTick(); }
    // An operation is under way, a command runs or the engine still works through a batch.
    bool busy() const
    {
        return closed_ || operations_ > 0 || transfers_->commandRunning() || transfers_->engineBusy();
    }
    // Ends the operation under way before this returns: its waits (on the device, the clock,
    // a question to the user, a record's store) go on at once, nothing more is sent, and its
    // result says cancelled. A record of its own is kept as cancelled.
    void cancel();
    // Cancels and refuses every operation from now on: the front end that owns the station is
    // closing. The station's end does the same.
    void close();

    // The port. Opens port number (1..) as the adapter's port; false, after telling the user,
    // when it cannot be opened.
    bool openAdapterPort(qint16 number);
    void closePort() { port_.closePort(); }
    // Whether port number could be opened (it is closed again).
    bool probePort(int number) { return port_.probePort(number); }
    // The port discovery chose: the one in use, and where the adapter was found.
    void choosePort(qint16 portNumber, bool adapterFound, qint16 adapterPort);
    // Opens the port in use afresh, after the pause a port needs between close and open; what
    // was read or loaded is forgotten.
    QCoro::Task<> reopenPort();
    // Forgets what was read or loaded and closes the port, before the adapter is looked for again.
    QCoro::Task<> releasePort();
    // Starts working with the device behind the port: detects it and prepares the image for its
    // family. finishStartUp then resets it (reset: when a port is in use) and takes the image's
    // family from the device's; a front end shows itself in between.
    QCoro::Task<> startUp(StartUp plan);
    QCoro::Task<> finishStartUp(bool reset);

    // Asks the device for its family; 0 when none answered (the user was told) or the station was
    // busy.
    QCoro::Task<int> detect();
    // Looks for a unit on the line without resetting it: a unit on a bench must not restart once
    // a second. Its ConfigID, 0 for none.
    QCoro::Task<int> lookForUnit();
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
    // and before the backup or the write once told to stop.
    QCoro::Task<ProgramReport> programUnit(ProgramRequest request);
    // Saves what was read to path as a file that restores the device exactly; it becomes the
    // record's file.
    WriteOutcome saveRead(const QString& path, const HostFacts& host, const VersionInfo& version);
    // The same backup as bytes, for standard output; the run's record names "-" as its file.
    QByteArray readAsBackup(const HostFacts& host, const VersionInfo& version);
    // Loads a configuration file over what the image holds, as the window opens it, asking the
    // seams' questions; Busy while an operation runs.
    OpenStatus loadFile(const QString& path, QDate today);
    // The transmitter's serial number as the window shows it, once its values are read.
    QString serialNumber() const;
    // What writing the file loaded into the image would change on a device that holds
    // deviceValues; a file made for another family differs first of all in its ConfigID.
    QList<ValueDifference> differencesFromDevice(const ParamArray<QString>& deviceValues, int deviceConfigId) const;
    // The overview's rows, each value a loaded file would change on the connected unit marked
    // with what the unit holds (as far as this station read or wrote it), until it is written.
    QList<OverviewRow> overviewRows() const;
    // How many rows are marked so.
    int fileChangeCount() const;
    QCoro::Task<> readInterpreterInfo();
    QCoro::Task<> redetect();
    QCoro::Task<> writeTestInterpreter(QString programFolder);
    QCoro::Task<> reset();
    // Lets the packet on the line finish and sends nothing more (a signal stopped the run).
    void stopAfterCurrent() { engine_.stopAfterCurrent(); }

    // What the front ends show: copies of the station's own, implicitly shared, so a copy costs
    // a few reference counts.
    // const: a change made to the copy would be lost without a word.
    const DeviceImage image() const { return image_; }
    qint16 deviceConfigId() const noexcept { return image_.deviceConfigId; }
    PortState portState() const { return port_.state(); }
    TransferOptions transferOptions() const { return options_; }
    bool paced() const noexcept { return engine_.paced(); }
    bool automaticResetOff() const noexcept { return engine_.automaticResetOff(); }
    // Packets waiting in the engine's queue.
    int queuedPackets() const;
    // A device detection is under way.
    bool detecting() const noexcept { return transfers_->detecting(); }

    // What the window and the command line set.
    void setTransferOptions(const TransferOptions& options) { options_ = options; }
    void setPaced(bool paced) { engine_.setPaced(paced); }
    // "Disable Automatic Reset on Timeout".
    void setAutomaticResetOff(bool off) { engine_.setAutomaticResetOff(off); }
    // "Use long delay on reset" and its seconds (0..9).
    void setLongDelay(bool ticked, qint16 seconds);
    // The image's names and descriptions in language.
    void showInLanguage(Language language) { image_.fillDisplayTexts(language); }
    // Changes the image: an edit in the overview or the configuration tab, a level's marks, a
    // file dropped. Refused while an operation runs (false, nothing changed).
    bool editImage(const std::function<void(DeviceImage&)>& edit);
    // The parameters the access level in force reaches, and so may be edited.
    void setLevelMarks(const ParamArray<bool>& marks);
    // Forgets the image's values and file and prepares it for a unit of any family at the level
    // whose marks are given (a production line's next unit).
    void prepareForUnit(const ParamArray<bool>& levelMarks);
    // The terminal's and the packet console's commands, on this station's port.
    ConsoleCommands consoleCommands(Dialogs& dialogs) noexcept { return ConsoleCommands(port_, engine_, dialogs); }

    // Records: where they go and which operations leave one (sink: outlives the station). The station describes each record
    // from what it sent and read: the unit as it came, the file, the backup, and the values that
    // changed as the device holds them after the write (read back, or else as the device
    // acknowledged them), with those of the file that did not reach it.
    void setRecords(records::RecordSink* sink, Recording recording) noexcept;
    // Asked when a run begins and when it ends (a port may be found meanwhile).
    void setRecordSite(std::function<RecordSite()> site) { site_ = std::move(site); }
    // Holds one record open for every operation until endRun: a command line's run, a unit on
    // the line. file: the file the run is about, when there is one.
    void beginRun(const QString& command, const QString& file = {});
    bool runOpen() const noexcept { return run_.has_value(); }
    // The open run's record as far as it is known (its id, the unit once read).
    records::OperationRecord runRecord() const;
    // Ends the open run with its result, exit code and last message and keeps its record.
    QCoro::Task<records::RecordOutcome> endRun(bool passed, int exitCode, QString message);
    // The last record the station finished, kept or not.
    records::OperationRecord lastRecord() const { return lastRecord_; }

private:
    friend class StationProbe; // white-box tests of the parts

    // Runs a public operation: its result, or whenCancelled when it was cancelled.
    template <typename Result>
    QCoro::Task<Result> unlessCancelled(QCoro::Task<Result> operation, Result whenCancelled);
    QCoro::Task<> unlessCancelled(QCoro::Task<> operation);
    // A cancelled operation's own record is kept as such, without waiting for the store.
    void endCancelledRun();

    // The operations as one another runs them, without the busy check.
    QCoro::Task<> startUpNow(StartUp plan);
    QCoro::Task<int> detectNow();
    QCoro::Task<ReadOutcome> readInformationNow();
    QCoro::Task<ReadOutcome> readNow();
    QCoro::Task<WriteReport> writeNow(WriteMode mode);
    QCoro::Task<VerifyReport> verifyNow();
    // Whether a unit of unitConfigId may get the file at path: of its family, or allowed to be
    // made another (asked once for the write that follows).
    QCoro::Task<bool> fileFitsUnit(QString path, int unitConfigId, QDate today);
    // programUnit's steps, each told to request.step; report.stage says where they ended.
    QCoro::Task<> programSteps(const ProgramRequest& request, ProgramReport& report);
    // Only where the device needs resets: once a write is over, the device that was sent new
    // values (and not reset since) restarts with them.
    QCoro::Task<> restartAfterWrite();

    // The record of one run, and what the station learnt of the device during it.
    struct RecordRun {
        records::OperationRecord record;
        bool own = false;                  // begun for one operation, not held by a front end
        bool written = false;              // something that changes the device went out
        ParamArray<QString> before{};      // the device's values before the run's first write; "" unknown
        ParamArray<bool> planned{};        // parameters a write had Uploads for
        ParamArray<bool> reached{};        // ... and the device acknowledged
        ParamArray<QString> wanted{};      // the values those Uploads carried
    };
    // Starts a record of its own for an operation that no run holds (EveryOperation); whether it
    // did. Called before the operation counts as running.
    bool beginOwnRun(const char* command);
    // Ends such a record; the user hears when it could not be stored.
    QCoro::Task<> endOwnRun(bool own, bool passed);
    // What a complete read, or a write the device acknowledged, tells of the device.
    void learnFromRead(const ReadOutcome& read);
    void learnFromWrite(const WriteReport& report);
    // The device's values changed by the run's writes, as the device holds them now.
    void describeChanges(RecordRun& run) const;

    // Ends the open run and describes its record; keep hands a record to the sink and awaits
    // the store within the operation, so that a cancel ends the wait.
    records::OperationRecord closeRun(bool passed, int exitCode, const QString& message);
    QCoro::Task<records::RecordOutcome> keep(records::OperationRecord record);

    StationSeams seams_;
    std::function<AccessLevel()> accessLevel_;
    CancelScope cancelScope_; // before the parts whose waits it ends
    OperationDialogs dialogs_;
    bool closed_ = false;
    SerialPortAccess port_;
    TransmitEngine engine_;
    ProgressBars progress_;
    DeviceImage image_;
    TransferOptions options_;
    std::unique_ptr<DeviceTransfers> transfers_;
    std::unique_ptr<DeviceWrites> writes_;
    int operations_ = 0; // operations under way (one calls others)
    records::RecordSink* records_ = nullptr;
    Recording recording_ = Recording::Off;
    std::function<RecordSite()> site_;
    std::optional<RecordRun> run_;
    records::OperationRecord lastRecord_;
    // The values the connected device holds as far as this station read or wrote them; ""
    // unknown. Forgotten when a device is detected anew.
    ParamArray<QString> deviceValues_{};
    // The unit as its last whole read described it (serial number, ConfigID, production number);
    // forgotten with deviceValues_.
    records::OperationRecord knownUnit_;
    void forgetDevice();
};

} // namespace tunekit
