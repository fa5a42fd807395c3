// Writing parameters and extended data against the simulated transmitter, in virtual time; the
// tests look at the packets sent and at what the device holds afterwards.
#include "app/language.h"
#include "params/config_defines.h"
#include "support/write_rig.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tunekit;
using namespace tunekit::testing;

Q_DECLARE_METATYPE(QList<MsgAnswer>)

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

// Bytes that differ from cell to cell, so a shifted or lost byte shows.
QByteArray Pattern(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

int IndexOf(const QList<QByteArray>& requests, int index, int subindex)
{
    for (qsizetype n = 0; n < requests.size(); ++n) {
        if (PacketIndex(requests[n]) == index && PacketSubindex(requests[n]) == subindex)
            return static_cast<int>(n);
    }
    return -1;
}

const QString FreqTitle = QStringLiteral("A T T E N T I O N  -  adjusted value");
const QString GainTitle = QStringLiteral("A T T E N T I O N  -  adjusted values");

} // namespace

class TestWriting : public QObject {
    Q_OBJECT
private slots:
    void encodings_data();
    void encodings();
    void writeByLevel_data();
    void writeByLevel();
    void identityCell_data();
    void identityCell();
    void checksBeforeWriting_data();
    void checksBeforeWriting();
    void extendedBlocks_data();
    void extendedBlocks();
    void cancelAndUsingUp_data();
    void cancelAndUsingUp();
    void deviceFallsSilentInABlock();
    void clicksDuringAWriteAreIgnored();
    void readBackAfterWrite();
    void writeInterpreterButton_data();
    void writeInterpreterButton();
    void germanTexts();
};

void TestWriting::encodings_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused
    QTest::newRow("8-bit clamps above 255") << "8" << "300" << Bytes({255});
    QTest::newRow("8-bit nearest whole number") << "8" << "12.6" << Bytes({13});
    QTest::newRow("8-bit negative unsigned") << "8" << "-5" << Bytes({0});
    QTest::newRow("8-bit not a number") << "8" << "abc" << QByteArray();
    QTest::newRow("MinRSSI -95") << "s8" << "-95" << Bytes({161});
    QTest::newRow("signed below -128") << "s8" << "-200" << Bytes({128});
    QTest::newRow("16-bit") << "16" << "1234" << Bytes({0xD2, 0x04});
    QTest::newRow("16-bit too big") << "16" << "65536" << QByteArray();
    QTest::newRow("32-bit") << "32" << "287571967" << Bytes({0xFF, 0xFF, 0x23, 0x11});
    QTest::newRow("32-bit largest") << "32" << "2147483647" << Bytes({0xFF, 0xFF, 0xFF, 0x7F});
    QTest::newRow("32-bit needs bit 31") << "32" << "2147483648" << QByteArray();
    QTest::newRow("date") << "date" << "31.12.2014" << Bytes({31, 12, 14});
    QTest::newRow("no date") << "date" << "0.0.0000" << Bytes({0, 0, 0});
    QTest::newRow("date without zeros") << "date" << "5.3.2014" << Bytes({5, 3, 14});
    QTest::newRow("not a date") << "date" << "2014-12-31" << QByteArray();
    QTest::newRow("FreqComp 0") << "freq" << "0" << Bytes({10});
    QTest::newRow("FreqComp -10") << "freq" << "-10" << Bytes({0});
    QTest::newRow("phase 3 gain -5") << "gain/phase" << "3" << Bytes({0xFB, 0x03});
}

void TestWriting::encodings()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    std::optional<QByteArray> encoded;
    if (kind == u"8" || kind == u"s8")
        encoded = Encode8Bit(text, kind == u"s8");
    else if (kind == u"16")
        encoded = Encode16Bit(text);
    else if (kind == u"32")
        encoded = Encode32Bit(text);
    else if (kind == u"date")
        encoded = EncodeDate(text);
    else if (kind == u"freq")
        encoded = EncodeFreqComp(text);
    else
        encoded = EncodeGainPhase(text, QStringLiteral("-5"));
    QCOMPARE(encoded.has_value(), !bytes.isEmpty());
    if (encoded)
        QCOMPARE(*encoded, bytes);
}

