#include "session/session.h"

#include "base/dialogs.h"
#include "session/port_discovery.h"
#include "session/settings_file.h"
#include "files/config_file_reader.h"
#include "host/host_facts.h"
#include "link/clock.h"
#include "link/serial_line.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace tunekit {
namespace {

QString simulatedTransmitter()
{
    return QCoreApplication::translate("Session", "simulated transmitter");
}

// The level menu's marks with only the level given ticked.
PerLevel onlyTicked(AccessLevel level)
{
    PerLevel checks{};
    checks[level.index()] = true;
    return checks;
}

// Where each transfer option lives, in TransferOption's order.
constexpr bool TransferOptions::* OptionFlags[] = {&TransferOptions::resetBeforeTransmit,
                                                  &TransferOptions::sendChangedOnly,
                                                  &TransferOptions::eraseTextsAfterWrite};

} // namespace

Session::Session(SessionSeams seams, SessionViews& views, UiLanguage& language)
    : seams_(seams), views_(views), language_(language),
      station_(StationSeams{seams.line, seams.clock, seams.dialogs}, views, [this] { return access_.level; })
{
    // Every button that reaches the device leaves a record, without a word unless it was not stored.
    station_.setRecords(seams.records, Recording::EveryOperation);
    // The records name the simulation as the command line does, in no user's language.
    station_.setRecordSite([this] {
        return RecordSite{seams_.host.computerName(),
                          seams_.line.simulated() ? QStringLiteral("simulated") : discovery_.adapterPortCaption, {}};
    });
}

QCoro::Task<> Session::startup(PortPlan plan)
{
    plan_ = plan;
    readHostFacts();

    for (int tab = 1; tab <= 4; ++tab)
        views_.setTabVisible(tab, false);
    views_.applyLevelChecks({});

    readSettingsFile();
    setLanguage();
    co_await findPort(false);
    access_.levelChecks = {};
    views_.prepareOverview();
    views_.changed(StationChange::Status);

    co_await station_.startUp({1000, true, levelMarks(access_.level), uiLanguageNow()});
    applyUserLevel();
    showImage();

    views_.showConsoles(consolesBySettings_, consolesBySettings_);
    views_.changed(StationChange::Status);
    views_.arrangeWindows();
    co_await station_.finishStartUp(true);
    views_.logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
}

void Session::readHostFacts()
{
    version_ = makeVersionInfo(version_.buildNumber);
    const QStringList environment = seams_.host.environment();
    os_ = osNamesOf(seams_.host.osVersionRecord(), environment);
    wordWidth_ = wordWidthOf(environment);
    regLang_ = installLanguageOf(seams_.host.defaultLanguageId());
}

QCoro::Task<> Session::connectHeadless(PortPlan plan)
{
    plan_ = plan;
    readHostFacts();
    setLanguage();
    co_await findPort(true);
    co_await station_.startUp({0, false, levelMarks(access_.level), uiLanguageNow()});
    applyUserLevel();
    co_await station_.finishStartUp(false);
}

QString Session::namedPortCaption() const
{
    return seams_.line.simulated() ? simulatedTransmitter() : plan_.name;
}

void Session::shutdown()
{
    // An operation under way ends here, as cancelled, while everything it tells still exists.
    station_.close();
    station_.closePort();
}

void Session::mainTimerTick()
{
    station_.tick();
    if (!access_.refreshPending)
        return;
    access_.refreshPending = false;
    views_.applyLevelChecks(access_.levelChecks);
    const ConsoleVisibility consoles = consolesForLevel(access_);
    views_.showConsoles(consoles.terminal, consoles.console);
    views_.changed(StationChange::Values);
}

