#include "app/language.h"
#include "consoles/packet_dump.h"
#include "consoles/terminal_buffer.h"
#include "link/packet_codec.h"

#include <QTest>

using namespace tunekit;

namespace {
QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += static_cast<char>(v);
    return b;
}

const QByteArray ClearSequence("\x1b" "c\x1b[37m\x1b[40m\x1b[2J\x1b[f");
} // namespace

class TestConsoles : public QObject {
    Q_OBJECT
private slots:
    void terminalFilters_data();
    void terminalFilters();
    void terminalKeepsLast4096();
    void terminalRefreshAndClear();
    void terminalKeys_data();
    void terminalKeys();
    void dumpEntryLines();
    void dumpDataCharacters_data();
    void dumpDataCharacters();
    void dumpLogNewestFirst();
    void parseFields_data();
    void parseFields();
    void parseRejects_data();
    void parseRejects();
    void parseErrorInGerman();
};

void TestConsoles::terminalFilters_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("coloured words") << QList<QByteArray>{"\x1b[31mred\x1b[37m and \x1b[4mline\x1b[24m"}
                                    << QByteArray("red and line");
    QTest::newRow("other ESC sequences keep their text") << QList<QByteArray>{"\x1b[32mgo"} << QByteArray("[32mgo");
    QTest::newRow("ESC and NUL") << QList<QByteArray>{QByteArray("a\x1b\0b", 4)} << QByteArray("ab");
    QTest::newRow("backspace echo") << QList<QByteArray>{"AB", "\b \b"} << QByteArray("A");
    QTest::newRow("echo split after backspace") << QList<QByteArray>{"AB\b", " \bC"} << QByteArray("AC");
    QTest::newRow("echo split after blank") << QList<QByteArray>{"AB\b ", "\b"} << QByteArray("A");
    QTest::newRow("echo byte by byte") << QList<QByteArray>{"A", "B", "\b", " ", "\b", "C"} << QByteArray("AC");
    QTest::newRow("backspace first in buffer") << QList<QByteArray>{"\b \bX"} << QByteArray("X");
    QTest::newRow("one backspace per call") << QList<QByteArray>{"ABC\b \b\b \b"} << QByteArray("AB\b \b");
    QTest::newRow("next backspace on next call") << QList<QByteArray>{"ABC\b \b\b \b", ""} << QByteArray("A");
    QTest::newRow("clear screen") << QList<QByteArray>{"old", "junk" + ClearSequence + "new"} << QByteArray("new");
    QTest::newRow("clear split across chunks")
        << QList<QByteArray>{"old\x1b" "c\x1b", "[37m\x1b[40m\x1b[2J\x1b[fnew"} << QByteArray("new");
    // Each call clears once: a second sequence in the same chunk is handled by the next call.
    QTest::newRow("two clears in one chunk") << QList<QByteArray>{"a" + ClearSequence + "b" + ClearSequence + "c"}
                                             << QByteArray("bc[40m[2J[fc");
    QTest::newRow("second clear on the next call")
        << QList<QByteArray>{"a" + ClearSequence + "b" + ClearSequence + "c", "d"} << QByteArray("cd");
}

void TestConsoles::terminalFilters()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, shown);
    TerminalBuffer terminal;
    for (const QByteArray& chunk : chunks)
        terminal.AddToTerminal(chunk);
    QCOMPARE(terminal.Bytes(), shown);
}

void TestConsoles::terminalKeepsLast4096()
{
    QByteArray text;
    for (int i = 0; i < 5000; ++i)
        text += static_cast<char>('0' + i % 10);
    TerminalBuffer terminal;
    terminal.AddToTerminal(text);
    QCOMPARE(terminal.Bytes(), text.right(4096));
    terminal.AddToTerminal("\xE4nd");
    QCOMPARE(terminal.Bytes().size(), 4096);
    QVERIFY(terminal.Text().endsWith(QStringLiteral("\u00E4nd")));
}

void TestConsoles::terminalRefreshAndClear()
{
    TerminalBuffer terminal;
    QVERIFY(!terminal.TakeRefresh());
    terminal.AddToTerminal("a");
    terminal.AddToTerminal("b");
    QCOMPARE(terminal.Generation(), quint64(2));
    QVERIFY(terminal.TakeRefresh()); // two appends, one redraw
    QVERIFY(!terminal.TakeRefresh());
    terminal.Clear();
    QVERIFY(terminal.Text().isEmpty());
    QVERIFY(terminal.RefreshPending());
}

