// tunekit-sim: serves the simulated transmitter on a pseudo-terminal. The first line on
// standard output is the device file to open; the program runs until it is ended by SIGTERM or
// SIGINT (or --exit-after-ms) and then closes the terminal cleanly. SIGUSR1 changes the unit on
// the bench: it is taken away, and 5 s later the next one is in its place.
#include "base/language.h"
#include "base/option_table.h"
#include "sim/pty_server.h"
#include "sim/sim_switches.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTimer>

#include <cstdio>
#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <pthread.h>
#include <thread>
#endif

namespace {

using tunekit::ProgramManual;

QString text(const char* source)
{
    return QCoreApplication::translate("SimMain", source);
}

// What tunekit-sim's --help and manual page say; its options are the simulator's table.
ProgramManual simManual()
{
    return {
        "tunekit-sim",
        "SimMain",
        QT_TRANSLATE_NOOP("SimMain", "simulated radio remote control transmitter on a pseudo-terminal"),
        QT_TRANSLATE_NOOP("SimMain", "[options]"),
        QT_TRANSLATE_NOOP("SimMain", "Simulated transmitter on a pseudo-terminal. The first line on standard output is "
                                     "the device file to open (give it to tunekit --port or tunekit-cli --port). The "
                                     "program runs until SIGTERM or SIGINT (or --exit-after-ms) ends it; the options "
                                     "make the transmitter or the line misbehave for tests and benches. SIGUSR1 takes "
                                     "the unit away and puts the next one of its family, with the next serial number, in "
                                     "its place 5 s later, as a production bench changes units."),
        {},
        tunekit::simOptions(),
        {},
        {},
        "tunekit(1), tunekit-cli(1)",
    };
}

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
    sigaddset(&stopSignals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
#endif

    QCoreApplication app(argc, argv);
    tunekit::UiLanguage language;
    if (QLocale::system().language() == QLocale::German)
        language.set(tunekit::Language::German);

    const ProgramManual manual = simManual();
    QCommandLineParser parser;
    parser.addOptions(tunekit::parserOptions(manual));
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(tunekit::usageErrorText(parser, manual));
    if (const auto request = tunekit::standardRequestOf(parser); request != tunekit::StandardRequest::None)
        return tunekit::printToStandardOutput(tunekit::standardRequestText(manual, request)) ? 0 : 1;
    // It takes options only: a word of its own is a mistake the user should hear of.
    if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty())
        return fail(text(QT_TRANSLATE_NOOP("SimMain", "Unexpected argument \"%1\"; see --help.")).arg(stray.first()));
    const std::optional<tunekit::SimSwitches> switches = tunekit::readSimSwitches(parser);
    const bool exitAfter = parser.isSet(QStringLiteral("exit-after-ms"));
    bool exitAfterValid = true;
    // -1: runs until a signal ends it
    const int exitAfterMs = exitAfter ? parser.value(QStringLiteral("exit-after-ms")).toInt(&exitAfterValid) : -1;
    if (!switches || (exitAfter && (!exitAfterValid || exitAfterMs < 0 || exitAfterMs > 86400000)))
        return fail(text(QT_TRANSLATE_NOOP("SimMain", "Invalid number in the options; see --help.")));
    if (const QString problem = tunekit::simulatedConfigIdProblem(switches->configId); !problem.isEmpty())
        return fail(problem);

    tunekit::PtyServer server(*switches);
    if (!server.start())
        return fail(server.errorText());

    std::printf("%s\n", qPrintable(server.slavePath()));
    std::fflush(stdout);

    if (exitAfterMs >= 0)
        QTimer::singleShot(exitAfterMs, &app, &QCoreApplication::quit);

#ifdef Q_OS_UNIX
    std::thread waiter([&app, &server, &stopSignals] {
        int signal = 0;
        while (sigwait(&stopSignals, &signal) == 0 && signal == SIGUSR1) {
            QMetaObject::invokeMethod(&server, [&server] {
                server.link().takeUnitAway();
                QTimer::singleShot(tunekit::SimLink::NextUnitAfterMs, &server, [&server] { server.link().putNextUnit(); });
            }, Qt::QueuedConnection);
        }
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
