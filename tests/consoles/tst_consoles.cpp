#include "base/language.h"
#include "consoles/packet_dump.h"
#include "consoles/terminal_buffer.h"
#include "link/packet_codec.h"
#include "support/test_data.h"

#include <QTest>

using namespace tunekit;
using tunekit::testing::bytes;

namespace {

// The console's fields as typed: type, index, subindex, data 0..3.
ConsolePacket parse(const QStringList& f)
{
    return parseConsolePacket(f[0], f[1], f[2], {f[3], f[4], f[5], f[6]});
}

const QByteArray ClearSequence("\x1b" "c\x1b[37m\x1b[40m\x1b[2J\x1b[f");
} // namespace

class TestConsoles : public QObject {
    Q_OBJECT
private slots:
    void terminalFilters_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("coloured words") << QList<QByteArray>{"\x1b[31mred\x1b[37m and \x1b[4mline\x1b[24m"}
                                        << QByteArray("red and line");
        QTest::newRow("other ESC sequences keep their text") << QList<QByteArray>{"\x1b[32mgo"} << QByteArray("[32mgo");
        QTest::newRow("ESC and NUL") << QList<QByteArray>{QByteArray("a\x1b\0b", 4)} << QByteArray("ab");
        QTest::newRow("echo byte by byte") << QList<QByteArray>{"A", "B", "\b", " ", "\b", "C"} << QByteArray("AC");
        QTest::newRow("backspace first in buffer") << QList<QByteArray>{"\b \bX"} << QByteArray("X");
        QTest::newRow("one backspace per call") << QList<QByteArray>{"ABC\b \b\b \b"} << QByteArray("AB\b \b");
        QTest::newRow("next backspace on next call") << QList<QByteArray>{"ABC\b \b\b \b", ""} << QByteArray("A");
        QTest::newRow("clear split across chunks")
            << QList<QByteArray>{"old\x1b" "c\x1b", "[37m\x1b[40m\x1b[2J\x1b[fnew"} << QByteArray("new");
        // Each call clears once: a second sequence in the same chunk is handled by the next call.
        const QByteArray twoClears = "a" + ClearSequence + "b" + ClearSequence + "c";
        QTest::newRow("two clears in one chunk") << QList<QByteArray>{twoClears} << QByteArray("bc[40m[2J[fc");
        QTest::newRow("second clear on the next call") << QList<QByteArray>{twoClears, "d"} << QByteArray("cd");
    }
    void terminalFilters()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QByteArray, shown);
        TerminalBuffer terminal;
        for (const QByteArray& chunk : chunks)
            terminal.append(chunk);
        QCOMPARE(terminal.bytes(), shown);
    }

    // The last 4096 characters, Latin-1; many appends cost one redraw.
    void terminalKeepsLast4096()
    {
        QByteArray text;
        for (int i = 0; i < 5000; ++i)
            text += static_cast<char>('0' + i % 10);
        TerminalBuffer terminal;
        QVERIFY(!terminal.takeRefresh());
        terminal.append(text);
        terminal.append("\xE4nd");
        QCOMPARE(terminal.bytes(), text.right(4093) + "\xE4nd");
        QVERIFY(terminal.text().endsWith(QStringLiteral("\u00E4nd")));
        QCOMPARE(terminal.generation(), quint64(2));
        QVERIFY(terminal.takeRefresh() && !terminal.takeRefresh());
        terminal.clear();
        QVERIFY(terminal.text().isEmpty() && terminal.refreshPending());
    }

    // A key sends its code as one byte while the port is open, never anything else.
    void terminalKeys()
    {
        QCOMPARE(terminalKeyBytes(false, 'a'), QByteArray());
        QCOMPARE(terminalKeyBytes(true, 13), QByteArray("\r"));
        QCOMPARE(terminalKeyBytes(true, 0xFC), QByteArray("\xFC"));
        QCOMPARE(terminalKeyBytes(true, 0x100), QByteArray());
    }

    void dumpEntryLines()
    {
        const QString entry = dumpEntryText(bytes({0x11, 0x00, 0x20, 0x00, 0x34, 0x12, 0x00, 0x00}), DumpReceive,
                                               QTime(14, 3, 27));
        QCOMPARE(entry, QStringLiteral("[14:03:27]...................Receive\r\n"
                                       "   Packet:   1100200034120000\r\n"
                                       "   Type:     11 (DownloadResponse)\r\n"
                                       "   Index:    2000\r\n"
                                       "   Subindex: 00\r\n"
                                       "   Data:     34 12 00 00 [4...]\r\n"));
        const QString unknown = dumpEntryText(bytes({0x05, 0xCD, 0xAB, 0x7E, 0, 0, 0, 0}), DumpTransmit, QTime(0, 0));
        QVERIFY(unknown.startsWith(QStringLiteral("[00:00:00]...................Transmit\r\n")));
        QVERIFY(unknown.contains(QStringLiteral("\r\n   Type:     05 (unknown)\r\n   Index:    ABCD\r\n   Subindex: 7E\r\n")));
        QVERIFY(dumpEntryText(QByteArray(7, 'A'), DumpTransmit, QTime(1, 2, 3)).isEmpty());
        // Data characters: below 32 a dot, 32 and 127 as they are, above 127 as Latin-1.
        const auto dataLine = [](std::initializer_list<int> data) {
            const QString text = dumpEntryText(makePacket(Upload, 0x2101, 1, bytes(data)), DumpTransmit, QTime(9, 8, 7));
            return text.split(QStringLiteral("\r\n")).at(5);
        };
        QCOMPARE(dataLine({0x1F, 0x20, 0x0A, 0x7F}), QStringLiteral("   Data:     1F 20 0A 7F [. .\u007F]"));
        QCOMPARE(dataLine({0xE9, 0x80, 0xFF, 0xA0}), QStringLiteral("   Data:     E9 80 FF A0 [\u00E9\u0080\u00FF\u00A0]"));
    }

    // The log keeps every entry, newest first; a view's mark tells what came since.
    void dumpLogKeepsEveryEntry()
    {
        PacketDump dump;
        const QByteArray first = makePacket(DownloadRequest, 0x2000, 0);
        const QByteArray second = makePacket(DownloadResponse, 0x2000, 0, bytes({1}));
        dump.add(first, DumpTransmit, QTime(10, 0, 0));
        const PacketDump::Mark mark = dump.currentMark();
        dump.add(QByteArray(7, '\0'), DumpReceive, QTime(10, 0, 1)); // too short: not logged
        dump.add(second, DumpReceive, QTime(10, 0, 1));
        const QString newest = dumpEntryText(second, DumpReceive, QTime(10, 0, 1));
        QCOMPARE(dump.text(), newest + dumpEntryText(first, DumpTransmit, QTime(10, 0, 0)));
        QCOMPARE(dump.textSince(mark), std::optional<QString>(newest));
        for (int i = 0; i < 20'000; ++i)
            dump.add(second, DumpReceive, QTime(10, 0, 2));
        QCOMPARE(dump.entryCount(), 20'002);
        QCOMPARE(dump.entryText(0), dumpEntryText(first, DumpTransmit, QTime(10, 0, 0)));

        const quint64 before = dump.generation();
        dump.clear();
        QVERIFY(dump.text().isEmpty() && dump.generation() != before);
        dump.add(first, DumpTransmit, QTime(10, 0, 2));
        QVERIFY(!dump.textSince(mark).has_value()); // cleared in between: the view rebuilds
        QCOMPARE(dump.entryCount(), 1);
    }

    // An empty packet means the fields were refused: nothing is sent.
    void parsesTypedPackets_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<ConsoleField>("bad");
        QTest::addColumn<QString>("error"); // "" = not compared
        const ConsoleField ok = ConsoleField::None;
        const auto with = [](int field, const QString& text) {
            QStringList f(7, QString());
            f[field] = text;
            return f;
        };
        const QString byteRange = QStringLiteral(" must be a hexadecimal number from 00 to FF.");
        QTest::newRow("all empty") << QStringList(7, QString()) << QByteArray(8, '\0') << ok << QString();
        QTest::newRow("index FFFF") << with(1, "FFFF") << bytes({0, 0xFF, 0xFF, 0, 0, 0, 0, 0}) << ok << QString();
        QTest::newRow("index 8000") << with(1, "8000") << bytes({0, 0x00, 0x80, 0, 0, 0, 0, 0}) << ok << QString();
        QTest::newRow("every field") << QStringList{"12", "2101", "3", "a", "Bc", "0", "ff"}
                                     << bytes({0x12, 0x01, 0x21, 0x03, 0x0A, 0xBC, 0x00, 0xFF}) << ok << QString();
        QTest::newRow("blanks around and leading zeros") << QStringList{" 1f ", "0000002000", "00", "01", "", "", " "}
                                                         << bytes({0x1F, 0x00, 0x20, 0, 1, 0, 0, 0}) << ok << QString();
        QTest::newRow("type 100") << with(0, "100") << QByteArray() << ConsoleField::Type << "The type" + byteRange;
        QTest::newRow("index 10000") << with(1, "10000") << QByteArray() << ConsoleField::Index
                                     << QStringLiteral("The index must be a hexadecimal number from 0000 to FFFF.");
        QTest::newRow("negative index") << with(1, "-1") << QByteArray() << ConsoleField::Index << QString();
        QTest::newRow("subindex not hex") << with(2, "G") << QByteArray() << ConsoleField::Subindex
                                          << "The subindex" + byteRange;
        QTest::newRow("prefix") << with(0, "0x10") << QByteArray() << ConsoleField::Type << QString();
        QTest::newRow("blank inside") << with(4, "1 2") << QByteArray() << ConsoleField::Data1 << "Data byte 2" + byteRange;
        QTest::newRow("data 4 too big") << with(6, "1FF") << QByteArray() << ConsoleField::Data3 << "Data byte 4" + byteRange;
        QTest::newRow("huge number") << with(3, QString(40, u'F')) << QByteArray() << ConsoleField::Data0 << QString();
        QTest::newRow("first bad field reported") << QStringList{"", "", "ZZ", "", "", "", "ZZ"} << QByteArray()
                                                  << ConsoleField::Subindex << QString();
        QTest::newRow("German") << with(5, "X") << QByteArray() << ConsoleField::Data2
                                << QStringLiteral("Datenbyte 3 muss eine Hexadezimalzahl von 00 bis FF sein.");
    }
    void parsesTypedPackets()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, packet);
        QFETCH(ConsoleField, bad);
        QFETCH(QString, error);
        UiLanguage language;
        QVERIFY(language.set(QTest::currentDataTag() == QByteArrayView("German") ? Language::German : Language::English));
        const ConsolePacket parsed = parse(fields);
        QCOMPARE(parsed.badField, bad);
        QCOMPARE(parsed.packet, packet);
        QCOMPARE(parsed.error.isEmpty(), parsed.ok());
        if (!error.isEmpty())
            QCOMPARE(parsed.error, error);
        if (parsed.ok()) {
            QCOMPARE(makePacket(parsed.type, parsed.index, parsed.subindex, parsed.data), packet);
            QVERIFY(parsed.index >= 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestConsoles)
#include "tst_consoles.moc"
