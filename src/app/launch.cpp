#include "app/launch.h"

#include "records/record_keeper.h"
#include "records/store_choice.h"

#include "base/option_table.h"
#include "host/adapter_port.h"
#include "link/qt_clock.h"
#include "sim/sim_switches.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>

namespace tunekit {
namespace {

// What tunekit accepts and what its --help and manual page say.
constexpr OptionEntry OptionRows[] = {
    {"simulate", "", QT_TRANSLATE_NOOP("Launch", "Talk to the built-in simulated transmitter.")},
    {"config-id", "N", QT_TRANSLATE_NOOP("Launch", "ConfigID of the simulated transmitter (default 5)."), "5"},
    {"port", "NAME",
     QT_TRANSLATE_NOOP("Launch", "Use this serial port for this run instead of looking for the adapter (e.g. "
                                 "/dev/ttyUSB3, /dev/pts/7, COM7).")},
    {"has-adapter", "", QT_TRANSLATE_NOOP("Launch", "Exit with 0 when a programming adapter is connected.")},
    {"paced", "",
     QT_TRANSLATE_NOOP("Launch", "Send one packet per timer tick instead of as soon as the answer is in.")},
};

constexpr ProgramManual Manual{
    "tunekit",
    "Launch",
    QT_TRANSLATE_NOOP("Launch", "configuration and service tool for industrial radio remote controls"),
    QT_TRANSLATE_NOOP("Launch", "[options]"),
    QT_TRANSLATE_NOOP("Launch", "Tunekit reads a hand-held transmitter's identity, parameters and information through "
                                "the USB-serial programming adapter, lets the user edit them and writes them back; "
                                "it opens, verifies, converts and writes .scd configuration files. Without --port "
                                "or --simulate it looks for the adapter (USB 0403:d7a0) at start-up.\n\n"
                                "Its settings are kept in settings.cfg in the user's configuration folder "
                                "(~/.config/Tunekit), or beside the program when it runs from its own writable "
                                "folder, as a build or an unpacked copy does."),
    {},
    OptionRows,
    {},
    {},
    "tunekit-cli(1), tunekit-sim(1)",
};

} // namespace

LaunchRequest parseLaunchArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOptions(parserOptions(Manual));
    LaunchRequest request;
    if (!parser.parse(arguments)) {
        request.usageError = true;
        request.text = usageErrorText(parser, Manual) + QLatin1Char('\n');
        return request;
    }
    request.text = standardRequestText(Manual, standardRequestOf(parser));
    request.adapterCheck = parser.isSet(QStringLiteral("has-adapter"));
    request.options.simulate = parser.isSet(QStringLiteral("simulate"));
    request.options.configId = parser.value(QStringLiteral("config-id")).toInt();
    if (parser.isSet(QStringLiteral("config-id"))) {
        if (const QString problem = simulatedConfigIdProblem(request.options.configId); !problem.isEmpty()) {
            request.usageError = true;
            request.text = problem + QLatin1Char('\n');
            return request;
        }
    }
    request.options.port = parser.value(QStringLiteral("port"));
    request.options.paced = parser.isSet(QStringLiteral("paced"));
    return request;
}

bool displayNamed(const QStringList& arguments, const QStringList& environment)
{
    const auto set = [&environment](QLatin1StringView name) {
        return std::any_of(environment.cbegin(), environment.cend(), [name](const QString& entry) {
            return entry.startsWith(name) && entry.size() > name.size() + 1 && entry.at(name.size()) == QLatin1Char('=');
        });
    };
    if (arguments.contains(QStringLiteral("-platform")) || arguments.contains(QStringLiteral("--platform"))
        || set(QLatin1StringView("QT_QPA_PLATFORM")))
        return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return set(QLatin1StringView("DISPLAY")) || set(QLatin1StringView("WAYLAND_DISPLAY"));
#else
    return true;
#endif
}

QString noDisplayText()
{
    return QCoreApplication::translate("Launch", "Tunekit needs a display to show its window, and none was found (DISPLAY "
                                                 "and WAYLAND_DISPLAY are not set, or the display does not answer). "
                                                 "tunekit-cli works without one.")
           + QLatin1Char('\n');
}

MainWindowSetup makeWindowSetup(const LaunchOptions& options)
{
    MainWindowSetup setup;
    setup.clock = std::make_unique<QtClock>();
    setup.host = std::make_unique<SystemHostFacts>();
    setup.paced = options.paced;
    // Opened once, on the keeper's own thread, when the first record is kept.
    setup.records = std::make_unique<records::RecordKeeper>([] { return records::openUserStore(); });
    setup.linePlan.paced = options.paced;
    if (options.simulate) {
        SimSwitches unit;
        unit.configId = options.configId;
        setup.linePlan.simulated = unit;
        setup.plan = {false, 1, QString()};
    } else if (!options.port.isEmpty()) {
        // Every port number opens the named port; its number (COM7, ttyUSB6) is kept where it
        // has one, so that the status bar and the messages speak of the right COM port.
        const qint16 number = portNumberOfSystemName(options.port);
        setup.linePlan.port = options.port;
        setup.plan = {false, number >= 1 ? number : qint16(1), options.port};
    } else {
        setup.plan = {};
    }
    setup.line = makeLine(setup.linePlan, *setup.clock);
    return setup;
}

} // namespace tunekit
