#pragma once

#include <QCoroTask>
#include <QString>

namespace tunekit {

class Dialogs;

enum class ConversionOutcome {
    NothingChosen, // dialog cancelled or not a ".scd" name
    Cancelled,     // the user said no
    Converted,
    Failed,        // the user was told why; without a backup nothing was changed
    NotConfiguration, // the file holds nothing to write; it was not changed
};

// The "Convert File" command: gives an older configuration file its checksum trailer,
// after keeping a backup copy. No backup, no conversion.
QCoro::Task<ConversionOutcome> convertChecksumCommand(Dialogs& dialogs);

// The conversion itself, once asked for: refuses a file that holds no configuration, keeps the
// backup copy, appends the trailer; failures are told through dialogs.
ConversionOutcome convertChecksum(const QString& path, Dialogs& dialogs);

} // namespace tunekit