void TestWriting::writeByLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<bool>("onlyChanged");
    QTest::addColumn<QList<MsgAnswer>>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<bool>("freqWritten");
    QTest::addColumn<bool>("gainPhaseWritten");
    QTest::addColumn<int>("uploads");
    // Device family 53 has 29 parameters; the identity shares one cell, gain and phase another.
    using L = QList<MsgAnswer>;
    QTest::newRow("level 20 after reading") << 20 << false << false << L{} << QStringList{} << false << false << 24;
    QTest::newRow("level 20 after a file") << 20 << true << false << L{} << QStringList{} << true << true << 26;
    QTest::newRow("level 30 changed only") << 30 << false << true << L{} << QStringList{} << false << false << 1;
    QTest::newRow("level 40 yes, no") << 40 << false << false << L{MsgAnswer::Yes, MsgAnswer::No}
                                      << QStringList{FreqTitle, GainTitle} << true << false << 25;
    QTest::newRow("level 40 file no, yes") << 40 << true << false << L{MsgAnswer::No, MsgAnswer::Yes}
                                           << QStringList{FreqTitle, GainTitle} << false << true << 25;
    QTest::newRow("level 50 writes everything") << 50 << false << true << L{MsgAnswer::No, MsgAnswer::No}
                                                << QStringList{FreqTitle, GainTitle} << false << false << 24;
    QTest::newRow("level 60 changed only") << 60 << false << true << L{} << QStringList{} << false << false << 1;
    QTest::newRow("level 60 yes, yes") << 60 << false << false << L{} << QStringList{FreqTitle, GainTitle} << true << true << 26;
}

void TestWriting::writeByLevel()
{
    QFETCH(int, level);
    QFETCH(bool, fromFile);
    QFETCH(bool, onlyChanged);
    QFETCH(QList<MsgAnswer>, answers);
    QFETCH(QStringList, questions);
    QFETCH(bool, freqWritten);
    QFETCH(bool, gainPhaseWritten);
    QFETCH(int, uploads);
    WriteRig rig;
    rig.authLevel = level;
    rig.Read();
    rig.image.FV_Flag = fromFile;
    rig.options.ChkSendNewDataOnly = onlyChanged;
    rig.image.value[7] = QStringLiteral("20"); // TransmitPower, cell 0x2203
    rig.image.changed[7] = true;
    rig.image.value[17] = QStringLiteral("-4"); // FreqComp, kept +10
    rig.image.value[19] = QStringLiteral("-7"); // GainComp
    for (const MsgAnswer answer : answers)
        rig.dialogs.answers.enqueue(answer);

    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());

    QCOMPARE(rig.Titles(), questions);
    QList<int> types = rig.Types();
    types.removeAll(DownloadRequest); // the detection before the write
    QCOMPARE(types.size(), uploads + 2);
    QCOMPARE(types.first(), int(ConfigEnable));
    QCOMPARE(types.last(), int(FlashConfig));
    const QList<QByteArray> sent = rig.Sent(Upload);
    QCOMPARE(IndexOf(sent, 0x2501, 0) >= 0, freqWritten);
    QCOMPARE(IndexOf(sent, 0x2503, 0) >= 0, gainPhaseWritten);
    // Stored for good: the automatic reset after the batch reloads the flashed configuration.
    SimDevice& device = rig.line.Device();
    QCOMPARE(device.Cell(0x2203, 0), Bytes({20, 0, 0, 0}));
    QCOMPARE(device.Cell(0x2501, 0).at(0), char(freqWritten ? 6 : 12));
    QCOMPARE(device.Cell(0x2503, 0), gainPhaseWritten ? Bytes({0xF9, 0x03, 0, 0}) : Bytes({0xFB, 0x03, 0, 0}));
    QVERIFY(!device.ConfigurationOpen());
    QVERIFY(!rig.image.changed[7]);
    QVERIFY(!rig.engine.Window().visible);
}

void TestWriting::identityCell_data()
{
    QTest::addColumn<QString>("systemAddress");
    QTest::addColumn<QByteArray>("cell"); // empty: not written
    QTest::newRow("OEM code edited alone") << "1234" << Bytes({0xD2, 0x04, 250, 0});
    QTest::newRow("address unknown") << "" << QByteArray();
}

