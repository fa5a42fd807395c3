#include "cli/cli_run.h"

#include "access/access_levels.h"
#include "cli/cli_json.h"
#include "files/checksum_conversion.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "files/file_checksum.h"
#include "host/adapter_port.h"
#include "host/port_names.h"
#include "link/qserialport_line.h"
#include "link/qt_clock.h"
#include "params/config_tab.h"
#include "params/value_compare.h"
#include "records/record_format.h"
#include "records/store_choice.h"
#include "session/unit_record.h"
#include "report/parameter_report.h"
#include "sim/sim_line.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <array>

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
                                 {QLatin1StringView(left), MachineValue(d.left)},
                                 {QLatin1StringView(right), MachineValue(d.right)}});
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

std::optional<AccessLevel> LevelForPassword(const QString& password)
{
    const QString typed = password.trimmed();
    if (typed.isEmpty())
        return AccessLevel::Level1();
    for (const AccessLevel level : {AccessLevel::Development(), AccessLevel::Production(), AccessLevel::Service(),
                                    AccessLevel::Level3(), AccessLevel::Level2()}) {
        if (PasswordMatches(LevelPassword(level), typed))
            return level;
    }
    return std::nullopt;
}

CliRun::CliRun(const Options& options, UiLanguage& language, const MessageCodes& codes, Output output)
    : options_(options), output_(output), language_(language), codes_(codes),
      console_(options.quiet, output == Output::Channel), dialogs_(options_.answers, console_),
      views_(console_, StandardErrorIsTerminal())
{
}

CliRun::~CliRun()
{
    if (line_)
        line_->SetListener({});
}

void CliRun::Error(const QString& text)
{
    console_.Error(text + QLatin1Char('\n'));
    dialogs_.messages.append({QString(), text, MsgIcon::Critical, QString()});
    lastMessage_ = text;
}

void CliRun::Note(const QString& text)
{
    console_.Note(text + QLatin1Char('\n'));
    dialogs_.messages.append({QString(), text, MsgIcon::Information, QString()});
    lastMessage_ = text;
}

bool CliRun::UsesDevice() const
{
    switch (options_.command) {
    case Command::Detect:
    case Command::Read:
    case Command::Diff:
    case Command::Write:
    case Command::Restore: return true;
    case Command::Ports:
    case Command::Verify:
    case Command::Convert:
    case Command::Report:
    case Command::Records: break;
    }
    return false;
}

Exit CliRun::Finish(Exit exit)
{
    views_.FinishProgress();
    if (!dialogs_.refused.isEmpty() && exit == Exit::Ok)
        exit = Exit::Refused;
    if (interrupted_ && exit == Exit::Ok)
        exit = Exit::NotWritten;
    if (trace_ && (traceFailed_ || !trace_->flush())) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The trace file %1 cannot be written.")).arg(options_.log));
        if (exit == Exit::Ok || exit == Exit::Differs)
            exit = Exit::Failed;
    }
    if (UsesDevice())
        KeepRecord(exit);
    if (options_.json && recordsDocument_ && exit == Exit::Ok) {
        console_.Out(QString::fromUtf8(QJsonDocument(*recordsDocument_).toJson(QJsonDocument::Indented)));
    } else {
        QJsonObject& document = document_;
        document = JsonDocument(CommandName(options_.command));
        for (auto it = json_.begin(); it != json_.end(); ++it)
            document.insert(it.key(), it.value());
        if (UsesDevice()) {
            // Known or not, a device result names its port, ConfigID and serial number.
            if (!document.contains(QStringLiteral("port")))
                document.insert(QStringLiteral("port"), QJsonValue());
            if (!document.contains(QStringLiteral("configId")))
                document.insert(QStringLiteral("configId"), QJsonValue());
            document.insert(QStringLiteral("serialNumber"),
                            serialNumber_.isEmpty() ? QJsonValue() : QJsonValue(serialNumber_));
        }
        document.insert(QStringLiteral("exitCode"), static_cast<int>(exit));
        document.insert(QStringLiteral("packets"), views_.TotalPackets());
        document.insert(QStringLiteral("transferSeconds"), static_cast<double>(views_.TransferMs()) / 1000.0);
        QJsonArray messages;
        for (const CliDialogs::Message& message : dialogs_.messages)
            messages.append(MessageJson(codes_.CodeFor(message.text), message.icon, message.title,
                                        dialogs_.Shown(message.text), message.answer));
        document.insert(QStringLiteral("messages"), messages);
        if (options_.json)
            console_.Out(QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
    }
    if (console_.OutputFailed()) {
        console_.Error(Tr(QT_TRANSLATE_NOOP("Cli", "The output could not be written completely.")) + QLatin1Char('\n'));
        if (exit == Exit::Ok || exit == Exit::Differs)
            exit = Exit::Failed;
    }
    return exit;
}

