#include "access/access_levels.h"
#include "base/language.h"
#include "files/config_file_reader.h"
#include "files/config_file_writer.h"
#include "support/scripted_dialogs.h"
#include "support/test_data.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QCoroTask>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace tunekit;
using namespace tunekit::testing;

namespace {

const QDate kToday(2024, 3, 9);

ReaderInputs inputs(int level = 60, ChecksumState crc = ChecksumState::ChecksumValid, int device = 2)
{
    return {AccessLevel::fromNumber(level).value(), crc, kToday, device, QStringLiteral("C:\\cfg\\unit.scd")};
}

ConfigFileContent read(const QByteArray& text, const ReaderInputs& inputs = inputs())
{
    return readConfigFile(text, inputs);
}

// The non-empty byte strings of the store in hex, then the three presence flags.
QString summaryOf(const ExtendedDataStore& store)
{
    const std::pair<char, const QByteArray*> parts[] = {
        {'I', &store.interpreterImage}, {'X', &store.textIndexesImage}, {'T', &store.textsImage},
        {'Q', &store.pictureIndexesImage}, {'P', &store.picturesImage}, {'D', &store.displayTableImage},
        {'E', &store.defaultsImage}};
    QString summary;
    for (const auto& [letter, bytes] : parts) {
        if (!bytes->isEmpty())
            summary += QString(QLatin1Char(letter)) + u':' + QString::fromLatin1(bytes->toHex()) + u' ';
    }
    return summary + (store.interpreterPresent ? u'I' : u'-') + (store.displayPresent ? u'D' : u'-')
           + (store.frequencyPresent ? u'F' : u'-');
}

struct Param {
    QByteArray text;
    int nr;
    QString value;
    bool changed;
    int fileConfigId = 0;
    QStringList ignored = {}; // the lines that set nothing
};

// A file opened through the open dialog: one of tests/data, or one made here from bytes with a
// modification time ("sealed/..." in a folder nobody may write to), or one of the bad cases
// "huge.scd", "folder.scd", "gone.scd".
struct Opening {
    QString file;
    QByteArray bytes;
    QDateTime modified;
    int level, device;
    OpenStatus status;
    QString power, crc, message; // message: the one shown, %1 the path
    QString description = {}, extended = QStringLiteral("---");
    int fileId = 0;
    bool german = false;
};

} // namespace

Q_DECLARE_METATYPE(Param)
Q_DECLARE_METATYPE(Opening)

