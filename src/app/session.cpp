#include "app/session.h"

#include "app/dialogs.h"
#include "files/checksum_conversion.h"
#include "files/config_file_reader.h"
#include "host/host_facts.h"
#include "link/clock.h"
#include "link/serial_line.h"

#include <QCoreApplication>

namespace tunekit {

StatusBarTexts MakeStatusBarTexts(const StatusBarInput& in)
{
    StatusBarTexts t;
    const bool connected = in.intComPort >= 1;
    t[0] = connected ? QStringLiteral("Connected") : QStringLiteral("Disconnected");
    t[1] = connected ? QStringLiteral("COM=%1").arg(in.intComPort) : QString();
    t[2] = in.deviceConfigId >= 1 ? QStringLiteral("ID=%1").arg(in.deviceConfigId) : QStringLiteral("ID=?");
    // The packet bytes still waiting in the queue (8 per packet).
    t[3] = QStringLiteral("Bytes=%1").arg(in.queuedCharacters);
    t[4] = in.winVerShort;
    t[5] = QStringLiteral(" Build ") + in.build;
    t[6] = connected ? in.portName : QString();
    return t;
}

Session::Session(SessionSeams seams, SessionViews& views, UiLanguage& language)
    : seams_(seams), views_(views), language_(language), rs232_(seams.line, seams.clock, seams.dialogs, port_)
{
    rs232_.SetTerminalSink([this](const QByteArray& text) { views_.AddToTerminal(text); });
    engine_.Connect(rs232_, seams.dialogs, port_, views_);
    engine_.SetAuthLevelSource([this] { return access_.blnAuthLevel; });
    seams.line.SetListener([this](SerialLine::Event event) { engine_.OnComm(event); });
    TransferViews& transferViews = views_;
    transfers_ = std::make_unique<DeviceTransfers>(TransferContext{engine_, rs232_, port_, image_, seams.dialogs,
                                                                   transferViews, options_,
                                                                   [this] { return int(access_.blnAuthLevel); },
                                                                   HVXPort});
    engine_.SetDownloadResponseHandler([this](const QByteArray& packet) { transfers_->HandleDownloadResponse(packet); });
    writes_ = std::make_unique<DeviceWrites>(*transfers_);
}

void Session::Startup(qint16 startPort)
{
    version_ = MakeVersionInfo(version_.metaInfo4);
    engine_.State().ResetPending = false;
    port_.intComPort = 0;
    image_.imageConfigId = 0;

    const QStringList environment = seams_.host.Environment();
    os_ = GetOsName(seams_.host.OsVersionRecord(), environment);
    wordWidth_ = GetWordWidth(environment);
    regLang_ = GetInstallLanguage(seams_.host.DefaultLanguageId());

    for (int tab = 1; tab <= 3; ++tab)
        views_.SetTabVisible(tab, false);
    if (access_.blnAuthLevel == 0)
        access_.blnAuthLevel = 10;
    blnTerminalEnable = false;
    blnContatcViewEnable = false;

    SetLanguage();
    // Until adapter discovery chooses, the start port given by the caller is used.
    if (startPort >= 1) {
        port_.intComPort = startPort;
        port_.HVXPortFound = rs232_.OpenPort();
        HVXPort = port_.HVXPortFound ? startPort : qint16(0);
    }
    access_.levelChecks = {};
    views_.PrepareOverview();
    views_.UpdateStatusBar();

    rs232_.WaitMs(1000);

    transfers_->DetectDevice();
    image_.ClearFileData();
    image_.InitDeviceImage(access_.blnAuthLevel, UiLanguageNow());
    ApplyUserLevel();
    ShadowAll();

    views_.ShowConsoles(blnTerminalEnable, blnContatcViewEnable);
    views_.UpdateStatusBar();
    views_.ArrangeWindows();
    if (port_.intComPort >= 1)
        rs232_.ResetDevice();
    views_.ClearPacketConsole();
    engine_.State().ResetPending = false;
    image_.imageConfigId = image_.deviceConfigId;
}

void Session::Shutdown()
{
    rs232_.ClosePort();
}

void Session::MainTimerTick()
{
    engine_.TransmitTick();
    if (!access_.blnUpdateKey)
        return;
    access_.blnUpdateKey = false;
    views_.ApplyLevelChecks(access_.levelChecks);
    const ConsoleVisibility consoles = ConsolesForLevel(access_);
    views_.ShowConsoles(consoles.terminal, consoles.console);
    views_.ShadowToDip();
    views_.ShadowToGui();
    views_.ShadowToTable();
}

StatusBarTexts Session::StatusBar() const
{
    return MakeStatusBarTexts({port_.intComPort, image_.deviceConfigId, engine_.State().TxQueue.Length(), os_.shortName,
                               version_.metaInfo4, port_.intComPort >= 1 ? seams_.line.PortName() : QString()});
}

QString Session::AboutTitle() const
{
    return QCoreApplication::translate("About", "About ...");
}

QString Session::AboutText() const
{
    const QString rule(35, QLatin1Char('_'));
    QStringList lines{rule, QStringLiteral("T u n e k i t"), QStringLiteral("Version: ") + version_.metaInfo2};
    if (German()) {
        lines << QStringLiteral("Build: ") + version_.metaInfo4 << QStringLiteral("Stand: ") + version_.metaInfo3;
    } else {
        lines << QStringLiteral("Date: ") + version_.metaInfo3;
    }
    lines << rule << QStringLiteral("OS: ") + os_.fullName + QLatin1Char(' ') + wordWidth_
          << QStringLiteral("Lng: ") + regLang_ << QStringLiteral("HVX-Port: COM %1").arg(HVXPort)
          << QStringLiteral("Act-Port: COM %1").arg(port_.intComPort) << QStringLiteral("CfgID: %1").arg(image_.imageConfigId);
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
    if (!transfers_->CommandRunning() && !transfers_->EngineBusy())
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
    language_.Set(LanguageFromActLanguage(actLanguage_));
    views_.LanguageChanged();
    // The display texts follow the language; the values 2..62 are emptied with them.
    image_.FillDisplayTexts(UiLanguageNow());
    image_.RefreshInterpreterLabel();
    ShadowAll();
}

void Session::ShadowAll()
{
    views_.ShadowToTable();
    views_.ShadowToDip();
    views_.ShadowToGui();
    views_.LabelsChanged();
}

void Session::ApplyUserLevel()
{
    tunekit::ApplyUserLevel(access_, image_);
    image_.UpdateEditMarks();
    views_.ApplyLevelView(ViewForLevel(access_.blnAuthLevel));
}

void Session::LevelMenuCommand(int level, const std::function<void()>& showDialog)
{
    if (RefusedWhileTransferring()) {
        views_.ApplyLevelChecks(access_.levelChecks);
        return;
    }
    const LevelCommandResult result = tunekit::LevelMenuCommand(level, access_, image_, showDialog);
    views_.ApplyLevelView(result.view);
    if (result.refreshViews)
        ShadowAll();
    else
        views_.LabelsChanged();
    views_.ArrangeWindows();
}

void Session::CmdClearFileData_Click()
{
    if (RefusedWhileTransferring())
        return;
    image_.ClearFileData();
    views_.LabelsChanged();
    views_.ClearPacketConsole();
}

void Session::cmdFileOpen_Click()
{
    if (RefusedWhileTransferring())
        return;
    if (NeedsViewRefresh(FileOpenCommand(image_, seams_.dialogs, access_.blnAuthLevel, seams_.host.Now().date())))
        ShadowAll();
}

void Session::cmdFileOpen_OLEDragDrop(const QStringList& paths)
{
    if (RefusedWhileTransferring())
        return;
    if (NeedsViewRefresh(FileDropCommand(paths, image_, seams_.dialogs, access_.blnAuthLevel, seams_.host.Now().date())))
        ShadowAll();
}

void Session::cmdConvertChecksum_Click()
{
    ConvertChecksumCommand(seams_.dialogs);
}

void Session::SetDisAutoRes(bool ticked)
{
    engine_.Reset().DisAutoRes = ticked;
    engine_.Reset().check01 = ticked;
}

void Session::SetCheck01(bool ticked)
{
    engine_.Reset().check01 = ticked;
    engine_.Reset().DisAutoRes = ticked;
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
