#include "link/packet_codec.h"
#include "params/config_defines.h"
#include "params/device_image.h"
#include "sim/firmware_parameters.h"
#include "sim/sim_device.h"
#include "sim/sim_line.h"
#include "sim/sim_link.h"
#include "sim/sim_switches.h"
#include "sim/virtual_clock.h"
#include "transfer/download_response.h"

#include <QDate>
#include <QProcess>

#include <csignal>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

using namespace tunekit;

Q_DECLARE_METATYPE(tunekit::SimFaults)

namespace {

QByteArray frame(int type, int index, int subindex, const QByteArray& data = {})
{
    return encodeFrame(makePacket(static_cast<std::uint8_t>(type), index, static_cast<std::uint8_t>(subindex), data));
}

QByteArray joined(const QList<SimChunk>& chunks)
{
    QByteArray bytes;
    for (const SimChunk& chunk : chunks)
        bytes += chunk.bytes;
    return bytes;
}

// Asks over a real serial port for a cell (the ConfigID's unless told); returns the answer frame.
QByteArray askConfigId(const QString& path, int index = 0x2000, int limitMs = 5000)
{
    QSerialPort port(path);
    if (!port.open(QIODevice::ReadWrite) || !port.setBaudRate(38400))
        return "open failed: " + port.errorString().toUtf8();
    QSignalSpy readyRead(&port, &QSerialPort::readyRead);
    port.write(frame(DownloadRequest, index, 0));
    QByteArray answer;
    for (QDeadlineTimer deadline(limitMs); answer.size() < FrameSize && !deadline.hasExpired(); answer += port.readAll())
        readyRead.wait(100);
    return answer;
}

struct Rig {
    SimDevice device;
    SimLink link{device};
};

} // namespace

class TestSimDevice : public QObject {
    Q_OBJECT
private slots:
    // Requests 20 ms apart; the last one's answer is checked (type -1: no answer).
    void answers_data()
    {
        QTest::addColumn<QList<QByteArray>>("requests");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("data");
        const auto row = [](const char* name, const QList<QByteArray>& requests, int type, const QByteArray& data) {
            QTest::newRow(name) << requests << type << data;
        };
        const QByteArray zero(4, '\0');
        const QByteArray configId = frame(DownloadRequest, 0x2000, 0);
        const QByteArray read2203 = frame(DownloadRequest, 0x2203, 0);
        const QByteArray upload2203 = frame(Upload, 0x2203, 0, "\x11\x22\x33\x44");
        row("ConfigID", {configId}, 0x11, QByteArray::fromHex("05000000"));
        row("erased cell", {frame(DownloadRequest, 0x2999, 7)}, 0x11, QByteArray(4, '\xFF'));
        row("echo", {frame(EchoRequest, 0x1234, 5, "abcd")}, 0x01, "abcd");
        row("upload", {frame(Upload, 0x2203, 0, "\x1c")}, 0x13, QByteArray::fromHex("1c000000"));
        row("short upload padded", {frame(Upload, 0x4010, 3, "ab"), frame(DownloadRequest, 0x4010, 3)}, 0x11, QByteArray("ab\0\0", 4));
        row("upload read-only", {frame(Upload, 0x1101, 0)}, 0xFD, zero);
        row("information stays", {frame(Upload, 0x1004, 0, "XXXX"), frame(DownloadRequest, 0x1004, 0)}, 0x11, "HS4 ");
        row("erase keeps parameters", {frame(EraseIL2, 0, 0), read2203}, 0x11, QByteArray("\x1b\0\0\0", 4));
        row("InitDefault restores", {upload2203, frame(InitDefault, 0, 0), read2203}, 0x11, QByteArray("\x1b\0\0\0", 4));
        row("InitDefault keeps ConfigID", {frame(InitDefault, 0, 0), configId}, 0x11, QByteArray::fromHex("05000000"));
        row("bad checksum writes nothing", {upload2203.first(17) + "00\r", read2203}, 0x11, QByteArray("\x1b\0\0\0", 4));
        // Commands: ConfigEnable and Reset are echoed, the others answered by their completion.
        for (const auto& [command, done] : {std::pair{0x21, 0x21}, {0x14, 0x15}, {0x16, 0x17}, {0x18, 0x19},
                                            {0x1A, 0x1B}, {0x1D, 0x1E}, {0x1F, 0x1F}})
            QTest::addRow("command %02x", command) << QList{frame(command, 0, 0)} << done << zero;
        row("LockFreq unknown", {frame(LockFreq, 0, 0)}, 0xFF, QByteArray::fromHex("20000000"));
        row("wrong checksum", {configId.first(18) + "E\r"}, 0xFE, zero); // checksum CF -> CE
        row("restart at second @", {"@1000" + configId}, 0x11, QByteArray::fromHex("05000000"));
        row("too short", {"@10002000\r"}, -1, {});
        row("no CR", {configId.chopped(1) + "0\r"}, -1, {});
        row("not hex", {"@10002000000000ZZCF\r"}, -1, {});
    }