class TstConfigFileReader : public QObject {
    Q_OBJECT

private slots:
    void description_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("description");
        QTest::newRow("parameters only") << QByteArray("TransmitPower=20\r\n") << QString();
        QTest::newRow("closed by [") << QByteArray("* first\r\n* second\r\n* [Parameters]\r\n* third\r\n")
                                     << QStringLiteral("first\r\nsecond\r\n");
        QTest::newRow("six of eight") << QByteArray("*1\r\n*2\r\n*3\r\n*4\r\n*5\r\n*6\r\n*7\r\n*8\r\n")
                                      << QStringLiteral("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
        const QString a = QStringLiteral("a\r\n");
        QTest::newRow("closed by ---") << QByteArray("*  a  \r\n* --- x\r\n* b\r\n") << a;
        QTest::newRow("closed by parameter line") << QByteArray("* a\r\nNoSuchName=1\r\n* b\r\n") << a;
        QTest::newRow("closed by INTERPRETER_START") << QByteArray("* a\r\n* INTERPRETER_START\r\n* INTERPRETER_STOP\r\n* b\r\n")
                                                     << a;
        QTest::newRow("FREQTAB_START keeps it open") << QByteArray("* a\r\n* FREQTAB_START\r\n* FREQTAB_STOP\r\n* b\r\n")
                                                     << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("markers are case-sensitive") << QByteArray("* texts_start\r\n") << QStringLiteral("texts_start\r\n");
    }
    void description()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, description);
        QCOMPARE(read(text).description, description);
    }

    void sections_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("summary");
        QTest::newRow("lines join") << QByteArray("* TEXTS_START\r\n 0a1 \r\nF\r\n") << "T:0a1f -D-";
        QTest::newRow("odd length stays empty") << QByteArray("* TEXTS_START\r\n0a1\r\n") << "-D-";
        QTest::newRow("non-hex pairs") << QByteArray("* DEFAULTS_START\r\nZ11Zff\r\n") << "E:0001ff -D-";
        QTest::newRow("NUL and high bytes") << QByteArray("* TEXTS_START\n\0" "1\xff" "2\n", 19) << "T:0000 -D-";
        QTest::newRow("--- with INTERPRETER_START starts it") << QByteArray("* ---INTERPRETER_START\r\n01\r\n") << "I:01 I--";
        QTest::newRow("--- with TEXTS_START starts nothing") << QByteArray("* --- TEXTS_START\r\n01\r\n") << "---";
        QTest::newRow("INTERPRETER wins over TEXTS") << QByteArray("* TEXTS_START INTERPRETER_START\r\n02\r\n") << "I:02 I--";
        QTest::newRow("a START switches") << QByteArray("* PICTURES_START\r\n01\r\n* PICTUREINDICES_START\r\n02\r\n")
                                          << "Q:02 P:01 -D-";
        QTest::newRow("a foreign STOP keeps it open") << QByteArray("* TEXTS_START\r\n01\r\n* PICTURES_STOP\r\n02\r\n")
                                                      << "T:0102 -D-";
        QTest::newRow("name=value is content") << QByteArray("* TEXTINDICES_START\r\nTransmitPower=20\r\n")
                                               << "X:000a000000000020 -D-";
        QTest::newRow("after STOP lines are parameters")
            << QByteArray("* DISPLAY_TABLE_START\r\n0102\r\n* DISPLAY_TABLE_STOP\r\n03\r\n") << "D:0102 -D-";
        QTest::newRow("a start marker only") << QByteArray("* FREQTAB_START\n") << "--F";
    }
    // Only a section's content line (bytes, or the I or D flag) makes the extended data new: its
    // used flag clears.
    void sections()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, summary);
        const ConfigFileContent content = read(text);
        QCOMPARE(summaryOf(content.extended), summary);
        QCOMPARE(content.fileValues[7], QString());
        DeviceImage image;
        image.extended.used = true;
        applyConfigFile(image, content);
        QCOMPARE(image.extended.used, summary.startsWith(u"--"));
    }

    void frequencyTable_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("last");
        QTest::addColumn<QList<int>>("probes"); // entry number, value, ...
        QTest::newRow("example") << QByteArray("b#434000000\nk#433100000\nk#433200000\nx#1\nk#433300000\n") << 2
                                 << QList<int>{0, 434000000, 2, 433200000, 3, 0, 4, 0};
        QTest::newRow("no base line") << QByteArray("f#434000000\nk#1\n") << -1 << QList<int>{0, 0};
        QTest::newRow("no lines") << QByteArray() << 0 << QList<int>{0, 0};
        QTest::newRow("upper-case markers") << QByteArray("B#5\nK#6\n") << 1 << QList<int>{0, 5, 1, 6};
        QTest::newRow("signs, decimals, exponents") << QByteArray("b#+7.5\nk# 8.5abc\nk#4.34e8\nk#-3\nk#9\n") << 2
                                                    << QList<int>{0, 8, 1, 8, 2, 4, 3, 0, 4, 0};
        QTest::newRow("limits") << QByteArray("b#999999999.4\nk#1000000000\n") << 0 << QList<int>{0, 999999999, 1, 0};
        QTest::newRow("rounds to nothing") << QByteArray("b#0.4\n") << -1 << QList<int>{0, 0};
        QTest::newRow("far too many digits") << QByteArray("b#1" + QByteArray(400, '0') + "\n") << -1 << QList<int>{0, 0};
        QByteArray many("b#400000000\n");
        for (int i = 1; i < 200; ++i)
            many += "k#" + QByteArray::number(400000000 + i) + "\n";
        QTest::newRow("200 lines") << many << 80 << QList<int>{0, 400000000, 80, 400000080, 81, 0};
    }
    void frequencyTable()
    {
        QFETCH(QByteArray, lines);
        QFETCH(int, last);
        QFETCH(QList<int>, probes);
        const ConfigFileContent content = read("* FREQTAB_START\n" + lines + "* FREQTAB_STOP\n");
        const ExtendedDataStore& store = content.extended;
        QCOMPARE(int(store.freqTableLast), last);
        QCOMPARE(content.fileValues[9], QString::number(last));
        QCOMPARE(content.fileValues[21], QStringLiteral("254"));
        QVERIFY(content.changedMarks[9] && content.changedMarks[21]);
        for (qsizetype i = 0; i + 1 < probes.size(); i += 2)
            QCOMPARE(store.freqTable[static_cast<std::size_t>(probes[i])], probes[i + 1]);
        const auto sent = std::count_if(store.freqTable.begin(), store.freqTable.end(), [](qint32 v) { return v != 0; });
        QCOMPARE(store.frequencyTable.size(), qsizetype(sent));
        QCOMPARE(store.frequencyTableText.count(QStringLiteral("\r\n")), lines.count('\n'));
    }

    void parameters_data()
    {
        QTest::addColumn<Param>("p");
        QTest::newRow("ComfigID") << Param{" ComfigID = 12 \n", 1, "12", false, 12};
        QTest::newRow("ConfigID rounded, last wins") << Param{"ConfigID=3\nConfigID=+12.7xyz\n", 1, "13", false, 13};
        QTest::newRow("ConfigID not a number") << Param{"ConfigID=abc\n", 1, "0", false};
        QTest::newRow("ConfigID out of range") << Param{"ConfigID=5\nConfigID=70000\n", 1, "5", false, 5};
        QTest::newRow("wrong case") << Param{"configid=5\ntransmitpower=3\n", 1, "", false, 0, {"line 1: configid=5", "line 2: transmitpower=3"}};
        QTest::newRow("misspelt name, named") << Param{"* x\nTransmitPowr=20\nTransmitPower=21\n\nno equals\n", 7, "21", true, 0,
                                                        {"line 2: TransmitPowr=20", "line 5: no equals"}};
        QTest::newRow("byte-order mark") << Param{"\xEF\xBB\xBFTransmitPower=20\r\n", 7, "20", true};
        QTest::newRow("a checksum no longer matching is no line") << Param{"TransmitPower=20\r\n\x01\x02\x03\x04", 7, "20", true};
        QTest::newRow("? then a value") << Param{"TransmitPower=?\nTransmitPower=10\n", 7, "10", true};
        QTest::newRow("value then ?") << Param{"TransmitPower=10\nTransmitPower=?\n", 7, "10", true};
        QTest::newRow("? gives an empty value") << Param{"BatteryType=?\n", 13, "", true};
        QTest::newRow("? gives today") << Param{"ProductionDate=?\n", 14, "09.03.2024", true};
        QTest::newRow("empty value ignored") << Param{"TransmitPower=\n", 7, "", false};
        QTest::newRow("= first ignored") << Param{"=TransmitPower=1\n", 7, "", false, 0, {"line 1: =TransmitPower=1"}};
        QTest::newRow("text kept as it is")
            << Param{QByteArray("TransmitPower=1e3 x=\0y\n", 23), 7, QStringLiteral("1e3 x=") + QChar(0) + u'y', true};
        QTest::newRow("product group default") << Param{"SystemAddress=1\nOemCode=2\n", 4, "0", false};
        QTest::newRow("no default without OemCode") << Param{"SystemAddress=1\n", 4, "", false};
    }
    void parameters()
    {
        QFETCH(Param, p);
        const ConfigFileContent content = read(p.text);
        QCOMPARE(content.fileValues[p.nr], p.value);
        QCOMPARE(content.changedMarks[p.nr], p.changed);
        QCOMPARE(int(content.readConfigId), p.fileConfigId);
        QCOMPARE(content.ignoredLines, p.ignored);
        QCOMPARE(content.ignoredLineCount, p.ignored.size());
    }

    void applicabilityAndCopy()
    {
        const QByteArray text = "ConfigID=52\nZeroPos=120\nAutoPowerdown=5\nTransmitPower=20\n";
        DeviceImage image;
        image.deviceConfigId = 52;
        image.value[6] = QStringLiteral("old");
        image.applyLevelMarks(levelMarks(AccessLevel::level3()));
        applyConfigFile(image, read(text, inputs(30, ChecksumState::ChecksumValid, 52)));
        // ZeroPos's value and AutoPowerdown's, which does not apply to 52, then AutoPowerdown's file value.
        QCOMPARE((QStringList{image.value[38], image.value[6], image.fileValue[6]}), (QStringList{"120", "", "5"}));
        QVERIFY(image.changed[6] && image.changed[38] && image.applicable[38] && !image.applicable[6]);
        QVERIFY(image.editMark[38] && !image.editMark[5]); // ShutdownDelay needs level 40
        QCOMPARE((QList<int>{image.fileConfigId, image.file.configIdShown}), (QList<int>{52, 52}));
        QVERIFY(image.valuesFromFile && image.file.shown);
        QCOMPARE(image.file.name, QStringLiteral("unit.scd"));

        // Without a device nothing applies, so the file's ConfigID does not count either.
        DeviceImage none;
        applyConfigFile(none, read(text, inputs(60, ChecksumState::ChecksumValid, 0)));
        QCOMPARE(none.value[38], QString());
        QCOMPARE((QList<int>{none.fileConfigId, none.file.configIdShown}), (QList<int>{0, 52}));
    }

    // A matching trailer, also one converted twice, reads as if it were not there, whatever its
    // bytes: CR, LF, "=" or a leading "*".
    void trailer_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("after CR LF") << QByteArray("TransmitPower=20\r\n");
        QTest::newRow("glued to the last line") << QByteArray("TransmitPower=20");
        QTest::newRow("description still open") << QByteArray("* a\r\n");
        QTest::newRow("section still open") << QByteArray("* TEXTS_START\r\n0102\r\n");
    }
    void trailer()
    {
        QFETCH(QByteArray, body);
        for (const char wanted : {'\r', '\n', '=', '*'}) { // '*' leading the trailer, the others anywhere in it
            QByteArray text;
            for (int i = 0; text.isEmpty(); ++i) {
                const QByteArray candidate = "*" + QByteArray::number(i) + "\n" + body;
                if (const QByteArray t = withChecksumTrailer(candidate).right(4); wanted == '*' ? t.startsWith('*') : t.contains(wanted))
                    text = candidate;
                QVERIFY(i < 100000);
            }
            const ConfigFileContent plain = read(text);
            for (const QByteArray& bytes : {withChecksumTrailer(text), withChecksumTrailer(withChecksumTrailer(text))}) {
                const ConfigFileContent content = read(bytes);
                QCOMPARE(content.fileValues, plain.fileValues);
                QCOMPARE(content.description, plain.description);
                QCOMPARE(summaryOf(content.extended), summaryOf(plain.extended));
            }
            QCOMPARE(plain.fileValues[7], body.startsWith("Transmit") ? QStringLiteral("20") : QString());
        }
    }

    void badInputs()
    {
        // Binary garbage, the same every run.
        QRandomGenerator random(4711);
        QByteArray garbage(1 << 20, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(garbage.data()), garbage.size() / 4);
        const ConfigFileContent content = read(garbage);
        QVERIFY(content.fileValuesRead);
        QVERIFY(content.description.count(QStringLiteral("\r\n")) <= 6);
        // A 10 MB value, hex section line, ConfigID and comment.
        const QByteArray big(10 * 1024 * 1024, '7');
        QCOMPARE(read("TransmitPower=" + big + "\n").fileValues[7].size(), big.size());
        QCOMPARE(read("* TEXTS_START\n" + big + "\n").extended.textsImage.size(), big.size() / 2);
        QCOMPARE(int(read("ConfigID=" + big + "\n").readConfigId), 0);
        QCOMPARE(read("*" + big).description.size(), big.size() + 2);
    }

    // Real files: a windows-1252 description, every kind of section, an old hand-made file with
    // LF line ends, ComfigID, a repeated value and no trailer (its red label in German); the
    // label's colours for each checksum state;
    // files made here: the date decides about a missing trailer, a folder nobody may write to is
    // still read, and a file too large, a folder or a file gone by the time it is read fail with
    // a message and leave no file loaded; below level 50 a wrong checksum loads nothing of the
    // file; a name without the lower-case ".scd" is not taken.
    void open_data()
    {
        QTest::addColumn<Opening>("o");
        const QString valid = QStringLiteral("Checksum valid 000000/-");
        QTest::newRow("windows-1252") << Opening{"described_cp1252.scd", {}, {}, 60, 5, OpenStatus::Loaded, "21", valid, "",
                                                 QStringLiteral("„Prüfung“ – Preis 5 €\r\nStraße • Škoda\r\n"), "---", 5};
        QTest::newRow("extended") << Opening{"extended_sections.scd", {}, {}, 60, 3, OpenStatus::Loaded, "10", valid, "",
                                             "Display and frequency data for bench tests\r\n",
                                             "I:0a1bff X:00010002 T:48616c6c6f D:0102030405 IDF", 3};
        QTest::newRow("hand-written, German") << Opening{"hand_lf_no_trailer.scd", {}, {}, 50, 52, OpenStatus::Loaded, "20",
                                                         "Checksumme ungültig ffff00/ff0000", "", "old bench file\r\n", "---", 52, true};
        const QByteArray edited = "* INTERPRETER_START\r\n00\r\n* INTERPRETER_STOP\r\nTransmitPower=21\r\n";
        const QDateTime afterCutOff(QDate(2020, 1, 1), QTime(12, 0));
        QTest::newRow("edited after the cut-off") << Opening{"unit.scd", edited, afterCutOff, 40, 2, OpenStatus::Refused, "", "",
                                                             "Config-File not valid!\r\nFile corrupt, please use a correct file!"};
        QTest::newRow("edited, German") << Opening{"unit.scd", edited, afterCutOff, 40, 2, OpenStatus::Refused, "", "",
            "Konfigurationsdatei ungültig!\r\nDie Datei wurde manipuliert, bitte korrekte Datei benutzen!", "", "---", 0, true};
        QTest::newRow("older than the trailer") << Opening{"unit.scd", "TransmitPower=22\r\n", QDateTime(QDate(2007, 6, 13), QTime(23, 0)),
                                                           40, 2, OpenStatus::Loaded, "22", "No checksum 000000/ffff80", ""};
        QTest::newRow("sealed folder") << Opening{"sealed/x.scd", withChecksumTrailer("TransmitPower=9\r\n"), {}, 10, 2,
                                                  OpenStatus::Loaded, "9", valid, ""};
        QTest::newRow("huge") << Opening{"huge.scd", {}, {}, 60, 2, OpenStatus::Failed, "", "",
                                         "The file %1 is too large for a configuration file (more than 16 MB)."};
        QTest::newRow("folder") << Opening{"folder.scd", {}, {}, 60, 2, OpenStatus::Failed, "", "", "%1 is not a file."};
        QTest::newRow("gone") << Opening{"gone.scd", {}, {}, 60, 2, OpenStatus::Failed, "", "", "The file %1 does not exist."};
        // Lines that set nothing are named; a file with nothing to write is no configuration file.
        QTest::newRow("misspelt name") << Opening{"unit.scd", withChecksumTrailer("TransmitPowr=20\r\nTransmitPower=21\r\n"), {}, 60, 2,
                                                  OpenStatus::Loaded, "21", valid, "These lines of unit.scd set nothing and were not taken:\r\nline 1: TransmitPowr=20"};
        const QString noConfiguration = QStringLiteral("%1 is not a configuration file: it holds no ConfigID, no parameter value and no extended data.");
        QTest::newRow("blank lines only") << Opening{"unit.scd", "\r\n\r\n", {}, 60, 2, OpenStatus::Failed, "", "", noConfiguration};
        QTest::newRow("a trailer only") << Opening{"unit.scd", withChecksumTrailer(""), {}, 60, 2, OpenStatus::Failed, "", "", noConfiguration};
        QTest::newRow("binary") << Opening{"unit.scd", QByteArray(8192, '\x9C'), {}, 60, 2, OpenStatus::Failed, "", "", noConfiguration};
        QTest::newRow("upper-case extension") << Opening{"unit.SCD", "TransmitPower=20\r\n", {}, 60, 2, OpenStatus::NothingChosen, "", "", ""};
    }
    void open()
    {
        QFETCH(Opening, o);
        const TempFile made(o.file);
        QString path = made.path;
        if (o.file == u"huge.scd") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(50 * 1024 * 1024));
        } else if (o.file == u"folder.scd" || o.file.startsWith(u"sealed/")) {
            QVERIFY(QDir(made.dir.path()).mkdir(o.file.section(u'/', 0, 0)));
        } else if (o.bytes.isEmpty() && o.file != u"gone.scd") {
            path = QFINDTESTDATA(QStringLiteral("../data/") + o.file);
            QVERIFY(!path.isEmpty());
        }
        if (!o.bytes.isEmpty())
            writeFile(path, o.bytes, o.modified);
        const QString sealed = made.dir.filePath(QStringLiteral("sealed"));
        if (o.file.startsWith(u"sealed/"))
            QVERIFY(QFile::setPermissions(sealed, QFile::ReadOwner | QFile::ExeOwner));

        UiLanguage lang;
        QVERIFY(lang.set(o.german ? Language::German : Language::English));
        ScriptedDialogs dialogs;
        DeviceImage image;
        image.deviceConfigId = static_cast<qint16>(o.device);
        image.fileValue[7] = QStringLiteral("from before");
        dialogs.openFileNames.enqueue(path);
        const AccessLevel level = AccessLevel::fromNumber(o.level).value();
        const OpenStatus status = openChosenFile({QCoro::waitFor(chooseConfigFile(dialogs))}, image, dialogs, level, kToday);
        if (o.file.startsWith(u"sealed/"))
            QVERIFY(QFile::setPermissions(sealed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(status, o.status);
        QCOMPARE(dialogs.filtersSeen, QStringList{QStringLiteral("TunekitData (*.scd)|*.scd")});
        QCOMPARE(image.value[7], o.power);
        const bool untouched = o.status == OpenStatus::NothingChosen;
        QCOMPARE(image.fileValue[7], untouched ? QStringLiteral("from before") : o.power);
        if (untouched) // nor is the name taken when dropped
            QCOMPARE(openChosenFile({path}, image, dialogs, level, kToday), OpenStatus::NothingChosen);
        // The label's text, then the foreground/background of a file shown ("-" for the button face).
        const auto hex = [](const Rgb& c) { return QString::asprintf("%02x%02x%02x", c.red, c.green, c.blue); };
        const CrcLabelLook look = crcLabelLookFor(ChecksumState(std::max(0, image.file.checksumState)));
        const QString colours = u' ' + hex(look.foreground) + u'/' + (look.background ? hex(*look.background) : u"-"_s);
        QCOMPARE(image.file.checksumState < 0 ? QString() : look.text + (image.file.shown ? colours : QString()), o.crc);
        QCOMPARE(image.file.shown, o.status == OpenStatus::Loaded);
        QCOMPARE(image.file.description, o.description);
        QCOMPARE(summaryOf(image.extended), o.extended);
        QCOMPARE(int(image.fileConfigId), o.fileId);
        const bool refused = o.status == OpenStatus::Refused;
        const QString title = refused                               ? (o.german ? u"Prüfsummenfehler"_s : u"Checksum Error"_s)
                              : o.status == OpenStatus::Loaded ? u"Warning"_s
                                                                : u"Error"_s; // German: refusals only
        const QString text = o.message.contains(u"%1") ? o.message.arg(QDir::toNativeSeparators(path)) : o.message;
        const DialogMessage shown{text, MsgButtons::Ok, refused ? MsgIcon::Critical : MsgIcon::Exclamation, title};
        QCOMPARE(dialogs.messages, o.message.isEmpty() ? Messages{} : Messages{shown});
    }
};

QTEST_GUILESS_MAIN(TstConfigFileReader)
#include "tst_config_file_reader.moc"
