// bench_soak: the link on a bad line, in virtual time. After a read on a sound line, the answers
// go bad: a share corrupted (a flipped hexadecimal digit), a share lost, a share preceded by a
// stray answer for another address or by a frame of the right address but the wrong type. On
// that line the bench writes a 2 KB interpreter, reads the device over and over until enough
// exchanges have been made, then writes parameters and every kind of extended data. Not a test:
// it reports what happened and fails only when a wrong value was taken or a loss went untold.
//
//   bench_soak [--corrupt RATE] [--lose RATE] [--stray RATE] [--wrong-type RATE]
//              [--reads N] [--exchanges N]
//
// Defaults: corrupt 0.01, lose 0.005, stray 0, wrong-type 0; the reads go on until they have
// made N read exchanges (--reads, 10000) and the whole run on the bad line N exchanges
// (--exchanges, 0). An exchange is one request sent, a repeat included.
#include "support/station_probe.h"
#include "link/packet_codec.h"
#include "params/config_defines.h"
#include "support/rig.h"
#include "transfer/extended_write.h"
#include "transfer/parameter_write.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace tunekit {
namespace {

constexpr int InterpreterBytes = 2048;

QByteArray pattern(int size, int seed)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>(((static_cast<quint32>(i + seed) * 2654435761u) >> 24) & 0xFF);
    return bytes;
}

struct SoakOptions {
    double corrupt = 0.01;
    double lose = 0.005;
    double stray = 0;
    double wrongType = 0;
    qint64 reads = 10000;
    qint64 exchanges = 0;
};

bool parseOptions(const QStringList& arguments, SoakOptions& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The link on a bad line, in virtual time."));
    parser.addHelpOption();
    const QCommandLineOption corrupt(QStringLiteral("corrupt"), QStringLiteral("Share of answers with a flipped digit."),
                                     QStringLiteral("RATE"), QString::number(options.corrupt));
    const QCommandLineOption lose(QStringLiteral("lose"), QStringLiteral("Share of answers lost."), QStringLiteral("RATE"),
                                  QString::number(options.lose));
    const QCommandLineOption stray(QStringLiteral("stray"),
                                   QStringLiteral("Share of answers after a stray answer for another address."),
                                   QStringLiteral("RATE"), QString::number(options.stray));
    const QCommandLineOption wrongType(QStringLiteral("wrong-type"),
                                       QStringLiteral("Share of answers after a frame of the right address and the wrong type."),
                                       QStringLiteral("RATE"), QString::number(options.wrongType));
    const QCommandLineOption reads(QStringLiteral("reads"), QStringLiteral("Read exchanges to make at least."), QStringLiteral("N"),
                                   QString::number(options.reads));
    const QCommandLineOption exchanges(QStringLiteral("exchanges"),
                                       QStringLiteral("Exchanges on the bad line to make at least before the full write."),
                                       QStringLiteral("N"), QString::number(options.exchanges));
    parser.addOptions({corrupt, lose, stray, wrongType, reads, exchanges});
    parser.process(arguments);
    bool ok = true;
    const auto rate = [&parser, &ok](const QCommandLineOption& option) {
        bool valid = false;
        const double value = parser.value(option).toDouble(&valid);
        ok = ok && valid && value >= 0 && value <= 1;
        return value;
    };
    const auto count = [&parser, &ok](const QCommandLineOption& option) {
        bool valid = false;
        const qint64 value = parser.value(option).toLongLong(&valid);
        ok = ok && valid && value >= 0;
        return value;
    };
    options = {rate(corrupt), rate(lose), rate(stray), rate(wrongType), count(reads), count(exchanges)};
    return ok;
}

// What the run has counted so far: exchanges (requests sent, repeats included), the engine's
// totals, batches given up and answers taken whose value is not what the device holds.
struct Counts {
    qint64 exchanges = 0;
    qint64 repeats = 0;
    qint64 lost = 0;
    qint64 ignored = 0;
    qint64 givenUp = 0;
    qint64 unlikeDevice = 0;
};

Counts operator-(const Counts& a, const Counts& b)
{
    return {a.exchanges - b.exchanges, a.repeats - b.repeats, a.lost - b.lost,
            a.ignored - b.ignored, a.givenUp - b.givenUp, a.unlikeDevice - b.unlikeDevice};
}

// Watches the rig: counts every request as it leaves, checks every answer the engine takes
// against the device's cell, and notices each batch the engine gives up (the flag stays set
// until the next batch starts, longer than the 1 ms between looks).
class LinkWatch {
public:
    explicit LinkWatch(testing::Rig& rig)
        : rig_(rig)
    {
        rig.views.beforeSend = [this] { ++exchanges_; };
        Session& session = rig.session;
        const SimDevice& device = rig.line.device();
        StationProbe::engine(session.device()).setDownloadResponseHandler([this, &session, &device](const QByteArray& packet) {
            if (packetData(packet) != device.cell(packetIndex(packet), packetSubindex(packet)))
                ++unlikeDevice_;
            StationProbe::transfers(session.device()).handleDownloadResponse(packet);
        });
        rig.clock.startTicker(1, [this, &session] {
            const bool gaveUp = StationProbe::engine(session.device()).state().gaveUp;
            givenUp_ += gaveUp && !sawGiveUp_;
            sawGiveUp_ = gaveUp;
        });
    }
    LinkWatch(const LinkWatch&) = delete;
    LinkWatch& operator=(const LinkWatch&) = delete;

