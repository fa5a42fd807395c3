#pragma once

#include "base/language.h"
#include "base/version_info.h"
#include "session/station.h"
#include "cli/cli_options.h"
#include "cli/cli_seams.h"
#include "sim/line_plan.h"
#include "cli/message_codes.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <memory>
#include <optional>

namespace tunekit::cli {

// One run of tunekit-cli: builds the logic with the command line's seams and carries out one
// command with the same commands the window's buttons call. Its time, line, records, output and
// environment come from the run's seams.
class CliRun {
    Q_DECLARE_TR_FUNCTIONS(Cli)

public:
    // A channel among several prints nothing; its result is its document.
    enum class Output { Printed, Channel };
    CliRun(const Options& options, UiLanguage& language, const MessageCodes& codes, RunSeams seams,
           Output output = Output::Printed);
    ~CliRun();
    CliRun(const CliRun&) = delete;
    CliRun& operator=(const CliRun&) = delete;

    // Ends with the command; the caller runs the event loop meanwhile.
    QCoro::Task<Exit> run();
    // A channel named by the USB serial number of an adapter that is not plugged in: the run
    // ends at once (exit 3), with its record and document.
    QCoro::Task<Exit> adapterMissing(QString serial);
    // The --json document of the run, also when it was not printed; complete once run() has ended,
    // but for the records command's records, which are printed as they are read and not kept.
    const QJsonObject& document() const noexcept { return document_; }
    // The last thing the run told the user: its own line, else the last message of its answers.
    QString lastMessage() const;
    // Stops a running write after the packet on the line (Ctrl-C, SIGTERM).
    void interrupt();

private:
    QCoro::Task<Exit> runCommand();
    Exit ports();
    QCoro::Task<Exit> detect();
    QCoro::Task<Exit> read();
    QCoro::Task<Exit> diff();
    QCoro::Task<Exit> write();
    // What a write's or restore's report comes to: the exit status, with its messages told.
    Exit programmedExit(const ProgramReport& programmed, bool restore);
    Exit verify();
    QCoro::Task<Exit> convert();
    QCoro::Task<Exit> report();
    Exit records();
    // One record as the records command prints it (--json, --csv or a line), after the head that
    // comes before the first.
    QString recordText(const records::OperationRecord& record, bool first);

    // The access level the password unlocks (once).
    Exit findAccessLevel();
    // The station of a device command, with its line, before anything is checked: its record
    // covers the whole run.
    void buildStation();
    // Opens the port and detects the device; the access level comes from the password.
    QCoro::Task<Exit> connect();
    // Reads every parameter (and with info the information); anything unanswered is an error.
    QCoro::Task<Exit> readDevice(bool info);
    // Tells where the backup before a write went, or why there is none.
    void tellBackup(const BackupOutcome& backup);
    // Told when a write stopped after data went out: what the device holds and how to undo it.
    void tellPartlyWritten(const QString& backup);
    // The command line that writes the backup back.
    QString restoreCommand(const QString& backup) const;
    // Exists and is readable.
    Exit requireFile(const QString& path);
    // Why a file cannot be read (missing, a folder, not permitted); "" when it can.
    static QString fileReadProblem(const QString& path);
    // -o and --log can be written, checked before the device is touched.
    Exit outputsWritable();
    // Exists, reads and is valid for this access level: checked before the device is touched.
    Exit checkFile(const QString& path);
    // Opens the file as the level does into an image of its own: refused when it cannot be read
    // or holds nothing to write; its lines that set nothing are listed (refused with --strict).
    Exit examineFile(const QString& path, AccessLevel level);
    // A file changed after its checksum was made is written only when --convert-checksum gives it
    // a new one.
    Exit checkChecksumBeforeWrite(const QString& path);
    void printValues();
    // What an incomplete read (or information read) means for the run; Ok describes the unit in the record.
    // information: the information read's outcome, when there was one.
    Exit readProblems(const ReadOutcome& read, const ReadOutcome* information = nullptr);
    // A line of the command line's own on standard error (always) or as a note (unless -q),
    // kept as a message of the --json document.
    void tell(const QString& text, MsgIcon icon);
    void error(const QString& text) { tell(text, MsgIcon::Critical); }
    void note(const QString& text) { tell(text, MsgIcon::Information); }
    // Ends the run: the record of a device command is kept once everything else reached standard
    // output, so that it holds the run's final exit code; the --json document names it last.
    QCoro::Task<Exit> finish(Exit exit);
    // Keeps the record of a device command; a record that is lost makes the run fail.
    QCoro::Task<Exit> keepRecord(Exit exit);
    // The --json document printed in two parts: all but the record, the messages and the exit
    // code, then those.
    void printDocumentHead();
    void printDocumentTail(Exit exit);
    QJsonArray messagesJson() const;

    Options options_;
    RunSeams seams_;
    LinePlan plan_;
    Output output_;
    QJsonObject document_; // the --json document; each step puts in what it found
    UiLanguage& language_;
    const MessageCodes& codes_;
    Console console_;
    CliDialogs dialogs_;
    CliViews views_;
    CliHost host_;
    std::unique_ptr<SerialLine> line_;
    std::unique_ptr<Station> station_;
    VersionInfo version_ = makeVersionInfo();
    // The records command's --json document is printed while the records are read: once its
    // head is out, the fields it printed, and whether a record followed. finish prints the rest.
    std::optional<QStringList> headFields_;
    bool elementPrinted_ = false;
    std::unique_ptr<records::RecordSink> records_; // where a device command's record goes
    QString missingAdapter_; // the USB serial number of a channel's adapter that is not plugged in
    QString lastMessage_;             // the last line told, for the record
    QString portName_;      // as the system names it, for messages
    std::optional<AccessLevel> level_; // none until the password was looked at
    bool interrupted_ = false;
    // The clock outlives the run: its ticker ticks the station only while this lives.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::unique_ptr<QFile> trace_; // --log
    bool traceFailed_ = false;
};

} // namespace tunekit::cli