StatusBarTexts Session::statusBar() const
{
    const qint16 portNumber = station_.portState().portNumber;
    const bool connected = portNumber >= 1;
    const qint16 configId = station_.deviceConfigId();
    StatusBarTexts t;
    t[0] = connected ? QCoreApplication::translate("Session", "Connected") : QCoreApplication::translate("Session", "Disconnected");
    t[1] = !connected ? QString() : portNamed() ? plan_.name : QStringLiteral("COM=%1").arg(portNumber);
    t[2] = configId >= 1 ? QStringLiteral("ID=%1").arg(configId) : QStringLiteral("ID=?");
    // The packet bytes still waiting in the queue (8 per packet).
    t[3] = QStringLiteral("Bytes=%1").arg(station_.queuedPackets() * 8);
    t[4] = os_.shortName;
    t[5] = QStringLiteral(" Build ") + version_.buildNumber;
    if (seams_.line.simulated())
        t[6] = simulatedTransmitter();
    else if (connected)
        t[6] = plan_.discover ? seams_.line.portName() : plan_.name;
    return t;
}

QString Session::windowTitle() const
{
    QString title = version_.windowTitle();
    if (seams_.line.simulated())
        title += QStringLiteral(" (") + simulatedTransmitter() + QLatin1Char(')');
    return title;
}

QString Session::aboutTitle() const
{
    return QCoreApplication::translate("About", "About ...");
}

QString Session::aboutText() const
{
    const QString rule(35, QLatin1Char('_'));
    QStringList lines{rule, QStringLiteral("T u n e k i t"), QStringLiteral("Version: ") + version_.version};
    if (german()) {
        lines << QStringLiteral("Build: ") + version_.buildNumber << QStringLiteral("Stand: ") + version_.versionDate;
    } else {
        lines << QStringLiteral("Date: ") + version_.versionDate;
    }
    const PortState port = station_.portState();
    lines << rule << QStringLiteral("OS: ") + os_.fullName + QLatin1Char(' ') + wordWidth_
          << QStringLiteral("Lng: ") + regLang_ << QStringLiteral("HVX-Port: COM %1").arg(port.adapterPort)
          << QStringLiteral("Act-Port: COM %1").arg(port.portNumber);
    if (!plan_.discover)
        lines << QStringLiteral("Port: ") + namedPortCaption();
    lines << QStringLiteral("CfgID: %1").arg(station_.image().imageConfigId);
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString Session::busyText()
{
    return QCoreApplication::translate("Session", "Please wait until the data transfer has ended.");
}

bool Session::refusedWhileTransferring()
{
    // The image, the file data and the level belong to the transfer until it ends: a write
    // must not send a file's values that no check has seen, and a read must not fill an image
    // that was just replaced.
    if (!station_.busy())
        return false;
    seams_.dialogs.msgBox(busyText(), MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Tunekit"));
    return true;
}

void Session::chooseLanguage(const QString& chosen)
{
    if (refusedWhileTransferring()) {
        views_.languageChanged(); // the menu's check marks as they were
        return;
    }
    chosenLanguage = chosen;
    setLanguage();
}

void Session::setLanguage()
{
    const QString& pick = !chosenLanguage.isEmpty() ? chosenLanguage
                          : !setFileLang.isEmpty()  ? setFileLang
                                                    : regLang_;
    actLanguage_ = pick == QLatin1StringView("DE") ? 1 : 0;
    language_.set(languageFromNumber(actLanguage_));
    views_.languageChanged();
    // The display texts follow the language; the values read and edited stay.
    writeSettingsFile();
    station_.showInLanguage(uiLanguageNow());
    showImage();
    // The named port's caption ("simulated transmitter") and the status bar speak it too.
    if (!plan_.discover)
        discovery_.adapterPortCaption = namedPortCaption();
    views_.connectionChanged();
    views_.changed(StationChange::Status);
}

QString Session::settingsFilePath() const
{
    const QString folder = seams_.host.settingsFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1StringView(SettingsFileName));
}

void Session::readSettingsFile()
{
    discovery_.settingsPortKnown = false;
    storedPort_ = 0;
    consolesBySettings_ = false;
    QFile file(settingsFilePath());
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    const SettingsRead read = readSettings(file.read(SettingsFileReadLimit));
    file.close();

    if (read.filePortFound) {
        discovery_.settingsPortKnown = true;
        discovery_.settingsPort = read.filePort;
        storedPort_ = read.filePort;
        // Only after discovery has probed the port does the file choose it (not at start-up).
        if (discovery_.portAvailable[static_cast<std::size_t>(read.filePort)]) {
            const PortState port = station_.portState();
            station_.choosePort(port.adapterFound ? port.adapterPort : read.filePort, port.adapterFound, port.adapterPort);
        }
    }
    if (!read.setFileLang.isEmpty())
        setFileLang = read.setFileLang;
    for (std::size_t i = 0; i < TransferOptionsInFileOrder.size(); ++i) {
        if (const auto& option = read.options[i])
            setOption(TransferOptionsInFileOrder[i], *option);
    }
    if (read.longDelay) {
        station_.setLongDelay(read.longDelay->ticked, read.longDelay->seconds);
        longDelay_.longDelayText = read.longDelay->text;
        longDelay_.boxVisible = read.longDelay->ticked;
        longDelay_.secondsLabelVisible = read.longDelay->ticked;
    }
    if (read.paced && !pacedByCommandLine_)
        station_.setPaced(*read.paced);
    if (read.authText) {
        const StoredLevel stored = restoreStoredLevel(access_, *read.authText);
        consolesBySettings_ = stored.consoles;
        if (stored.menuCheck)
            views_.applyLevelChecks(onlyTicked(*stored.menuCheck));
    }
    views_.optionsChanged();
}

void Session::writeSettingsFile()
{
    const QString path = settingsFilePath();
    if (path.isEmpty())
        return;
    SettingsToWrite settings;
    // The port discovery chose is the one to look for next time. Until it has chosen one (at
    // start-up the language is saved before discovery runs) and when it finds none, the file keeps
    // the port it names. A port named for one run (or the simulated line) is never stored.
    const PortState port = station_.portState();
    settings.portNumber = plan_.discover && port.portNumber >= 1 ? port.portNumber : storedPort_;
    settings.actLanguage = actLanguage_;
    for (std::size_t i = 0; i < TransferOptionsInFileOrder.size(); ++i)
        settings.options[i] = option(TransferOptionsInFileOrder[i]);
    settings.longDelay = port.longDelay;
    settings.longDelayText = longDelay_.longDelayText;
    settings.authFileString = access_.rememberedPassword;
    settings.paced = station_.paced();
    // Written whole and then renamed, so a failure leaves the old file as it was. Failures are
    // silent: the settings are then simply not kept.
    // It holds the remembered password: its user's alone, whatever the umask.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)
        && file.write(composeSettingsFile(settings)) >= 0 && file.commit()) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        storedPort_ = settings.portNumber;
    }
}