void TestConsoles::terminalKeys_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("closed port") << false << int('a') << QByteArray();
    QTest::newRow("letter") << true << int('a') << QByteArray("a");
    QTest::newRow("carriage return") << true << 13 << QByteArray("\r");
    QTest::newRow("backspace") << true << 8 << QByteArray("\b");
    QTest::newRow("Latin-1") << true << 0xFC << QByteArray("\xFC");
    QTest::newRow("not one byte") << true << 0x20AC << QByteArray();
}

void TestConsoles::terminalKeys()
{
    QFETCH(bool, portOpen);
    QFETCH(int, key);
    QFETCH(QByteArray, written);
    QCOMPARE(TerminalKeyBytes(portOpen, key), written);
}

void TestConsoles::dumpEntryLines()
{
    const QString entry = ContactDumpEntry(Bytes({0x11, 0x00, 0x20, 0x00, 0x34, 0x12, 0x00, 0x00}), DumpReceive, QTime(14, 3, 27));
    QCOMPARE(entry, QStringLiteral("[14:03:27]...................Receive\r\n"
                                   "   Packet:   1100200034120000\r\n"
                                   "   Type:     11 (DownloadResponse)\r\n"
                                   "   Index:    2000\r\n"
                                   "   Subindex: 00\r\n"
                                   "   Data:     34 12 00 00 [4...]\r\n"));
    const QString unknown = ContactDumpEntry(Bytes({0x05, 0xCD, 0xAB, 0x7E, 0, 0, 0, 0}), DumpTransmit, QTime(0, 0, 0));
    QVERIFY(unknown.startsWith(QStringLiteral("[00:00:00]...................Transmit\r\n")));
    QVERIFY(unknown.contains(QStringLiteral("\r\n   Type:     05 (unknown)\r\n   Index:    ABCD\r\n   Subindex: 7E\r\n")));
    QVERIFY(ContactDumpEntry(QByteArray(7, 'A'), DumpTransmit, QTime(1, 2, 3)).isEmpty());
}

void TestConsoles::dumpDataCharacters_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("line");
    QTest::newRow("control codes become dots")
        << Bytes({0x41, 0x42, 0x0A, 0x7F}) << QStringLiteral("   Data:     41 42 0A 7F [AB.\u007F]");
    QTest::newRow("31 and 32") << Bytes({0x1F, 0x20, 0x00, 0x39}) << QStringLiteral("   Data:     1F 20 00 39 [. .9]");
    QTest::newRow("above 127 as Latin-1")
        << Bytes({0xE9, 0x80, 0xFF, 0xA0}) << QStringLiteral("   Data:     E9 80 FF A0 [\u00E9\u0080\u00FF\u00A0]");
}

void TestConsoles::dumpDataCharacters()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, line);
    const QStringList lines = ContactDumpEntry(MakePacket(Upload, 0x2101, 1, data), DumpTransmit, QTime(9, 8, 7))
                                  .split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(5), line);
    QVERIFY(lines.at(6).isEmpty());
}

void TestConsoles::dumpLogNewestFirst()
{
    PacketDump dump;
    const QByteArray first = MakePacket(DownloadRequest, 0x2000, 0);
    const QByteArray second = MakePacket(DownloadResponse, 0x2000, 0, Bytes({1}));
    dump.AddContactDump(first, DumpTransmit, QTime(10, 0, 0));
    const PacketDump::Mark mark = dump.CurrentMark();
    dump.AddContactDump(QByteArray(7, '\0'), DumpReceive, QTime(10, 0, 1)); // too short: not logged
    QCOMPARE(dump.EntryCount(), 1);
    dump.AddContactDump(second, DumpReceive, QTime(10, 0, 1));

    const QString newest = ContactDumpEntry(second, DumpReceive, QTime(10, 0, 1));
    QCOMPARE(dump.Text(), newest + ContactDumpEntry(first, DumpTransmit, QTime(10, 0, 0)));
    QVERIFY(dump.TextSince(mark).has_value());
    QCOMPARE(dump.TextSince(mark).value_or(QString()), newest);

    const quint64 before = dump.Generation();
    dump.Clear();
    QVERIFY(dump.Text().isEmpty());
    QVERIFY(dump.Generation() != before);
    dump.AddContactDump(first, DumpTransmit, QTime(10, 0, 2));
    QVERIFY(!dump.TextSince(mark).has_value()); // cleared in between: the view rebuilds
    QCOMPARE(dump.EntryCount(), 1);
}

