#pragma once

#include <QString>

namespace tunekit {

// The program's identity as the About box, title and status bar show it.
struct VersionInfo {
    QString programName = QStringLiteral("Tunekit");
    QString version = QStringLiteral("2.13");         // with the pre-release suffix applied
    QString versionDate = QStringLiteral("26.02.2015");
    QString buildNumber = QStringLiteral("28-3003");

    QString windowTitle() const { return programName + QLatin1Char(' ') + version; }
};

// The 4th character of the build number marks a pre-release: 0 alpha, 1 beta, 2 rc;
// characters 5..7 give its number ("28-1005" -> "2.13 beta5").
QString versionWithSuffix(const QString& version, const QString& build);

VersionInfo makeVersionInfo(const QString& build = QStringLiteral("28-3003"));

} // namespace tunekit
