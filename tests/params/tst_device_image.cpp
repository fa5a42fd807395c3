#include "access/access_levels.h"
#include "base/language.h"
#include "params/config_defines.h"
#include "params/config_tab.h"
#include "params/device_image.h"
#include "params/overview_edit.h"
#include "support/scripted_dialogs.h"

#include <QSet>
#include <QtTest>

#include <algorithm>

using namespace tunekit;
using tunekit::testing::Messages;
using tunekit::testing::ScriptedDialogs;

namespace {

DeviceImage makeImage(int deviceConfigId, int level)
{
    DeviceImage image;
    image.deviceConfigId = static_cast<qint16>(deviceConfigId);
    image.initDeviceImage(levelMarks(AccessLevel::fromNumber(level).value()), Language::English);
    return image;
}

const QString Oem = QStringLiteral("The OEM code is not allowed with this product group value.\r\n"
                                   "Please enter the correct product group first.");

// A value typed into the overview list; message is the refusal ("" = taken), german its German
// text where that is checked. Without the level the edit discards the loaded file.
struct Edit {
    QString name, old, typed, shown;
    QString message = {}, german = {};
    int imageConfigId = 1;
    QString prodGrp = QStringLiteral("0");
    bool withoutLevel = false;
};

// The image's identity values and the configuration tab that shows them.
struct Tab {
    QString address, oem, group, serial, oemAfter;
    int imageConfigId = 2;
};

} // namespace

Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Tab)

class TstDeviceImage : public QObject {
    Q_OBJECT

private slots:
    void clearFileDataKeepsMarks()
    {
        DeviceImage image = makeImage(10, 60);
        image.value[7] = image.fileValue[7] = QStringLiteral("27");
        image.changed[7] = image.uninitialised[7] = true;
        image.fileConfigId = 10;
        image.file.name = image.info.texts[3] = QStringLiteral("a.scd");
        image.info.reportedConfigId = 10;
        image.extended.textsImage = "abc";
        image.clearFileData();
        QVERIFY(image.value[7].isEmpty() && image.fileValue[7].isEmpty() && image.fileConfigId == 0);
        QVERIFY(image.changed[7] && !image.uninitialised[7] && image.editMark[7]);
        QCOMPARE(image.file.name, QString());
        QCOMPARE(image.info.texts[3], QStringLiteral("-"));
        QCOMPARE(image.info.reportedConfigId, 10);
        QVERIFY(image.extended.textsImage.isEmpty());
    }

    // The overview lists the device's parameters from 2 on in number order: those the level
    // reaches editable (icon 2), the others shown only (icon 1).
    void overviewRowsForConfig52()
    {
        const DeviceImage image = makeImage(52, 30);
        QList<int> numbers;
        QSet<int> icons;
        for (const OverviewRow& row : image.overviewRows()) {
            numbers.append(row.nr);
            icons.insert(row.icon);
            const ConfigDefine& define = findConfigDefine(row.nr);
            QVERIFY2(define.families.contains(52), define.name.toLatin1().constData());
            QCOMPARE(row.icon, AccessLevel::level3().reachesParameter(define.lowestLevel) ? 2 : 1);
        }
        QList<int> expected;
        for (int nr = 2; nr <= ParamCount; ++nr) {
            if (isApplicable(nr, 52))
                expected.append(nr);
        }
        QCOMPARE(numbers, expected);
        QCOMPARE(icons, (QSet<int>{1, 2}));
        QVERIFY(numbers.contains(ChannelStopNr) && numbers.contains(43) && !numbers.contains(6)); // InclinometerLimit; not AutoPowerdown
        QVERIFY(!beforeLabelEdit(image, QStringLiteral("ShutdownDelay")));
        QVERIFY(beforeLabelEdit(image, QStringLiteral("ContraSignal")));
        QVERIFY(!beforeLabelEdit(image, QStringLiteral("AutoPowerdown"))); // not a 52 parameter
        QVERIFY(!beforeLabelEdit(image, QStringLiteral("5")));
        QVERIFY(makeImage(0, 60).overviewRows().isEmpty());
    }

