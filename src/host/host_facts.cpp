#include "host/host_facts.h"

#include "host/adapter_port.h"
#include "host/host_info.h"
#include "host/win_registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QLocale>
#include <QProcessEnvironment>
#include <QSysInfo>

#ifdef _WIN32
#include <windows.h>
#include <lmcons.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace tunekit {

QString languageIdForLocale(const QLocale& locale)
{
    // Primary and sub-language codes of the Windows language identifiers for the
    // languages a technician is likely to run; others report no identifier.
    int primary = 0;
    int sub = 1;
    switch (locale.language()) {
    case QLocale::German:
        primary = 0x07;
        if (locale.territory() == QLocale::Switzerland)
            sub = 2;
        else if (locale.territory() == QLocale::Austria)
            sub = 3;
        break;
    case QLocale::English:
        primary = 0x09;
        if (locale.territory() == QLocale::UnitedKingdom)
            sub = 2;
        break;
    case QLocale::French: primary = 0x0C; break;
    case QLocale::Italian: primary = 0x10; break;
    case QLocale::Spanish: primary = 0x0A; break;
    case QLocale::Dutch: primary = 0x13; break;
    case QLocale::Polish: primary = 0x15; break;
    case QLocale::Czech: primary = 0x05; break;
    default: return QStringLiteral("0000");
    }
    return QStringLiteral("%1").arg((sub << 10) | primary, 4, 16, QLatin1Char('0')).toUpper();
}

bool isProgramsFolder(const QString& folder)
{
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    return name.compare(QLatin1StringView("bin"), Qt::CaseInsensitive) == 0
           || name.compare(QLatin1StringView("sbin"), Qt::CaseInsensitive) == 0;
}

QString HostFacts::settingsFolder() const
{
    const QString program = programFolder();
    if (!program.isEmpty() && !isProgramsFolder(program) && programFolderWritable())
        return program;
    return userConfigFolder();
}

#ifdef _WIN32

OsVersion SystemHostFacts::osVersionRecord() const
{
    OsVersion version;
    // RtlGetVersion reports the true version; GetVersionEx lies to unmanifested programs.
    using RtlGetVersionFn = LONG(WINAPI*)(PRTL_OSVERSIONINFOW);
    RTL_OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                   reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                                     : nullptr;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0)
        return version;
    version.platform = info.dwPlatformId == VER_PLATFORM_WIN32_NT        ? OsPlatform::Nt
                       : info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? OsPlatform::Win9x
                                                                         : OsPlatform::Other;
    version.major = static_cast<int>(info.dwMajorVersion);
    version.minor = static_cast<int>(info.dwMinorVersion);
    version.build = static_cast<int>(info.dwBuildNumber & 0xFFFF);
    version.servicePack = QString::fromWCharArray(info.szCSDVersion);
    return version;
}

QString SystemHostFacts::defaultLanguageId() const
{
    const LANGID id = LANGIDFROMLCID(GetSystemDefaultLCID());
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')).toUpper();
}

QString SystemHostFacts::computerName() const
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? QString::fromWCharArray(name, static_cast<int>(size)) : QString();
}

QString SystemHostFacts::userName() const
{
    wchar_t name[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    return GetUserNameW(name, &size) && size > 0 ? QString::fromWCharArray(name, static_cast<int>(size - 1))
                                                 : QString();
}

QString SystemHostFacts::adapterPortName() const
{
    return QString::fromStdString(lookupAdapterPortName(registryFamilyOf(osVersionRecord()), readLocalMachineText));
}

#else

OsVersion SystemHostFacts::osVersionRecord() const
{
#ifdef Q_OS_LINUX
    OsVersion version;
    version.platform = OsPlatform::Linux;
    return version;
#else
    return {};
#endif
}

QString SystemHostFacts::adapterPortName() const
{
    return usbAdapterPortName();
}

QString SystemHostFacts::defaultLanguageId() const
{
    return languageIdForLocale(QLocale::system());
}

QString SystemHostFacts::computerName() const
{
    return QSysInfo::machineHostName();
}

QString SystemHostFacts::userName() const
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"USER", "LOGNAME"}) {
        const QString user = env.value(QLatin1StringView(name));
        if (!user.isEmpty())
            return user;
    }
    const passwd* account = getpwuid(getuid());
    return account ? QString::fromLocal8Bit(account->pw_name) : QString();
}

#endif

QStringList SystemHostFacts::environment() const
{
    return QProcessEnvironment::systemEnvironment().toStringList();
}

QString SystemHostFacts::programFolder() const
{
    return QCoreApplication::applicationDirPath();
}

bool SystemHostFacts::programFolderWritable() const
{
    return QFileInfo(programFolder()).isWritable();
}

QString SystemHostFacts::userConfigFolder() const
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (config.isEmpty() || !QDir().mkpath(config))
        return {};
    return config;
}

QDateTime SystemHostFacts::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace tunekit
