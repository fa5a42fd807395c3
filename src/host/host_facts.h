#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tunekit {

enum class OsPlatform { Nt, Win9x, Linux, Other };

// The operating-system version record as Windows reports it.
struct OsVersion {
    OsPlatform platform = OsPlatform::Other;
    int major = 0;
    int minor = 0;
    int build = 0;
    QString servicePack;
};

// Facts about the host the program runs on. The logic asks only through here, so every
// decision over them is testable on any system.
class HostFacts {
public:
    virtual ~HostFacts() = default;
    virtual OsVersion osVersionRecord() const = 0;
    // The process environment as "NAME=value" entries, in the system's order.
    virtual QStringList environment() const = 0;
    // The system default language identifier as four hexadecimal digits, e.g. "0407".
    virtual QString defaultLanguageId() const = 0;
    virtual QString computerName() const = 0;
    virtual QString userName() const = 0;
    virtual QString programFolder() const = 0;
    // Whether this process may create files in the program's folder.
    virtual bool programFolderWritable() const = 0;
    // The user's own configuration folder for Tunekit (Linux: ~/.config/Tunekit; Windows:
    // %LOCALAPPDATA%\Tunekit), made when missing; "" when there is none.
    virtual QString userConfigFolder() const = 0;
    virtual QDateTime now() const = 0;
    // The programming adapter's port as the system reports it ("COM7"); "" when none is known.
    virtual QString adapterPortName() const = 0;
    // The folder of the settings file; "" when settings are not kept. A program that runs from
    // its own folder (a build, an unpacked copy) keeps them there when it may write there; an
    // installed program, whose folder is a folder of programs (see isProgramsFolder), and one
    // that may not write beside itself keep them in the user's configuration folder.
    virtual QString settingsFolder() const;
};

// Whether a folder is one that many programs are installed into, and so nobody's place for a
// settings file: a bin or sbin folder (/usr/bin, /usr/local/bin, ~/.local/bin, PREFIX/bin).
bool isProgramsFolder(const QString& folder);

// The real host: Win32 calls on Windows, their nearest equivalents elsewhere. Front ends that
// keep no settings, or pick the language themselves, derive from it and override those facts.
class SystemHostFacts : public HostFacts {
public:
    OsVersion osVersionRecord() const override;
    QStringList environment() const override;
    QString defaultLanguageId() const override;
    QString computerName() const override;
    QString userName() const override;
    QString programFolder() const override;
    bool programFolderWritable() const override;
    QString userConfigFolder() const override;
    QDateTime now() const override;
    // Windows: the FTDI driver's registry keys. Elsewhere: the connected USB adapter.
    QString adapterPortName() const override;
};

// Windows language identifier (primary language in the low 10 bits) for a locale, as
// four upper-case hexadecimal digits; "0000" when the language has no identifier here.
QString languageIdForLocale(const QLocale& locale);

} // namespace tunekit