void CliRun::KeepRecord(Exit exit)
{
    records::OperationRecord& record = record_;
    record.ended = QDateTime::currentDateTimeUtc();
    record.port = portName_;
    if (!options_.simulate)
        record.adapter = AdapterOfPort(SystemPorts(), portName_);
    if (level_)
        record.accessLevel = QString::fromLatin1(level_->recordName());
    const QString file = options_.command == Command::Read ? options_.output : options_.file;
    if (!file.isEmpty()) {
        record.file = QFileInfo(file).absoluteFilePath();
        record.fileSha256 = fileSha256(file);
    }
    const bool passed = exit == Exit::Ok || (exit == Exit::Differs && options_.command == Command::Diff);
    record.result = QString::fromLatin1(passed ? records::ResultPassed : records::ResultFailed);
    record.exitCode = static_cast<int>(exit);
    record.message = lastMessage_;

    const records::ChosenStore chosen =
        records::openChosenStore(options_.recordsUrl, qEnvironmentVariable("TUNEKIT_RECORDS"),
                                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const records::RecordOutcome outcome =
        chosen.store ? records::keepRecord(*chosen.store, record)
                     : records::RecordOutcome{records::RecordOutcome::Status::Failed, chosen.error};
    QString stored = QStringLiteral("stored");
    if (outcome.status != records::RecordOutcome::Status::Stored) {
        stored = outcome.status == records::RecordOutcome::Status::KeptLocally ? QStringLiteral("keptLocally")
                                                                               : QStringLiteral("failed");
        console_.Error(records::outcomeNote(outcome) + QLatin1Char('\n'));
    }
    json_.insert(QStringLiteral("record"), QJsonObject{{QStringLiteral("id"), record.id}, {QStringLiteral("stored"), stored}});
}

void CliRun::Interrupt()
{
    if (interrupted_)
        return;
    interrupted_ = true;
    Error(Tr(QT_TRANSLATE_NOOP("Cli", "Interrupted: stopping after the packet on the line.")));
    if (session_)
        session_->Device().StopAfterCurrent();
}

QCoro::Task<Exit> CliRun::Run()
{
    if (output_ == Output::Printed)
        interruptWatch_ = std::make_unique<InterruptWatch>([this] { Interrupt(); });
    record_ = records::startRecord(CommandName(options_.command), host_.ComputerName(), QDateTime::currentDateTimeUtc());
    co_return Finish(co_await RunCommand());
}

QCoro::Task<Exit> CliRun::RunCommand()
{
    switch (options_.command) {
    case Command::Ports: co_return Ports();
    case Command::Detect: co_return co_await Detect();
    case Command::Read: co_return co_await Read();
    case Command::Diff: co_return co_await Diff();
    case Command::Write: co_return co_await Write();
    case Command::Restore: co_return co_await Write();
    case Command::Verify: co_return Verify();
    case Command::Convert: co_return co_await Convert();
    case Command::Report: co_return Report();
    case Command::Records: co_return Records();
    }
    co_return Exit::Usage;
}

Exit CliRun::Ports()
{
    QJsonArray ports;
    for (const SystemPort& port : SystemPorts()) {
        ports.append(QJsonObject{{QStringLiteral("port"), port.location},
                                 {QStringLiteral("id"), port.id},
                                 {QStringLiteral("description"), port.description},
                                 {QStringLiteral("adapter"), port.adapter},
                                 {QStringLiteral("serial"), port.usbSerial}});
        if (!options_.json)
            console_.Out(QStringList{port.location, port.id, port.description, port.usbSerial}.join(QLatin1Char('\t'))
                         + (port.adapter ? QStringLiteral("\t<- HVX") : QString()) + QLatin1Char('\n'));
    }
    json_.insert(QStringLiteral("ports"), ports);
    return Exit::Ok;
}

Exit CliRun::FindAccessLevel()
{
    if (level_)
        return Exit::Ok;
    QString password = qEnvironmentVariable("TUNEKIT_PASSWORD");
    if (!options_.passwordFile.isEmpty()) {
        QFile file(options_.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            Error(Tr(QT_TRANSLATE_NOOP("Cli", "The password file %1 cannot be read.")).arg(options_.passwordFile));
            return Exit::Usage;
        }
        password = QString::fromUtf8(file.read(1024)).section(QLatin1Char('\n'), 0, 0);
    }
    level_ = LevelForPassword(password);
    if (!level_) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The password unlocks no access level.")));
        return Exit::Usage;
    }
    return Exit::Ok;
}

