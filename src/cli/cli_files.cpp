// The command line's work on files and records, which needs no device: the checks a file
// passes before a device is touched, and the verify, convert, report and records commands.
#include "cli/cli_run.h"

#include "cli/cli_json.h"
#include "files/checksum_conversion.h"
#include "files/config_file_reader.h"
#include "files/file_checksum.h"
#include "records/record_format.h"
#include "records/store_choice.h"
#include "records/unit_history.h"
#include "report/parameter_report.h"

#include <QFileInfo>
#include <QJsonArray>

namespace tunekit::cli {

QString CliRun::fileReadProblem(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return tr("It does not exist.");
    if (info.isDir())
        return tr("It is a folder, not a file.");
    if (!info.isReadable())
        return tr("You are not permitted to read it.");
    return {};
}

Exit CliRun::requireFile(const QString& path)
{
    const QString problem = fileReadProblem(path);
    if (problem.isEmpty())
        return Exit::Ok;
    error(tr("The file %1 cannot be read.").arg(path) + QLatin1Char(' ') + problem);
    return Exit::FileInvalid;
}


Exit CliRun::checkFile(const QString& path)
{
    if (const Exit exit = requireFile(path); exit != Exit::Ok)
        return exit;
    // Read into an image of its own, as it will be read once the device is known.
    if (const Exit exit = findAccessLevel(); exit != Exit::Ok)
        return exit;
    if (const Exit exit = checkChecksumBeforeWrite(path); exit != Exit::Ok)
        return exit;
    return examineFile(path, *level_);
}

Exit CliRun::checkChecksumBeforeWrite(const QString& path)
{
    if (options_.command != Command::Write && options_.command != Command::Restore)
        return Exit::Ok;
    const ChecksumStateResult checksum = fileChecksumState(path);
    if (!checksum.ok() || checksum.state != ChecksumState::ChecksumNotValid)
        return Exit::Ok;
    if (!options_.convertChecksum) {
        error(tr("The checksum of %1 is not valid: the file was changed after its checksum was made. It is not "
                 "written; --convert-checksum gives it a new checksum and writes it.")
                  .arg(path));
        return Exit::FileInvalid;
    }
    if (convertChecksum(QFileInfo(path).absoluteFilePath(), dialogs_) != ConversionOutcome::Converted)
        return Exit::FileInvalid;
    note(tr("%1 has a new checksum; the old file is kept as %2.").arg(path, backupFileName(path)));
    // The record names the file as it is written.
    return requireFile(path);
}

Exit CliRun::examineFile(const QString& path, AccessLevel level)
{
    DeviceImage scratch;
    KeptMessages kept;
    const OpenStatus status = openConfigFile(QFileInfo(path).absoluteFilePath(), scratch, kept, level, host_.now().date());
    if (status != OpenStatus::Loaded) {
        for (const KeptMessages::Message& message : kept.messages)
            dialogs_.msgBox(message.text, message.buttons, message.icon, message.title);
        error(tr("The file %1 is not valid; the device was not touched.").arg(path));
        return Exit::FileInvalid;
    }
    const LoadedFile& file = scratch.file;
    if (file.ignoredLineCount == 0)
        return Exit::Ok;
    document_.insert(QStringLiteral("ignoredLines"), QJsonArray::fromStringList(file.ignoredLines));
    document_.insert(QStringLiteral("ignoredLineCount"), file.ignoredLineCount);
    const QString lines = ignoredLinesText(path, file.ignoredLines, file.ignoredLineCount).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!options_.strict) {
        tell(tr("Warning: %1").arg(lines), MsgIcon::Exclamation);
        return Exit::Ok;
    }
    error(lines);
    error(tr("Refused (--strict): the file is not written as it stands; the device was not touched."));
    return Exit::FileInvalid;
}

Exit CliRun::verify()
{
    document_.insert(QStringLiteral("file"), options_.file);
    const ChecksumStateResult result = fileChecksumState(options_.file);
    if (!result.ok()) {
        const QString problem = fileReadProblem(options_.file);
        error(tr("The file %1 cannot be read.").arg(options_.file) + (problem.isEmpty() ? QString() : QLatin1Char(' ') + problem));
        return Exit::FileInvalid;
    }
    const QString state = crcLabelLookFor(result.state).text;
    bool valid = result.state == ChecksumState::ChecksumValid;
    const char* machineState = valid ? "valid" : result.state == ChecksumState::NoChecksum ? "missing" : "invalid";
    document_.insert(QStringLiteral("checksumState"), QLatin1StringView(machineState));
    document_.insert(QStringLiteral("checksumText"), state);
    document_.insert(QStringLiteral("valid"), valid);
    if (!options_.json)
        console_.out(state + QLatin1Char('\n'));
    // Whatever its checksum says, the file is read as a technician's level would read it.
    if (examineFile(options_.file, AccessLevel::development()) != Exit::Ok) {
        valid = false;
        document_.insert(QStringLiteral("valid"), false);
    }
    return valid ? Exit::Ok : Exit::FileInvalid;
}

