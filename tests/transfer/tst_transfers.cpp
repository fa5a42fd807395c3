// Reading, detection, the information reads and writing parameters and extended data against
// the simulated transmitter, in virtual time; the tests look at the packets sent and at what the
// device and the image hold afterwards. The response decoder also on hand-made packets.
#include "base/language.h"
#include "params/config_defines.h"
#include "sim/firmware_parameters.h"
#include "support/test_data.h"
#include "support/rig.h"
#include "transfer/device_detection.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace tunekit;
using namespace tunekit::testing;

using Request = QPair<int, int>; // index, subindex
using Answers = QList<MsgAnswer>;
Q_DECLARE_METATYPE(Answers)

namespace {

// Which way a parameter's cell is checked: the text written, the cell read, or both.
// Alone: the parameter's cell as a write plans it when the parameter is the only value there is.
enum Ways { Writes = 1, Reads = 2, Both = 3, Alone = 4 };

// Bytes that differ from cell to cell, so a shifted or lost byte shows.
QByteArray pattern(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// Family 53 read at the level as a user would before writing, the traffic so far forgotten, and
// TransmitPower (cell 0x2203) edited to 20.
struct WriteRig : Rig {
    explicit WriteRig(int level, bool onlyChanged = true) : Rig(53, 30)
    {
        accessLevel = AccessLevel::fromNumber(level).value();
        detect();
        transfers.readParameters();
        runUntilIdle();
        line.device().clearRequests();
        dialogs.messages.clear();
        options.sendChangedOnly = onlyChanged;
        image.value[7] = QStringLiteral("20");
        image.changed[7] = true;
    }
};

// Every transfer command at once, as a user clicking about while a transfer runs; Write
// interpreter looks for its file in the folder.
void clickEveryCommand(Rig& rig, const QString& folder)
{
    rig.writes.write();
    rig.transfers.readParameters();
    rig.transfers.readInformation();
    rig.transfers.readInterpreterInfo();
    rig.transfers.redetect();
    rig.writes.writeTestInterpreter(folder);
}

bool write(Rig& rig, const Answers& answers = {})
{
    for (const MsgAnswer answer : answers)
        rig.dialogs.answers.enqueue(answer);
    rig.finish(rig.writes.write());
    return rig.runUntilIdle();
}

// A read of every parameter, then the information reads: the family, reset before transmit, the
// answers' extra delay; the interpreter selected, the index it is read from, its name and build
// time, the level, and the source text shown.
struct ReadCase {
    int configId;
    bool resetBeforeTransmit;
    int extraDelayMs, select, index;
    QString name, built;
    int level;
    QString source;
};

// A block of extended data: 6000 interpreter, 5000 frequency table, else the display block; bytes
// (or channels of the frequency table); the last Upload's index and subindex, and how many; the
// block's progress steps; firmware 0 current, 1 busy 700 ms with flash work, 2 without ConfigEnable,
// 3 answering ConfigEnable with UploadComplete, 4 erasing for 9 s and storing for 4 s (longer than
// the link waits, so both go twice and the device works on the repeat after answering the first).
enum Firmware { Current, Busy, WithoutConfigEnable, OtherConfigEnableAnswer, SlowEraseAndStore };
struct BlockCase {
    int block, size;
    QList<int> last;
    int units, firmware = 0;
};

constexpr int EveryCell = -1;

// The cells the simulated firmware of a family has, the one that names the family with them: its
// own table, kept apart from the dictionary.
int firmwareCells(int configId)
{
    QSet<QPair<int, int>> cells{{FamilyCellIndex, 0}};
    for (const FirmwareParameter& parameter : firmwareParameters()) {
        if (parameter.families.contains(configId))
            cells.insert({parameter.index, parameter.subindex});
    }
    return int(cells.size());
}

struct WriteCase {
    int level = 0;
    bool fromFile = false;
    bool onlyChanged = true;
    qint16 fileId = 0;
    qint16 imageId = 0;
    Answers answers = {};
    QStringList texts = {};
    int uploads = 1; // 0: nothing sent; EveryCell: each cell of the family but the calibration kept
    bool freq = false; // FreqComp written
    bool gain = false; // GainComp written
    bool imageKept = true;
    QString transmitPower = QStringLiteral("20");
    QString oem = {};                          // OemCode typed; its cell is shared with the system address
    QString address = QStringLiteral("1234"); // the system address the image holds ("": unknown)
    int oemCell = 254;                         // the OEM code the device holds afterwards
    int changed = 1;                           // changed values, which scale the partial bar
};

} // namespace

Q_DECLARE_METATYPE(WriteCase)
Q_DECLARE_METATYPE(ReadCase)
Q_DECLARE_METATYPE(BlockCase)

class TestTransfers : public QObject {
    Q_OBJECT
private slots:
    void fullRead_data()
    {
        QTest::addColumn<ReadCase>("c");
        const QString crane = QStringLiteral("SIM-CRANE-V1.4"), craneBuilt = QStringLiteral("09:15:30  5.3.2014");
        QTest::newRow("ConfigID 53, flash, level 30") << ReadCase{53, false, 0, 1, 0x6000, crane, craneBuilt, 30, "-"};
        QTest::newRow("reset before transmit, select only in the 300 ms wait")
            << ReadCase{53, true, 150, 1, 0x6000, crane, craneBuilt, 30, "-"};
        QTest::newRow("ConfigID 5, image 1, level 40")
            << ReadCase{5, false, 0, 3, 0x7101, "SIM-DOZER-V3.1", "16:45:00  26.2.2015", 40,
                        "Tunekit simulated hand-held transmitter, firmware HS4 V2.13"};
    }

