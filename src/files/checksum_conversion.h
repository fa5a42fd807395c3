#pragma once

#include <QString>

namespace tunekit {

class Dialogs;

enum class ConversionOutcome {
    NothingChosen, // dialog cancelled or not a ".scd" name
    Cancelled,     // the user said no
    Converted,
    Failed,        // the user was told why; without a backup nothing was changed
};

// Appends the checksum trailer to a file, tells the user when that fails, and runs the
// guard that the file grew by no more than the trailer. True when the trailer was appended.
bool AppendChecksumTrailer(const QString& path, Dialogs& dialogs);

// The "Convert File" command: gives an older configuration file its checksum trailer,
// after keeping a backup copy. No backup, no conversion.
ConversionOutcome ConvertChecksumCommand(Dialogs& dialogs);

} // namespace tunekit
