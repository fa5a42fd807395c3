// tunekit-sim: serves the simulated transmitter on a pseudo-terminal. The first line on
// standard output is the device file to open; the program runs until it is ended by SIGTERM or
// SIGINT (or --exit-after-ms) and then closes the terminal cleanly.
#include "base/language.h"
#include "base/option_table.h"
#include "sim/pty_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTimer>

#include <cstdio>

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
    {"system-address", "N", QT_TRANSLATE_NOOP("SimMain", "The unit's system address (0 to 65535), which its serial number is made of.")},
    {"fresh", "", QT_TRANSLATE_NOOP("SimMain", "A unit fresh from production: production date, battery type and number never set.")},
    {"old-firmware", "", QT_TRANSLATE_NOOP("SimMain", "Firmware that does not know ConfigEnable.")},
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
    const auto option = [](const char* name) { return QString::fromLatin1(name); };
    const auto configId = option("config-id");
    const auto silent = option("silent");
    const auto dropEvery = option("drop-every");
    const auto split = option("split");
    const auto noise = option("noise");
    const auto garbage = option("garbage");
    const auto delay = option("delay");
    const auto exitAfter = option("exit-after-ms");
    const auto stuck = option("stuck-cell");
    const auto latency = option("latency");
    const auto corrupt = option("corrupt");
    const auto lose = option("lose");
    const auto duplicate = option("duplicate");
    const auto noiseBursts = option("noise-bursts");
    const auto stray = option("stray");
    const auto wrongType = option("wrong-type");
    const auto workMs = option("work-ms");

    const auto number = [&parser](const QString& which, int low, int high, int* value) {
        if (!parser.isSet(which))
            return true;
        bool ok = false;
        *value = parser.value(which).toInt(&ok);
        return ok && *value >= low && *value <= high;
    };
    int id = 5;
    int dropN = 0;
    int delayMs = 0;
    int exitMs = 0;
    int latencyMs = 0;
    int busyMs = 0;
    int address = -1;
    const auto share = [&parser](const QString& which, double* value) {
        if (!parser.isSet(which))
            return true;
        bool ok = false;
        *value = parser.value(which).toDouble(&ok);
        return ok && *value >= 0.0 && *value <= 1.0;
    };
    tunekit::SimFaults wanted;
    if (!number(configId, 0, 255, &id) || !number(dropEvery, 0, 1000000, &dropN) || !number(delay, 0, 600000, &delayMs)
        || !number(exitAfter, 0, 86400000, &exitMs) || !number(latency, 0, 255, &latencyMs) || !number(workMs, 0, 60000, &busyMs)
        || !number(option("system-address"), 0, 65535, &address)
        || !share(stray, &wanted.strayRate) || !share(wrongType, &wanted.wrongTypeRate)
        || !share(corrupt, &wanted.corruptRate) || !share(lose, &wanted.loseRate) || !share(duplicate, &wanted.duplicateRate)
        || !share(noiseBursts, &wanted.noiseBurstRate))
        return fail(text(QT_TRANSLATE_NOOP("SimMain", "Invalid number in the options; see --help.")));

    tunekit::PtyServer server(id);
    tunekit::SimFaults& faults = server.faults();
    faults = wanted;
    faults.latencyMs = latencyMs;
    faults.silent = parser.isSet(silent);
    faults.dropEvery = dropN;
    faults.splitAfter = parser.isSet(split) ? 7 : 0;
    faults.noise = parser.isSet(noise) ? QByteArray("\r\n") : QByteArray();
    faults.garbage = parser.isSet(garbage);
    faults.extraDelayMs = delayMs;
    faults.workMs = busyMs;
    if (parser.isSet(option("fresh")))
        server.device().makeFresh();
    if (address >= 0)
        server.device().setSystemAddress(address);
    server.device().setKnowsConfigEnable(!parser.isSet(option("old-firmware")));
    for (const QString& cell : parser.values(stuck)) {
        bool indexOk = false;
        bool subOk = false;
        const int index = cell.section(QLatin1Char('/'), 0, 0).toInt(&indexOk, 16);
        const int sub = cell.section(QLatin1Char('/'), 1, 1).toInt(&subOk, 16);
        if (!indexOk || !subOk)
            return fail(text(QT_TRANSLATE_NOOP("SimMain", "Invalid number in the options; see --help.")));
        server.device().setStuckCell(index, sub);
    }
    if (!server.start())
        return fail(server.errorText());

    std::printf("%s\n", qPrintable(server.slavePath()));
    std::fflush(stdout);

    if (parser.isSet(exitAfter))
        QTimer::singleShot(exitMs, &app, &QCoreApplication::quit);

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