    void fullRead()
    {
        QFETCH(ReadCase, c);
        Rig rig(c.configId, 30);
        rig.line.device().setInterpreterSelect(c.select);
        rig.detect();
        rig.accessLevel = AccessLevel::fromNumber(c.level).value();
        rig.options.resetBeforeTransmit = c.resetBeforeTransmit;
        rig.line.faults().extraDelayMs = c.extraDelayMs;
        rig.image.changed[7] = true;
        const int restarts = rig.line.device().restartCount();

        // Clicks while the read still queues and waits, then while its batch is being sent, are ignored.
        QTemporaryDir folder;
        writeFile(folder.filePath(QStringLiteral("xtest.bin")), "abcdefgh");
        rig.clock.schedule(5, [&] { clickEveryCommand(rig, folder.path()); });
        rig.transfers.readParameters();
        rig.transfers.readParameters();
        QVERIFY(rig.views.progress().visible);
        QCOMPARE(rig.views.progress().caption, QStringLiteral("data transfer..."));
        QCOMPARE(rig.views.windows.first().partialMax, ParamCount);
        QVERIFY(rig.runUntilIdle());
        QVERIFY(rig.dialogs.messages.isEmpty());
        QVERIFY(!rig.views.progress().visible);

        QList<Request> expected{{0x2401, 0}};
        for (int nr = 1; nr <= ParamCount; ++nr) {
            if (isApplicable(nr, c.configId))
                expected << Request{findConfigDefine(nr).index, findConfigDefine(nr).subindex};
        }
        expected << Request{0x1004, 0} << Request{0x1004, 1} << Request{0x1004, 2} << Request{0x1004, 3} << Request{0x1101, 0};
        for (int sub = 2; sub <= 7; ++sub) // the interpreter's name only
            expected << Request{c.index, sub};
        QCOMPARE(rig.requests(), expected);
        QCOMPARE(rig.views.refreshes, expected.size());
        QCOMPARE(rig.line.device().restartCount() - restarts, c.resetBeforeTransmit ? 3 : 1);
        QVERIFY(rig.views.buttonsEnabled.isEmpty());

        const DeviceImage& image = rig.image;
        const DeviceInformation& info = image.info;
        for (int nr = 1; nr <= ParamCount; ++nr)
            QVERIFY2(image.value[nr].isEmpty() != isApplicable(nr, c.configId), qPrintable(QString::number(nr)));
        const QList<QPair<int, QString>> values{{2, "1234"}, {3, "254"}, {4, "0"}, {14, "31.12.2014"}, {15, "20140001"},
                                                {16, QString::number(c.select)}, {17, "2"}, {19, "-5"}, {20, "3"}, {30, "-95"}};
        for (const auto& [nr, value] : values)
            QCOMPARE(image.value[nr], value);
        QVERIFY(!image.changed[7]);
        QCOMPARE(image.imageConfigId, qint16(c.configId));
        QCOMPARE(info.reportedConfigId, c.configId);
        QCOMPARE(info.texts[3], QStringLiteral("HS4 HVX-TX"));
        QCOMPARE(info.texts[4], QStringLiteral("300:07:05"));
        QCOMPARE(info.operatingHours, QStringLiteral("300 h 07 min"));
        QCOMPARE(info.texts[6], QStringLiteral("???")); // no build time to show yet
        QVERIFY(info.interpreterName.isEmpty());

        // The information read: the source text only from level 40 on.
        rig.transfers.readInformation();
        QVERIFY(rig.runUntilIdle());
        QCOMPARE(rig.subindexes(0x1001).size(), c.level >= 40 ? 65 : 0);
        QCOMPARE(info.source, c.source);
        QCOMPARE((QStringList{info.texts[1], info.texts[2], info.texts[6], info.texts[7]}),
                 (QStringList{"V2.13", "26.02.2015", c.name, c.built}));

        rig.line.device().clearRequests();
        rig.transfers.readInterpreterInfo();
        QVERIFY(rig.runUntilIdle());
        QCOMPARE(rig.subindexes(c.index), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(info.texts[5], QString::number(c.select));
        QCOMPARE(info.interpreterName, c.name);
        QCOMPARE(info.interpreterDate, QString(c.built).replace(QStringLiteral("  "), QStringLiteral("/")));
    }

    void textChunksLandInPlace()
    {
        QByteArray text = appendTextChunk("old text that is long", 0, "V2.1");
        QCOMPARE(text, QByteArray("V2.1"));
        text = appendTextChunk(text, 2, QByteArray("15\0\0", 4)); // before subindex 1
        QCOMPARE(text, QByteArray("V2.1    15\0", 11));
        text = appendTextChunk(text, 1, "3-26");
        QCOMPARE(text, QByteArray("V2.13-26"));
        QCOMPARE(visibleText(QByteArray("HVX\0", 4)), QStringLiteral("HVX"));
    }

    void redetection_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("configId"); // the device's family by now
        QTest::addColumn<bool>("german");
        QTest::newRow("same family") << false << 53 << false;
        QTest::newRow("another family") << false << 52 << false;
        QTest::newRow("no answer") << true << 53 << false;
        QTest::newRow("ConfigID 0, German") << false << 0 << true;
    }

