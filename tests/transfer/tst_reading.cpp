// Reading, detection and the information reads against the simulated transmitter, in
// virtual time; the response decoder also on hand-made packets.
#include "base/language.h"
#include "params/config_defines.h"
#include "support/transfer_rig.h"
#include "transfer/device_detection.h"

#include <QTest>

using namespace tunekit;
using namespace tunekit::testing;

using Request = QPair<int, int>; // index, subindex

class TestReading : public QObject {
    Q_OBJECT
private slots:
    void fullRead_data()
    {
        QTest::addColumn<int>("configId");
        QTest::addColumn<bool>("resetBeforeTransmit");
        QTest::addColumn<int>("extraDelayMs");
        QTest::newRow("ConfigID 53") << 53 << false << 0;
        QTest::newRow("reset before transmit, select only in the 300 ms wait") << 53 << true << 150;
        QTest::newRow("ConfigID 5") << 5 << false << 0;
    }

    void fullRead()
    {
        QFETCH(int, configId);
        QFETCH(bool, resetBeforeTransmit);
        QFETCH(int, extraDelayMs);
        TransferRig rig(configId);
        rig.Detect();
        rig.options.chkResetBeforeTransmit = resetBeforeTransmit;
        rig.line.Faults().ExtraDelayMs = extraDelayMs;
        rig.image.changed[7] = true;
        const int restarts = rig.line.Device().RestartCount();

        // Clicks while the read still queues and waits, then while its batch is being sent, are ignored.
        rig.clock.Schedule(5, [&] {
            rig.transfers.cmdRead_Click();
            rig.transfers.cmdInfoRead_Click();
            rig.transfers.cmdIR_Click();
            rig.transfers.cmdRedetectDevice_Click();
        });
        rig.transfers.cmdRead_Click();
        rig.transfers.cmdRead_Click();
        QVERIFY(rig.engine.Window().visible);
        QCOMPARE(rig.engine.Window().lblText, QStringLiteral("data transfer..."));
        QCOMPARE(rig.views.windows.first().ProgressBar2Max, 62);
        QVERIFY(rig.RunUntilIdle());
        QVERIFY(rig.dialogs.messages.isEmpty());
        QVERIFY(!rig.engine.Window().visible);

        QList<Request> expected{{0x2401, 0}};
        for (int nr = 1; nr <= ParamCount; ++nr) {
            if (IsApplicable(nr, configId))
                expected << Request{FindConfigDefine(nr).HexAdd, FindConfigDefine(nr).SubAdd};
        }
        expected << Request{0x1004, 0} << Request{0x1004, 1} << Request{0x1004, 2} << Request{0x1004, 3} << Request{0x1101, 0};
        for (int sub = 2; sub <= 7; ++sub)
            expected << Request{0x6000, sub};
        QCOMPARE(rig.Requests(), expected);
        QCOMPARE(rig.views.refreshes, expected.size());
        QCOMPARE(rig.line.Device().RestartCount() - restarts, resetBeforeTransmit ? 3 : 1);
        QVERIFY(rig.views.buttonsEnabled.isEmpty());

        const DeviceImage& image = rig.image;
        for (int nr = 1; nr <= ParamCount; ++nr)
            QVERIFY2(image.value[nr].isEmpty() != IsApplicable(nr, configId), qPrintable(QString::number(nr)));
        const QList<QPair<int, QString>> values{{2, "1234"}, {3, "254"}, {4, "0"}, {14, "31.12.2014"}, {15, "20140001"},
                                                {16, "1"}, {17, "2"}, {19, "-5"}, {20, "3"}, {30, "-95"}};
        for (const auto& [nr, value] : values)
            QCOMPARE(image.value[nr], value);
        QVERIFY(!image.changed[7]);
        QCOMPARE(image.imageConfigId, qint16(configId));
        QCOMPARE(image.labels.lblcfid, QStringLiteral("ConfigID = %1").arg(configId));
        QCOMPARE(image.labels.lblInfo[3], QStringLiteral("HS4 HVX-TX"));
        QCOMPARE(image.labels.lblInfo[4], QStringLiteral("300:07:05"));
        QCOMPARE(image.labels.lblOpHours, QStringLiteral("300 h 07 min"));
    }

    void decodesParameterCells_data()
    {
        QTest::addColumn<int>("nr");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("value");
        // Ordinary values of each kind are read whole in fullRead; here the edges.
        QTest::newRow("FreqComp raw 0") << 17 << QByteArray::fromHex("00000000") << QStringLiteral("-10");
        QTest::newRow("FreqComp erased") << 17 << QByteArray::fromHex("ff000000") << QStringLiteral("255");
        QTest::newRow("PhaseComp byte 1") << 20 << QByteArray::fromHex("fbfe0000") << QStringLiteral("-2");
        QTest::newRow("date month 0") << 14 << QByteArray::fromHex("1f000e00") << QString();
        QTest::newRow("32-bit erased") << 15 << QByteArray::fromHex("ffffffff") << QStringLiteral("-1");
    }

    void decodesParameterCells()
    {
        QFETCH(int, nr);
        QFETCH(QByteArray, data);
        QFETCH(QString, value);
        DeviceImage image;
        image.deviceConfigId = 53;
        image.UpdateApplicable();
        ReadState state;
        const ConfigDefine& define = FindConfigDefine(nr);
        const auto answer = [&](const QByteArray& bytes) {
            DecodeDownloadResponse(MakePacket(DownloadResponse, define.HexAdd, static_cast<std::uint8_t>(define.SubAdd), bytes),
                                   state, image);
        };
        answer(data);
        QCOMPARE(image.value[nr], value);
        QCOMPARE(image.received[nr], !value.isEmpty());
        answer(QByteArray::fromHex("0a0b0c0d")); // a further answer for the cell changes a received value no more
        if (!value.isEmpty())
            QCOMPARE(image.value[nr], value);
    }

