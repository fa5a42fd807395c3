#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tunekit {

class DeviceImage;
class Dialogs;
class HostFacts;
struct VersionInfo;

// The two files the program writes from the device image.
enum class ConfigFileKind {
    Backup,    // "Generate Backup": hardware and interpreter lines; ProductionDate always "?"
    // The backup taken before a device is written: as Backup, but with the production date
    // as the device has it, so that writing it back restores the device exactly.
    Restorable,
    Described, // "Generate new ConfigFile": the user's description lines first; ProductionDate as it is
};

// Where, when and by what a file was written, as its header tells.
struct WriterOrigin {
    QString now;          // already formatted, see makeWriterOrigin
    QString computerName;
    QString userName;
    QString programName;
    QString programVersion;
};

struct WriterInputs {
    ConfigFileKind kind = ConfigFileKind::Backup;
    QStringList descriptions; // the five description lines, described file only; empty ones are left out
    WriterOrigin origin;
};

inline constexpr int DescriptionLineCount = 5;

// The header's origin: the moment of writing in the locale's short date and long time format.
WriterOrigin makeWriterOrigin(const HostFacts& host, const VersionInfo& version, const QLocale& locale);

// "Backup_" or, in the German interface, "Sicherung_" followed by the serial number.
QString proposedBackupName(const QString& serialNumber);

// Texts taken into a file are made safe for the one line they go to; the reader must see the
// same lines, sections and description that were meant:
// - line breaks and other control characters become blanks, so no text adds a line;
// - the file is windows-1252: a character outside it is written as its base letters when the
//   code page has them ("ř" as "r", "ﬁ" as "fi"), otherwise as "?";
// - in comment lines a section marker ("TEXTS_START", ...) loses the underscore before START or
//   STOP ("TEXTS START"), so no comment opens or closes a section;
// - a description line that would read as the end of the description (its text begins with "["
//   or "---") gets a leading "'".
QByteArray fileText(QStringView text);
QByteArray commentText(QStringView text);
QByteArray descriptionText(QStringView text);

// The text of the file, without the checksum trailer: windows-1252, every line ended by CR LF.
// Parameter lines for the parameters of the device's ConfigID, in number order; a value that is
// only blanks counts as empty.
QByteArray composeConfigFile(const DeviceImage& image, const WriterInputs& inputs);

// The text followed by its CRC-32, least significant byte first.
QByteArray withChecksumTrailer(QByteArray text);

// Writes the bytes in one atomic replace: the file at path is either left as it was or holds
// exactly these bytes. Returns the message for the user (in the interface language) when the
// file could not be written, else "".
QString saveConfigFile(const QString& path, const QByteArray& bytes);

// Why no file can be saved at path as things stand (no such folder, a folder of that name, no
// right to write there), in the user's language; "" when nothing stands in the way.
QString saveProblem(const QString& path);

enum class WriteOutcome {
    NothingToDo, // no serial number for a backup
    Cancelled,   // the save dialog was cancelled
    Written,
    Failed,      // the user was told why; an existing file is unchanged
};

// What the two commands need besides the user's input.
struct WriterContext {
    const DeviceImage& image;
    const HostFacts& host;
    const VersionInfo& version;
    Dialogs& dialogs;
    QLocale locale = QLocale::system();
};

// A file of its own in folder, named baseName + ".scd", or baseName + "-2.scd", "-3.scd"...
// when that is taken (by this or another program): the name is taken by creating the empty
// file. "" when the folder cannot take a file.
QString reserveNewFile(const QString& folder, const QString& baseName);

// Writes the device image as a restorable backup into path (a file that reserveNewFile made,
// or any other); on failure the user is told why and a reserved empty file is removed.
WriteOutcome writeRestorableBackup(const WriterContext& context, const QString& path);
// The bytes such a backup file holds, written now.
QByteArray restorableBackupText(const WriterContext& context);

// "Generate Backup": asks where to save a backup of the device image; the serial number shown
// names the proposed file, and nothing happens without one.
QCoro::Task<WriteOutcome> generateBackup(WriterContext context, QString serialNumber);

// "Generate new ConfigFile", once the user confirmed the description lines: asks where to save
// the file and writes it with them.
QCoro::Task<WriteOutcome> generateConfigFile(WriterContext context, QStringList descriptions);

} // namespace tunekit
