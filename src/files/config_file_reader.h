#pragma once

#include "access/access_level.h"
#include "base/dialogs.h"
#include "files/file_checksum.h"
#include "params/device_image.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <optional>

namespace tunekit {

// The file type of the open dialogs.
inline constexpr QStringView ConfigFileFilter = u"TunekitData (*.scd)|*.scd";

// No real configuration file comes near this; larger files are refused before they are read,
// which keeps the memory of a read bounded.
inline constexpr qint64 MaxConfigFileSize = 16 * 1024 * 1024;

// What a read depends on besides the file's bytes.
struct ReaderInputs {
    AccessLevel accessLevel = AccessLevel::level1();
    ChecksumState checksumState = ChecksumState::ChecksumValid;
    QDate today;                                       // for ProductionDate=?
    int deviceConfigId = 0;                            // the ConfigID the device last reported
    QString path;                                      // only its name is shown
};

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// How the checksum label shows a checksum state.
struct CrcLabelLook {
    QString text;
    Rgb foreground;
    std::optional<Rgb> background; // empty: the system's button-face colour
};
CrcLabelLook crcLabelLookFor(ChecksumState state);

struct ReaderMessage {
    QString text;
    MsgIcon icon = MsgIcon::None;
    QString title;
};

// Everything a read produces; applyConfigFile puts it into the device image.
struct ConfigFileContent {
    bool refused = false;          // the checksum gate turned the file away; nothing was read
    QList<ReaderMessage> messages; // to be shown, in order

    ParamArray<QString> fileValues;  // the values the file holds, by parameter number
    ParamArray<bool> changedMarks{}; // parameters the file named: their changed marks get set
    qint16 readConfigId = 0;         // the file's ConfigID as read; fileIdCaption shows it
    QString fileIdCaption;           // "FileID: n", or "" without a ConfigID
    QString description;             // up to six lines, each ended by CR LF
    bool fileValuesRead = false;     // the file values are there to write

    ExtendedDataStore extended;      // its used flag is left to applyConfigFile
    bool extendedContentRead = false; // a section content line was read: the used flag clears

    // For the device ConfigID of the inputs:
    ParamArray<bool> applicable{};
    ParamArray<QString> imageValues; // the whole device image after the read
    qint16 applicableConfigId = 0;   // the file's ConfigID when it applies to the device, else 0

    QString fileName;                // shown without its folder
    ChecksumState checksumState = ChecksumState::ChecksumValid;

    // Lines outside the sections that set nothing: a name no parameter has, or no "name=" at
    // all. Files in the field hold such lines and are read regardless, but not in silence:
    // the first MaxIgnoredLinesKept as "line N: text", and how many there were.
    QStringList ignoredLines;
    int ignoredLineCount = 0;
    // Something to write: a ConfigID, a parameter value (or "?") or extended data.
    bool holdsConfiguration = false;
};

inline constexpr int MaxIgnoredLinesKept = 20;

// The message that names a file's ignored lines ("" when there are none).
QString ignoredLinesText(const QString& fileName, const QStringList& lines, int count);
// The message for a file that holds nothing to write.
QString noConfigurationText(const QString& path);

// Hexadecimal section text to bytes: "" for an odd length; a pair that is no hexadecimal number
// gives the value of its leading digit, or 0.
QByteArray decodeHexSection(QByteArrayView text);

struct FrequencyTableDecoded {
    std::array<qint32, ExtendedDataStore::FreqTableSize> frequencies{}; // base, then the channels
    qint16 lastChannel = -1;                                            // the last valid entry; -1 none
};
// The FREQTAB text (lines ended by CR LF): "b#" base line, then up to 80 "k#" channel lines;
// the first missing or invalid entry ends the table.
FrequencyTableDecoded decodeFrequencyTable(QStringView text);

// The leading number of a value: blanks, an optional sign, digits with an optional decimal
// point; whatever follows is ignored, no digits give 0. Too large a number gives infinity.
double leadingNumber(QByteArrayView text);

// Reads a configuration file's bytes (text lines ended by CR LF or LF, maybe followed by the
// checksum trailer). Pure: the image is not touched.
ConfigFileContent readConfigFile(QByteArrayView fileBytes, const ReaderInputs& inputs);

// Puts a read into the image: file values, changed marks, applicable and edit marks, the
// values, the extended data and the labels. A refused read leaves no file loaded. The content
// must have been read for the image's device ConfigID.
void applyConfigFile(DeviceImage& image, const ConfigFileContent& content);

enum class OpenStatus {
    NothingChosen, // no name, or not a ".scd" name: nothing happened
    Loaded,
    Refused,       // the checksum gate turned the file away
    Failed,        // missing, unreadable, too large or holding nothing to write; the user was told
    Busy,          // not opened: the station was running an operation
};

// The window shows the image anew (overview, DIP switches, configuration tab) unless nothing was
// chosen.
constexpr bool needsViewRefresh(OpenStatus status) noexcept
{
    return status != OpenStatus::NothingChosen && status != OpenStatus::Busy;
}

// Opens a configuration file into the image: any loaded file is discarded, the checksum is
// checked on exactly the bytes that are read, and the read is applied. Messages go to dialogs.
OpenStatus openConfigFile(const QString& path, DeviceImage& image, Dialogs& dialogs, AccessLevel accessLevel,
                          QDate today);

// The Open File command's question: the file to open, "" when none was chosen.
QCoro::Task<QString> chooseConfigFile(Dialogs& dialogs);

// The file the Open File command chose, or the files dropped onto its button: the first one is
// opened, and the user hears of lines in it that set nothing.
OpenStatus openChosenFile(const QStringList& paths, DeviceImage& image, Dialogs& dialogs,
                           AccessLevel accessLevel, QDate today);

} // namespace tunekit
