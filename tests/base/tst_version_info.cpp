#include "base/version_info.h"

#include <QTest>

using namespace tunekit;

class TestVersionInfo : public QObject {
    Q_OBJECT
private slots:
    void title_data()
    {
        QTest::addColumn<QString>("build");
        QTest::addColumn<QString>("title");
        // A release shows the version the package and --version carry.
        QTest::newRow("release") << "28-3003" << QStringLiteral("Tunekit " TUNEKIT_VERSION);
        QTest::newRow("beta") << "28-1005" << "Tunekit 2.13 beta5";
        QTest::newRow("alpha") << "28-0012" << "Tunekit 2.13 alpha12";
        QTest::newRow("rc") << "28-2001" << "Tunekit 2.13 rc1";
        QTest::newRow("rc without number") << "28-2" << "Tunekit 2.13 rc0";
        QTest::newRow("short build") << "28" << "Tunekit 2.13";
    }

    void title()
    {
        QFETCH(QString, build);
        QFETCH(QString, title);
        QCOMPARE(makeVersionInfo(build).windowTitle(), title);
    }
};

QTEST_GUILESS_MAIN(TestVersionInfo)
#include "tst_version_info.moc"