QCoro::Task<Exit> CliRun::convert()
{
    document_.insert(QStringLiteral("file"), options_.file);
    if (const ChecksumStateResult current = fileChecksumState(options_.file); current.ok() && current.state == ChecksumState::ChecksumValid) {
        document_.insert(QStringLiteral("converted"), false);
        document_.insert(QStringLiteral("alreadyValid"), true);
        note(tr("The file %1 already has a valid checksum; nothing was changed.").arg(options_.file));
        co_return Exit::Ok;
    }
    dialogs_.openPath = QFileInfo(options_.file).absoluteFilePath();
    const ConversionOutcome outcome = co_await convertChecksumCommand(dialogs_);
    document_.insert(QStringLiteral("converted"), outcome == ConversionOutcome::Converted);
    switch (outcome) {
    case ConversionOutcome::Converted: co_return Exit::Ok;
    case ConversionOutcome::NothingChosen:
        error(tr("Only .scd files are converted."));
        co_return Exit::Usage;
    case ConversionOutcome::Cancelled: co_return Exit::Refused;
    case ConversionOutcome::NotConfiguration: co_return Exit::FileInvalid;
    case ConversionOutcome::Failed: break;
    }
    co_return QFileInfo(options_.file).isFile() ? Exit::Failed : Exit::FileInvalid;
}

QCoro::Task<Exit> CliRun::report()
{
    // The report documents the dictionary, so it needs no device.
    const Language language = options_.language == QLatin1StringView("DE") ? Language::German : Language::English;
    if (options_.output == QLatin1StringView("-"))
        co_return console_.outBytes(composeReport(language)) ? Exit::Ok : Exit::Failed;
    if (options_.output.isEmpty()) {
        const QStringList lines = reportLines(language);
        document_.insert(QStringLiteral("lines"), QJsonArray::fromStringList(lines));
        if (!options_.json)
            console_.out(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        co_return Exit::Ok;
    }
    dialogs_.savePath = options_.output;
    const ReportOutcome outcome = co_await generateReport(dialogs_, language);
    document_.insert(QStringLiteral("file"), options_.output);
    co_return outcome == ReportOutcome::Written ? Exit::Ok : Exit::Failed;
}

QString CliRun::recordText(const records::OperationRecord& record, bool first)
{
    if (options_.json) {
        QString text;
        if (first) {
            headFields_ = document_.keys();
            text = jsonHead(document_, QStringLiteral("records"));
        }
        elementPrinted_ = true;
        return text + jsonElement(records::recordJson(record), first);
    }
    if (options_.csv)
        return (first ? records::recordsCsvHeader() : QString()) + records::recordCsvLine(record);
    const auto shown = [](const QString& value) { return value.isEmpty() ? QStringLiteral("-") : value; };
    return QStringList{record.started.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'")),
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

Exit CliRun::records()
{
    const records::ChosenStore chosen =
        records::openChosenStore(options_.recordsUrl, seams_.environment.recordsUrl, seams_.environment.dataFolder);
    if (!chosen.store) {
        error(tr("The records cannot be read: %1").arg(chosen.error));
        return Exit::Failed;
    }
    // Each record is printed as it is read, in pieces of some 32,000 characters, so that an export
    // of any size holds little more than one record; the head (JSON's first fields, CSV's header)
    // comes with the first record, or at the end when none matched. Output that fails ends the
    // export early.
    if (options_.history) {
        const records::UnitHistory history = records::unitHistory(*chosen.store, options_.recordFilter.serialNumber);
        if (!history.error.isEmpty()) {
            error(tr("The records cannot be read: %1").arg(history.error));
            return Exit::Failed;
        }
        QString text = records::historySummary(history) + QLatin1Char('\n');
        for (const records::OperationRecord& record : history.records)
            text += records::historyFields(record).join(QLatin1Char('\t')) + QLatin1Char('\n');
        console_.out(text);
        return Exit::Ok;
    }
    constexpr qsizetype Piece = 32 * 1024;
    QString pending;
    qint64 count = 0;
    const QString failed = chosen.store->forEachRecord(options_.recordFilter, [&](const records::OperationRecord& record) {
        pending += recordText(record, count++ == 0);
        if (pending.size() >= Piece) {
            console_.out(pending);
            pending.clear();
        }
        return !console_.outputFailed();
    });
    // Asked once the query has ended (a server's connection serves one query at a time); JSON
    // prints it after the records.
    if (failed.isEmpty())
        document_.insert(QStringLiteral("schemaVersion"), chosen.store->schemaVersion());
    if (failed.isEmpty() && count == 0) {
        if (options_.json) {
            headFields_ = document_.keys();
            pending = jsonHead(document_, QStringLiteral("records"));
        } else if (options_.csv) {
            pending = records::recordsCsvHeader();
        }
    }
    if (!pending.isEmpty())
        console_.out(pending);
    if (!failed.isEmpty()) {
        error(tr("The records cannot be read: %1").arg(failed));
        return Exit::Failed;
    }
    if (count == 0 && !options_.json && !options_.csv)
        note(tr("No records match."));
    return Exit::Ok;
}

} // namespace tunekit::cli
