#include "cli/cli_seams.h"

#include "base/option_table.h"
#include "host/port_names.h"
#include "session/station.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTime>

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tunekit::cli {
namespace {

// False when the stream did not take all of the text.
bool print(std::FILE* stream, const QString& text)
{
    return writeAll(stream, text.toLocal8Bit());
}

// Message boxes use CR LF; a terminal wants LF.
QString lines(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines.trimmed();
}

// The answer the command line gives to one of the window's questions, and the options that give it.
struct OptionAnswer {
    std::optional<bool> answer;
    QString options;
};

OptionAnswer optionAnswer(Question question, const Answers& answers)
{
    switch (question) {
    case Question::UninitialisedValues:
        return {answers.defaults, QStringLiteral("--init-defaults / --no-init-defaults")};
    case Question::Calibration: return {answers.calibration, QStringLiteral("--write-calibration / --keep-calibration")};
    case Question::ConfigIdMismatch: return {answers.configMismatch, QStringLiteral("--allow-config-mismatch")};
    case Question::ExtendedData: return {answers.extendedData, QStringLiteral("--extended-data / --no-extended-data")};
    case Question::ConvertFile: return {true, QString()}; // the command line asked for exactly this
    case Question::OutOfRange: return {answers.outOfRange, QStringLiteral("--allow-out-of-range")};
    case Question::RestoreBackup: return {true, QString()}; // the restore command asked for exactly this
    }
    return {};
}

} // namespace

bool StandardStreams::out(const QString& text)
{
    return print(stdout, text);
}

bool StandardStreams::outBytes(QByteArrayView bytes)
{
    return writeAll(stdout, bytes);
}

bool StandardStreams::error(const QString& text)
{
    return print(stderr, text);
}

bool StandardStreams::errorIsTerminal() const
{
    // A terminal that says it is dumb (TERM=dumb: an editor's shell, a CI log) gets plain lines.
    if (qEnvironmentVariable("TERM") == QLatin1StringView("dumb"))
        return false;
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

RunSeams ProcessSeams::seams()
{
    return {
        clock_,
        streams_,
        makeLine,
        [](std::function<records::ChosenStore()> openStore) -> std::unique_ptr<records::RecordSink> {
            return std::make_unique<records::RecordKeeper>(std::move(openStore));
        },
        {qEnvironmentVariable("TUNEKIT_PASSWORD"), qEnvironmentVariable("TUNEKIT_RECORDS"),
         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), qEnvironmentVariable("TUNEKIT_PORT")},
    };
}

void Console::out(const QString& text) const
{
    if (silent_)
        return;
    endProgressLine();
    if (!streams_.out(text))
        outputFailed_ = true;
}

bool Console::outBytes(QByteArrayView bytes) const
{
    endProgressLine();
    if (streams_.outBytes(bytes))
        return true;
    outputFailed_ = true;
    return false;
}

void Console::error(const QString& text) const
{
    if (silent_)
        return;
    endProgressLine();
    streams_.error(text);
    errorShown_ = true;
}

void Console::note(const QString& text) const
{
    if (!quiet_)
        error(text);
}

void Console::step(const QString& text) const
{
    note(text + QStringLiteral(" ...\n"));
}

void Console::progress(const QString& text) const
{
    if (silent_)
        return;
    streams_.error(QStringLiteral("\r") + text + QStringLiteral("\x1b[K"));
    progressOpen_ = true;
}

void Console::endProgressLine() const
{
    if (!progressOpen_)
        return;
    progressOpen_ = false;
    streams_.error(QStringLiteral("\n"));
}

QString CliDialogs::shown(const QString& text) const
{
    QString shown = lines(text);
    static const QRegularExpression comPort(QStringLiteral("COM=(\\d+)"));
    QRegularExpressionMatch match = comPort.match(shown);
    while (match.hasMatch()) {
        const QString name = portName.isEmpty() ? systemPortName(match.captured(1).toInt()) : portName;
        shown.replace(match.capturedStart(), match.capturedLength(), name);
        match = comPort.match(shown, match.capturedStart() + name.size());
    }
    return shown;
}

MsgAnswer CliDialogs::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    // The window's "Done!" comes before the read-back; the command line says its own result
    // once that is known.
    if (text == DeviceWrites::doneText())
        return MsgAnswer::Ok;
    messages.append({title, text, icon, QString()});
    const QString line = (title.isEmpty() ? QString() : title + QStringLiteral(": ")) + shown(text) + QLatin1Char('\n');
    if (icon == MsgIcon::Critical || icon == MsgIcon::Exclamation)
        console_.error(line);
    else
        console_.note(line);
    // A box that only informs is acknowledged; any other is not a question this program
    // answers for the user.
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
}