QCoro::Task<Exit> CliRun::Connect()
{
    if (const Exit exit = FindAccessLevel(); exit != Exit::Ok)
        co_return exit;
    const AccessLevel level = *level_;
    if (!options_.log.isEmpty()) {
        trace_ = std::make_unique<QFile>(options_.log);
        if (!trace_->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            Error(Tr(QT_TRANSLATE_NOOP("Cli", "The trace file %1 cannot be written.")).arg(options_.log));
            co_return Exit::Failed;
        }
        views_.SetTrace([this](const QString& line) {
            if (trace_->write((line + u'\n').toUtf8()) < 0)
                traceFailed_ = true;
        });
    }
    clock_ = std::make_unique<QtClock>();
    PortPlan plan;
    if (interrupted_)
        co_return Exit::NotWritten;
    if (options_.simulate) {
        line_ = std::make_unique<SimLine>(*clock_, options_.configId);
        plan = {false, 1, QString()};
    } else if (!options_.port.isEmpty()) {
        const QString name = PortSystemName(options_.port);
        const qint16 number = PortNumberOfSystemName(name);
        line_ = std::make_unique<QSerialPortLine>([name](int) { return name; });
        plan = {false, number >= 1 ? number : qint16(1), name};
        portName_ = name;
        dialogs_.portName = name;
    } else {
        line_ = std::make_unique<QSerialPortLine>();
    }
    console_.Step(Tr(QT_TRANSLATE_NOOP("Cli", "Connecting and detecting the transmitter (it restarts)")));
    session_ = std::make_unique<Session>(SessionSeams{*line_, *clock_, dialogs_, host_}, views_, language_);
    session_->ChosenLanguage = options_.language;
    session_->Access().level = level;
    session_->SetAutomaticResetOff(false);
    session_->Device().SetResetPolicy(ResetPolicy::WhereNeeded);
    session_->Engine().SetPaced(options_.paced);
    clock_->StartTicker(10, [this] { session_->MainTimerTick(); });

    co_await session_->ConnectHeadless(plan);
    const PortState& port = session_->Port();
    if (options_.simulate)
        portName_ = QStringLiteral("simulated");
    else if (portName_.isEmpty() && port.portNumber >= 1)
        portName_ = SystemPortName(port.portNumber);
    json_.insert(QStringLiteral("port"), portName_);
    if (port.portNumber < 1 || !port.adapterFound) {
        Error(plan.discover ? Tr(QT_TRANSLATE_NOOP("Cli", "No programming adapter found (use --port NAME)."))
                            : Tr(QT_TRANSLATE_NOOP("Cli", "The port %1 cannot be used.")).arg(plan.name));
        co_return Exit::NoPort;
    }
    if (session_->Image().deviceConfigId == 0)
        co_return Exit::NoDevice;
    json_.insert(QStringLiteral("configId"), session_->Image().deviceConfigId);
    co_return Exit::Ok;
}

