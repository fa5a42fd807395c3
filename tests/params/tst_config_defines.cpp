#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include "params/config_defines.h"

using namespace tunekit;

class TstConfigDefines : public QObject {
    Q_OBJECT

private slots:
    void lookupByNumber_data();
    void lookupByNumber();
    void lookupByName_data();
    void lookupByName();
    void tableShape();
    void applicableMarks_data();
    void applicableMarks();
    void unknownNumbersNeverApply();
};

namespace {
QVariant Short(int value) { return QVariant::fromValue(static_cast<qint16>(value)); }
QVariant Text(const char16_t* text) { return QString::fromUtf16(text); }
} // namespace

void TstConfigDefines::lookupByNumber_data()
{
    QTest::addColumn<int>("nr");
    QTest::addColumn<QString>("item");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QVariant>("expected");
    const Language en = Language::English;
    const Language de = Language::German;

    QTest::newRow("info german") << 17 << "Info" << de << Text(u"(-10 .. +10) Frequenzkompensation, 225Hz-Schritte");
    QTest::newRow("info english") << 17 << "Info" << en << Text(u"(-10 .. +10) Frequency compensation, 225Hz steps");
    QTest::newRow("umlaut german") << 28 << "Info" << de << Text(u"(0..65535)L\u00e4nge Sendeperiode");
    QTest::newRow("umlaut english") << 28 << "Info" << en << Text(u"(0..65535)");
    QTest::newRow("device german") << 1 << "Info" << de << Text(u"Config-ID des Ger\u00e4ts");
    QTest::newRow("apostrophe") << 1 << "Info" << en << Text(u"Devices' Config-ID");
    QTest::newRow("double blank") << 35 << "Info" << en << Text(u"(0=off  1.. =LbtMode) Listen before talk");
    QTest::newRow("default level") << 63 << "AvaiLevel" << en << Short(1000);
    QTest::newRow("default cfgid") << 63 << "CfgId" << en << Text(u"_0_");
    QTest::newRow("default dsize") << 0 << "DSize" << en << Short(8);
    QTest::newRow("production date") << 14 << "DSize" << en << Short(1);
    QTest::newRow("unknown item") << 5 << "Bogus" << en << QVariant();
    QTest::newRow("item is case-sensitive") << 5 << "nr" << en << QVariant();
    QTest::newRow("infoDe is no item") << 5 << "InfoDe" << de << QVariant();
    QTest::newRow("configid blank") << 1 << "NonInitVal" << en << Text(u" ");
    QTest::newRow("32-bit erased 15") << 15 << "NonInitVal" << en << Text(u"287571967");
    QTest::newRow("32-bit erased 22") << 22 << "NonInitVal" << en << Text(u"287571967");
    QTest::newRow("32-bit default") << 22 << "InitVal" << en << Text(u"3796992");
    QTest::newRow("no default") << 17 << "InitVal" << en << Text(u"");
    QTest::newRow("lna min signed") << 45 << "DType" << en << Text(u"signed char");
    QTest::newRow("lna min erased") << 45 << "NonInitVal" << en << Text(u"255");
    QTest::newRow("lna max erased") << 46 << "NonInitVal" << en << Text(u"255");
    QTest::newRow("address shared") << 2 << "MultiMess" << en << QVariant(true);
    QTest::newRow("address special") << 2 << "Special" << en << QVariant(true);
    QTest::newRow("freqcomp special only") << 17 << "MultiMess" << en << QVariant(false);
    QTest::newRow("prodgrp cell") << 4 << "HexAdd" << en << Short(0x2101);
    QTest::newRow("prodgrp byte") << 4 << "SByte" << en << Short(3);
    QTest::newRow("phase cell") << 20 << "HexAdd" << en << Short(0x2503);
    QTest::newRow("phase byte") << 20 << "SByte" << en << Short(1);
    QTest::newRow("channel step sub") << 12 << "SubAdd" << en << QVariant::fromValue(qint32{4});
    QTest::newRow("channel step cell") << 12 << "HexAdd" << en << Short(0x2204);
    QTest::newRow("contra level") << 42 << "AvaiLevel" << en << Short(10);
    QTest::newRow("highest index") << 61 << "HexAdd" << en << Short(0x2916);
    QTest::newRow("autopowerdown families") << 6 << "CfgId" << en << Text(u"_1_2_3_4_5_10_50_51_53_");
}

void TstConfigDefines::lookupByNumber()
{
    QFETCH(int, nr);
    QFETCH(QString, item);
    QFETCH(Language, language);
    QFETCH(QVariant, expected);
    const QVariant actual = GetConfigDefine(nr, item, language);
    QCOMPARE(actual.metaType(), expected.metaType());
    QCOMPARE(actual, expected);
}

void TstConfigDefines::lookupByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("alias") << "ComfigID" << "Nr" << Short(1);
    QTest::newRow("alias name") << "ComfigID" << "Name" << Text(u"ConfigID");
    QTest::newRow("proper") << "ConfigID" << "Nr" << Short(1);
    QTest::newRow("case differs") << "configid" << "Nr" << Short(0);
    QTest::newRow("trailing blank") << "OemCode " << "Nr" << Short(0);
    QTest::newRow("text of a number") << "5" << "Nr" << Short(0);
    QTest::newRow("empty") << "" << "AvaiLevel" << Short(1000);
    QTest::newRow("oem byte") << "OemCode" << "SByte" << Short(2);
    QTest::newRow("oem index") << "OemCode" << "HexAdd" << Short(8449);
    QTest::newRow("last") << "LCDContrast" << "Nr" << Short(62);
    QTest::newRow("not carried") << "OptMantisse" << "Nr" << Short(0);
}