    // TransmitPower "255" looks erased, OemCode "255" is never offered a default.
    void checkUninitialised_data()
    {
        QTest::addColumn<bool>("offered"); // the user may have the defaults set
        QTest::addColumn<bool>("powerErased");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QString>("message");
        const QString warning = QStringLiteral("ATTENTION! Some values may not be initialized correctly.");
        const QString named = QStringLiteral("\r\n\r\nTransmitPower=255"); // the values it is about
        QTest::newRow("warns") << false << true << true << warning + named;
        QTest::newRow("offered, yes") << true << true << true << warning + QStringLiteral(" Do you want to do this now?") + named;
        QTest::newRow("offered, no") << true << true << false << warning + QStringLiteral(" Do you want to do this now?") + named;
        QTest::newRow("only oem erased") << true << false << true << QString();
    }
    void checkUninitialised()
    {
        QFETCH(bool, offered);
        QFETCH(bool, powerErased);
        QFETCH(bool, answerYes);
        QFETCH(QString, message);
        DeviceImage image = makeImage(10, 60);
        image.value[3] = powerErased ? QStringLiteral("0") : QStringLiteral("255");
        image.value[7] = powerErased ? QStringLiteral("255") : QStringLiteral("27");
        ScriptedDialogs dialogs;
        dialogs.answers.enqueue(answerYes ? MsgAnswer::Yes : MsgAnswer::No);
        QCoro::waitFor(image.checkUninitialisedValues(offered, dialogs));
        const DialogMessage shown{message, offered ? MsgButtons::YesNo : MsgButtons::Ok, offered ? MsgIcon::Question : MsgIcon::None,
                                  "Tunekit"};
        QCOMPARE(dialogs.messages, message.isEmpty() ? Messages{} : Messages{shown});
        const bool replaced = powerErased && offered && answerYes;
        QCOMPARE(image.value[7], replaced || !powerErased ? QStringLiteral("27") : QStringLiteral("255"));
        QCOMPARE(image.changed[7], replaced);
        QCOMPARE(image.value[3], powerErased ? QStringLiteral("0") : QStringLiteral("255"));
    }

