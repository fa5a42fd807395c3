#pragma once

#include "base/dialogs.h"
#include "session/station.h"
#include "cli/cli_options.h"
#include "sim/line_plan.h"
#include "host/host_facts.h"
#include "link/clock.h"
#include "link/qt_clock.h"
#include "records/record_keeper.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace tunekit::cli {

// Where a run's text goes: the process's standard output and standard error, or text a test
// keeps in memory.
class Streams {
public:
    virtual ~Streams() = default;
    // False when the stream did not take all of the text.
    virtual bool out(const QString& text) = 0;
    virtual bool error(const QString& text) = 0;
    // Bytes as they are: a file's, written to standard output.
    virtual bool outBytes(QByteArrayView bytes) = 0;
    // Standard error is a terminal that takes escape codes: the progress is drawn there as a bar;
    // elsewhere it is plain lines.
    virtual bool errorIsTerminal() const = 0;
};

// The process's standard output and standard error.
class StandardStreams final : public Streams {
public:
    bool out(const QString& text) override;
    bool error(const QString& text) override;
    bool outBytes(QByteArrayView bytes) override;
    bool errorIsTerminal() const override;
};

// What the environment tells a run.
struct RunEnvironment {
    QString password;   // TUNEKIT_PASSWORD: the access level's
    QString recordsUrl; // TUNEKIT_RECORDS: where records go without --records
    QString dataFolder; // the user's data folder: the local records file and the spool
    QString port;       // TUNEKIT_PORT: the port without --port
};

// The world a run works in: its time, its line, where its records and its text go, and its
// environment. The program's own are ProcessSeams; a test gives a virtual clock, simulated
// transmitters, records kept at once on its own thread and text kept in memory.
struct RunSeams {
    Clock& clock;
    Streams& streams;
    // The line of the plan, owned by the run.
    std::function<std::unique_ptr<SerialLine>(const LinePlan&, Clock&)> makeLine;
    // Where a device command's record goes, given how to open the store the run chose.
    std::function<std::unique_ptr<records::RecordSink>(std::function<records::ChosenStore()>)> keepRecords;
    RunEnvironment environment;
};

// The program's own seams: real time, the process's standard streams, the serial ports (or the
// transmitter inside the program), a records keeper on a thread of its own, and the process's
// environment.
class ProcessSeams {
public:
    RunSeams seams();

private:
    QtClock clock_;
    StandardStreams streams_;
};

// A run's standard output and standard error. A progress line stays open on the terminal until
// anything else is printed, which first ends it.
class Console {
public:
    // A silent console prints nothing at all: a channel among several says its result through
    // its document only.
    Console(Streams& streams, bool quiet, bool silent = false)
        : streams_(streams), quiet_(quiet || silent), silent_(silent)
    {
    }
    void out(const QString& text) const;   // results, standard output
    bool outBytes(QByteArrayView bytes) const; // a file on standard output; false when it did not all go
    void error(const QString& text) const; // always shown
    void note(const QString& text) const;  // shown unless -q
    // What runs now ("reading the device"), on a line of its own, unless -q.
    void step(const QString& text) const;
    // Replaces the open progress line on the terminal.
    void progress(const QString& text) const;
    void endProgressLine() const;
    bool quiet() const noexcept { return quiet_; }
    // Writing to standard output failed (a full disk, a closed pipe): the results are lost.
    bool outputFailed() const noexcept { return outputFailed_; }
    // Something was shown as an error.
    bool errorShown() const noexcept { return errorShown_; }

private:
    Streams& streams_;
    bool quiet_;
    bool silent_;
    mutable bool progressOpen_ = false;
    mutable bool outputFailed_ = false;
    mutable bool errorShown_ = false;
};

// The window's message boxes on the command line: messages are printed and kept; questions are
// answered from the options, and without one refused with their safe answer (the command then
// ends with status 6). File dialogs answer with the paths the command set beforehand.
class CliDialogs final : public Dialogs {
public:
    struct Message {
        QString title;
        QString text;
        MsgIcon icon;
        QString answer; // a question's: "yes", "no" or "refused"; empty for a message
    };

    CliDialogs(const Answers& answers, const Console& console) : answers_(answers), console_(console) {}

    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QCoro::Task<MsgAnswer> ask(Question question, QString text, MsgButtons buttons, MsgIcon icon,
                               QString title) override;
    QCoro::Task<QString> openFileName(QString) override { co_return openPath; }
    QCoro::Task<QString> saveFileName(QString, QString) override { co_return savePath; }
    bool questionRefused() const override { return !refused.isEmpty(); }

    QString openPath;
    QString savePath;
    // The port in use as the system names it; the window's "COM=n" in messages becomes it.
    QString portName;
    QList<Message> messages;
    QStringList refused; // the options that would have answered a refused question

    // A message's text as the command line prints it: LF line ends, the port by its system name.
    QString shown(const QString& text) const;

private:
    const Answers& answers_;
    const Console& console_;
};

// The host as the command line sees it: the real system, but no settings file (the window's
// settings stay the window's).
class CliHost final : public SystemHostFacts {
public:
    QString settingsFolder() const override { return {}; }
};

// The window's refreshes on the command line: only the transfer progress is shown, as a bar on a
// terminal and as plain lines otherwise.
class CliViews final : public StationViews {
public:
    // Progress and the time the transfers took go by the run's clock.
    CliViews(const Console& console, const Clock& clock, bool terminal);

    // The engine whose queue the progress shows; progress starts counting from here.
    void follow(const Station* station);
    // Ends a progress line on the terminal.
    void finishProgress();
    // Every packet sent in this run, and the time the transfers took.
    qint64 totalPackets() const noexcept { return totalSent_; }
    qint64 transferMs() const noexcept { return totalMs_; }

    void progressChanged(const TransferProgress& progress) override;
    void logged(const TrafficEntry& entry) override;
    // Where the packet trace goes, line by line with times (--log); unset: nowhere.
    void setTrace(std::function<void(const QString&)> trace) { trace_ = std::move(trace); }

private:
    void showProgress(bool force);

    const Console& console_;
    const Clock& clock_;
    bool terminal_;
    const Station* station_ = nullptr;
    QString caption_; // of the transfer's progress
    std::function<void(const QString&)> trace_;
    qint64 startedMs_ = -1; // the followed transfer's start; -1: none yet
    qint64 lastShownMs_ = -1;
    qint64 sent_ = 0;
    qint64 totalSent_ = 0;
    qint64 totalMs_ = 0;
    QString lastLine_;
};

} // namespace tunekit::cli