void TestWriting::identityCell()
{
    QFETCH(QString, systemAddress);
    QFETCH(QByteArray, cell);
    WriteRig rig;
    rig.authLevel = 40;
    rig.Read();
    rig.options.ChkSendNewDataOnly = true;
    rig.image.value[2] = systemAddress;
    rig.image.value[3] = QStringLiteral("250");
    rig.image.changed[3] = true;

    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());

    const QList<QByteArray> sent = rig.Sent(Upload);
    if (cell.isEmpty()) {
        // Writing the cell would put 0 in place of the address the device has.
        QVERIFY(sent.isEmpty());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages.first().text.endsWith(QStringLiteral("\r\nOemCode")));
        QVERIFY(rig.image.changed[3]);
        QCOMPARE(rig.line.Device().Cell(0x2101, 0), Bytes({0xD2, 0x04, 254, 0}));
        return;
    }
    QCOMPARE(sent, QList{MakePacket(Upload, 0x2101, 0, cell)});
    QCOMPARE(rig.line.Device().FlashedCell(0x2101, 0), cell);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestWriting::checksBeforeWriting_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<qint16>("fileId");
    QTest::addColumn<qint16>("imageId"); // 0: as read
    QTest::addColumn<QList<MsgAnswer>>("answers");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("imageKept");
    const QString incompatible = QStringLiteral("Data (ConfigID=52) not compatible to connected hardware (ConfigID=53)");
    const QString question = incompatible + QStringLiteral("\r\nDo You really want to continue?");
    using L = QList<MsgAnswer>;
    QTest::newRow("no port") << 30 << false << qint16(0) << qint16(0) << L{}
                             << "Device type not detected.\r\nPlease check your serial connection and COM-Port settings! "
                             << false << true;
    QTest::newRow("level 30 other family") << 30 << true << qint16(52) << qint16(0) << L{} << incompatible << false << false;
    QTest::newRow("level 40 other family, no") << 40 << true << qint16(52) << qint16(0) << L{MsgAnswer::No} << question << false
                                               << false;
    QTest::newRow("level 40 other family, yes") << 40 << true << qint16(52) << qint16(0) << L{MsgAnswer::Yes} << question << true
                                                << true;
    QTest::newRow("level 60 other family") << 60 << true << qint16(52) << qint16(0) << L{} << QString() << true << true;
    QTest::newRow("image of another device") << 40 << true << qint16(0) << qint16(52) << L{} << QString() << false << true;
    QTest::newRow("level 60 image of another device") << 60 << true << qint16(0) << qint16(52) << L{} << QString() << true << true;
}

void TestWriting::checksBeforeWriting()
{
    QFETCH(int, level);
    QFETCH(bool, connected);
    QFETCH(qint16, fileId);
    QFETCH(qint16, imageId);
    QFETCH(QList<MsgAnswer>, answers);
    QFETCH(QString, message);
    QFETCH(bool, written);
    QFETCH(bool, imageKept);
    WriteRig rig;
    rig.authLevel = level;
    if (connected)
        rig.Read();
    rig.options.ChkSendNewDataOnly = true;
    rig.image.value[7] = QStringLiteral("20");
    rig.image.changed[7] = true;
    rig.image.FileConfigID = fileId;
    if (imageId != 0)
        rig.image.imageConfigId = imageId;
    for (const MsgAnswer answer : answers)
        rig.dialogs.answers.enqueue(answer);

    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());

    QCOMPARE(rig.dialogs.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(rig.dialogs.messages.first().text, message);
    QCOMPARE(rig.Sent(Upload).size(), written ? 1 : 0);
    QCOMPARE(rig.Sent(ConfigEnable).size(), written ? 1 : 0);
    QCOMPARE(rig.image.value[7].isEmpty(), !imageKept);
    QVERIFY(!rig.engine.Window().visible);
}

void TestWriting::extendedBlocks_data()
{
    QTest::addColumn<int>("block"); // 6000 interpreter, 5000 frequency table, else the display block
    QTest::addColumn<int>("size");  // bytes, or channels of the frequency table
    QTest::addColumn<int>("packets");
    QTest::addColumn<int>("lastIndex");
    QTest::addColumn<int>("lastSubindex");
    QTest::addColumn<int>("units"); // progress steps of the block
    QTest::newRow("interpreter 2050 bytes") << 6000 << 2050 << 513 << 0x6002 << 0 << 512;
    QTest::newRow("texts 1030 bytes") << 4010 << 1030 << 258 << 0x4011 << 1 << 257;
    QTest::newRow("texts 1029 bytes, last byte alone") << 4010 << 1029 << 258 << 0x4011 << 1 << 257;
    QTest::newRow("text indices 9 bytes") << 4000 << 9 << 5 << 0x4000 << 4 << 4;
    QTest::newRow("display table 25 bytes") << 4200 << 25 << 25 << 0x4202 << 4 << 6;
    QTest::newRow("frequency table 67 channels") << 5000 << 67 << 69 << 0x5000 << 255 << 22;
}