    Counts now() const
    {
        const EngineState& engine = StationProbe::engine(rig_.session.device()).state();
        return {exchanges_, engine.repeatTotal, engine.lostTotal, engine.ignoredTotal, givenUp_, unlikeDevice_};
    }

private:
    testing::Rig& rig_;
    qint64 exchanges_ = 0;
    qint64 givenUp_ = 0;
    qint64 unlikeDevice_ = 0;
    bool sawGiveUp_ = false;
};

void printCounts(const char* what, const Counts& counts, double virtualMs)
{
    std::printf("%s: %lld exchanges in %.1f s virtual, repeats %lld, lost answers asked again or given up %lld, "
                "ignored frames %lld, batches given up %lld, answers taken unlike the device's cell %lld\n",
                what, static_cast<long long>(counts.exchanges), virtualMs / 1000.0, static_cast<long long>(counts.repeats),
                static_cast<long long>(counts.lost), static_cast<long long>(counts.ignored), static_cast<long long>(counts.givenUp),
                static_cast<long long>(counts.unlikeDevice));
}

bool runUntilIdle(testing::Rig& rig)
{
    return rig.clock.runUntil([&rig] { return StationProbe::engine(rig.session.device()).idle(); }, 3'600'000);
}

int giveUpMessages(const testing::ScriptedDialogs& dialogs, qsizetype from)
{
    int count = 0;
    for (qsizetype i = from; i < dialogs.messages.size(); ++i) {
        const QString& text = dialogs.messages[i].text;
        count += text == TransmitEngine::timeoutText() || text == TransmitEngine::lineCorruptText();
    }
    return count;
}

bool doneShown(const testing::ScriptedDialogs& dialogs, qsizetype from)
{
    for (qsizetype i = from; i < dialogs.messages.size(); ++i) {
        if (dialogs.messages[i].text == DeviceWrites::doneText())
            return true;
    }
    return false;
}

QString messagesSince(const testing::ScriptedDialogs& dialogs, qsizetype from)
{
    QStringList texts;
    for (qsizetype i = from; i < dialogs.messages.size(); ++i)
        texts << dialogs.messages[i].text.simplified();
    return texts.join(QStringLiteral(" | "));
}

} // namespace
} // namespace tunekit

