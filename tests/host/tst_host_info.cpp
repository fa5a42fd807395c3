#include "host/host_info.h"

#include <QLocale>
#include <QTest>

using namespace tunekit;

Q_DECLARE_METATYPE(tunekit::OsPlatform)

class TestHostInfo : public QObject {
    Q_OBJECT
private slots:
    void osName_data();
    void osName();
    void wordWidth_data();
    void wordWidth();
    void installLanguage_data();
    void installLanguage();
    void realHostGivesConsistentFacts();
};

void TestHostInfo::osName_data()
{
    QTest::addColumn<OsPlatform>("platform");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("build");
    QTest::addColumn<QString>("servicePack");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("brief");
    const QString unknown = QStringLiteral("Unbekanntes Betriebssystem");
    QTest::newRow("NT 4") << OsPlatform::Nt << 4 << 0 << 1381 << "" << "Windows NT" << "Win NT";
    QTest::newRow("2000") << OsPlatform::Nt << 5 << 0 << 2195 << "" << "Windows 2000" << "Win 2k";
    QTest::newRow("XP") << OsPlatform::Nt << 5 << 1 << 2600 << "Service Pack 3" << "Windows XP" << "Win XP";
    QTest::newRow("server 2003") << OsPlatform::Nt << 5 << 2 << 3790 << "" << unknown << "?";
    QTest::newRow("Vista") << OsPlatform::Nt << 6 << 0 << 6002 << "" << "Windows Vista" << "Win Vista";
    QTest::newRow("7") << OsPlatform::Nt << 6 << 1 << 7601 << "" << "Windows 7" << "Win 7";
    QTest::newRow("8") << OsPlatform::Nt << 6 << 2 << 9200 << "" << "Windows 8" << "Win 8";
    QTest::newRow("8.1") << OsPlatform::Nt << 6 << 3 << 9600 << "" << unknown << "?";
    QTest::newRow("10") << OsPlatform::Nt << 10 << 0 << 19045 << "" << unknown << "?";
    QTest::newRow("95") << OsPlatform::Win9x << 4 << 0 << 950 << "" << "Windows 95" << "Win 95";
    QTest::newRow("95 C") << OsPlatform::Win9x << 4 << 0 << 950 << "C " << "Windows 95C " << "Win 95";
    QTest::newRow("95 OSR2") << OsPlatform::Win9x << 4 << 0 << 950 << "B" << "Windows 95 OSR2" << "Win 95b";
    QTest::newRow("98") << OsPlatform::Win9x << 4 << 10 << 1998 << "" << "Windows 98" << "Win 98";
    QTest::newRow("98 SE") << OsPlatform::Win9x << 4 << 10 << 2222 << "A" << "Windows 98 SE" << "Win 98 SE";
    QTest::newRow("ME") << OsPlatform::Win9x << 4 << 90 << 3000 << "" << "Windows ME" << "Win ME";
    QTest::newRow("9x other") << OsPlatform::Win9x << 4 << 3 << 0 << "" << "Win 32s" << "Win 32s";
    QTest::newRow("not Windows") << OsPlatform::Other << 6 << 1 << 7601 << "" << unknown << "?";
}

void TestHostInfo::osName()
{
    QFETCH(OsPlatform, platform);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, build);
    QFETCH(QString, servicePack);
    QFETCH(QString, full);
    QFETCH(QString, brief);
    const OsNames names = GetOsName({platform, major, minor, build, servicePack},
                                    {QStringLiteral("PROCESSOR_ARCHITECTURE=x86")});
    QCOMPARE(names.fullName, full);
    QCOMPARE(names.shortName, brief);
    QCOMPARE(names.messageName, brief == QLatin1StringView("?") ? QString() : brief);
    QCOMPARE(names.winVerCaption, full + QStringLiteral(" (32bit)"));
}

void TestHostInfo::wordWidth_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("width");
    QTest::newRow("none") << QStringList{"PATH=C:\\Windows"} << "";
    QTest::newRow("x86") << QStringList{"PROCESSOR_ARCHITECTURE=x86"} << "(32bit)";
    QTest::newRow("x86 padded") << QStringList{"PROCESSOR_ARCHITECTURE= x86 "} << "(32bit)";
    QTest::newRow("AMD64") << QStringList{"PROCESSOR_ARCHITECTURE=AMD64"} << "(64bit)";
    QTest::newRow("empty value") << QStringList{"PROCESSOR_ARCHITECTURE="} << "(64bit)";
    QTest::newRow("last entry wins") << QStringList{"PROCESSOR_ARCHITECTURE=AMD64", "X_PROCESSOR_ARCHITECTURE=x86"}
                                     << "(32bit)";
    QTest::newRow("WOW64 entry is another name")
        << QStringList{"PROCESSOR_ARCHITECTURE=x86", "PROCESSOR_ARCHITEW6432=AMD64"} << "(32bit)";
}

void TestHostInfo::wordWidth()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, width);
    QCOMPARE(GetWordWidth(environment), width);
}

void TestHostInfo::installLanguage_data()
{
    QTest::addColumn<QString>("languageId");
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << "0407" << "DE";
    QTest::newRow("Swiss German") << "0807" << "DE";
    QTest::newRow("US English") << "0409" << "EN";
    QTest::newRow("UK English") << "0809" << "EN";
    QTest::newRow("French") << "040C" << "";
    QTest::newRow("empty") << "" << "";
}

void TestHostInfo::installLanguage()
{
    QFETCH(QString, languageId);
    QFETCH(QString, language);
    QCOMPARE(GetInstallLanguage(languageId), language);
}

void TestHostInfo::realHostGivesConsistentFacts()
{
    const SystemHostFacts host;
    const QString id = host.DefaultLanguageId();
    QCOMPARE(id.size(), 4);
    QCOMPARE(GetInstallLanguage(LanguageIdForLocale(QLocale(QLocale::German, QLocale::Austria))), QStringLiteral("DE"));
    QCOMPARE(LanguageIdForLocale(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("0407"));
    QCOMPARE(LanguageIdForLocale(QLocale(QLocale::English, QLocale::UnitedKingdom)), QStringLiteral("0809"));
    QVERIFY(!host.ProgramFolder().isEmpty());
    QVERIFY(host.Now().isValid());
#ifndef _WIN32
    QCOMPARE(GetOsName(host.OsVersionRecord(), host.Environment()).shortName, QStringLiteral("?"));
#endif
}

QTEST_GUILESS_MAIN(TestHostInfo)
#include "tst_host_info.moc"
