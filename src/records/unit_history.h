#pragma once

#include "records/operation_record.h"
#include "records/record_store.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tunekit::records {

// One unit's life as a service technician reads it: every record of its serial number, newest
// first, from the store the station keeps its records in. The window and the command line show
// the same.
struct UnitHistory {
    QString serialNumber;
    QList<OperationRecord> records; // newest first
    QString error;                  // why the store could not be read; "" when it was

    // The unit's production: its oldest write of a configuration file that passed; nullptr when
    // the records hold none. A write of values read from the unit and edited produces nothing.
    const OperationRecord* production() const;
};

// The filter that finds a unit's records.
RecordFilter unitFilter(const QString& serialNumber);
// The history those records make, newest first.
UnitHistory unitHistory(const QString& serialNumber, RecordQuery found);
UnitHistory unitHistory(RecordStore& store, const QString& serialNumber);

// A backup of the unit that can be written back: a file of its own in the backup folder, or one
// its records name.
struct UnitBackup {
    QString path;
    QDateTime made; // local; the file's time of last change
};

// The unit's backups, newest first, each file once: those its records name that are still there,
// and those in backupFolder whose names start with its serial number ("SERIAL_DATE-TIME.scd", as
// every backup Tunekit makes is named).
QList<UnitBackup> unitBackups(const UnitHistory& history, const QString& backupFolder);

// What a history says first, in the user's language: when and where the unit was produced, or
// that the records know nothing of it.
QString historySummary(const UnitHistory& history);

// A record as a history shows it, column by column: time (local), command, result, station and
// port, access level, file and the start of its SHA-256, the values changed, the message's first
// line.
QStringList historyFields(const OperationRecord& record);
// A record's command and result in the user's language ("read" -> "lesen"); the records keep the
// command's own name.
QString shownCommand(const QString& command);
QString shownResult(const QString& result);

// The headers of those columns, in the user's language.
QStringList historyHeaders();

} // namespace tunekit::records
