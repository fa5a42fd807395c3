// bench_soak: the link on a bad line, in virtual time. Reads the device over and over until
// 10,000 read exchanges have been made, then writes parameters and extended data, with a share of
// the answers corrupted (a flipped hexadecimal digit) and a share lost. Not a test: it reports
// what happened and fails only when a wrong value was stored or a loss went untold.
//
//   bench_soak [--corrupt RATE] [--lose RATE] [--reads N]     (defaults 0.01, 0.005, 10000)
#include "link/packet_codec.h"
#include "params/config_defines.h"
#include "support/session_rig.h"
#include "transfer/extended_write.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace tunekit {
namespace {

QByteArray Pattern(int size, int seed)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>(((static_cast<quint32>(i + seed) * 2654435761u) >> 24) & 0xFF);
    return bytes;
}

double Arg(const QStringList& args, const char* name, double fallback)
{
    const qsizetype at = args.indexOf(QLatin1StringView(name));
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toDouble() : fallback;
}

bool RunUntilIdle(testing::SessionRig& rig)
{
    return rig.clock.RunUntil([&rig] { return rig.session.Engine().Idle(); }, 3'600'000);
}

int GiveUps(const testing::ScriptedDialogs& dialogs, qsizetype from)
{
    int count = 0;
    for (qsizetype i = from; i < dialogs.messages.size(); ++i) {
        const QString& text = dialogs.messages[i].text;
        count += text == TransmitEngine::TimeoutText() || text == TransmitEngine::LineCorruptText();
    }
    return count;
}

} // namespace
} // namespace tunekit

int main(int argc, char* argv[])
{
    using namespace tunekit;
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const double corrupt = Arg(args, "--corrupt", 0.01);
    const double lose = Arg(args, "--lose", 0.005);
    const auto wantedReads = static_cast<qsizetype>(Arg(args, "--reads", 10000));

    testing::SessionRig rig;
    Session& session = rig.session;
    SimDevice& device = rig.line.Device();
    rig.Connect();
    session.Access().blnAuthLevel = 30;
    QElapsedTimer real;
    real.start();

    // A read on a sound line is what every later read must show.
    session.Transfers().DetectDevice();
    session.Transfers().cmdRead_Click();
    RunUntilIdle(rig);
    const ParamArray<QString> truth = session.Image().value;
    if (!rig.dialogs.messages.isEmpty() || truth[2].isEmpty()) {
        std::fprintf(stderr, "the read on a sound line failed\n");
        return 1;
    }

    rig.line.Faults().CorruptRate = corrupt;
    rig.line.Faults().LoseRate = lose;
    const qint64 readStart = rig.clock.NowMs();
    const qint64 repeatsBefore = session.Engine().State().RepeatTotal;
    const qsizetype requestsBefore = device.Requests().size();
    int reads = 0;
    int wrong = 0;
    int missing = 0;
    int untold = 0;
    qsizetype readExchanges = 0;
    const qsizetype messagesBefore = rig.dialogs.messages.size();
    while (readExchanges < wantedReads) {
        const qsizetype before = rig.dialogs.messages.size();
        const qsizetype sent = device.Requests().size();
        // A read whose detection failed re-detects instead; the next click reads again.
        session.Transfers().cmdRead_Click();
        RunUntilIdle(rig);
        ++reads;
        readExchanges += device.Requests().size() - sent;
        int missingHere = 0;
        for (int nr = 1; nr <= ParamCount; ++nr) {
            const QString& value = session.Image().value[nr];
            if (!value.isEmpty() && value != truth[nr])
                ++wrong;
            else if (value.isEmpty() && !truth[nr].isEmpty())
                ++missingHere;
        }
        missing += missingHere;
        if (missingHere > 0 && rig.dialogs.messages.size() == before)
            ++untold;
        if (session.Engine().State().SuppressTimeoutMessage) // a failed detection: find the device again
            session.Transfers().DetectDevice();
    }
    const qint64 readMs = rig.clock.NowMs() - readStart;
    std::printf("corrupted answers %.1f %%, lost answers %.1f %%\n", corrupt * 100, lose * 100);
    std::printf("reads: %d Read clicks, %lld read exchanges in %.1f s virtual: wrong values stored %d, values missing %d "
                "(reads with a loss and no message: %d), repeats %lld, batches ended with a message %d\n",
                reads, static_cast<long long>(device.Requests().size() - requestsBefore), static_cast<double>(readMs) / 1000.0,
                wrong, missing, untold, static_cast<long long>(session.Engine().State().RepeatTotal - repeatsBefore),
                GiveUps(rig.dialogs, messagesBefore));

    // A full write: parameters and every kind of extended data.
    DeviceImage& image = session.Image();
    image.value[7] = QStringLiteral("20");
    ExtendedDataStore& store = image.extended;
    store.used = false;
    store.strInterperterImage = Pattern(16384, 1);
    store.strTextsImage = Pattern(1030, 2);
    store.strDisplay_tableImage = Pattern(25, 3);
    for (int n = 0; n <= 67; ++n)
        store.FreqTable[static_cast<std::size_t>(n)] = 433000000 + n * 25000;
    store.strFrequency_tableImage = QStringLiteral("k#433025000\r\n").repeated(7);
    const qsizetype writeMessages = rig.dialogs.messages.size();
    const qint64 writeRepeats = session.Engine().State().RepeatTotal;
    const qint64 writeStart = rig.clock.NowMs();
    session.Writes().cmdConfigWrite_Click();
    RunUntilIdle(rig);
    const qint64 writeMs = rig.clock.NowMs() - writeStart;
    const bool interpreter = device.BlockBytes(0x6000, 256, 4, 16384) == store.strInterperterImage;
    const bool texts = device.BlockBytes(0x4010, 256, 4, 1030) == store.strTextsImage;
    const bool table = device.BlockBytes(0x4200, 10, 1, 25) == store.strDisplay_tableImage;
    const bool power = device.FlashedCell(0x2203, 0).at(0) == 20;
    const int writeGiveUps = GiveUps(rig.dialogs, writeMessages);
    bool done = false;
    for (qsizetype i = writeMessages; i < rig.dialogs.messages.size(); ++i)
        done = done || rig.dialogs.messages[i].text == DeviceWrites::DoneText();
    std::printf("write: %.1f s virtual, repeats %lld, batches ended with a message %d, \"Done\" %s; in the device: "
                "interpreter %s, texts %s, display table %s, TransmitPower %s\n",
                static_cast<double>(writeMs) / 1000.0, static_cast<long long>(session.Engine().State().RepeatTotal - writeRepeats),
                writeGiveUps, done ? "shown" : "not shown", interpreter ? "whole" : "incomplete", texts ? "whole" : "incomplete",
                table ? "whole" : "incomplete", power ? "written" : "not written");
    const bool untoldWrite = (!interpreter || !texts || !table || !power) && writeGiveUps == 0;
    std::printf("took %.1f s real\n", static_cast<double>(real.elapsed()) / 1000.0);
    rig.clock.Clear();
    return wrong == 0 && untold == 0 && !untoldWrite ? 0 : 1;
}
