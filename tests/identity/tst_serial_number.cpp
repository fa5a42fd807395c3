#include "base/language.h"
#include "identity/serial_number.h"
#include "support/scripted_dialogs.h"

#include <QtTest>

using namespace tunekit;
using tunekit::testing::ScriptedDialogs;

namespace {
struct Encoding {
    int address, oem, group, configId;
    QString serial;
    bool rejected = false;
};
} // namespace

Q_DECLARE_METATYPE(Encoding)

class TstSerialNumber : public QObject {
    Q_OBJECT

private slots:
    void encode_data()
    {
        QTest::addColumn<Encoding>("e");
        QTest::newRow("983 address 1") << Encoding{1, 254, 0, 2, "9836207391"};
        QTest::newRow("983 12345") << Encoding{12345, 254, 0, 2, "9838647593"};
        QTest::newRow("983 65535") << Encoding{65535, 254, 0, 2, "9836227392"};
        QTest::newRow("letter even") << Encoding{12345, 249, 0, 2, "988012345H"};
        QTest::newRow("letter odd") << Encoding{100, 249, 0, 2, "988032868H"};
        QTest::newRow("letter short") << Encoding{3, 249, 0, 2, "98803H"};
        QTest::newRow("group 48") << Encoding{1234, 7, 48, 2, "4800701234"};
        QTest::newRow("group 48 config 1") << Encoding{1234, 7, 48, 1, ""};
        QTest::newRow("group 48 oem 100") << Encoding{5, 100, 48, 3, "4810000005"};
        QTest::newRow("plain oem 2") << Encoding{65535, 2, 0, 2, "9800065535"};
        QTest::newRow("address 0") << Encoding{0, 2, 0, 2, ""};
        QTest::newRow("oem 100 rejected") << Encoding{5, 100, 0, 2, "9820000005", true};
        QTest::newRow("oem 100 nothing read") << Encoding{5, 100, 0, 0, ""};
        QTest::newRow("address above 16 bits") << Encoding{65536, 0, 0, 2, ""};
        QTest::newRow("oem too wide") << Encoding{5, 1000, 48, 2, ""};
    }
    void encode()
    {
        QFETCH(Encoding, e);
        ScriptedDialogs dialogs;
        const SerialEncoding result =
            EncodeSerialNumber(e.address, e.oem, e.group, QString::number(e.group), e.configId, dialogs);
        QCOMPARE(result.serial, e.serial);
        QCOMPARE(result.oemRejected, e.rejected);
        QCOMPARE(dialogs.messages.size(), e.rejected ? 1 : 0);
    }

