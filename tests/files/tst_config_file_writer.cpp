#include "base/language.h"
#include "base/version_info.h"
#include "files/ansi_text.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "files/file_checksum.h"
#include "params/device_image.h"
#include "support/session_rig.h" // FixedHost: WORKSHOP-PC, technician, 06.12.2026 14:03:27
#include "support/test_data.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <unistd.h>

using namespace tunekit;
using namespace tunekit::testing;

namespace {

const QByteArray kHyphenLine = "* -------------------------------------------------------------";

QByteArray Lines(std::initializer_list<QByteArray> lines)
{
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

WriterInputs Inputs(bool backup, const QStringList& descriptions = {})
{
    return {backup ? ConfigFileKind::Backup : ConfigFileKind::Described, descriptions,
            {QStringLiteral("06.12.26 14:03:27"), QStringLiteral("WORKSHOP-PC"), QStringLiteral("technician"),
             QStringLiteral("Tunekit"), QStringLiteral("2.13")}};
}

// A ConfigID 2 device with an empty ShutdownDelay and values of parameters only other families have.
DeviceImage SmallImage()
{
    DeviceImage image;
    image.deviceConfigId = 2;
    image.UpdateApplicable();
    image.value[1] = QStringLiteral("2");
    image.value[2] = QStringLiteral("4660");
    image.value[7] = QStringLiteral("27");
    image.value[14] = QStringLiteral("01.01.2001");
    image.value[18] = QStringLiteral("30"); // Deviation: ConfigID 10 only
    image.value[62] = QStringLiteral("9");  // LCDContrast: ConfigID 5 only
    image.labels.lblInfo[3] = QStringLiteral("HW 1.2");
    image.labels.lblInfo[6] = QStringLiteral("Crane v3");
    return image;
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TstConfigFileWriter : public QObject {
    Q_OBJECT

    FixedHost host;
    VersionInfo version = MakeVersionInfo();

private slots:
    void layouts()
    {
        const QByteArray header = Lines({kHyphenLine, "* HVX Config-File ", "* generated on 06.12.26 14:03:27",
                                         "* on WORKSHOP-PC by technician", "* using Tunekit 2.13"});
        const QByteArray parameters = Lines({"", "", "ConfigID=2", "SystemAddress=4660", "TransmitPower=27"});
        const QByteArray end = Lines({"", "ConfigID=2", "", ""});
        QCOMPARE(ComposeConfigFile(SmallImage(), Inputs(true)),
                 header + Lines({"* ", "* Hardware: HW 1.2", "* Interpreter: Crane v3"}) + parameters
                     + Lines({"ProductionDate=?"}) + end);
        const QStringList descriptions{QStringLiteral("A"), QString(), QStringLiteral("C"), QString(), QString()};
        QCOMPARE(ComposeConfigFile(SmallImage(), Inputs(false, descriptions)),
                 Lines({"* A", "* C"}) + header + parameters + Lines({"ProductionDate=01.01.2001"}) + end);
    }

    // A described file without a date asks for one like a backup does (the dated cases are in the layouts).
    void undatedProductionDate_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("  ");
    }
    void undatedProductionDate()
    {
        QFETCH(QString, value);
        DeviceImage image = SmallImage();
        image.value[14] = value;
        const QByteArray text = ComposeConfigFile(image, Inputs(false));
        QVERIFY(text.contains("\r\nProductionDate=?\r\n"));
        QCOMPARE(text.count("ProductionDate="), 1);
    }

    void infoLabels_data()
    {
        QTest::addColumn<QString>("hardware");
        QTest::addColumn<QString>("interpreter");
        QTest::addColumn<bool>("hardwareLine");
        QTest::addColumn<bool>("interpreterLine");
        QTest::newRow("??? and -") << QStringLiteral("???") << QStringLiteral("-") << false << false;
        QTest::newRow("padded") << QStringLiteral(" - ") << QStringLiteral(" ??? ") << false << false;
        QTest::newRow("empty") << QString() << QStringLiteral("I") << false << true;
        QTest::newRow("hardware only") << QStringLiteral("H") << QStringLiteral("-") << true << false;
    }
    void infoLabels()
    {
        QFETCH(QString, hardware);
        QFETCH(QString, interpreter);
        QFETCH(bool, hardwareLine);
        QFETCH(bool, interpreterLine);
        DeviceImage image = SmallImage();
        image.labels.lblInfo[3] = hardware;
        image.labels.lblInfo[6] = interpreter;
        const QByteArray text = ComposeConfigFile(image, Inputs(true));
        QCOMPARE(text.contains("\r\n* \r\n* Hardware: H\r\n"), hardwareLine);
        QCOMPARE(text.contains("\r\n* Interpreter: I\r\n"), interpreterLine);
        QCOMPARE(text.count("\r\n* "), 4 + (hardwareLine ? 2 : 0) + (interpreterLine ? 1 : 0));
    }

    // Typed, host and device texts stay in their one line and read back as what they were.
    void textsStayInTheirLine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("umlauts") << QStringLiteral("Prüfung ÄÖÜß") << QByteArray("* Pr\xFC" "fung \xC4\xD6\xDC\xDF");
        QTest::newRow("combining") << QStringLiteral("a\u0308") << QByteArray("* \xE4");
        QTest::newRow("line break") << QStringLiteral("a\r\nTransmitPower=0") << QByteArray("* a  TransmitPower=0");
        QTest::newRow("marker") << QStringLiteral("x INTERPRETER_START") << QByteArray("* x INTERPRETER START");
        QTest::newRow("two-word marker") << QStringLiteral("DISPLAY_TABLE_STOP") << QByteArray("* DISPLAY_TABLE STOP");
        QTest::newRow("bracket") << QStringLiteral("[Kunde]") << QByteArray("* '[Kunde]");
        QTest::newRow("hyphens") << QStringLiteral("  --- Serie") << QByteArray("* '  --- Serie");
        QTest::newRow("accents") << QStringLiteral("Dvořák") << QByteArray("* Dvor\xE1k");
        QTest::newRow("ligature, windows-1252 dash and quotes")
            << QStringLiteral("ﬁx – „ok“ 5 €") << QByteArray("* fix \x96 \x84ok\x93 5 \x80");
        QTest::newRow("quote and dash outside windows-1252") << QStringLiteral("x‛a‟ ‐ b") << QByteArray("* x'a\" - b");
        QTest::newRow("C1 control") << QStringLiteral("a\u0081b") << QByteArray("* a b");
        QTest::newRow("no windows-1252 form") << QStringLiteral("東京 😀") << QByteArray("* ?? ?");
    }
    void textsStayInTheirLine()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, line);
        const QByteArray text = ComposeConfigFile(SmallImage(), Inputs(false, {typed}));
        QVERIFY2(text.startsWith(line + "\r\n" + kHyphenLine + "\r\n"), text.constData());

