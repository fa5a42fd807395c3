#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include "params/config_defines.h"

using namespace tunekit;

namespace {
QVariant Short(int value) { return QVariant::fromValue(static_cast<qint16>(value)); }
QVariant Text(const char16_t* text) { return QString::fromUtf16(text); }
} // namespace

class TstConfigDefines : public QObject {
    Q_OBJECT

private slots:
    // An int key looks up by number, a text key by name.
    void lookup_data()
    {
        QTest::addColumn<QVariant>("key");
        QTest::addColumn<QString>("item");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QVariant>("expected");
        const Language en = Language::English;
        const Language de = Language::German;
        QTest::newRow("info german") << QVariant(17) << "Info" << de << Text(u"(-10 .. +10) Frequenzkompensation, 225Hz-Schritte");
        QTest::newRow("info english") << QVariant(17) << "Info" << en << Text(u"(-10 .. +10) Frequency compensation, 225Hz steps");
        QTest::newRow("umlaut german") << QVariant(28) << "Info" << de << Text(u"(0..65535)L\u00e4nge Sendeperiode");
        QTest::newRow("umlaut english") << QVariant(28) << "Info" << en << Text(u"(0..65535)");
        QTest::newRow("device german") << QVariant(1) << "Info" << de << Text(u"Config-ID des Ger\u00e4ts");
        QTest::newRow("apostrophe") << QVariant(1) << "Info" << en << Text(u"Devices' Config-ID");
        QTest::newRow("double blank") << QVariant(35) << "Info" << en << Text(u"(0=off  1.. =LbtMode) Listen before talk");
        QTest::newRow("default level") << QVariant(63) << "AvaiLevel" << en << Short(1000);
        QTest::newRow("default cfgid") << QVariant(63) << "CfgId" << en << Text(u"_0_");
        QTest::newRow("default dsize") << QVariant(0) << "DSize" << en << Short(8);
        QTest::newRow("production date") << QVariant(14) << "DSize" << en << Short(1);
        QTest::newRow("unknown item") << QVariant(5) << "Bogus" << en << QVariant();
        QTest::newRow("item is case-sensitive") << QVariant(5) << "nr" << en << QVariant();
        QTest::newRow("infoDe is no item") << QVariant(5) << "InfoDe" << de << QVariant();
        QTest::newRow("configid blank") << QVariant(1) << "NonInitVal" << en << Text(u" ");
        QTest::newRow("32-bit erased") << QVariant(15) << "NonInitVal" << en << Text(u"287571967");
        QTest::newRow("32-bit default") << QVariant(22) << "InitVal" << en << Text(u"3796992");
        QTest::newRow("no default") << QVariant(17) << "InitVal" << en << Text(u"");
        QTest::newRow("lna min signed") << QVariant(45) << "DType" << en << Text(u"signed char");
        QTest::newRow("lna min erased") << QVariant(45) << "NonInitVal" << en << Text(u"255");
        QTest::newRow("address special") << QVariant(2) << "Special" << en << QVariant(true);
        QTest::newRow("prodgrp byte") << QVariant(4) << "SByte" << en << Short(3);
        QTest::newRow("phase byte") << QVariant(20) << "SByte" << en << Short(1);
        QTest::newRow("subindex is 32-bit") << QVariant(12) << "SubAdd" << en << QVariant::fromValue(qint32{4});
        QTest::newRow("alias") << QVariant("ComfigID") << "Nr" << en << Short(1);
        QTest::newRow("alias name") << QVariant("ComfigID") << "Name" << en << Text(u"ConfigID");
        QTest::newRow("proper") << QVariant("ConfigID") << "Nr" << en << Short(1);
        QTest::newRow("case differs") << QVariant("configid") << "Nr" << en << Short(0);
        QTest::newRow("trailing blank") << QVariant("OemCode ") << "Nr" << en << Short(0);
        QTest::newRow("text of a number") << QVariant("5") << "Nr" << en << Short(0);
        QTest::newRow("empty name") << QVariant("") << "AvaiLevel" << en << Short(1000);
        QTest::newRow("not carried") << QVariant("OptMantisse") << "Nr" << en << Short(0);
    }
    void lookup()
    {
        QFETCH(QVariant, key);
        QFETCH(QString, item);
        QFETCH(Language, language);
        QFETCH(QVariant, expected);
        const QVariant actual = key.typeId() == QMetaType::Int ? GetConfigDefine(key.toInt(), item, language)
                                                               : GetConfigDefine(key.toString(), item, language);
        QCOMPARE(actual.metaType(), expected.metaType());
        QCOMPARE(actual, expected);
    }

    // Invariants a mistyped row would break.
    void tableShape()
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

    void applicableMarks_data()
    {
        QTest::addColumn<int>("configId");
        QTest::addColumn<QList<int>>("applicable");
        QTest::newRow("52") << 52 << QList<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 19, 20, 21, 30,
                                              38, 39, 40, 41, 42, 43};
        QTest::newRow("5") << 5 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20,
                                            21, 26, 30, 33, 35, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 62};
        QTest::newRow("none") << 0 << QList<int>{};
        QTest::newRow("unknown family") << 7 << QList<int>{};
    }
    void applicableMarks()
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
        // The default record carries "_0_", yet a number without an entry belongs to no device.
        QVERIFY(!IsApplicable(-1, configId) && !IsApplicable(63, configId));
    }
};

QTEST_GUILESS_MAIN(TstConfigDefines)
#include "tst_config_defines.moc"