QCoro::Task<MsgAnswer> CliDialogs::ask(Question question, QString text, MsgButtons buttons, MsgIcon icon,
                                       QString title)
{
    auto [answer, options] = optionAnswer(question, answers_);
    // --yes answers as Enter does in the window: Yes. A value outside its stated range is
    // written only when its own option asks for it.
    if (!answer && answers_.yes && question != Question::OutOfRange)
        answer = true;
    const QString given = answer ? (*answer ? QStringLiteral("yes") : QStringLiteral("no")) : QStringLiteral("refused");
    messages.append({title, text, icon, given});
    if (answer) {
        console_.note(lines(text) + QStringLiteral(" -> ") + given + QLatin1Char('\n'));
        if (buttons == MsgButtons::OkCancel)
            co_return *answer ? MsgAnswer::Ok : MsgAnswer::Cancel;
        co_return *answer ? MsgAnswer::Yes : MsgAnswer::No;
    }
    refused.append(options);
    console_.error(lines(text) + QLatin1Char('\n')
                   + QCoreApplication::translate("Cli", "Refused: nobody to ask. Answer this question with %1 (or --yes).")
                         .arg(options)
                   + QLatin1Char('\n'));
    // The safe answer: stop where the window offers it, otherwise leave the value alone.
    co_return buttons == MsgButtons::YesNoCancel ? MsgAnswer::Cancel : MsgAnswer::No;
}

CliViews::CliViews(const Console& console, const Clock& clock, bool terminal)
    : console_(console), clock_(clock), terminal_(terminal)
{
}

void CliViews::follow(const Station* station)
{
    station_ = station;
    caption_.clear();
    startedMs_ = clock_.nowMs();
    lastShownMs_ = -1;
    sent_ = 0;
}

void CliViews::logged(const TrafficEntry& entry)
{
    if (trace_) {
        if (const std::optional<QString> line = traceText(entry))
            trace_(*line);
    }
    // The engine logs every packet it sends; that is the count of the progress.
    if (entry.kind == TrafficEntry::Kind::Debug && entry.text.startsWith(QLatin1StringView("TxSend"))) {
        ++sent_;
        ++totalSent_;
        showProgress(false);
    }
}

void CliViews::progressChanged(const TransferProgress& progress)
{
    caption_ = progress.caption;
    showProgress(false);
}

void CliViews::showProgress(bool force)
{
    if (console_.quiet() || !station_ || startedMs_ < 0)
        return;
    const qint64 now = clock_.nowMs() - startedMs_;
    // A bar is redrawn ten times a second; plain lines come once a second, once a packet went.
    if (!force && (sent_ == 0 || (lastShownMs_ >= 0 && now - lastShownMs_ < (terminal_ ? 100 : 1000))))
        return;
    lastShownMs_ = now;
    const qint64 queued = station_->queuedPackets();
    const double seconds = static_cast<double>(now) / 1000.0;
    const double rate = seconds > 0 ? static_cast<double>(sent_) / seconds : 0.0;
    const double left = rate > 0 ? static_cast<double>(queued) / rate : 0.0;
    const QString counts = QCoreApplication::translate("Cli", "%1 packets, %2/s, %3 s left")
                               .arg(sent_)
                               .arg(rate, 0, 'f', 1)
                               .arg(left, 0, 'f', 0);
    if (terminal_) {
        const qint64 total = sent_ + queued;
        const int width = 30;
        const int filled = total > 0 ? static_cast<int>(width * sent_ / total) : 0;
        const QString bar = QString(filled, QLatin1Char('#')) + QString(width - filled, QLatin1Char('.'));
        console_.progress(QStringLiteral("[%1] %2 %3").arg(bar, counts, caption_));
    } else {
        const QString line = counts + (caption_.isEmpty() ? QString() : QStringLiteral(" (") + caption_ + QLatin1Char(')'));
        if (line != lastLine_)
            console_.error(line + QLatin1Char('\n'));
        lastLine_ = line;
    }
}

void CliViews::finishProgress()
{
    if (!station_)
        return;
    totalMs_ += clock_.nowMs() - startedMs_;
    showProgress(true);
    console_.endProgressLine();
    station_ = nullptr;
}

} // namespace tunekit::cli