void Session::setOption(TransferOption option, bool ticked)
{
    TransferOptions options = station_.transferOptions();
    options.*OptionFlags[static_cast<std::size_t>(option)] = ticked;
    station_.setTransferOptions(options);
    views_.optionsChanged();
}

bool Session::option(TransferOption option) const
{
    return station_.transferOptions().*OptionFlags[static_cast<std::size_t>(option)];
}

void Session::setPaced(bool paced)
{
    station_.setPaced(paced);
    views_.optionsChanged();
}

void Session::paceThisRun()
{
    pacedByCommandLine_ = true;
    setPaced(true);
}

void Session::setLongDelay(bool ticked)
{
    station_.setLongDelay(ticked, ticked ? station_.portState().longDelaySeconds : qint16(0));
    longDelay_.boxVisible = ticked;
    longDelay_.secondsLabelVisible = ticked;
    views_.optionsChanged();
}

void Session::editLongDelay(const QString& text)
{
    const LongDelayEdit edit = longDelayTextChanged(text);
    longDelay_.secondsLabelVisible = true;
    longDelay_.longDelayText = edit.text;
    if (edit.seconds) {
        station_.setLongDelay(true, *edit.seconds);
        longDelay_.boxVisible = true;
    }
    views_.optionsChanged();
}

