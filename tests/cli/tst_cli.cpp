// tunekit-cli: its whole program (the command line read, every command, the output, the records)
// runs in this process against simulated transmitters on a virtual clock, so a reset costs no
// real time. What needs a process of its own runs as one, in real time: Ctrl-C and SIGTERM in
// the middle of a write, standard output on a full disk, --help without a display, a port another
// program holds, and one write over a pseudo-terminal with tunekit-sim.
#include "cli/interrupt_watch.h"
#include "records/record_format.h"
#include "records/sqlite_store.h"
#include "support/cli_bench.h"
#include "support/json_schema_check.h"
#include "support/test_data.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSerialPort>
#include <QTest>

#include <csignal>
#include <numeric>

#include <unistd.h>

using namespace Qt::StringLiterals;
using tunekit::SimLine;
using tunekit::testing::CliBench;
using tunekit::testing::CliResult;
using tunekit::testing::readFile;
using tunekit::testing::writeFile;

namespace {

// Standard output of a run fails, as on a full disk.
constexpr bool OutputFails = true;

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    // Starts tunekit-sim with the options given in place of the one running; its pseudo-terminal
    // becomes the port of every process run.
    bool startSim(const QString& options)
    {
        stopSim();
        sim_ = std::make_unique<QProcess>();
        sim_->start(QStringLiteral(TUNEKIT_SIM_EXECUTABLE), options.split(u' ', Qt::SkipEmptyParts));
        if (!sim_->waitForStarted(5000) || (!sim_->canReadLine() && !sim_->waitForReadyRead(5000)))
            return false;
        simPort_ = QString::fromLocal8Bit(sim_->readLine()).trimmed();
        return simPort_.startsWith(u'/');
    }

    void stopSim()
    {
        if (sim_) {
            sim_->terminate();
            sim_->waitForFinished(5000);
        }
        sim_.reset();
        simPort_.clear();
    }

    // Starts the tunekit-cli program with the words of commandLine, in English, on tunekit-sim's
    // port when one runs, with the records' local file in the test's folder.
    void startProcess(QProcess& process, const QString& commandLine)
    {
        QStringList arguments = commandLine.split(u' ', Qt::SkipEmptyParts);
        if (!simPort_.isEmpty() && CliBench::onDevice(arguments) && !arguments.contains(u"--port"_s))
            arguments << u"--port"_s << simPort_;
        arguments << u"--lang"_s << u"en"_s;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"TUNEKIT_PASSWORD"_s);
        environment.remove(u"TUNEKIT_RECORDS"_s);
        environment.remove(u"TUNEKIT_PORT"_s);
        environment.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder_->path());
        process.start(QStringLiteral(TUNEKIT_CLI_EXECUTABLE), arguments);
    }

    // A run of the tunekit-cli program; its standard output goes to outputFile when one is named.
    CliResult runProcess(const QString& commandLine, const QString& outputFile = {})
    {
        QProcess process;
        if (!outputFile.isEmpty())
            process.setStandardOutputFile(outputFile);
        startProcess(process, commandLine);
        const bool ended = process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit;
        return {ended ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError()), {}};
    }

    CliResult cli(const QString& commandLine, const QByteArray& password = {}, bool outputFails = false)
    {
        return bench_->cli(commandLine, password, outputFails);
    }

    QString path(const QString& name) const { return folder_->filePath(name); }

    // Every key of a JSON value with where it is, and every message code, in order.
    static QStringList keysAndCodes(const QJsonValue& value, const QString& at = u"$"_s)
    {
        QStringList found;
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            for (auto it = object.begin(); it != object.end(); ++it)
                found << at + u'.' + it.key() << keysAndCodes(it.value(), at + u'.' + it.key());
            if (object.contains(u"code"_s))
                found << u"code="_s + object.value(u"code"_s).toString();
        } else if (value.isArray()) {
            const QJsonArray array = value.toArray();
            for (qsizetype i = 0; i < array.size(); ++i)
                found << keysAndCodes(array.at(i), at + u"[%1]"_s.arg(i));
        }
        return found;
    }

    // A copy of from with one value changed and the checksum added again.
    bool makeStation(const QString& from, const QString& to, const QByteArray& before, const QByteArray& after)
    {
        QByteArray bytes = readFile(path(from));
        bytes.chop(4); // the old checksum
        if (!bytes.contains(before))
            return false;
        writeFile(path(to), bytes.replace(before, after));
        return cli(u"convert "_s + to).exit == 0;
    }

    // big.scd: dev.scd with a section of that many lines of 32 bytes each.
    bool makeBig(const QByteArray& section, int lines)
    {
        QByteArray text = "* " + section + "_START\r\n";
        for (int line = 0; line < lines; ++line)
            text += QByteArray(64, "0123456789ABCDEF"[line % 16]) + "\r\n";
        return makeStation(u"dev.scd"_s, u"big.scd"_s, "ConfigID=53", text + "* " + section + "_STOP\r\nConfigID=53");
    }

    // dev.scd: the backup of a transmitter of family 53 as it comes, which tunekit-sim and
    // --simulate --config-id 53 serve as well.
    bool readFactoryUnit() { return bench_->plug(u"--config-id 53"_s) && cli(u"read -o dev.scd"_s).exit == 0; }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<CliBench> bench_;
    QString workingFolder_; // the test's own, back after each test
    std::unique_ptr<QProcess> sim_;
    QString simPort_;