    void labelEdits_data()
    {
        QTest::addColumn<Edit>("e");
        const auto range = [](const char* name, const char* from, const char* to) {
            return QStringLiteral("The value of %1 must be a whole number from %2 to %3.")
                .arg(QLatin1StringView(name), QLatin1StringView(from), QLatin1StringView(to));
        };
        const QString badDate = QStringLiteral("The value of ProductionDate must be a date like 01.01.2001.");
        QTest::newRow("production above") << Edit{"ProductionNumber", "1", "4294967297", ""};
        QTest::newRow("oem 5 rejected") << Edit{"OemCode", "250", "5", "250", Oem,
            "Der eingegebene OEM-Code ist bei dieser Produktgruppe nicht zulässig.\r\n"
            "Bitte geben Sie zuerst die korrekte Produktgruppe ein."};
        QTest::newRow("oem 2") << Edit{"OemCode", "250", "2", "2"};
        QTest::newRow("oem 250") << Edit{"OemCode", "2", "250", "250"};
        QTest::newRow("oem 300") << Edit{"OemCode", "250", "300", "250", range("OemCode", "0", "255")};
        QTest::newRow("oem group 1") << Edit{"OemCode", "0", "100", "100", "", "", 1, "1"};
        QTest::newRow("oem config 2") << Edit{"OemCode", "0", "100", "100", "", "", 2};
        QTest::newRow("oem no family") << Edit{"OemCode", "0", "100", "100", "", "", 11};
        QTest::newRow("8 bit trimmed") << Edit{"TransmitPower", "27", " 007 ", "7"};
        // A refusal names the range the description states, where it states one.
        QTest::newRow("8 bit empty") << Edit{"TransmitPower", "27", "", "27", range("TransmitPower", "0", "27")};
        QTest::newRow("8 bit above") << Edit{"TransmitPower", "27", "256", "27", range("TransmitPower", "0", "27"),
                                             "Der Wert von TransmitPower muss eine ganze Zahl von 0 bis 27 sein."};
        // Beyond the stated range but within the cell: taken (the overview marks it, the write asks).
        QTest::newRow("8 bit beyond the stated range") << Edit{"TransmitPower", "27", "99", "99"};
        QTest::newRow("signed below") << Edit{"MinRSSI", "-95", "-129", "-95", range("MinRSSI", "-128", "127")};
        QTest::newRow("signed") << Edit{"MinRSSI", "-95", "-128", "-128"};
        QTest::newRow("16 bit text") << Edit{"ShutdownDelay", "500", "5OO", "500", range("ShutdownDelay", "0", "65535")};
        QTest::newRow("freq comp") << Edit{"FreqComp", "0", "11", "0", range("FreqComp", "-10", "10")};
        QTest::newRow("32 bit") << Edit{"BaseFreqval", "1", "2147483648", "1", range("BaseFreqval", "0", "2147483647")};
        QTest::newRow("date") << Edit{"ProductionDate", "", "29.02.2016", "29.02.2016"};
        QTest::newRow("date no day") << Edit{"ProductionDate", "", "29.02.2015", "", badDate};
        QTest::newRow("date year") << Edit{"ProductionDate", "", "01.01.2000", "", badDate};
        QTest::newRow("date short") << Edit{"ProductionDate", "", "1.1.2001", "", badDate};
        QTest::newRow("without level") << Edit{"TransmitPower", "27", "20", "", "", "", 1, "0", true}; // stored, then cleared
    }
    void labelEdits()
    {
        QFETCH(Edit, e);
        const int nr = findConfigDefine(e.name).nr;
        DeviceImage image = makeImage(10, 60);
        image.imageConfigId = static_cast<qint16>(e.imageConfigId);
        image.value[2] = QStringLiteral("5");
        image.value[4] = e.prodGrp;
        image.value[nr] = e.old;
        image.levelMark[nr] = !e.withoutLevel;
        ScriptedDialogs dialogs;
        const OverviewEditResult result = afterLabelEdit(image, e.name, e.typed, dialogs);
        QCOMPARE(result.rowText, e.shown);
        QCOMPARE(image.value[nr], e.shown);
        QCOMPARE(image.changed[nr], e.message.isEmpty());
        QCOMPARE(result.stored, e.message.isEmpty());
        QCOMPARE(result.clearedFileData, e.withoutLevel);
        QCOMPARE(image.value[2].isEmpty(), e.withoutLevel);
        const bool oem = e.message == Oem;
        const DialogMessage refusal{e.message, MsgButtons::Ok, oem ? MsgIcon::Information : MsgIcon::Exclamation,
                                    oem ? "Checksum Error" : "Tunekit"};
        QCOMPARE(dialogs.messages, e.message.isEmpty() ? Messages{} : Messages{refusal});
        if (!e.german.isEmpty()) {
            UiLanguage lang;
            QVERIFY(lang.set(Language::German));
            afterLabelEdit(image, e.name, e.typed, dialogs); // a refusal left the image as it was
            QCOMPARE(dialogs.messages.value(1).text, e.german);
            QCOMPARE(dialogs.messages[1].title, oem ? QStringLiteral("Prüfsummenfehler") : QStringLiteral("Tunekit"));
        }
    }

    // Any of the three values empty or unusable leaves the serial number empty. Filling the boxes
    // marks nothing, not even a rejected OEM code put back to 0.
    void shownValues_data()
    {
        QTest::addColumn<Tab>("t");
        QTest::newRow("oem rejected") << Tab{"5", "100", "0", "9820000005", "0"};
        QTest::newRow("group 48") << Tab{"5", "100", "48", "4810000005", "100", 3};
        QTest::newRow("oem empty") << Tab{"5", "", "0", "", ""};
        QTest::newRow("group empty") << Tab{"5", "0", "", "", "0"};
        QTest::newRow("not a number") << Tab{"5x", "0", "0", "", "0"};
        QTest::newRow("address too wide") << Tab{"65536", "0", "0", "", "0"};
    }
    void shownValues()
    {
        QFETCH(Tab, t);
        DeviceImage image = makeImage(10, 60);
        image.imageConfigId = static_cast<qint16>(t.imageConfigId);
        image.value[2] = t.address;
        image.value[3] = t.oem;
        image.value[4] = t.group;
        image.value[15] = QStringLiteral("4294967297"); // not what the box may take
        ScriptedDialogs dialogs;
        const ConfigTabView view = configTabOf(image, false, dialogs);
        QCOMPARE(view.serialNumberText, t.serial);
        QCOMPARE(view.productionNumberText, image.value[15]);
        QVERIFY(!view.productionEnabled);
        QCOMPARE(image.value[3], t.oemAfter);
        QCOMPARE(dialogs.messages.size(), t.oemAfter != t.oem ? 1 : 0);
        QVERIFY(configTabOf(image, true, dialogs).productionEnabled);
        QVERIFY(std::none_of(image.changed.begin(), image.changed.end(), [](bool changed) { return changed; }));
    }