ConfigTabView Session::configTabView()
{
    const bool productionRights = access_.checkedLevelHasProductionRights();
    ConfigTabView view;
    // A serial number the family does not allow sets the OEM code to 0, unless a transfer owns
    // the image: then it is only shown.
    if (!station_.editImage([&](DeviceImage& image) { view = configTabOf(image, productionRights, seams_.dialogs); })) {
        DeviceImage shown = station_.image();
        view = configTabOf(shown, productionRights, seams_.dialogs);
    }
    return view;
}

AddressLabels Session::typeSerialNumber(const QString& text, bool typedByWindow)
{
    const bool internalValues = access_.level.seesInternalAddressValues();
    AddressLabels labels;
    // Typed while a transfer runs, the number does not reach the image, which the transfer owns;
    // the box shows the image again when the transfer ends.
    if (!station_.editImage([&](DeviceImage& image) { labels = serialNumberTyped(image, text, typedByWindow, internalValues); })) {
        DeviceImage shown = station_.image();
        labels = serialNumberTyped(shown, text, typedByWindow, internalValues);
    }
    return labels;
}

void Session::typeProductionNumber(const QString& text, bool typedByWindow)
{
    station_.editImage([&](DeviceImage& image) { productionNumberTyped(image, text, typedByWindow); });
}

bool Session::overviewRowEditable(const QString& rowName) const
{
    return !station_.busy() && beforeLabelEdit(station_.image(), rowName);
}

OverviewEditResult Session::editOverviewValue(const QString& rowName, const QString& text)
{
    OverviewEditResult result;
    if (station_.editImage([&](DeviceImage& image) { result = afterLabelEdit(image, rowName, text, seams_.dialogs); }))
        return result;
    // An editor opened before the transfer began: the row goes back to what the image holds.
    seams_.dialogs.msgBox(busyText(), MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Tunekit"));
    result.nr = findConfigDefine(rowName).nr;
    const DeviceImage image = station_.image();
    result.rowText = result.nr > 0 ? image.value[static_cast<std::size_t>(result.nr)] : QString();
    return result;
}

void Session::showImage()
{
    views_.changed(StationChange::Values | StationChange::Facts);
}

void Session::applyUserLevel()
{
    // The level's marks are the station's business even while it works: they decide nothing of
    // a transfer under way.
    station_.setLevelMarks(levelMarks(access_.level));
    setUserLevel(access_, access_.level);
    views_.applyLevelView(viewForLevel(access_.level));
}

QCoro::Task<> Session::levelMenuCommand(AccessLevel level, std::function<QCoro::Task<>()> showDialog)
{
    if (refusedWhileTransferring()) {
        views_.applyLevelChecks(access_.levelChecks);
        co_return;
    }
    LevelCommandResult result;
    station_.editImage([&](DeviceImage& image) { result = tunekit::levelMenuCommand(level, access_, image, {}); });
    // The password dialog is awaited, not run in a loop of its own; the level it grants counts.
    if (result.dialogShown && showDialog) {
        co_await showDialog();
        applyUserLevel();
        result.view = viewForLevel(access_.level);
    }
    else
        writeSettingsFile();
    // The menu ticks the level in force, also when the dialog was cancelled (the menu item
    // ticks itself when clicked).
    views_.applyLevelChecks(onlyTicked(access_.level));
    views_.applyLevelView(result.view);
    if (result.refreshViews)
        showImage();
    else
        views_.changed(StationChange::Facts);
    views_.arrangeWindows();
}

void Session::clearFileData()
{
    if (refusedWhileTransferring())
        return;
    station_.editImage([](DeviceImage& image) { image.clearFileData(); });
    views_.changed(StationChange::Facts);
    views_.logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
}

QCoro::Task<> Session::openFile()
{
    if (refusedWhileTransferring())
        co_return;
    const QString path = co_await chooseConfigFile(seams_.dialogs);
    // The file dialog stays open as long as the user likes: the station may have begun work since.
    if (refusedWhileTransferring())
        co_return;
    if (needsViewRefresh(openFiles({path})))
        showImage();
}

void Session::openDroppedFiles(const QStringList& paths)
{
    if (refusedWhileTransferring())
        return;
    if (needsViewRefresh(openFiles(paths)))
        showImage();
}

OpenStatus Session::openFiles(const QStringList& paths)
{
    OpenStatus status = OpenStatus::Busy;
    station_.editImage([&](DeviceImage& image) {
        status = openChosenFile(paths, image, seams_.dialogs, access_.level, seams_.host.now().date());
    });
    return status;
}

bool Session::refusedForDevice()
{
    // A second click while the first one's transfer runs is told so, not ignored.
    if (refusedWhileTransferring())
        return true;
    if (!portLent_)
        return false;
    seams_.dialogs.msgBox(QCoreApplication::translate("Session", "The Production tab's line uses the port now. "
                                                                 "It is free again once the line has stopped."),
                          MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Tunekit"));
    return true;
}

QCoro::Task<> Session::readParameters()
{
    if (refusedForDevice())
        co_return;
    co_await station_.readParameters();
}

QCoro::Task<> Session::write()
{
    if (refusedForDevice())
        co_return;
    co_await station_.writeImage();
}

QString Session::backupFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("backups"));
}