int main(int argc, char* argv[])
{
    using namespace tunekit;
    QCoreApplication app(argc, argv);
    SoakOptions options;
    if (!parseOptions(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "rates are 0..1, counts 0 or more\n");
        return 2;
    }

    testing::Rig rig;
    Session& session = rig.session;
    SimDevice& device = rig.line.device();
    const LinkWatch watch(rig);
    rig.connect();
    session.access().level = AccessLevel::level3();
    QElapsedTimer real;
    real.start();

    // A read on a sound line is what every later read must show.
    rig.finish(StationProbe::transfers(session.device()).detectDevice());
    StationProbe::transfers(session.device()).readParameters();
    runUntilIdle(rig);
    const ParamArray<QString> truth = StationProbe::image(session.device()).value;
    if (!rig.dialogs.messages.isEmpty() || truth[2].isEmpty()) {
        std::fprintf(stderr, "the read on a sound line failed\n");
        return 1;
    }

    SimFaults& faults = rig.line.faults();
    faults.corruptRate = options.corrupt;
    faults.loseRate = options.lose;
    faults.strayRate = options.stray;
    faults.wrongTypeRate = options.wrongType;
    std::printf("answers corrupted %.1f %%, lost %.1f %%, after a stray answer %.1f %%, after a wrong type %.1f %%\n",
                options.corrupt * 100, options.lose * 100, options.stray * 100, options.wrongType * 100);
    const Counts start = watch.now();
    const qint64 startMs = rig.clock.nowMs();

    // A 2 KB interpreter and nothing else: EraseIL2, 512 Uploads, then the parameters.
    DeviceImage& image = StationProbe::image(session.device());
    image.extended.clear();
    const QByteArray interpreterImage = pattern(InterpreterBytes, 4);
    image.extended.interpreterImage = interpreterImage;
    qsizetype messagesBefore = rig.dialogs.messages.size();
    Counts before = watch.now();
    qint64 beforeMs = rig.clock.nowMs();
    rig.finish(StationProbe::writes(session.device()).write());
    runUntilIdle(rig);
    printCounts("interpreter write", watch.now() - before, static_cast<double>(rig.clock.nowMs() - beforeMs));
    const bool interpreterDone = StationProbe::writes(session.device()).lastResult() == WriteResult::Done && doneShown(rig.dialogs, messagesBefore);
    const bool interpreterExact = device.blockBytes(InterpreterFirstIndex, 256, 4, InterpreterBytes) == interpreterImage
                                  && device.usedCells(InterpreterFirstIndex, InterpreterLastIndex) == InterpreterBytes / 4;
    const QString interpreterMessages = messagesSince(rig.dialogs, messagesBefore);
    std::printf("interpreter write: %s; the interpreter area holds %s; messages: %s\n",
                interpreterDone ? "completed (\"Done\")" : "NOT completed",
                interpreterExact ? "exactly the 2048 bytes" : "NOT the 2048 bytes", qUtf8Printable(interpreterMessages));
    const bool untoldInterpreter = !interpreterExact && giveUpMessages(rig.dialogs, messagesBefore) == 0
                                   && StationProbe::writes(session.device()).lastResult() != WriteResult::Failed;

    // Reads, each compared with the read on the sound line.
    int reads = 0;
    int readsComplete = 0;
    int wrong = 0;
    int missing = 0;
    int untold = 0;
    before = watch.now();
    beforeMs = rig.clock.nowMs();
    messagesBefore = rig.dialogs.messages.size();
    while (watch.now().exchanges - before.exchanges < options.reads || watch.now().exchanges - start.exchanges < options.exchanges) {
        const qsizetype messagesHere = rig.dialogs.messages.size();
        // A read whose detection failed re-detects instead; the next click reads again.
        StationProbe::transfers(session.device()).readParameters();
        runUntilIdle(rig);
        ++reads;
        int missingHere = 0;
        for (int nr = 1; nr <= ParamCount; ++nr) {
            const QString& value = image.value[nr];
            if (!value.isEmpty() && value != truth[nr])
                ++wrong;
            else if (value.isEmpty() && !truth[nr].isEmpty())
                ++missingHere;
        }
        missing += missingHere;
        readsComplete += missingHere == 0;
        if (missingHere > 0 && rig.dialogs.messages.size() == messagesHere)
            ++untold;
        if (StationProbe::engine(session.device()).state().quietTimeouts) // a failed detection: find the device again
            rig.finish(StationProbe::transfers(session.device()).detectDevice());
    }
    printCounts("reads", watch.now() - before, static_cast<double>(rig.clock.nowMs() - beforeMs));
    std::printf("reads: %d Read clicks, complete %d, incomplete %d (without a message %d); wrong values stored %d, "
                "values missing %d, time-out or corrupt-line messages %d\n",
                reads, readsComplete, reads - readsComplete, untold, wrong, missing, giveUpMessages(rig.dialogs, messagesBefore));

    // A full write: parameters and every kind of extended data.
    image.value[7] = QStringLiteral("20");
    ExtendedDataStore& store = image.extended;
    store.clear();
    store.interpreterImage = pattern(16384, 1);
    store.textsImage = pattern(1030, 2);
    store.displayTableImage = pattern(25, 3);
    for (int n = 0; n <= 67; ++n)
        store.freqTable[static_cast<std::size_t>(n)] = 433000000 + n * 25000;
    store.frequencyTableText = QStringLiteral("k#433025000\r\n").repeated(7);
    messagesBefore = rig.dialogs.messages.size();
    before = watch.now();
    beforeMs = rig.clock.nowMs();
    rig.finish(StationProbe::writes(session.device()).write());
    runUntilIdle(rig);
    printCounts("full write", watch.now() - before, static_cast<double>(rig.clock.nowMs() - beforeMs));
    const bool interpreter = device.blockBytes(InterpreterFirstIndex, 256, 4, 16384) == store.interpreterImage;
    const bool texts = device.blockBytes(0x4010, 256, 4, 1030) == store.textsImage;
    const bool table = device.blockBytes(0x4200, 10, 1, 25) == store.displayTableImage;
    const bool power = device.flashedCell(0x2203, 0).at(0) == 20;
    const int writeGiveUps = giveUpMessages(rig.dialogs, messagesBefore);
    std::printf("full write: \"Done\" %s, time-out or corrupt-line messages %d; in the device: interpreter %s, texts %s, "
                "display table %s, TransmitPower %s\n",
                doneShown(rig.dialogs, messagesBefore) ? "shown" : "not shown", writeGiveUps, interpreter ? "whole" : "incomplete",
                texts ? "whole" : "incomplete", table ? "whole" : "incomplete", power ? "written" : "not written");
    const bool untoldWrite = (!interpreter || !texts || !table || !power) && writeGiveUps == 0
                             && StationProbe::writes(session.device()).lastResult() != WriteResult::Failed;

    const Counts total = watch.now() - start;
    printCounts("whole run on the bad line", total, static_cast<double>(rig.clock.nowMs() - startMs));
    std::printf("sent by the line: %d answers lost, %d corrupted, %d stray or wrong-type frames\n", rig.line.link().answersLost(),
                rig.line.link().answersCorrupted(), rig.line.link().straysSent());
    std::printf("took %.1f s real\n", static_cast<double>(real.elapsed()) / 1000.0);
    rig.clock.clear();
    return wrong == 0 && total.unlikeDevice == 0 && untold == 0 && !untoldInterpreter && !untoldWrite ? 0 : 1;
}