    void redetection()
    {
        QFETCH(bool, silent);
        QFETCH(int, configId);
        QFETCH(bool, german);
        UiLanguage language;
        if (german)
            language.set(Language::German);
        Rig rig(53, 30);
        rig.detect();
        rig.line.device().setCell(0x2000, 0, QByteArray(1, static_cast<char>(configId)));
        rig.line.faults().silent = silent;
        rig.transfers.redetect();
        rig.clock.runFor(5000);

        const bool found = !silent && configId != 0;
        QCOMPARE(rig.image.deviceConfigId, qint16(found ? configId : 0));
        QCOMPARE(rig.engine.state().quietTimeouts, !found); // the time-out stays silent
        QCOMPARE(rig.views.buttonsEnabled, (QList<bool>{false, true}));
        if (found) {
            // The marks are recomputed for the family found.
            QCOMPARE(rig.image.imageConfigId, qint16(configId));
            QCOMPARE(rig.image.applicable, applicableMarks(configId));
            QCOMPARE(rig.views.valuesShownFor.last(), qint16(configId));
            QVERIFY(rig.dialogs.messages.isEmpty());
            return;
        }
        const QString text = german ? QStringLiteral("Gerät nicht gefunden.\r\nBitte serielle Verbindung prüfen! ")
                                    : QStringLiteral("Device not detected.\r\nPlease check your serial connection! ");
        QCOMPARE(rig.dialogs.messages, (Messages{{text, MsgButtons::Ok, MsgIcon::None, german ? "Fehler" : "Error"}}));

        // Read refuses to read and detects again instead.
        rig.line.device().clearRequests();
        rig.transfers.readParameters();
        rig.clock.runFor(5000);
        QCOMPARE(rig.dialogs.messages.size(), 2);
        QCOMPARE(rig.requests(), silent ? QList<Request>{} : (QList<Request>{{0x2000, 0}, {0x2401, 0}}));
    }

    // A parameter's text and its cell: what a write makes of the text, what a read makes of the
    // cell, or both. Ordinary values of each kind are read in fullRead and written and read back
    // in readBackAfterWrite; here the edges.
    void parameterCells_data()
    {
        QTest::addColumn<int>("ways");
        QTest::addColumn<int>("nr");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("cell"); // empty: refused
        const auto row = [](const char* name, int ways, int nr, const QString& text, const QByteArray& cell) {
            QTest::newRow(name) << ways << nr << text << cell;
        };
        row("8-bit above 255 refused", Writes, 7, "300", {});
        // One form of number, read alike for the write and for the comparison after it.
        row("8-bit with a decimal point refused", Writes, 7, "12.0", {});
        row("exponent refused", Writes, 7, "1e1", {});
        row("fraction too small to see refused", Writes, 7, "20.0000000000000001", {});
        row("sign and blanks taken", Writes, 7, " +12 ", bytes({12}));
        row("signed above 127 refused", Writes, 30, "200", {});
        row("GainComp above 127 refused", Writes, 19, "200", {});
        row("GainComp without PhaseComp refused", Alone, 19, "5", {});
        row("address without OEM code and group refused", Alone, 2, "1234", {});
        row("ChannelStop alone", Alone, 9, "60", bytes({60}));
        row("8-bit negative unsigned refused", Writes, 7, "-5", {});
        row("8-bit not a number", Writes, 7, "abc", {});
        row("signed below -128 refused", Writes, 30, "-200", {});
        row("16-bit too big", Writes, 57, "65536", {});
        row("32-bit largest", Both, 15, "2147483647", bytes({0xFF, 0xFF, 0xFF, 0x7F}));
        row("32-bit needs bit 31", Writes, 15, "2147483648", {});
        row("32-bit erased", Both, 15, "-1", bytes({0xFF, 0xFF, 0xFF, 0xFF}));
        row("no date", Writes, 14, "0.0.0000", bytes({0, 0, 0}));
        row("date without zeros", Writes, 14, "5.3.2014", bytes({5, 3, 14}));
        row("date with day 0 refused", Writes, 14, "00.05.2020", {});
        row("date with day and month 0 refused", Writes, 14, "00.00.2020", {});
        row("date in 2255 refused", Writes, 14, "01.01.2255", {});
        row("date that does not exist refused", Writes, 14, "31.02.2020", {});
        row("not a date", Writes, 14, "2014-12-31", {});
        row("date month 0", Reads, 14, "00.00.0000", bytes({31, 0, 14}));
        row("date cell erased", Both, 14, "-1", bytes({0xFF, 0xFF, 0xFF, 0xFF}));
        row("date not set", Both, 14, "00.00.0000", bytes({0, 0, 0}));
        row("FreqComp -10", Both, 17, "-10", bytes({0}));
        row("FreqComp erased", Both, 17, "255", bytes({255}));
        row("FreqComp no reading shows", Writes, 17, "15", {});
        row("PhaseComp byte 1", Reads, 20, "-2", bytes({0xFB, 0xFE}));
    }

