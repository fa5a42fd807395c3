#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace tunekit {

// The file name of the settings, in the folder the host gives for them.
inline constexpr char SettingsFileName[] = "settings.cfg";
// A settings file is a few dozen bytes; anything beyond this is not read.
inline constexpr qsizetype SettingsFileReadLimit = 64 * 1024;

// What writeSettingsFile stores, in the order of its seven lines.
struct SettingsToWrite {
    qint16 portNumber = 0;
    int actLanguage = 0;                  // 1 = German
    std::array<bool, 3> options{};        // OP1..OP3: reset before transmit, only changed, erase
    bool longDelay = false;               // OP4: ChkLongDelay with the text of txtLongDelay
    QString longDelayText;
    QString authFileString;               // AUT: the password that unlocked the level
    bool paced = false;                   // PAC: one packet per timer tick
};

// The seven lines of every version, then the lines of newer options (which older versions
// ignore as unknown keys), each ended by CR LF.
QByteArray composeSettingsFile(const SettingsToWrite& settings);

// The long delay as one "OP4=" line sets it.
struct LongDelaySetting {
    bool ticked = false;
    qint16 seconds = 0;
    QString text;     // txtLongDelay
};

// What reading a settings file found. Each key present sets its value; a key given twice takes
// effect twice, so the later line wins. Absent keys leave the program's values alone.
struct SettingsRead {
    bool filePortFound = false;                     // a "COM=" line named a port 1..256
    qint16 filePort = 0;
    QString setFileLang;                            // "DE", "EN" or "" without a "LNG=" line
    std::array<std::optional<bool>, 3> options;     // OP1..OP3
    std::optional<LongDelaySetting> longDelay;      // OP4
    std::optional<QString> authText;                // AUT, up to 12 characters
    std::optional<bool> paced;                      // PAC
};

// Reads the lines of a settings file (CR LF, LF or CR). Key: the first four characters, trimmed;
// value: the next twelve, trimmed. A "COM=" number outside 1..256 names no port and is ignored.
SettingsRead readSettings(const QByteArray& bytes);

// editLongDelay: the text the box keeps and, for a digit, the delay it sets (which also
// ticks ChkLongDelay).
struct LongDelayEdit {
    QString text;
    std::optional<qint16> seconds;
};
LongDelayEdit longDelayTextChanged(const QString& text);

} // namespace tunekit
