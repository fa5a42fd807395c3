#include "cli/cli_run.h"

#include "access/access_levels.h"
#include "files/checksum_conversion.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "files/file_checksum.h"
#include "host/adapter_port.h"
#include "link/qserialport_line.h"
#include "link/qt_clock.h"
#include "params/config_tab.h"
#include "params/value_compare.h"
#include "report/parameter_report.h"
#include "sim/sim_line.h"
#include "transfer/parameter_read.h"
#include "transfer/parameter_write.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSerialPortInfo>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tunekit::cli {
namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("Cli", text);
}

QJsonArray DifferencesJson(const QList<ValueDifference>& differences, const char* left, const char* right)
{
    QJsonArray array;
    for (const ValueDifference& d : differences)
        array.append(QJsonObject{{QStringLiteral("nr"), d.nr},
                                 {QStringLiteral("name"), d.name},
                                 {QLatin1StringView(left), d.left},
                                 {QLatin1StringView(right), d.right}});
    return array;
}

QString DifferencesText(const QList<ValueDifference>& differences)
{
    QString text;
    for (const ValueDifference& d : differences)
        text += d.name + QLatin1Char('\t') + d.left + QLatin1Char('\t') + d.right + QLatin1Char('\n');
    return text;
}

bool StandardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

} // namespace

int LevelForPassword(const QString& password)
{
    const QString typed = password.trimmed();
    if (typed.isEmpty())
        return 10;
    for (const int level : {60, 50, 40, 30, 20}) {
        if (PasswordMatches(LevelPassword(level), typed))
            return level;
    }
    return 0;
}

CliRun::CliRun(const Options& options, UiLanguage& language)
    : options_(options), language_(language), console_(options.quiet), dialogs_(options_.answers, console_),
      views_(console_, StandardErrorIsTerminal())
{
}

CliRun::~CliRun()
{
    if (line_)
        line_->SetListener({});
}

Exit CliRun::Finish(Exit exit)
{
    views_.FinishProgress();
    if (!dialogs_.refused.isEmpty() && exit == Exit::Ok)
        exit = Exit::Refused;
    if (options_.json) {
        json_.insert(QStringLiteral("exitCode"), static_cast<int>(exit));
        json_.insert(QStringLiteral("packets"), views_.TotalPackets());
        json_.insert(QStringLiteral("transferSeconds"), static_cast<double>(views_.TransferMs()) / 1000.0);
        QJsonArray messages;
        for (const CliDialogs::Message& message : dialogs_.messages)
            messages.append(QJsonObject{{QStringLiteral("title"), message.title}, {QStringLiteral("text"), message.text}});
        json_.insert(QStringLiteral("messages"), messages);
        console_.Out(QString::fromUtf8(QJsonDocument(json_).toJson(QJsonDocument::Indented)));
    }
    return exit;
}

Exit CliRun::Run()
{
    switch (options_.command) {
    case Command::Ports: return Finish(Ports());
    case Command::Detect: return Finish(Detect());
    case Command::Read: return Finish(Read());
    case Command::Diff: return Finish(Diff());
    case Command::Write: return Finish(Write());
    case Command::Verify: return Finish(Verify());
    case Command::Convert: return Finish(Convert());
    case Command::Report: return Finish(Report());
    }
    return Finish(Exit::Usage);
}

Exit CliRun::Ports()
{
    QJsonArray ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const bool adapter = info.hasVendorIdentifier() && info.vendorIdentifier() == AdapterVendorId
                             && info.hasProductIdentifier() && info.productIdentifier() == AdapterProductId;
        const QString id = info.hasVendorIdentifier()
                               ? QStringLiteral("%1:%2")
                                     .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                                     .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
                               : QString();
        ports.append(QJsonObject{{QStringLiteral("port"), info.systemLocation()},
                                 {QStringLiteral("id"), id},
                                 {QStringLiteral("description"), info.description()},
                                 {QStringLiteral("adapter"), adapter}});
        if (!options_.json)
            console_.Out(info.systemLocation() + QLatin1Char('\t') + id + QLatin1Char('\t') + info.description()
                         + (adapter ? QStringLiteral("\t<- HVX") : QString()) + QLatin1Char('\n'));
    }
    json_.insert(QStringLiteral("ports"), ports);
    return Exit::Ok;
}

