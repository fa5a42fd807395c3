#include "cli/cli_run.h"

#include "access/access_levels.h"
#include "cli/cli_json.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "host/adapter_port.h"
#include "host/port_names.h"
#include "params/config_tab.h"
#include "params/value_compare.h"
#include "records/store_choice.h"
#include "session/port_discovery.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include <array>

namespace tunekit::cli {
namespace {

QJsonArray differencesJson(const QList<ValueDifference>& differences, const char* left, const char* right)
{
    QJsonArray array;
    for (const ValueDifference& d : differences)
        array.append(QJsonObject{{QStringLiteral("nr"), d.nr},
                                 {QStringLiteral("name"), d.name},
                                 {QLatin1StringView(left), machineValue(d.left)},
                                 {QLatin1StringView(right), machineValue(d.right)}});
    return array;
}

QString differencesText(const QList<ValueDifference>& differences)
{
    QString text;
    for (const ValueDifference& d : differences)
        text += d.name + QLatin1Char('\t') + d.left + QLatin1Char('\t') + d.right + QLatin1Char('\n');
    return text;
}

// The access level a password unlocks (any case); level 1 for none, nothing when it unlocks
// nothing.
std::optional<AccessLevel> levelForPassword(const QString& password)
{
    const QString typed = password.trimmed();
    if (typed.isEmpty())
        return AccessLevel::level1();
    for (const AccessLevel level : {AccessLevel::development(), AccessLevel::production(), AccessLevel::service(),
                                    AccessLevel::level3(), AccessLevel::level2()}) {
        if (passwordMatches(levelPassword(level), typed))
            return level;
    }
    return std::nullopt;
}

} // namespace

CliRun::CliRun(const Options& options, UiLanguage& language, const MessageCodes& codes, RunSeams seams, Output output)
    : options_(options), seams_(std::move(seams)), plan_(linePlan(options)), output_(output),
      document_(jsonDocument(commandName(options.command))), language_(language), codes_(codes),
      console_(seams_.streams, options.quiet, output == Output::Channel), dialogs_(options_.answers, console_),
      views_(console_, seams_.clock, seams_.streams.errorIsTerminal())
{
    // Known or not, a device result names its port and ConfigID.
    if (usesDevice(options.command)) {
        document_.insert(QStringLiteral("port"), QJsonValue());
        document_.insert(QStringLiteral("configId"), QJsonValue());
    }
}

CliRun::~CliRun()
{
    if (line_)
        line_->setListener({});
}

void CliRun::tell(const QString& text, MsgIcon icon)
{
    if (icon == MsgIcon::Critical || icon == MsgIcon::Exclamation)
        console_.error(text + QLatin1Char('\n'));
    else
        console_.note(text + QLatin1Char('\n'));
    dialogs_.messages.append({QString(), text, icon, QString()});
    lastMessage_ = text;
}

QString CliRun::lastMessage() const
{
    if (!lastMessage_.isEmpty() || dialogs_.messages.isEmpty())
        return lastMessage_;
    return dialogs_.shown(dialogs_.messages.last().text);
}

void CliRun::interrupt()
{
    if (interrupted_)
        return;
    interrupted_ = true;
    error(tr("Interrupted: stopping after the packet on the line."));
    if (station_)
        station_->stopAfterCurrent();
}

QCoro::Task<Exit> CliRun::run()
{
    if (usesDevice(options_.command))
        buildStation();
    // A file the run cannot write is refused before the transmitter is touched.
    Exit exit = outputsWritable();
    if (exit == Exit::Ok)
        exit = co_await runCommand();
    co_return co_await finish(exit);
}

Exit CliRun::outputsWritable()
{
    const auto writable = [this](const QString& path) {
        if (path.isEmpty() || path == QLatin1StringView("-"))
            return true;
        if (const QString problem = saveProblem(path); !problem.isEmpty()) {
            error(tr("The file %1 cannot be written: %2").arg(path, problem));
            return false;
        }
        return true;
    };
    return writable(options_.output) && writable(options_.log) ? Exit::Ok : Exit::Failed;
}

QCoro::Task<Exit> CliRun::adapterMissing(QString serial)
{
    missingAdapter_ = serial;
    buildStation();
    if (!options_.file.isEmpty())
        document_.insert(QStringLiteral("file"), options_.file);
    findAccessLevel();
    error(tr("No adapter with the serial number %1 is plugged in.").arg(serial));
    co_return co_await finish(Exit::NoPort);
}

void CliRun::buildStation()
{
    // A channel whose adapter is not plugged in has no port of its own.
    if (!missingAdapter_.isEmpty())
        plan_.port.clear();
    if (!plan_.simulated && !plan_.port.isEmpty()) {
        portName_ = plan_.port;
        dialogs_.portName = plan_.port;
    }
    line_ = seams_.makeLine(plan_, seams_.clock);
    station_ = std::make_unique<Station>(StationSeams{*line_, seams_.clock, dialogs_}, views_,
                                         [this] { return level_.value_or(AccessLevel::level1()); });
    records_ = seams_.keepRecords([url = options_.recordsUrl, environment = seams_.environment] {
        return records::openChosenStore(url, environment.recordsUrl, environment.dataFolder);
    });
    Station& station = *station_;
    station.setRecords(records_.get(), Recording::HeldRuns);
    station.setRecordSite([this] {
        QString adapter = missingAdapter_;
        if (adapter.isEmpty() && !plan_.simulated && !portName_.isEmpty())
            adapter = adapterOfPort(systemPorts(), portName_);
        return RecordSite{host_.computerName(), portName_, adapter};
    });
    station.beginRun(commandName(options_.command),
                     options_.command == Command::Read ? QString() : options_.file);
}

QCoro::Task<Exit> CliRun::runCommand()
{
    switch (options_.command) {
    case Command::Ports: co_return ports();
    case Command::Detect: co_return co_await detect();
    case Command::Read: co_return co_await read();
    case Command::Diff: co_return co_await diff();
    case Command::Write:
    case Command::Restore: co_return co_await write();
    case Command::Verify: co_return verify();
    case Command::Convert: co_return co_await convert();
    case Command::Report: co_return co_await report();
    case Command::Records: co_return records();
    }
    co_return Exit::Usage;
}

Exit CliRun::ports()
{
    QJsonArray ports;
    for (const SystemPort& port : systemPorts()) {
        ports.append(QJsonObject{{QStringLiteral("port"), port.location},
                                 {QStringLiteral("id"), port.id},
                                 {QStringLiteral("description"), port.description},
                                 {QStringLiteral("adapter"), port.adapter},
                                 {QStringLiteral("serial"), port.usbSerial}});
        if (!options_.json)
            console_.out(QStringList{port.location, port.id, port.description, port.usbSerial}.join(QLatin1Char('\t'))
                         + (port.adapter ? QStringLiteral("\t<- HVX") : QString()) + QLatin1Char('\n'));
    }
    document_.insert(QStringLiteral("ports"), ports);
    return Exit::Ok;
}

Exit CliRun::findAccessLevel()
{
    if (level_)
        return Exit::Ok;
    QString password = seams_.environment.password;
    if (!options_.passwordFile.isEmpty()) {
        QFile file(options_.passwordFile);
        if (const QString problem = fileReadProblem(options_.passwordFile); !problem.isEmpty() || !file.open(QIODevice::ReadOnly)) {
            error(tr("The password file %1 cannot be read.").arg(options_.passwordFile)
                  + (problem.isEmpty() ? QString() : QLatin1Char(' ') + problem));
            return Exit::FileInvalid;
        }
        password = QString::fromUtf8(file.read(1024)).section(QLatin1Char('\n'), 0, 0);
    }
    level_ = levelForPassword(password);
    if (!level_) {
        error(tr("The password unlocks no access level."));
        return Exit::Usage;
    }
    return Exit::Ok;
}

QCoro::Task<Exit> CliRun::connect()
{
    if (const Exit exit = findAccessLevel(); exit != Exit::Ok)
        co_return exit;
    if (!options_.log.isEmpty()) {
        auto trace = std::make_unique<QFile>(options_.log);
        if (!trace->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            error(tr("The trace file %1 cannot be written.").arg(options_.log));
            co_return Exit::Failed;
        }
        trace_ = std::move(trace);
    }
    if (trace_ || options_.verbose) {
        // Every packet, sent and received, once, with the date and time it went or came.
        station_->traceReceivedTraffic();
        views_.setTrace([this](const QString& line) {
            const QString stamped = host_.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) + line + u'\n';
            if (trace_ && trace_->write(stamped.toUtf8()) < 0)
                traceFailed_ = true;
            if (options_.verbose)
                console_.error(stamped);
        });
    }
    if (interrupted_)
        co_return Exit::NotWritten;
    // The simulated transmitter is port 1; a named port keeps its number (COM7, ttyUSB6) where it
    // has one; without either, the adapter is looked for.
    const bool discover = !plan_.simulated && portName_.isEmpty();
    const qint16 namedNumber = plan_.simulated ? qint16(0) : portNumberOfSystemName(portName_);
    console_.step(tr("Connecting and detecting the transmitter (it restarts)"));
    Station& station = *station_;
    station.setAutomaticResetOff(false);
    station.setResetPolicy(ResetPolicy::WhereNeeded);
    station.setPaced(plan_.paced);
    seams_.clock.startTicker(10, [this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.lock())
            station_->tick();
    });

    // The adapter as the window finds it (without its message), or the port of this run.
    if (discover) {
        DiscoveryState discovery;
        co_await discoverAdapterPort(station, discovery, host_);
    } else {
        station.openAdapterPort(namedNumber >= 1 ? namedNumber : qint16(1));
    }
    const ParamArray<bool> marks = levelMarks(*level_);
    co_await station.startUp({0, false, marks, language_.current()});
    station.setLevelMarks(marks);
    co_await station.finishStartUp(false);
    const PortState port = station.portState();
    if (plan_.simulated)
        portName_ = QStringLiteral("simulated");
    else if (portName_.isEmpty() && port.portNumber >= 1)
        portName_ = systemPortName(port.portNumber);
    document_.insert(QStringLiteral("port"), portName_);
    if (port.portNumber < 1 || !port.adapterFound) {
        error(discover ? tr("No programming adapter found (use --port NAME).")
                       : tr("The port %1 cannot be used.").arg(portName_));
        co_return Exit::NoPort;
    }
    if (station_->deviceConfigId() == 0)
        co_return Exit::NoDevice;
    document_.insert(QStringLiteral("configId"), station_->deviceConfigId());
    co_return Exit::Ok;
}

