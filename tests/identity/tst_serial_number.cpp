#include "identity/serial_number.h"
#include "support/scripted_dialogs.h"

#include <QtTest>

using namespace tunekit;
using tunekit::testing::Messages;
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
    void encodesSerialNumbers_data()
    {
        QTest::addColumn<Encoding>("e");
        QTest::newRow("983 address 1") << Encoding{1, 254, 0, 2, "9836207391"};
        QTest::newRow("983 65535") << Encoding{65535, 254, 0, 2, "9836227392"};
        QTest::newRow("letter odd") << Encoding{100, 249, 0, 2, "988032868H"};
        QTest::newRow("letter short") << Encoding{3, 249, 0, 2, "98803H"};
        QTest::newRow("group 48") << Encoding{1234, 7, 48, 2, "4800701234"};
        QTest::newRow("group 48 config 1") << Encoding{1234, 7, 48, 1, ""};
        QTest::newRow("plain oem 2") << Encoding{65535, 2, 0, 2, "9800065535"};
        QTest::newRow("address 0") << Encoding{0, 2, 0, 2, ""};
        QTest::newRow("oem 3 rejected at config 1") << Encoding{1234, 3, 0, 1, "9820001234", true};
        QTest::newRow("oem 100 nothing read") << Encoding{5, 100, 0, 0, ""};
        QTest::newRow("address above 16 bits") << Encoding{65536, 0, 0, 2, ""};
        QTest::newRow("oem too wide") << Encoding{5, 1000, 48, 2, ""};
    }
    void encodesSerialNumbers()
    {
        QFETCH(Encoding, e);
        ScriptedDialogs dialogs;
        const SerialEncoding result = encodeSerialNumber(e.address, e.oem, e.group, QString::number(e.group), e.configId, dialogs);
        QCOMPARE(result.serial, e.serial);
        QCOMPARE(result.oemRejected, e.rejected);
        const DialogMessage refusal{"The OEM code is not allowed with this product group value.\r\n"
                                    "Please enter the correct product group first.",
                                    MsgButtons::Ok, MsgIcon::Information, "Checksum Error"};
        QCOMPARE(dialogs.messages, e.rejected ? Messages{refusal} : Messages{});
    }

    void decode_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QStringList>("addressOemGroup");
        QTest::newRow("983 1") << "9836207391" << QStringList{"1", "254", "0"};
        QTest::newRow("check digit broken") << "9836207381" << QStringList{"", "254", "0"};
        QTest::newRow("scrambled above 16 bits") << "9830000000" << QStringList{"", "254", "0"};
        QTest::newRow("letter even") << "988012345H" << QStringList{"12345", "249", "0"};
        QTest::newRow("group 48") << "4800701234" << QStringList{"1234", "7", "48"};
        QTest::newRow("group address too big") << "4599999999" << QStringList{"", "999", "45"};
        QTest::newRow("plain too big") << "9820099999" << QStringList{"", "0", "0"};
        QTest::newRow("unknown prefix") << "1234567890" << QStringList{"", "255", "0"};
        // Wrong length, or a non-digit where the family carries digits: nothing decodes.
        for (const QStringView bad :
             {u"98803H", u"983620739", u"98362073910", u"98362A7391", u"4800A01234", u"98801x345H", u"983٦٢٠٧٣٩١"})
            QTest::addRow("unreadable %s", qPrintable(bad.toString())) << bad.toString() << QStringList{"", "", ""};
    }
    void decode()
    {
        QFETCH(QString, serial);
        QFETCH(QStringList, addressOemGroup);
        QCOMPARE((QStringList{systemAddressFromSerial(serial, true).address, oemCodeFromSerial(serial), productGroupFromSerial(serial)}),
                 addressOemGroup);
    }

    // Every family's OEM codes at the first and last address and where bit 15 and its mark flip.
    void roundTrip()
    {
        ScriptedDialogs dialogs;
        for (const int oem : {255, 254, 253, 252, 251, 250, 249, 248, 247, 0, 1, 2}) {
            for (const int address : {1, 32767, 32768, 65535}) {
                const QString serial = encodeSerialNumber(address, oem, 0, QStringLiteral("0"), 2, dialogs).serial;
                QCOMPARE(systemAddressFromSerial(serial, false).address, QString::number(address));
                QCOMPARE(oemCodeFromSerial(serial), QString::number(oem));
            }
        }
        QVERIFY(dialogs.messages.isEmpty());
    }

    void checkDigitAndLabels()
    {
        QCOMPARE(serialCheckDigit(u"983765432"), 4);
        QCOMPARE(serialCheckDigit(u"983000000"), 0); // remainder 0
        QCOMPARE(serialCheckDigit(u"98376543"), -1);
        QCOMPARE(serialCheckDigit(u"98376543x"), -1);

        const AddressLabels shown = systemAddressFromSerial(u"9836207391", true).labels;
        QCOMPARE(shown.internalAddress, QStringLiteral("Intern: 032769"));
        QCOMPARE(shown.directAddress, QStringLiteral("SysAdr: 1"));
        QVERIFY(shown.valueHigh.isEmpty() && shown.valueLow.isEmpty());
        const AddressLabels hidden = systemAddressFromSerial(u"9836207391", false).labels;
        QVERIFY(hidden.internalAddress.isEmpty() && hidden.directAddress.isEmpty());
        QVERIFY(internalNumberFromSerial(u"983620x391").caption.isEmpty());
    }

    void productionNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stays");
        QTest::newRow("limit stays") << "4294967296" << true;
        QTest::newRow("above clears") << "4294967297" << false;
        QTest::newRow("no number reads 0") << "abc" << true;
        QTest::newRow("leading zeros") << "0004294967296" << true;
        QTest::newRow("huge") << "123456789012345678901234567890" << false;
        QTest::newRow("fraction above") << "4294967296.5" << false;
        QTest::newRow("negative") << "-99999999999" << true;
    }
    void productionNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, stays);
        QCOMPARE(productionNumberFromText(text), stays ? text : QString());
    }
};

QTEST_GUILESS_MAIN(TstSerialNumber)
#include "tst_serial_number.moc"