    void decode_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("oem");
        QTest::addColumn<QString>("group");
        QTest::newRow("983 1") << "9836207391" << "1" << "254" << "0";
        QTest::newRow("check digit broken") << "9836207381" << "" << "254" << "0";
        QTest::newRow("scrambled above 16 bits") << "9830000000" << "" << "254" << "0";
        QTest::newRow("letter even") << "988012345H" << "12345" << "249" << "0";
        QTest::newRow("group 48") << "4800701234" << "1234" << "7" << "48";
        QTest::newRow("group address too big") << "4599999999" << "" << "999" << "45";
        QTest::newRow("plain too big") << "9820099999" << "" << "0" << "0";
        QTest::newRow("unknown prefix") << "1234567890" << "" << "255" << "0";
        // Wrong length, or a non-digit where the family carries digits: nothing decodes.
        for (const QStringView bad :
             {u"98803H", u"983620739", u"98362073910", u"98362A7391", u"4800A01234", u"98801x345H", u"983٦٢٠٧٣٩١"})
            QTest::addRow("unreadable %s", qPrintable(bad.toString())) << bad.toString() << "" << "" << "";
    }
    void decode()
    {
        QFETCH(QString, serial);
        QFETCH(QString, address);
        QFETCH(QString, oem);
        QFETCH(QString, group);
        QCOMPARE(SystemAddressFromSerial(serial, 60).address, address);
        QCOMPARE(OemCodeFromSerial(serial), oem);
        QCOMPARE(ProductGroupFromSerial(serial), group);
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("oem");
        for (int oem : {255, 254, 253, 252, 251, 250, 249, 248, 247, 0, 1, 2})
            QTest::addRow("oem %d", oem) << oem;
    }
    void roundTrip()
    {
        QFETCH(int, oem);
        ScriptedDialogs dialogs;
        int tested = 0;
        for (int address = 1; address < 65536; ++address) {
            const QString serial = EncodeSerialNumber(address, oem, 0, "0", 2, dialogs).serial;
            if (oem == 249 && serial.size() != 10)
                continue;
            ++tested;
            if (SystemAddressFromSerial(serial, 30).address != QString::number(address)
                || OemCodeFromSerial(serial) != QString::number(oem))
                QFAIL(qPrintable(QStringLiteral("address %1 gives %2").arg(address).arg(serial)));
        }
        QVERIFY(tested > 30000);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void checkDigit()
    {
        QCOMPARE(SerialCheckDigit(u"983765432"), 4);
        QCOMPARE(SerialCheckDigit(u"983000000"), 0); // remainder 0
        QCOMPARE(SerialCheckDigit(u"98376543"), -1);
        QCOMPARE(SerialCheckDigit(u"98376543x"), -1);
    }

    void labels()
    {
        const AddressLabels shown = SystemAddressFromSerial(u"9836207391", 40).labels;
        QCOMPARE(shown.internalAddress, QStringLiteral("Intern: 032769"));
        QCOMPARE(shown.directAddress, QStringLiteral("SysAdr: 1"));
        QVERIFY(shown.valueHigh.isEmpty() && shown.valueLow.isEmpty());
        const AddressLabels hidden = SystemAddressFromSerial(u"9836207391", 30).labels;
        QVERIFY(hidden.internalAddress.isEmpty() && hidden.directAddress.isEmpty());
        QCOMPARE(InternalNumberFromSerial(u"9836207391").digits, QStringLiteral("032769"));
        QVERIFY(InternalNumberFromSerial(u"983620x391").caption.isEmpty());
    }

    void oemRejectionMessage_data()
    {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << false
            << "The OEM code is not allowed with this product group value.\r\n"
               "Please enter the correct product group first."
            << "Checksum Error";
        QTest::newRow("German") << true
            << QString::fromUtf8("Der eingegebene OEM-Code ist bei dieser Produktgruppe nicht "
                                 "vorgesehen.\r\nBitte geben Sie zuerst die korrekte "
                                 "Produktgruppe ein.")
            << QString::fromUtf8("Prüfsummenfehler");
    }
    void oemRejectionMessage()
    {
        QFETCH(bool, german);
        QFETCH(QString, text);
        QFETCH(QString, title);
        UiLanguage lang;
        QVERIFY(lang.Set(german ? Language::German : Language::English));
        ScriptedDialogs dialogs;
        QCOMPARE(EncodeSerialNumber(1234, 3, 0, "0", 1, dialogs).serial,
                 QStringLiteral("9820001234"));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, text);
        QCOMPARE(dialogs.messages[0].title, title);
        QCOMPARE(dialogs.messages[0].icon, MsgIcon::Information);
        QCOMPARE(dialogs.messages[0].buttons, MsgButtons::Ok);
    }

    void dipPattern()
    {
        const DipPattern pattern = DipPatternFromSystemAddress(QStringLiteral("32769"), 50);
        QVERIFY(pattern.drawBits && pattern.bits[0] && pattern.bits[15] && !pattern.bits[1]);
        QCOMPARE(pattern.valueLow, QStringLiteral("01(h) = 1(d)"));
        QCOMPARE(pattern.valueHigh, QStringLiteral("80(h) = 128(d)"));
        QCOMPARE(DipPatternFromSystemAddress(QStringLiteral("15"), 40).valueLow,
                 QStringLiteral("0F(h) = 15(d)"));
        QVERIFY(!DipPatternFromSystemAddress(QStringLiteral("15"), 30).showValues);
        for (const char* value : {"", "65536", "12x"})
            QVERIFY(!DipPatternFromSystemAddress(QString::fromLatin1(value), 60).drawBits);
    }

    void productionNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("limit stays") << "4294967296" << "4294967296";
        QTest::newRow("above clears") << "4294967297" << "";
        QTest::newRow("leading 12 stays") << "12abc" << "12abc";
        QTest::newRow("no number reads 0") << "abc" << "abc";
        QTest::newRow("leading zeros") << "0004294967296" << "0004294967296";
        QTest::newRow("huge") << "123456789012345678901234567890" << "";
        QTest::newRow("fraction above") << "4294967296.5" << "";
        QTest::newRow("negative") << "-99999999999" << "-99999999999";
    }
    void productionNumber()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        QCOMPARE(ProductionNumberFromText(text), stored);
    }
};

QTEST_GUILESS_MAIN(TstSerialNumber)
#include "tst_serial_number.moc"