    void parameterCells()
    {
        QFETCH(int, ways);
        QFETCH(int, nr);
        QFETCH(QString, text);
        QFETCH(QByteArray, cell);
        const ConfigDefine& define = findConfigDefine(nr);
        if (ways & Writes)
            QCOMPARE((nr == 17 ? encodeFreqComp(text) : encodeByCellEncoding(define, text)).value_or(QByteArray()), cell);
        if (ways & Alone) {
            ParamArray<QString> values;
            ParamArray<bool> chosen{};
            values[nr] = text;
            chosen[nr] = true;
            const ParameterCells cells = tunekit::parameterCells(values, chosen);
            QCOMPARE(cells.uploads.isEmpty() ? QByteArray() : cells.uploads.first().data, cell);
            QCOMPARE(cells.unwritable.isEmpty(), !cell.isEmpty());
        }
        if (!(ways & Reads))
            return;
        DeviceImage image;
        image.deviceConfigId = 53;
        image.updateApplicable();
        ReadState state;
        const auto answer = [&](const QByteArray& bytes) {
            decodeDownloadResponse(makePacket(DownloadResponse, define.index, static_cast<std::uint8_t>(define.subindex), bytes),
                                   state, image);
        };
        answer(cell);
        QCOMPARE(image.value[nr], text);
        QCOMPARE(image.received[nr], !text.isEmpty());
        answer(QByteArray::fromHex("0a0b0c0d")); // a further answer for the cell changes a received value no more
        if (!text.isEmpty())
            QCOMPARE(image.value[nr], text);
    }

    // What Write sends, by level, by where the image came from and by the answers given, and
    // what it refuses before sending anything.
    void writeByLevel_data()
    {
        QTest::addColumn<WriteCase>("c");
        const auto row = [](const char* name, const WriteCase& c) { QTest::newRow(name) << c; };
        const MsgAnswer yes = MsgAnswer::Yes;
        const MsgAnswer no = MsgAnswer::No;
        const QStringList both{"Overwrite Adjusted Frequency Compensation Value?", // from level 40 on
                               "Overwrite Adjusted Gain/Phase Compensation Values?"};
        // Each cell of the family goes out once: identity shares one, gain/phase another.
        row("level 20 after reading", {.level = 20, .onlyChanged = false, .uploads = EveryCell});
        row("level 20 after a file", {.level = 20, .fromFile = true, .onlyChanged = false, .uploads = EveryCell, .freq = true, .gain = true});
        row("level 30 changed only", {.level = 30});
        row("level 40 yes, no", {.level = 40, .onlyChanged = false, .answers = {yes, no}, .texts = both, .uploads = EveryCell, .freq = true});
        row("level 40 file no, yes",
            {.level = 40, .fromFile = true, .onlyChanged = false, .answers = {no, yes}, .texts = both, .uploads = EveryCell, .gain = true});
        row("level 50 everything", {.level = 50, .answers = {no, no}, .texts = both, .uploads = EveryCell});
        row("level 60 yes, yes",
            {.level = 60, .onlyChanged = false, .answers = {yes, yes}, .texts = both, .uploads = EveryCell, .freq = true, .gain = true});
        const QString incompatible = QStringLiteral("Data (ConfigID=52) not compatible to connected hardware (ConfigID=53)");
        const QStringList question{incompatible + QStringLiteral("\r\nDo You really want to continue?")};
        row("no port",
            {.level = 30, .fileId = -1, .texts = {"Device type not detected.\r\nPlease check your serial connection and COM-Port settings! "}, .uploads = 0});
        row("level 30 other family", {.level = 30, .fileId = 52, .texts = {incompatible}, .uploads = 0, .imageKept = false});
        // Neither clamped to 255 nor left out while the rest goes: nothing is sent.
        row("a value its cell cannot hold",
            {.level = 40, .texts = {"These values cannot be written to the device, so nothing was written:\r\nTransmitPower=99999"},
             .uploads = 0, .transmitPower = "99999"});
        // A value outside the range its description states is written only when the user says so.
        const QStringList outside{"These values are outside the range their description states:\r\nTransmitPower=99 (0..27)\r\nWrite them anyway?"};
        row("outside the stated range, no", {.level = 30, .answers = {no}, .texts = outside, .uploads = 0, .transmitPower = "99"});
        row("outside the stated range, yes", {.level = 30, .answers = {yes}, .texts = outside, .transmitPower = "99"});
        row("level 40 other family, no", {.level = 40, .fileId = 52, .answers = {no}, .texts = question, .uploads = 0, .imageKept = false});
        row("level 40 other family, yes", {.level = 40, .fileId = 52, .answers = {yes}, .texts = question});
        // Never unasked, whatever the level.
        row("level 60 other family, yes", {.level = 60, .fileId = 52, .answers = {yes}, .texts = question});
        row("level 60 other family, no", {.level = 60, .fileId = 52, .answers = {no}, .texts = question, .uploads = 0, .imageKept = false});
        row("image of another device", {.level = 40, .imageId = 52, .uploads = 0});
        row("level 60, image of another", {.level = 60, .imageId = 52});
        row("OEM code edited", {.level = 40, .uploads = 2, .oem = "250", .oemCell = 250, .changed = 2});
        // Writing the cell would put 0 in place of the address the device has.
        row("OEM code edited, address unknown",
            {.level = 40,
             .texts = {"These values cannot be written to the device, so nothing was written:\r\n"
                       "SystemAddress has no value, but its cell is written with OemCode"},
             .uploads = 0, .oem = "250", .address = "", .changed = 2});
    }