void TestWriting::extendedBlocks()
{
    QFETCH(int, block);
    QFETCH(int, size);
    QFETCH(int, packets);
    QFETCH(int, lastIndex);
    QFETCH(int, lastSubindex);
    QFETCH(int, units);
    WriteRig rig;
    rig.authLevel = 40;
    rig.Read();
    rig.options.ChkSendNewDataOnly = true;
    ExtendedDataStore& store = rig.image.extended;
    const QByteArray data = Pattern(size);
    int bytesPerCell = 4;
    int subindexes = 256;
    if (block == 6000) {
        store.strInterperterImage = data;
    } else if (block == 5000) {
        store.FreqTable[0] = 434000000;
        for (int n = 1; n <= size; ++n)
            store.FreqTable[static_cast<std::size_t>(n)] = 433000000 + n * 25000;
        store.strFrequency_tableImage = QStringLiteral("k#433025000\r\n").repeated(7); // 91 characters
    } else {
        for (const DisplayBlock& display : DisplayBlocks()) {
            if (display.blockNumber == block) {
                store.*display.source = data;
                bytesPerCell = display.bytesPerPacket;
            }
        }
        if (block == DisplayTableBlock)
            subindexes = 10;
    }

    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());

    const int firstIndex = block == 6000 ? 0x6000 : BlockFirstIndex(block);
    QList<QByteArray> uploads = rig.Sent(Upload);
    QCOMPARE(uploads.size(), packets);
    QCOMPARE(PacketIndex(uploads.first()), firstIndex);
    QCOMPARE(PacketSubindex(uploads.first()), 0);
    QCOMPARE(PacketIndex(uploads.last()), lastIndex);
    QCOMPARE(PacketSubindex(uploads.last()), lastSubindex);
    QList<int> types = rig.Types();
    types.removeAll(DownloadRequest);
    types.removeAll(Upload);
    const QList<int> others = block == 6000 ? QList<int>{EraseIL2, ConfigEnable, FlashConfig} : QList<int>{ConfigEnable, FlashConfig};
    QCOMPARE(types, others);

    SimDevice& device = rig.line.Device();
    if (block == 5000) {
        for (int n = 0; n <= size; ++n)
            QCOMPARE(device.Cell(0x5000, n), PacketData(uploads[n]));
        QCOMPARE(device.Cell(0x5000, 68), QByteArray(4, '\xFF'));
        QCOMPARE(device.Cell(0x5000, 255), QByteArray(4, '\0'));
        QCOMPARE(PacketData(uploads[67]), Bytes({0x38, 0x9D, 0xE8, 0x19})); // 433000000 + 67 * 25000
    } else {
        QCOMPARE(device.BlockBytes(firstIndex, subindexes, bytesPerCell, size), data);
    }

    const QList<QString> messages{rig.dialogs.messages.first().text.left(20), rig.dialogs.messages.last().text};
    QCOMPARE(messages, (QList<QString>{QStringLiteral("Extended Data is to "), DeviceWrites::DoneText()}));
    QVERIFY(rig.image.extended.used); // level 40 uses it up
    bool scaled = false;
    bool preparing = false;
    bool sending = false;
    for (const TransferWindowState& window : rig.views.windows) {
        scaled = scaled || window.ProgressBar2Max == units + 5;
        preparing = preparing || window.lblText2 == u"preparing data ...";
        sending = sending || window.lblText2 == u"sending data  ...";
    }
    QVERIFY(scaled);
    QVERIFY(preparing);
    QVERIFY(sending);
    QVERIFY(!rig.engine.Window().visible);
    QCOMPARE(rig.engine.Progress().TotalSendLength, 0);
}

void TestWriting::cancelAndUsingUp_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("eraseAfterWrite");
    QTest::addColumn<bool>("usedUp");
    QTest::newRow("level 30") << 30 << false << true;
    QTest::newRow("level 50 never") << 50 << true << false;
    QTest::newRow("level 60 without the option") << 60 << false << false;
    QTest::newRow("level 60 with the option") << 60 << true << true;
}