Exit CliRun::Connect()
{
    QString password = qEnvironmentVariable("TUNEKIT_PASSWORD");
    if (!options_.passwordFile.isEmpty()) {
        QFile file(options_.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The password file %1 cannot be read.")).arg(options_.passwordFile)
                           + QLatin1Char('\n'));
            return Exit::Usage;
        }
        password = QString::fromUtf8(file.read(1024)).section(QLatin1Char('\n'), 0, 0);
    }
    const int level = LevelForPassword(password);
    if (level == 0) {
        console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The password unlocks no access level.")) + QLatin1Char('\n'));
        return Exit::Usage;
    }

    clock_ = std::make_unique<QtClock>();
    PortPlan plan;
    if (options_.simulate) {
        line_ = std::make_unique<SimLine>(*clock_, options_.configId);
        plan = {false, 1, QString()};
    } else if (!options_.port.isEmpty()) {
        const QString name = PortSystemName(options_.port);
        const qint16 number = PortNumberOfSystemName(name);
        line_ = std::make_unique<QSerialPortLine>([name](int) { return name; });
        plan = {false, number >= 1 ? number : qint16(1), name};
    } else {
        line_ = std::make_unique<QSerialPortLine>();
    }
    session_ = std::make_unique<Session>(SessionSeams{*line_, *clock_, dialogs_, host_}, views_, language_);
    session_->ChosenLanguage = options_.language;
    session_->Access().blnAuthLevel = static_cast<qint16>(level);
    session_->SetDisAutoRes(false);
    session_->Engine().SetPaced(options_.paced);
    clock_->StartTicker(10, [this] { session_->MainTimerTick(); });

    session_->ConnectHeadless(plan);
    const PortState& port = session_->Port();
    if (port.intComPort < 1 || !port.HVXPortFound) {
        console_.Error((plan.discover ? Tr(QT_TRANSLATE_NOOP("Cli", "No programming adapter found (use --port NAME)."))
                                      : Tr(QT_TRANSLATE_NOOP("Cli", "The port %1 cannot be used.")).arg(plan.name))
                       + QLatin1Char('\n'));
        return Exit::NoPort;
    }
    if (session_->Image().deviceConfigId == 0)
        return Exit::NoDevice;
    json_.insert(QStringLiteral("configId"), session_->Image().deviceConfigId);
    return Exit::Ok;
}

bool CliRun::WaitIdle()
{
    DeviceTransfers& transfers = session_->Transfers();
    // Generous: a 64 KB interpreter takes a few minutes; a dead line ends a batch in 400 ms.
    const qint64 end = clock_->NowMs() + 30 * 60 * 1000;
    while ((transfers.EngineBusy() || transfers.CommandRunning()) && clock_->NowMs() < end)
        clock_->ProcessEvents();
    return !transfers.EngineBusy();
}

Exit CliRun::Detect()
{
    const Exit connected = Connect();
    if (connected != Exit::Ok)
        return connected;
    if (!options_.json)
        console_.Out(QString::number(session_->Image().deviceConfigId) + QLatin1Char('\n'));
    return Exit::Ok;
}

Exit CliRun::ReadDevice(bool info)
{
    DeviceTransfers& transfers = session_->Transfers();
    views_.Follow(&session_->Engine().State(), &session_->Engine().Window());
    transfers.cmdRead_Click();
    WaitIdle();
    if (info) {
        transfers.cmdInfoRead_Click();
        WaitIdle();
    }
    views_.FinishProgress();
    const DeviceImage& image = session_->Image();
    QStringList missing;
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        // Every applicable parameter has its value once its answer is in.
        if (image.applicable[i] && image.value[i].isEmpty())
            missing << FindConfigDefine(nr).Name.toString();
    }
    if (image.deviceConfigId == 0 || !missing.isEmpty()) {
        console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The device did not answer for: %1")).arg(missing.join(QStringLiteral(", ")))
                       + QLatin1Char('\n'));
        return Exit::NoDevice;
    }
    return Exit::Ok;
}