    void writeByLevel()
    {
        QFETCH(WriteCase, c);
        WriteRig rig(c.level, c.onlyChanged);
        rig.image.valuesFromFile = c.fromFile;
        rig.image.value[7] = c.transmitPower;
        rig.image.value[17] = QStringLiteral("-4"); // FreqComp, kept +10
        rig.image.value[19] = QStringLiteral("-7"); // GainComp
        rig.image.value[2] = c.address;
        if (!c.oem.isEmpty()) {
            rig.image.value[3] = c.oem;
            rig.image.changed[3] = true;
        }
        if (c.fileId < 0) {
            rig.port.closePort();
            rig.portState = PortState{};
        }
        rig.image.fileConfigId = qMax<qint16>(0, c.fileId);
        if (c.imageId != 0)
            rig.image.imageConfigId = c.imageId;

        QVERIFY(write(rig, c.answers));

        QCOMPARE(rig.texts(), c.texts);
        const int uploads = c.uploads != EveryCell ? c.uploads : firmwareCells(53) - int(!c.freq) - int(!c.gain);
        const bool written = uploads > 0;
        QCOMPARE(rig.types(), written ? QList<int>{ConfigEnable} + QList<int>(uploads, Upload) + QList<int>{FlashConfig} : QList<int>{});
        // Stored for good: the automatic reset after the batch reloads the flashed configuration.
        SimDevice& device = rig.line.device();
        QCOMPARE(device.cell(0x2203, 0), bytes({written ? c.transmitPower.toInt() : 27, 0, 0, 0}));
        QCOMPARE(device.cell(0x2501, 0).at(0), char(c.freq ? 6 : 12));
        QCOMPARE(device.cell(0x2503, 0).first(2), c.gain ? bytes({0xF9, 3}) : bytes({0xFB, 3}));
        QCOMPARE(device.flashedCell(0x2101, 0), bytes({0xD2, 0x04, c.oemCell, 0}));
        QCOMPARE(rig.image.changed[7], !written); // a refused file empties the values, not the marks
        QCOMPARE(rig.image.changed[3], !c.oem.isEmpty() && c.oemCell != 250); // left out: still to be written
        QCOMPARE(rig.image.value[7].isEmpty(), !c.imageKept);
        // The partial bar starts afresh, scaled to the changed values + 1.
        QCOMPARE(std::any_of(rig.views.windows.cbegin(), rig.views.windows.cend(), [&c](const TransferProgress& w) {
            return w.visible && w.caption == u"data transfer..." && w.partial == 0 && w.partialMax == c.changed + 1;
        }), written);
        QVERIFY(!rig.views.progress().visible);
    }

