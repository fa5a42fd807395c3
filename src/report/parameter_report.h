#pragma once

#include "base/language.h"

#include <QByteArray>
#include <QCoroTask>
#include <QString>
#include <QStringList>

namespace tunekit {

class Dialogs;

// The parameter report documents the dictionary, not a device: one line per parameter from 2 on
// with its address, name, description, the bytes it takes in its 4-byte cell, the device
// families that have it (a column for each family with a column caption in TransmitterFamilies)
// and the access levels that may edit it. A spreadsheet opens it.

// The file type the save dialog offers; the content is tab-separated text whatever the extension.
QString reportFileFilter();

// The header line and the 61 parameter lines, 32 fields each (with today's 13 family columns)
// separated by tabs, no line ends.
// Descriptions are in the given language; the header is the same in both.
QStringList reportLines(Language language);

// The file: the lines in windows-1252, each ended by CR LF.
QByteArray composeReport(Language language);

enum class ReportOutcome {
    Cancelled, // no file name: nothing written
    Written,
    Failed,    // the user was told why; a file that was there is unchanged
};

// "Generate Report": asks for the file name and writes the report.
QCoro::Task<ReportOutcome> generateReport(Dialogs& dialogs, Language language);

} // namespace tunekit
