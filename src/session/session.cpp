#include "session/session.h"

#include "base/dialogs.h"
#include "session/settings_file.h"
#include "files/checksum_conversion.h"
#include "files/config_file_reader.h"
#include "host/host_facts.h"
#include "link/clock.h"
#include "link/serial_line.h"
#include "params/config_defines.h"
#include "records/store_choice.h"
#include "session/unit_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace tunekit {

StatusBarTexts MakeStatusBarTexts(const StatusBarInput& in)
{
    StatusBarTexts t;
    const bool connected = in.portNumber >= 1;
    t[0] = connected ? QStringLiteral("Connected") : QStringLiteral("Disconnected");
    t[1] = connected ? QStringLiteral("COM=%1").arg(in.portNumber) : QString();
    t[2] = in.deviceConfigId >= 1 ? QStringLiteral("ID=%1").arg(in.deviceConfigId) : QStringLiteral("ID=?");
    // The packet bytes still waiting in the queue (8 per packet).
    t[3] = QStringLiteral("Bytes=%1").arg(in.queuedCharacters);
    t[4] = in.winVerShort;
    t[5] = QStringLiteral(" Build ") + in.build;
    if (in.simulated)
        t[6] = QCoreApplication::translate("Session", "simulated transmitter");
    else
        t[6] = connected ? in.portName : QString();
    return t;
}

Session::Session(SessionSeams seams, SessionViews& views, UiLanguage& language)
    : seams_(seams), views_(views), language_(language),
      station_(StationSeams{seams.line, seams.clock, seams.dialogs}, views, [this] { return access_.level; })
{
}

QCoro::Task<> Session::Startup(PortPlan plan)
{
    plan_ = plan;
    ReadHostFacts();

    for (int tab = 1; tab <= 4; ++tab)
        views_.SetTabVisible(tab, false);
    terminalEnabled = false;
    packetConsoleEnabled = false;
    views_.ApplyLevelChecks({});

    ReadSettingsFile();
    SetLanguage();
    if (plan_.discover)
        co_await CheckComPorts();
    else
        OpenNamedPort();
    access_.levelChecks = {};
    views_.PrepareOverview();
    views_.Changed(StationChange::Status);

    co_await Rs232().Pause(1000);

    co_await Transfers().DetectDevice();
    Image().ClearFileData();
    Image().InitDeviceImage(LevelMarks(access_.level), UiLanguageNow());
    ApplyUserLevel();
    ShadowAll();

    views_.ShowConsoles(terminalEnabled, packetConsoleEnabled);
    views_.Changed(StationChange::Status);
    views_.ArrangeWindows();
    if (Port().portNumber >= 1)
        co_await Rs232().ResetDevice();
    views_.Logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
    Engine().State().resetPending = false;
    Image().imageConfigId = Image().deviceConfigId;
}

void Session::ReadHostFacts()
{
    version_ = MakeVersionInfo(version_.buildNumber);
    Engine().State().resetPending = false;
    Port().portNumber = 0;
    Image().imageConfigId = 0;
    const QStringList environment = seams_.host.Environment();
    os_ = osNamesOf(seams_.host.OsVersionRecord(), environment);
    wordWidth_ = wordWidthOf(environment);
    regLang_ = installLanguageOf(seams_.host.DefaultLanguageId());
}

QCoro::Task<> Session::ConnectHeadless(PortPlan plan)
{
    plan_ = plan;
    ReadHostFacts();
    SetLanguage();
    if (plan_.discover)
        co_await CheckComPorts(1);
    else
        OpenNamedPort();
    if (Port().portNumber >= 1 && Port().adapterFound)
        co_await Transfers().DetectDevice();
    Image().ClearFileData();
    Image().InitDeviceImage(LevelMarks(access_.level), UiLanguageNow());
    ApplyUserLevel();
    Engine().State().resetPending = false;
    Image().imageConfigId = Image().deviceConfigId;
}

