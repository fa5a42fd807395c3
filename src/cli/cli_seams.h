#pragma once

#include "base/dialogs.h"
#include "session/session.h"
#include "cli/cli_options.h"
#include "host/host_facts.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <memory>

namespace tunekit::cli {

// Standard output and standard error of the program. A progress line stays open on the
// terminal until anything else is printed, which first ends it.
class Console {
public:
    // A silent console prints nothing at all: a channel among several says its result through
    // its document only.
    explicit Console(bool quiet, bool silent = false) : quiet_(quiet || silent), silent_(silent) {}
    void out(const QString& text) const;   // results, standard output
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
class CliViews final : public SessionViews {
public:
    CliViews(const Console& console, bool terminal);

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
    bool terminal_;
    const Station* station_ = nullptr;
    QString caption_; // of the transfer's progress
    std::function<void(const QString&)> trace_;
    QElapsedTimer started_;
    qint64 lastShownMs_ = -1;
    qint64 sent_ = 0;
    qint64 totalSent_ = 0;
    qint64 totalMs_ = 0;
    QString lastLine_;
};

} // namespace tunekit::cli