    // The user's serial number and production number set the values and mark them changed. While
    // the window fills the boxes it holds the WindowFilling, and the same texts change nothing.
    void typedIdentityIsMarked()
    {
        DeviceImage image = makeImage(10, 60);
        image.value[15] = QStringLiteral("99");
        const ParamArray<QString> before = image.value;
        const auto type = [&image](bool filling) {
            productionNumberTyped(image, QStringLiteral("4294967297"), filling);
            return serialNumberTyped(image, QStringLiteral(" 9836207391 "), filling, true);
        };
        WindowFilling flag;
        {
            WindowFilling::Hold hold(flag);
            type(flag.isSet());
        }
        QVERIFY(!flag.isSet() && image.value == before);
        QVERIFY(std::none_of(image.changed.begin(), image.changed.end(), [](bool changed) { return changed; }));
        QCOMPARE(type(flag.isSet()).directAddress, QStringLiteral("SysAdr: 1"));
        QCOMPARE((QStringList{image.value[2], image.value[3], image.value[4], image.value[15]}),
                 (QStringList{"1", "254", "0", ""}));
        for (int nr : {2, 3, 4, 15})
            QVERIFY(image.changed[nr]);
    }

    // Bit n of the address is the switch in column n (bank two from column 10 on), dark on top
    // when set; the value labels show only with the internal values; an unusable value draws only
    // the grid.
    void dip_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("internalValues");
        QTest::addColumn<QStringList>("lowHigh");
        QTest::addColumn<int>("bits"); // -1: only the grid
        QTest::newRow("0") << "0" << true << QStringList{"00(h) = 0(d)", "00(h) = 0(d)"} << 0;
        QTest::newRow("65535") << "65535" << true << QStringList{"FF(h) = 255(d)", "FF(h) = 255(d)"} << 65535;
        QTest::newRow("32769") << "32769" << true << QStringList{"01(h) = 1(d)", "80(h) = 128(d)"} << 32769;
        QTest::newRow("internal values hidden") << "65535" << false << QStringList{"", ""} << 65535;
        QTest::newRow("empty") << "" << true << QStringList{"", ""} << -1;
        QTest::newRow("above 16 bits") << "65536" << true << QStringList{"", ""} << -1;
    }
    void dip()
    {
        QFETCH(QString, address);
        QFETCH(bool, internalValues);
        QFETCH(QStringList, lowHigh);
        QFETCH(int, bits);
        DeviceImage image = makeImage(10, 60);
        image.value[2] = address;
        const DipView view = dipSwitchesOf(image, internalValues);
        QCOMPARE((QStringList{view.valueLow, view.valueHigh}), lowHigh);
        QCOMPARE(view.showValues, !lowHigh[0].isEmpty());
        const DipGeometry g = drawDip(view, 190, 110); // W 180, H 100, c 10
        QCOMPARE((QList<int>{g.width, g.height, g.column}), (QList<int>{180, 100, 10}));
        QCOMPARE(g.gridX, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 100, 110, 120, 130, 140, 150, 160, 170}));
        QCOMPARE(g.boxes.size(), bits < 0 ? 0 : 32);
        for (const DipBox& box : g.boxes) {
            const int column = box.left / 10;
            QVERIFY(column < 8 || column >= 10);
            const bool set = (bits >> (column < 8 ? column : column - 2)) & 1;
            QCOMPARE(box.colour, (box.top == 0) == set ? DipDark : DipLight);
            QCOMPARE(box.bottom, box.top == 0 ? 50 : 100);
            QCOMPARE(box.right - box.left, 10);
        }
    }
};

QTEST_GUILESS_MAIN(TstDeviceImage)
#include "tst_device_image.moc"