QCoro::Task<Exit> CliRun::detect()
{
    const Exit connected = co_await connect();
    if (connected != Exit::Ok)
        co_return connected;
    if (!options_.json)
        console_.out(QString::number(station_->deviceConfigId()) + QLatin1Char('\n'));
    co_return Exit::Ok;
}

QCoro::Task<Exit> CliRun::readDevice(bool info)
{
    Station& station = *station_;
    console_.step(tr("Reading the device"));
    views_.follow(&station);
    const ReadOutcome read = co_await station.readParameters();
    std::optional<ReadOutcome> information;
    if (info)
        information = co_await station.readInformation();
    views_.finishProgress();
    co_return readProblems(read, information ? &*information : nullptr);
}

Exit CliRun::readProblems(const ReadOutcome& read, const ReadOutcome* information)
{
    if (interrupted_)
        return Exit::NotWritten;
    if (information && !information->complete) {
        error(information->refused.isEmpty() ? tr("The device did not answer the information request.")
                                             : unreadValuesText(*information));
        return Exit::NoDevice;
    }
    if (read.configId != 0 && !read.familyKnown) {
        error(tr("The transmitter reports ConfigID %1, a family Tunekit does not know: nothing of it can be read, "
                 "written or compared.").arg(read.configId));
        return Exit::Refused;
    }
    if (read.configId == 0 || !read.everyValue()) {
        error(unreadValuesText(read));
        return Exit::NoDevice;
    }
    return Exit::Ok;
}