    void answers()
    {
        QFETCH(QList<QByteArray>, requests);
        QFETCH(int, type);
        QFETCH(QByteArray, data);
        Rig rig;
        for (qsizetype i = 0; i + 1 < requests.size(); ++i)
            QCOMPARE(rig.link.feed(requests[i], i * 20'000).size(), 1);
        const QByteArray request = requests.last();
        const QByteArray answer = joined(rig.link.feed(request, requests.size() * 20'000));
        // The whole frame, its checksum included, for the address the request named.
        const QByteArray sent = decodeFrame(request.sliced(request.lastIndexOf('@')));
        QCOMPARE(answer, type < 0 ? QByteArray() : frame(type, packetIndex(sent), packetSubindex(sent), data));
    }

    // The dictionary beside the firmware's own table: for every family the same parameters, each
    // read by the program's own decoding to the value the firmware holds. "marked" first gives
    // every plain parameter a value of its own that fills all its bytes, so that a slip onto a
    // neighbour that happens to hold the same factory value fails too.
    void dictionaryReadsFirmwareMemory_data()
    {
        QTest::addColumn<int>("configId");
        QTest::addColumn<bool>("marked");
        for (const TransmitterFamily& family : TransmitterFamilies) {
            const int configId = family.configId;
            if (!isTransmitterFamily(configId))
                continue;
            QTest::addRow("ConfigID %d", configId) << configId << false;
            QTest::addRow("ConfigID %d marked", configId) << configId << true;
        }
    }

    void dictionaryReadsFirmwareMemory()
    {
        QFETCH(int, configId);
        QFETCH(bool, marked);
        SimDevice device(configId);
        QStringList firmware;
        qint64 mark = 0;
        for (const FirmwareParameter& parameter : firmwareParameters()) {
            if (!parameter.families.contains(configId))
                continue;
            qint64 value = parameter.factoryValue;
            if (marked && parameter.coding == CellCoding::Binary) {
                value = ++mark * (Q_INT64_C(0x01010101) & ((Q_INT64_C(1) << 8 * parameter.width) - 1));
                device.setCell(parameter.index, parameter.subindex,
                               cellWithValue(device.cell(parameter.index, parameter.subindex), parameter, value));
            }
            const QString text = parameter.coding == CellCoding::DayMonthYear
                                     ? QDate(int(value / 10000), int(value / 100 % 100), int(value % 100)).toString(u"dd.MM.yyyy")
                                     : QString::number(value);
            firmware << QString::fromLatin1(parameter.name) + u'=' + text;
        }

        // As a read does: the family cell, then every parameter the dictionary gives the family.
        DeviceImage image;
        ReadState state;
        const auto read = [&](int index, int subindex) {
            const QByteArray request = makePacket(DownloadRequest, index, static_cast<std::uint8_t>(subindex));
            decodeDownloadResponse(device.answer(request), state, image);
        };
        read(FamilyCellIndex, 0);
        QCOMPARE(int(image.deviceConfigId), configId);
        for (int nr = 2; nr <= ParamCount; ++nr) {
            if (image.applicable[nr])
                read(findConfigDefine(nr).index, findConfigDefine(nr).subindex);
        }
        QStringList dictionary;
        for (int nr = 2; nr <= ParamCount; ++nr) {
            if (image.applicable[nr])
                dictionary << findConfigDefine(nr).name.toString() + u'=' + image.value[nr];
        }
        firmware.sort();
        dictionary.sort();
        QCOMPARE(dictionary, firmware);
    }

    void answersArePacedAtLineSpeed()
    {
        Rig rig;
        // 20 request characters of 260.4 us, processing and the extra delay, 20 answer characters.
        rig.link.faults().extraDelayMs = 5;
        const QList<SimChunk> one = rig.link.feed(frame(DownloadRequest, 0x2000, 0), 1'000'000);
        QCOMPARE(one.size(), 1);
        QCOMPARE(one[0].atUs, 1'000'000 + 5209 + SimLink::ProcessingUs + 5000 + 5209);

        // 100 requests written at once: the answers follow back to back without drifting from
        // 38400 baud, and no answer overtakes another.
        rig.link.faults().extraDelayMs = 0;
        QByteArray burst;
        for (int i = 0; i < 100; ++i)
            burst += frame(DownloadRequest, 0x2000 + i, 0);
        const QList<SimChunk> many = rig.link.feed(burst, 10'000'000);
        QCOMPARE(many.size(), 100);
        for (qsizetype i = 1; i < many.size(); ++i)
            QVERIFY(many[i].atUs > many[i - 1].atUs);
        QCOMPARE(many.last().atUs, 10'000'000 + 5209 + SimLink::ProcessingUs + SimLink::wireUs(2000));
    }

    void faults_data()
    {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<QList<int>>("chunkSizes");
        QTest::addColumn<int>("responses");
        const auto with = [](auto set) {
            SimFaults faults;
            set(faults);
            return faults;
        };
        QTest::newRow("none") << SimFaults{} << QList{20, 20, 20, 20} << 4;
        QTest::newRow("silent") << with([](SimFaults& f) { f.silent = true; }) << QList<int>{} << 0;
        QTest::newRow("split 7 + 13") << with([](SimFaults& f) { f.splitAfter = 7; }) << QList{7, 13, 7, 13, 7, 13, 7, 13}
                                      << 4;
        QTest::newRow("drop every 2nd") << with([](SimFaults& f) { f.dropEvery = 2; }) << QList{20, 20} << 2;
        QTest::newRow("garbage") << with([](SimFaults& f) { f.garbage = true; }) << QList{20, 20, 20, 20} << 0;
        QTest::newRow("all lost") << with([](SimFaults& f) { f.loseRate = 1; }) << QList<int>{} << 0;
        QTest::newRow("all corrupted") << with([](SimFaults& f) { f.corruptRate = 1; }) << QList{20, 20, 20, 20} << 0;
        // The latency timer gathers an answer and its duplicate into one USB packet, at most 62
        // bytes of it; 1 ms lets the bytes through as they came in that millisecond.
        QTest::newRow("twice, 16 ms latency")
            << with([](SimFaults& f) { f.duplicateRate = 1; f.latencyMs = 16; }) << QList{40, 40, 40, 40} << 8;
        QTest::newRow("noise, 62-byte USB packets") << with([](SimFaults& f) { f.noise = QByteArray(50, 'x'); f.latencyMs = 32; })
                                                    << QList{62, 8, 62, 8, 62, 8, 62, 8} << 4;
        QTest::newRow("1 ms latency") << with([](SimFaults& f) { f.latencyMs = 1; }) << QList<int>(20, 4) << 4;
    }

    void faults()
    {
        QFETCH(SimFaults, faults);
        QFETCH(QList<int>, chunkSizes);
        QFETCH(int, responses);
        Rig rig;
        rig.link.faults() = faults;
        QList<int> sizes;
        int found = 0; // only an intact frame counts, as in the host's receive path
        FrameAssembler assembler;
        for (int i = 0; i < 4; ++i) {
            for (const SimChunk& chunk : rig.link.feed(frame(DownloadRequest, 0x2000, 0), i * 20'000)) {
                sizes.append(static_cast<int>(chunk.bytes.size()));
                for (const FrameAssembler::Frame& frame : assembler.feed(chunk.bytes))
                    found += frame.intact && packetType(decodeFrame(frame.text)) == DownloadResponse;
            }
        }
        QCOMPARE(sizes, chunkSizes);
        QCOMPARE(found, responses);
        QCOMPARE(rig.device.requests().size(), faults.silent ? 0 : 4); // a lost answer was still handled
    }

    void restartKeepsDeviceDeafWhileBooting()
    {
        Rig rig;
        const QByteArray request = frame(DownloadRequest, 0x2000, 0);
        rig.link.setDtr(true, 0); // already on: no edge
        QCOMPARE(rig.device.restartCount(), 0);
        rig.link.setDtr(false, 0);
        rig.link.setDtr(true, 200'000);
        QCOMPARE(rig.device.restartCount(), 1);
        QVERIFY(rig.link.feed(request, 200'000 + SimDevice::BootTimeUs - 10'000).isEmpty());
        QCOMPARE(rig.link.feed(request, 200'000 + SimDevice::BootTimeUs).size(), 1);

        // An Upload outside ConfigEnable..FlashConfig holds until the next restart only.
        rig.link.feed(frame(Upload, 0x2203, 0, "\x05"), 1'000'000);
        QCOMPARE(rig.device.cell(0x2203, 0), QByteArray("\x05\0\0\0", 4));
        // A Reset request is answered, then the device reboots.
        QCOMPARE(packetType(decodeFrame(joined(rig.link.feed(frame(Reset, 0, 0), 2'000'000)))), int(Reset));
        QCOMPARE(rig.device.restartCount(), 2);
        QCOMPARE(rig.device.cell(0x2203, 0), QByteArray("\x1b\0\0\0", 4));
        QVERIFY(rig.link.feed(request, 2'100'000).isEmpty());
        QCOMPARE(rig.link.feed(request, 2'600'000).size(), 1);
    }

    void clockRunsEventsInTimeOrder()
    {
        VirtualClock clock;
        QStringList log;
        const auto note = [&](const QString& name) { return [&, name] { log << name + "@" + QString::number(clock.nowMs()); }; };
        clock.schedule(5, note("a"));
        clock.schedule(0, note("b"));
        clock.schedule(5, note("c"));
        clock.schedule(3, [&] {
            note("d")();
            clock.schedule(1, note("e")); // queued from inside an event
        });
        clock.scheduleUs(4'700, note("f")); // sub-millisecond time, reported as its ms part
        clock.runFor(10);
        QCOMPARE(log, QStringList({"b@0", "d@3", "e@4", "f@4", "a@5", "c@5"}));
        QCOMPARE(clock.nowMs(), 10);
        clock.step(); // nothing queued: time still moves
        QCOMPARE(clock.nowMs(), 11);
        QVERIFY(!clock.runUntil([] { return false; }, 50));
        QCOMPARE(clock.nowMs(), 61);
    }

    // The in-process line delivers the answer through the clock as the port's events; nothing
    // after a close or an unplug, and nothing is left to run once the line is gone.
    void lineDeliversThroughTheClock()
    {
        VirtualClock clock;
        SimLine line(clock, 53);
        QByteArray received;
        QList<SerialLine::Event> events;
        line.setListener([&](SerialLine::Event event) {
            events << event;
            received += line.readAll();
        });
        QVERIFY(line.open(4));
        line.faults().splitAfter = 7;
        const QByteArray request = frame(DownloadRequest, 0x2000, 0);
        QVERIFY(line.write(request.first(5))); // the host may write a frame in pieces
        clock.runFor(3);
        QVERIFY(line.write(request.sliced(5)));
        QVERIFY(clock.runUntil([&] { return received.size() == FrameSize; }, 100));
        QCOMPARE(events, QList<SerialLine::Event>(2, SerialLine::Event::DataReceived));
        QVERIFY(clock.nowMs() >= 3 + 1 + 5); // rest of the request, processing, 20 answer characters
        QCOMPARE(decodeFrame(received), makePacket(DownloadResponse, 0x2000, 0, QByteArray(1, 53)));
        QVERIFY(line.readAll().isEmpty());

        events.clear();
        QVERIFY(line.write(request));
        line.close();
        QVERIFY(!line.write(request));
        QVERIFY(line.open(1)); // reopened before the old answer was due
        clock.runFor(50);
        QVERIFY(events.isEmpty() && line.readAll().isEmpty());

        // Unplugged: the answer on its way is lost and the port cannot be opened again.
        QVERIFY(line.write(request));
        line.pullPlug();
        clock.runFor(50);
        QCOMPARE(events, QList{SerialLine::Event::PortLost});
        line.close();
        QVERIFY(!line.open(1));

        // Destroying the line with an answer on its way leaves nothing behind to run.
        auto doomed = std::make_unique<SimLine>(clock);
        QVERIFY(doomed->open(2) && doomed->write(request));
        doomed.reset();
        clock.runFor(50);
    }

    // A unit outlives the lines plugged into it, as a transmitter outlives each cable: what one
    // line wrote, the next one reads; each line brings its own faults.
    void unitOutlivesItsLines()
    {
        VirtualClock clock;
        SimDevice unit(53);
        const QByteArray value("\x2A\0\0\0", 4);
        {
            SimLine first(clock, unit, SimFaults{});
            QVERIFY(first.open(1) && first.write(frame(Upload, 0x2001, 0, value)));
            clock.runFor(50);
            QCOMPARE(decodeFrame(first.readAll()), makePacket(UploadComplete, 0x2001, 0, value));
        }
        SimFaults deaf;
        deaf.silent = true;
        SimLine second(clock, unit, deaf);
        QVERIFY(second.open(1) && second.write(frame(DownloadRequest, 0x2001, 0)));
        clock.runFor(50);
        QVERIFY(second.readAll().isEmpty()); // this line's own fault
        second.faults().silent = false;
        QVERIFY(second.write(frame(DownloadRequest, 0x2001, 0)));
        clock.runFor(50);
        QCOMPARE(decodeFrame(second.readAll()).mid(4), value);
        QCOMPARE(&second.device(), &unit);
    }

    // tunekit-sim's options, the command line's --simulate and the tests set a unit up through
    // one value: each option lands in its field; a value outside its range gives no unit at all.
    void switchesFromOptions_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("switches"); // the fields that differ from a default unit; "invalid": none
        QTest::newRow("none") << "" << "";
        QTest::newRow("the unit") << "--config-id 53 --system-address 101 --fresh --old-firmware"
                                  << "configId=53 systemAddress=101 fresh oldFirmware";
        QTest::newRow("ConfigEnable answered by UploadComplete") << "--config-enable-answer 13" << "configEnableAnswer=19";
        QTest::newRow("ConfigEnable never answered") << "--config-enable-answer none" << "configEnableAnswer=none";
        QTest::newRow("worn cells") << "--stuck-cell 2203/0 --stuck-cell 6000/1f" << "stuckCells=2203/0,6000/1f";
        QTest::newRow("line faults") << "--silent --lose 0.05 --stray 0.3 --wrong-type 0.25 --latency 16 --work-ms 700 --split"
                                     << "silent splitAfter=7 lose=0.05 stray=0.3 wrongType=0.25 latencyMs=16 workMs=700";
        QTest::newRow("share above 1") << "--lose 2" << "invalid";
        QTest::newRow("ConfigID above 255") << "--config-id 300" << "invalid";
        QTest::newRow("cell that is no number") << "--stuck-cell x/0" << "invalid";
        QTest::newRow("packet type that is no number") << "--config-enable-answer zz" << "invalid";
        QTest::newRow("unknown option") << "--bogus" << "invalid";
    }

    void switchesFromOptions()
    {
        QFETCH(QString, options);
        QFETCH(QString, switches);
        const std::optional<SimSwitches> parsed = parseSimSwitches(options.split(u' ', Qt::SkipEmptyParts));
        if (!parsed) {
            QCOMPARE(QStringLiteral("invalid"), switches);
            return;
        }
        const SimSwitches unit;
        const SimFaults& faults = parsed->faults;
        QStringList fields;
        const auto differs = [&fields](bool different, const QString& field) {
            if (different)
                fields << field;
        };
        differs(parsed->configId != unit.configId, QStringLiteral("configId=%1").arg(parsed->configId));
        differs(parsed->systemAddress != unit.systemAddress, QStringLiteral("systemAddress=%1").arg(parsed->systemAddress));
        differs(parsed->fresh, QStringLiteral("fresh"));
        differs(parsed->oldFirmware, QStringLiteral("oldFirmware"));
        differs(parsed->configEnableAnswer != unit.configEnableAnswer,
                QStringLiteral("configEnableAnswer=") + (parsed->configEnableAnswer ? QString::number(*parsed->configEnableAnswer) : QStringLiteral("none")));
        QStringList cells;
        for (const auto& [index, subindex] : parsed->stuckCells)
            cells << QStringLiteral("%1/%2").arg(index, 0, 16).arg(subindex, 0, 16);
        differs(!cells.isEmpty(), QStringLiteral("stuckCells=") + cells.join(u','));
        differs(faults.silent, QStringLiteral("silent"));
        differs(faults.splitAfter != 0, QStringLiteral("splitAfter=%1").arg(faults.splitAfter));
        differs(faults.loseRate != 0, QStringLiteral("lose=%1").arg(faults.loseRate));
        differs(faults.strayRate != 0, QStringLiteral("stray=%1").arg(faults.strayRate));
        differs(faults.wrongTypeRate != 0, QStringLiteral("wrongType=%1").arg(faults.wrongTypeRate));
        differs(faults.latencyMs != 0, QStringLiteral("latencyMs=%1").arg(faults.latencyMs));
        differs(faults.workMs != 0, QStringLiteral("workMs=%1").arg(faults.workMs));
        QCOMPARE(fields.join(u' '), switches);
    }

    // tunekit-sim wraps the pseudo-terminal server: its first output line names the device file.
    void simExecutableServesPty()
    {
        QProcess sim;
        sim.start(QStringLiteral(TUNEKIT_SIM_EXECUTABLE), {"--config-id", "52", "--split", "--latency", "16", "--exit-after-ms", "60000"});
        QVERIFY(sim.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
        const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
        // A second client after the first has gone: the server survived the slave being closed.
        for (int client = 0; client < 2; ++client)
            QCOMPARE(decodeFrame(askConfigId(path)), makePacket(DownloadResponse, 0x2000, 0, QByteArray(1, 52)));
        // SIGUSR1: the unit is taken away, and the next one, with the next system address, comes.
        QCOMPARE(packetData(decodeFrame(askConfigId(path, 0x2101))).first(2), QByteArray::fromHex("d204"));
        ::kill(static_cast<pid_t>(sim.processId()), SIGUSR1);
        QTest::qWait(200);
        QVERIFY(askConfigId(path, 0x2000, 1000).isEmpty());
        QTest::qWait(int(SimLink::NextUnitAfterMs));
        QCOMPARE(packetData(decodeFrame(askConfigId(path, 0x2101))).first(2), QByteArray::fromHex("d304"));
        sim.terminate(); // SIGTERM ends it cleanly
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_sim_device.moc"