void Session::OpenNamedPort()
{
    // The port named for this run stands in for the adapter's: it is used as found when it opens.
    station_.OpenAdapterPort(plan_.number);
    discovery_.adapterLocated = Port().adapterFound;
    discovery_.adapterPortCaption = seams_.line.Simulated() ? QCoreApplication::translate("Session", "simulated transmitter")
                                                            : plan_.name;
    UpdateComMenu(discovery_.menu, Port().portNumber, Port().adapterPort);
    views_.ConnectionChanged();
    views_.Changed(StationChange::Status);
}

void Session::Shutdown()
{
    Rs232().ClosePort();
}

void Session::MainTimerTick()
{
    Engine().TransmitTick();
    if (!access_.refreshPending)
        return;
    access_.refreshPending = false;
    views_.ApplyLevelChecks(access_.levelChecks);
    const ConsoleVisibility consoles = ConsolesForLevel(access_);
    views_.ShowConsoles(consoles.terminal, consoles.console);
    views_.Changed(StationChange::Values);
}

StatusBarTexts Session::StatusBar() const
{
    return MakeStatusBarTexts({Port().portNumber, Image().deviceConfigId, Engine().State().queue.Length(), os_.shortName,
                               version_.buildNumber,
                               Port().portNumber < 1 ? QString() : plan_.discover ? seams_.line.PortName() : plan_.name,
                               seams_.line.Simulated()});
}

QString Session::WindowTitle() const
{
    QString title = version_.WindowTitle();
    if (seams_.line.Simulated())
        title += QStringLiteral(" (") + QCoreApplication::translate("Session", "simulated transmitter") + QLatin1Char(')');
    return title;
}

QString Session::AboutTitle() const
{
    return QCoreApplication::translate("About", "About ...");
}