void CliRun::printValues()
{
    const DeviceImage image = station_->image();
    QJsonArray values;
    QString text;
    for (const OverviewRow& row : image.overviewRows()) {
        values.append(QJsonObject{{QStringLiteral("nr"), row.nr},
                                  {QStringLiteral("name"), row.name},
                                  {QStringLiteral("value"), machineValue(row.value)}});
        text += row.name + QLatin1Char('\t') + row.value + QLatin1Char('\n');
    }
    document_.insert(QStringLiteral("values"), values);
    if (options_.info) {
        // The information texts in the order the Infos tab shows them.
        const std::array<const char*, 8> names{"", "firmwareVersion", "compileDate", "hardware", "operatingHours",
                                               "interpreterSelect", "interpreterName", "interpreterDate"};
        QJsonObject info;
        for (std::size_t i = 1; i < names.size(); ++i) {
            const QString& shown = image.info.texts[i];
            info.insert(QLatin1StringView(names[i]), i == 5 ? machineValue(shown) : QJsonValue(shown));
        }
        info.insert(QStringLiteral("source"), image.info.source);
        document_.insert(QStringLiteral("info"), info);
        for (std::size_t i = 1; i <= 7; ++i)
            text += QStringLiteral("Info%1\t").arg(i) + image.info.texts[i] + QLatin1Char('\n');
        text += QStringLiteral("OperatingHours\t") + image.info.operatingHours + QLatin1Char('\n');
    }
    if (!options_.json)
        console_.out(text);
}

