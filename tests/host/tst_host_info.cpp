#include "host/adapter_port.h"
#include "host/adapter_registry.h"
#include "host/host_info.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tunekit;

Q_DECLARE_METATYPE(tunekit::OsVersion)

using enum OsPlatform;

class TestHostInfo : public QObject {
    Q_OBJECT
private slots:
    void osName_data()
    {
        QTest::addColumn<OsVersion>("version");
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("brief"); // "?" = unrecognised
        const QString unknown = QStringLiteral("Unbekanntes Betriebssystem");
        QTest::newRow("2000") << OsVersion{Nt, 5, 0, 2195, {}} << "Windows 2000" << "Win 2k";
        QTest::newRow("XP") << OsVersion{Nt, 5, 1, 2600, "Service Pack 3"} << "Windows XP" << "Win XP";
        QTest::newRow("server 2003") << OsVersion{Nt, 5, 2, 3790, {}} << unknown << "?";
        QTest::newRow("NT 6.4") << OsVersion{Nt, 6, 4, 9841, {}} << unknown << "?";
        QTest::newRow("10, last build") << OsVersion{Nt, 10, 0, 21999, {}} << "Windows 10" << "Win 10";
        QTest::newRow("11, first build") << OsVersion{Nt, 10, 0, 22000, {}} << "Windows 11" << "Win 11";
        QTest::newRow("95 C") << OsVersion{Win9x, 4, 0, 950, "C "} << "Windows 95C " << "Win 95";
        QTest::newRow("95 OSR2") << OsVersion{Win9x, 4, 0, 950, "B"} << "Windows 95 OSR2" << "Win 95b";
        QTest::newRow("98") << OsVersion{Win9x, 4, 10, 1998, {}} << "Windows 98" << "Win 98";
        QTest::newRow("98 SE") << OsVersion{Win9x, 4, 10, 2222, "A"} << "Windows 98 SE" << "Win 98 SE";
        QTest::newRow("9x other") << OsVersion{Win9x, 4, 3, 0, {}} << "Win 32s" << "Win 32s";
        QTest::newRow("Linux") << OsVersion{Linux, 0, 0, 0, {}} << "Linux" << "Linux";
        QTest::newRow("not Windows") << OsVersion{Other, 6, 1, 7601, {}} << unknown << "?";
    }

    void osName()
    {
        QFETCH(OsVersion, version);
        QFETCH(QString, full);
        QFETCH(QString, brief);
        const OsNames names = osNamesOf(version, {QStringLiteral("PROCESSOR_ARCHITECTURE=x86")});
        QCOMPARE(names.fullName, full);
        QCOMPARE(names.shortName, brief);
        QCOMPARE(names.messageName, brief == QLatin1StringView("?") ? QString() : brief);
        QCOMPARE(names.versionCaption, full + QStringLiteral(" (32bit)"));
    }

    // The last PROCESSOR_ARCHITECTURE entry counts; only "x86", blanks trimmed, is 32 bits.
    void wordWidth()
    {
        QCOMPARE(wordWidthOf({"PATH=C:\\Windows"}), QString());
        QCOMPARE(wordWidthOf({"PROCESSOR_ARCHITECTURE= x86 "}), QStringLiteral("(32bit)"));
        QCOMPARE(wordWidthOf({"PROCESSOR_ARCHITECTURE="}), QStringLiteral("(64bit)"));
        QCOMPARE(wordWidthOf({"PROCESSOR_ARCHITECTURE=AMD64", "X_PROCESSOR_ARCHITECTURE=x86"}), QStringLiteral("(32bit)"));
        QCOMPARE(wordWidthOf({"PROCESSOR_ARCHITECTURE=x86", "PROCESSOR_ARCHITEW6432=AMD64"}), QStringLiteral("(32bit)"));
    }

