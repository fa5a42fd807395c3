#include "host/host_info.h"

namespace tunekit {
namespace {

struct Names {
    const char* full;
    const char* brief;
};

Names ntNames(const OsVersion& v)
{
    if (v.major == 4)
        return {"Windows NT", "Win NT"};
    if (v.major == 5 && v.build == 2195)
        return {"Windows 2000", "Win 2k"};
    if (v.major == 5 && v.build == 2600)
        return {"Windows XP", "Win XP"};
    if (v.major == 6 && v.minor == 0)
        return {"Windows Vista", "Win Vista"};
    if (v.major == 6 && v.minor == 1)
        return {"Windows 7", "Win 7"};
    if (v.major == 6 && v.minor == 2)
        return {"Windows 8", "Win 8"};
    if (v.major == 6 && v.minor == 3)
        return {"Windows 8.1", "Win 8.1"};
    // Windows 11 still reports 10.0; its builds start at 22000.
    if (v.major == 10 && v.minor == 0)
        return v.build >= 22000 ? Names{"Windows 11", "Win 11"} : Names{"Windows 10", "Win 10"};
    return {nullptr, nullptr};
}

} // namespace

OsNames osNamesOf(const OsVersion& version, const QStringList& environment)
{
    OsNames names;
    switch (version.platform) {
    case OsPlatform::Nt:
        if (const Names nt = ntNames(version); nt.full) {
            names.fullName = QLatin1StringView(nt.full);
            names.shortName = QLatin1StringView(nt.brief);
        }
        break;
    case OsPlatform::Win9x:
        if (version.minor == 0) {
            const bool osr2 = version.servicePack == QLatin1StringView("B");
            names.fullName = QStringLiteral("Windows 95")
                             + (osr2 ? QStringLiteral(" OSR2") : version.servicePack.left(2));
            names.shortName = osr2 ? QStringLiteral("Win 95b") : QStringLiteral("Win 95");
        } else if (version.minor == 10) {
            const bool se = version.servicePack == QLatin1StringView("A");
            names.fullName = se ? QStringLiteral("Windows 98 SE") : QStringLiteral("Windows 98");
            names.shortName = se ? QStringLiteral("Win 98 SE") : QStringLiteral("Win 98");
        } else if (version.minor == 90) {
            names.fullName = QStringLiteral("Windows ME");
            names.shortName = QStringLiteral("Win ME");
        } else {
            names.fullName = QStringLiteral("Win 32s");
            names.shortName = QStringLiteral("Win 32s");
        }
        break;
    case OsPlatform::Linux:
        names.fullName = QStringLiteral("Linux");
        names.shortName = QStringLiteral("Linux");
        break;
    case OsPlatform::Other:
        break;
    }
    if (names.shortName != QLatin1StringView("?"))
        names.messageName = names.shortName;
    names.versionCaption = names.fullName + QLatin1Char(' ') + wordWidthOf(environment);
    return names;
}

RegistryFamily registryFamilyOf(const OsVersion& version)
{
    // Every NT release keeps the driver's keys in the same places, the ones after Windows 8
    // included.
    switch (version.platform) {
    case OsPlatform::Nt: return RegistryFamily::Nt;
    case OsPlatform::Win9x: return RegistryFamily::Win9x;
    case OsPlatform::Linux:
    case OsPlatform::Other: break;
    }
    return RegistryFamily::None;
}

QString wordWidthOf(const QStringList& environment)
{
    QString width;
    for (const QString& entry : environment) {
        if (!entry.contains(QLatin1StringView("PROCESSOR_ARCHITECTURE")))
            continue;
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        const QString value = eq < 0 ? QString() : entry.mid(eq + 1).trimmed();
        width = value == QLatin1StringView("x86") ? QStringLiteral("(32bit)") : QStringLiteral("(64bit)");
    }
    return width;
}

QString installLanguageOf(const QString& languageId)
{
    const QString primary = languageId.right(2);
    if (primary == QLatin1StringView("07"))
        return QStringLiteral("DE");
    if (primary == QLatin1StringView("09"))
        return QStringLiteral("EN");
    return {};
}

} // namespace tunekit