void CliRun::tellBackup(const BackupOutcome& backup)
{
    switch (backup.status) {
    case BackupOutcome::Status::Saved:
        document_.insert(QStringLiteral("backup"), backup.path);
        note(tr("Backup: %1").arg(backup.path));
        break;
    case BackupOutcome::Status::NoFolder:
        error(tr("The backup folder %1 cannot be made.").arg(options_.backupDir));
        break;
    case BackupOutcome::Status::NoName:
        error(tr("No backup can be written into the folder %1.").arg(options_.backupDir));
        break;
    case BackupOutcome::Status::NotWritten:
        error(tr("The backup %1 was not written.").arg(backup.path));
        break;
    }
}

QString CliRun::restoreCommand(const QString& backup) const
{
    QString command = QStringLiteral("tunekit-cli restore ") + backup;
    if (plan_.simulated)
        command += QStringLiteral(" --simulate --config-id %1").arg(plan_.simulated->configId);
    else if (!portName_.isEmpty())
        command += QStringLiteral(" --port ") + portName_;
    return command + QStringLiteral(" --yes");
}

void CliRun::tellPartlyWritten(const QString& backup)
{
    error(tr("The write stopped after data had gone out: the device is partly written."));
    if (backup.isEmpty()) {
        error(tr("No backup was made (--no-backup)."));
    } else {
        error(tr("Its backup: %1").arg(backup));
        error(tr("To restore it: %1").arg(restoreCommand(backup)));
        document_.insert(QStringLiteral("restoreCommand"), restoreCommand(backup));
    }
}

QCoro::Task<Exit> CliRun::read()
{
    Exit exit = co_await connect();
    if (exit == Exit::Ok)
        exit = co_await readDevice(options_.info);
    if (exit != Exit::Ok)
        co_return exit;
    if (options_.output != QLatin1StringView("-"))
        printValues();
    if (options_.output.isEmpty())
        co_return Exit::Ok;
    // Saved as a backup, which restores the device exactly; "-" prints its bytes instead of the values.
    document_.insert(QStringLiteral("file"), options_.output);
    if (options_.output == QLatin1StringView("-"))
        co_return console_.outBytes(station_->readAsBackup(host_, version_)) ? Exit::Ok : Exit::Failed;
    const WriteOutcome saved = station_->saveRead(options_.output, host_, version_);
    if (saved == WriteOutcome::Written)
        co_return Exit::Ok;
    error(tr("The backup %1 was not written.").arg(options_.output));
    co_return Exit::Failed;
}

QCoro::Task<Exit> CliRun::diff()
{
    document_.insert(QStringLiteral("file"), options_.file);
    Exit exit = checkFile(options_.file);
    if (exit == Exit::Ok)
        exit = co_await connect();
    if (exit == Exit::Ok)
        exit = co_await readDevice(false);
    if (exit != Exit::Ok)
        co_return exit;
    const ParamArray<QString> device = station_->image().value;
    const qint16 deviceConfigId = station_->deviceConfigId();
    // The file is read over the device's values, as the window opens it; the differences are
    // between the two.
    if (const Exit unreadable = requireFile(options_.file); unreadable != Exit::Ok)
        co_return unreadable;
    const OpenStatus opened = station_->loadFile(options_.file, host_.now().date());
    if (opened != OpenStatus::Loaded)
        co_return Exit::FileInvalid;
    const QList<ValueDifference> differences = station_->differencesFromDevice(device, deviceConfigId);
    document_.insert(QStringLiteral("differences"), differencesJson(differences, "device", "file"));
    if (!options_.json)
        console_.out(differencesText(differences));
    co_return differences.isEmpty() ? Exit::Ok : Exit::Differs;
}

