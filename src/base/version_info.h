#pragma once

#include <QString>

namespace tunekit {

// The program's identity as the About box, title and status bar show it.
struct VersionInfo {
    QString metaInfo1 = QStringLiteral("Tunekit");
    QString metaInfo2 = QStringLiteral("2.13");       // version, with pre-release suffix applied
    QString metaInfo3 = QStringLiteral("26.02.2015"); // version date
    QString metaInfo4 = QStringLiteral("28-3003");    // build number

    QString WindowTitle() const { return metaInfo1 + QLatin1Char(' ') + metaInfo2; }
};

// The 4th character of the build number marks a pre-release: 0 alpha, 1 beta, 2 rc;
// characters 5..7 give its number ("28-1005" -> "2.13 beta5").
QString VersionWithSuffix(const QString& version, const QString& build);

VersionInfo MakeVersionInfo(const QString& build = QStringLiteral("28-3003"));

} // namespace tunekit