QCoro::Task<Exit> CliRun::Detect()
{
    const Exit connected = co_await Connect();
    if (connected != Exit::Ok)
        co_return connected;
    if (!options_.json)
        console_.Out(QString::number(session_->Image().deviceConfigId) + QLatin1Char('\n'));
    co_return Exit::Ok;
}

QCoro::Task<Exit> CliRun::ReadDevice(bool info)
{
    Station& station = session_->Device();
    console_.Step(Tr(QT_TRANSLATE_NOOP("Cli", "Reading the device")));
    views_.Follow(&station.Engine().State());
    const ReadOutcome read = co_await station.ReadParameters();
    bool informationComplete = true;
    if (info)
        informationComplete = (co_await station.ReadInformation()).complete;
    views_.FinishProgress();
    co_return ReadProblems(read, informationComplete);
}

Exit CliRun::ReadProblems(const ReadOutcome& read, bool informationComplete)
{
    if (interrupted_)
        return Exit::NotWritten;
    if (!informationComplete) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The device did not answer the information request.")));
        return Exit::NoDevice;
    }
    if (read.configId == 0 || !read.missing.isEmpty()) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The device did not answer for: %1")).arg(read.missing.join(QStringLiteral(", "))));
        return Exit::NoDevice;
    }
    serialNumber_ = session_->Device().SerialNumber();
    describeUnit(record_, session_->Device());
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
                                  {QStringLiteral("value"), MachineValue(row.value)}});
        text += row.name + QLatin1Char('\t') + row.value + QLatin1Char('\n');
    }
    json_.insert(QStringLiteral("values"), values);
    if (options_.info) {
        // The information texts in the order the Infos tab shows them.
        const std::array<const char*, 8> names{"",
                                               "firmwareVersion",
                                               "compileDate",
                                               "hardware",
                                               "operatingHours",
                                               "interpreterSelect",
                                               "interpreterName",
                                               "interpreterDate"};
        QJsonObject info;
        for (std::size_t i = 1; i < names.size(); ++i) {
            const QString& shown = image.labels.lblInfo[i];
            info.insert(QLatin1StringView(names[i]), i == 5 ? MachineValue(shown) : QJsonValue(shown));
        }
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
    const WriteOutcome outcome =
        WriteRestorableBackup({session_->Image(), host_, session_->Version(), dialogs_}, path);
    if (outcome != WriteOutcome::Written) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The backup %1 was not written.")).arg(path));
        return Exit::Failed;
    }
    return Exit::Ok;
}

Exit CliRun::SaveAutomaticBackup(QString& path)
{
    const BackupOutcome backup = session_->Device().SaveBackup(options_.backupDir, host_, session_->Version());
    path = backup.path;
    switch (backup.status) {
    case BackupOutcome::Status::Saved:
        json_.insert(QStringLiteral("backup"), path);
        Note(Tr(QT_TRANSLATE_NOOP("Cli", "Backup: %1")).arg(path));
        return Exit::Ok;
    case BackupOutcome::Status::NoFolder:
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The backup folder %1 cannot be made.")).arg(options_.backupDir));
        break;
    case BackupOutcome::Status::NoName:
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "No backup can be written into the folder %1.")).arg(options_.backupDir));
        break;
    case BackupOutcome::Status::NotWritten:
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The backup %1 was not written.")).arg(path));
        break;
    }
    Error(Tr(QT_TRANSLATE_NOOP("Cli", "Nothing was written to the device.")));
    return Exit::NotWritten;
}

QString CliRun::RestoreCommand(const QString& backup) const
{
    QString command = QStringLiteral("tunekit-cli restore ") + backup;
    if (options_.simulate)
        command += QStringLiteral(" --simulate --config-id %1").arg(options_.configId);
    else if (!portName_.isEmpty())
        command += QStringLiteral(" --port ") + portName_;
    return command + QStringLiteral(" --yes");
}