void TestWriting::cancelAndUsingUp()
{
    QFETCH(int, level);
    QFETCH(bool, eraseAfterWrite);
    QFETCH(bool, usedUp);
    WriteRig rig;
    rig.authLevel = level;
    rig.Read();
    rig.options.ChkEraseStringsAfterWrite = eraseAfterWrite;
    rig.image.extended.strTextsImage = Pattern(1030);
    rig.image.extended.displayPresent = true;
    rig.image.labels.lblConfigFileName = QStringLiteral("crane.scd");
    rig.dialogs.answers.enqueue(MsgAnswer::Cancel);

    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());

    QVERIFY(rig.Sent(Upload).isEmpty());
    QVERIFY(rig.Sent(ConfigEnable).isEmpty());
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QCOMPARE(rig.dialogs.messages.last().text, DeviceWrites::DoneText());
    QCOMPARE(rig.image.extended.used, usedUp);
    QCOMPARE(rig.image.extended.displayPresent, !usedUp);
    QCOMPARE(rig.image.labels.lblConfigFileName.isEmpty(), usedUp);
    QCOMPARE(rig.image.extended.strTextsImage.size(), 1030); // kept in memory

    // Once used up, Write does nothing until a file brings extended data again.
    rig.dialogs.answers.enqueue(MsgAnswer::Cancel);
    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());
    QCOMPARE(rig.dialogs.messages.size(), usedUp ? 2 : 4);
    QVERIFY(rig.Sent(Upload).isEmpty());
}

void TestWriting::deviceFallsSilentInABlock()
{
    WriteRig rig;
    rig.authLevel = 40;
    rig.Read();
    rig.options.ChkSendNewDataOnly = true;
    rig.image.value[7] = QStringLiteral("20");
    rig.image.changed[7] = true;
    rig.image.extended.strInterperterImage = Pattern(2050);
    rig.image.extended.strTextsImage = Pattern(1030);
    // Deaf to exactly one packet, the first of the interpreter's second page.
    rig.engineViews.beforeSend = [&rig] {
        const QByteArray& packet = rig.engine.State().TxCurrent;
        rig.line.Faults().Silent = PacketType(packet) == Upload && PacketIndex(packet) == 0x6001 && PacketSubindex(packet) == 0;
    };
    const int restarts = rig.line.Device().RestartCount();

    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());

    QStringList texts;
    for (const auto& message : rig.dialogs.messages)
        texts << message.text.left(16);
    QCOMPARE(texts, (QStringList{QStringLiteral("Extended Data is"), QStringLiteral("T I M E O U T  !"), DeviceWrites::DoneText().left(16)}));
    SimDevice& device = rig.line.Device();
    QCOMPARE(device.UsedCells(0x6000, 0x6000), 256);
    QCOMPARE(device.UsedCells(0x6001, 0x6FFF), 0);
    QCOMPARE(device.BlockBytes(0x4010, 256, 4, 1030), Pattern(1030));
    QCOMPARE(device.FlashedCell(0x2203, 0), Bytes({20, 0, 0, 0}));
    // The rest of the interpreter was dropped; the texts went out whole, then the parameters.
    const QList<QByteArray> requests = device.Requests();
    QCOMPARE(IndexOf(requests, 0x6001, 0), -1); // never heard
    const int lastInterpreter = IndexOf(requests, 0x6000, 255);
    const int firstText = IndexOf(requests, 0x4010, 0);
    QVERIFY(lastInterpreter > 0);
    QCOMPARE(IndexOf(requests, 0x4011, 1) - firstText, 257);
    QVERIFY(firstText > lastInterpreter);
    QCOMPARE(PacketType(requests.at(firstText + 258)), int(ConfigEnable));
    // The reset the lost answer left pending was done between the blocks, not inside one.
    QCOMPARE(device.RestartCount() - restarts, 4);
}

void TestWriting::clicksDuringAWriteAreIgnored()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("xtest.bin")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("abcdefgh");
    file.close();
    WriteRig rig;
    rig.authLevel = 40;
    rig.Read();
    rig.options.ChkSendNewDataOnly = true;
    rig.image.extended.strTextsImage = Pattern(1030);
    bool clicked = false;
    rig.engineViews.beforeSend = [&] {
        const QByteArray& packet = rig.engine.State().TxCurrent;
        if (clicked || PacketIndex(packet) != 0x4010 || PacketSubindex(packet) != 100)
            return;
        clicked = true;
        rig.clock.Schedule(1, [&] {
            rig.writes.cmdConfigWrite_Click();
            rig.transfers.cmdRead_Click();
            rig.transfers.cmdInfoRead_Click();
            rig.transfers.cmdIR_Click();
            rig.transfers.cmdRedetectDevice_Click();
            rig.writes.cmd_int_write_Click(folder.path());
        });
    };

    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());

    QVERIFY(clicked);
    QList<int> types = rig.Types();
    types.removeFirst(); // the detection's two requests
    types.removeFirst();
    QCOMPARE(types, QList<int>(258, Upload) << ConfigEnable << FlashConfig);
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QCOMPARE(rig.line.Device().BlockBytes(0x4010, 256, 4, 1030), Pattern(1030));
}