private slots:
    void init()
    {
        folder_ = std::make_unique<QTemporaryDir>();
        // The runs in this process name their files relative to the test's folder, as a
        // program started there does.
        workingFolder_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder_->path()));
        bench_ = std::make_unique<CliBench>(path(u"data/Tunekit"_s));
    }
    void cleanup()
    {
        stopSim();
        bench_.reset();
        QDir::setCurrent(workingFolder_);
    }

    // Read to a file, compare, write with backup and read-back, compare again.
    void stationWorkflow()
    {
        QVERIFY(bench_->plug(u"--config-id 53"_s));
        const CliResult read = cli(u"read -o dev.scd"_s);
        QCOMPARE(read.exit, 0);
        QVERIFY(read.out.contains(u"TransmitPower\t27\n"_s));
        QCOMPARE(cli(u"verify dev.scd"_s).out, u"Checksum valid\n"_s);
        const auto differences = [this](const QString& file) {
            const CliResult diff = cli(u"diff "_s + file);
            return QString::number(diff.exit) + u' ' + diff.out;
        };

        QVERIFY(makeStation(u"dev.scd"_s, u"station.scd"_s, "TransmitPower=27", "TransmitPower=20"));
        QVERIFY(QFile::exists(path(u"station.bak"_s)));
        // The backup keeps the production date, so only the changed value differs.
        QCOMPARE(differences(u"station.scd"_s), u"1 TransmitPower\t27\t20\n"_s);

        const CliResult write = cli(u"write station.scd --yes"_s);
        QCOMPARE(write.exit, 0);
        QVERIFY2(write.err.contains(u"Written and verified."_s), qPrintable(write.err));
        const QStringList backups = QDir(path(u"backups"_s)).entryList({u"*.scd"_s});
        QCOMPARE(backups.size(), 1);
        const QString backup = u"backups/"_s + backups.first();
        QCOMPARE(cli(u"verify "_s + backup).exit, 0);
        QCOMPARE(differences(u"station.scd"_s), u"0 "_s);

        // The automatic backup restores the unit exactly: nothing differs from it afterwards.
        const CliResult restore = cli(u"restore "_s + backup + u" --yes --no-backup"_s);
        QVERIFY2(restore.exit == 0, qPrintable(restore.err));
        QCOMPARE(differences(backup), u"0 "_s);

        // Another family's data at level 40 is written only when the option answers the question;
        // unanswered, it is refused as in the window.
        QVERIFY(bench_->plug(u"--config-id 52"_s));
        const CliResult unanswered = cli(u"write station.scd --no-backup"_s, "Dill");
        QCOMPARE(unanswered.exit, 6);
        QVERIFY2(unanswered.err.contains(u"Data (ConfigID=53) not compatible to connected hardware (ConfigID=52)"_s)
                     && unanswered.err.contains(u"--allow-config-mismatch"_s),
                 qPrintable(unanswered.err));

        // Any question nobody answers stops the write before the first packet that changes the
        // device: here the calibration question at level 40, the other questions answered.
        QVERIFY(bench_->plug(u"--config-id 53"_s));
        const CliResult calibration = cli(u"write station.scd --no-backup --json --init-defaults --extended-data"_s, "Dill");
        QVERIFY2(calibration.exit == 6, qPrintable(calibration.err + calibration.out));
        QCOMPARE(calibration.json().value(u"written"_s), QJsonValue(false));
        QCOMPARE(calibration.json().value(u"partlyWritten"_s), QJsonValue(false));
        QCOMPARE(differences(u"station.scd"_s), u"1 TransmitPower\t27\t20\n"_s);

        // A transmitter that stops answering in the middle of a 2 KB interpreter: told, never "written".
        QVERIFY(makeBig("INTERPRETER", 64));
        QVERIFY(bench_->plug(u"--config-id 53"_s));
        int interpreterUploads = -1;
        bench_->clock.schedule(9000, [this, &interpreterUploads] {
            SimLine* line = bench_->line(bench_->port());
            QVERIFY(line);
            interpreterUploads = 0;
            for (const QByteArray& request : line->device().requests())
                interpreterUploads += tunekit::packetType(request) == tunekit::Upload && tunekit::packetIndex(request) >= 0x6000 ? 1 : 0;
            line->faults().silent = true;
        });
        const CliResult cut = cli(u"write big.scd --yes --no-backup"_s);
        QCOMPARE(cut.exit, 9);
        QVERIFY(interpreterUploads > 0); // silent in the middle of the interpreter, not before it
        QVERIFY2(cut.err.contains(u"the device is partly written"_s), qPrintable(cut.err));
        QVERIFY(!cut.err.contains(u"Written and verified."_s));

        // Results that could not be saved or printed are no pass, and a read names no file it did
        // not save; a device that never answered leaves the message it gave.
        QVERIFY(bench_->plug(u"--config-id 53"_s));
        QCOMPARE(cli(u"read -o missing/dev.scd"_s).exit, 8);
        QCOMPARE(cli(u"read"_s, {}, OutputFails).exit, 8);
        QVERIFY(bench_->plug(u"--silent"_s));
        QCOMPARE(cli(u"detect"_s).exit, 4);

        // Every command that touched a device left its record in the user's data folder, failures too.
        const QJsonArray history = cli(u"records --json"_s).json().value(u"records"_s).toArray();
        QStringList runs;
        for (const QJsonValue& record : history)
            runs << u"%1 %2 %3"_s.arg(record["command"_L1].toString(), record["result"_L1].toString()).arg(record["exitCode"_L1].toInt());
        QCOMPARE(runs, (QStringList{u"read passed 0"_s, u"diff passed 1"_s, u"write passed 0"_s, u"diff passed 0"_s,
                                    u"restore passed 0"_s, u"diff passed 0"_s, u"write failed 6"_s, u"write failed 6"_s, u"diff passed 1"_s, u"write failed 9"_s,
                                    u"read failed 8"_s, u"read failed 8"_s, u"detect failed 4"_s}));
        QCOMPARE(history.at(10)["file"_L1].toString(), QString());
        QVERIFY(history.at(12)["message"_L1].toString().startsWith(u"Device not detected."_s));
        const QJsonObject written = history.at(2).toObject();
        QCOMPARE(written["changes"_L1].toArray(),
                 (QJsonArray{QJsonObject{{u"name"_s, u"TransmitPower"_s}, {u"before"_s, u"27"_s}, {u"after"_s, u"20"_s}}}));
        QCOMPARE(written["backup"_L1].toString(), path(backup));
        QCOMPARE(written["file"_L1].toString(), path(u"station.scd"_s));
        QCOMPARE(written["fileSha256"_L1].toString(),
                 QString::fromLatin1(QCryptographicHash::hash(readFile(path(u"station.scd"_s)), QCryptographicHash::Sha256).toHex()));
        QCOMPARE(written["configId"_L1].toInt(), 53);
        QCOMPARE(written["accessLevel"_L1].toString(), u"level1"_s); // no password given
        QVERIFY(!written["serialNumber"_L1].toString().isEmpty());
        QCOMPARE(written["message"_L1].toString(), u"Written and verified."_s);
        QCOMPARE(written["port"_L1].toString(), bench_->port());
        // Without a backup the unit is known from its read-back; a write cut short before it
        // knows only the family its detection found.
        QCOMPARE(history.at(4)["serialNumber"_L1].toString(), written["serialNumber"_L1].toString());
        QCOMPARE(history.at(9)["configId"_L1].toInt(), 53);

        // The backup on standard output, in place of the values; TUNEKIT_PORT names the port when
        // the command line names none, and -v adds each packet, sent and received, with date and
        // time on standard error.
        QVERIFY(bench_->plug(u"--config-id 53"_s));
        bench_->environmentPort = bench_->port();
        bench_->unplugDefault();
        const CliResult piped = cli(u"read -o - -v"_s);
        QVERIFY2(piped.exit == 0 && piped.out.isEmpty(), qPrintable(piped.err));
        writeFile(path(u"piped.scd"_s), piped.outFile);
        QCOMPARE(cli(u"verify piped.scd"_s).out, u"Checksum valid\n"_s);
        QCOMPARE(differences(u"piped.scd"_s), u"0 "_s);
        const auto traced = [&piped](const char* kind) {
            return piped.err.count(QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "_s + QLatin1StringView(kind),
                                                      QRegularExpression::MultilineOption));
        };
        QVERIFY2(traced("Transmit ") > 30 && traced("Receive ") >= traced("Transmit "), qPrintable(piped.err.left(2000)));
        QCOMPARE(cli(u"records --json"_s).json().value(u"records"_s).toArray().at(history.size())["file"_L1].toString(), u"-"_s);
        // The unit's history, newest first, as the window shows it: produced by the first write that
        // passed.
        const QString serial = written["serialNumber"_L1].toString();
        const QStringList life = cli(u"records --history --serial "_s + serial).out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(life.value(0).startsWith(u"Serial number %1, records: "_s.arg(serial))
                     && life.value(0).contains(u"Produced on "_s) && life.value(0).endsWith(u" with station.scd."_s),
                 qPrintable(life.join(u'\n')));
        QCOMPARE(life.value(1).section(u'\t', 1, 2), u"diff\tpassed"_s); // the last run on the unit
        QVERIFY2(life.value(2).section(u'\t', 1, 2) == u"read\tpassed"_s && life.value(2).section(u'\t', 5, 5).startsWith(u"- ("_s),
                 qPrintable(life.value(2)));
        QCOMPARE(cli(u"records --history --serial 1"_s).out, u"No record of the unit with serial number 1.\n"_s);
        QCOMPARE(cli(u"records --history"_s).exit, 2);
        // The report too, as the bytes the file would hold.
        const CliResult report = cli(u"report -o -"_s);
        QVERIFY(report.exit == 0 && report.outFile.startsWith("Nr\t") && report.outFile.contains("\r\n"));
    }

    // Three channels in one run, one with a worn cell: the others pass, the worn one fails on its
    // own, and each channel leaves its record under its unit's serial number.
    void channelsProgramInParallel()
    {
        QStringList ports;
        for (int unit = 0; unit < 3; ++unit) {
            ports << u"/dev/ttyBench%1"_s.arg(unit);
            QVERIFY(bench_->plug(u"--config-id 53 --system-address %1%2"_s.arg(100 + unit).arg(unit == 1 ? u" --stuck-cell 2203/0"_s : QString()),
                                 ports.last()));
        }
        QCOMPARE(cli(u"read -o dev.scd --port "_s + ports.first()).exit, 0);
        // A template for the line: another power, and no identity of its own.
        QVERIFY(makeStation(u"dev.scd"_s, u"power.scd"_s, "TransmitPower=27", "TransmitPower=20"));
        QVERIFY(makeStation(u"power.scd"_s, u"line.scd"_s, "SystemAddress=100\r\nOemCode=254\r\nProdGrp=0\r\n", ""));
        bench_->unplugDefault();
        const CliResult run = cli(u"write line.scd --yes --json --log trace.txt --port "_s + ports.join(u" --port "_s));
        QCOMPARE(run.exit, 7);
        const QJsonObject document = run.json();
        QCOMPARE(document["passed"_L1].toInt(), 2);
        QCOMPARE(document["failed"_L1].toInt(), 1);
        QStringList serials;
        for (int unit = 0; unit < 3; ++unit) {
            // Each channel's packet trace in a file of its own, with date and time, its Uploads and
            // the answers included, each packet once.
            const QString trace = QString::fromUtf8(readFile(path(u"trace-%1.txt"_s.arg(ports.at(unit).section(u'/', -1)))));
            const auto lines = [&trace](const char* kind) {
                return trace.count(QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "_s + QLatin1StringView(kind),
                                                      QRegularExpression::MultilineOption));
            };
            QVERIFY2(lines("Transmit 12 ") > 20 && lines("Receive ") >= lines("Transmit ") - 2 && !trace.contains(u"TxSend"_s),
                     qPrintable(ports.at(unit)));
            const QJsonObject channel = document["channels"_L1][unit].toObject();
            QCOMPARE(channel["port"_L1].toString(), ports.at(unit));
            QCOMPARE(channel["exitCode"_L1].toInt(), unit == 1 ? 7 : 0);
            QCOMPARE(channel["verified"_L1].toBool(), unit != 1);
            // The worn cell acknowledged the Upload but kept its value: the read-back found it.
            const QByteArray messages = QJsonDocument(channel["messages"_L1].toArray()).toJson();
            QVERIFY2(messages.contains("TransmitPower\\t20\\t27") == (unit == 1), messages.constData());
            serials << channel["serialNumber"_L1].toString();
            const QJsonArray history = cli(u"records --json --serial "_s + serials.last()).json()["records"_L1].toArray();
            QCOMPARE(history.size(), 1 + (unit == 0 ? 1 : 0)); // the first unit was read for the template
            const QJsonObject written = history.last().toObject();
            QCOMPARE(written["command"_L1].toString(), u"write"_s);
            QCOMPARE(written["port"_L1].toString(), ports.at(unit));
            QCOMPARE(written["result"_L1].toString(), QLatin1StringView(unit == 1 ? "failed" : "passed"));
        }
        QCOMPARE(QSet<QString>(serials.cbegin(), serials.cend()).size(), 3);
        // The channels ran side by side: the three together took about as long as one alone.
        const qint64 started = bench_->clock.nowMs();
        QCOMPARE(cli(u"write line.scd --yes --no-backup --port "_s + ports.first()).exit, 0);
        const qint64 alone = bench_->clock.nowMs() - started;
        const qint64 startedAll = bench_->clock.nowMs();
        QCOMPARE(cli(u"write line.scd --yes --no-backup --port "_s + ports.at(0) + u" --port "_s + ports.at(2)).exit, 0);
        QVERIFY2(bench_->clock.nowMs() - startedAll < alone * 3 / 2, qPrintable(u"%1 ms alone"_s.arg(alone)));
        // Results that did not reach standard output are no pass, with channels as with one.
        const CliResult lost = cli(u"detect --port "_s + ports.mid(0, 2).join(u" --port "_s), {}, OutputFails);
        QVERIFY2(lost.exit == 8 && lost.err.contains(u"The output could not be written completely."_s), qPrintable(lost.err));
    }

    // A records server out of reach keeps the record locally without changing the command's result;
    // the next run that reaches the server sends it there, once.
    void recordKeptLocallyUntilTheServerAnswers()
    {
        QVERIFY(bench_->plug(u"--config-id 52"_s));
        const CliResult detect = cli(u"detect --json --records postgresql://tunekit@127.0.0.1:1/records"_s);
        QCOMPARE(detect.exit, 0);
        QVERIFY2(detect.err.contains(u"Record kept locally"_s), qPrintable(detect.err));
        const QJsonObject record = detect.json()["record"_L1].toObject();
        QCOMPARE(record["stored"_L1].toString(), u"keptLocally"_s);
        // Told among the run's messages too, which a channel's line shows.
        QVERIFY(detect.json()["messages"_L1].toArray().last()["text"_L1].toString().startsWith(u"Record kept locally"_s));
        const QString server = qEnvironmentVariable("TUNEKIT_TEST_POSTGRES");
        if (server.isEmpty())
            QSKIP("TUNEKIT_TEST_POSTGRES names no PostgreSQL server (scripts/test.sh starts one)");
        for (int run = 0; run < 2; ++run) {
            const CliResult found = cli(u"records --json --records "_s + server);
            QVERIFY2(found.exit == 0, qPrintable(found.err));
            const QJsonArray records = found.json()["records"_L1].toArray();
            QCOMPARE(int(std::count_if(records.begin(), records.end(), [&](const QJsonValue& kept) { return kept["id"_L1] == record["id"_L1]; })), 1);
        }
    }

    // A record holds the run's final result: results that did not reach standard output make
    // the run, and its record, a failure.
    void recordHoldsTheFinalExitCode()
    {
        QVERIFY(bench_->plug(u"--config-id 53"_s));
        QCOMPARE(cli(u"detect --json"_s, {}, OutputFails).exit, 8);
        const CliResult found = cli(u"records --json"_s);
        QVERIFY2(found.exit == 0, qPrintable(found.err));
        const QJsonObject record = found.json()["records"_L1].toArray().last().toObject();
        QCOMPARE(record["command"_L1].toString(), u"detect"_s);
        QCOMPARE(record["exitCode"_L1].toInt(), 8);
        QCOMPARE(record["result"_L1].toString(), u"failed"_s);
    }

    void refusedAndBadInput_data()
    {
        QTest::addColumn<QString>("simulator"); // tunekit-sim's options of the unit; empty: none
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << "" << "" << 2 << "No command given (try --help).";
        QTest::newRow("unknown command") << "" << "flash" << 2 << "Unknown command \"flash\"";
        QTest::newRow("misspelt command") << "" << "raed" << 2 << "Unknown command \"raed\". Did you mean \"read\"?";
        QTest::newRow("misspelt option") << "" << "read --prot x" << 2 << "Unknown option --prot. Did you mean --port?";
        QTest::newRow("German usage error") << "" << "raed --lang=de" << 2 << "Unbekannter Befehl „raed“. Meinten Sie „read“?";
        QTest::newRow("option of another command") << "" << "detect -o out.scd" << 2
                                                   << "The option -o does not apply to \"detect\" (see tunekit-cli detect --help).";
        QTest::newRow("options of other commands") << "" << "verify station.scd --backup-dir x --csv" << 2
                                                   << "The option --backup-dir does not apply to \"verify\"";
        QTest::newRow("folder for a file") << "" << "verify ." << 5 << "The file . cannot be read. It is a folder, not a file.";
        QTest::newRow("password file that does not exist") << "--config-id 53" << "detect --password-file none.txt" << 5
                                                           << "The password file none.txt cannot be read. It does not exist.";
        QTest::newRow("refused before connecting: -o in no folder") << "--config-id 53" << "read -o nowhere/dev.scd" << 8
                                                                    << "The file nowhere/dev.scd cannot be written: The folder";
        QTest::newRow("refused before connecting: --log to a folder") << "--config-id 53" << "detect --log ." << 8
                                                                      << "The file . cannot be written: There is a folder of that name.";
        QTest::newRow("missing file") << "--config-id 53" << "write none.scd" << 5 << "The file none.scd cannot be read.";
        QTest::newRow("port that does not exist") << "" << "detect --port /dev/tunekit-none" << 3 << "The port does not exist";
        QTest::newRow("device not answering") << "--silent" << "detect" << 4 << "Device not detected.";
        QTest::newRow("device not answering, quiet") << "--silent" << "detect -q" << 4 << "Device not detected.";
        // A family without parameters is neither backed up, written nor "verified".
        QTest::newRow("family Tunekit does not know") << "--config-id 255" << "write station.scd --yes" << 6
                                                      << "reports ConfigID 255, a family Tunekit does not know";
        QTest::newRow("password of no level") << "--config-id 53" << "detect" << 2 << "The password unlocks no access level.";
        // A file that has its checksum is left as it is: no .bak beside it.
        QTest::newRow("convert of a valid file") << "" << "convert station.scd" << 0 << "already has a valid checksum; nothing was changed.";
        // A checksum is given only to a configuration, and --yes never gives a changed file a new one.
        QTest::newRow("convert of an empty file") << "" << "convert station.scd" << 5 << "is not a configuration file";
        QTest::newRow("file changed after its checksum") << "" << "write station.scd --yes" << 5
                                                         << "The checksum of station.scd is not valid";
        // Results that cannot be written are a failure, not a success with nothing in the file.
        QTest::newRow("results that cannot be written") << "" << "report" << 8 << "The output could not be written completely.";
        QTest::newRow("records since no date") << "" << "records --since someday" << 2 << "someday is no date";
        // A records destination that cannot be right is refused before the device is touched.
        QTest::newRow("records destination without its scheme") << "--config-id 53" << "write station.scd --yes --records foo.sqlite" << 2
                                                                 << "foo.sqlite is no records URL";
        QTest::newRow("records file in a folder that does not exist") << "--config-id 53" << "detect --records sqlite:nowhere/r.sqlite"
                                                                      << 2 << "The folder of the records file nowhere/r.sqlite does not exist.";
        // A records file named on purpose that did not exist is made, and the user hears of it.
        QTest::newRow("records file made new") << "--config-id 53" << "detect --records sqlite:new.sqlite" << 0
                                               << "A new records file was made: new.sqlite";
        // Neither the store nor the spool can take the record: the unit cannot be proved.
        QTest::newRow("record lost") << "--config-id 53" << "detect" << 11 << "The record of this run is lost.";
        QTest::newRow("records server out of reach") << "" << "records --records postgresql://tunekit@127.0.0.1:1/records" << 8
                                                     << "The records cannot be read: The records server";
    }

    void refusedAndBadInput()
    {
        QFETCH(QString, simulator);
        QFETCH(QString, commandLine);
        QFETCH(int, exit);
        QFETCH(QString, message);
        const QByteArrayView tag(QTest::currentDataTag());
        if (!simulator.isEmpty())
            QVERIFY(bench_->plug(simulator));
        if (tag == "convert of a valid file" || tag == "family Tunekit does not know" || tag == "file changed after its checksum")
            QVERIFY(QFile::copy(QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd"), path(u"station.scd"_s)));
        if (tag == "file changed after its checksum") {
            QFile::setPermissions(path(u"station.scd"_s), QFile::ReadOwner | QFile::WriteOwner);
            writeFile(path(u"station.scd"_s), readFile(path(u"station.scd"_s)).replace("OemCode=2", "OemCode=9"));
        }
        if (tag == "convert of an empty file")
            writeFile(path(u"station.scd"_s), "\r\n");
        if (tag == "record lost")
            writeFile(path(u"data"_s), "a file where the data folder goes");
        // Development (level 60) opens a file whose checksum is not valid; the write still refuses it.
        const QByteArray password = tag == "password of no level" ? "Rose" : tag == "file changed after its checksum" ? "Haspel2093" : "";
        const CliResult result = cli(commandLine, password, tag == "results that cannot be written");
        QCOMPARE(result.exit, exit);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        // Said once, and before the transmitter was touched.
        QCOMPARE(result.err.count(message), 1);
        if (tag.startsWith("refused before connecting"))
            QVERIFY2(!result.err.contains(u"Connecting"_s), qPrintable(result.err));
        // Nothing half-written: no file appeared beside the input.
        QStringList left = QDir(folder_->path()).entryList(QDir::Files);
        left.removeAll(u"new.sqlite"_s);
        left.removeAll(u"data"_s);
        QVERIFY2(left.isEmpty() || left == QStringList{u"station.scd"_s}, qPrintable(left.join(u' ')));
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
        const QString write = QStringLiteral("write station.scd --yes");
        const QString written = QStringLiteral("Written and verified.");
        QTest::newRow("stray and wrong-type answers") << "--stray 0.3 --wrong-type 0.3" << "read" << QByteArray() << 0 << "";
        QTest::newRow("lost answers") << "--lose 0.05" << "read" << QByteArray() << 0 << "";
        QTest::newRow("fresh unit read") << "--fresh" << "read" << QByteArray() << 0 << "";
        QTest::newRow("fresh unit written") << "--fresh" << write << QByteArray() << 0 << written;
        QTest::newRow("busy device") << "--work-ms 700" << write << QByteArray() << 0 << written;
        QTest::newRow("firmware without ConfigEnable") << "--old-firmware" << write << QByteArray() << 0 << written;
        QTest::newRow("ConfigEnable answered by UploadComplete") << "--config-enable-answer 13" << write << QByteArray() << 0 << written;
        QTest::newRow("ConfigEnable never answered") << "--config-enable-answer none" << write << QByteArray() << 4 << "";
        QTest::newRow("value no cell holds") << "" << write << QByteArray("ShutdownDelay=500|ShutdownDelay=70000") << 6
                                             << "nothing was written:\nShutdownDelay=70000";
        QTest::newRow("fraction") << "" << write << QByteArray("ChannelStep=1|ChannelStep=12.6") << 6 << "ChannelStep=12.6";
        // A value outside its description's range is refused unless its own option allows it.
        const QByteArray outside("TransmitPower=20|TransmitPower=99");
        QTest::newRow("outside the stated range") << "" << write << outside << 6 << "--allow-out-of-range";
        QTest::newRow("outside the stated range, allowed") << "" << write + " --allow-out-of-range" << outside << 0 << written;
        // A line that sets nothing is named, and refused when asked to be strict.
        const QByteArray misspelt("TransmitPower=20|TransmitPowr=20\r\nTransmitPower=20");
        QTest::newRow("misspelt name") << "" << write << misspelt << 0 << "These lines of station.scd set nothing";
        QTest::newRow("misspelt name, strict") << "" << write + " --strict" << misspelt << 5 << "Refused (--strict)";
        QTest::newRow("backup folder that cannot be made") << "" << write + " --backup-dir station.scd/b" << QByteArray() << 10
                                                           << "Nothing was written to the device.";
        QTest::newRow("full backup disk") << "" << write + " --backup-dir full" << QByteArray() << 10 << "the disk may be full";
    }

    void deviceFaults()
    {
        QFETCH(QString, faults);
        QFETCH(QString, commandLine);
        QFETCH(QByteArray, line);
        QFETCH(int, exit);
        QFETCH(QString, message);
        QVERIFY(bench_->plug(u"--config-id 53 "_s + (faults == u"--fresh"_s ? faults : QString())));
        const CliResult sound = cli(u"read -o dev.scd"_s);
        QCOMPARE(sound.exit, 0);
        QVERIFY(makeStation(u"dev.scd"_s, u"station.scd"_s, "TransmitPower=27", "TransmitPower=20"));
        if (!line.isEmpty())
            QVERIFY(makeStation(u"station.scd"_s, u"station.scd"_s, line.split('|').at(0), line.split('|').at(1)));
        const QString full = path(u"full"_s);
        const bool fullDisk = QByteArrayView(QTest::currentDataTag()) == "full backup disk";
        if (fullDisk) {
            QVERIFY(QDir().mkpath(full));
            if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=4k"_s, u"tmpfs"_s, full}) != 0)
                QSKIP("A full disk needs a small file system, which only root may mount here.");
            QFile filler(full + u"/filler"_s);
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(512, 'x')) == 512 && filler.flush()) {
            }
        }

        QVERIFY(bench_->plug(u"--config-id 53 "_s + faults));
        const CliResult result = cli(commandLine);
        if (fullDisk)
            QProcess::execute(u"umount"_s, {full});
        QVERIFY2(result.exit == exit, qPrintable(result.err));
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(!result.err.contains(u"Done!"_s)); // said before the read-back, if at all
        // A read on a bad line is the sound read; a write that failed left this device as it was.
        if (commandLine == u"read"_s || exit != 0)
            QCOMPARE(commandLine == u"read"_s ? result.out : cli(u"read"_s).out, sound.out);
    }

    // A restore puts back exactly what the backup holds: a fresh unit's erased cells (battery
    // type, production date) come back erased, not as defaults, and nothing differs afterwards.
    void restoreIsExact()
    {
        QVERIFY(bench_->plug(u"--config-id 53 --fresh"_s));
        QCOMPARE(cli(u"read -o fresh.scd"_s).exit, 0);
        QVERIFY(readFile(path(u"fresh.scd"_s)).contains("ProductionDate=-1\r\n"));
        QVERIFY(makeStation(u"fresh.scd"_s, u"station.scd"_s, "TransmitPower=27", "TransmitPower=20"));
        // Written with the defaults in place of the erased values.
        const CliResult write = cli(u"write station.scd --yes --no-backup"_s);
        QVERIFY2(write.exit == 0, qPrintable(write.err));
        QVERIFY2(write.err.contains(u"BatteryType=255"_s), qPrintable(write.err)); // the question names them
        QCOMPARE(cli(u"diff fresh.scd"_s).exit, 1);
        const CliResult restore = cli(u"restore fresh.scd --yes --no-backup"_s);
        QVERIFY2(restore.exit == 0, qPrintable(restore.err));
        const CliResult diff = cli(u"diff fresh.scd"_s);
        QVERIFY2(diff.exit == 0, qPrintable(diff.out + diff.err));
    }

    // Interrupted in the middle of a write (Ctrl-C): before anything was sent, nothing was
    // written; once some packets of the texts are on their way (the extended data was agreed
    // to), the packet on the line is finished, the device reset, and the tool tells how to
    // restore the backup, with the code of a partly written device.
    void interruptedWrite_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("after"); // the step whose start the interruption follows
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        const QString write = QStringLiteral("write big.scd --yes");
        QTest::newRow("while reading the backup") << write << "Reading the device ..." << 10 << "Nothing was written to the device.";
        QTest::newRow("while writing") << write << "Writing ..." << 9 << "To restore it: tunekit-cli restore backups/";
        QTest::newRow("while verifying") << write << "Verifying ..." << 8 << "written but not verified";
        // A restore cut short names the backup it was restoring, not the one it just made.
        QTest::newRow("a restore while writing") << "restore big.scd --yes" << "Writing ..." << 9
                                                 << "To restore it: tunekit-cli restore big.scd ";
    }

    void interruptedWrite()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, after);
        QFETCH(int, exit);
        QFETCH(QString, message);
        QVERIFY(bench_->plug(u"--config-id 53"_s));
        QCOMPARE(cli(u"read -o dev.scd"_s).exit, 0);
        QVERIFY(makeBig("TEXTS", 32));
        bench_->interruptWhen = [&after, exit](const QString& err) { return stepReached(err, after, exit == 9); };
        const CliResult result = cli(commandLine);
        QVERIFY2(stepReached(result.err, after, exit == 9), qPrintable(result.err));
        QVERIFY2(result.exit == exit && result.err.contains(message), qPrintable(result.err));
        QVERIFY(result.err.contains(u"Interrupted: stopping after the packet on the line."_s));
    }

    // The write has reached the step; where data must have gone out, packets of the extended
    // data agreed to are on their way.
    static bool stepReached(const QString& err, const QString& step, bool dataSent)
    {
        const qsizetype agreed = err.indexOf(u"-> yes"_s);
        return err.contains(step) && (!dataSent || (agreed >= 0 && err.indexOf(u" packets"_s, agreed) >= 0));
    }

    // Ctrl-C and SIGTERM reach a running write of the real program, which ends as an
    // interruption does: after the packet on the line, with the state it left.
    void signalsStopAWrite_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        QTest::newRow("SIGTERM while reading the backup") << int(SIGTERM) << "Reading the device ..." << 10
                                                          << "Nothing was written to the device.";
        QTest::newRow("SIGINT while writing") << int(SIGINT) << "Writing ..." << 9 << "To restore it: tunekit-cli restore backups/";
    }

    void signalsStopAWrite()
    {
#ifdef Q_OS_LINUX
        QFETCH(int, signal);
        QFETCH(QString, after);
        QFETCH(int, exit);
        QFETCH(QString, message);
        QVERIFY(readFactoryUnit());
        QVERIFY(makeBig("TEXTS", 32));
        QProcess process;
        process.setReadChannel(QProcess::StandardError);
        startProcess(process, u"write big.scd --yes --simulate --config-id 53"_s);
        QString err;
        while (!stepReached(err, after, exit == 9) && process.waitForReadyRead(20000))
            err += QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(stepReached(err, after, exit == 9), qPrintable(err));
        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
        QVERIFY(process.waitForFinished(20000));
        err += QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == exit && err.contains(message), qPrintable(err));