    // The primary language decides; the host's locale gives the identifier.
    void installLanguage()
    {
        QCOMPARE(installLanguageOf(QStringLiteral("0807")), QStringLiteral("DE"));
        QCOMPARE(installLanguageOf(QStringLiteral("0809")), QStringLiteral("EN"));
        QCOMPARE(installLanguageOf(QStringLiteral("040C")), QString());
        QCOMPARE(installLanguageOf(QString()), QString());
        QCOMPARE(installLanguageOf(languageIdForLocale(QLocale(QLocale::German, QLocale::Austria))), QStringLiteral("DE"));
        QCOMPARE(languageIdForLocale(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("0407"));
        QCOMPARE(languageIdForLocale(QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("0409"));
    }

    // The adapter's "portName" through a fake registry: the keys are tried in their order, and
    // every NT release (Windows 10 and 11 too) looks them up.
    void adapterRegistryLookup_data()
    {
        QTest::addColumn<OsVersion>("version");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("portName");
        QTest::addColumn<int>("triedKeys");
        QTest::addColumn<int>("port");
        const QString tail = QStringLiteral("\\0000\\Device Parameters");
        const QString set2Plus = QStringLiteral("SYSTEM\\ControlSet002\\Enum\\FTDIBUS\\VID_0403+PID_D7A0+") + tail;
        const QString current = QStringLiteral("SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_D7A0+05170913B") + tail;
        const OsVersion seven{Nt, 6, 1, 7601, {}};
        QTest::newRow("ControlSet002 + after seven misses") << seven << set2Plus << "COM7" << 7 << 7;
        QTest::newRow("Windows 11 looks it up") << OsVersion{Nt, 10, 0, 22631, {}} << current << "COM12" << 1 << 12;
        QTest::newRow("not in any key") << seven << "SYSTEM\\Other" << "COM4" << 11 << 0;
        QTest::newRow("text is no port") << seven << current << "USB-Port" << 1 << 0;
        QTest::newRow("trailing text ignored") << seven << current << "COM9x" << 1 << 9;
        QTest::newRow("256 is the last port") << seven << current << "COM256" << 1 << 256;
        QTest::newRow("257 is none") << seven << current << "COM257" << 1 << 0;
        QTest::newRow("Windows 98") << OsVersion{Win9x, 4, 10, 2222, {}}
                                    << "Enum\\FTDIBUS\\VID_0403+PID_D7A0+05170913B\\0000\\" << "COM2" << 1 << 2;
        QTest::newRow("no registry elsewhere") << OsVersion{Linux, 0, 0, 0, {}} << current << "COM3" << 0 << 0;
    }

    void adapterRegistryLookup()
    {
        QFETCH(OsVersion, version);
        QFETCH(QString, key);
        QFETCH(QString, portName);
        QFETCH(int, triedKeys);
        QFETCH(int, port);
        int tried = 0; // a registry of this one key
        const std::string found =
            lookupAdapterPortName(registryFamilyOf(version), [&](const std::string& k, const std::string& value) {
                ++tried;
                return value == "PortName" && k == key.toStdString() ? portName.toStdString() : std::string();
            });
        QCOMPARE(tried, triedKeys);
        QCOMPARE(portNumberOfPortName(found), port);
    }

    // A channel named by its adapter's USB serial number keeps its name in any socket.
    void adapterBySerialNumber_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("port");
        QTest::newRow("first socket") << "FT4XK2PA" << "/dev/ttyUSB0";
        QTest::newRow("moved to another") << "FT9QZ1LB" << "/dev/ttyUSB3";
        QTest::newRow("not plugged in") << "FT0000XX" << "";
        QTest::newRow("no serial never matches") << "" << "";
    }
    void adapterBySerialNumber()
    {
        QFETCH(QString, serial);
        QFETCH(QString, port);
        const QList<SystemPort> ports{{u"/dev/ttyS0"_s, {}, u"16550A"_s, {}, false},
                                      {u"/dev/ttyUSB0"_s, u"0403:d7a0"_s, {}, u"FT4XK2PA"_s, true},
                                      {u"/dev/ttyUSB3"_s, u"0403:d7a0"_s, {}, u"FT9QZ1LB"_s, true}};
        QCOMPARE(portOfAdapter(ports, serial), port);
        if (!port.isEmpty()) {
            QCOMPARE(adapterOfPort(ports, port), serial);
            QCOMPARE(adapterOfPort(ports, port.section(u'/', -1)), serial);
        }
    }

    void realHostGivesConsistentFacts()
    {
        const SystemHostFacts host;
        QCOMPARE(host.defaultLanguageId().size(), 4);
        QVERIFY(!host.programFolder().isEmpty() && host.now().isValid());
#ifdef Q_OS_LINUX
        QCOMPARE(osNamesOf(host.osVersionRecord(), host.environment()).shortName, QStringLiteral("Linux"));
#endif
    }
};

QTEST_GUILESS_MAIN(TestHostInfo)
#include "tst_host_info.moc"
