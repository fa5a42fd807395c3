#include <algorithm>
#include <QRegularExpression>
#include <QtTest>

#include "params/config_defines.h"

using namespace tunekit;

class TstConfigDefines : public QObject {
    Q_OBJECT

private slots:
    // A name finds its parameter only as spelt, and "ComfigID" the ConfigID; any other key finds
    // the default record, which is on no family and above every level.
    void lookupByName()
    {
        QCOMPARE(int(findConfigDefine(u"ComfigID").nr), 1);
        for (const QStringView other : {u"configid", u"OemCode ", u"5", u""})
            QCOMPARE(int(findConfigDefine(other).nr), 0);
        const ConfigDefine& none = findConfigDefine(63);
        QVERIFY(none.families.isEmpty() && none.lowestLevel == 1000);
        QVERIFY(!isApplicable(63, 53) && !isApplicable(-1, 53));
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

    // The range column says what each description states, in both languages: "(1-67)",
    // "(0..10)", "(-10 .. +10)", "(0, 1)", "0-27 (...)"; a "(0=...)" beside a range lets 0 in too.
    // A description that states none ("(0..4M+)", "2..255=Image" among choices) has none.
    void statedRangesMatchTheDescriptions()
    {
        static const QRegularExpression span(QStringLiteral("(?:^|\\()\\s*(-?\\d+)\\s*(?:-|\\.\\.)\\s*\\+?(-?\\d+)\\s*(?:\\)|;|\\s\\()"));
        static const QRegularExpression pair(QStringLiteral("\\((\\d+),\\s*(\\d+)\\)"));
        int stated = 0;
        for (int nr = 1; nr <= ParamCount; ++nr) {
            const ConfigDefine& d = findConfigDefine(nr);
            for (const QStringView description : {d.descriptionDe, d.descriptionEn}) {
                const QString text = description.toString();
                QRegularExpressionMatch found = span.match(text);
                if (!found.hasMatch())
                    found = pair.match(text);
                StatedRange expected;
                if (found.hasMatch()) {
                    expected = {found.captured(1).toInt(), found.captured(2).toInt()};
                    if (text.contains(u"(0="))
                        expected.low = 0;
                }
                QVERIFY2(d.range.low == expected.low && d.range.high == expected.high,
                         qPrintable(QStringLiteral("Nr %1: %2").arg(nr).arg(text)));
            }
            stated += d.range.stated() ? 1 : 0;
        }
        QCOMPARE(stated, 22);
        QVERIFY(findConfigDefine(26).range.contains(10) && !findConfigDefine(26).range.contains(11)); // LedBrightness
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