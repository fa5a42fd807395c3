#include "link/packet_codec.h"
#include "link/transmit_engine.h"
#include "support/test_data.h"

#include <QTest>

using namespace tunekit;
using tunekit::testing::Bytes;

class TestPacketCodec : public QObject {
    Q_OBJECT
private slots:
    void queuedPacketsAndTheirFrames_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("subindex");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("empty data padded") << 0x10 << 0x2000 << 0 << QByteArray() << QByteArray("@1000200000000000CF\r");
        QTest::newRow("six data bytes cut to four") << 0x12 << 0x2101 << 0 << Bytes({1, 2, 3, 4, 5, 6}) << QByteArray("@1201210001020304C1\r");
        QTest::newRow("index little-endian") << 0x12 << 0x5000 << 3 << Bytes({0xAA}) << QByteArray("@12005003AA000000EF\r");
        QTest::newRow("only bits 0..15 of the index") << 0x10 << 0x12345 << 0 << QByteArray() << QByteArray("@104523000000000087\r");
        // (-1 div 256) truncates toward zero to 0, so the high byte is 0, not 0xFF.
        QTest::newRow("negative index") << 0x10 << -1 << 0 << QByteArray() << QByteArray("@10FF000000000000EF\r");
        QTest::newRow("sum wraps twice") << 0x12 << 0x1001 << 2 << Bytes({0xFF, 0xFF, 0x00, 0x80}) << QByteArray("@12011002FFFF00805A\r");
        QTest::newRow("all zero") << 0 << 0 << 0 << QByteArray() << QByteArray("@0000000000000000FF\r");
        QTest::newRow("all 0xFF") << 0xFF << 0xFFFF << 0xFF << QByteArray(4, '\xFF') << QByteArray("@FFFFFFFFFFFFFFFF00\r");
    }

    void queuedPacketsAndTheirFrames()
    {
        QFETCH(int, type);
        QFETCH(int, index);
        QFETCH(int, subindex);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, frame);
        TransmitEngine engine;
        engine.SendPacket(static_cast<std::uint8_t>(type), index, static_cast<std::uint8_t>(subindex), data);
        engine.SendPacket(DownloadRequest, 0x2000, 0);
        QCOMPARE(engine.State().TxQueue.Length(), 16);
        QVERIFY(!engine.State().TransferActive); // queuing alone never starts a transfer
        const QByteArray packet = engine.State().TxQueue.Front();
        QCOMPARE(EncodeFrame(packet), frame);
        QVERIFY(FrameIntact(frame));
        QCOMPARE(DecodeFrame(frame.chopped(1) + 'X'), packet); // the 20th character is not looked at
    }

    void decodeFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("19 characters") << QByteArray("@1000200000000000CF") << QByteArray();
        QTest::newRow("21 characters") << QByteArray("@1000200000000000CF\r\r") << QByteArray();
        QTest::newRow("no @") << QByteArray("#1000200000000000CF\r") << QByteArray();
        // Decoded, but not intact: the receive path does not use it.
        QTest::newRow("wrong checksum decoded") << QByteArray("@110020000500000000\r") << Bytes({0x11, 0, 0x20, 0, 5, 0, 0, 0});
        QTest::newRow("lower-case hex") << QByteArray("@11002000ff000000cf\r") << Bytes({0x11, 0, 0x20, 0, 0xFF, 0, 0, 0});
        QTest::newRow("non-hex data pair") << QByteArray("@11002000G5000000CF\r") << QByteArray();
        QTest::newRow("non-hex checksum pair") << QByteArray("@1100200005000000Z!\r") << QByteArray();
        QTest::newRow("high bytes") << QByteArray("@\xFF\xFE\x80\x81" "00000000000000\r") << QByteArray();
    }

    void decodeFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, packet);
        QCOMPARE(DecodeFrame(frame), packet);
        QVERIFY(!FrameIntact(frame));
    }

    void assemblerFindsEveryFrame_data()
    {
        const QByteArray a("@1000200000000000CF\r");
        const QByteArray b("@1100200005000000C9\r");
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QList<bool>>("intact");
        QTest::addColumn<QByteArray>("pending");
        QTest::newRow("two frames in one chunk") << QList{a + b} << QList{a, b} << QList{true, true} << QByteArray();
        QTest::newRow("line break after a frame") << QList{a + "\n", b} << QList{a, b} << QList{true, true} << QByteArray();
        QTest::newRow("stray @ before a frame") << QList<QByteArray>{"@" + a} << QList{a} << QList{true} << QByteArray();
        QTest::newRow("7 + 13") << QList{a.first(7), a.sliced(7)} << QList{a} << QList{true} << QByteArray();
        QTest::newRow("start of the next kept") << QList{a + b.first(5)} << QList{a} << QList{true} << b.first(5);
        QTest::newRow("one character at a time") << QList<QByteArray>{"x", "@", "1", b.sliced(2)} << QList{b} << QList{true} << QByteArray();
        QTest::newRow("noise only") << QList<QByteArray>{"\r\nxyz\x00\xff"} << QList<QByteArray>{} << QList<bool>{} << QByteArray();
        QTest::newRow("CR too early") << QList{a.first(10) + "\r" + b} << QList{b} << QList{true} << QByteArray();
        QTest::newRow("no CR in place") << QList{a.chopped(1) + "0\r"} << QList<QByteArray>{} << QList<bool>{} << QByteArray();
        QTest::newRow("flipped digit") << QList<QByteArray>{"@1100200035000000C9\r"} << QList<QByteArray>{"@1100200035000000C9\r"}
                                       << QList{false} << QByteArray();
    }

    void assemblerFindsEveryFrame()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QList<bool>, intact);
        QFETCH(QByteArray, pending);
        FrameAssembler assembler;
        QList<QByteArray> found;
        QList<bool> good;
        for (const QByteArray& chunk : chunks) {
            for (const FrameAssembler::Frame& frame : assembler.Feed(chunk)) {
                found << frame.text;
                good << frame.intact;
            }
        }
        QCOMPARE(found, frames);
        QCOMPARE(good, intact);
        QCOMPARE(assembler.Pending(), pending);
    }

    void encodeDecodeRoundTripsEveryByte()
    {
        for (int b = 0; b < 256; ++b) {
            const QByteArray packet = MakePacket(static_cast<std::uint8_t>(b), b * 257, static_cast<std::uint8_t>(255 - b),
                                                 QByteArray(4, static_cast<char>(b)));
            const QByteArray frame = EncodeFrame(packet);
            QCOMPARE(frame.size(), FrameSize);
            QCOMPARE(DecodeFrame(frame), packet);
            QCOMPARE(PacketType(packet), b);
        }
        QCOMPARE(PacketType(QByteArray()), 0);
        // The names show in write failures; codes outside 0..255 are no names.
        QCOMPARE(PacketTypeName(0xFE), QLatin1StringView("ChkError"));
        QCOMPARE(PacketTypeName(0x22), QLatin1StringView("unknown"));
        QCOMPARE(PacketTypeName(-1), QLatin1StringView("unknown"));
    }

    void queueTakesPacketsInOrderWithoutLosingAny()
    {
        // Long enough to pass the point where the queue reclaims its consumed front.
        TransmitEngine engine;
        constexpr int count = 16000;
        for (int i = 0; i < count; ++i)
            engine.SendPacket(DownloadRequest, i, static_cast<std::uint8_t>(i & 0xFF));
        auto& queue = engine.State().TxQueue;
        for (int i = 0; i < count; ++i) {
            QCOMPARE(queue.Length(), qsizetype(8) * (count - i));
            QCOMPARE(PacketIndex(queue.Front()), i & 0xFFFF);
            QCOMPARE(PacketSubindex(queue.Front()), i & 0xFF);
            queue.DropFront();
        }
        QCOMPARE(queue.Front(), QByteArray());
        queue.DropFront(); // harmless on an empty queue
        QCOMPARE(queue.Length(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPacketCodec)
#include "tst_packet_codec.moc"
