#include "base/version_info.h"

namespace tunekit {

QString versionWithSuffix(const QString& version, const QString& build)
{
    if (build.size() < 4)
        return version;
    QString suffix;
    switch (build.at(3).unicode()) {
    case '0': suffix = QStringLiteral(" alpha"); break;
    case '1': suffix = QStringLiteral(" beta"); break;
    case '2': suffix = QStringLiteral(" rc"); break;
    default: return version;
    }
    // Characters 5..7 read as a number: leading blanks and zeros vanish.
    const QString digits = build.mid(4, 3).trimmed();
    qsizetype end = 0;
    while (end < digits.size() && digits.at(end).isDigit())
        ++end;
    const qulonglong number = digits.left(end).toULongLong();
    return version + suffix + QString::number(number);
}

VersionInfo makeVersionInfo(const QString& build)
{
    VersionInfo info;
    info.buildNumber = build;
    info.version = versionWithSuffix(QStringLiteral("2.13"), build);
    return info;
}

} // namespace tunekit
