#include <algorithm>
#include <QtTest>

#include "params/config_defines.h"

using namespace tunekit;

namespace {
QVariant Short(int value) { return QVariant::fromValue(static_cast<qint16>(value)); }
} // namespace

class TstConfigDefines : public QObject {
    Q_OBJECT

private slots:
    // An int key looks up by number, a text key by name; the result keeps its type.
    void lookup_data()
    {
        QTest::addColumn<QVariant>("key");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("german");
        QTest::addColumn<QVariant>("expected");
        const auto text = [](const char16_t* t) { return QVariant(QString::fromUtf16(t)); };
        QTest::newRow("info english") << QVariant(17) << "Info" << false << text(u"(-10 .. +10) Frequency compensation, 225Hz steps");
        QTest::newRow("umlaut") << QVariant(1) << "Info" << true << text(u"Config-ID des Ger\u00e4ts");
        QTest::newRow("default level") << QVariant(63) << "AvaiLevel" << false << Short(1000);
        QTest::newRow("production date") << QVariant(14) << "DSize" << false << Short(1);
        QTest::newRow("unknown item") << QVariant(5) << "Bogus" << false << QVariant();
        QTest::newRow("item is case-sensitive") << QVariant(5) << "nr" << false << QVariant();
        QTest::newRow("subindex is 32-bit") << QVariant(12) << "SubAdd" << false << QVariant::fromValue(qint32{4});
        QTest::newRow("alias") << QVariant("ComfigID") << "Nr" << false << Short(1);
        QTest::newRow("case differs") << QVariant("configid") << "Nr" << false << Short(0);
        QTest::newRow("trailing blank") << QVariant("OemCode ") << "Nr" << false << Short(0);
        QTest::newRow("text of a number") << QVariant("5") << "Nr" << false << Short(0);
        QTest::newRow("families as text") << QVariant(21) << "CfgId" << false << text(u"_2_3_5_10_50_51_52_53_");
        QTest::newRow("default has no family") << QVariant(63) << "CfgId" << false << text(u"_0_");
    }
    void lookup()
    {
        QFETCH(QVariant, key);
        QFETCH(QString, item);
        QFETCH(bool, german);
        QFETCH(QVariant, expected);
        const Language language = german ? Language::German : Language::English;
        const QVariant actual = key.typeId() == QMetaType::Int ? getConfigDefine(key.toInt(), item, language)
                                                               : getConfigDefine(key.toString(), item, language);
        QCOMPARE(actual.metaType(), expected.metaType());
        QCOMPARE(actual, expected);
    }

    // Invariants a mistyped row would break: unique numbers and names, at least one family, and
    // exactly the parameters that share a cell are sharedCell and do not overlap in it. (A family
    // without a row in the family table does not compile; familyParameters counts the marks.)
    void tableShape()
    {
        QHash<qint64, QList<int>> cells; // index << 32 | subindex -> parameters in that cell
        for (int nr = 1; nr <= ParamCount; ++nr) {
            const ConfigDefine& d = findConfigDefine(nr);
            const QByteArray where = "Nr " + QByteArray::number(nr);
            QVERIFY2(d.nr == nr && findConfigDefine(d.name).nr == nr, where.constData());
            QVERIFY2(!d.families.isEmpty(), where.constData());
            QVERIFY2(d.dataType == u"x" || (d.dataType == u"signed char" && d.bits == 8), where.constData());
            QVERIFY2(d.firstByte * 8 + qMax<int>(d.bits, 8) <= 32, where.constData());
            cells[(qint64{d.index} << 32) | d.subindex].append(nr);
        }
        for (const QList<int>& members : std::as_const(cells)) {
            quint32 usedBits = 0;
            for (const int nr : members) {
                const ConfigDefine& d = findConfigDefine(nr);
                QCOMPARE(d.sharedCell, members.size() > 1);
                const quint32 bits = (d.bits >= 32 ? ~0u : (1u << d.bits) - 1u) << (d.firstByte * 8);
                QVERIFY2((usedBits & bits) == 0, qPrintable(QStringLiteral("Nr %1 overlaps").arg(nr)));
                usedBits |= bits;
            }
        }
        QCOMPARE(cells.value((qint64{0x2101} << 32) | 0), QList<int>({2, 3, 4}));
    }

    // The marks agree with isApplicable; "_5" must not match "_50_", and numbers without an
    // entry (the default record carries "_0_") belong to no device: that ConfigID 0 marks nothing
    // at all is counted in familyParameters.
    void applicable_data()
    {
        QTest::addColumn<int>("configId");
        QTest::addColumn<QList<int>>("yes");
        QTest::addColumn<QList<int>>("no");
        QTest::newRow("52") << 52 << QList<int>{38, 39, 40, 41, 42, 43} << QList<int>{6, 55, 56, 57, 58, 59, 60, 61};
        QTest::newRow("5") << 5 << QList<int>{1, 6, 62} << QList<int>{38};
        QTest::newRow("50") << 50 << QList<int>{1, 6} << QList<int>{62};
        QTest::newRow("none") << 0 << QList<int>{} << QList<int>{1, 2};
    }
    void applicable()
    {
        QFETCH(int, configId);
        QFETCH(QList<int>, yes);
        QFETCH(QList<int>, no);
        const std::array<bool, ParamCount + 1> marks = applicableMarks(configId);
        QVERIFY(!marks[0] && !isApplicable(-1, configId) && !isApplicable(63, configId));
        for (int nr = 1; nr <= ParamCount; ++nr) {
            QCOMPARE(isApplicable(nr, configId), marks[nr]);
            QVERIFY(!yes.contains(nr) || marks[nr]);
            QVERIFY(!no.contains(nr) || !marks[nr]);
        }
    }

    // Every row of the family table, with the number of parameters its transmitters have, and
    // ConfigIDs that have no row. ConfigIDs 6..9 have a row (a report column) but no parameter.
    void familyParameters_data()
    {
        QTest::addColumn<int>("configId");
        QTest::addColumn<bool>("family");
        QTest::addColumn<int>("parameters");
        const QList<std::pair<int, int>> counts{{1, 17}, {2, 24}, {3, 35}, {4, 20}, {5, 36}, {6, 0}, {7, 0},
                                                {8, 0},  {9, 0},  {10, 32}, {50, 24}, {51, 26}, {52, 25}, {53, 29}};
        for (const auto& [configId, parameters] : counts)
            QTest::addRow("%d", configId) << configId << true << parameters;
        QTest::newRow("no device") << 0 << false << 0;
        QTest::newRow("11 unknown") << 11 << false << 0;
        QTest::newRow("negative") << -1 << false << 0;
    }
    void familyParameters()
    {
        QFETCH(int, configId);
        QFETCH(bool, family);
        QFETCH(int, parameters);
        QCOMPARE(findFamily(configId) != nullptr, family);
        const std::array<bool, ParamCount + 1> marks = applicableMarks(configId);
        QCOMPARE(std::count(marks.begin(), marks.end(), true), parameters);
        if (family)
            QCOMPARE(findFamily(configId)->configId, configId);
    }
};

QTEST_GUILESS_MAIN(TstConfigDefines)
#include "tst_config_defines.moc"