    void extendedBlocks_data()
    {
        QTest::addColumn<BlockCase>("c");
        QTest::newRow("interpreter 2050 bytes") << BlockCase{6000, 2050, {0x6002, 0, 513}, 512};
        // Erasing, flashing and every cell of extended data take 700 ms: nothing times out, and
        // the one reset comes after the last answer.
        QTest::newRow("interpreter on a busy device") << BlockCase{6000, 2050, {0x6002, 0, 513}, 512, Busy};
        QTest::newRow("interpreter, erase 9 s and store 4 s") << BlockCase{6000, 2050, {0x6002, 0, 513}, 512, SlowEraseAndStore};
        QTest::newRow("texts 1030 bytes") << BlockCase{4010, 1030, {0x4011, 1, 258}, 257};
        // Firmware that answers UnknownResponse to ConfigEnable still takes the write.
        QTest::newRow("texts, firmware without ConfigEnable") << BlockCase{4010, 1030, {0x4011, 1, 258}, 257, WithoutConfigEnable};
        // The protocol names no answer type for ConfigEnable: any answer at its address will do.
        QTest::newRow("texts, ConfigEnable answered by UploadComplete")
            << BlockCase{4010, 1030, {0x4011, 1, 258}, 257, OtherConfigEnableAnswer};
        QTest::newRow("texts 1029 bytes, last byte alone") << BlockCase{4010, 1029, {0x4011, 1, 258}, 257};
        QTest::newRow("text indices 9 bytes") << BlockCase{4000, 9, {0x4000, 4, 5}, 4};
        QTest::newRow("display table 25 bytes") << BlockCase{4200, 25, {0x4202, 4, 25}, 6};
        QTest::newRow("frequency table 67 channels") << BlockCase{5000, 67, {0x5000, 255, 69}, 22};
    }

    void extendedBlocks()
    {
        QFETCH(BlockCase, c);
        const auto [block, size, last, units, firmware] = c;
        WriteRig rig(40);
        rig.line.faults().workMs = firmware == Busy ? 700 : 0;
        rig.line.faults().eraseMs = firmware == SlowEraseAndStore ? 9000 : 0;
        rig.line.faults().storeMs = firmware == SlowEraseAndStore ? 4000 : 0;
        rig.line.device().setKnowsConfigEnable(firmware != WithoutConfigEnable);
        if (firmware == OtherConfigEnableAnswer)
            rig.line.device().setConfigEnableAnswer(UploadComplete);
        const int restarts = rig.line.device().restartCount();
        rig.image.changed[7] = false;
        ExtendedDataStore& store = rig.image.extended;
        const QByteArray data = pattern(size);
        int bytesPerCell = 4;
        store.interpreterImage = block == 6000 ? data : QByteArray();
        for (int n = 0; block == 5000 && n <= size; ++n)
            store.freqTable[static_cast<std::size_t>(n)] = 433000000 + n * 25000;
        store.frequencyTableText = block == 5000 ? QStringLiteral("k#433025000\r\n").repeated(7) : QString(); // 91 characters
        for (const DisplayBlock& display : displayBlocks()) {
            if (display.blockNumber == block) {
                store.*display.source = data;
                bytesPerCell = display.bytesPerPacket;
            }
        }
        // Commands while the block is being sent are refused.
        QTemporaryDir folder;
        writeFile(folder.filePath(QStringLiteral("xtest.bin")), "abcdefgh");
        bool clicked = false;
        rig.views.beforeSend = [&] {
            if (clicked || packetType(rig.engine.state().inFlight) != Upload || packetSubindex(rig.engine.state().inFlight) != 1)
                return;
            clicked = true;
            rig.clock.schedule(1, [&] { clickEveryCommand(rig, folder.path()); });
        };

        QVERIFY(write(rig));

        QVERIFY(clicked);
        QCOMPARE(rig.sent(DownloadRequest).size(), 2); // the write's own detection
        QCOMPARE(rig.texts().size(), 2);

        const int firstIndex = block == 6000 ? 0x6000 : blockFirstIndex(block);
        const QList<QByteArray> uploads = rig.sent(Upload);
        QCOMPARE(QList<int>({packetIndex(uploads.first()), packetSubindex(uploads.first())}), QList<int>({firstIndex, 0}));
        QCOMPARE(QList<int>({packetIndex(uploads.last()), packetSubindex(uploads.last()), int(uploads.size())}), last);
        QList<int> types = rig.types();
        types.removeAll(Upload);
        if (firmware == SlowEraseAndStore)
            QCOMPARE(types, (QList<int>{EraseIL2, EraseIL2, ConfigEnable, FlashConfig, FlashConfig}));
        else
            QCOMPARE(types, (block == 6000 ? QList<int>{EraseIL2, ConfigEnable, FlashConfig} : QList<int>{ConfigEnable, FlashConfig}));
        SimDevice& device = rig.line.device();
        if (block == 5000) {
            // Channel 67 (433000000 + 67 * 25000), then nothing up to the closing subindex.
            QCOMPARE(device.blockBytes(0x5000, 256, 4, 69 * 4).last(8), bytes({0x38, 0x9D, 0xE8, 0x19, 0xFF, 0xFF, 0xFF, 0xFF}));
            QCOMPARE(device.cell(0x5000, 255), QByteArray(4, '\0'));
        } else {
            QCOMPARE(device.blockBytes(firstIndex, block == DisplayTableBlock ? 10 : 256, bytesPerCell, size), data);
        }
        QCOMPARE(rig.texts().last(), DeviceWrites::doneText());
        QCOMPARE(rig.engine.state().lostTotal, firmware == SlowEraseAndStore ? 2 : 0);
        // The detection's reset, one after the block and one after the parameters, none of them
        // while the device was still erasing or storing.
        QCOMPARE(rig.line.device().restartCount() - restarts, 3);
        QCOMPARE(rig.line.link().workDisturbed(), 0);
        QVERIFY(rig.image.extended.used); // level 40 uses it up
        QStringList captions; // while the partial bar is scaled to the write's steps + 5
        for (const TransferProgress& window : rig.views.windows) {
            if (window.partialMax == units + 5 && !captions.contains(window.detail))
                captions << window.detail;
        }
        QCOMPARE(captions, (QStringList{QString(), QStringLiteral("preparing data ..."), QStringLiteral("sending data  ...")}));
    }