void CliRun::TellPartlyWritten(const QString& backup)
{
    Error(Tr(QT_TRANSLATE_NOOP("Cli", "The write stopped after data had gone out: the device is partly written.")));
    if (backup.isEmpty()) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "No backup was made (--no-backup).")));
    } else {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "Its backup: %1")).arg(backup));
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "To restore it: %1")).arg(RestoreCommand(backup)));
        json_.insert(QStringLiteral("restoreCommand"), RestoreCommand(backup));
    }
}

QCoro::Task<Exit> CliRun::Read()
{
    Exit exit = co_await Connect();
    if (exit == Exit::Ok)
        exit = co_await ReadDevice(options_.info);
    if (exit != Exit::Ok)
        co_return exit;
    PrintValues();
    if (!options_.output.isEmpty()) {
        exit = SaveBackup(options_.output);
        json_.insert(QStringLiteral("file"), options_.output);
    }
    co_return exit;
}

Exit CliRun::RequireFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.isFile() && info.isReadable())
        return Exit::Ok;
    Error(Tr(QT_TRANSLATE_NOOP("Cli", "The file %1 cannot be read.")).arg(path));
    return Exit::FileInvalid;
}


Exit CliRun::CheckFile(const QString& path)
{
    if (const Exit exit = RequireFile(path); exit != Exit::Ok)
        return exit;
    // Read into an image of its own, as it will be read once the device is known.
    if (const Exit exit = FindAccessLevel(); exit != Exit::Ok)
        return exit;
    DeviceImage scratch;
    KeptMessages kept;
    const OpenStatus status = OpenConfigFile(QFileInfo(path).absoluteFilePath(), scratch, kept, *level_, host_.Now().date());
    if (status == OpenStatus::Loaded)
        return Exit::Ok;
    for (const KeptMessages::Message& message : kept.messages)
        dialogs_.MsgBox(message.text, message.buttons, message.icon, message.title);
    Error(Tr(QT_TRANSLATE_NOOP("Cli", "The file %1 is not valid; the device was not touched.")).arg(path));
    return Exit::FileInvalid;
}

Exit CliRun::OpenFile(const QString& path)
{
    if (const Exit exit = RequireFile(path); exit != Exit::Ok)
        return exit;
    const QFileInfo info(path);
    const OpenStatus status = OpenConfigFile(info.absoluteFilePath(), session_->Image(), dialogs_,
                                             session_->Access().level, host_.Now().date());
    return status == OpenStatus::Loaded ? Exit::Ok : Exit::FileInvalid;
}

QCoro::Task<Exit> CliRun::Diff()
{
    json_.insert(QStringLiteral("file"), options_.file);
    Exit exit = CheckFile(options_.file);
    if (exit == Exit::Ok)
        exit = co_await Connect();
    if (exit == Exit::Ok)
        exit = co_await ReadDevice(false);
    if (exit != Exit::Ok)
        co_return exit;
    const ParamArray<QString> device = session_->Image().value;
    const qint16 deviceConfigId = session_->Image().deviceConfigId;
    exit = OpenFile(options_.file);
    if (exit != Exit::Ok)
        co_return exit;
    const QList<ValueDifference> differences = session_->Device().DifferencesFromDevice(device, deviceConfigId);
    json_.insert(QStringLiteral("differences"), DifferencesJson(differences, "device", "file"));
    if (!options_.json)
        console_.Out(DifferencesText(differences));
    co_return differences.isEmpty() ? Exit::Ok : Exit::Differs;
}

