#include "host/adapter_registry.h"
#include "host/host_info.h"

#include <map>

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
    void adapterRegistryLookup_data();
    void adapterRegistryLookup();
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
    QTest::newRow("8.1") << OsPlatform::Nt << 6 << 3 << 9600 << "" << "Windows 8.1" << "Win 8.1";
    QTest::newRow("10") << OsPlatform::Nt << 10 << 0 << 19045 << "" << "Windows 10" << "Win 10";
    QTest::newRow("11") << OsPlatform::Nt << 10 << 0 << 22631 << "" << "Windows 11" << "Win 11";
    QTest::newRow("NT 6.4") << OsPlatform::Nt << 6 << 4 << 9841 << "" << unknown << "?";
    QTest::newRow("95") << OsPlatform::Win9x << 4 << 0 << 950 << "" << "Windows 95" << "Win 95";
    QTest::newRow("95 C") << OsPlatform::Win9x << 4 << 0 << 950 << "C " << "Windows 95C " << "Win 95";
    QTest::newRow("95 OSR2") << OsPlatform::Win9x << 4 << 0 << 950 << "B" << "Windows 95 OSR2" << "Win 95b";
    QTest::newRow("98") << OsPlatform::Win9x << 4 << 10 << 1998 << "" << "Windows 98" << "Win 98";
    QTest::newRow("98 SE") << OsPlatform::Win9x << 4 << 10 << 2222 << "A" << "Windows 98 SE" << "Win 98 SE";
    QTest::newRow("ME") << OsPlatform::Win9x << 4 << 90 << 3000 << "" << "Windows ME" << "Win ME";
    QTest::newRow("9x other") << OsPlatform::Win9x << 4 << 3 << 0 << "" << "Win 32s" << "Win 32s";
    QTest::newRow("Linux") << OsPlatform::Linux << 0 << 0 << 0 << "" << "Linux" << "Linux";
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

// The adapter's "PortName" through a fake registry: the keys are tried in their order, and every
// NT release (Windows 10 and 11 too) looks them up.
void TestHostInfo::adapterRegistryLookup_data()
{
    QTest::addColumn<OsPlatform>("platform");
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("portName");
    QTest::addColumn<int>("triedKeys");
    QTest::addColumn<int>("port");
    const QString tail = QStringLiteral("\\0000\\Device Parameters");
    const QString set2Plus = QStringLiteral("SYSTEM\\ControlSet002\\Enum\\FTDIBUS\\VID_0403+PID_D7A0+") + tail;
    const QString current = QStringLiteral("SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_D7A0+05170913B") + tail;
    QTest::newRow("ControlSet002 + after seven misses") << OsPlatform::Nt << 6 << set2Plus << "COM7" << 7 << 7;
    QTest::newRow("current set first") << OsPlatform::Nt << 5 << current << "COM3" << 1 << 3;
    QTest::newRow("Windows 11 looks it up") << OsPlatform::Nt << 10 << current << "COM12" << 1 << 12;
    QTest::newRow("not in any key") << OsPlatform::Nt << 6 << "SYSTEM\\Other" << "COM4" << 11 << 0;
    QTest::newRow("bare COM is no port") << OsPlatform::Nt << 6 << current << "COM" << 1 << 0;
    QTest::newRow("text is no port") << OsPlatform::Nt << 6 << current << "USB-Port" << 1 << 0;
    QTest::newRow("trailing text ignored") << OsPlatform::Nt << 6 << current << "COM9x" << 1 << 9;
    QTest::newRow("beyond 256") << OsPlatform::Nt << 6 << current << "COM300" << 1 << 0;
    QTest::newRow("Windows 98") << OsPlatform::Win9x << 4
                                << "Enum\\FTDIBUS\\VID_0403+PID_D7A0+05170913B\\0000\\" << "COM2" << 1 << 2;
    QTest::newRow("no registry elsewhere") << OsPlatform::Linux << 0 << current << "COM3" << 0 << 0;
}

void TestHostInfo::adapterRegistryLookup()
{
    QFETCH(OsPlatform, platform);
    QFETCH(int, major);
    QFETCH(QString, key);
    QFETCH(QString, portName);
    QFETCH(int, triedKeys);
    QFETCH(int, port);
    const std::map<std::string, std::string> registry{{key.toStdString(), portName.toStdString()}};
    int tried = 0;
    const std::string found = LookupAdapterPortName(
        RegistryFamilyOf({platform, major, 0, 0, {}}), [&](const std::string& k, const std::string& value) {
            ++tried;
            const auto entry = registry.find(k);
            return value == "PortName" && entry != registry.end() ? entry->second : std::string();
        });
    QCOMPARE(tried, triedKeys);
    QCOMPARE(PortNumberOfPortName(found), port);
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
#ifdef Q_OS_LINUX
    QCOMPARE(GetOsName(host.OsVersionRecord(), host.Environment()).shortName, QStringLiteral("Linux"));
#endif
}

QTEST_GUILESS_MAIN(TestHostInfo)
#include "tst_host_info.moc"