#else
        QSKIP("Signals are watched through signalfd on Linux only.");
#endif
    }

    // A signal that comes once the run has given its verdict changes nothing: it does not end
    // the process after the document said exitCode 0. Raised while the watch holds the signals,
    // it is still pending when the watch goes; had the watch left it there, unblocking would
    // deliver it and end this test by SIGINT.
    void signalAfterTheVerdictIsTaken()
    {
#ifdef Q_OS_LINUX
        int interrupts = 0;
        {
            const tunekit::cli::InterruptWatch watch([&interrupts] { ++interrupts; });
            QCOMPARE(raise(SIGINT), 0);
        }
        sigset_t pending;
        sigpending(&pending);
        QVERIFY(!sigismember(&pending, SIGINT));
        QCOMPARE(interrupts, 0); // the event loop never ran: the run was over
#else
        QSKIP("Signals are watched through signalfd on Linux only.");
#endif
    }

    // Help, version and manual page need no display: a server without one runs them (and the
    // build writes the manual pages with them).
    void answersWithoutDisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("answer"); // the start of standard output
        QTest::addColumn<QString>("mentions"); // in standard output, or in standard error when the program fails
        QTest::addColumn<int>("exit");
        const QString window = QStringLiteral(TUNEKIT_WINDOW_EXECUTABLE);
        const QString cli = QStringLiteral(TUNEKIT_CLI_EXECUTABLE);
        const QString version = QStringLiteral(TUNEKIT_VERSION "\n");
        QTest::newRow("tunekit --help") << window << "--help" << "Usage: tunekit [options]\n" << "  --simulate" << 0;
        QTest::newRow("tunekit --version") << window << "--version" << "tunekit " + version << "" << 0;
        QTest::newRow("tunekit --man") << window << "--man" << ".TH TUNEKIT 1 " << "\\fB\\-\\-has\\-adapter\\fR" << 0;
        QTest::newRow("tunekit-cli --help") << cli << "-h" << "Usage: tunekit-cli COMMAND [FILE] [options]\n" << "  --allow-config-mismatch" << 0;
        QTest::newRow("tunekit-cli --version") << cli << "--version" << "tunekit-cli " + version << "" << 0;
        QTest::newRow("tunekit-sim --version") << QStringLiteral(TUNEKIT_SIM_EXECUTABLE) << "--version" << "tunekit-sim " + version << "" << 0;
        // The window without a display says so and ends with 1, also after a misspelt option.
        const QString noDisplay = QStringLiteral("Tunekit needs a display");
        QTest::newRow("tunekit without a display") << window << "--simulate" << "" << noDisplay << 1;
        QTest::newRow("tunekit with a bad option, without a display") << window << "--simulat" << ""
                                                                      << "Unknown option --simulat. Did you mean --simulate?" << 1;
        // A command's own help: its usage, the options that apply to it and its exit codes.
        QTest::newRow("tunekit-cli write --help") << cli << "write --help" << "Usage: tunekit-cli write FILE.scd" << "  7 " << 0;
        QTest::newRow("tunekit-cli completion") << cli << "--bash-completion" << "# bash completion for tunekit-cli"
                                                << "complete -F _tunekit_cli tunekit-cli\n" << 0;
        const QString sim = QStringLiteral(TUNEKIT_SIM_EXECUTABLE);
        QTest::newRow("tunekit-sim with a stray word") << sim << "--silent extra" << "" << "Unexpected argument \"extra\"" << 1;
        QTest::newRow("tunekit-sim of no family") << sim << "--config-id 99" << ""
                                                 << "No transmitter family has the ConfigID 99; the simulated transmitter can be 1, 2, 3, 4, 5, 10, 50, 51, 52, 53." << 1;
    }

    void answersWithoutDisplay()
    {
        QFETCH(QString, program);
        QFETCH(QString, argument);
        QFETCH(QString, answer);
        QFETCH(QString, mentions);
        QFETCH(int, exit);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
            environment.remove(name);
        environment.insert(u"LC_ALL"_s, u"C"_s);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, argument.split(u' '));
        QVERIFY(process.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == exit, qPrintable(err));
        if (exit != 0) {
            QVERIFY2(out.isEmpty() && err.contains(mentions), qPrintable(err));
            if (program == QStringLiteral(TUNEKIT_WINDOW_EXECUTABLE))
                QVERIFY2(err.contains(u"Tunekit needs a display"_s), qPrintable(err));
            return;
        }
        QVERIFY2(mentions.isEmpty() ? out == answer : out.startsWith(answer) && out.contains(mentions), qPrintable(out));
    }

    // Each program's completion script, as bash runs it: commands, the options that apply to the
    // command typed, and the values an option takes.
    void bashCompletes_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("words"); // typed so far; the last is the word being completed
        QTest::addColumn<QString>("offered");
        const QString cli = QStringLiteral(TUNEKIT_CLI_EXECUTABLE);
        QTest::newRow("a command") << cli << "tunekit-cli wr" << "write";
        QTest::newRow("an option of the command") << cli << "tunekit-cli write --no-b" << "--no-backup";
        QTest::newRow("no option of another command") << cli << "tunekit-cli read --no-b" << "";
        QTest::newRow("the values an option takes") << cli << "tunekit-cli records --result f" << "failed";
        QTest::newRow("the languages") << cli << "tunekit-cli read --lang ''" << "de en";
        QTest::newRow("tunekit-sim") << QStringLiteral(TUNEKIT_SIM_EXECUTABLE) << "tunekit-sim --config-i" << "--config-id";
        QTest::newRow("tunekit") << QStringLiteral(TUNEKIT_WINDOW_EXECUTABLE) << "tunekit --sim" << "--simulate";
    }

    void bashCompletes()
    {
        QFETCH(QString, program);
        QFETCH(QString, words);
        QFETCH(QString, offered);
        QProcess script;
        script.start(program, {u"--bash-completion"_s});
        QVERIFY(script.waitForFinished(60000) && script.exitCode() == 0);
        writeFile(path(u"completion.bash"_s), script.readAllStandardOutput());
        const QString name = program.section(u'/', -1);
        QProcess bash;
        bash.setWorkingDirectory(folder_->path());
        bash.start(u"bash"_s, {u"-c"_s, u"source completion.bash; COMP_WORDS=(%1); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
                                        "_%2; echo \"${COMPREPLY[*]}\""_s.arg(words, QString(name).replace(u'-', u'_'))});
        QVERIFY(bash.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(bash.readAllStandardOutput()).trimmed(), offered);
    }

    // Every command's --json document satisfies docs/cli-json.schema.json, and its keys and
    // message codes are the same whatever the language. One unit serves every command.
    void jsonDocuments()
    {
        const tunekit::testing::JsonSchemaCheck schema(QJsonDocument::fromJson(readFile(QStringLiteral(TUNEKIT_CLI_JSON_SCHEMA))).object());
        QVERIFY(!schema.problems(QJsonObject{{u"command"_s, u"read"_s}}).isEmpty());
        writeFile(path(u"truncated.scd"_s), "* HVX Config-File\r\nConfigID=53\r\nSystemAd");
        QVERIFY(bench_->plug(u"--config-id 53"_s));

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
            {"records", "records", 0, "records"}, // those the rows above left, oldest first
            {"records out of reach", "records --records postgresql://tunekit@127.0.0.1:1/records", 8, "messages"},
            {"usage error", "flash", 2, "messages"},
            {"file error", "write truncated.scd --no-backup", 5, "messages"},
        };
        QHash<QString, QJsonObject> documents;
        for (const Row& row : rows) {
            const QString backup = documents.value(u"write"_s).value(u"backup"_s).toString();
            const CliResult result = cli(QString::fromLatin1(row.commandLine).replace(u"{backup}"_s, backup) + u" --json"_s);
            const QString what = QString::fromLatin1(row.name) + u": "_s + result.err + result.out;
            QVERIFY2(result.exit == row.exit, qPrintable(what));
            QJsonParseError error{};
            const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
            QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(), qPrintable(what));
            const QJsonObject object = document.object();
            const QStringList problems = schema.problems(object);
            QVERIFY2(problems.isEmpty(), qPrintable(QString::fromLatin1(row.name) + u'\n' + problems.join(u'\n')));
            QCOMPARE(object.value(u"exitCode"_s).toInt(-1), row.exit);
            const QJsonValue known = object.value(QLatin1StringView(row.known));
            QVERIFY2(!known.isNull() && !known.isUndefined(), qPrintable(what));
            documents.insert(QString::fromLatin1(row.name), object);
        }

        // Whole numbers are numbers; a transmitter's values and the information have their names.
        const QJsonArray values = documents.value(u"read"_s).value(u"values"_s).toArray();
        QVERIFY(std::any_of(values.begin(), values.end(),
                            [](const QJsonValue& v) { return v["name"_L1] == u"TransmitPower"_s && v["value"_L1] == QJsonValue(27); }));
        QCOMPARE(documents.value(u"detect"_s).value(u"configId"_s), QJsonValue(53));
        QVERIFY(documents.value(u"read --info"_s).value(u"info"_s).toObject().contains(u"firmwareVersion"_s));
        QCOMPARE(documents.value(u"verify"_s).value(u"checksumState"_s), QJsonValue(u"valid"_s));
        const QJsonObject records = documents.value(u"records"_s);
        QCOMPARE(records.value(u"schemaVersion"_s), QJsonValue(tunekit::records::SchemaVersion));
        QStringList commands;
        for (const QJsonValue record : records.value(u"records"_s).toArray())
            commands << record["command"_L1].toString();
        QCOMPARE(commands, (QStringList{u"detect"_s, u"read"_s, u"read"_s, u"diff"_s, u"write"_s, u"restore"_s}));
        QVERIFY(!documents.value(u"records out of reach"_s).contains(u"records"_s));

        // German and English: other texts, the same keys and codes.
        const QJsonObject english = documents.value(u"file error"_s);
        const QJsonObject deutsch = cli(u"write truncated.scd --no-backup --json --lang de"_s).json();
        QVERIFY(!english.value(u"messages"_s).toArray().isEmpty());
        QVERIFY2(!keysAndCodes(english).contains(u"code=unknown"_s), qPrintable(keysAndCodes(english).join(u' ')));
        QCOMPARE(keysAndCodes(deutsch), keysAndCodes(english));
        QVERIFY(deutsch.value(u"messages"_s) != english.value(u"messages"_s));
        // A port named twice is a usage error, with its document too.
        const QJsonObject twice = cli(u"detect --port "_s + bench_->port() + u" --port "_s + bench_->port() + u" --json"_s).json();
        QCOMPARE(twice.value(u"exitCode"_s).toInt(), 2);
        QVERIFY2(schema.problems(twice).isEmpty() && !keysAndCodes(twice).contains(u"code=unknown"_s),
                 qPrintable(keysAndCodes(twice).join(u' ')));

        // A channel whose port cannot be opened, and one whose adapter is not plugged in, say so
        // in messages that have their codes, and each leaves its record.
        const QJsonObject channels = cli(u"detect --port "_s + bench_->port() + u" --port /dev/null --adapter TUNEKIT-NONE --json"_s).json();
        QCOMPARE(channels.value(u"exitCode"_s).toInt(), 3);
        QVERIFY2(schema.problems(channels).isEmpty(), qPrintable(schema.problems(channels).join(u'\n')));
        QVERIFY2(!keysAndCodes(channels).contains(u"code=unknown"_s), qPrintable(keysAndCodes(channels).join(u' ')));
        const QJsonArray parts = channels.value(u"channels"_s).toArray();
        QCOMPARE(parts.size(), 3);
        for (const QJsonValue part : parts)
            QCOMPARE(part["record"_L1]["stored"_L1].toString(), u"stored"_s);
        QVERIFY(parts.at(2)["messages"_L1].toArray().last()["text"_L1].toString().contains(u"TUNEKIT-NONE"_s));

        // The link's own time-out message has its code too.
        QVERIFY(bench_->plug(u"--config-id 53 --config-enable-answer none"_s));
        const QJsonObject lost = cli(u"write dev.scd --yes --no-backup --json"_s).json();
        QCOMPARE(lost.value(u"exitCode"_s).toInt(), 4);
        QVERIFY2(keysAndCodes(lost).contains(u"code=TransmitEngine.t-i-m-e-o-u-t-interface"_s), qPrintable(keysAndCodes(lost).join(u' ')));
    }

    // The records command prints what the store holds, filtered, as JSON, CSV or lines, record by
    // record: more of them than fit in one piece of output come whole and in order.
    void recordsQuery()
    {
        using namespace tunekit::records;
        QList<OperationRecord> records;
        {
            SqliteRecordStore store(path(u"records.sqlite"_s));
            const QDateTime days[] = {QDateTime(QDate(2025, 3, 1), QTime(8, 1), Qt::UTC),
                                      QDateTime(QDate(2025, 3, 1), QTime(23, 59), Qt::LocalTime).toUTC(),
                                      QDateTime(QDate(2025, 3, 2), QTime(8, 3), Qt::LocalTime).toUTC()};
            for (int i = 0; i < 63; ++i) {
                // Three to filter, then sixty of another unit with many changes each.
                OperationRecord record = startRecord(u"write"_s, u"bench, 7"_s, i < 3 ? days[i] : days[2].addDays(1).addSecs(60 * i));
                record.serialNumber = i == 1 ? u"B2"_s : i < 3 ? u"A1"_s : u"C3"_s;
                record.result = QLatin1StringView(i == 0 || i >= 3 ? ResultPassed : ResultFailed);
                for (int change = 0; change < (i < 3 ? 1 : 27); ++change)
                    record.changes << RecordChange{u"TransmitPower%1"_s.arg(change), u"20"_s, u"27"_s};
                record.message = u"The device holds other values than the file:\nTransmitPower"_s;
                QCOMPARE(store.add(record).status, RecordOutcome::Status::Stored);
                records << record;
            }
        }
        QList<int> all(63);
        std::iota(all.begin(), all.end(), 0);
        const std::pair<QString, QList<int>> cases[] = { // the options, and which of the records, in order
            {u"--json"_s, all},
            {u"--json --serial A1 --result failed"_s, {2}},
            {u"--json --serial none"_s, {}},
            {u"--csv --since 2025-03-01T08:02:00Z"_s, all.mid(1)},
            {u"--csv --until 2025-03-01"_s, {0, 1}}, // the whole day
            {u"--csv --serial none"_s, {}},
            {u"--result failed"_s, {1, 2}},          // lines
        };
        for (const auto& [options, expected] : cases) {
            const CliResult result = cli(u"records --records sqlite:records.sqlite "_s + options);
            QVERIFY2(result.exit == 0, qPrintable(options + result.err));
            QJsonArray json;
            QString csv = recordsCsvHeader();
            QStringList lines;
            for (int i : expected) {
                json.append(recordJson(records.at(i)));
                csv += recordCsvLine(records.at(i));
                lines << u"\tfailed\twrite\t"_s + records.at(i).serialNumber;
            }
            if (options.startsWith(u"--json"_s)) {
                const QJsonObject document = result.json();
                QCOMPARE(document.value(u"schema"_s), QJsonValue(u"tunekit-cli/1"_s));
                QCOMPARE(document.value(u"command"_s), QJsonValue(u"records"_s));
                QCOMPARE(document.value(u"exitCode"_s), QJsonValue(0));
                QCOMPARE(document.value(u"schemaVersion"_s), QJsonValue(SchemaVersion));
                QCOMPARE(document.value(u"records"_s).toArray(), json);
            } else if (options.startsWith(u"--csv"_s)) {
                QCOMPARE(result.out, csv);
            } else {
                const QStringList shown = result.out.split(u'\n', Qt::SkipEmptyParts);
                QCOMPARE(shown.size(), lines.size());
                for (qsizetype n = 0; n < shown.size(); ++n)
                    QVERIFY2(shown.at(n).contains(lines.at(n)), qPrintable(shown.at(n)));
            }
        }
        // Output that cannot be written ends the export as a failure, in every format.
        for (const QString& format : {u"--json"_s, u"--csv"_s, QString()}) {
            const CliResult lost = cli(u"records --records sqlite:records.sqlite "_s + format, {}, OutputFails);
            QVERIFY2(lost.exit == 8 && lost.err.contains(u"The output could not be written completely."_s), qPrintable(format + lost.err));
        }
    }

    // The real program's standard output on a full disk: what it printed did not arrive, and the
    // run fails, whether it prints its results at once or record by record.
    void fullDisk_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("report") << "report";
        QTest::newRow("records as JSON") << "records --records sqlite:records.sqlite --json";
        QTest::newRow("records as CSV") << "records --records sqlite:records.sqlite --csv";
        QTest::newRow("records as lines") << "records --records sqlite:records.sqlite";
        QTest::newRow("help") << "--help";
        QTest::newRow("a command's help") << "write --help";
        QTest::newRow("report to standard output") << "report -o -";
    }

    void fullDisk()
    {
        QFETCH(QString, commandLine);
        {
            // Records to print.
            tunekit::records::SqliteRecordStore store(path(u"records.sqlite"_s));
            for (int i = 0; i < 300; ++i) {
                tunekit::records::OperationRecord record =
                    tunekit::records::startRecord(u"write"_s, u"bench, 7"_s, QDateTime(QDate(2025, 3, 1), QTime(8, 1), Qt::UTC).addSecs(i));
                record.message = u"The device holds other values than the file:\nTransmitPower"_s;
                QCOMPARE(store.add(record).status, tunekit::records::RecordOutcome::Status::Stored);
            }
        }
        const CliResult lost = runProcess(commandLine, u"/dev/full"_s);
        QVERIFY2(lost.exit == 8 && lost.err.contains(u"The output could not be written completely."_s), qPrintable(lost.err));
    }

    // A second program on a port in use is turned away, never interleaved with the first.
    // A port the run cannot have says why, and gives the advice that can help: the group to join
    // only where joining it opens the port.
    void portRefused_data()
    {
        QTest::addColumn<QString>("group"); // the port's group, readable and writable by it; "": as made
        QTest::addColumn<QString>("reason");
        QTest::newRow("held by another program") << "" << "Another program is using the port.";
        QTest::newRow("a pseudo-terminal of another user") << ""
                                                           << "it belongs to another user, and no group your user could join opens it.";
        QTest::newRow("a port of a group the user is not in") << "dialout" << "your user must be in the group \"dialout\"";
    }

    void portRefused()
    {
        QFETCH(QString, group);
        QFETCH(QString, reason);
        QVERIFY(startSim(u"--config-id 53"_s));
        QSerialPort first(simPort_);
        CliResult result;
        if (QByteArrayView(QTest::currentDataTag()) == "held by another program") {
            QVERIFY(first.open(QIODevice::ReadWrite));
            result = runProcess(u"detect"_s);
        } else {
            // Another user: only root can become one.
            if (::geteuid() != 0)
                QSKIP("Only root can run tunekit-cli as another user here");
            const QStringList nobody{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
            if (QProcess::execute(u"setpriv"_s, nobody + QStringList{u"test"_s, u"-x"_s, QStringLiteral(TUNEKIT_CLI_EXECUTABLE)}) != 0)
                QSKIP("Another user may not run the built tunekit-cli (its folder is closed to others)");
            if (!group.isEmpty()) {
                QVERIFY(QProcess::execute(u"chgrp"_s, {group, simPort_}) == 0);
                QVERIFY(QProcess::execute(u"chmod"_s, {u"660"_s, simPort_}) == 0);
            }
            QTemporaryDir data(u"/tmp/tunekit-nobody-XXXXXX"_s);
            QFile::setPermissions(data.path(), QFileDevice::Permissions(0x7777));
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(u"XDG_DATA_HOME"_s, data.path());
            environment.insert(u"HOME"_s, data.path());
            process.setProcessEnvironment(environment);
            process.setWorkingDirectory(data.path());
            process.start(u"setpriv"_s, nobody + QStringList{QStringLiteral(TUNEKIT_CLI_EXECUTABLE), u"detect"_s, u"--port"_s,
                                                             simPort_, u"--lang"_s, u"en"_s});
            QVERIFY(process.waitForFinished(60000));
            result = {process.exitCode(), QString(), QString::fromLocal8Bit(process.readAllStandardError()), {}};
        }
        QCOMPARE(result.exit, 3);
        QVERIFY2(result.err.contains(reason), qPrintable(result.err));
        QVERIFY2(group == u"dialout"_s || !result.err.contains(u"dialout"_s), qPrintable(result.err));
    }

    // The real programs end to end: tunekit-cli writes a unit that tunekit-sim serves on a
    // pseudo-terminal through the real serial port, backs it up, reads it back and records it.
    void writeOverPseudoTerminal()
    {
        QVERIFY(readFactoryUnit()); // the same values as tunekit-sim's unit of family 53
        QVERIFY(makeStation(u"dev.scd"_s, u"station.scd"_s, "TransmitPower=27", "TransmitPower=20"));
        QVERIFY(startSim(u"--config-id 53"_s));
        const CliResult write = runProcess(u"write station.scd --yes --json"_s);
        QVERIFY2(write.exit == 0, qPrintable(write.err));
        QVERIFY2(write.err.contains(u"Written and verified."_s), qPrintable(write.err));
        const QJsonObject document = write.json();
        QCOMPARE(document["port"_L1].toString(), simPort_);
        QCOMPARE(document["verified"_L1].toBool(), true);
        QCOMPARE(document["record"_L1]["stored"_L1].toString(), u"stored"_s);
        const QString backup = document["backup"_L1].toString();
        QVERIFY2(backup.startsWith(u"backups/"_s) && QFile::exists(path(backup)), qPrintable(backup));
        // The backup holds the unit as it came; the record what it holds now.
        QVERIFY(readFile(path(backup)).contains("TransmitPower=27\r\n"));
        const QJsonObject record = runProcess(u"records --json"_s).json()["records"_L1].toArray().last().toObject();
        QCOMPARE(record["command"_L1].toString(), u"write"_s);
        QCOMPARE(record["port"_L1].toString(), simPort_);
        QCOMPARE(record["changes"_L1].toArray(),
                 (QJsonArray{QJsonObject{{u"name"_s, u"TransmitPower"_s}, {u"before"_s, u"27"_s}, {u"after"_s, u"20"_s}}}));
    }

};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
