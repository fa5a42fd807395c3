#include "base/language.h"
#include "base/version_info.h"
#include "files/ansi_text.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "files/file_checksum.h"
#include "params/device_image.h"
#include "support/rig.h" // FixedHost: WORKSHOP-PC, technician, 06.12.2026 14:03:27
#include "support/test_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QCoroTask>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tunekit;
using namespace tunekit::testing;

namespace {

const QByteArray kHyphenLine = "* -------------------------------------------------------------";

QByteArray lines(std::initializer_list<QByteArray> lines)
{
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

WriterInputs inputs(ConfigFileKind kind, const QStringList& descriptions = {})
{
    return {kind, descriptions, {u"06.12.26 14:03:27"_s, u"WORKSHOP-PC"_s, u"technician"_s, u"Tunekit"_s, u"2.13"_s}};
}

// A ConfigID 2 device with an empty ShutdownDelay and values of parameters only other families have.
DeviceImage smallImage()
{
    DeviceImage image;
    image.deviceConfigId = 2;
    image.updateApplicable();
    // Deviation (18) is a ConfigID 10 parameter only, LCDContrast (62) a ConfigID 5 one.
    for (const auto& [nr, value] : {std::pair{1, "2"}, {2, "4660"}, {7, "27"}, {14, "01.01.2001"}, {18, "30"}, {62, "9"}})
        image.value[nr] = QString::fromLatin1(value);
    image.info.texts[3] = QStringLiteral("HW 1.2");
    image.info.texts[6] = QStringLiteral("Crane v3");
    return image;
}

// What the image holds, and the description lines, info lines and ProductionDate value the file has.
struct Layout {
    ConfigFileKind kind;
    QStringList descriptions;
    QString date, hardware, interpreter;
    QByteArray descriptionLines, infoLines, dateValue;
};

} // namespace

Q_DECLARE_METATYPE(Layout)

class TstConfigFileWriter : public QObject {
    Q_OBJECT

    FixedHost host;
    VersionInfo version = makeVersionInfo();

private slots:
    // A backup asks for the date again and names hardware and interpreter where they are known;
    // a described file starts with its non-empty description lines.
    void layouts_data()
    {
        QTest::addColumn<Layout>("l");
        const QString date = QStringLiteral("01.01.2001");
        const QByteArray both = lines({"* ", "* Hardware: HW 1.2", "* Interpreter: Crane v3"});
        QTest::newRow("backup") << Layout{ConfigFileKind::Backup, {}, date, "HW 1.2", "Crane v3", "", both, "?"};
        QTest::newRow("described") << Layout{ConfigFileKind::Described, {"A", "", "C", "", ""}, date, "HW 1.2", "Crane v3", lines({"* A", "* C"}), "", date.toLatin1()};
        QTest::newRow("described, blank date") << Layout{ConfigFileKind::Described, {}, "  ", "HW 1.2", "Crane v3", "", "", "?"};
        QTest::newRow("padded") << Layout{ConfigFileKind::Backup, {}, date, " - ", " ??? ", "", "", "?"};
        QTest::newRow("no hardware") << Layout{ConfigFileKind::Backup, {}, date, "", "I", "", lines({"* Interpreter: I"}), "?"};
        // The backup before a write restores the unit exactly, its production date included.
        QTest::newRow("restorable backup") << Layout{ConfigFileKind::Restorable, {}, date, "HW 1.2", "Crane v3", "", both, date.toLatin1()};
        QTest::newRow("restorable backup of a fresh unit") << Layout{ConfigFileKind::Restorable, {}, "00.00.0000", "H", "-", "", lines({"* ", "* Hardware: H"}), "00.00.0000"};
    }
    void layouts()
    {
        QFETCH(Layout, l);
        DeviceImage image = smallImage();
        image.value[14] = l.date;
        image.info.texts[3] = l.hardware;
        image.info.texts[6] = l.interpreter;
        const QByteArray header = lines({kHyphenLine, "* HVX Config-File ", "* generated on 06.12.26 14:03:27",
                                         "* on WORKSHOP-PC by technician", "* using Tunekit 2.13"});
        QCOMPARE(composeConfigFile(image, inputs(l.kind, l.descriptions)),
                 l.descriptionLines + header + l.infoLines
                     + lines({"", "", "ConfigID=2", "SystemAddress=4660", "TransmitPower=27",
                              "ProductionDate=" + l.dateValue, "", "ConfigID=2", "", ""}));
    }

