#include "sim/sim_switches.h"

#include "params/transmitter_family.h"

#include <QCoreApplication>

namespace tunekit {
namespace {

// What tunekit-sim accepts and what its --help and manual page say.
constexpr OptionEntry SimOptionRows[] = {
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

} // namespace

void SimSwitches::setUp(SimDevice& device) const
{
    if (fresh)
        device.makeFresh();
    if (systemAddress >= 0)
        device.setSystemAddress(systemAddress);
    device.setKnowsConfigEnable(!oldFirmware);
    device.setConfigEnableAnswer(configEnableAnswer);
    for (const auto& [index, subindex] : stuckCells)
        device.setStuckCell(index, subindex);
}

std::span<const OptionEntry> simOptions()
{
    return SimOptionRows;
}

QString simulatedConfigIdProblem(int configId)
{
    if (isTransmitterFamily(configId))
        return {};
    QStringList known;
    for (const TransmitterFamily& family : TransmitterFamilies) {
        if (isTransmitterFamily(family.configId))
            known << QString::number(family.configId);
    }
    return QCoreApplication::translate("SimSwitches", "No transmitter family has the ConfigID %1; the simulated transmitter can be %2.")
        .arg(QString::number(configId), known.join(QStringLiteral(", ")));
}

std::optional<SimSwitches> readSimSwitches(const QCommandLineParser& parser)
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
    SimSwitches switches;
    switches.configId = number("config-id", 0, 255, SimDevice::DefaultConfigId);
    switches.systemAddress = number("system-address", 0, 65535, -1);
    switches.fresh = isSet("fresh");
    switches.oldFirmware = isSet("old-firmware");
    SimFaults& faults = switches.faults;
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
        switches.configEnableAnswer = type == QStringLiteral("none") ? std::nullopt : std::optional(static_cast<std::uint8_t>(code));
    }
    for (const QString& cell : parser.values(QStringLiteral("stuck-cell"))) {
        bool indexOk = false;
        bool subOk = false;
        switches.stuckCells.append({cell.section(QLatin1Char('/'), 0, 0).toInt(&indexOk, 16),
                                    cell.section(QLatin1Char('/'), 1, 1).toInt(&subOk, 16)});
        valid = valid && indexOk && subOk;
    }
    return valid ? std::optional(switches) : std::nullopt;
}

std::optional<SimSwitches> parseSimSwitches(const QStringList& words)
{
    QCommandLineParser parser;
    for (const OptionEntry& entry : SimOptionRows) {
        const QStringList names = QString::fromLatin1(entry.names).split(QLatin1Char('|'));
        parser.addOption(*entry.valueName ? QCommandLineOption(names, QString(), QString::fromLatin1(entry.valueName))
                                          : QCommandLineOption(names));
    }
    if (!parser.parse(QStringList{QStringLiteral("tunekit-sim")} + words))
        return std::nullopt;
    return readSimSwitches(parser);
}

} // namespace tunekit