void TstConfigDefines::lookupByName()
{
    QFETCH(QString, name);
    QFETCH(QString, item);
    QFETCH(QVariant, expected);
    const QVariant actual = GetConfigDefine(name, item, Language::English);
    QCOMPARE(actual.metaType(), expected.metaType());
    QCOMPARE(actual, expected);
}

// Invariants a mistyped row would break.
void TstConfigDefines::tableShape()
{
    static const QRegularExpression cfgIdPattern(QStringLiteral("^(_\\d+)+_$"));
    const QSet<int> families{1, 2, 3, 4, 5, 10, 50, 51, 52, 53};
    QHash<qint64, QList<int>> cells; // index << 32 | subindex -> parameters in that cell
    for (int nr = 1; nr <= ParamCount; ++nr) {
        const ConfigDefine& d = FindConfigDefine(nr);
        const QString where = QStringLiteral("Nr %1").arg(nr);
        QVERIFY2(d.Nr == nr, qPrintable(where));
        QVERIFY2(FindConfigDefine(d.Name).Nr == nr, qPrintable(where)); // names unique
        QVERIFY2(d.HexAdd >= 0x2000 && d.HexAdd <= 0x2916, qPrintable(where));
        QVERIFY2(d.SubAdd >= 0 && d.SubAdd <= 4, qPrintable(where));
        QVERIFY2(d.SByte >= 0 && d.SByte <= 3, qPrintable(where));
        QVERIFY2(QList<int>({1, 8, 16, 32}).contains(d.DSize), qPrintable(where));
        QVERIFY2(d.DType == u"x" || (d.DType == u"signed char" && d.DSize == 8), qPrintable(where));
        QVERIFY2(d.AvaiLevel >= 0 && d.AvaiLevel <= 60 && d.AvaiLevel % 10 == 0, qPrintable(where));
        QVERIFY2(cfgIdPattern.match(d.CfgId).hasMatch(), qPrintable(where));
        for (const QStringView id : d.CfgId.split(u'_', Qt::SkipEmptyParts))
            QVERIFY2(families.contains(id.toInt()), qPrintable(where));
        QVERIFY2(!d.Name.isEmpty() && !d.InfoDe.isEmpty() && !d.InfoEn.isEmpty(), qPrintable(where));
        QVERIFY2(d.SByte * 8 + qMax<int>(d.DSize, 8) <= 32, qPrintable(where));
        cells[(qint64{d.HexAdd} << 32) | d.SubAdd].append(nr);
    }
    // Exactly the parameters that share a cell are marked MultiMess, and they do not overlap.
    for (const QList<int>& members : std::as_const(cells)) {
        quint32 usedBits = 0;
        for (const int nr : members) {
            const ConfigDefine& d = FindConfigDefine(nr);
            QCOMPARE(d.MultiMess, members.size() > 1);
            const quint32 bits = (d.DSize >= 32 ? ~0u : (1u << d.DSize) - 1u) << (d.SByte * 8);
            QVERIFY2((usedBits & bits) == 0, qPrintable(QStringLiteral("Nr %1 overlaps").arg(nr)));
            usedBits |= bits;
        }
    }
    QCOMPARE(cells.value((qint64{0x2101} << 32) | 0), QList<int>({2, 3, 4}));
    QCOMPARE(cells.value((qint64{0x2503} << 32) | 0), QList<int>({19, 20}));
}

void TstConfigDefines::applicableMarks_data()
{
    QTest::addColumn<int>("configId");
    QTest::addColumn<QList<int>>("applicable");
    QTest::newRow("52") << 52 << QList<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 19, 20, 21, 30,
                                          38, 39, 40, 41, 42, 43};
    QTest::newRow("5") << 5 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20,
                                        21, 26, 30, 33, 35, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 62};
    QTest::newRow("50") << 50 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20,
                                          21, 23, 24, 25, 30};
    QTest::newRow("none") << 0 << QList<int>{};
    QTest::newRow("unknown family") << 7 << QList<int>{};
}

void TstConfigDefines::applicableMarks()
{
    QFETCH(int, configId);
    QFETCH(QList<int>, applicable);
    const std::array<bool, ParamCount + 1> marks = ApplicableMarks(configId);
    QList<int> marked;
    for (int nr = 0; nr <= ParamCount; ++nr) {
        if (marks[nr])
            marked.append(nr);
        QCOMPARE(IsApplicable(nr, configId), marks[nr]);
    }
    QCOMPARE(marked, applicable);
}

// The default record carries "_0_", yet a number without an entry belongs to no device.
void TstConfigDefines::unknownNumbersNeverApply()
{
    QVERIFY(!IsApplicable(0, 0));
    QVERIFY(!IsApplicable(63, 0));
    QVERIFY(!IsApplicable(-1, 0));
}

QTEST_GUILESS_MAIN(TstConfigDefines)
#include "tst_config_defines.moc"