void CliRun::PrintValues()
{
    const DeviceImage& image = session_->Image();
    QJsonArray values;
    QString text;
    for (const OverviewRow& row : image.OverviewRows()) {
        values.append(QJsonObject{{QStringLiteral("nr"), row.nr},
                                  {QStringLiteral("name"), row.name},
                                  {QStringLiteral("value"), row.value}});
        text += row.name + QLatin1Char('\t') + row.value + QLatin1Char('\n');
    }
    json_.insert(QStringLiteral("values"), values);
    if (options_.info) {
        QJsonObject info;
        for (std::size_t i = 1; i <= 7; ++i)
            info.insert(QStringLiteral("info%1").arg(i), image.labels.lblInfo[i]);
        info.insert(QStringLiteral("operatingHours"), image.labels.lblOpHours);
        info.insert(QStringLiteral("source"), image.labels.txtSource);
        json_.insert(QStringLiteral("info"), info);
        for (std::size_t i = 1; i <= 7; ++i)
            text += QStringLiteral("Info%1\t").arg(i) + image.labels.lblInfo[i] + QLatin1Char('\n');
        text += QStringLiteral("OperatingHours\t") + image.labels.lblOpHours + QLatin1Char('\n');
    }
    if (!options_.json)
        console_.Out(text);
}

Exit CliRun::SaveBackup(const QString& path)
{
    DeviceImage& image = session_->Image();
    const AccessState& access = session_->Access();
    const QString serial =
        ShadowToGui(image, access.blnAuthLevel >= 50, dialogs_).txtSerialnumber;
    dialogs_.savePath = path;
    const WriteOutcome outcome =
        cmdSicherung_Click({image, host_, session_->Version(), dialogs_}, serial.isEmpty() ? QStringLiteral("-") : serial);
    if (outcome != WriteOutcome::Written) {
        console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The backup %1 was not written.")).arg(path) + QLatin1Char('\n'));
        return Exit::Failed;
    }
    return Exit::Ok;
}

Exit CliRun::Read()
{
    Exit exit = Connect();
    if (exit == Exit::Ok)
        exit = ReadDevice(options_.info);
    if (exit != Exit::Ok)
        return exit;
    PrintValues();
    if (!options_.output.isEmpty()) {
        exit = SaveBackup(options_.output);
        json_.insert(QStringLiteral("file"), options_.output);
    }
    return exit;
}

Exit CliRun::RequireFile(const QString& path)
{
    // Told before the device is touched.
    const QFileInfo info(path);
    if (info.isFile() && info.isReadable())
        return Exit::Ok;
    console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The file %1 cannot be read.")).arg(path) + QLatin1Char('\n'));
    return Exit::FileInvalid;
}

Exit CliRun::OpenFile(const QString& path)
{
    if (const Exit exit = RequireFile(path); exit != Exit::Ok)
        return exit;
    const QFileInfo info(path);
    const OpenStatus status = OpenConfigFile(info.absoluteFilePath(), session_->Image(), dialogs_,
                                             session_->Access().blnAuthLevel, host_.Now().date());
    return status == OpenStatus::Loaded ? Exit::Ok : Exit::FileInvalid;
}

Exit CliRun::Diff()
{
    Exit exit = RequireFile(options_.file);
    if (exit == Exit::Ok)
        exit = Connect();
    if (exit == Exit::Ok)
        exit = ReadDevice(false);
    if (exit != Exit::Ok)
        return exit;
    const ParamArray<QString> device = session_->Image().value;
    exit = OpenFile(options_.file);
    if (exit != Exit::Ok)
        return exit;
    const QList<ValueDifference> differences = DeviceFileDifferences(device, session_->Image());
    json_.insert(QStringLiteral("differences"), DifferencesJson(differences, "device", "file"));
    if (!options_.json)
        console_.Out(DifferencesText(differences));
    return differences.isEmpty() ? Exit::Ok : Exit::Differs;
}

