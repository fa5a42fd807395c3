// The start-up sequence and the main window's texts, in virtual time against the
// simulated transmitter.
#include "link/packet_codec.h"
#include "support/rig.h"
#include "support/test_data.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tunekit;
using namespace tunekit::testing;
using namespace Qt::StringLiterals;

namespace {

// Takes every record at once, as a store that never fails would.
struct KeptRecords final : records::RecordSink {
    QList<records::OperationRecord> records;
    QCoro::Task<records::RecordOutcome> keep(records::OperationRecord record) override
    {
        records.append(record);
        co_return records::RecordOutcome{records::RecordOutcome::Status::Stored, {}};
    }
};

// The value of a parameter as the image holds it, by name.
QString valueOf(const DeviceImage& image, const QString& name)
{
    for (const OverviewRow& row : image.overviewRows()) {
        if (row.name == name)
            return row.value;
    }
    return u"(none)"_s;
}

// Answers a question only when told to: the user who has looked away.
class HeldQuestions final : public Dialogs {
public:
    MsgAnswer msgBox(const QString&, MsgButtons, MsgIcon, const QString&) override { return MsgAnswer::Ok; }
    QCoro::Task<MsgAnswer> ask(Question, QString, MsgButtons, MsgIcon, QString) override
    {
        ++asked;
        co_await Held{this};
        co_return MsgAnswer::Yes;
    }
    void answer() { std::exchange(waiting, {}).resume(); }
    int asked = 0;
    std::coroutine_handle<> waiting;

private:
    struct Held {
        HeldQuestions* dialogs;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) const noexcept { dialogs->waiting = handle; }
        void await_resume() const noexcept {}
    };
};

} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void startupDetectsAndResets()
    {
        Rig rig(52);
        rig.finish(rig.session.startup(namedPort(1)));
        QCOMPARE(rig.portState.portNumber, 1);
        QVERIFY(rig.portState.adapterFound);
        QCOMPARE(rig.session.image().deviceConfigId, 52);
        QCOMPARE(rig.session.image().imageConfigId, 52);
        QCOMPARE(rig.session.statusBar()[2], QStringLiteral("ID=52"));
        QVERIFY(!rig.views.tabs[1] && !rig.views.tabs[2] && !rig.views.tabs[3] && !rig.views.tabs[4]);
        QVERIFY(rig.views.arranged >= 1);
        QCOMPARE(rig.views.consoleClears, 1);
        QVERIFY(!rig.engine.state().resetPending);
        // The 1 s wait, the detection's 1.5 s and the closing reset of 2.95 s.
        QVERIFY(rig.clock.nowMs() >= 1000 + 1500 + 2950);
        QVERIFY(rig.dialogs.messages.isEmpty());
        // Applicable marks follow the detected family; the image itself is empty.
        QVERIFY(rig.session.image().applicable[38]);
        QVERIFY(!rig.session.image().applicable[55]);
        QVERIFY(rig.session.image().value[2].isEmpty());
    }

    void startupWithoutDevice()
    {
        Rig rig;
        rig.line.faults().silent = true;
        rig.finish(rig.session.startup(namedPort(1)));
        QVERIFY(rig.runUntilIdle()); // the reset after the given-up detection ends too
        QCOMPARE(rig.session.image().deviceConfigId, 0);
        QCOMPARE(rig.session.statusBar()[2], QStringLiteral("ID=?"));
        // One message: the detection says what it found; the time-out of its request stays silent.
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Error"));
        QCOMPARE(rig.dialogs.messages.first().text,
                 QStringLiteral("Device not detected.\r\nPlease check your serial connection! "));
        QVERIFY(rig.engine.state().quietTimeouts);
    }

    void aboutBox_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("lines");
        const QString rule(35, QLatin1Char('_'));
        QTest::newRow("English") << "EN" << "About ..."
                                 << QStringList{rule, "T u n e k i t", "Version: 2.13", "Date: 26.02.2015", rule,
                                                "OS: Windows 7 (64bit)", "Lng: EN", "HVX-Port: COM 1",
                                                "Act-Port: COM 1", "Port: simulated transmitter", "CfgID: 53", ""};
        QTest::newRow("German") << "DE" << "Über ..."
                                << QStringList{rule, "T u n e k i t", "Version: 2.13", "Build: 28-3003",
                                               "Stand: 26.02.2015", rule, "OS: Windows 7 (64bit)", "Lng: EN",
                                               "HVX-Port: COM 1", "Act-Port: COM 1", "Port: simulierter Sender",
                                               "CfgID: 53", ""};
    }

    void aboutBox()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QStringList, lines);
        Rig rig;
        rig.finish(rig.session.startup(namedPort(1)));
        rig.session.chooseLanguage(language);
        QCOMPARE(rig.session.aboutTitle(), title);
        QCOMPARE(rig.session.aboutText().split(QStringLiteral("\r\n")), lines);
    }

    // checkComPorts and HandleComMenue over a simulated set of ports: the port chosen, the menu and
    // the message (English; one German row for the message texts).
    void portDiscovery_data()
    {
        QTest::addColumn<QList<int>>("freePorts");
        QTest::addColumn<QList<int>>("busyPorts");
        QTest::addColumn<QString>("adapter");   // "portName" the host reports
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QStringList>("menu");  // COM1..COM5 captions, then the entry above 5 ("" hidden)
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("message");   // the title, ": ", the first line
        const QStringList plain{"COM1", "COM2", "COM3", "COM4", "COM5", ""};
        const int critical = int(MsgIcon::Critical);
        const QString notInstalled = QStringLiteral("\"HVX-USB-Serial Programming Interface\" is not installed on your PC.");
        QTest::newRow("adapter at COM7")
            << QList<int>{1, 2, 7} << QList<int>{} << "COM7" << QByteArray() << "EN" << 7
            << (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM7  <- HVX"}) << int(MsgIcon::Information)
            << "Connection OK: \"HVX-USB-Serial Programming Interface\" detected at COM7 .";
        QTest::newRow("adapter's COM3 busy, COM1 free")
            << QList<int>{1} << QList<int>{3} << "COM3" << QByteArray() << "EN" << 1
            << (QStringList{"COM1", "COM2", "COM3  <- HVX", "COM4", "COM5", ""}) << int(MsgIcon::Exclamation)
            << "Connection fault: \"HVX-USB-Serial Programming Interface\" not found, ";
        QTest::newRow("no adapter, all busy")
            << QList<int>{} << QList<int>{1, 2, 3, 4, 5} << "" << QByteArray() << "EN" << 0 << plain << critical
            << "No free Port: \"HVX-USB-Serial Programming Interface\" is not installed";
        QTest::newRow("no adapter, COM2 free") << QList<int>{2} << QList<int>{} << "" << QByteArray() << "EN" << 2 << plain
                                               << critical << "Adapter not installed: " + notInstalled;
        QTest::newRow("adapter installed, nothing free")
            << QList<int>{} << QList<int>{} << "COM3" << QByteArray() << "EN" << 0 << plain << critical
            << "No free Port: \"HVX-USB-Serial Programming Interface\" not found, ";
        QTest::newRow("adapter installed, nothing free, German")
            << QList<int>{} << QList<int>{} << "COM3" << QByteArray() << "DE" << 0 << plain << critical
            << "Verbindung fehlerhaft: \"HVX-USB-Serial Programming Interface\" wurde nicht gefunden,";
        QTest::newRow("settings port taken without adapter")
            << QList<int>{2, 4} << QList<int>{} << "" << QByteArray("COM=4\r\n") << "EN" << 4 << plain << critical
            << "Adapter not installed: " + notInstalled;
        QTest::newRow("settings port that cannot be opened")
            << QList<int>{2} << QList<int>{} << "" << QByteArray("COM=9\r\n") << "EN" << 0 << plain << critical
            << "Adapter not installed: " + notInstalled;
        QTest::newRow("adapter wins over the settings port")
            << QList<int>{2, 4} << QList<int>{} << "COM2" << QByteArray("COM=4\r\n") << "EN" << 2
            << (QStringList{"COM1", "COM2  <- HVX", "COM3", "COM4", "COM5", ""}) << int(MsgIcon::Information)
            << "Connection OK: \"HVX-USB-Serial Programming Interface\" detected at COM2 .";
    }

    void portDiscovery()
    {
        QFETCH(QList<int>, freePorts);
        QFETCH(QList<int>, busyPorts);
        QFETCH(QString, adapter);
        QFETCH(QByteArray, settings);
        QFETCH(QString, language);
        QFETCH(int, chosen);
        QFETCH(QStringList, menu);
        QFETCH(int, icon);
        QFETCH(QString, message);
        QTemporaryDir folder;
        Rig rig;
        rig.host.configFolder = folder.path();
        rig.host.adapterPort = adapter;
        writeFile(folder.filePath(QStringLiteral("settings.cfg")),
                  settings + (language == QLatin1StringView("DE") ? "LNG=1\r\n" : "LNG=0\r\n"));
        rig.line.setExistingPorts(QSet<int>(freePorts.begin(), freePorts.end()) + QSet<int>(busyPorts.begin(), busyPorts.end()));
        for (const int port : busyPorts)
            rig.line.setPortBusy(port, true);

        rig.finish(rig.session.startup(PortPlan{}));
        QCOMPARE(int(rig.portState.portNumber), chosen);
        const ComMenu& shown = rig.session.discovery().menu;
        QStringList captions(shown.captions.begin(), shown.captions.end());
        captions << (shown.otherVisible ? shown.otherCaption : QString());
        QCOMPARE(captions, menu);
        QCOMPARE(shown.checked, qMin(chosen, 6)); // the chosen port's entry carries the check mark
        for (int k = 1; k <= 5; ++k)
            QCOMPARE(shown.enabled[static_cast<std::size_t>(k - 1)], freePorts.contains(k));
        QVERIFY(!rig.dialogs.messages.isEmpty());
        const auto& shownMessage = rig.dialogs.messages.first();
        QCOMPARE(int(shownMessage.icon), icon);
        QCOMPARE(shownMessage.title + QStringLiteral(": ") + shownMessage.text.section(QStringLiteral("\r\n"), 0, 0), message);
        // The system's name for messages appears where the text names it.
        if (shownMessage.text.contains(QStringLiteral(" - PC")) && language == QLatin1StringView("EN"))
            QVERIFY(shownMessage.text.contains(QStringLiteral("Win 7 - PC")));
        // A chosen port is kept for the next start; without one the file keeps the port it named,
        // through the save before discovery and any save after it.
        rig.session.saveOptions();
        const int kept = chosen >= 1 ? chosen : QByteArray(settings).replace("COM=", "").trimmed().toInt();
        QCOMPARE(readFile(folder.filePath(QStringLiteral("settings.cfg"))).left(7),
                 QStringLiteral("COM=%1\r\n").arg(kept).toLatin1().left(7));
    }

    // What a settings file restores, and how start-up rewrites it.
    void settingsFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("system"); // the system's language identifier
        // Language, OP1..OP3 and the paced mode (PAC), the long delay in seconds ("-" unticked),
        // the level and the file's port (0 none).
        QTest::addColumn<QString>("restored");
        QTest::addColumn<QByteArray>("rewritten");
        // The folder the program runs from, made writable in a scratch folder: "tunekit-..." is a
        // folder of its own (the file is expected there), any other a folder installations put
        // programs in (the file is expected in the user's configuration folder, as for "": an
        // installed program that may not write beside itself).
        QTest::addColumn<QString>("program");
        const QString plain = QStringLiteral("EN 0000 delay=- level=10 port=0");
        const QByteArray sample = "COM=3\r\nLNG=1\r\nOP1=1\r\nOP2=0\r\nOP3=0\r\nOP4=2\r\nAUT=\r\n";
        const QByteArray sampleRewritten = sample + "PAC=0\r\n";
        // Start-up rewrites the file with the language; a run on a named port keeps the stored port.
        QTest::newRow("written example") << sample << "0409" << "DE 1000 delay=2 level=10 port=3" << sampleRewritten
                                         << QString();
        // A build or an unpacked copy keeps its settings beside it; an installed program never
        // writes into a folder of programs, even when it may (run as root from /usr/bin).
        QTest::newRow("unpacked copy: beside the program") << sample << "0409" << "DE 1000 delay=2 level=10 port=3"
                                                            << sampleRewritten << "tunekit-2.13";
        QTest::newRow("installed in a writable /usr/bin: the user's folder")
            << sample << "0409" << "DE 1000 delay=2 level=10 port=3" << sampleRewritten << "usr/bin";
        QTest::newRow("none") << QByteArray("<none>") << "0409" << plain
                              << QByteArray("COM=0\r\nLNG=0\r\nOP1=0\r\nOP2=0\r\nOP3=0\r\nOP4=0\r\nAUT=\r\nPAC=0\r\n")
                              << QString();
        QTest::newRow("first character counts, value trimmed, LF only")
            << QByteArray("OP1=1x\nOP2= 1\nOP3=yes\n") << "0409" << "EN 1100 delay=- level=10 port=0" << QByteArray()
            << QString();
        // The language: the file's choice first, then the system's.
        QTest::newRow("German system, no file") << QByteArray("<none>") << "0407" << "DE 0000 delay=- level=10 port=0"
                                                << QByteArray() << QString();
        QTest::newRow("PAC=1 paces; older readers ignore the key")
            << QByteArray("PAC=1\r\n") << "0409" << "EN 0001 delay=- level=10 port=0" << QByteArray() << QString();
        QTest::newRow("OP4=0 unticks") << QByteArray("OP4=0\r\n") << "0409" << plain << QByteArray() << QString();
        QTest::newRow("OP4=7 ticks 7 s") << QByteArray("OP4=7\r\n") << "0409" << "EN 0000 delay=7 level=10 port=0"
                                         << QByteArray() << QString();
        QTest::newRow("level 50 in upper case")
            << QByteArray("AUT=SPINNE\r\n") << "0409" << "EN 0000 delay=- level=50 port=0"
            << QByteArray("COM=0\r\nLNG=0\r\nOP1=0\r\nOP2=0\r\nOP3=0\r\nOP4=0\r\nAUT=SPINNE\r\nPAC=0\r\n") << QString();
        QTest::newRow("level 60 exact") << QByteArray("AUT=Haspel2093") << "0409" << "EN 0000 delay=- level=60 port=0"
                                        << QByteArray() << QString();
        QTest::newRow("level 60 in another case") << QByteArray("AUT=haspel2093") << "0409" << plain << QByteArray()
                                                  << QString();
        // Only the first ten characters are kept; the others are compared trimmed.
        QTest::newRow("level 60 and more characters")
            << QByteArray("AUT=Haspel2093xy") << "0409" << "EN 0000 delay=- level=60 port=0"
            << QByteArray("COM=0\r\nLNG=0\r\nOP1=0\r\nOP2=0\r\nOP3=0\r\nOP4=0\r\nAUT=Haspel2093\r\nPAC=0\r\n") << QString();
        QTest::newRow("service with blanks") << QByteArray("AUT= Dill \r\n") << "0409" << "EN 0000 delay=- level=40 port=0"
                                             << QByteArray() << QString();
        QTest::newRow("two passwords are none") << QByteArray("AUT=TulpenDill\r\n") << "0409" << plain << QByteArray()
                                                << QString();
        // The later key wins; the file's English also wins over a German system.
        QTest::newRow("key twice: the later wins") << QByteArray("OP1=1\r\nOP1=0\r\nLNG=1\r\nLNG=0\r\n") << "0407"
                                                   << plain << QByteArray() << QString();
        // A COM number that names no port is passed over; the lines after it still count and stay.
        QTest::newRow("COM above 256 is no port")
            << QByteArray("COM=300\r\nLNG=1\r\nOP3=1\r\nAUT=Kiesel\r\n") << "0409" << "DE 0010 delay=- level=30 port=0"
            << QByteArray("COM=0\r\nLNG=1\r\nOP1=0\r\nOP2=0\r\nOP3=1\r\nOP4=0\r\nAUT=Kiesel\r\nPAC=0\r\n") << QString();
        QTest::newRow("negative COM is no port") << QByteArray("COM=-1\r\nOP1=1\r\n") << "0409"
                                                 << "EN 1000 delay=- level=10 port=0" << QByteArray() << QString();
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\x01OP1\r\n\x80\x81=\n\n\r\r", 14) << "0409" << plain
                                        << QByteArray() << QString();
        QTest::newRow("huge file: only its start is read")
            << QByteArray("OP2=1\r\n") + QByteArray(200000, 'x') + QByteArray("\r\nOP3=1\r\n") << "0409"
            << "EN 0100 delay=- level=10 port=0" << QByteArray() << QString();
    }

    void settingsFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, system);
        QFETCH(QString, restored);
        QFETCH(QByteArray, rewritten);
        QFETCH(QString, program);
        QTemporaryDir scratch;
        Rig rig;
        rig.host.configFolder = scratch.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(rig.host.configFolder));
        if (!program.isEmpty()) {
            rig.host.programDir = scratch.filePath(program);
            rig.host.programDirWritable = true;
            QVERIFY(QDir().mkpath(rig.host.programDir));
        }
        const bool beside = program.startsWith(QLatin1StringView("tunekit"));
        const QDir home(beside ? rig.host.programDir : rig.host.configFolder);
        const QDir elsewhere(beside ? rig.host.configFolder : rig.host.programDir);
        const QString path = home.filePath(QStringLiteral("settings.cfg"));
        if (file != "<none>")
            writeFile(path, file);
        rig.host.languageId = system;
        rig.finish(rig.session.startup(namedPort(0)));
        QCOMPARE(rig.language.current() == Language::German, rig.session.german());
        QString options;
        for (const TransferOption option : TransferOptionsInFileOrder)
            options += rig.session.option(option) ? QLatin1Char('1') : QLatin1Char('0');
        options += rig.engine.paced() ? QLatin1Char('1') : QLatin1Char('0');
        const PortState& port = rig.portState;
        const AccessLevel level = rig.session.access().level;
        const QString actual = QStringLiteral("%1 %2 delay=%3 level=%4 port=%5")
                                   .arg(rig.session.german() ? QStringLiteral("DE") : QStringLiteral("EN"), options,
                                        port.longDelay ? QString::number(port.longDelaySeconds) : QStringLiteral("-"))
                                   .arg(level.number())
                                   .arg(rig.session.discovery().settingsPortKnown ? int(rig.session.discovery().settingsPort) : 0);
        QCOMPARE(actual, restored);
        QCOMPARE(rig.session.longDelay().boxVisible, port.longDelay);
        QCOMPARE(rig.views.consoleShown, level == AccessLevel::development());
        if (!rewritten.isEmpty()) {
            QCOMPARE(readFile(path), rewritten);
            // It holds the remembered password: its user's alone.
            QCOMPARE(int(QFileInfo(path).permissions() & 0x0777), 0x0600);
        }
        QVERIFY(!elsewhere.exists(QStringLiteral("settings.cfg")));
    }

    void longDelayText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("delay"); // -1 unticked
        QTest::newRow("two digits empty the box") << "12" << "" << -1;
        QTest::newRow("a letter empties the box") << "a" << "" << -1;
        QTest::newRow("a digit ticks the delay") << "5" << "5" << 5;
        QTest::newRow("blanks around a digit") << " 3 " << "3" << 3;
    }

    void longDelayText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, delay);
        QTemporaryDir folder;
        Rig rig;
        rig.host.configFolder = folder.path();
        rig.session.editLongDelay(typed);
        QCOMPARE(rig.session.longDelay().longDelayText, kept);
        QVERIFY(rig.session.longDelay().secondsLabelVisible);
        QCOMPARE(rig.portState.longDelay ? int(rig.portState.longDelaySeconds) : -1, delay);
        // Save Options keeps it; unticking drops the delay.
        rig.session.saveOptions();
        QVERIFY(readFile(folder.filePath(QStringLiteral("settings.cfg")))
                    .contains(QStringLiteral("OP4=%1\r\n").arg(delay < 0 ? 0 : delay).toLatin1()));
        rig.session.setLongDelay(false);
        QCOMPARE(rig.portState.longDelaySeconds, 0);
        QVERIFY(!rig.session.longDelay().boxVisible);
    }

    // Interface > Detect finds an adapter that was plugged in after start-up, and detects the device.
    void detectFindsAnAdapterPluggedInLater()
    {
        Rig rig(52);
        rig.line.setExistingPorts(QSet<int>{});
        rig.finish(rig.session.startup(PortPlan{}));
        QCOMPARE(rig.portState.portNumber, 0);
        const StatusBarTexts panels = rig.session.statusBar();
        QCOMPARE(QStringList(panels.begin(), panels.begin() + 4), (QStringList{"Disconnected", "", "ID=?", "Bytes=0"}));
        rig.dialogs.messages.clear();

        rig.line.setExistingPorts(QSet<int>{3});
        rig.host.adapterPort = QStringLiteral("COM3");
        rig.finish(rig.session.redetectPort());
        QCOMPARE(rig.portState.portNumber, 3);
        QVERIFY(rig.portState.adapterFound);
        QCOMPARE(rig.session.image().deviceConfigId, 52);
        QCOMPARE(rig.session.statusBar()[2], QStringLiteral("ID=52"));
        QCOMPARE(rig.views.redetectWindow, (QList<bool>{true, false}));
        QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Connection OK"));
    }

    // Cancelling the unlock dialog leaves exactly the level in force ticked.
    void cancelledUnlockKeepsOneLevelTicked()
    {
        Rig rig;
        rig.finish(rig.session.startup(namedPort(1)));
        rig.session.levelMenuCommand(AccessLevel::production(), {});
        QCOMPARE(rig.session.access().level, AccessLevel::level1());
        QCOMPARE(rig.views.levelChecks, (PerLevel{true, false, false, false, false, false}));
    }

    // The resets of the command line's commands, driven through the station as tunekit-cli
    // does (connect, read for the backup, save it, write, read back), under each policy. The
    // window's rules reset after every batch; only where needed, the device restarts once when
    // connecting and once after it stored the written values, so the read-back shows that they
    // survived the restart. A batch given up still ends with a reset.
    void commandResets_data()
    {
        QTest::addColumn<bool>("whereNeeded");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("variant"); // texts: with extended data; ticked: reset before
                                              // transmit; silent: the device stops answering
        QTest::addColumn<int>("resets");
        // The window's rules, as they always were.
        QTest::newRow("window: detect") << false << "detect" << "" << 1;
        QTest::newRow("window: read") << false << "read" << "" << 2;
        QTest::newRow("window: read given up") << false << "read" << "silent" << 2;
        QTest::newRow("window: write with backup and verify") << false << "write" << "" << 5;
        QTest::newRow("window: with extended data") << false << "write" << "texts" << 6;
        QTest::newRow("window: reset before transmit") << false << "write" << "ticked" << 12;
        QTest::newRow("window: silent from FlashConfig") << false << "write" << "silent" << 4;
        QTest::newRow("where needed: detect") << true << "detect" << "" << 1;
        QTest::newRow("where needed: read") << true << "read" << "" << 1;
        QTest::newRow("where needed: read given up, reset once quiet") << true << "read" << "silent" << 2;
        QTest::newRow("where needed: write with backup and verify") << true << "write" << "" << 2;
        QTest::newRow("where needed: with extended data") << true << "write" << "texts" << 2;
        QTest::newRow("where needed: reset before transmit is the window's") << true << "write" << "ticked" << 2;
        QTest::newRow("where needed: silent from FlashConfig, reset once quiet") << true << "write" << "silent" << 2;
    }

    void commandResets()
    {
        QFETCH(bool, whereNeeded);
        QFETCH(QString, command);
        QFETCH(QString, variant);
        QFETCH(int, resets);
        Rig rig(53);
        Station& station = rig.session.device();
        SimDevice& device = rig.line.device();
        rig.session.access().level = AccessLevel::production();
        station.setResetPolicy(whereNeeded ? ResetPolicy::WhereNeeded : ResetPolicy::AfterEveryBatch);
        rig.options.resetBeforeTransmit = variant == u"ticked";
        rig.finish(rig.session.connectHeadless(namedPort(1)));
        QCOMPARE(rig.session.image().deviceConfigId, 53);
        // Silent: a read gets no answer at all, a write none from its FlashConfig on.
        rig.views.beforeSend = [&] {
            if (variant == u"silent" && (command == u"read" || packetType(rig.engine.state().inFlight) == FlashConfig))
                rig.line.faults().silent = true;
        };
        if (command != u"detect") {
            const std::optional<ReadOutcome> read = rig.finish(station.readParameters());
            QVERIFY(read);
            QCOMPARE(read->complete, command == u"write" || variant.isEmpty());
        }
        if (command == u"write") {
            QTemporaryDir folder;
            QCOMPARE(station.saveBackup(folder.path(), rig.host, rig.session.version()).status, BackupOutcome::Status::Saved);
            // The file's values: TransmitPower (cell 0x2203) 20 instead of 27, and texts.
            rig.image.value[7] = QStringLiteral("20");
            rig.image.changed[7] = true;
            if (variant == u"texts")
                rig.image.extended.textsImage = QByteArray(300, 't');
            const std::optional<WriteReport> written = rig.finish(station.writeImage());
            QVERIFY(written);
            // No device is left with its configuration open.
            QVERIFY(!device.configurationOpen());
            if (variant == u"silent") {
                QCOMPARE(written->result, WriteResult::Failed);
            } else {
                QCOMPARE(written->result, WriteResult::Done);
                const int afterWrite = device.restartCount();
                const std::optional<VerifyReport> verified = rig.finish(station.verifyWrite());
                QVERIFY(verified && verified->verified);
                QCOMPARE(station.image().value[7], QStringLiteral("20"));
                QCOMPARE(device.flashedCell(0x2203, 0).at(0), char(20));
                // Only where needed, the read-back reads the device as it restarted after the
                // write; the window resets after it (and twice before it, when ticked).
                QCOMPARE(device.restartCount() - afterWrite, whereNeeded ? 0 : variant == u"ticked" ? 3 : 1);
            }
        }
        QVERIFY(rig.clock.runUntil([&] { return rig.engine.idle(); }, 60000));
        QCOMPARE(device.restartCount(), resets);
    }

    // A read that comes back incomplete says of each value why: not answered, refused by the
    // device, or never asked for because the read stopped; an information text refused in part is
    // unknown, never a shorter text.
    void incompleteReadsSayWhy_data()
    {
        QTest::addColumn<int>("answer");    // to TransmitPower's read (or the firmware version's second chunk): 0 none
        QTest::addColumn<bool>("information");
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<bool>("othersNotAsked");
        QTest::newRow("one read lost") << 0 << false << QStringList{u"TransmitPower"_s} << QStringList{} << true;
        QTest::newRow("one read refused") << int(UnknownResponse) << false << QStringList{} << QStringList{u"TransmitPower"_s} << false;
        QTest::newRow("a chunk of a text refused") << int(OperationFailed) << true << QStringList{} << QStringList{u"firmwareVersion"_s} << false;
    }
    void incompleteReadsSayWhy()
    {
        QFETCH(int, answer);
        QFETCH(bool, information);
        QFETCH(QStringList, missing);
        QFETCH(QStringList, refused);
        QFETCH(bool, othersNotAsked);
        Rig rig(53);
        Station& station = rig.session.device();
        rig.session.access().level = AccessLevel::production();
        rig.finish(rig.session.connectHeadless(namedPort(1)));
        const QList<int> target = information ? QList<int>{0x1002, 1} : QList<int>{0x2203, 0};
        rig.views.beforeSend = [&] {
            const QByteArray sent = rig.engine.state().inFlight;
            const bool aimed = packetType(sent) == DownloadRequest && packetIndex(sent) == target[0] && packetSubindex(sent) == target[1];
            rig.line.faults().silent = aimed && answer == 0;
            if (aimed && answer != 0) // ahead of the device's own answer, which then comes too late to count
                rig.clock.schedule(0, [&rig, answer, sent] {
                    rig.engine.receiveData(encodeFrame(makePacket(static_cast<std::uint8_t>(answer), packetIndex(sent),
                                                                            static_cast<std::uint8_t>(packetSubindex(sent)))));
                });
        };
        const std::optional<ReadOutcome> read = rig.finish(information ? station.readInformation() : station.readParameters());
        QVERIFY(read);
        QVERIFY(!read->complete);
        QCOMPARE(read->missing, missing);
        QCOMPARE(read->refused, refused);
        QCOMPARE(!read->notAsked.isEmpty(), othersNotAsked);
        if (information)
            QCOMPARE(station.image().info.texts[1], u"???"_s);
        // One German text of the kind.
        UiLanguage german;
        QVERIFY(german.set(Language::German));
        QVERIFY(unreadValuesText(*read).startsWith(information || answer != 0 ? u"Das Gerät hat verweigert"_s : u"Das Gerät hat nicht geantwortet"_s));
    }

    // Told to stop (Ctrl-C, SIGTERM) in the middle of programming a unit: what the unit holds
    // decides the report. Values on their way: partly written. Once the device has stored them
    // (FlashConfig answered), only the reset and the read-back are cut short: written, not
    // verified, and never "partly written, restore the backup".
    void stopWhileProgramming_data()
    {
        QTest::addColumn<int>("stopAt");   // the packet type whose sending the stop follows
        QTest::addColumn<int>("afterMs");  // and by how much
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("nth"); // the packet of that type
        QTest::newRow("while the values go out") << int(Upload) << 0 << int(ProgramReport::Stage::PartlyWritten) << 6;
        QTest::newRow("in the reset after the device stored them") << int(FlashConfig) << 50 << int(ProgramReport::Stage::Written) << 1;
    }
    void stopWhileProgramming()
    {
        QFETCH(int, stopAt);
        QFETCH(int, afterMs);
        QFETCH(int, stage);
        QFETCH(int, nth);
        Rig rig(2);
        Station& station = rig.session.device();
        rig.session.access().level = AccessLevel::production();
        station.setResetPolicy(ResetPolicy::WhereNeeded);
        rig.line.device().setSystemAddress(99); // the file's is 1234
        rig.finish(rig.session.connectHeadless(namedPort(1)));
        bool stopped = false;
        int seen = 0;
        rig.views.beforeSend = [&] {
            if (stopped || packetType(rig.engine.state().inFlight) != stopAt || ++seen < nth)
                return;
            stopped = true;
            rig.clock.schedule(afterMs, [&station] { station.stopAfterCurrent(); });
        };
        QTemporaryDir folder;
        KeptRecords kept;
        station.setRecords(&kept, Recording::HeldRuns);
        station.beginRun(u"write"_s);
        const ProgramRequest request{QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd"), folder.path(), true, rig.host,
                                     rig.session.version(), [](ProgramStep, const ProgramReport&) { return true; }};
        const std::optional<ProgramReport> report = rig.finish(station.programUnit(request));
        QVERIFY(report && stopped);
        QCOMPARE(int(report->stage), stage);
        QVERIFY(report->write.anythingSent);
        QVERIFY(!report->verify.verified);
        // The device holds the file's values exactly when the report says it is written.
        QCOMPARE(rig.line.device().flashedCell(0x2101, 0) == QByteArray::fromHex("d2040201"), stage == int(ProgramReport::Stage::Written));
        // The record lists what reached the device as written, and the rest of the file as not.
        rig.finish(station.endRun(false, 9, {}));
        QCOMPARE(kept.records.size(), 1);
        qsizetype written = 0;
        qsizetype notWritten = 0;
        for (const records::RecordChange& change : kept.records.first().changes)
            ++(change.written ? written : notWritten);
        QVERIFY(written > 0);
        QCOMPARE(notWritten > 0, stage == int(ProgramReport::Stage::PartlyWritten));
    }

    // Going down to a lower level is remembered as that level: the settings file no longer holds
    // the higher level's password, and the next start comes back at the lower level.
    void loweringTheLevelIsRemembered()
    {
        QTemporaryDir scratch;
        const QString path = scratch.filePath(QStringLiteral("settings.cfg"));
        writeFile(path, "COM=0\r\nLNG=0\r\nOP1=1\r\nOP2=0\r\nOP3=0\r\nOP4=2\r\nAUT=Haspel2093\r\n");
        {
            Rig rig;
            rig.host.configFolder = scratch.path();
            rig.finish(rig.session.startup(namedPort(0)));
            QCOMPARE(rig.session.access().level, AccessLevel::development());
            rig.finish(rig.session.levelMenuCommand(AccessLevel::level2(), {}));
            QCOMPARE(rig.session.access().level, AccessLevel::level2());
        }
        QVERIFY(!readFile(path).contains("Haspel2093"));
        Rig again;
        again.host.configFolder = scratch.path();
        again.finish(again.session.startup(namedPort(0)));
        QCOMPARE(again.session.access().level, AccessLevel::level2());
    }

    // Switching the language keeps what was read and what was typed since, and a write
    // afterwards sends the edit; only the names and descriptions change.
    void languageSwitchKeepsValuesAndEdits()
    {
        Rig rig(53);
        rig.session.access().level = AccessLevel::development();
        rig.finish(rig.session.connectHeadless(namedPort(1)));
        QVERIFY(rig.finish(rig.session.device().readParameters()).value_or(ReadOutcome{}).complete);
        QVERIFY(rig.session.editOverviewValue(QStringLiteral("TransmitPower"), QStringLiteral("20")).stored);
        const DeviceImage before = rig.session.image();
        rig.session.chooseLanguage(QStringLiteral("DE"));
        const DeviceImage after = rig.session.image();
        QCOMPARE(after.value, before.value);
        QCOMPARE(after.changed, before.changed);
        QVERIFY(after.displayDescription[7] != before.displayDescription[7]);
        QVERIFY(!rig.session.device().serialNumber().isEmpty());
        rig.line.device().clearRequests();
        QVERIFY(rig.finish(rig.session.device().writeImage()).value_or(WriteReport{}).anythingSent);
        QCOMPARE(rig.line.device().cell(0x2203, 0).at(0), char(20));
    }

    // An operation ends as cancelled when its station is told so or goes away: in the middle of a
    // read, while a question waits for its answer, in a reset. Its result says cancelled, its
    // own record is kept as such, nothing more is sent, and an answer given later goes nowhere.
    // A station only told to cancel works on afterwards.
    void cancelEndsTheOperation_data()
    {
        QTest::addColumn<QString>("during");
        QTest::addColumn<bool>("stationGone");
        for (const char* during : {"read", "question", "reset"}) {
            for (const bool gone : {false, true})
                QTest::addRow("%s, %s", during, gone ? "station gone" : "cancelled") << QString::fromLatin1(during) << gone;
        }
    }
    void cancelEndsTheOperation()
    {
        QFETCH(QString, during);
        QFETCH(bool, stationGone);
        VirtualClock clock;
        SimLine line(clock, 53);
        HeldQuestions dialogs;
        RecordingViews views;
        KeptRecords kept;
        auto station = std::make_unique<Station>(StationSeams{line, clock, dialogs}, views,
                                                 [] { return AccessLevel::development(); });
        clock.startTicker(10, [&station] {
            if (station)
                station->tick();
        });
        QVERIFY(station->openAdapterPort(1));
        station->prepareForUnit(levelMarks(AccessLevel::development()));
        std::optional<int> detected;
        whenDone<int>(station->detect(), [&](int configId) { detected = configId; });
        QVERIFY(clock.runUntil([&] { return detected.has_value(); }, 60000));
        clock.runFor(5000);
        station->setRecords(&kept, Recording::EveryOperation);

        const FixedHost host;
        const VersionInfo version;
        std::optional<bool> cancelled;
        const auto end = [&] {
            if (stationGone)
                station.reset();
            else
                station->cancel();
        };
        if (during == u"read") {
            whenDone<ReadOutcome>(station->readParameters(), [&](ReadOutcome read) { cancelled = read.cancelled; });
            clock.runFor(300);
        } else if (during == u"question") {
            // A file of another family: asked before anything is sent.
            const ProgramRequest request{QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd"), QString(), true,
                                         host, version, {}};
            whenDone<ProgramReport>(station->programUnit(request), [&](ProgramReport report) {
                cancelled = report.stage == ProgramReport::Stage::Cancelled;
            });
            QVERIFY(clock.runUntil([&] { return dialogs.asked == 1; }, 60000));
        } else {
            whenDone(station->reset(), [&] { cancelled = true; });
            clock.runFor(100);
        }
        QVERIFY(!cancelled);
        const qsizetype sent = line.device().requests().size();
        end();
        QVERIFY(cancelled.has_value() && *cancelled);
        QCOMPARE(kept.records.size(), 1);
        QCOMPARE(kept.records.first().result, QStringLiteral("failed"));
        QCOMPARE(kept.records.first().message, QStringLiteral("Cancelled before it ended."));
        if (dialogs.waiting)
            dialogs.answer();
        clock.runFor(10000);
        QCOMPARE(line.device().requests().size(), sent);
        if (stationGone)
            return;
        QVERIFY(!station->busy());
        const std::optional<ReadOutcome> read = [&]() -> std::optional<ReadOutcome> {
            std::optional<ReadOutcome> outcome;
            whenDone<ReadOutcome>(station->readParameters(), [&](ReadOutcome r) { outcome = r; });
            clock.runUntil([&] { return outcome.has_value(); }, 60000);
            return outcome;
        }();
        QVERIFY(read && read->complete);
    }

    // A file of another family is written at Development only when the question is answered
    // yes; the unit then is of the file's family, and its read-back reads that family's values.
    void writeOfAnotherFamilyReadsItBack()
    {
        QTemporaryDir folder;
        QString file;
        {
            Rig crane(52);
            crane.session.access().level = AccessLevel::development();
            crane.finish(crane.session.connectHeadless(namedPort(1)));
            QVERIFY(crane.finish(crane.session.device().readParameters()).value_or(ReadOutcome{}).complete);
            file = crane.session.device().saveBackup(folder.path(), crane.host, crane.session.version()).path;
        }
        for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
            Rig rig(53);
            rig.session.access().level = AccessLevel::development();
            rig.finish(rig.session.connectHeadless(namedPort(1)));
            rig.dialogs.answers.enqueue(answer);
            // Asked before the backup, once: a unit that is not written gets no backup.
            const QString backups = folder.filePath(answer == MsgAnswer::Yes ? u"yes"_s : u"no"_s);
            const ProgramRequest request{file, backups, true, rig.host, rig.session.version(), {}};
            const std::optional<ProgramReport> report = rig.finish(rig.session.device().programUnit(request));
            QVERIFY(report);
            QVERIFY(rig.dialogs.answers.isEmpty()); // asked
            QCOMPARE(std::count_if(rig.dialogs.messages.cbegin(), rig.dialogs.messages.cend(),
                                   [](const DialogMessage& m) { return m.text.startsWith(u"Data (ConfigID=52)"); }),
                     1);
            QCOMPARE(int(report->stage), int(answer == MsgAnswer::Yes ? ProgramReport::Stage::Verified : ProgramReport::Stage::NotWritten));
            QCOMPARE(rig.line.device().configId(), answer == MsgAnswer::Yes ? 52 : 53);
            QCOMPARE(QDir(backups).entryList(QDir::Files).size(), answer == MsgAnswer::Yes ? 1 : 0);
        }
    }

    // A write's record says what the device holds afterwards: the defaults the write put in
    // place of erased values (not the file's erased ones), with or without a backup, read back or
    // not; and it names the unit as it came.
    void recordSaysWhatTheDeviceHolds_data()
    {
        QTest::addColumn<bool>("backup");
        QTest::addColumn<bool>("verify");
        QTest::newRow("backed up, read back") << true << true;
        QTest::newRow("no backup") << false << true;
        QTest::newRow("not read back") << true << false;
    }
    void recordSaysWhatTheDeviceHolds()
    {
        QFETCH(bool, backup);
        QFETCH(bool, verify);
        QTemporaryDir folder;
        QString file;
        {
            Rig fresh(53);
            fresh.line.device().makeFresh();
            fresh.line.device().setSystemAddress(77);
            fresh.session.access().level = AccessLevel::production();
            fresh.finish(fresh.session.connectHeadless(namedPort(1)));
            QVERIFY(fresh.finish(fresh.session.device().readParameters()).value_or(ReadOutcome{}).complete);
            file = fresh.session.device().saveBackup(folder.path(), fresh.host, fresh.session.version()).path;
        }
        Rig rig(53);
        rig.line.device().setSystemAddress(99);
        rig.session.access().level = AccessLevel::production();
        rig.finish(rig.session.connectHeadless(namedPort(1)));
        Station& station = rig.session.device();
        QVERIFY(rig.finish(station.readParameters()).value_or(ReadOutcome{}).complete);
        const QString serialBefore = station.serialNumber();
        KeptRecords kept;
        station.setRecords(&kept, Recording::HeldRuns);
        station.beginRun(u"write"_s);
        const ProgramRequest request{file, backup ? folder.filePath(u"backups"_s) : QString(), verify, rig.host,
                                     rig.session.version(), {}};
        const std::optional<ProgramReport> report = rig.finish(station.programUnit(request));
        QVERIFY(report);
        QCOMPARE(int(report->stage), int(verify ? ProgramReport::Stage::Verified : ProgramReport::Stage::Written));
        rig.finish(station.endRun(true, 0, {}));
        QCOMPARE(kept.records.size(), 1);
        const records::OperationRecord record = kept.records.first();
        QCOMPARE(record.serialNumber, serialBefore);
        QVERIFY(station.serialNumber() != serialBefore); // the file gave it another one

        // What the unit holds now, read anew.
        QVERIFY(rig.finish(station.readParameters()).value_or(ReadOutcome{}).complete);
        QStringList names;
        for (const records::RecordChange& change : record.changes) {
            names << change.name;
            QVERIFY2(change.written, qPrintable(change.name));
            QCOMPARE(change.after, valueOf(station.image(), change.name));
        }
        QVERIFY2(names.contains(u"BatteryType"_s), qPrintable(names.join(u' ')));
        QVERIFY(!names.contains(u"ChannelStop"_s)); // the same on both units
    }

    // Every operation the window starts leaves its own record; a write's names the values the
    // user edited, from the values read before to those the device acknowledged.
    void windowOperationsLeaveRecords()
    {
        Rig rig(53);
        rig.session.access().level = AccessLevel::development();
        rig.finish(rig.session.connectHeadless(namedPort(1)));
        KeptRecords kept;
        Station& station = rig.session.device();
        station.setRecords(&kept, Recording::EveryOperation);
        rig.finish(rig.session.readParameters());
        DeviceImage& image = rig.image;
        const QString before = valueOf(image, u"ChannelStop"_s);
        const QString edited = QString::number(before.toInt() - 1);
        for (int nr = 2; nr <= ParamCount; ++nr) {
            if (findConfigDefine(nr).name == u"ChannelStop"_s) {
                image.value[static_cast<std::size_t>(nr)] = edited;
                image.changed[static_cast<std::size_t>(nr)] = true;
            }
        }
        rig.finish(rig.session.write());
        rig.finish(station.readInformation());
        rig.finish(rig.session.redetectPort());
        QTemporaryDir program;
        rig.host.programDir = program.path();
        QFile interpreter(program.filePath(u"xtest.bin"_s));
        QVERIFY(interpreter.open(QIODevice::WriteOnly) && interpreter.write(QByteArray(300, '\x5a')) == 300);
        interpreter.close();
        rig.finish(station.writeTestInterpreter(program.path()));

        QStringList commands;
        for (const records::OperationRecord& record : kept.records)
            commands << record.command + u' ' + record.result;
        QCOMPARE(commands, (QStringList{u"read passed"_s, u"write passed"_s, u"info passed"_s, u"detect passed"_s,
                                        u"interpreter passed"_s}));
        const records::OperationRecord& write = kept.records.at(1);
        QCOMPARE(write.changes, (QList<records::RecordChange>{{u"ChannelStop"_s, before, edited}}));
        QCOMPARE(write.accessLevel, u"development"_s);
        QVERIFY(!write.serialNumber.isEmpty());
    }

    void imageCommandsWaitForTheWrite()
    {
        Rig rig;
        rig.connect();
        rig.session.access().level = AccessLevel::level3();
        rig.finish(rig.transfers.detectDevice());
        rig.transfers.readParameters();
        QVERIFY(rig.clock.runUntil([&] { return rig.engine.idle(); }, 60000));
        DeviceImage& image = rig.image;
        image.extended.textsImage = QByteArray(1030, 'x');
        const ParamArray<QString> read = image.value;
        bool clicked = false;
        // The station's own operations, asked for meanwhile, are refused and say so.
        Station& station = rig.session.device();
        std::optional<QCoro::Task<ReadOutcome>> secondRead;
        std::optional<QCoro::Task<ProgramReport>> secondProgram;
        OpenStatus secondLoad = OpenStatus::Loaded;
        rig.views.beforeSend = [&] {
            const QByteArray& sent = rig.engine.state().inFlight;
            if (clicked || packetIndex(sent) != 0x4010 || packetSubindex(sent) != 100)
                return;
            clicked = true;
            rig.clock.schedule(1, [&] {
                rig.session.openDroppedFiles({QStringLiteral("/tmp/crane-52.scd")});
                rig.session.clearFileData();
                rig.session.chooseLanguage(QStringLiteral("DE"));
                rig.session.levelMenuCommand(AccessLevel::development(), {});
                // A number typed meanwhile does not reach the values the write sends.
                rig.session.typeProductionNumber(u"4711"_s, false);
                secondRead.emplace(station.readParameters());
                secondProgram.emplace(station.programUnit({u"/tmp/crane-52.scd"_s, {}, true, rig.host, rig.session.version(), {}, false}));
                secondLoad = station.loadFile(u"/tmp/crane-52.scd"_s, rig.host.now().date());
            });
        };
        rig.dialogs.messages.clear();

        rig.finish(rig.writes.write());

        QVERIFY(clicked);
        QStringList texts;
        for (const auto& message : rig.dialogs.messages)
            texts << message.text;
        const QString busy = Session::busyText();
        QCOMPARE(texts.mid(1), (QStringList{busy, busy, busy, busy, DeviceWrites::doneText()}));
        QCOMPARE(image.value, read);
        QVERIFY(!rig.session.german());
        QCOMPARE(rig.session.access().level, AccessLevel::level3());
        QVERIFY(secondRead && secondProgram);
        const std::optional<ReadOutcome> refusedRead = rig.finish(std::move(*secondRead));
        QVERIFY(refusedRead && refusedRead->busy && !refusedRead->complete);
        const std::optional<ProgramReport> refusedProgram = rig.finish(std::move(*secondProgram));
        QVERIFY(refusedProgram && refusedProgram->stage == ProgramReport::Stage::Busy);
        QCOMPARE(secondLoad, OpenStatus::Busy);
        // Once the write is over, the commands work again.
        QVERIFY(rig.clock.runUntil([&] { return rig.engine.idle(); }, 60000));
        rig.session.clearFileData();
        QVERIFY(image.value[7].isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