    // Typed, host and device texts stay in their one line and read back as what they were.
    void textsStayInTheirLine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("combining") << QStringLiteral("a\u0308") << QByteArray("* \xE4");
        QTest::newRow("line break") << QStringLiteral("a\r\nTransmitPower=0") << QByteArray("* a  TransmitPower=0");
        QTest::newRow("two-word marker") << QStringLiteral("DISPLAY_TABLE_STOP") << QByteArray("* DISPLAY_TABLE STOP");
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
        const QByteArray text = composeConfigFile(smallImage(), inputs(ConfigFileKind::Described, {typed}));
        QVERIFY2(text.startsWith(line + "\r\n" + kHyphenLine + "\r\n"), text.constData());

        // The "'" guards only the description against ending early.
        const QByteArray plain = line.startsWith("* '") ? line.sliced(3) : line.sliced(2);
        WriterInputs backupInputs = inputs(ConfigFileKind::Backup);
        backupInputs.origin.computerName = typed;
        DeviceImage image = smallImage();
        image.value[7] = typed;
        const QByteArray backup = composeConfigFile(image, backupInputs);
        QVERIFY(backup.contains("\r\n* on " + plain + " by technician\r\n"));
        const qsizetype lineCount = composeConfigFile(smallImage(), inputs(ConfigFileKind::Backup)).count("\r\n");
        QCOMPARE((QList{backup.count("\r\n"), backup.count('\n'), backup.count('\r')}), QList<qsizetype>(3, lineCount));
    }

    // Both commands write the whole file with a valid trailer in one replace; the backup needs a
    // serial number, which names the proposed file in the interface language. Each file reads back
    // with its description (windows-1252 included) and every value; a backup's "?" date reads as
    // the day it is opened.
    void commandsWriteWhatReadsBack()
    {
        const TempFile f(QStringLiteral("b.scd"));
        const QString described = f.dir.filePath(QStringLiteral("d.scd"));
        writeFile(described, "an older and longer file than nothing");
        DeviceImage image = smallImage();
        image.info.texts[3] = QStringLiteral("TEXTS_START");
        ScriptedDialogs dialogs;
        const WriterContext context{image, host, version, dialogs, QLocale(QLocale::German, QLocale::Germany)};

        QCOMPARE(QCoro::waitFor(generateBackup(context, QString())), WriteOutcome::NothingToDo);
        QCOMPARE(QCoro::waitFor(generateBackup(context, QStringLiteral("  "))), WriteOutcome::NothingToDo);
        QCOMPARE(QCoro::waitFor(generateBackup(context, QStringLiteral("0123456789"))), WriteOutcome::Cancelled);
        dialogs.saveFileNames << f.path << described;
        QCOMPARE(QCoro::waitFor(generateBackup(context, QStringLiteral("0123456789"))), WriteOutcome::Written);
        const QStringList texts{u"A"_s, QString(), u"[B"_s, u"x TEXTS_START"_s, u"„5 €“ – Š"_s};
        QCOMPARE(QCoro::waitFor(generateConfigFile(context, texts)), WriteOutcome::Written);
        QCOMPARE(dialogs.proposedNames, (QStringList{"Backup_0123456789", "Backup_0123456789", QString()}));
        QCOMPARE(dialogs.filtersSeen.last(), QStringLiteral("TunekitDatei (*.scd)|*.scd"));
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(entries(f.dir.path()), (QStringList{"b.scd", "d.scd"}));
        // Two backups of one unit in the same second are two files; a missing folder takes none.
        QCOMPARE(reserveNewFile(f.dir.path(), QStringLiteral("unit")), f.dir.filePath(QStringLiteral("unit.scd")));
        const QString restorable = reserveNewFile(f.dir.path(), QStringLiteral("unit"));
        QCOMPARE(restorable, f.dir.filePath(QStringLiteral("unit-2.scd")));
        QCOMPARE(reserveNewFile(f.dir.filePath(QStringLiteral("none")), QStringLiteral("unit")), QString());
        QCOMPARE(writeRestorableBackup(context, restorable), WriteOutcome::Written);

        const QByteArray backup = readFile(f.path);
        QVERIFY(backup.contains("\r\n* generated on 06.12.26 14:03:27")); // the long time may add a zone
        QVERIFY(backup.contains("\r\n* on WORKSHOP-PC by technician\r\n* using Tunekit 2.13\r\n* \r\n"));
        for (const QString& path : {f.path, described, restorable}) {
            const ReaderInputs reading{.checksumState = fileChecksumState(path).state, .today = {2030, 1, 2}, .deviceConfigId = 2, .path = path};
            QCOMPARE(reading.checksumState, ChecksumState::ChecksumValid);
            const ConfigFileContent content = readConfigFile(readFile(path), reading);
            QVERIFY(!content.refused && !content.extended.displayPresent);
            QCOMPARE(content.description, path != described ? QString() : u"A\r\n'[B\r\nx TEXTS START\r\n„5 €“ – Š\r\n"_s);
            for (int k = 1; k <= ParamCount; ++k) {
                const QString expected = image.applicable[k] ? image.value[k] : QString();
                QCOMPARE(content.imageValues[k], k == 14 && path == f.path ? u"02.01.2030"_s : expected);
            }
        }

        UiLanguage lang;
        QVERIFY(lang.set(Language::German));
        QCOMPARE(proposedBackupName(QStringLiteral("0123456789")), QStringLiteral("Sicherung_0123456789"));
    }