void TestWriting::readBackAfterWrite()
{
    WriteRig rig;
    rig.authLevel = 60;
    rig.Read();
    const QList<QPair<int, QString>> edits{{2, QStringLiteral("4321")},  {3, QStringLiteral("250")},
                                           {7, QStringLiteral("20")},    {14, QStringLiteral("01.02.2016")},
                                           {15, QStringLiteral("20161234")}, {17, QStringLiteral("-3")},
                                           {19, QStringLiteral("-7")},   {20, QStringLiteral("12")},
                                           {30, QStringLiteral("-100")}, {57, QStringLiteral("1000")}};
    for (const auto& [nr, text] : edits)
        rig.image.value[nr] = text;
    const ParamArray<QString> written = rig.image.value;
    const int restarts = rig.line.Device().RestartCount();

    rig.writes.cmdConfigWrite_Click();
    QVERIFY(rig.RunUntilIdle());
    QVERIFY(rig.line.Device().RestartCount() > restarts); // the automatic reset reloaded the flash
    rig.transfers.cmdRead_Click();
    QVERIFY(rig.RunUntilIdle());

    for (int nr = 1; nr <= ParamCount; ++nr)
        QCOMPARE(rig.image.value[nr], written[nr]);

    // An Upload outside ConfigEnable..FlashConfig reads back at once but does not survive a reset.
    rig.engine.Reset().DisAutoRes = true;
    rig.engine.Reset().check01 = true;
    rig.engine.SendPacket(Upload, 0x2203, 0, Bytes({5}));
    rig.engine.State().TransferActive = true;
    QVERIFY(rig.RunUntilIdle());
    QCOMPARE(rig.line.Device().Cell(0x2203, 0), Bytes({5, 0, 0, 0}));
    rig.port.ResetDevice();
    QCOMPARE(rig.line.Device().Cell(0x2203, 0), Bytes({20, 0, 0, 0}));
}

void TestWriting::writeInterpreterButton_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QString>("message");
    QTest::newRow("five bytes") << QByteArray("abcde") << QString();
    QTest::newRow("no file") << QByteArray() << "was not found.";
    QTest::newRow("empty file") << QByteArray("") << "is empty.";
}

void TestWriting::writeInterpreterButton()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (!content.isNull()) {
        QFile file(folder.filePath(QStringLiteral("xtest.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    WriteRig rig;
    rig.Connect();

    rig.writes.cmd_int_write_Click(folder.path());
    QVERIFY(rig.RunUntilIdle());

    if (!message.isEmpty()) {
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY(rig.dialogs.messages.first().text.endsWith(message));
        QVERIFY(rig.line.Device().Requests().isEmpty());
        return;
    }
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.Types(), (QList<int>{EraseIL2, Upload, Upload}));
    QCOMPARE(rig.Sent(Upload), (QList{MakePacket(Upload, 0x6000, 0, "abcd"), MakePacket(Upload, 0x6000, 1, "e")}));
    QCOMPARE(rig.line.Device().BlockBytes(0x6000, 256, 4, 8), QByteArray("abcde\0\0\0", 8));
    QCOMPARE(rig.line.Device().UsedCells(0x6000, 0x6FFF), 2); // the old interpreter is erased
}

void TestWriting::germanTexts()
{
    UiLanguage lang;
    lang.Set(Language::German);
    QCOMPARE(DeviceWrites::DoneText(), QStringLiteral("       Fertig!     "));
    QCOMPARE(ExtendedDataWriter::PreparingText(), QStringLiteral("Daten werden vorbereitet ..."));
    QCOMPARE(ExtendedDataWriter::SendingText(), QStringLiteral("Daten werden gesendet ..."));
}

QTEST_GUILESS_MAIN(TestWriting)
#include "tst_writing.moc"
