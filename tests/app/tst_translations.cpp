// Every text the user can see exists in German: lupdate collects the sources' texts into
// a copy of the translation file, and no message may be left unfinished.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    void everySourceTextHasFinishedGerman()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString ts = dir.filePath(QStringLiteral("tunekit_de.ts"));
        QVERIFY(QFile::copy(QStringLiteral(TUNEKIT_TS_FILE), ts));
        QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);

        QProcess lupdate;
        lupdate.start(QStringLiteral(TUNEKIT_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                       QStringLiteral("none"), QStringLiteral(TUNEKIT_SOURCE_DIR), QStringLiteral("-ts"), ts});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);

        QFile file(ts);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString context;
        QString source;
        QStringList unfinished;
        int messages = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1StringView("name")) {
                context = xml.readElementText();
            } else if (xml.name() == QLatin1StringView("source")) {
                source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (xml.name() == QLatin1StringView("translation")) {
                ++messages;
                const bool open = xml.attributes().value(QLatin1StringView("type")) == QLatin1StringView("unfinished");
                if (open || xml.readElementText(QXmlStreamReader::IncludeChildElements).isEmpty())
                    unfinished.append(context + QStringLiteral(": ") + source);
            }
        }
        QVERIFY(!xml.hasError());
        QVERIFY(messages > 0);
        QVERIFY2(unfinished.isEmpty(), qPrintable(QStringLiteral("Unfinished German texts:\n") + unfinished.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