    // A failed write is told, and a file that was there keeps its bytes with nothing left beside
    // it. A name at the length limit leaves no room for the temporary name the atomic replace
    // needs, so that save fails after the new bytes were written, for any user.
    void failureIsReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("message"); // %1 the file, %2 its folder
        const QString failed = QStringLiteral("The file %1 could not be written.\r\n");
        const QString unchanged = QStringLiteral("\r\nThe file that was there before is unchanged.");
        QTest::newRow("missing folder, German") << "sub/x.scd" << false << true
                                                << "Die Datei %1 konnte nicht geschrieben werden.\r\nDer Ordner %2 existiert nicht.";
        QTest::newRow("read-only folder") << "sub/x.scd" << true << false << failed + "You are not permitted to write there." + unchanged;
        QTest::newRow("name at the length limit") << QString(250, u'a') << false << false
                                                  << failed + "The data could not be stored completely; the disk may be full." + unchanged;
    }
    void failureIsReported()
    {
        QFETCH(QString, name);
        QFETCH(bool, readOnly);
        QFETCH(bool, german);
        QFETCH(QString, message);
        if (readOnly && geteuid() == 0)
            QSKIP("root ignores file permissions");
        UiLanguage lang;
        QVERIFY(lang.set(german ? Language::German : Language::English));
        const TempFile f(name);
        const QString folder = QFileInfo(f.path).absolutePath();
        const bool existing = readOnly || folder == f.dir.path();
        if (readOnly)
            QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("sub")));
        if (existing)
            writeFile(f.path, "old");
        if (readOnly)
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        ScriptedDialogs dialogs;
        dialogs.saveFileNames << f.path;
        QCOMPARE(QCoro::waitFor(generateConfigFile({smallImage(), host, version, dialogs}, {})), WriteOutcome::Failed);

        message.replace(QStringLiteral("%1"), QDir::toNativeSeparators(f.path))
            .replace(QStringLiteral("%2"), QDir::toNativeSeparators(folder));
        QCOMPARE(dialogs.messages, (Messages{{message, MsgButtons::Ok, MsgIcon::Exclamation, german ? "Fehler" : "Error"}}));
        if (existing) {
            QCOMPARE(readFile(f.path), QByteArray("old"));
            QCOMPARE(entries(folder), QStringList{QFileInfo(f.path).fileName()});
        }
        if (readOnly)
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    // Every byte reads back as itself, and as Qt's own windows-1252 converter reads it where Qt has one.
    void ansiCodePage()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        const QString text = fromAnsi(all);
        QCOMPARE(toAnsi(text), all);
        QStringDecoder qt("windows-1252");
        if (!qt.isValid())
            QSKIP("this Qt has no windows-1252 converter");
        QCOMPARE(text, QString(qt.decode(all)));
    }
};

QTEST_GUILESS_MAIN(TstConfigFileWriter)
#include "tst_config_file_writer.moc"