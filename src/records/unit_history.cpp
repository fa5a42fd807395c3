#include "records/unit_history.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <utility>

namespace tunekit::records {
namespace {

QString text(const char* source)
{
    return QCoreApplication::translate("UnitHistory", source);
}

QString localTime(const QDateTime& time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// "host (/dev/ttyUSB0)", or the part that is known.
QString site(const OperationRecord& record)
{
    if (record.port.isEmpty())
        return record.station;
    return record.station.isEmpty() ? record.port : QStringLiteral("%1 (%2)").arg(record.station, record.port);
}

} // namespace

QString shownResult(const QString& result)
{
    if (result == QLatin1StringView(ResultPassed))
        return text(QT_TRANSLATE_NOOP("UnitHistory", "passed"));
    if (result == QLatin1StringView(ResultFailed))
        return text(QT_TRANSLATE_NOOP("UnitHistory", "failed"));
    return result;
}

QString shownCommand(const QString& command)
{
    // The records keep the command's own name; the window shows it in the user's language.
    static constexpr std::array<std::pair<const char*, const char*>, 7> Commands{{
        {"read", QT_TRANSLATE_NOOP("UnitHistory", "read")},
        {"write", QT_TRANSLATE_NOOP("UnitHistory", "write")},
        {"restore", QT_TRANSLATE_NOOP("UnitHistory", "restore")},
        {"detect", QT_TRANSLATE_NOOP("UnitHistory", "detect")},
        {"info", QT_TRANSLATE_NOOP("UnitHistory", "read information")},
        {"interpreter", QT_TRANSLATE_NOOP("UnitHistory", "interpreter write")},
        {"reset", QT_TRANSLATE_NOOP("UnitHistory", "reset")},
    }};
    for (const auto& [name, shown] : Commands) {
        if (command == QLatin1StringView(name))
            return text(shown);
    }
    return command;
}

const OperationRecord* UnitHistory::production() const
{
    const auto produced = std::find_if(records.crbegin(), records.crend(), [](const OperationRecord& record) {
        return record.command == QLatin1StringView("write") && record.result == QLatin1StringView(ResultPassed)
               && !record.file.isEmpty();
    });
    return produced == records.crend() ? nullptr : &*produced;
}

RecordFilter unitFilter(const QString& serialNumber)
{
    RecordFilter filter;
    filter.serialNumber = serialNumber.trimmed();
    return filter;
}

UnitHistory unitHistory(const QString& serialNumber, RecordQuery found)
{
    UnitHistory history;
    history.serialNumber = serialNumber.trimmed();
    if (history.serialNumber.isEmpty())
        return history;
    history.error = std::move(found.error);
    history.records = std::move(found.records);
    std::reverse(history.records.begin(), history.records.end());
    return history;
}

UnitHistory unitHistory(RecordStore& store, const QString& serialNumber)
{
    return unitHistory(serialNumber, serialNumber.trimmed().isEmpty() ? RecordQuery{} : store.query(unitFilter(serialNumber)));
}

QList<UnitBackup> unitBackups(const UnitHistory& history, const QString& backupFolder)
{
    QList<UnitBackup> backups;
    QStringList seen;
    const auto add = [&backups, &seen](const QString& path) {
        const QFileInfo file(path);
        const QString canonical = file.canonicalFilePath();
        if (!file.isFile() || canonical.isEmpty() || seen.contains(canonical))
            return;
        seen << canonical;
        backups.append({file.absoluteFilePath(), file.lastModified()});
    };
    for (const OperationRecord& record : history.records) {
        if (!record.backup.isEmpty())
            add(record.backup);
    }
    if (!history.serialNumber.isEmpty() && !backupFolder.isEmpty()) {
        const QDir folder(backupFolder);
        for (const QString& name : folder.entryList({history.serialNumber + QStringLiteral("_*.scd")}, QDir::Files))
            add(folder.filePath(name));
    }
    std::stable_sort(backups.begin(), backups.end(), [](const UnitBackup& a, const UnitBackup& b) { return a.made > b.made; });
    return backups;
}

QString historySummary(const UnitHistory& history)
{
    if (history.serialNumber.isEmpty())
        return text(QT_TRANSLATE_NOOP("UnitHistory", "The unit's serial number is not known: read the unit first."));
    if (!history.error.isEmpty())
        return text(QT_TRANSLATE_NOOP("UnitHistory", "The records cannot be read: %1")).arg(history.error);
    if (history.records.isEmpty())
        return text(QT_TRANSLATE_NOOP("UnitHistory", "No record of the unit with serial number %1.")).arg(history.serialNumber);
    const QString count = text(QT_TRANSLATE_NOOP("UnitHistory", "Serial number %1, records: %2."))
                              .arg(history.serialNumber)
                              .arg(history.records.size());
    if (const OperationRecord* produced = history.production())
        return count + QLatin1Char(' ')
               + text(QT_TRANSLATE_NOOP("UnitHistory", "Produced on %1 at %2 with %3."))
                     .arg(localTime(produced->started), site(*produced), QFileInfo(produced->file).fileName());
    return count + QLatin1Char(' ')
           + text(QT_TRANSLATE_NOOP("UnitHistory", "No record of its production; the oldest is from %1."))
                 .arg(localTime(history.records.constLast().started));
}

QStringList historyFields(const OperationRecord& record)
{
    QStringList changes;
    for (const RecordChange& change : record.changes)
        changes << QStringLiteral("%1 %2 -> %3").arg(change.name, change.before, change.after);
    const QString file = record.file.isEmpty()
                             ? QString()
                             : QFileInfo(record.file).fileName()
                                   + (record.fileSha256.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(record.fileSha256.left(12)));
    return {localTime(record.started),
            shownCommand(record.command),
            shownResult(record.result),
            site(record),
            record.accessLevel,
            file,
            changes.join(QStringLiteral("; ")),
            record.message.section(QLatin1Char('\n'), 0, 0)};
}

QStringList historyHeaders()
{
    return {text(QT_TRANSLATE_NOOP("UnitHistory", "Time")),    text(QT_TRANSLATE_NOOP("UnitHistory", "Command")),
            text(QT_TRANSLATE_NOOP("UnitHistory", "Result")),  text(QT_TRANSLATE_NOOP("UnitHistory", "Station")),
            text(QT_TRANSLATE_NOOP("UnitHistory", "Level")),   text(QT_TRANSLATE_NOOP("UnitHistory", "File (SHA-256)")),
            text(QT_TRANSLATE_NOOP("UnitHistory", "Changes")), text(QT_TRANSLATE_NOOP("UnitHistory", "Message"))};
}

} // namespace tunekit::records
