// tunekit-sim: serves the simulated transmitter on a pseudo-terminal. The first line on
// standard output is the device file to open; the program runs until it is ended by SIGTERM or
// SIGINT (or --exit-after-ms) and then closes the terminal cleanly.
#include "base/language.h"
#include "base/option_table.h"
#include "sim/pty_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QLocale>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <csignal>
#include <pthread.h>
#include <thread>
#endif

namespace {

using tunekit::OptionEntry;
using tunekit::ProgramManual;

QString text(const char* source)
{
    return QCoreApplication::translate("SimMain", source);
}

// What tunekit-sim accepts and what its --help and manual page say.
constexpr OptionEntry OptionRows[] = {
    {"config-id", "N", QT_TRANSLATE_NOOP("SimMain", "ConfigID of the device (default 5)."), "5"},
    {"silent", "", QT_TRANSLATE_NOOP("SimMain", "Never answer.")},
    {"drop-every", "N", QT_TRANSLATE_NOOP("SimMain", "Lose every N-th answer.")},
    {"split", "", QT_TRANSLATE_NOOP("SimMain", "Send every answer in two pieces (7 + 13 characters).")},
    {"noise", "", QT_TRANSLATE_NOOP("SimMain", "Send a line break before every answer.")},
    {"garbage", "", QT_TRANSLATE_NOOP("SimMain", "Send rubbish instead of every answer.")},
    {"delay", "MS", QT_TRANSLATE_NOOP("SimMain", "Answer MS milliseconds later.")},
    {"exit-after-ms", "MS", QT_TRANSLATE_NOOP("SimMain", "End after MS milliseconds.")},
    {"latency", "MS",
     QT_TRANSLATE_NOOP("SimMain", "USB latency timer of the adapter: answers reach the host when 62 bytes have "
                                  "gathered or after MS milliseconds.")},
    {"corrupt", "RATE", QT_TRANSLATE_NOOP("SimMain", "Flip a hexadecimal digit in this share of the answers (0 to 1).")},
    {"lose", "RATE", QT_TRANSLATE_NOOP("SimMain", "Lose this share of the answers (0 to 1).")},
    {"duplicate", "RATE", QT_TRANSLATE_NOOP("SimMain", "Send this share of the answers twice (0 to 1).")},
    {"noise-bursts", "RATE",
     QT_TRANSLATE_NOOP("SimMain", "Send a burst of random bytes before this share of the answers (0 to 1).")},
    {"stray", "RATE",
     QT_TRANSLATE_NOOP("SimMain", "Before this share of the answers, send a valid answer for another address (0 to 1).")},
    {"wrong-type", "RATE",
     QT_TRANSLATE_NOOP("SimMain", "Before this share of the answers, send a frame of the right address but the wrong type (0 to 1).")},
    {"work-ms", "MS",
     QT_TRANSLATE_NOOP("SimMain", "Answer storing, erasing and extended data MS milliseconds later, as a busy device does.")},
    {"store-ms", "MS", QT_TRANSLATE_NOOP("SimMain", "Storing the configuration (FlashConfig) takes MS milliseconds.")},
    {"erase-ms", "MS", QT_TRANSLATE_NOOP("SimMain", "Erasing the interpreter area (EraseIL2) takes MS milliseconds.")},
    {"system-address", "N", QT_TRANSLATE_NOOP("SimMain", "The unit's system address (0 to 65535), which its serial number is made of.")},
    {"fresh", "", QT_TRANSLATE_NOOP("SimMain", "A unit fresh from production: production date, battery type and number never set.")},
    {"old-firmware", "", QT_TRANSLATE_NOOP("SimMain", "Firmware that does not know ConfigEnable.")},
    {"config-enable-answer", "TYPE",
     QT_TRANSLATE_NOOP("SimMain", "Answer ConfigEnable with the packet type TYPE (hexadecimal, 13 for "
                                  "UploadComplete), or never with \"none\".")},
    {"stuck-cell", "INDEX/SUB",
     QT_TRANSLATE_NOOP("SimMain", "Acknowledge Uploads to the cell INDEX/SUB (hexadecimal) but keep its value, like a "
                                  "worn memory cell.")},
};

constexpr ProgramManual Manual{
    "tunekit-sim",
    "SimMain",
    QT_TRANSLATE_NOOP("SimMain", "simulated radio remote control transmitter on a pseudo-terminal"),
    QT_TRANSLATE_NOOP("SimMain", "[options]"),
    QT_TRANSLATE_NOOP("SimMain", "Simulated transmitter on a pseudo-terminal. The first line on standard output is "
                                 "the device file to open (give it to tunekit --port or tunekit-cli --port). The "
                                 "program runs until SIGTERM or SIGINT (or --exit-after-ms) ends it; the options "
                                 "make the transmitter or the line misbehave for tests and benches."),
    {},
    OptionRows,
    {},
    {},
    "tunekit(1), tunekit-cli(1)",
};

int fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

// The transmitter and its line as the options ask for them.
struct SimSetup {
    int configId = 5;
    int exitAfterMs = -1;   // -1: runs until a signal ends it
    int systemAddress = -1; // -1: the simulator's own
    bool fresh = false;
    bool oldFirmware = false;
    std::optional<std::uint8_t> configEnableAnswer = tunekit::ConfigEnable;
    tunekit::SimFaults faults;
    QList<std::pair<int, int>> stuckCells; // index, subindex
};

// Nothing when a value is not a number in its range.
std::optional<SimSetup> readOptions(const QCommandLineParser& parser)
{
    bool valid = true;
    const auto isSet = [&parser](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
    const auto number = [&](const char* name, int low, int high, int unset) {
        if (!isSet(name))
            return unset;
        bool ok = false;
        const int value = parser.value(QString::fromLatin1(name)).toInt(&ok);
        valid = valid && ok && value >= low && value <= high;
        return value;
    };
    const auto share = [&](const char* name) { // 0 to 1
        if (!isSet(name))
            return 0.0;
        bool ok = false;
        const double value = parser.value(QString::fromLatin1(name)).toDouble(&ok);
        valid = valid && ok && value >= 0.0 && value <= 1.0;
        return value;
    };
    SimSetup setup;
    setup.configId = number("config-id", 0, 255, 5);
    setup.exitAfterMs = number("exit-after-ms", 0, 86400000, -1);
    setup.systemAddress = number("system-address", 0, 65535, -1);
    setup.fresh = isSet("fresh");
    setup.oldFirmware = isSet("old-firmware");
    tunekit::SimFaults& faults = setup.faults;
    faults.silent = isSet("silent");
    faults.dropEvery = number("drop-every", 0, 1000000, 0);
    faults.splitAfter = isSet("split") ? 7 : 0;
    faults.noise = isSet("noise") ? QByteArray("\r\n") : QByteArray();
    faults.garbage = isSet("garbage");
    faults.extraDelayMs = number("delay", 0, 600000, 0);
    faults.latencyMs = number("latency", 0, 255, 0);
    faults.workMs = number("work-ms", 0, 60000, 0);
    faults.storeMs = number("store-ms", 0, 60000, 0);
    faults.eraseMs = number("erase-ms", 0, 60000, 0);
    faults.corruptRate = share("corrupt");
    faults.loseRate = share("lose");
    faults.duplicateRate = share("duplicate");
    faults.noiseBurstRate = share("noise-bursts");
    faults.strayRate = share("stray");
    faults.wrongTypeRate = share("wrong-type");
    if (isSet("config-enable-answer")) {
        const QString type = parser.value(QStringLiteral("config-enable-answer"));
        bool ok = type == QStringLiteral("none");
        const int code = ok ? 0 : type.toInt(&ok, 16);
        valid = valid && ok && code >= 0 && code <= 255;
        setup.configEnableAnswer = type == QStringLiteral("none") ? std::nullopt : std::optional(static_cast<std::uint8_t>(code));
    }
    for (const QString& cell : parser.values(QStringLiteral("stuck-cell"))) {
        bool indexOk = false;
        bool subOk = false;
        setup.stuckCells.append({cell.section(QLatin1Char('/'), 0, 0).toInt(&indexOk, 16),
                                 cell.section(QLatin1Char('/'), 1, 1).toInt(&subOk, 16)});
        valid = valid && indexOk && subOk;
    }
    return valid ? std::optional(setup) : std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
#ifdef Q_OS_UNIX
    // Blocked before any thread starts, so that only the waiter below receives them and the
    // event loop can end in order.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
#endif

    QCoreApplication app(argc, argv);
    tunekit::UiLanguage language;
    if (QLocale::system().language() == QLocale::German)
        language.set(tunekit::Language::German);

    QCommandLineParser parser;
    parser.addOptions(tunekit::parserOptions(Manual));
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (const auto request = tunekit::standardRequestOf(parser); request != tunekit::StandardRequest::None) {
        std::fputs(qPrintable(tunekit::standardRequestText(Manual, request)), stdout);
        return 0;
    }
    const std::optional<SimSetup> setup = readOptions(parser);
    if (!setup)
        return fail(text(QT_TRANSLATE_NOOP("SimMain", "Invalid number in the options; see --help.")));

    tunekit::PtyServer server(setup->configId);
    server.faults() = setup->faults;
    if (setup->fresh)
        server.device().makeFresh();
    if (setup->systemAddress >= 0)
        server.device().setSystemAddress(setup->systemAddress);
    server.device().setKnowsConfigEnable(!setup->oldFirmware);
    server.device().setConfigEnableAnswer(setup->configEnableAnswer);
    for (const auto& [index, subindex] : setup->stuckCells)
        server.device().setStuckCell(index, subindex);
    if (!server.start())
        return fail(server.errorText());

    std::printf("%s\n", qPrintable(server.slavePath()));
    std::fflush(stdout);

    if (setup->exitAfterMs >= 0)
        QTimer::singleShot(setup->exitAfterMs, &app, &QCoreApplication::quit);

#ifdef Q_OS_UNIX
    std::thread waiter([&app, &stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
#endif
    const int result = app.exec();
#ifdef Q_OS_UNIX
    // Wakes the waiter if no signal did; a second quit after exec has returned is harmless.
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
#endif
    return result;
}
