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
        const ConfigDefine& none = findConfigDefine(ParamCount + 1);
        QVERIFY(none.nr == 0 && none.families.isEmpty() && none.lowestLevel == 1000);
        QVERIFY(!isApplicable(ParamCount + 1, 53) && !isApplicable(0, 53) && !isApplicable(-1, 53));
        QCOMPARE(int(findConfigDefine(ParamCount).nr), ParamCount); // the last number has its entry
    }

    // Invariants a mistyped row would break: unique names, at least one family, and exactly the
    // parameters that share a cell are sharedCell and do not overlap in it. (Numbers out of order,
    // a value past its cell's end and a family without a row, or set aside, do not compile.)
    void tableShape()
    {
        QHash<qint64, QList<int>> cells; // index << 32 | subindex -> parameters in that cell
        for (int nr = 1; nr <= ParamCount; ++nr) {
            const ConfigDefine& d = findConfigDefine(nr);
            const QByteArray where = "Nr " + QByteArray::number(nr);
            QVERIFY2(d.nr == nr && findConfigDefine(d.name).nr == nr, where.constData());
            QVERIFY2(!d.families.isEmpty(), where.constData());
            cells[(qint64{d.index} << 32) | d.subindex].append(nr);
        }
        for (const QList<int>& members : std::as_const(cells)) {
            quint32 usedBits = 0;
            for (const int nr : members) {
                const ConfigDefine& d = findConfigDefine(nr);
                QCOMPARE(d.sharedCell, members.size() > 1);
                const int bytes = cellBytes(d.encoding);
                const quint32 bits = (bytes >= 4 ? ~0u : (1u << (8 * bytes)) - 1u) << (d.firstByte * 8);
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
        }
        QVERIFY(findConfigDefine(26).range.contains(10) && !findConfigDefine(26).range.contains(11)); // LedBrightness
    }

    // Every row of the family table, and ConfigIDs that have no row. A family a transmitter
    // reports has the ConfigID and more; ConfigIDs 6..9 have a row (a report column) but no
    // transmitter reports them, so no parameter applies, as on a ConfigID without a row.
    void familyParameters_data()
    {
        QTest::addColumn<int>("configId");
        QTest::addColumn<bool>("family");
        QTest::addColumn<bool>("reported");
        for (const TransmitterFamily& row : TransmitterFamilies) {
            const bool setAside = row.configId >= 6 && row.configId <= 9;
            QTest::addRow("%d", int(row.configId)) << int(row.configId) << true << !setAside;
        }
        QTest::newRow("no device") << 0 << false << false;
        QTest::newRow("11 unknown") << 11 << false << false;
        QTest::newRow("negative") << -1 << false << false;
    }
    void familyParameters()
    {
        QFETCH(int, configId);
        QFETCH(bool, family);
        QFETCH(bool, reported);
        QCOMPARE(findFamily(configId) != nullptr, family);
        if (family)
            QCOMPARE(findFamily(configId)->configId, configId);
        QCOMPARE(isTransmitterFamily(configId), reported);
        QCOMPARE(EveryFamily.contains(configId), reported);
        const std::array<bool, ParamCount + 1> marks = applicableMarks(configId);
        QVERIFY(!marks[0]);
        QCOMPARE(marks[ConfigIdNr], reported);
        QCOMPARE(std::count(marks.begin(), marks.end(), true) > 1, reported);
    }
};

QTEST_GUILESS_MAIN(TstConfigDefines)
#include "tst_config_defines.moc"