// tunekit-screenshots: the pictures of the README. Runs Tunekit's main window against the
// built-in simulated transmitter in real time, as `tunekit --simulate` does, unlocks Development
// through the password dialog, reads the transmitter, sends one packet by hand from the packet
// console, and saves every tab, both consoles and the progress window as PNG files.
//
//   tunekit-screenshots <folder> EN|DE
//
// Meant to run under Xvfb (scripts/screenshots.sh), so that the windows are drawn by the same
// platform plugin and style as on a desktop.
#include "app/main_window.h"
#include "app/production_tab.h"
#include "host/host_facts.h"
#include "link/qt_clock.h"
#include "records/record_keeper.h"
#include "records/store_choice.h"
#include "session/session.h"
#include "sim/line_plan.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <functional>

namespace {

using namespace tunekit;

// The real host, except for the system language, which the run chooses.
class ChosenLanguageHost final : public SystemHostFacts {
public:
    explicit ChosenLanguageHost(QString languageId) : languageId_(std::move(languageId)) {}
    QString defaultLanguageId() const override { return languageId_; }
    QString adapterPortName() const override { return {}; }
    // Pictures are taken without touching anybody's settings.
    QString settingsFolder() const override { return {}; }

private:
    QString languageId_;
};

void pump(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool save(QWidget* window, const QString& path)
{
    const bool saved = window && window->grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
    return saved;
}

// The modal box that opens within 20 s; nullptr when none does.
QMessageBox* awaitBox(QWidget* other = nullptr)
{
    QElapsedTimer asking;
    asking.start();
    QMessageBox* box = nullptr;
    while (asking.elapsed() < 20000) {
        box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box != other)
            return box;
        pump(50);
    }
    return nullptr;
}

// The service desk: what a file would change on the unit read, the unit's history and a backup
// written back.
bool serviceDesk(MainWindow& window, const std::function<QString(const QString&)>& file)
{
    Station& station = window.logic().device();
    // A backup of the unit in the backup folder, and a file that differs from the unit in a few
    // values, opened over it.
    const BackupOutcome backup = station.saveBackup(Session::backupFolder(), window.logic().host(), window.logic().version());
    QFile saved(backup.path);
    if (backup.status != BackupOutcome::Status::Saved || !saved.open(QIODevice::ReadOnly))
        return false;
    QByteArray changed = saved.readAll();
    changed.replace("TransmitPower=27", "TransmitPower=20").replace("ShutdownDelay=500", "ShutdownDelay=300");
    QTemporaryDir scratch;
    QFile changedFile(scratch.filePath(QStringLiteral("crane-service.scd")));
    if (!changedFile.open(QIODevice::WriteOnly) || changedFile.write(changed) != changed.size())
        return false;
    changedFile.close();
    window.logic().openDroppedFiles({changedFile.fileName()});
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab"));
    tabs->setCurrentIndex(1);
    pump(300);
    bool ok = save(&window, file(QStringLiteral("overview-file-changes")));

    window.findChild<QPushButton*>(QStringLiteral("cmdUnitHistory"))->click();
    pump(300);
    auto* history = window.findChild<QWidget*>(QStringLiteral("frmUnitHistory"));
    ok = save(history, file(QStringLiteral("history"))) && ok;
    auto* backups = history ? history->findChild<QTableWidget*>(QStringLiteral("tblUnitBackups")) : nullptr;
    if (!backups || backups->rowCount() == 0)
        return false;
    backups->selectRow(0);
    history->findChild<QPushButton*>(QStringLiteral("cmdRestoreBackup"))->click();
    QMessageBox* asked = awaitBox();
    ok = save(asked, file(QStringLiteral("restore-question"))) && ok;
    if (!asked)
        return false;
    asked->button(QMessageBox::Yes)->click();
    // The calibration values stay the unit's; then the result.
    QMessageBox* told = nullptr;
    while ((told = awaitBox(asked)) && told->button(QMessageBox::No)) {
        told->button(QMessageBox::No)->click();
        asked = told;
    }
    ok = save(told, file(QStringLiteral("restore-result"))) && ok;
    if (told)
        told->close();
    pump(300);
    ok = save(history, file(QStringLiteral("history-after-restore"))) && ok;
    history->close();
    return ok;
}

int run(const QString& folder, const QString& language)
{
    const bool german = language == QLatin1StringView("DE");
    const QString suffix = german ? QStringLiteral("de") : QStringLiteral("en");
    const auto file = [&](const QString& name) { return folder + QLatin1Char('/') + name + QLatin1Char('-') + suffix + QStringLiteral(".png"); };
    QDir().mkpath(folder);

    MainWindowSetup setup;
    setup.clock = std::make_unique<QtClock>();
    setup.host = std::make_unique<ChosenLanguageHost>(german ? QStringLiteral("0407") : QStringLiteral("0409"));
    setup.linePlan.simulated = SimSwitches{};
    setup.line = makeLine(setup.linePlan, *setup.clock);
    setup.plan = {false, 1, QString()};
    // Records as the program keeps them, in the user's data folder, for the unit's history.
    setup.records = std::make_unique<records::RecordKeeper>([] { return records::openUserStore(); });
    MainWindow window(std::move(setup));
    window.show();
    window.start();
    QElapsedTimer starting;
    starting.start();
    while (!window.startupDone() && starting.elapsed() < 30000)
        pump(20);

    // Development, through the password dialog as a user unlocks it.
    QTimer::singleShot(200, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("txtPwd"));
        QTest::keyClicks(password, QStringLiteral("Haspel2093"));
        QTest::keyClick(password, Qt::Key_Return);
    });
    window.findChild<QAction*>(QStringLiteral("mnuLevel60"))->trigger();
    pump(300);
    if (window.logic().access().level != AccessLevel::development()) {
        std::fprintf(stderr, "Development was not unlocked\n");
        return 1;
    }

    // The progress window is taken while the read runs, about half way.
    bool progressTaken = false;
    QTimer progress;
    progress.setInterval(20);
    QObject::connect(&progress, &QTimer::timeout, [&] {
        auto* transferWindow = window.findChild<QWidget*>(QStringLiteral("frmWriteInfo"));
        auto* overall = window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
        if (!progressTaken && transferWindow && transferWindow->isVisible() && overall && overall->value() >= 30
            && overall->value() <= 80) {
            progressTaken = save(transferWindow, file(QStringLiteral("progress")));
        }
    });
    progress.start();
    window.findChild<QPushButton*>(QStringLiteral("cmdRead"))->click();
    QElapsedTimer reading;
    reading.start();
    while (window.logic().device().busy() && reading.elapsed() < 30000)
        pump(20);
    progress.stop();
    pump(1500);

    // One packet by hand: a DownloadRequest for the system address cell.
    window.findChild<QLineEdit*>(QStringLiteral("txtType"))->setText(QStringLiteral("10"));
    window.findChild<QLineEdit*>(QStringLiteral("txtIndex"))->setText(QStringLiteral("2101"));
    window.findChild<QPushButton*>(QStringLiteral("cmdSend"))->click();
    pump(4000);
    // The consoles now, with the read and the packet in them: a write clears the packet log.
    bool ok = save(window.findChild<QWidget*>(QStringLiteral("frmTerminal")), file(QStringLiteral("terminal")));
    ok = save(window.findChild<QWidget*>(QStringLiteral("frmContact")), file(QStringLiteral("console"))) && ok;

    // The production line: the unit just read is the file, and both simulated channels program
    // their units in automatic mode.
    QTemporaryDir scratch;
    const BackupOutcome template_ = window.logic().device().saveBackup(scratch.path(), window.logic().host(), window.logic().version());
    auto* production = window.findChild<ProductionTab*>(QStringLiteral("tabProduction"));
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab"));
    bool productionDone = false;
    if (production && template_.status == BackupOutcome::Status::Saved && production->useFile(template_.path)) {
        // At the two screen sizes a line PC has, during a unit and after it; at the second size
        // the bench has changed its units.
        const QSize usual = window.size();
        tabs->setCurrentWidget(production);
        productionDone = true;
        int round = 0;
        for (const QSize size : {QSize(1024, 768), QSize(1280, 800)}) {
            window.resize(size);
            ++round;
            if (round == 1)
                production->setAutomatic(true);
            else {
                for (int row = 0; row < production->channelCount(); ++row)
                    production->nextSimulatedUnit(row);
            }
            const auto programmed = [production, round] {
                for (int row = 0; row < production->channelCount(); ++row) {
                    if (production->channel(row).unitsPassed() + production->channel(row).unitsFailed() < round)
                        return false;
                }
                return true;
            };
            const auto halfWay = [production] {
                const ProductionChannel& first = production->channel(0);
                return first.currentState() == ProductionChannel::State::Working && first.progress() >= 40;
            };
            const QString sizeName = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
            QElapsedTimer programming;
            programming.start();
            while (!halfWay() && programming.elapsed() < 60000)
                pump(20);
            ok = save(&window, file(QStringLiteral("production-during-") + sizeName)) && ok;
            while (!programmed() && programming.elapsed() < 90000)
                pump(50);
            pump(300);
            ok = save(&window, file(QStringLiteral("production-after-") + sizeName)) && ok;
            productionDone = productionDone && programmed();
        }
        window.resize(usual);
    }

    const char* tabNames[] = {"configuration", "overview", "infos", "tools", "production"};
    ok = progressTaken && productionDone && ok;
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        pump(200);
        ok = save(&window, file(QLatin1StringView(tabNames[tab]))) && ok;
    }
    ok = serviceDesk(window, file) && ok;
    // A value beyond the range its description states: marked in the overview, and asked about
    // before the write sends anything.
    tabs->setCurrentIndex(1);
    auto* overview = window.findChild<QTreeWidget*>(QStringLiteral("lstOverview"));
    if (QTreeWidgetItem* power = overview->findItems(QStringLiteral("TransmitPower"), Qt::MatchExactly, 1).value(0)) {
        power->setText(0, QStringLiteral("99"));
        overview->clearSelection(); // the selection would hide the mark
        pump(200);
        ok = save(&window, file(QStringLiteral("overview-range"))) && ok;
        window.findChild<QPushButton*>(QStringLiteral("cmdConfigWrite"))->click();
        QElapsedTimer asking;
        asking.start();
        QMessageBox* question = nullptr;
        while (!(question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) && asking.elapsed() < 20000)
            pump(50);
        ok = save(question, file(QStringLiteral("write-range-question"))) && ok;
        if (question && question->button(QMessageBox::No)) {
            question->button(QMessageBox::No)->click();
        } else if (question) {
            std::printf("FAILED: another box came: %s\n", qPrintable(question->text()));
            question->close();
            ok = false;
        }
        pump(500);
    }
    tabs->setCurrentIndex(0);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tunekit"));
    const QStringList args = QApplication::arguments();
    if (args.size() != 3 || (args[2] != QLatin1StringView("EN") && args[2] != QLatin1StringView("DE"))) {
        std::fprintf(stderr, "usage: tunekit-screenshots <folder> EN|DE\n");
        return 2;
    }
    return run(args[1], args[2]);
}
