// bench_console: the packet console's log at 100,000 entries (a day of service work), against
// a reference measured in the same run.
//
// Ours: the console window as the program builds it. Each entry is stored as a compact record
// and the log view draws only the entries on screen.
// Reference: a plain text box (QPlainTextEdit) that is never trimmed and gets each entry's text
// put in front of what it holds, newest on top: the text box the console once was.
//
// Both get the same packets, a refresh every 20 entries (about what the 50 ms timer sees during
// a transfer), and are then scrolled to the oldest entry and back and repainted. Reported: time
// per appended entry (all, and the last 1,000 alone), the scroll and repaint time, and the
// resident memory the log added, each with its ratio to the reference.
#include "widgets/console_windows.h"
#include "consoles/packet_dump.h"
#include "widgets/packet_log_view.h"
#include "link/packet_codec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace tunekit {
namespace {

constexpr int Entries = 100'000;
constexpr int RefreshEvery = 20;
constexpr int Tail = 1'000;

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

QByteArray packet(int i)
{
    const bool answer = i % 2 == 1;
    QByteArray data(4, '\0');
    data[0] = static_cast<char>(i & 0xFF);
    data[1] = static_cast<char>((i >> 8) & 0xFF);
    return makePacket(answer ? DownloadResponse : DownloadRequest, 0x2000 + (i / 2) % 0x900, 0, data);
}

struct Figures {
    double usPerEntry = 0;
    double usPerEntryTail = 0;
    double scrollMs = 0;
    double memoryMiB = 0;
};

// append(i) logs entry i; refresh() brings the view up to date; scroll(toEnd) scrolls and repaints.
Figures measure(const std::function<void(int)>& append, const std::function<void()>& refresh,
                const std::function<void(bool)>& scroll)
{
    QApplication::processEvents();
    const double before = residentMiB();
    QElapsedTimer all;
    QElapsedTimer tail;
    all.start();
    for (int i = 0; i < Entries; ++i) {
        if (i == Entries - Tail)
            tail.start();
        append(i);
        if (i % RefreshEvery == RefreshEvery - 1) {
            refresh();
            QApplication::processEvents();
        }
    }
    Figures f;
    f.usPerEntryTail = static_cast<double>(tail.nsecsElapsed()) / 1000.0 / Tail;
    f.usPerEntry = static_cast<double>(all.nsecsElapsed()) / 1000.0 / Entries;
    QElapsedTimer scrolling;
    scrolling.start();
    scroll(true);
    scroll(false);
    f.scrollMs = static_cast<double>(scrolling.nsecsElapsed()) / 1e6;
    f.memoryMiB = residentMiB() - before;
    return f;
}

int run()
{
    const QString transmit = QStringLiteral("Transmit");
    const QString receive = QStringLiteral("Receive");
    const QTime time(14, 3, 27);

    PacketConsoleWindow console(nullptr);
    console.resize(460, 560);
    console.show();
    auto* logView = console.findChild<PacketLogView*>(QStringLiteral("txtLog"));
    const Figures ours = measure(
        [&](int i) { console.addPacket(packet(i), i % 2 ? receive : transmit, time); },
        [&] { console.refreshLog(); },
        [&](bool toEnd) {
            logView->verticalScrollBar()->setValue(toEnd ? logView->verticalScrollBar()->maximum() : 0);
            logView->viewport()->repaint();
        });
    const qsizetype oursRows = logView->rowCount();
    console.clearLog();
    console.hide();

    QPlainTextEdit box;
    box.setReadOnly(true);
    box.resize(460, 460);
    box.show();
    const Figures reference = measure(
        [&](int i) {
            QTextCursor cursor(box.document());
            cursor.movePosition(QTextCursor::Start);
            cursor.insertText(dumpEntryText(packet(i), i % 2 ? receive : transmit, time));
        },
        [] {},
        [&](bool toEnd) {
            box.verticalScrollBar()->setValue(toEnd ? box.verticalScrollBar()->maximum() : 0);
            box.viewport()->repaint();
        });
    const int referenceBlocks = box.document()->blockCount();

    std::printf("Packet console log, %d entries (refresh every %d), ours: log view over compact records; "
                "reference: never-trimmed text box, newest on top\n",
                Entries, RefreshEvery);
    std::printf("  rows shown: ours %lld entries, reference %d text lines\n", static_cast<long long>(oursRows),
                referenceBlocks);
    const auto row = [](const char* what, double mine, double theirs, const char* unit) {
        std::printf("  %-34s ours %10.2f %-4s reference %10.2f %-4s ratio %.3f\n", what, mine, unit, theirs, unit,
                    theirs > 0 ? mine / theirs : 0.0);
    };
    row("append per entry (all)", ours.usPerEntry, reference.usPerEntry, "us");
    row("append per entry (last 1,000)", ours.usPerEntryTail, reference.usPerEntryTail, "us");
    row("scroll to end and back, repaint", ours.scrollMs, reference.scrollMs, "ms");
    row("resident memory added", ours.memoryMiB, reference.memoryMiB, "MiB");
    return 0;
}

} // namespace
} // namespace tunekit

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return tunekit::run();
}