QCoro::Task<Exit> CliRun::write()
{
    document_.insert(QStringLiteral("file"), options_.file);
    Exit exit = checkFile(options_.file);
    if (exit == Exit::Ok)
        exit = co_await connect();
    if (exit != Exit::Ok)
        co_return exit;
    Station& station = *station_;
    const bool restore = options_.command == Command::Restore;
    ProgramRequest request{options_.file, options_.noBackup ? QString() : options_.backupDir, !options_.noVerify, host_,
                           version_, {}, restore};
    request.step = [this, &station](ProgramStep step, const ProgramReport& sofar) {
        switch (step) {
        case ProgramStep::Reading: console_.step(tr("Reading the device")); break;
        case ProgramStep::Writing: console_.step(tr("Writing")); break;
        case ProgramStep::Verifying:
            // A question answered no leaves the write unfinished.
            if (!dialogs_.refused.isEmpty())
                return false;
            console_.step(tr("Verifying"));
            console_.step(tr("Reading the device"));
            break;
        case ProgramStep::BackedUp: tellBackup(sofar.backup); return true;
        case ProgramStep::Opening: return requireFile(options_.file) == Exit::Ok;
        case ProgramStep::TransferEnded: views_.finishProgress(); return true;
        }
        views_.follow(&station);
        return true;
    };
    const ProgramReport programmed = co_await station.programUnit(request);
    co_return programmedExit(programmed, restore);
}

Exit CliRun::programmedExit(const ProgramReport& programmed, bool restore)
{
    switch (programmed.stage) {
    case ProgramReport::Stage::Busy:
    case ProgramReport::Stage::Stopped:
    case ProgramReport::Stage::BackupFailed:
        error(tr("Nothing was written to the device."));
        return Exit::NotWritten;
    case ProgramReport::Stage::ReadIncomplete: return readProblems(programmed.read);
    case ProgramReport::Stage::FileRefused: return Exit::FileInvalid;
    default: break;
    }
    const WriteReport& report = programmed.write;
    document_.insert(QStringLiteral("written"), programmed.stage >= ProgramReport::Stage::Written);
    document_.insert(QStringLiteral("partlyWritten"), programmed.stage == ProgramReport::Stage::PartlyWritten);
    if (programmed.stage < ProgramReport::Stage::Written || !dialogs_.refused.isEmpty()) {
        if (report.anythingSent) {
            // A restore cut short is finished by restoring the same backup again.
            tellPartlyWritten(restore ? QFileInfo(options_.file).filePath() : programmed.backup.path);
            return Exit::PartlyWritten;
        }
        error(tr("Nothing was written to the device."));
        if (interrupted_)
            return Exit::NotWritten;
        // The write's own detection found no device, or a batch got no answer at all.
        if (report.result == WriteResult::Failed || station_->deviceConfigId() == 0)
            return Exit::NoDevice;
        return Exit::Refused;
    }
    document_.insert(QStringLiteral("extendedDataWritten"), report.extendedDataSent);
    document_.insert(QStringLiteral("verified"), false);
    if (options_.noVerify) {
        note(tr("Written, not verified (--no-verify)."));
        return Exit::Ok;
    }
    const VerifyReport& verify = programmed.verify;
    if (!verify.readBack.complete) {
        // A family without parameters had nothing written; any other device holds the whole file,
        // and only its check is missing.
        if (!interrupted_) {
            if (const Exit problem = readProblems(verify.readBack); problem == Exit::Refused)
                return problem;
        }
        error(tr("The device is written but not verified: its read-back did not end. \"%1\" checks it.")
                  .arg(QStringLiteral("tunekit-cli diff ") + options_.file));
        return Exit::Failed;
    }
    document_.insert(QStringLiteral("mismatches"), differencesJson(verify.mismatches, "file", "read"));
    document_.insert(QStringLiteral("verified"), verify.verified);
    if (!verify.verified) {
        error(tr("The device holds other values than the file:") + QLatin1Char('\n')
              + differencesText(verify.mismatches).chopped(1));
        return Exit::VerifyMismatch;
    }
    if (report.extendedDataSent)
        note(tr("Parameters written and verified; extended data written (it cannot be read back)."));
    else
        note(tr("Written and verified."));
    return Exit::Ok;
}

} // namespace tunekit::cli