QString Session::AboutText() const
{
    const QString rule(35, QLatin1Char('_'));
    QStringList lines{rule, QStringLiteral("T u n e k i t"), QStringLiteral("Version: ") + version_.version};
    if (German()) {
        lines << QStringLiteral("Build: ") + version_.buildNumber << QStringLiteral("Stand: ") + version_.versionDate;
    } else {
        lines << QStringLiteral("Date: ") + version_.versionDate;
    }
    lines << rule << QStringLiteral("OS: ") + os_.fullName + QLatin1Char(' ') + wordWidth_
          << QStringLiteral("Lng: ") + regLang_ << QStringLiteral("HVX-Port: COM %1").arg(Port().adapterPort)
          << QStringLiteral("Act-Port: COM %1").arg(Port().portNumber);
    if (!plan_.discover)
        lines << QStringLiteral("Port: ")
                     + (seams_.line.Simulated() ? QCoreApplication::translate("Session", "simulated transmitter")
                                                : plan_.name);
    lines << QStringLiteral("CfgID: %1").arg(Image().imageConfigId);
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString Session::BusyText()
{
    return QCoreApplication::translate("Session", "Please wait until the data transfer has ended.");
}

bool Session::RefusedWhileTransferring()
{
    // The image, the file data and the level belong to the transfer until it ends: a write
    // must not send a file's values that no check has seen, and a read must not fill an image
    // that was just replaced.
    if (!station_.Busy())
        return false;
    seams_.dialogs.MsgBox(BusyText(), MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Tunekit"));
    return true;
}

void Session::ChooseLanguage(const QString& chosen)
{
    if (RefusedWhileTransferring()) {
        views_.LanguageChanged(); // the menu's check marks as they were
        return;
    }
    ChosenLanguage = chosen;
    SetLanguage();
}

void Session::SetLanguage()
{
    const QString& pick = !ChosenLanguage.isEmpty() ? ChosenLanguage
                          : !SetFileLang.isEmpty()  ? SetFileLang
                                                    : regLang_;
    actLanguage_ = pick == QLatin1StringView("DE") ? 1 : 0;
    language_.Set(languageFromNumber(actLanguage_));
    views_.LanguageChanged();
    // The display texts follow the language; the values 2..62 are emptied with them.
    WriteSettingsFile();
    Image().FillDisplayTexts(UiLanguageNow());
    Image().RefreshInterpreterLabel();
    ShadowAll();
    views_.ConnectionChanged();
}

QString Session::SettingsFilePath() const
{
    const QString folder = seams_.host.SettingsFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1StringView(SettingsFileName));
}

void Session::ReadSettingsFile()
{
    discovery_.settingsPortKnown = false;
    storedPort_ = 0;
    QFile file(SettingsFilePath());
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    const SettingsRead read = ReadSettings(file.read(SettingsFileReadLimit));
    file.close();

    if (read.FilePortFound) {
        discovery_.settingsPortKnown = true;
        discovery_.settingsPort = read.FilePort;
        storedPort_ = read.FilePort;
        // Only after discovery has probed the port does the file choose it (not at start-up).
        if (discovery_.portAvailable[static_cast<std::size_t>(read.FilePort)])
            Port().portNumber = Port().adapterFound ? Port().adapterPort : read.FilePort;
    }
    if (!read.SetFileLang.isEmpty())
        SetFileLang = read.SetFileLang;
    for (int i = 0; i < 3; ++i) {
        if (const auto& option = read.options[static_cast<std::size_t>(i)])
            SetOption(i, *option);
    }
    if (read.longDelay) {
        Port().longDelay = read.longDelay->ticked;
        Port().longDelaySeconds = read.longDelay->seconds;
        longDelay_.txtLongDelay = read.longDelay->text;
        longDelay_.boxVisible = read.longDelay->ticked;
        longDelay_.lblSekVisible = read.longDelay->ticked;
    }
    if (read.paced && !pacedByCommandLine_)
        Engine().SetPaced(*read.paced);
    if (read.authText) {
        const StoredLevel stored = RestoreStoredLevel(access_, *read.authText);
        if (stored.consoles) {
            terminalEnabled = true;
            packetConsoleEnabled = true;
        }
        if (stored.menuCheck) {
            std::array<bool, 6> checks{};
            checks[stored.menuCheck->index()] = true;
            views_.ApplyLevelChecks(checks);
        }
    }
    views_.OptionsChanged();
}

void Session::WriteSettingsFile()
{
    const QString path = SettingsFilePath();
    if (path.isEmpty())
        return;
    SettingsToWrite settings;
    // The port discovery chose is the one to look for next time. Until it has chosen one (at
    // start-up the language is saved before discovery runs) and when it finds none, the file keeps
    // the port it names. A port named for one run (or the simulated line) is never stored.
    settings.portNumber = plan_.discover && Port().portNumber >= 1 ? Port().portNumber : storedPort_;
    settings.actLanguage = actLanguage_;
    settings.options = {Options().chkResetBeforeTransmit, Options().ChkSendNewDataOnly,
                        Options().ChkEraseStringsAfterWrite};
    settings.longDelay = Port().longDelay;
    settings.longDelayText = longDelay_.txtLongDelay;
    settings.authFileString = access_.rememberedPassword;
    settings.paced = Engine().Paced();
    // Written whole and then renamed, so a failure leaves the old file as it was. Failures are
    // silent: the settings are then simply not kept.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(ComposeSettingsFile(settings)) >= 0 && file.commit())
        storedPort_ = settings.portNumber;
}

void Session::SetOption(int option, bool ticked)
{
    switch (option) {
    case 0: Options().chkResetBeforeTransmit = ticked; break;
    case 1: Options().ChkSendNewDataOnly = ticked; break;
    case 2: Options().ChkEraseStringsAfterWrite = ticked; break;
    default: return;
    }
    views_.OptionsChanged();
}

bool Session::Option(int option) const
{
    switch (option) {
    case 0: return Options().chkResetBeforeTransmit;
    case 1: return Options().ChkSendNewDataOnly;
    case 2: return Options().ChkEraseStringsAfterWrite;
    default: return false;
    }
}

void Session::SetPaced(bool paced)
{
    Engine().SetPaced(paced);
    views_.OptionsChanged();
}

void Session::PaceThisRun()
{
    pacedByCommandLine_ = true;
    SetPaced(true);
}

void Session::SetLongDelay(bool ticked)
{
    Port().longDelay = ticked;
    longDelay_.boxVisible = ticked;
    longDelay_.lblSekVisible = ticked;
    if (!ticked)
        Port().longDelaySeconds = 0;
    views_.OptionsChanged();
}

void Session::EditLongDelay(const QString& text)
{
    const LongDelayEdit edit = LongDelayTextChanged(text);
    longDelay_.lblSekVisible = true;
    longDelay_.txtLongDelay = edit.text;
    if (edit.seconds) {
        Port().longDelaySeconds = *edit.seconds;
        Port().longDelay = true;
        longDelay_.boxVisible = true;
    }
    views_.OptionsChanged();
}

QCoro::Task<> Session::CheckComPorts(int quiet)
{
    const PortProbe probe = [this](int n) { return Rs232().ProbePort(n); };
    PortState& port = Port();
    ChooseComPort(discovery_, {port.portNumber, port.adapterFound, port.adapterPort}, probe,
                  [this] { return FindAdapterPort(discovery_, seams_.host.AdapterPortName()); });
    co_await UsePort(port.portNumber);
    HandleComMessages(quiet);
}

QCoro::Task<> Session::UsePort(qint16 offered)
{
    discovery_.menu.otherVisible = false;
    PortState& port = Port();
    port.portNumber = MenuPort(discovery_, port.adapterFound, port.adapterPort, offered,
                               [this](int n) { return Rs232().ProbePort(n); });
    if (port.portNumber >= 1) {
        Rs232().ClosePort();
        co_await Rs232().Pause(50 + Rs232().OpenDelayMs());
        Rs232().OpenPort();
        co_await Rs232().Pause(50);
        Image().ClearFileData();
        views_.Changed(StationChange::Facts | StationChange::Values | StationChange::Status);
        WriteSettingsFile();
    }
    UpdateComMenu(discovery_.menu, port.portNumber, port.adapterPort);
    views_.ConnectionChanged();
}

void Session::HandleComMessages(int quiet)
{
    if (quiet != 0)
        return;
    if (const auto message = ComMessageFor(discovery_, Port().adapterFound, Port().adapterPort, os_.messageName))
        seams_.dialogs.MsgBox(message->text, MsgButtons::Ok, message->icon, message->title);
}

QCoro::Task<> Session::RedetectPort()
{
    Image().ClearFileData();
    views_.Changed(StationChange::Facts);
    views_.ShowRedetectWindow(true);
    co_await Rs232().Pause(20);
    Rs232().ClosePort();
    co_await Rs232().Pause(10);
    if (plan_.discover)
        co_await CheckComPorts();
    else
        OpenNamedPort();
    views_.ShowRedetectWindow(false);
    co_await Transfers().Redetect();
}

void Session::ShadowAll()
{
    views_.Changed(StationChange::Values | StationChange::Facts);
}

void Session::ApplyUserLevel()
{
    tunekit::ApplyUserLevel(access_, Image());
    Image().UpdateEditMarks();
    views_.ApplyLevelView(ViewForLevel(access_.level));
}

void Session::LevelMenuCommand(AccessLevel level, const std::function<void()>& showDialog)
{
    if (RefusedWhileTransferring()) {
        views_.ApplyLevelChecks(access_.levelChecks);
        return;
    }
    const LevelCommandResult result = tunekit::LevelMenuCommand(level, access_, Image(), showDialog);
    // The menu ticks the level in force, also when the dialog was cancelled (the menu item
    // ticks itself when clicked).
    std::array<bool, 6> checks{};
    checks[access_.level.index()] = true;
    views_.ApplyLevelChecks(checks);
    views_.ApplyLevelView(result.view);
    if (result.refreshViews)
        ShadowAll();
    else
        views_.Changed(StationChange::Facts);
    views_.ArrangeWindows();
}

void Session::ClearFileData()
{
    if (RefusedWhileTransferring())
        return;
    Image().ClearFileData();
    views_.Changed(StationChange::Facts);
    views_.Logged({TrafficEntry::Kind::PacketsCleared, {}, {}});
}

void Session::OpenFile()
{
    if (RefusedWhileTransferring())
        return;
    if (NeedsViewRefresh(FileOpenCommand(Image(), seams_.dialogs, access_.level, seams_.host.Now().date())))
        ShadowAll();
}

void Session::OpenDroppedFiles(const QStringList& paths)
{
    if (RefusedWhileTransferring())
        return;
    if (NeedsViewRefresh(FileDropCommand(paths, Image(), seams_.dialogs, access_.level, seams_.host.Now().date())))
        ShadowAll();
}

namespace {

// Keeps the record of a button's operation; tells the user only when it could not be stored.
void KeepWindowRecord(records::OperationRecord& record, bool passed, const QString& message, Dialogs& dialogs)
{
    record.ended = QDateTime::currentDateTimeUtc();
    record.result = QString::fromLatin1(passed ? records::ResultPassed : records::ResultFailed);
    record.exitCode = passed ? 0 : 1;
    record.message = message;
    const records::ChosenStore chosen = records::openChosenStore(
        QString(), qEnvironmentVariable("TUNEKIT_RECORDS"), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const records::RecordOutcome outcome = chosen.store ? records::keepRecord(*chosen.store, record)
                                                        : records::RecordOutcome{records::RecordOutcome::Status::Failed, chosen.error};
    if (outcome.status != records::RecordOutcome::Status::Stored)
        dialogs.MsgBox(records::outcomeNote(outcome), MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Tunekit"));
}

} // namespace

records::OperationRecord Session::StartRecord(const QString& command)
{
    records::OperationRecord record = records::startRecord(command, seams_.host.ComputerName(), QDateTime::currentDateTimeUtc());
    record.port = discovery_.adapterPortCaption;
    record.accessLevel = QString::fromLatin1(access_.level.recordName());
    return record;
}

QCoro::Task<> Session::ReadParameters()
{
    if (station_.Busy())
        co_return;
    records::OperationRecord record = StartRecord(QStringLiteral("read"));
    const ReadOutcome read = co_await station_.ReadParameters();
    if (read.configId != 0)
        describeUnit(record, station_);
    record.configId = read.configId;
    KeepWindowRecord(record, read.complete, QString(), seams_.dialogs);
}

QCoro::Task<> Session::Write()
{
    if (station_.Busy())
        co_return;
    records::OperationRecord record = StartRecord(QStringLiteral("write"));
    record.file = Image().labels.lblConfigFileName;
    const WriteResult result = co_await station_.Write();
    record.configId = Image().deviceConfigId;
    record.productionNumber = Image().value[ProductionNumberNr];
    record.serialNumber = station_.SerialNumber();
    KeepWindowRecord(record, result == WriteResult::Done, QString(), seams_.dialogs);
}

QCoro::Task<> Session::Reset()
{
    records::OperationRecord record = StartRecord(QStringLiteral("reset"));
    record.configId = Image().deviceConfigId;
    co_await station_.Reset();
    KeepWindowRecord(record, true, QString(), seams_.dialogs);
}

QCoro::Task<> Session::ConvertChecksum()
{
    co_await ConvertChecksumCommand(seams_.dialogs);
}

void Session::SetAutomaticResetOff(bool off)
{
    Engine().Reset().automaticResetOff = off;
}

} // namespace tunekit

namespace tunekit {

QString FormatDebugLine(const QTime& time, const QString& text)
{
    const int hundredths = time.msec() / 10;
    return time.toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(".%1 : ").arg(hundredths, 2, 10, QLatin1Char('0'))
           + text;
}

} // namespace tunekit