    void cancelAndUsingUp_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("eraseAfterWrite");
        QTest::addColumn<bool>("usedUp");
        QTest::newRow("level 30") << 30 << false << true;
        QTest::newRow("level 50 never") << 50 << true << false;
        QTest::newRow("level 60 without the option") << 60 << false << false;
        QTest::newRow("level 60 with the option") << 60 << true << true;
    }

    void cancelAndUsingUp()
    {
        QFETCH(int, level);
        QFETCH(bool, eraseAfterWrite);
        QFETCH(bool, usedUp);
        WriteRig rig(level);
        rig.options.eraseTextsAfterWrite = eraseAfterWrite;
        rig.image.extended.textsImage = pattern(1030);
        rig.image.extended.displayPresent = true;
        rig.image.file.name = QStringLiteral("crane.scd");

        QVERIFY(write(rig, {MsgAnswer::Cancel}));

        QVERIFY(rig.types().isEmpty());
        QCOMPARE(rig.texts().size(), 2);
        QCOMPARE(rig.texts().last(), DeviceWrites::doneText());
        QCOMPARE(rig.image.extended.used, usedUp);
        QCOMPARE(rig.image.extended.displayPresent, !usedUp);
        QCOMPARE(rig.image.file.name.isEmpty(), usedUp);
        QCOMPARE(rig.image.extended.textsImage.size(), 1030); // kept in memory

        // Once used up, Write does nothing until a file brings extended data again.
        QVERIFY(write(rig, {MsgAnswer::Cancel}));
        QCOMPARE(rig.texts().size(), usedUp ? 2 : 4);
        QVERIFY(rig.types().isEmpty());
    }

    void deviceFallsSilentInABlock()
    {
        WriteRig rig(40);
        rig.image.extended.interpreterImage = pattern(2050);
        rig.image.extended.textsImage = pattern(1030);
        // Deaf to one packet, the first of the interpreter's second page.
        rig.views.beforeSend = [&rig] {
            const QByteArray& packet = rig.engine.state().inFlight;
            rig.line.faults().silent = packetType(packet) == Upload && packetIndex(packet) == 0x6001 && packetSubindex(packet) == 0;
        };
        const int restarts = rig.line.device().restartCount();

        QVERIFY(write(rig));

        // The time-out is told, and the write does not end in "Done!".
        QCOMPARE(rig.texts().size(), 2);
        QVERIFY(rig.texts().at(1).startsWith(QStringLiteral("T I M E O U T  !")));
        QCOMPARE(rig.writes.lastResult(), WriteResult::Failed);
        SimDevice& device = rig.line.device();
        QCOMPARE(device.usedCells(0x6000, 0x6FFF), 256);
        QCOMPARE(device.blockBytes(0x4010, 256, 4, 1030), pattern(1030));
        QCOMPARE(device.flashedCell(0x2203, 0), bytes({20, 0, 0, 0}));
        // The rest of the interpreter was dropped; the texts followed whole, then the parameters.
        const QList<QPair<int, int>> requests = rig.requests();
        const qsizetype firstText = requests.indexOf({0x4010, 0});
        QCOMPARE(firstText - requests.indexOf({0x6000, 255}), 1);
        QCOMPARE(requests.indexOf({0x4011, 1}) - firstText, 257);
        QCOMPARE(packetType(device.requests().at(firstText + 258)), int(ConfigEnable));
        // The reset the lost answer left pending came between the blocks, not inside the next one.
        QCOMPARE(device.restartCount() - restarts, 4);
    }

