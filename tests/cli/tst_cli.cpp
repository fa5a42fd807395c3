// tunekit-cli end to end: the real program against tunekit-sim on a pseudo-terminal, in real
// time, as a production station runs it.
#include "records/record_format.h"
#include "records/sqlite_store.h"
#include "support/json_schema_check.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

class TestCli : public QObject {
    Q_OBJECT

    struct Result {
        int exit = -1;
        QString out;
        QString err;
    };

    // Starts tunekit-sim with the options given; its pseudo-terminal becomes the port of every run.
    bool startSim(const QString& options)
    {
        sim_ = std::make_unique<QProcess>();
        sim_->start(QStringLiteral(TUNEKIT_SIM_EXECUTABLE), options.split(u' ', Qt::SkipEmptyParts));
        if (!sim_->waitForStarted(5000) || (!sim_->canReadLine() && !sim_->waitForReadyRead(5000)))
            return false;
        port_ = QString::fromLocal8Bit(sim_->readLine()).trimmed();
        return port_.startsWith(QLatin1Char('/'));
    }

    void stopSim()
    {
        if (sim_) {
            sim_->terminate();
            sim_->waitForFinished(5000);
            sim_.reset();
        }
        port_.clear();
    }

    // Runs tunekit-cli with the words of commandLine, in English, on the simulator's port.
    Result cli(const QString& commandLine, const QByteArray& password = {}, const QString& outputFile = {})
    {
        QStringList arguments = commandLine.split(u' ', Qt::SkipEmptyParts);
        if (!port_.isEmpty() && !arguments.contains(QStringLiteral("--port")))
            arguments << QStringLiteral("--port") << port_;
        if (!arguments.contains(QStringLiteral("--lang")))
            arguments << QStringLiteral("--lang") << QStringLiteral("en");
        QProcess cli;
        cli.setWorkingDirectory(folder_->path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("TUNEKIT_PASSWORD"));
        environment.remove(QStringLiteral("TUNEKIT_RECORDS"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data"))); // the records' local file
        if (!password.isEmpty())
            environment.insert(QStringLiteral("TUNEKIT_PASSWORD"), QString::fromLatin1(password));
        cli.setProcessEnvironment(environment);
        if (!outputFile.isEmpty())
            cli.setStandardOutputFile(outputFile);
        cli.start(QStringLiteral(TUNEKIT_CLI_EXECUTABLE), arguments);
        Result result;
        if (!cli.waitForFinished(300000))
            return result;
        result.exit = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
        result.out = QString::fromLocal8Bit(cli.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(cli.readAllStandardError());
        return result;
    }

    QString path(const QString& name) const { return folder_->filePath(name); }

    // Every key of a JSON value with where it is, and every message code, in order.
    static QStringList keysAndCodes(const QJsonValue& value, const QString& at = QStringLiteral("$"))
    {
        QStringList found;
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            for (auto it = object.begin(); it != object.end(); ++it)
                found << at + u'.' + it.key() << keysAndCodes(it.value(), at + u'.' + it.key());
            if (object.contains(QStringLiteral("code")))
                found << QStringLiteral("code=") + object.value(QStringLiteral("code")).toString();
        } else if (value.isArray()) {
            const QJsonArray array = value.toArray();
            for (qsizetype i = 0; i < array.size(); ++i)
                found << keysAndCodes(array.at(i), at + QStringLiteral("[%1]").arg(i));
        }
        return found;
    }

    // A copy of from with one value changed and the checksum added again.
    bool makeStation(const QString& from, const QString& to, const QByteArray& before, const QByteArray& after)
    {
        QFile source(path(from));
        if (!source.open(QIODevice::ReadOnly))
            return false;
        QByteArray bytes = source.readAll();
        bytes.chop(4); // the old checksum
        if (!bytes.contains(before))
            return false;
        bytes.replace(before, after);
        QFile target(path(to));
        if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size())
            return false;
        target.close();
        return cli(QStringLiteral("convert ") + to).exit == 0;
    }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<QProcess> sim_;
    QString port_;

private slots:
    void init() { folder_ = std::make_unique<QTemporaryDir>(); }
    void cleanup() { stopSim(); }

    // Read to a file, compare, write with backup and read-back, compare again.
    void stationWorkflow()
    {
        QVERIFY(startSim(QStringLiteral("--config-id 53")));
        Result read = cli(QStringLiteral("read -o dev.scd"));
        QCOMPARE(read.exit, 0);
        QVERIFY(read.out.contains(QStringLiteral("TransmitPower\t27\n")));
        QCOMPARE(cli(QStringLiteral("verify dev.scd")).out, QStringLiteral("Checksum valid\n"));

        QVERIFY(makeStation(QStringLiteral("dev.scd"), QStringLiteral("station.scd"), "TransmitPower=27",
                            "TransmitPower=20"));
        QVERIFY(QFile::exists(path(QStringLiteral("station.bak"))));
        // The backup keeps the production date, so only the changed value differs.
        Result differs = cli(QStringLiteral("diff station.scd"));
        QCOMPARE(differs.exit, 1);
        QCOMPARE(differs.out, QStringLiteral("TransmitPower\t27\t20\n"));

        Result write = cli(QStringLiteral("write station.scd --yes"));
        QCOMPARE(write.exit, 0);
        QVERIFY2(write.err.contains(QStringLiteral("Written and verified.")), qPrintable(write.err));
        const QStringList backups = QDir(path(QStringLiteral("backups"))).entryList({QStringLiteral("*.scd")});
        QCOMPARE(backups.size(), 1);
        QCOMPARE(cli(QStringLiteral("verify backups/") + backups.first()).exit, 0);

        Result after = cli(QStringLiteral("diff station.scd --json"));
        QCOMPARE(after.exit, 0);
        const QJsonObject json = QJsonDocument::fromJson(after.out.toUtf8()).object();
        QCOMPARE(json.value(QStringLiteral("configId")).toInt(), 53);
        QVERIFY(json.value(QStringLiteral("differences")).toArray().isEmpty());

        // The automatic backup restores the unit exactly: nothing differs from it afterwards.
        const QString backup = QStringLiteral("backups/") + backups.first();
        Result restore = cli(QStringLiteral("restore ") + backup + QStringLiteral(" --yes --no-backup"));
        QVERIFY2(restore.exit == 0, qPrintable(restore.err));
        Result restored = cli(QStringLiteral("diff ") + backup);
        QCOMPARE(restored.exit, 0);
        QCOMPARE(restored.out, QString());

        // A worn cell acknowledges the Upload but keeps its value: the read-back finds it.
        stopSim();
        QVERIFY(startSim(QStringLiteral("--config-id 53 --stuck-cell 2203/0")));
        Result worn = cli(QStringLiteral("write station.scd --yes --no-backup"));
        QCOMPARE(worn.exit, 7);
        QVERIFY2(worn.err.contains(QStringLiteral("TransmitPower\t20\t27")), qPrintable(worn.err));

        // Another family's data at level 40 is written only when the option answers the question;
        // unanswered, it is refused as in the window.
        stopSim();
        QVERIFY(startSim(QStringLiteral("--config-id 52")));
        Result unanswered = cli(QStringLiteral("write station.scd --no-backup"), "Dill");
        QCOMPARE(unanswered.exit, 6);
        QVERIFY2(unanswered.err.contains(QStringLiteral("Data (ConfigID=53) not compatible to connected hardware (ConfigID=52)")),
                 qPrintable(unanswered.err));
        QVERIFY2(unanswered.err.contains(QStringLiteral("--allow-config-mismatch")), qPrintable(unanswered.err));

        // A transmitter that stops answering in the middle of a 2 KB interpreter: told, never "written".
        stopSim();
        QVERIFY(startSim(QStringLiteral("--config-id 53 --exit-after-ms 9000")));
        QByteArray interpreter("* INTERPRETER_START\r\n");
        for (int line = 0; line < 64; ++line)
            interpreter += QByteArray(64, "0123456789ABCDEF"[line % 16]) + "\r\n";
        interpreter += "* INTERPRETER_STOP\r\nConfigID=53";
        QVERIFY(makeStation(QStringLiteral("dev.scd"), QStringLiteral("big.scd"), "ConfigID=53", interpreter));
        Result cut = cli(QStringLiteral("write big.scd --yes --no-backup"));
        QCOMPARE(cut.exit, 9);
        QVERIFY2(cut.err.contains(QStringLiteral("the device is partly written")), qPrintable(cut.err));
        QVERIFY(!cut.err.contains(QStringLiteral("Written and verified.")));

        // Every command that touched a device left its record in the user's data folder, failures too.
        const QJsonArray history = QJsonDocument::fromJson(cli(QStringLiteral("records --json")).out.toUtf8())
                                       .object().value(QStringLiteral("records")).toArray();
        QStringList runs;
        for (const QJsonValue& record : history)
            runs << record[QStringLiteral("command")].toString() + u' ' + record[QStringLiteral("result")].toString() + u' '
                        + QString::number(record[QStringLiteral("exitCode")].toInt());
        QCOMPARE(runs, (QStringList{QStringLiteral("read passed 0"), QStringLiteral("diff passed 1"), QStringLiteral("write passed 0"),
                                    QStringLiteral("diff passed 0"), QStringLiteral("restore passed 0"), QStringLiteral("diff passed 0"),
                                    QStringLiteral("write failed 7"), QStringLiteral("write failed 6"), QStringLiteral("write failed 9")}));
        const QJsonObject written = history.at(2).toObject();
        QCOMPARE(written[QStringLiteral("changes")].toArray(),
                 (QJsonArray{QJsonObject{{QStringLiteral("name"), QStringLiteral("TransmitPower")},
                                         {QStringLiteral("before"), QStringLiteral("27")},
                                         {QStringLiteral("after"), QStringLiteral("20")}}}));
        QCOMPARE(written[QStringLiteral("backup")].toString(), QDir(path(QStringLiteral("backups"))).filePath(backups.first()));
        QCOMPARE(written[QStringLiteral("file")].toString(), path(QStringLiteral("station.scd")));
        QFile station(path(QStringLiteral("station.scd")));
        QVERIFY(station.open(QIODevice::ReadOnly));
        QCOMPARE(written[QStringLiteral("fileSha256")].toString(),
                 QString::fromLatin1(QCryptographicHash::hash(station.readAll(), QCryptographicHash::Sha256).toHex()));
        QCOMPARE(written[QStringLiteral("configId")].toInt(), 53);
        QCOMPARE(written[QStringLiteral("accessLevel")].toString(), QStringLiteral("level1")); // no password given
        QVERIFY(!written[QStringLiteral("serialNumber")].toString().isEmpty());
        QCOMPARE(written[QStringLiteral("message")].toString(), QStringLiteral("Written and verified."));
        QCOMPARE(history.at(6)[QStringLiteral("serialNumber")], written[QStringLiteral("serialNumber")]);
    }

    // Three channels in one run, one with a worn cell: the others pass, the worn one fails on its
    // own, and each channel leaves its record under its unit's serial number.
    void channelsProgramInParallel()
    {
        std::vector<std::unique_ptr<QProcess>> units;
        QStringList ports;
        for (int unit = 0; unit < 3; ++unit) {
            QVERIFY(startSim(QStringLiteral("--config-id 53 --system-address %1%2")
                                 .arg(100 + unit)
                                 .arg(unit == 1 ? QStringLiteral(" --stuck-cell 2203/0") : QString())));
            units.push_back(std::move(sim_));
            ports << port_;
        }
        port_ = ports.first();
        QCOMPARE(cli(QStringLiteral("read -o dev.scd")).exit, 0);
        // A template for the line: another power, and no identity of its own.
        QVERIFY(makeStation(QStringLiteral("dev.scd"), QStringLiteral("power.scd"), "TransmitPower=27", "TransmitPower=20"));
        QVERIFY(makeStation(QStringLiteral("power.scd"), QStringLiteral("line.scd"),
                            "SystemAddress=100\r\nOemCode=254\r\nProdGrp=0\r\n", ""));
        port_.clear();
        const Result run = cli(QStringLiteral("write line.scd --yes --json --log trace.txt --port ") + ports.join(QStringLiteral(" --port ")));
        QCOMPARE(run.exit, 7);
        // Each channel's packet trace in a file of its own, with times, its Uploads included.
        for (const QString& port : ports) {
            QFile trace(path(QStringLiteral("trace-%1.txt").arg(port.section(u'/', -1))));
            QVERIFY2(trace.open(QIODevice::ReadOnly), qPrintable(trace.fileName()));
            QVERIFY(QString::fromUtf8(trace.readAll()).contains(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} TxSend: 12 "), QRegularExpression::MultilineOption)));
        }
        const QJsonObject document = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(document[QStringLiteral("passed")].toInt(), 2);
        QCOMPARE(document[QStringLiteral("failed")].toInt(), 1);
        QStringList serials;
        for (int unit = 0; unit < 3; ++unit) {
            const QJsonObject channel = document[QStringLiteral("channels")][unit].toObject();
            QCOMPARE(channel[QStringLiteral("port")].toString(), ports.at(unit));
            QCOMPARE(channel[QStringLiteral("exitCode")].toInt(), unit == 1 ? 7 : 0);
            QCOMPARE(channel[QStringLiteral("verified")].toBool(), unit != 1);
            serials << channel[QStringLiteral("serialNumber")].toString();
        }
        QCOMPARE(QSet<QString>(serials.cbegin(), serials.cend()).size(), 3);

        for (int unit = 0; unit < 3; ++unit) {
            const QJsonArray history = QJsonDocument::fromJson(cli(QStringLiteral("records --json --serial ") + serials.at(unit)).out.toUtf8())
                                           .object()[QStringLiteral("records")].toArray();
            QCOMPARE(history.size(), 1 + (unit == 0 ? 1 : 0)); // the first unit was read for the template
            const QJsonObject written = history.last().toObject();
            QCOMPARE(written[QStringLiteral("command")].toString(), QStringLiteral("write"));
            QCOMPARE(written[QStringLiteral("port")].toString(), ports.at(unit));
            QCOMPARE(written[QStringLiteral("result")].toString(), QLatin1StringView(unit == 1 ? "failed" : "passed"));
        }
        for (std::unique_ptr<QProcess>& unit : units) {
            unit->terminate();
            unit->waitForFinished(5000);
        }
    }

    // A records server out of reach keeps the record locally without changing the command's result;
    // the next run that reaches the server sends it there, once.
    void recordKeptLocallyUntilTheServerAnswers()
    {
        QVERIFY(startSim(QStringLiteral("--config-id 52")));
        const Result detect = cli(QStringLiteral("detect --json --records postgresql://tunekit@127.0.0.1:1/records"));
        QCOMPARE(detect.exit, 0);
        QVERIFY2(detect.err.contains(QStringLiteral("Record kept locally")), qPrintable(detect.err));
        const QJsonObject record = QJsonDocument::fromJson(detect.out.toUtf8()).object()[QStringLiteral("record")].toObject();
        QCOMPARE(record[QStringLiteral("stored")].toString(), QStringLiteral("keptLocally"));
        const QString server = qEnvironmentVariable("TUNEKIT_TEST_POSTGRES");
        if (server.isEmpty())
            QSKIP("TUNEKIT_TEST_POSTGRES names no PostgreSQL server (scripts/test.sh starts one)");
        for (int run = 0; run < 2; ++run) {
            const Result found = cli(QStringLiteral("records --json --records ") + server);
            QVERIFY2(found.exit == 0, qPrintable(found.err));
            int copies = 0;
            for (const QJsonValue& kept : QJsonDocument::fromJson(found.out.toUtf8()).object()[QStringLiteral("records")].toArray())
                copies += kept[QStringLiteral("id")] == record[QStringLiteral("id")] ? 1 : 0;
            QCOMPARE(copies, 1);
        }
    }

    void refusedAndBadInput_data()
    {
        QTest::addColumn<QString>("simulator"); // tunekit-sim's options; empty: no simulator
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QByteArray>("file");   // written to station.scd first when not empty
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << "" << "" << QByteArray() << 2 << "No command given (try --help).";
        QTest::newRow("unknown command") << "" << "flash" << QByteArray() << 2 << "Unknown command \"flash\"";
        QTest::newRow("missing file") << "--config-id 53" << "write none.scd" << QByteArray() << 5
                                      << "The file none.scd cannot be read.";
        QTest::newRow("truncated file") << "--config-id 53" << "write station.scd --no-backup"
                                        << QByteArray("* HVX Config-File\r\nConfigID=53\r\nSystemAd") << 5 << "";
        QTest::newRow("port that does not exist") << "" << "detect --port /dev/tunekit-none" << QByteArray() << 3
                                                  << "The port does not exist";
        QTest::newRow("device not answering") << "--silent" << "detect" << QByteArray() << 4 << "Device not detected.";
        QTest::newRow("password of no level") << "--config-id 53" << "detect" << QByteArray() << 2
                                              << "The password unlocks no access level.";
        // A file that has its checksum is left as it is: no .bak beside it.
        QFile valid(QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd"));
        QVERIFY(valid.open(QIODevice::ReadOnly));
        QTest::newRow("convert of a valid file") << "" << "convert station.scd" << valid.readAll() << 0
                                                 << "already has a valid checksum; nothing was changed.";
        // Results that cannot be written are a failure, not a success with nothing in the file.
        QTest::newRow("results to a full disk") << "" << "report" << QByteArray() << 8
                                                << "The output could not be written completely.";
        QTest::newRow("records since no date") << "" << "records --since someday" << QByteArray() << 2
                                               << "someday is no date";
        QTest::newRow("records server out of reach") << "" << "records --records postgresql://tunekit@127.0.0.1:1/records"
                                                     << QByteArray() << 8 << "The records cannot be read: The records server";
    }

    void refusedAndBadInput()
    {
        QFETCH(QString, simulator);
        QFETCH(QString, commandLine);
        QFETCH(QByteArray, file);
        QFETCH(int, exit);
        QFETCH(QString, message);
        if (!simulator.isEmpty())
            QVERIFY(startSim(simulator));
        if (!file.isEmpty()) {
            QFile station(path(QStringLiteral("station.scd")));
            QVERIFY(station.open(QIODevice::WriteOnly));
            station.write(file);
        }
        const QByteArray password = QTest::currentDataTag() == QByteArrayView("password of no level") ? "Rose" : "";
        const bool full = QTest::currentDataTag() == QByteArrayView("results to a full disk");
        const Result result = cli(commandLine, password, full ? QStringLiteral("/dev/full") : QString());
        QCOMPARE(result.exit, exit);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        // Nothing half-written: no file appeared beside the input.
        const QStringList left = QDir(folder_->path()).entryList(QDir::Files);
        QVERIFY2(left.isEmpty() || left == QStringList{QStringLiteral("station.scd")}, qPrintable(left.join(u' ')));
    }

    // Transmitters and disks that misbehave: every result stays true. A read on a bad line is
    // exactly the read on a sound one; a write either completes and verifies or says what state
    // it left and exits with that state's code.
    void deviceFaults_data()
    {
        QTest::addColumn<QString>("faults");      // tunekit-sim's options besides --config-id 53
        QTest::addColumn<QString>("commandLine"); // station.scd: the device's own values, TransmitPower 20
        QTest::addColumn<QByteArray>("line");     // and this line of the device's backup changed: "before|after"
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        QTest::newRow("stray and wrong-type answers") << "--stray 0.3 --wrong-type 0.3" << "read" << QByteArray() << 0 << "";
        QTest::newRow("lost answers") << "--lose 0.05" << "read" << QByteArray() << 0 << "";
        QTest::newRow("fresh unit read") << "--fresh" << "read" << QByteArray() << 0 << "";
        QTest::newRow("fresh unit written") << "--fresh" << "write station.scd --yes" << QByteArray() << 0 << "Written and verified.";
        QTest::newRow("busy device") << "--work-ms 700" << "write station.scd --yes" << QByteArray() << 0 << "Written and verified.";
        QTest::newRow("firmware without ConfigEnable") << "--old-firmware" << "write station.scd --yes" << QByteArray() << 0
                                                       << "Written and verified.";
        QTest::newRow("value no cell holds") << "" << "write station.scd --yes" << QByteArray("ShutdownDelay=500|ShutdownDelay=70000")
                                             << 6 << "nothing was written:\nShutdownDelay=70000";
        QTest::newRow("fraction") << "" << "write station.scd --yes" << QByteArray("ChannelStep=1|ChannelStep=12.6") << 6
                                  << "ChannelStep=12.6";
        QTest::newRow("backup folder that cannot be made") << "" << "write station.scd --yes --backup-dir station.scd/b"
                                                           << QByteArray() << 10 << "Nothing was written to the device.";
        QTest::newRow("full backup disk") << "" << "write station.scd --yes --backup-dir full" << QByteArray() << 10
                                          << "the disk may be full";
    }

    void deviceFaults()
    {
        QFETCH(QString, faults);
        QFETCH(QString, commandLine);
        QFETCH(QByteArray, line);
        QFETCH(int, exit);
        QFETCH(QString, message);
        const bool fresh = faults.contains(QStringLiteral("--fresh"));
        QVERIFY(startSim(QStringLiteral("--config-id 53") + (fresh ? QStringLiteral(" --fresh") : QString())));
        const Result sound = cli(QStringLiteral("read -o dev.scd"));
        QCOMPARE(sound.exit, 0);
        QVERIFY(makeStation(QStringLiteral("dev.scd"), QStringLiteral("station.scd"), "TransmitPower=27", "TransmitPower=20"));
        if (!line.isEmpty())
            QVERIFY(makeStation(QStringLiteral("station.scd"), QStringLiteral("station.scd"), line.split('|').at(0),
                                line.split('|').at(1)));
        stopSim();
        QDir(folder_->path()).mkdir(QStringLiteral("full"));
        const QString full = path(QStringLiteral("full"));
        const bool mounted = QTest::currentDataTag() == QByteArrayView("full backup disk")
                             && QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                                             QStringLiteral("-o"), QStringLiteral("size=4k"),
                                                                             QStringLiteral("tmpfs"), full}) == 0;
        if (QTest::currentDataTag() == QByteArrayView("full backup disk") && !mounted)
            QSKIP("A full disk needs a small file system, which only root may mount here.");
        if (mounted) {
            QFile filler(full + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(512, 'x')) == 512 && filler.flush()) {
            }
        }

        QVERIFY(startSim(QStringLiteral("--config-id 53 ") + faults));
        const Result result = cli(commandLine);
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {full});
        QVERIFY2(result.exit == exit, qPrintable(result.err));
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(!result.err.contains(QStringLiteral("Done!"))); // said before the read-back, if at all
        if (commandLine == QStringLiteral("read"))
            QCOMPARE(result.out, sound.out);
        // A write that sent nothing left the device as it was.
        stopSim();
        if (exit != 0 && !fresh) {
            QVERIFY(startSim(QStringLiteral("--config-id 53")));
            QCOMPARE(cli(QStringLiteral("read")).out, sound.out);
        }
    }

    // Ctrl-C in the middle of a write: the packet on the line is finished, the device reset, and
    // the tool tells how to restore the backup, with the code of a partly written device. Before
    // anything was sent, nothing was written.
    void interruptedWrite_data()
    {
        QTest::addColumn<QString>("after"); // the step whose start the signal follows
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        QTest::newRow("while reading the backup") << "Reading the device" << 10 << "Nothing was written to the device.";
        QTest::newRow("while writing") << "Writing" << 9 << "To restore it: tunekit-cli restore backups/";
    }

    void interruptedWrite()
    {
        QFETCH(QString, after);
        QFETCH(int, exit);
        QFETCH(QString, message);
        QVERIFY(startSim(QStringLiteral("--config-id 53")));
        QVERIFY(cli(QStringLiteral("read -o dev.scd")).exit == 0);
        QByteArray texts("* TEXTS_START\r\n");
        for (int line = 0; line < 32; ++line)
            texts += QByteArray(64, "0123456789ABCDEF"[line % 16]) + "\r\n";
        QVERIFY(makeStation(QStringLiteral("dev.scd"), QStringLiteral("big.scd"), "ConfigID=53",
                            texts + "* TEXTS_STOP\r\nConfigID=53"));
        QProcess cli;
        cli.setWorkingDirectory(folder_->path());
        cli.setReadChannel(QProcess::StandardError);
        cli.start(QStringLiteral(TUNEKIT_CLI_EXECUTABLE),
                  {QStringLiteral("write"), QStringLiteral("big.scd"), QStringLiteral("--yes"), QStringLiteral("--port"), port_,
                   QStringLiteral("--lang"), QStringLiteral("en")});
        QByteArray err;
        while (!err.contains(after.toLatin1() + " ...") && cli.waitForReadyRead(20000))
            err += cli.readAllStandardError();
        QVERIFY2(err.contains(after.toLatin1()), err.constData());
        if (after == QStringLiteral("Writing")) {
            // Some packets of the texts are on their way (the extended data was agreed to).
            const auto sending = [&err] { return err.contains("-> yes") && err.indexOf(" packets", err.indexOf("-> yes")) >= 0; };
            while (!sending() && cli.waitForReadyRead(20000))
                err += cli.readAllStandardError();
        }
        cli.terminate();
        QVERIFY(cli.waitForFinished(20000));
        err += cli.readAllStandardError();
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() == exit, err.constData());
        QVERIFY2(err.contains(message.toLatin1()), err.constData());
    }

    // Help, version and manual page need no display: a server without one runs them (and the
    // build writes the manual pages with them).
    void answersWithoutDisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("answer"); // the start of standard output
        QTest::addColumn<QString>("mentions");
        const QString window = QStringLiteral(TUNEKIT_WINDOW_EXECUTABLE);
        const QString cli = QStringLiteral(TUNEKIT_CLI_EXECUTABLE);
        const QString version = QStringLiteral(TUNEKIT_VERSION "\n");
        QTest::newRow("tunekit --help") << window << "--help" << "Usage: tunekit [options]\n" << "  --simulate";
        QTest::newRow("tunekit --version") << window << "--version" << "tunekit " + version << "";
        QTest::newRow("tunekit --man") << window << "--man" << ".TH TUNEKIT 1 " << "\\fB\\-\\-has\\-adapter\\fR";
        QTest::newRow("tunekit-cli --help") << cli << "-h" << "Usage: tunekit-cli COMMAND [FILE] [options]\n"
                                            << "  --allow-config-mismatch";
        QTest::newRow("tunekit-cli --version") << cli << "--version" << "tunekit-cli " + version << "";
        QTest::newRow("tunekit-sim --version") << QStringLiteral(TUNEKIT_SIM_EXECUTABLE) << "--version"
                                               << "tunekit-sim " + version << "";
    }

    void answersWithoutDisplay()
    {
        QFETCH(QString, program);
        QFETCH(QString, argument);
        QFETCH(QString, answer);
        QFETCH(QString, mentions);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, {argument});
        QVERIFY(process.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                 qPrintable(QString::fromLocal8Bit(process.readAllStandardError())));
        QVERIFY2(out.startsWith(answer), qPrintable(out));
        if (mentions.isEmpty())
            QCOMPARE(out, answer);
        else
            QVERIFY2(out.contains(mentions), qPrintable(out));
    }

    // Every command's --json document satisfies docs/cli-json.schema.json, and its keys and
    // message codes are the same whatever the language. One simulator serves every command.
    void jsonDocuments()
    {
        QFile schemaFile(QStringLiteral(TUNEKIT_CLI_JSON_SCHEMA));
        QVERIFY(schemaFile.open(QIODevice::ReadOnly));
        const tunekit::testing::JsonSchemaCheck schema(QJsonDocument::fromJson(schemaFile.readAll()).object());
        QVERIFY(!schema.problems(QJsonObject{{QStringLiteral("command"), QStringLiteral("read")}}).isEmpty());
        QFile truncated(path(QStringLiteral("truncated.scd")));
        QVERIFY(truncated.open(QIODevice::WriteOnly));
        QVERIFY(truncated.write("* HVX Config-File\r\nConfigID=53\r\nSystemAd") > 0);
        truncated.close();
        QVERIFY(startSim(QStringLiteral("--config-id 53")));

        struct Row {
            const char* name;
            const char* commandLine; // {backup}: the backup the write made
            int exit;
            const char* known;       // a field that must hold a value
        };
        const Row rows[] = {
            {"ports", "ports", 0, "ports"},
            {"detect", "detect", 0, "configId"},
            {"read", "read -o dev.scd", 0, "serialNumber"},
            {"read --info", "read --info", 0, "info"},
            {"diff", "diff dev.scd", 0, "differences"},
            {"write", "write dev.scd --yes", 0, "backup"},
            {"restore", "restore {backup} --yes --no-backup", 0, "verified"},
            {"verify", "verify dev.scd", 0, "checksumState"},
            {"convert", "convert dev.scd", 0, "alreadyValid"},
            {"report", "report", 0, "lines"},
            {"usage error", "flash", 2, "messages"},
            {"file error", "write truncated.scd --no-backup", 5, "messages"},
        };
        QHash<QString, QJsonObject> documents;
        for (const Row& row : rows) {
            const QString commandLine = QString::fromLatin1(row.commandLine)
                                            .replace(QStringLiteral("{backup}"),
                                                     documents.value(QStringLiteral("write")).value(QStringLiteral("backup")).toString());
            const Result result = cli(commandLine + QStringLiteral(" --json"));
            const QString what = QString::fromLatin1(row.name) + QStringLiteral(": ") + result.err + result.out;
            QVERIFY2(result.exit == row.exit, qPrintable(what));
            QJsonParseError error{};
            const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
            QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(), qPrintable(what));
            const QJsonObject object = document.object();
            const QStringList problems = schema.problems(object);
            QVERIFY2(problems.isEmpty(), qPrintable(QString::fromLatin1(row.name) + u'\n' + problems.join(u'\n')));
            QCOMPARE(object.value(QStringLiteral("exitCode")).toInt(-1), row.exit);
            QVERIFY2(!object.value(QLatin1StringView(row.known)).isNull()
                         && !object.value(QLatin1StringView(row.known)).isUndefined(),
                     qPrintable(what));
            documents.insert(QString::fromLatin1(row.name), object);
        }

        // Whole numbers are numbers; a transmitter's values and the information have their names.
        const QJsonArray values = documents.value(QStringLiteral("read")).value(QStringLiteral("values")).toArray();
        const auto power = std::find_if(values.begin(), values.end(), [](const QJsonValue& v) {
            return v.toObject().value(QStringLiteral("name")) == QStringLiteral("TransmitPower");
        });
        QVERIFY(power != values.end());
        QCOMPARE((*power).toObject().value(QStringLiteral("value")), QJsonValue(27));
        QCOMPARE(documents.value(QStringLiteral("detect")).value(QStringLiteral("configId")), QJsonValue(53));
        QVERIFY(documents.value(QStringLiteral("read --info")).value(QStringLiteral("info")).toObject().contains(QStringLiteral("firmwareVersion")));
        QCOMPARE(documents.value(QStringLiteral("verify")).value(QStringLiteral("checksumState")), QJsonValue(QStringLiteral("valid")));

        // German and English: other texts, the same keys and codes.
        const QJsonObject english = documents.value(QStringLiteral("file error"));
        const Result german = cli(QStringLiteral("write truncated.scd --no-backup --json --lang de"));
        const QJsonObject deutsch = QJsonDocument::fromJson(german.out.toUtf8()).object();
        const QJsonArray messages = english.value(QStringLiteral("messages")).toArray();
        QVERIFY(!messages.isEmpty());
        QVERIFY2(!keysAndCodes(english).contains(QStringLiteral("code=unknown")), qPrintable(keysAndCodes(english).join(u' ')));
        QCOMPARE(keysAndCodes(deutsch), keysAndCodes(english));
        QVERIFY(deutsch.value(QStringLiteral("messages")) != english.value(QStringLiteral("messages")));
    }

    // The records command prints what the store holds, filtered, as JSON, CSV or lines.
    void recordsQuery_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QList<int>>("expected"); // which of the three records, in order
        QTest::newRow("json") << "--json" << QList<int>{0, 1, 2};
        QTest::newRow("json by serial and result") << "--json --serial A1 --result failed" << QList<int>{2};
        QTest::newRow("csv since a time") << "--csv --since 2025-03-01T08:02:00Z" << QList<int>{1, 2};
        QTest::newRow("csv until a day, inclusive") << "--csv --until 2025-03-01" << QList<int>{0, 1};
        QTest::newRow("lines of the failed") << "--result failed" << QList<int>{1, 2};
    }
    void recordsQuery()
    {
        QFETCH(QString, options);
        QFETCH(QList<int>, expected);
        using namespace tunekit::records;
        QList<OperationRecord> records;
        {
            SqliteRecordStore store(path(QStringLiteral("records.sqlite")));
            const QDateTime days[] = {QDateTime(QDate(2025, 3, 1), QTime(8, 1), Qt::UTC),
                                      QDateTime(QDate(2025, 3, 1), QTime(23, 59), Qt::LocalTime).toUTC(),
                                      QDateTime(QDate(2025, 3, 2), QTime(8, 3), Qt::LocalTime).toUTC()};
            for (int i = 0; i < 3; ++i) {
                OperationRecord record = startRecord(QStringLiteral("write"), QStringLiteral("bench, 7"), days[i]);
                record.serialNumber = i == 1 ? QStringLiteral("B2") : QStringLiteral("A1");
                record.result = QLatin1StringView(i == 0 ? ResultPassed : ResultFailed);
                record.changes = {{QStringLiteral("TransmitPower"), QStringLiteral("20"), QStringLiteral("27")}};
                record.message = QStringLiteral("The device holds other values than the file:\nTransmitPower");
                QCOMPARE(store.add(record).status, RecordOutcome::Status::Stored);
                records << record;
            }
        }
        const Result result = cli(QStringLiteral("records --records sqlite:records.sqlite ") + options);
        QVERIFY2(result.exit == 0, qPrintable(result.err));
        if (options.contains(QStringLiteral("--json"))) {
            const QJsonObject document = QJsonDocument::fromJson(result.out.toUtf8()).object();
            QCOMPARE(document.value(QStringLiteral("schema")).toInt(), tunekit::records::SchemaVersion);
            QJsonArray wanted;
            for (int i : expected)
                wanted.append(recordJson(records.at(i)));
            QCOMPARE(document.value(QStringLiteral("records")).toArray(), wanted);
        } else if (options.contains(QStringLiteral("--csv"))) {
            QString wanted = recordsCsvHeader();
            for (int i : expected)
                wanted += recordCsvLine(records.at(i));
            QCOMPARE(result.out, wanted);
        } else {
            const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), expected.size());
            for (qsizetype n = 0; n < lines.size(); ++n)
                QVERIFY2(lines.at(n).contains(QStringLiteral("\tfailed\twrite\t") + records.at(expected.at(n)).serialNumber),
                         qPrintable(lines.at(n)));
        }
    }

    // A second station on the same port is turned away, never interleaved.
    void busyPortIsRefused()
    {
        QVERIFY(startSim(QStringLiteral("--config-id 53")));
        QSerialPort first;
        first.setPortName(port_);
        QVERIFY(first.open(QIODevice::ReadWrite));
        const Result second = cli(QStringLiteral("detect"));
        QCOMPARE(second.exit, 3);
        QVERIFY2(second.err.contains(QStringLiteral("Another program is using the port.")), qPrintable(second.err));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