    void textChunksLandInPlace()
    {
        QByteArray text = AppendTextChunk("old text that is long", 0, "V2.1");
        QCOMPARE(text, QByteArray("V2.1"));
        text = AppendTextChunk(text, 2, QByteArray("15\0\0", 4)); // before subindex 1
        QCOMPARE(text, QByteArray("V2.1    15\0", 11));
        text = AppendTextChunk(text, 1, "3-26");
        QCOMPARE(text, QByteArray("V2.13-26"));
        QCOMPARE(VisibleText(QByteArray("HVX\0", 4)), QStringLiteral("HVX"));
    }

    void informationReads_data()
    {
        QTest::addColumn<int>("select");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("built");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("source");
        QTest::newRow("flash, level 30") << 1 << 0x6000 << QStringLiteral("SIM-CRANE-V1.4") << QStringLiteral("09:15:30  5.3.2014") << 30
                                         << QStringLiteral("-");
        QTest::newRow("image 1, level 40") << 3 << 0x7101 << QStringLiteral("SIM-DOZER-V3.1") << QStringLiteral("16:45:00  26.2.2015")
                                           << 40 << QStringLiteral("Tunekit simulated hand-held transmitter, firmware HS4 V2.13");
    }

    void informationReads()
    {
        QFETCH(int, select);
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, built);
        QFETCH(int, level);
        QFETCH(QString, source);
        TransferRig rig(5);
        rig.line.Device().SetInterpreterSelect(select);
        rig.Detect();
        rig.authLevel = static_cast<qint16>(level);
        const ImageLabels& labels = rig.image.labels;

        // A read asks for the name only, so there is no build time to show yet.
        rig.transfers.cmdRead_Click();
        QVERIFY(rig.RunUntilIdle());
        QCOMPARE(rig.Subindexes(index), (QList<int>{2, 3, 4, 5, 6, 7}));
        QCOMPARE(labels.lblInfo[6], QStringLiteral("???"));
        QVERIFY(labels.ActualInterpreterName.isEmpty());

        // The information read: the source text only from level 40 on.
        rig.transfers.cmdInfoRead_Click();
        QVERIFY(rig.RunUntilIdle());
        QCOMPARE(rig.Subindexes(0x1001).size(), level >= 40 ? 65 : 0);
        QCOMPARE(labels.txtSource, source);
        QCOMPARE(labels.lblInfo[1], QStringLiteral("V2.13"));
        QCOMPARE(labels.lblInfo[2], QStringLiteral("26.02.2015"));
        QCOMPARE(labels.lblInfo[6], name);
        QCOMPARE(labels.lblInfo[7], built);

        rig.line.Device().ClearRequests();
        rig.transfers.cmdIR_Click();
        QVERIFY(rig.RunUntilIdle());
        QCOMPARE(rig.Subindexes(index), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(labels.lblInfo[5], QString::number(select));
        QCOMPARE(labels.ActualInterpreterName, name);
        QCOMPARE(labels.ActualInterpreterDate, QString(built).replace(QStringLiteral("  "), QStringLiteral("/")));
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
            language.Set(Language::German);
        TransferRig rig(53);
        rig.Detect();
        rig.line.Device().SetCell(0x2000, 0, QByteArray(1, static_cast<char>(configId)));
        rig.line.Faults().Silent = silent;
        rig.transfers.cmdRedetectDevice_Click();
        rig.clock.RunFor(5000);

        const bool found = !silent && configId != 0;
        QCOMPARE(rig.image.deviceConfigId, qint16(found ? configId : 0));
        QCOMPARE(rig.engine.State().SuppressTimeoutMessage, !found); // the time-out stays silent
        QCOMPARE(rig.views.buttonsEnabled, (QList<bool>{false, true}));
        if (found) {
            // The marks are recomputed for the family found.
            QCOMPARE(rig.image.imageConfigId, qint16(configId));
            QCOMPARE(rig.image.applicable, ApplicableMarks(configId));
            QCOMPARE(rig.views.tableRefreshes, 1);
            QVERIFY(rig.dialogs.messages.isEmpty());
            return;
        }
        QCOMPARE(rig.dialogs.messages.size(), 1);
        const auto& message = rig.dialogs.messages.first();
        QCOMPARE(message.text, german ? QStringLiteral("Gerät nicht gefunden.\r\nBitte serielle Verbindung prüfen! ")
                                      : QStringLiteral("Device not detected.\r\nPlease check your serial connection! "));
        QCOMPARE(message.title, german ? QStringLiteral("Fehler") : QStringLiteral("Error"));
        QCOMPARE(message.buttons, MsgButtons::Ok);

        // Read refuses to read and detects again instead.
        rig.line.Device().ClearRequests();
        rig.transfers.cmdRead_Click();
        rig.clock.RunFor(5000);
        QCOMPARE(rig.dialogs.messages.size(), 2);
        QCOMPARE(rig.Requests(), silent ? QList<Request>{} : (QList<Request>{{0x2000, 0}, {0x2401, 0}}));
    }
};

QTEST_GUILESS_MAIN(TestReading)
#include "tst_reading.moc"