Exit CliRun::Write()
{
    Exit exit = RequireFile(options_.file);
    if (exit == Exit::Ok)
        exit = Connect();
    if (exit != Exit::Ok)
        return exit;
    if (!options_.noBackup) {
        exit = ReadDevice(false);
        if (exit != Exit::Ok)
            return exit;
        const QString serial = ShadowToGui(session_->Image(), session_->Access().blnAuthLevel >= 50, dialogs_).txtSerialnumber;
        const QString name = QStringLiteral("%1_%2.scd")
                                 .arg(serial.isEmpty() ? QStringLiteral("unknown") : serial,
                                      host_.Now().toString(QStringLiteral("yyyyMMdd-HHmmss")));
        if (!QDir().mkpath(options_.backupDir)) {
            console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The backup folder %1 cannot be made.")).arg(options_.backupDir)
                           + QLatin1Char('\n'));
            return Exit::Failed;
        }
        const QString backup = QDir(options_.backupDir).filePath(name);
        exit = SaveBackup(backup);
        if (exit != Exit::Ok)
            return exit;
        json_.insert(QStringLiteral("backup"), backup);
        console_.Note(Tr(QT_TRANSLATE_NOOP("Cli", "Backup: %1")).arg(backup) + QLatin1Char('\n'));
    }
    exit = OpenFile(options_.file);
    if (exit != Exit::Ok)
        return exit;

    DeviceImage& image = session_->Image();
    views_.Follow(&session_->Engine().State(), &session_->Engine().Window());
    session_->Writes().cmdConfigWrite_Click();
    WaitIdle();
    views_.FinishProgress();
    const WriteResult result = session_->Writes().LastResult();
    json_.insert(QStringLiteral("written"), result == WriteResult::Done);
    if (result == WriteResult::NothingSent || !dialogs_.refused.isEmpty())
        return Exit::Refused;
    if (result == WriteResult::Failed)
        return Exit::NoDevice;
    if (options_.noVerify)
        return Exit::Ok;

    // Read back and compare every value that was sent.
    const ParamArray<QString> written = session_->Writes().UploadedValues();
    const ParamArray<bool> sent = session_->Writes().Uploaded();
    exit = ReadDevice(false);
    if (exit != Exit::Ok)
        return exit;
    const QList<ValueDifference> mismatches = CompareValues(written, image.value, sent);
    json_.insert(QStringLiteral("mismatches"), DifferencesJson(mismatches, "written", "read"));
    if (!mismatches.isEmpty()) {
        console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The device holds other values than were written:")) + QLatin1Char('\n')
                       + DifferencesText(mismatches));
        return Exit::VerifyMismatch;
    }
    console_.Note(Tr(QT_TRANSLATE_NOOP("Cli", "Written and verified.")) + QLatin1Char('\n'));
    return Exit::Ok;
}

Exit CliRun::Verify()
{
    const CrcFailureResult result = FileCrcFailure(options_.file);
    if (!result.Ok()) {
        console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The file %1 cannot be read.")).arg(options_.file) + QLatin1Char('\n'));
        return Exit::FileInvalid;
    }
    const QString state = CrcLabelLookFor(result.state).text;
    json_.insert(QStringLiteral("checksum"), state);
    json_.insert(QStringLiteral("valid"), result.state == CRC_Failure::ChecksumValid);
    if (!options_.json)
        console_.Out(state + QLatin1Char('\n'));
    return result.state == CRC_Failure::ChecksumValid ? Exit::Ok : Exit::FileInvalid;
}

Exit CliRun::Convert()
{
    dialogs_.openPath = QFileInfo(options_.file).absoluteFilePath();
    const ConversionOutcome outcome = ConvertChecksumCommand(dialogs_);
    json_.insert(QStringLiteral("converted"), outcome == ConversionOutcome::Converted);
    switch (outcome) {
    case ConversionOutcome::Converted: return Exit::Ok;
    case ConversionOutcome::NothingChosen:
        console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "Only .scd files are converted.")) + QLatin1Char('\n'));
        return Exit::Usage;
    case ConversionOutcome::Cancelled: return Exit::Refused;
    case ConversionOutcome::Failed: break;
    }
    return QFileInfo(options_.file).isFile() ? Exit::Failed : Exit::FileInvalid;
}

Exit CliRun::Report()
{
    // The report documents the dictionary, so it needs no device.
    const Language language = options_.language == QLatin1StringView("DE") ? Language::German : Language::English;
    if (options_.output.isEmpty()) {
        const QStringList lines = ReportLines(language);
        json_.insert(QStringLiteral("lines"), QJsonArray::fromStringList(lines));
        if (!options_.json)
            console_.Out(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        return Exit::Ok;
    }
    dialogs_.savePath = options_.output;
    const ReportOutcome outcome = cmdGenReport_Click(dialogs_, language);
    json_.insert(QStringLiteral("file"), options_.output);
    return outcome == ReportOutcome::Written ? Exit::Ok : Exit::Failed;
}

} // namespace tunekit::cli