void TestConsoles::parseFields_data()
{
    QTest::addColumn<QStringList>("fields"); // type, index, subindex, data 0..3
    QTest::addColumn<QByteArray>("packet");
    QTest::newRow("all empty") << QStringList(7, QString()) << QByteArray(8, '\0');
    QTest::newRow("index FFFF") << QStringList{"10", "FFFF", "0", "", "", "", ""} << Bytes({0x10, 0xFF, 0xFF, 0, 0, 0, 0, 0});
    QTest::newRow("index 8000") << QStringList{"10", "8000", "", "", "", "", ""} << Bytes({0x10, 0x00, 0x80, 0, 0, 0, 0, 0});
    QTest::newRow("every field") << QStringList{"12", "2101", "3", "a", "Bc", "0", "ff"}
                                 << Bytes({0x12, 0x01, 0x21, 0x03, 0x0A, 0xBC, 0x00, 0xFF});
    QTest::newRow("blanks around and leading zeros")
        << QStringList{" 1f ", "0000002000", "00", "01", "", "", " "} << Bytes({0x1F, 0x00, 0x20, 0, 1, 0, 0, 0});
}

void TestConsoles::parseFields()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, packet);
    const ConsolePacket parsed = ParseConsolePacket(fields[0], fields[1], fields[2], {fields[3], fields[4], fields[5], fields[6]});
    QVERIFY(parsed.Ok());
    QVERIFY(parsed.error.isEmpty());
    QCOMPARE(parsed.packet, packet);
    QCOMPARE(MakePacket(parsed.type, parsed.index, parsed.subindex, parsed.data), packet);
    QVERIFY(parsed.index >= 0);
}

void TestConsoles::parseRejects_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<ConsoleField>("bad");
    QTest::addColumn<QString>("error");
    const QString byteRange = QStringLiteral(" must be a hexadecimal number from 00 to FF.");
    QTest::newRow("type 100") << QStringList{"100", "", "", "", "", "", ""} << ConsoleField::Type
                              << QStringLiteral("The type") + byteRange;
    QTest::newRow("index 10000") << QStringList{"", "10000", "", "", "", "", ""} << ConsoleField::Index
                                 << QStringLiteral("The index must be a hexadecimal number from 0000 to FFFF.");
    QTest::newRow("negative index") << QStringList{"", "-1", "", "", "", "", ""} << ConsoleField::Index << QString();
    QTest::newRow("subindex not hex") << QStringList{"", "", "G", "", "", "", ""} << ConsoleField::Subindex
                                      << QStringLiteral("The subindex") + byteRange;
    QTest::newRow("prefix") << QStringList{"0x10", "", "", "", "", "", ""} << ConsoleField::Type << QString();
    QTest::newRow("blank inside") << QStringList{"", "", "", "", "1 2", "", ""} << ConsoleField::Data1
                                  << QStringLiteral("Data byte 2") + byteRange;
    QTest::newRow("data 4 too big") << QStringList{"", "", "", "", "", "", "1FF"} << ConsoleField::Data3
                                    << QStringLiteral("Data byte 4") + byteRange;
    QTest::newRow("huge number") << QStringList{"", "", "", QString(40, u'F'), "", "", ""} << ConsoleField::Data0 << QString();
    QTest::newRow("first bad field reported") << QStringList{"", "", "ZZ", "", "", "", "ZZ"} << ConsoleField::Subindex
                                              << QString();
}

void TestConsoles::parseRejects()
{
    QFETCH(QStringList, fields);
    QFETCH(ConsoleField, bad);
    QFETCH(QString, error);
    const ConsolePacket parsed = ParseConsolePacket(fields[0], fields[1], fields[2], {fields[3], fields[4], fields[5], fields[6]});
    QVERIFY(!parsed.Ok());
    QCOMPARE(parsed.badField, bad);
    QVERIFY(parsed.packet.isEmpty()); // nothing to send
    QVERIFY(!parsed.error.isEmpty());
    if (!error.isEmpty())
        QCOMPARE(parsed.error, error);
}

void TestConsoles::parseErrorInGerman()
{
    UiLanguage lang;
    QVERIFY(lang.Set(Language::German));
    QCOMPARE(ParseConsolePacket(u"", u"", u"", {u"", u"", u"X", u""}).error,
             QStringLiteral("Datenbyte 3 muss eine Hexadezimalzahl von 00 bis FF sein."));
    QCOMPARE(ParseConsolePacket(u"", u"12345", u"", {u"", u"", u"", u""}).error,
             QStringLiteral("Der Index muss eine Hexadezimalzahl von 0000 bis FFFF sein."));
}

QTEST_GUILESS_MAIN(TestConsoles)
#include "tst_consoles.moc"
