#include "params/config_defines.h"
#include "report/parameter_report.h"
#include "support/scripted_dialogs.h"
#include "support/test_data.h"

#include <QDir>
#include <QTemporaryDir>
#include <QCoroTask>
#include <QTest>

using namespace tunekit;
using namespace tunekit::testing;

class TestParameterReport : public QObject {
    Q_OBJECT
private slots:
    // Fields of one line from field `from` (1-based) on; parameter 1 stands for the header line.
    void lines_data()
    {
        QTest::addColumn<int>("nr");
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("fields");
        const QString x = QStringLiteral("x");
        const QString e;
        QTest::newRow("header") << 1 << Language::German << 1
                                << QStringLiteral("Nr,Index,Subindex,Name,,Desc,,Data1,Data2,Data3,Data4,,ID 1,ID 2,ID 3,"
                                                  "ID 4,ID 5,ID 6,ID 7,ID 8,ID 9,ID 10,ID 50,ID 51,ID 52,,Level 1,"
                                                  "Level 2,Level 3,Service,Produktion,Entwicklung")
                                       .split(u',');
        QTest::newRow("OemCode") << 3 << Language::English << 1
                                 << QStringList{"3", "2101", "0", "OemCode", e, "OEM Code in HVX format", e,
                                                e, e, x, e, e,
                                                x, x, x, x, x, e, e, e, e, x, x, x, x, e,
                                                x, x, x, x, x, x};
        QTest::newRow("PhaseComp data") << 20 << Language::English << 8 << QStringList{e, x, e, e};
        QTest::newRow("ProductionDate") << 14 << Language::English << 8 << QStringList{x, x, x, x};
        QTest::newRow("ProductionNumber") << 15 << Language::English << 8 << QStringList{x, x, x, x};
        QTest::newRow("16 bits at byte 0") << 2 << Language::English << 8 << QStringList{x, x, e, e};
        QTest::newRow("BatteryType") << 13 << Language::English << 6 << QStringList{"1=2xAA; 2=3xAAA; 3=HVX 7.2V"};
        QTest::newRow("ZeroPos1 has no ID column") << 55 << Language::English << 13 << QStringList(13, e);
        QTest::newRow("Deviation level 60") << 18 << Language::English << 27 << QStringList{e, e, e, e, e, x};
        QTest::newRow("ZeroPos level 30") << 38 << Language::English << 27 << QStringList{e, e, x, x, x, x};
        QTest::newRow("subindex") << 12 << Language::English << 1 << QStringList{"12", "2204", "4", "ChannelStep"};
    }
    void lines()
    {
        QFETCH(int, nr);
        QFETCH(Language, language);
        QFETCH(int, from);
        QFETCH(QStringList, fields);
        const QStringList lines = reportLines(language);
        QCOMPARE(lines.size(), ParamCount); // the header, then parameters 2..ParamCount
        const QStringList line = lines.at(nr - 1).split(u'\t');
        QCOMPARE(line.size(), 32);
        QCOMPARE(line.mid(from - 1, fields.size()), fields);
    }

    // Cancel writes nothing; a file that cannot be written is reported; a written one holds the
    // lines in windows-1252 with CR LF.
    void command()
    {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        QCOMPARE(QCoro::waitFor(generateReport(dialogs, Language::German)), ReportOutcome::Cancelled);
        QCOMPARE(dialogs.filtersSeen, QStringList{"ExcelDatei (*.xls)|*.xls"});
        QVERIFY(QDir(dir.path()).isEmpty());

        const QString path = dir.filePath(QStringLiteral("report.xls"));
        dialogs.saveFileNames << path;
        QCOMPARE(QCoro::waitFor(generateReport(dialogs, Language::German)), ReportOutcome::Written);
        const QByteArray bytes = readFile(path);
        QCOMPARE(bytes, composeReport(Language::German));
        QCOMPARE(bytes.count("\r\n"), ParamCount);
        QCOMPARE(bytes.count('\n'), ParamCount);
        QVERIFY(bytes.contains("\t(-128..127) Verst\xE4rkungskompensation\t"));
        QVERIFY(dialogs.messages.isEmpty());

        dialogs.saveFileNames << dir.filePath(QStringLiteral("missing/report.xls"));
        QCOMPARE(QCoro::waitFor(generateReport(dialogs, Language::English)), ReportOutcome::Failed);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.first().text.contains(QStringLiteral("could not be written")));
        QCOMPARE(dialogs.messages.first().title, QStringLiteral("Error"));
    }
};

QTEST_GUILESS_MAIN(TestParameterReport)
#include "tst_parameter_report.moc"