    void writeEndsWithFailure_data()
    {
        QTest::addColumn<int>("answer");   // given to the packet below instead of the device's; 0: none
        QTest::addColumn<QList<int>>("packet"); // type, index, subindex
        QTest::addColumn<int>("texts");    // bytes of the texts block
        QTest::addColumn<QString>("message");
        const QString notAll = QStringLiteral("\r\nThe device does not hold all of the data.");
        QTest::newRow("OperationFailed to a parameter")
            << int(OperationFailed) << QList{int(Upload), 0x2203, 0} << 0
            << "Writing failed: the device answered OperationFailed to Upload 2203/00 (TransmitPower)." + notAll;
        QTest::newRow("OperationFailed to ConfigEnable") << int(OperationFailed) << QList{int(ConfigEnable), 0, 0} << 1030
                                                         << "Writing failed: the device answered OperationFailed to ConfigEnable." + notAll;
        QTest::newRow("OperationFailed in the texts") << int(OperationFailed) << QList{int(Upload), 0x4010, 5} << 1030
                                                      << "Writing failed: the device answered OperationFailed to Upload 4010/05 (Texts)." + notAll;
        // 0x4010..0x40FF hold 240 * 256 cells of 4 bytes; one byte more would reach the pictures' indices.
        QTest::newRow("texts longer than their place")
            << 0 << QList<int>{} << 245761
            << "Extended data longer than its place in the device is not written:\r\nTexts: 245761 bytes, room for 245760";
    }

    void writeEndsWithFailure()
    {
        QFETCH(int, answer);
        QFETCH(QList<int>, packet);
        QFETCH(int, texts);
        QFETCH(QString, message);
        WriteRig rig(40);
        rig.image.extended.textsImage = pattern(texts);
        rig.views.beforeSend = [&] {
            const QByteArray& sent = rig.engine.state().inFlight;
            if (answer == 0 || packetType(sent) != packet[0] || packetIndex(sent) != packet[1] || packetSubindex(sent) != packet[2])
                return;
            // Ahead of the device's own answer, which then comes too late to count.
            rig.clock.schedule(0, [&rig, answer, sent] {
                rig.engine.receiveData(encodeFrame(makePacket(static_cast<std::uint8_t>(answer), packetIndex(sent),
                                                              static_cast<std::uint8_t>(packetSubindex(sent)))));
            });
        };

        QVERIFY(write(rig));

        QCOMPARE(rig.texts().last(), message);
        QVERIFY(!rig.texts().contains(DeviceWrites::doneText()));
        QVERIFY(!rig.types().contains(FlashConfig));
        QCOMPARE(rig.types().contains(ConfigEnable), packet.value(0) == ConfigEnable || packet.value(1) == 0x2203);
        QVERIFY(!rig.image.extended.used); // still there for another try
        QVERIFY(!rig.views.progress().visible);
    }

    void readBackAfterWrite()
    {
        WriteRig rig(60, false);
        const QList<QPair<int, QString>> edits{{2, "4321"}, {3, "250"}, {14, "01.02.2016"}, {15, "20161234"}, {17, "-3"},
                                               {19, "-7"}, {20, "12"}, {30, "-100"}, {57, "1000"}};
        for (const auto& [nr, text] : edits)
            rig.image.value[nr] = text;
        const ParamArray<QString> written = rig.image.value;
        rig.options.resetBeforeTransmit = true;
        const int restarts = rig.line.device().restartCount();

        QVERIFY(write(rig));
        // Before and after the detection, before the batch, and after it, which reloads the flash.
        QCOMPARE(rig.line.device().restartCount() - restarts, 4);
        rig.options.resetBeforeTransmit = false;
        rig.transfers.readParameters();
        QVERIFY(rig.runUntilIdle());
        for (int nr = 1; nr <= ParamCount; ++nr)
            QCOMPARE(rig.image.value[nr], written[nr]);
    }

    void writeInterpreterButton_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("message");
        QTest::newRow("five bytes") << QByteArray("abcde") << QString();
        QTest::newRow("no file") << QByteArray() << "was not found.";
        QTest::newRow("empty file") << QByteArray("") << "is empty.";
    }

    void writeInterpreterButton()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir folder;
        if (!content.isNull())
            writeFile(folder.filePath(QStringLiteral("xtest.bin")), content);
        Rig rig(53, 30);
        rig.connect();

        rig.writes.writeTestInterpreter(folder.path());
        QVERIFY(rig.runUntilIdle());

        QCOMPARE(rig.texts().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY(rig.texts().first().endsWith(message));
            QVERIFY(rig.line.device().requests().isEmpty());
            return;
        }
        QCOMPARE(rig.sent(Upload), (QList{makePacket(Upload, 0x6000, 0, "abcd"), makePacket(Upload, 0x6000, 1, "e")}));
        QCOMPARE(rig.types(), (QList<int>{EraseIL2, Upload, Upload}));
        QCOMPARE(rig.line.device().usedCells(0x6000, 0x6FFF), 2); // the old interpreter is erased
    }
};

QTEST_GUILESS_MAIN(TestTransfers)
#include "tst_transfers.moc"