QCoro::Task<Exit> CliRun::Write()
{
    json_.insert(QStringLiteral("file"), options_.file);
    Exit exit = CheckFile(options_.file);
    if (exit == Exit::Ok)
        exit = co_await Connect();
    if (exit != Exit::Ok)
        co_return exit;
    QString backup;
    if (!options_.noBackup) {
        exit = co_await ReadDevice(false);
        if (exit == Exit::Ok)
            exit = SaveAutomaticBackup(backup);
        if (exit != Exit::Ok) {
            if (interrupted_)
                Error(Tr(QT_TRANSLATE_NOOP("Cli", "Nothing was written to the device.")));
            co_return exit;
        }
    }
    if (interrupted_) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "Nothing was written to the device.")));
        co_return Exit::NotWritten;
    }
    const ParamArray<QString> before = session_->Image().value;
    exit = OpenFile(options_.file);
    if (exit != Exit::Ok)
        co_return exit;

    Station& station = session_->Device();
    record_.backup = backup.isEmpty() ? QString() : QFileInfo(backup).absoluteFilePath();
    // What the write changes, as far as the device's values were read before it.
    QList<ValueDifference> changes;
    if (!options_.noBackup)
        changes = station.DifferencesFromDevice(before, station.Image().deviceConfigId);
    console_.Step(Tr(QT_TRANSLATE_NOOP("Cli", "Writing")));
    views_.Follow(&station.Engine().State());
    const WriteReport report = co_await station.WriteImage();
    views_.FinishProgress();
    if (report.anythingSent) {
        // Values the write left alone (calibration kept) are no change.
        changes.removeIf([&station](const ValueDifference& change) { return station.Writes().Kept()[change.nr]; });
        record_.changes = recordedChanges(changes);
    }
    const bool written = report.result == WriteResult::Done && !interrupted_ && dialogs_.refused.isEmpty();
    json_.insert(QStringLiteral("written"), report.result == WriteResult::Done && !interrupted_);
    json_.insert(QStringLiteral("partlyWritten"), report.anythingSent && (report.result != WriteResult::Done || interrupted_));
    if (!written) {
        if (report.anythingSent) {
            TellPartlyWritten(backup);
            co_return Exit::PartlyWritten;
        }
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "Nothing was written to the device.")));
        if (interrupted_)
            co_return Exit::NotWritten;
        // The write's own detection found no device, or a batch got no answer at all.
        if (report.result == WriteResult::Failed || station.Image().deviceConfigId == 0)
            co_return Exit::NoDevice;
        co_return Exit::Refused;
    }
    json_.insert(QStringLiteral("extendedDataWritten"), report.extendedDataSent);
    if (options_.noVerify) {
        json_.insert(QStringLiteral("verified"), false);
        Note(Tr(QT_TRANSLATE_NOOP("Cli", "Written, not verified (--no-verify).")));
        co_return Exit::Ok;
    }
    console_.Step(Tr(QT_TRANSLATE_NOOP("Cli", "Verifying")));
    console_.Step(Tr(QT_TRANSLATE_NOOP("Cli", "Reading the device")));
    views_.Follow(&station.Engine().State());
    const VerifyReport verify = co_await station.VerifyWrite();
    views_.FinishProgress();
    if (const Exit problem = ReadProblems(verify.readBack, true); problem != Exit::Ok)
        co_return problem;
    json_.insert(QStringLiteral("mismatches"), DifferencesJson(verify.mismatches, "file", "read"));
    json_.insert(QStringLiteral("verified"), verify.verified);
    if (!verify.verified) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The device holds other values than the file:")) + QLatin1Char('\n')
              + DifferencesText(verify.mismatches).chopped(1));
        co_return Exit::VerifyMismatch;
    }
    if (report.extendedDataSent)
        Note(Tr(QT_TRANSLATE_NOOP("Cli", "Parameters written and verified; extended data written (it cannot be read back).")));
    else
        Note(Tr(QT_TRANSLATE_NOOP("Cli", "Written and verified.")));
    co_return Exit::Ok;
}