QCoro::Task<> Session::restoreBackup(QString path)
{
    if (refusedForDevice())
        co_return;
    const QString serial = station_.serialNumber();
    const QString question =
        QCoreApplication::translate("Session", "Write the backup %1 back to the unit with serial number %2?\r\n"
                                               "Every value goes back as the backup holds it; the unit is backed up first "
                                               "and read back afterwards.")
            .arg(QDir::toNativeSeparators(path), serial);
    const MsgAnswer answer = co_await seams_.dialogs.ask(Question::RestoreBackup, question, MsgButtons::YesNo,
                                                         MsgIcon::Question, QCoreApplication::translate("Session", "Restore backup"));
    if (answer != MsgAnswer::Yes || refusedForDevice())
        co_return;
    // Made apart from the co_await: GCC 12 destroys a temporary in a co_await expression twice.
    ProgramRequest request{path, backupFolder(), true, seams_.host, version_, {}, true};
    const ProgramReport report = co_await station_.programUnit(request);
    showImage();
    QString told;
    MsgIcon icon = MsgIcon::Exclamation;
    switch (report.stage) {
    case ProgramReport::Stage::Verified:
        told = QCoreApplication::translate("Session", "The backup is written back and verified: the unit holds its values.");
        icon = MsgIcon::Information;
        break;
    case ProgramReport::Stage::Cancelled: co_return;
    default:
        // The write's own messages said why; this says what the unit holds now.
        if (report.stage >= ProgramReport::Stage::Written)
            told = QCoreApplication::translate("Session", "The backup is written back, but the read-back did not find its values.");
        else if (report.write.anythingSent)
            told = QCoreApplication::translate("Session", "The backup was written back only in part. The unit as it was: %1")
                       .arg(QDir::toNativeSeparators(report.backup.path));
        else
            told = QCoreApplication::translate("Session", "Nothing was written to the unit.");
        break;
    }
    seams_.dialogs.msgBox(told, MsgButtons::Ok, icon, QCoreApplication::translate("Session", "Restore backup"));
}

QCoro::Task<> Session::readInformation()
{
    if (refusedForDevice())
        co_return;
    co_await station_.readInformation();
}

QCoro::Task<> Session::readInterpreterInfo()
{
    if (refusedForDevice())
        co_return;
    co_await station_.readInterpreterInfo();
}

QCoro::Task<> Session::reset()
{
    if (refusedForDevice())
        co_return;
    co_await station_.reset();
}

QCoro::Task<> Session::writeTestInterpreter()
{
    if (refusedForDevice())
        co_return;
    co_await station_.writeTestInterpreter(seams_.host.programFolder());
}

QCoro::Task<> Session::redetectDevice()
{
    if (refusedForDevice())
        co_return;
    co_await station_.redetect();
}

} // namespace tunekit

namespace tunekit {

QString formatDebugLine(const QTime& time, const QString& text)
{
    const int hundredths = time.msec() / 10;
    return time.toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(".%1 : ").arg(hundredths, 2, 10, QLatin1Char('0'))
           + text;
}

} // namespace tunekit