        // The "'" guards only the description against ending early.
        const QByteArray plain = line.startsWith("* '") ? line.sliced(3) : line.sliced(2);
        WriterInputs inputs = Inputs(true);
        inputs.origin.computerName = typed;
        DeviceImage image = SmallImage();
        image.value[7] = typed;
        const QByteArray backup = ComposeConfigFile(image, inputs);
        QVERIFY(backup.contains("\r\n* on " + plain + " by technician\r\n"));
        QCOMPARE(backup.count("\r\n"), ComposeConfigFile(SmallImage(), Inputs(true)).count("\r\n"));
        QCOMPARE(backup.count('\n'), backup.count("\r\n"));
        QCOMPARE(backup.count('\r'), backup.count("\r\n"));
    }

    void trailerAndWriteThenAppendGiveTheSameBytes()
    {
        const QByteArray text = ComposeConfigFile(SmallImage(), Inputs(false, {QStringLiteral("Ä")}));
        const QByteArray file = WithChecksumTrailer(text);
        QCOMPARE(file.first(text.size()), text);
        QCOMPARE(file.size(), text.size() + 4);
        QCOMPARE(qFromLittleEndian<quint32>(file.constData() + text.size()), Crc32Of(text));

        QTemporaryDir dir;
        const QString appended = dir.filePath(QStringLiteral("appended.scd"));
        WriteFile(appended, text);
        QVERIFY(FileChecksumV2(appended, false, true).Ok());
        const QString saved = dir.filePath(QStringLiteral("saved.scd"));
        QCOMPARE(SaveConfigFile(saved, file), QString());
        QCOMPARE(ReadFile(saved), ReadFile(appended));
        QVERIFY(FileChecksumV2(saved, true, false).matches);
    }

    void nowInShortDateAndLongTime()
    {
        const QDateTime now(QDate(2024, 4, 3), QTime(14, 5, 6), Qt::UTC);
        QVERIFY(FormatNow(now, QLocale(QLocale::German, QLocale::Germany)).startsWith(u"03.04.24 14:05:06"));
    }

    void backupCommand_data()
    {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("English") << false << QStringLiteral("Backup_0123456789");
        QTest::newRow("German") << true << QStringLiteral("Sicherung_0123456789");
    }
    void backupCommand()
    {
        QFETCH(bool, german);
        QFETCH(QString, proposed);
        UiLanguage lang;
        QVERIFY(lang.Set(german ? Language::German : Language::English));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("b.scd"));
        const DeviceImage image = SmallImage();
        ScriptedDialogs dialogs;
        const WriterContext context{image, host, version, dialogs, QLocale(QLocale::German, QLocale::Germany)};

        QCOMPARE(cmdSicherung_Click(context, QString()), WriteOutcome::NothingToDo);
        QCOMPARE(cmdSicherung_Click(context, QStringLiteral("  ")), WriteOutcome::NothingToDo);
        QVERIFY(dialogs.proposedNames.isEmpty());
        QCOMPARE(cmdSicherung_Click(context, QStringLiteral("0123456789")), WriteOutcome::Cancelled);
        QVERIFY(Entries(dir.path()).isEmpty());

        dialogs.saveFileNames << path;
        QCOMPARE(cmdSicherung_Click(context, QStringLiteral("0123456789")), WriteOutcome::Written);
        QCOMPARE(dialogs.proposedNames, QStringList(2, proposed));
        QCOMPARE(dialogs.filtersSeen.last(), QStringLiteral("TunekitDatei (*.scd)|*.scd"));
        QVERIFY(dialogs.messages.isEmpty());
        const QByteArray file = ReadFile(path);
        QVERIFY(file.contains("\r\n* generated on 06.12.26 14:03:27"));
        QVERIFY(file.contains("\r\n* on WORKSHOP-PC by technician\r\n* using Tunekit 2.13\r\n* \r\n"));
        QVERIFY(file.contains("\r\nProductionDate=?\r\n"));
        QVERIFY(FileChecksumV2(path, true, false).matches);
    }

    void describedCommandReplacesFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("d.scd"));
        WriteFile(path, "an older and longer file than nothing");
        const DeviceImage image = SmallImage();
        ScriptedDialogs dialogs;
        dialogs.saveFileNames << path;
        const QStringList texts{QStringLiteral("Kunde Müller"), QString(), QStringLiteral("Serie 3")};

        QCOMPARE(CmdCopyToConfig_Click({image, host, version, dialogs}, texts), WriteOutcome::Written);
        QCOMPARE(dialogs.proposedNames, QStringList{QString()});
        const QByteArray file = ReadFile(path);
        QVERIFY(file.startsWith("* Kunde M\xFCller\r\n* Serie 3\r\n" + kHyphenLine + "\r\n"));
        QVERIFY(file.contains("\r\nProductionDate=01.01.2001\r\n"));
        QVERIFY(FileChecksumV2(path, true, false).matches);
        QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("d.scd")});
    }

    void failureIsReported_data()
    {
        QTest::addColumn<bool>("german");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder, English") << false << false << QStringLiteral("The folder %1 does not exist.");
        QTest::newRow("missing folder, German") << true << false << QStringLiteral("Der Ordner %1 existiert nicht.");
        QTest::newRow("read-only folder, English") << false << true
            << QStringLiteral("You are not permitted to write there.\r\nThe file that was there before is unchanged.");
        QTest::newRow("read-only folder, German") << true << true
            << QStringLiteral("Sie haben keine Berechtigung, dort zu schreiben.\r\nDie bisherige Datei ist unverändert.");
    }
    void failureIsReported()
    {
        QFETCH(bool, german);
        QFETCH(bool, readOnly);
        QFETCH(QString, reason);
        if (readOnly && geteuid() == 0)
            QSKIP("root ignores file permissions");
        UiLanguage lang;
        QVERIFY(lang.Set(german ? Language::German : Language::English));
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("sub"));
        const QString path = folder + QStringLiteral("/x.scd");
        if (readOnly) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
            WriteFile(path, "old");
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const DeviceImage image = SmallImage();
        ScriptedDialogs dialogs;
        dialogs.saveFileNames << path;
        QCOMPARE(CmdCopyToConfig_Click({image, host, version, dialogs}, {}), WriteOutcome::Failed);

        QCOMPARE(dialogs.messages.size(), 1);
        const QString first = german ? QStringLiteral("Die Datei %1 konnte nicht geschrieben werden.\r\n")
                                     : QStringLiteral("The file %1 could not be written.\r\n");
        QCOMPARE(dialogs.messages[0].text, first.arg(QDir::toNativeSeparators(path))
                                               + (readOnly ? reason : reason.arg(QDir::toNativeSeparators(folder))));
        QCOMPARE(dialogs.messages[0].title, german ? QStringLiteral("Fehler") : QStringLiteral("Error"));
        QCOMPARE(dialogs.messages[0].icon, MsgIcon::Exclamation);
        if (readOnly) {
            QCOMPARE(ReadFile(path), QByteArray("old"));
            QCOMPARE(Entries(folder), QStringList{QStringLiteral("x.scd")});
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        }
    }

    // A name at the length limit leaves no room for the temporary name the atomic replace needs,
    // so the save fails after the new bytes were written, for any user.
    void failedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString name(250, QLatin1Char('a'));
        WriteFile(dir.filePath(name), "old");
        const QString failure = SaveConfigFile(dir.filePath(name), WithChecksumTrailer("ConfigID=2\r\n"));
        QVERIFY(failure.endsWith(u"\r\nThe file that was there before is unchanged."));
        QCOMPARE(ReadFile(dir.filePath(name)), QByteArray("old"));
        QCOMPARE(Entries(dir.path()), QStringList{name});
    }

    // Every byte reads back as itself, and as Qt's own windows-1252 converter reads it where Qt has one.
    void ansiCodePage()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        const QString text = FromAnsi(all);
        QCOMPARE(ToAnsi(text), all);
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QCOMPARE(text.at(0x84), QChar(0x201E));
        QCOMPARE(ToAnsi(u"東"), QByteArray("?"));
        QStringDecoder qt("windows-1252");
        if (!qt.isValid())
            QSKIP("this Qt has no windows-1252 converter");
        QCOMPARE(text, QString(qt.decode(all)));
    }

    void readBackUnchanged_data()
    {
        QTest::addColumn<bool>("backup");
        QTest::newRow("backup") << true;
        QTest::newRow("described") << false;
    }
    void readBackUnchanged()
    {
        QFETCH(bool, backup);
        DeviceImage image = SmallImage();
        image.labels.lblInfo[3] = QStringLiteral("TEXTS_START");
        const QStringList texts{QStringLiteral("A"), QStringLiteral("[B"), QStringLiteral("x TEXTS_START"),
                                QStringLiteral("„5 €“ – Š")};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.scd"));
        QCOMPARE(SaveConfigFile(path, WithChecksumTrailer(ComposeConfigFile(image, Inputs(backup, texts)))), QString());

        ReaderInputs reading;
        reading.crcFailure = FileCrcFailure(path).state;
        QCOMPARE(reading.crcFailure, CRC_Failure::ChecksumValid);
        reading.today = QDate(2030, 1, 2);
        reading.deviceConfigId = 2;
        const ConfigFileContent content = ReadConfigFile(ReadFile(path), reading);
        QVERIFY(!content.refused);
        QVERIFY(!content.extended.displayPresent);
        QCOMPARE(content.FileDescription, backup ? QString() : QStringLiteral("A\r\n'[B\r\nx TEXTS START\r\n„5 €“ – Š\r\n"));
        for (int k = 1; k <= ParamCount; ++k) {
            const QString expected = k == 14 && backup ? QStringLiteral("02.01.2030")
                                     : image.applicable[k] ? image.value[k]
                                                           : QString();
            QCOMPARE(content.imageValues[k], expected);
        }
    }
};

QTEST_GUILESS_MAIN(TstConfigFileWriter)
#include "tst_config_file_writer.moc"