Exit CliRun::Verify()
{
    json_.insert(QStringLiteral("file"), options_.file);
    const ChecksumStateResult result = fileChecksumState(options_.file);
    if (!result.Ok()) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The file %1 cannot be read.")).arg(options_.file));
        return Exit::FileInvalid;
    }
    const QString state = CrcLabelLookFor(result.state).text;
    QString machineState = QStringLiteral("invalid");
    switch (result.state) {
    case ChecksumState::ChecksumValid: machineState = QStringLiteral("valid"); break;
    case ChecksumState::NoChecksum: machineState = QStringLiteral("missing"); break;
    case ChecksumState::ChecksumNotValid: break;
    }
    json_.insert(QStringLiteral("checksumState"), machineState);
    json_.insert(QStringLiteral("checksumText"), state);
    json_.insert(QStringLiteral("valid"), result.state == ChecksumState::ChecksumValid);
    if (!options_.json)
        console_.Out(state + QLatin1Char('\n'));
    return result.state == ChecksumState::ChecksumValid ? Exit::Ok : Exit::FileInvalid;
}

QCoro::Task<Exit> CliRun::Convert()
{
    json_.insert(QStringLiteral("file"), options_.file);
    if (const ChecksumStateResult current = fileChecksumState(options_.file); current.Ok() && current.state == ChecksumState::ChecksumValid) {
        json_.insert(QStringLiteral("converted"), false);
        json_.insert(QStringLiteral("alreadyValid"), true);
        Note(Tr(QT_TRANSLATE_NOOP("Cli", "The file %1 already has a valid checksum; nothing was changed.")).arg(options_.file));
        co_return Exit::Ok;
    }
    dialogs_.openPath = QFileInfo(options_.file).absoluteFilePath();
    const ConversionOutcome outcome = co_await ConvertChecksumCommand(dialogs_);
    json_.insert(QStringLiteral("converted"), outcome == ConversionOutcome::Converted);
    switch (outcome) {
    case ConversionOutcome::Converted: co_return Exit::Ok;
    case ConversionOutcome::NothingChosen:
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "Only .scd files are converted.")));
        co_return Exit::Usage;
    case ConversionOutcome::Cancelled: co_return Exit::Refused;
    case ConversionOutcome::Failed: break;
    }
    co_return QFileInfo(options_.file).isFile() ? Exit::Failed : Exit::FileInvalid;
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
    const ReportOutcome outcome = generateReport(dialogs_, language);
    json_.insert(QStringLiteral("file"), options_.output);
    return outcome == ReportOutcome::Written ? Exit::Ok : Exit::Failed;
}

Exit CliRun::Records()
{
    const records::ChosenStore chosen =
        records::openChosenStore(options_.recordsUrl, qEnvironmentVariable("TUNEKIT_RECORDS"),
                                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const records::RecordQuery found =
        chosen.store ? chosen.store->query(options_.recordFilter) : records::RecordQuery{{}, chosen.error};
    if (!found.error.isEmpty()) {
        Error(Tr(QT_TRANSLATE_NOOP("Cli", "The records cannot be read: %1")).arg(found.error));
        return Exit::Failed;
    }
    if (options_.json) {
        QJsonArray list;
        for (const records::OperationRecord& record : found.records)
            list.append(records::recordJson(record));
        recordsDocument_ = QJsonObject{{QStringLiteral("schema"), chosen.store->schemaVersion()},
                                       {QStringLiteral("records"), list}};
        return Exit::Ok;
    }
    QString text = options_.csv ? records::recordsCsvHeader() : QString();
    for (const records::OperationRecord& record : found.records) {
        if (options_.csv) {
            text += records::recordCsvLine(record);
            continue;
        }
        const QString none = QStringLiteral("-");
        const auto shown = [&none](const QString& value) { return value.isEmpty() ? none : value; };
        text += QStringList{record.started.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'")),
                            record.result,
                            record.command,
                            shown(record.serialNumber),
                            shown(record.port),
                            shown(record.file),
                            QString::number(record.exitCode),
                            record.message.section(QLatin1Char('\n'), 0, 0)}
                    .join(QLatin1Char('\t'))
                + QLatin1Char('\n');
    }
    console_.Out(text);
    if (found.records.isEmpty() && !options_.csv)
        Note(Tr(QT_TRANSLATE_NOOP("Cli", "No records match.")));
    return Exit::Ok;
}

} // namespace tunekit::cli
