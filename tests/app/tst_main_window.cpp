// The main window binds to the logic: names, captions, status bar, languages, consoles.
#include "link/packet_codec.h"
#include "app/launch.h"
#include "session/session.h"
#include "params/value_compare.h"
#include "app/main_window.h"
#include "records/store_choice.h"
#include "app/production_tab.h"
#include "app/records_window.h"
#include "sim/firmware_parameters.h"
#include "sim/pty_server.h"
#include "widgets/console_windows.h"
#include "widgets/packet_log_view.h"
#include "support/rig.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QTreeWidget>
#include <QGroupBox>
#include <QXmlStreamReader>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QMenu>

#include <coroutine>
#include <functional>

using namespace tunekit;
using namespace Qt::StringLiterals;
using namespace tunekit::testing;

namespace {

// The user's records store, kept in at once: the window's keeper thread needs a real event loop,
// and these tests run in virtual time. Held, its reads wait until the test lets each go on, in
// any order: a slow server.
struct UserStoreSink final : records::RecordSink {
    QCoro::Task<records::RecordOutcome> keep(records::OperationRecord record) override
    {
        const records::ChosenStore chosen = records::openUserStore();
        co_return chosen.store ? chosen.store->add(record) : records::RecordOutcome{records::RecordOutcome::Status::Failed, chosen.error};
    }
    QCoro::Task<records::FoundRecords> find(records::RecordFilter filter) override
    {
        if (holdReads)
            co_await Held{this};
        const records::ChosenStore chosen = records::openUserStore();
        co_return records::recordsIn(chosen.store.get(), chosen.error, filter);
    }
    void letRead(qsizetype held) { heldReads.takeAt(held).resume(); }
    bool holdReads = false;
    QList<std::coroutine_handle<>> heldReads;

private:
    struct Held {
        UserStoreSink* sink;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) const { sink->heldReads.append(handle); }
        void await_resume() const noexcept {}
    };
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    struct Window {
        enum Begin { Built, Started };
        explicit Window(Begin begin = Built, const PortPlan& plan = namedPort(1))
        {
            MainWindowSetup setup;
            setup.clock = std::make_unique<VirtualClock>();
            virtualClock = static_cast<VirtualClock*>(setup.clock.get());
            setup.line = std::make_unique<SimLine>(*virtualClock, 53);
            line = static_cast<SimLine*>(setup.line.get());
            setup.host = std::make_unique<FixedHost>();
            host = static_cast<FixedHost*>(setup.host.get());
            setup.plan = plan;
            auto sink = std::make_unique<UserStoreSink>();
            records = sink.get();
            setup.records = std::move(sink);
            window = std::make_unique<MainWindow>(std::move(setup));
            if (begin == Started) {
                window->show();
                window->start();
                started = virtualClock->runUntil([this] { return window->startupDone(); }, 60000);
            }
        }
        VirtualClock* virtualClock = nullptr;
        bool started = false;
        SimLine* line = nullptr;
        FixedHost* host = nullptr;
        UserStoreSink* records = nullptr;
        std::unique_ptr<MainWindow> window;
        void unlock(AccessLevel level) const
        {
            window->logic().access().level = level;
            window->logic().applyUserLevel();
        }
        template <typename T>
        T* find(const char* name) const
        {
            return window->findChild<T*>(QLatin1StringView(name));
        }
    };

    // The program's own English texts that have a German of their own, from the translation file;
    // a text with places (%1) stands for every text it makes.
    struct EnglishTexts {
        QSet<QString> whole;
        QList<QRegularExpression> patterns;
        bool contains(const QString& text) const
        {
            return whole.contains(text)
                   || std::any_of(patterns.cbegin(), patterns.cend(),
                                  [&text](const QRegularExpression& pattern) { return pattern.match(text).hasMatch(); });
        }
    };
    static EnglishTexts englishTexts()
    {
        EnglishTexts texts;
        QFile file(QStringLiteral(TUNEKIT_TS_FILE));
        if (!file.open(QIODevice::ReadOnly))
            return texts;
        QXmlStreamReader xml(&file);
        QString source;
        static const QRegularExpression place(QStringLiteral("%\\d"));
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1StringView("source")) {
                source = xml.readElementText(QXmlStreamReader::IncludeChildElements).remove(QLatin1Char('&')).trimmed();
            } else if (xml.name() == QLatin1StringView("translation")) {
                const QString german = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                if (german.isEmpty() || german == source)
                    continue;
                if (!source.contains(place)) {
                    texts.whole.insert(source);
                    continue;
                }
                // Only texts with words of their own besides the places.
                QStringList parts = source.split(place);
                if (parts.join(QString()).trimmed().size() <= 3)
                    continue;
                for (QString& part : parts)
                    part = QRegularExpression::escape(part);
                texts.patterns.append(QRegularExpression(QLatin1Char('^') + parts.join(QStringLiteral(".*")) + QLatin1Char('$')));
            }
        }
        return texts;
    }

    // Each test's settings, records and backups in a data folder of its own.
    std::unique_ptr<QTemporaryDir> dataFolder_;

private slots:
    void init()
    {
        dataFolder_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", dataFolder_->path().toLocal8Bit());
    }
    void startsWithTitleTabsAndPanels()
    {
        Window w(Window::Started);
        // The simulated transmitter is never mistaken for a real one.
        QCOMPARE(w.window->windowTitle(), QStringLiteral("Tunekit 2.13 (simulated transmitter)"));
        auto* tabs = w.find<QTabWidget>("SSTab");
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->tabText(0), QStringLiteral("   Configuration    "));
        QCOMPARE(tabs->tabText(4), QStringLiteral("   Production    "));
        QVERIFY(!tabs->isTabVisible(4)); // the production line is for Production and Development
        // Start-up detected the simulated transmitter.
        QStringList panels;
        for (int i = 1; i <= 7; ++i)
            panels << w.find<QLabel>(qPrintable(QStringLiteral("StatusPanel%1").arg(i)))->text();
        QCOMPARE(panels, (QStringList{"Connected", "COM=1", "ID=53", "Bytes=0", "Win 7", " Build 28-3003", "simulated transmitter"}));
        // Names no other test here reaches.
        for (const char* name : {"pbxDip", "txtDebug", "cmdInfoRead"})
            QVERIFY2(w.find<QWidget>(name), name);
        for (const char* name : {"mnuCOM1", "mnuCOM5", "mnuCOMother", "mnuCOMredetect", "mnuLevel60", "mnuHelp"})
            QVERIFY2(w.find<QAction>(name), name);
        QVERIFY(!w.find<QWidget>("frmContact")->isVisible());
        // The main timer has put the check mark on the start level.
        QVERIFY(w.find<QAction>("mnuLevel10")->isChecked());
        QVERIFY(!w.find<QAction>("mnuLevel40")->isChecked());
        // The detection batch resets after its last answer, and start-up resets once more at its end.
        QCOMPARE(w.line->device().restartCount(), 2);
    }

    // The COM entries show the ports: clicking one leaves the tick on the port in use.
    void comMenuKeepsThePortInUseTicked()
    {
        Window w(Window::Built, PortPlan{});
        w.host->adapterPort = QStringLiteral("COM3");
        // Discovery's message is confirmed as soon as it shows.
        QTimer confirm;
        QObject::connect(&confirm, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        confirm.start(0);
        w.window->show();
        w.window->start();
        QVERIFY(w.virtualClock->runUntil([&] { return w.window->startupDone(); }, 60000));
        confirm.stop();
        QCOMPARE(w.window->logic().port().portNumber, 3);
        auto ticks = [&] {
            QString shown;
            for (const char* name : {"mnuCOM1", "mnuCOM2", "mnuCOM3", "mnuCOM4", "mnuCOM5", "mnuCOMother"})
                shown += w.find<QAction>(name)->isChecked() ? QLatin1Char('X') : QLatin1Char('o');
            return shown;
        };
        QCOMPARE(ticks(), QStringLiteral("ooXooo"));
        for (const char* name : {"mnuCOM3", "mnuCOM1", "mnuCOM3"}) {
            QVERIFY2(w.find<QAction>(name)->isEnabled(), name);
            w.find<QAction>(name)->trigger();
            QCOMPARE(ticks(), QStringLiteral("ooXooo"));
        }
        QCOMPARE(w.window->logic().port().portNumber, 3);
    }

    void languageMenuRewritesCaptions()
    {
        Window w;
        w.host->languageId = QStringLiteral("0407"); // a German system starts in German
        w.window->start();
        QVERIFY(w.virtualClock->runUntil([&] { return w.window->startupDone(); }, 60000));
        auto* tabs = w.find<QTabWidget>("SSTab");
        QCOMPARE(tabs->tabText(1), QStringLiteral("   Übersicht    "));
        QVERIFY(w.find<QAction>("mnuGerman")->isChecked());
        QCOMPARE(w.find<QAction>("mnuLevel40")->text(), QStringLiteral("Kundendienst"));

        // Qt's own dialog texts speak the interface's language too.
        auto noButton = [] { return QMessageBox(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No)
                                        .button(QMessageBox::No)->text().remove(QLatin1Char('&')); };
        QCOMPARE(noButton(), QStringLiteral("Nein"));

        w.find<QAction>("mnuEnglish")->trigger();
        QCOMPARE(noButton(), QStringLiteral("No"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("   Overview    "));
        QCOMPARE(w.find<QPushButton>("cmdConfigWrite")->text(), QStringLiteral("             Write"));
        QCOMPARE(w.find<QCheckBox>("ChkSendNewDataOnly")->text(), QStringLiteral("Only send changed values"));
        QVERIFY(w.find<QAction>("mnuEnglish")->isChecked());
        QVERIFY(!w.find<QAction>("mnuGerman")->isChecked());
        // The overview's headers keep the language of the start.
        QCOMPARE(w.find<QTreeWidget>("lstOverview")->headerItem()->text(0), QStringLiteral("Wert"));
        QCOMPARE(w.find<QWidget>("CmdCopyToConfig")->toolTip(), QStringLiteral("Generates a *.scd Config File out of device data."));
        w.find<QAction>("mnuGerman")->trigger();
        QCOMPARE(w.find<QWidget>("cmdConvertChecksum")->toolTip(),
                 QStringLiteral("Fügt einer vorhandenen Config-Datei die neue v2-Checksumme hinzu."));
        // The status bar speaks German too, and the German window fits a screen 1024 px wide.
        QCOMPARE(w.find<QLabel>("StatusPanel1")->text(), QStringLiteral("Verbunden"));
        w.unlock(AccessLevel::development());
        tabs->setCurrentIndex(4);
        QVERIFY2(w.window->minimumSizeHint().width() <= 1024, qPrintable(QString::number(w.window->minimumSizeHint().width())));
    }

    // Every text a technician can see, in every tab, window and console, speaks German once
    // German is chosen, even when the window started in English: nothing on screen may still be
    // one of the program's own English texts.
    void everyVisibleTextIsGerman()
    {
        Window w(Window::Started);
        w.unlock(AccessLevel::development());
        QTest::mouseClick(w.find<QPushButton>("cmdRead"), Qt::LeftButton);
        QVERIFY(w.virtualClock->runUntil([&] { return !w.window->logic().device().busy(); }, 60000));
        w.virtualClock->runFor(1500); // the consoles shown, the transfer window gone
        QTest::mouseClick(w.find<QPushButton>("cmdRecords"), Qt::LeftButton); // the read's record shown
        w.find<QAction>("mnuGerman")->trigger();

        const EnglishTexts english = englishTexts();
        QVERIFY(english.whole.size() > 300 && english.patterns.size() > 50);
        QStringList left;
        int checked = 0;
        const auto check = [&](const QObject* where, const QString& shown) {
            QString text = shown;
            text.remove(QLatin1Char('&'));
            text = text.trimmed();
            checked += text.isEmpty() ? 0 : 1;
            if (text.size() > 2 && english.contains(text))
                left << where->objectName() + QStringLiteral(": ") + text;
        };
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            check(top, top->windowTitle());
            QList<QWidget*> widgets = top->findChildren<QWidget*>();
            widgets.prepend(top);
            for (QWidget* widget : std::as_const(widgets)) {
                if (widget->isHidden() || !widget->window()->isVisible())
                    continue;
                check(widget, widget->toolTip());
                if (auto* label = qobject_cast<QLabel*>(widget))
                    check(label, label->text());
                else if (auto* button = qobject_cast<QAbstractButton*>(widget))
                    check(button, button->text());
                else if (auto* group = qobject_cast<QGroupBox*>(widget))
                    check(group, group->title());
                else if (auto* tabs = qobject_cast<QTabWidget*>(widget))
                    for (int i = 0; i < tabs->count(); ++i)
                        check(tabs, tabs->tabText(i));
                else if (auto* table = qobject_cast<QTableWidget*>(widget))
                    for (int row = -1; row < table->rowCount(); ++row)
                        for (int column = 0; column < table->columnCount(); ++column)
                            if (const QTableWidgetItem* item = row < 0 ? table->horizontalHeaderItem(column) : table->item(row, column))
                                check(table, item->text());
                for (const QAction* action : widget->actions())
                    check(action, action->text());
            }
        }
        // The menus, open or not.
        for (const QMenu* menu : w.window->findChildren<QMenu*>()) {
            check(menu, menu->title());
            for (const QAction* action : menu->actions())
                check(action, action->text());
        }
        QVERIFY2(checked > 150, qPrintable(QString::number(checked)));
        QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("Still English in German:\n") + left.join(u'\n')));
    }

    void disAutoResMirrorsCheck01()
    {
        Window w;
        auto* autoResetOff = w.find<QCheckBox>("DisAutoRes");
        auto* check01 = w.find<QCheckBox>("check01");
        QVERIFY(autoResetOff && check01);
        autoResetOff->setChecked(true);
        QVERIFY(check01->isChecked());
        QVERIFY(w.window->logic().device().automaticResetOff());
        check01->setChecked(false);
        QVERIFY(!autoResetOff->isChecked());
        QVERIFY(!w.window->logic().device().automaticResetOff());
        // The paced mode's box on the same tab.
        auto* paced = w.find<QCheckBox>("chkPaced");
        QVERIFY(paced && !paced->isChecked());
        paced->click();
        QVERIFY(w.window->logic().device().paced());
    }

    void serviceLevelReadFillsTheViews()
    {
        // Records go to a data folder of this test's own.
        Window w(Window::Started);
        // Unlock "Service" through the real dialog; it is window-modal, so the menu returns at once.
        w.find<QAction>("mnuLevel40")->trigger();
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == QStringLiteral("frmPwd"));
        QCOMPARE(w.window->logic().access().level, AccessLevel::level1());
        QTest::keyClicks(dialog->findChild<QWidget*>(QStringLiteral("txtPwd")), QStringLiteral("Dill"));
        QTest::keyClick(dialog->findChild<QWidget*>(QStringLiteral("txtPwd")), Qt::Key_Return);
        QCOMPARE(w.window->logic().access().level, AccessLevel::service());
        auto* tabs = w.find<QTabWidget>("SSTab");
        QVERIFY(tabs->isTabVisible(1) && tabs->isTabVisible(2) && !tabs->isTabVisible(3));

        // Clear data and the backup are there at this level, though the Tools tab is not.
        QVERIFY(w.find<QPushButton>("CmdClearFileData")->isVisible() && w.find<QPushButton>("cmdSicherung")->isVisible());
        // Below level 50 the production number is greyed in the window's colour.
        auto* production = w.find<QLineEdit>("txtProductionNumber");
        QVERIFY(!production->isEnabled());
        QCOMPARE(production->palette().color(QPalette::Base), w.window->palette().color(QPalette::Window));

        // The picture on the Read button starts the read.
        QTest::mouseClick(w.find<QWidget>("Picture1"), Qt::LeftButton);
        QVERIFY(w.virtualClock->runUntil([&] { return !w.window->logic().device().busy(); }, 20000));
        w.virtualClock->runFor(5000);

        // The overview lists the read values by name; which names a family has is the image's rule.
        const auto shutdownDelay = w.find<QTreeWidget>("lstOverview")->findItems(QStringLiteral("ShutdownDelay"), Qt::MatchExactly, 1);
        QCOMPARE(shutdownDelay.size(), 1);
        QCOMPARE(shutdownDelay.first()->text(0), QStringLiteral("500"));
        // A value typed beyond the range its description states is taken and marked.
        QTreeWidgetItem* power = w.find<QTreeWidget>("lstOverview")->findItems(QStringLiteral("TransmitPower"), Qt::MatchExactly, 1).value(0);
        QVERIFY(power && power->toolTip(0).isEmpty() && !power->font(0).bold());
        power->setText(0, QStringLiteral("99"));
        QCOMPARE(w.window->logic().image().value[7], QStringLiteral("99"));
        QCOMPARE(power->toolTip(0), QStringLiteral("Edited, not yet written to the device\nOutside the range 0..27 the description states"));
        QVERIFY(power->font(0).bold());
        power->setText(0, QStringLiteral("27"));
        QCOMPARE(power->toolTip(0), QStringLiteral("Edited, not yet written to the device"));
        QVERIFY(power->font(0).bold());
        // 1234 with OEM code 254: a scrambled serial number, decodable again.
        const QString serial = w.find<QLineEdit>("txtSerialnumber")->text();
        QCOMPARE(serial.size(), 10);
        QVERIFY(serial.startsWith(QStringLiteral("983")));
        QCOMPARE(w.find<QLabel>("ValueLow")->text(), QStringLiteral("D2(h) = 210(d)"));
        QCOMPARE(w.find<QLabel>("ValueHigh")->text(), QStringLiteral("04(h) = 4(d)"));
        QVERIFY(!w.window->logic().image().changed[2]); // filled by the read, not by the user
        QCOMPARE(w.find<QLabel>("lblInfo4")->text(), w.window->logic().image().info.texts[4]);
        // The transfer window closes a second after the batch.
        QVERIFY(!w.find<QWidget>("frmWriteInfo")->isVisible());

        // The read left its record, which the Records window (Service and up) finds by serial number.
        auto* recordsButton = w.find<QPushButton>("cmdRecords");
        QVERIFY(recordsButton->isVisibleTo(w.window.get()));
        QTest::mouseClick(recordsButton, Qt::LeftButton);
        auto* records = w.window->findChild<RecordsWindow*>(QStringLiteral("frmRecords"));
        QVERIFY(records && records->isVisible());
        records->findChild<QLineEdit*>(QStringLiteral("txtRecordSerial"))->setText(serial);
        QTest::mouseClick(records->findChild<QPushButton*>(QStringLiteral("cmdRecordSearch")), Qt::LeftButton);
        QCOMPARE(records->shown().size(), 1);
        const auto& record = records->shown().first();
        QCOMPARE((QStringList{record.command, record.result, record.accessLevel}), (QStringList{"read", "passed", "service"}));
        QCOMPARE(records->findChild<QTableWidget*>(QStringLiteral("tblRecords"))->item(0, 3)->text(), serial);
        // In German the rows say what the filter offers, and the dates take the German form.
        w.window->logic().chooseLanguage(QStringLiteral("DE"));
        records->findChild<QLineEdit*>(QStringLiteral("txtRecordSince"))->setText(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
        QTest::mouseClick(records->findChild<QPushButton*>(QStringLiteral("cmdRecordSearch")), Qt::LeftButton);
        QCOMPARE(records->shown().size(), 1);
        const QTableWidget* rows = records->findChild<QTableWidget*>(QStringLiteral("tblRecords"));
        QCOMPARE(rows->item(0, 1)->text() + u' ' + rows->item(0, 2)->text(), QStringLiteral("bestanden lesen"));
        w.window->logic().chooseLanguage(QStringLiteral("EN"));
    }

    // A unit back from a customer: read at the line, written at a bench, read again after its
    // power was turned down. The window shows its records and backups, marks what the older
    // backup would change, and writes that backup back.
    void serviceDeskAnswersForAUnit()
    {
        Window w(Window::Started);
        w.unlock(AccessLevel::service());
        Station& station = w.window->logic().device();
        SimDevice& unit = w.line->device();
        const auto unitCells = [&unit] {
            QList<QByteArray> cells;
            for (const FirmwareParameter& parameter : firmwareParameters())
                cells << unit.cell(parameter.index, parameter.subindex);
            return cells;
        };
        const auto setOnUnit = [&unit](std::string_view name, qint64 value) {
            const FirmwareParameter* parameter = findFirmwareParameter(name);
            unit.setCell(parameter->index, parameter->subindex, cellWithValue(unit.cell(parameter->index, parameter->subindex), *parameter, value));
        };
        // Runs the clock until done, answering No to the calibration questions on the way.
        const auto keepCalibration = [&w](const std::function<bool()>& done) {
            return w.virtualClock->runUntil([&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (box && box->text().startsWith(u"Overwrite Adjusted")) {
                    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
                    return false;
                }
                return done();
            }, 120000);
        };
        const auto read = [&] {
            QTest::mouseClick(w.find<QPushButton>("cmdRead"), Qt::LeftButton);
            return w.virtualClock->runUntil([&] { return !station.busy(); }, 60000);
        };
        const auto backUp = [&](int daysAgo) {
            const BackupOutcome backup = station.saveBackup(Session::backupFolder(), w.window->logic().host(), w.window->logic().version());
            QFile file(backup.path);
            const bool dated = file.open(QIODevice::ReadWrite)
                               && file.setFileTime(QDateTime::currentDateTime().addDays(-daysAgo), QFileDevice::FileModificationTime);
            return backup.status == BackupOutcome::Status::Saved && dated ? QFileInfo(backup.path).absoluteFilePath() : QString();
        };
        auto* overview = w.find<QTreeWidget>("lstOverview");
        const auto overviewRow = [overview](const QString& name) {
            return overview->findItems(name, Qt::MatchExactly, 1).value(0);
        };

        QVERIFY(read());
        const QList<QByteArray> asProduced = unitCells();
        const QString older = backUp(2);
        QVERIFY(!older.isEmpty());
        overviewRow(u"ShutdownDelay"_s)->setText(0, u"600"_s);
        QTest::mouseClick(w.find<QPushButton>("cmdConfigWrite"), Qt::LeftButton);
        QVERIFY(keepCalibration([&] { return unitCells() != asProduced && !station.busy(); }));
        setOnUnit("TransmitPower", 12);
        QVERIFY(read());
        const ParamArray<QString> onTheUnit = w.window->logic().image().readBuffer;
        QVERIFY(!backUp(1).isEmpty());

        // The history: three records, newest first, none of them a production; two backups.
        QTest::mouseClick(w.find<QPushButton>("cmdUnitHistory"), Qt::LeftButton);
        auto* history = w.find<QWidget>("frmUnitHistory");
        QVERIFY(history && history->isVisible());
        const auto historyLines = [history] {
            const auto* lines = history->findChild<QTableWidget*>(QStringLiteral("tblHistory"));
            QStringList shown;
            for (int row = 0; row < lines->rowCount(); ++row)
                shown << lines->item(row, 1)->text() + u' ' + lines->item(row, 2)->text();
            return shown;
        };
        QCOMPARE(historyLines(), (QStringList{u"read passed"_s, u"write passed"_s, u"read passed"_s}));
        const QString summary = history->findChild<QLabel*>(QStringLiteral("lblHistorySummary"))->text();
        QVERIFY2(summary.startsWith(u"Serial number %1, records: 3. No record of its production"_s.arg(station.serialNumber())),
                 qPrintable(summary));
        auto* backups = history->findChild<QTableWidget*>(QStringLiteral("tblUnitBackups"));
        QCOMPARE(backups->rowCount(), 2);
        QCOMPARE(backups->item(1, 1)->text(), older);

        // The older backup opened: the marked rows are what tunekit-cli diff prints, and the
        // Write button names their count.
        w.window->logic().openDroppedFiles({older});
        QStringList expected;
        for (const ValueDifference& difference : station.differencesFromDevice(onTheUnit, w.window->logic().image().deviceConfigId))
            expected << difference.name + u' ' + difference.left + u' ' + difference.right;
        QStringList marked;
        for (int i = 0; i < overview->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = overview->topLevelItem(i);
            if (!item->text(3).isEmpty())
                marked << item->text(1) + u' ' + item->text(3) + u' ' + item->text(0);
        }
        QCOMPARE(marked, expected);
        QCOMPARE(marked, (QStringList{u"ShutdownDelay 600 500"_s, u"TransmitPower 12 27"_s}));
        QCOMPARE(w.find<QPushButton>("cmdConfigWrite")->toolTip(),
                 u"Writing changes 2 values of the unit read last; the overview marks them."_s);

        // The older backup written back: asked, backed up first, verified, and the unit is as it
        // was then.
        backups->selectRow(1);
        QTest::mouseClick(history->findChild<QPushButton*>(QStringLiteral("cmdRestoreBackup")), Qt::LeftButton);
        QMessageBox* asked = nullptr;
        QVERIFY(w.virtualClock->runUntil([&] { return (asked = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); }, 10000));
        QVERIFY2(asked->text().startsWith(u"Write the backup "_s + QDir::toNativeSeparators(older)), qPrintable(asked->text()));
        QTest::mouseClick(asked->button(QMessageBox::Yes), Qt::LeftButton);
        QMessageBox* told = nullptr;
        QVERIFY(keepCalibration([&] {
            told = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            return told && told != asked && told->text().contains(u"written back");
        }));
        QCOMPARE(told->text(), u"The backup is written back and verified: the unit holds its values."_s);
        told->close();
        QCOMPARE(unitCells(), asProduced);
        QCOMPARE(historyLines().value(0), u"restore passed"_s);
        QCOMPARE(backups->rowCount(), 3);
    }

    // A records store that is slow to answer holds neither the window nor the transmitter: the
    // views say they are reading, a read of the unit runs meanwhile, and the answer to a later
    // question wins over one to an earlier question that comes last.
    void recordViewsWaitForTheStore()
    {
        Window w(Window::Started);
        w.unlock(AccessLevel::service());
        const auto read = [&w] {
            QTest::mouseClick(w.find<QPushButton>("cmdRead"), Qt::LeftButton);
            return w.virtualClock->runUntil([&w] { return !w.window->logic().device().busy(); }, 60000);
        };
        QVERIFY(read());
        const QString serial = w.window->logic().device().serialNumber();
        w.records->holdReads = true;
        QTest::mouseClick(w.find<QPushButton>("cmdRecords"), Qt::LeftButton);
        auto* records = w.window->findChild<RecordsWindow*>(QStringLiteral("frmRecords"));
        auto* status = records->findChild<QLabel*>(QStringLiteral("lblRecordStatus"));
        records->findChild<QLineEdit*>(QStringLiteral("txtRecordSerial"))->setText(serial);
        records->search();
        records->findChild<QLineEdit*>(QStringLiteral("txtRecordSerial"))->setText(u"0000000000"_s);
        records->search();
        QCOMPARE(status->text(), u"Reading the records ..."_s);
        QVERIFY(read());
        // Opening the window searched too: three reads wait.
        QCOMPARE(w.records->heldReads.size(), 3);
        w.records->letRead(2);
        QVERIFY2(status->text().startsWith(u"Records found: 0 ("_s), qPrintable(status->text()));
        w.records->letRead(1);
        w.records->letRead(0);
        QVERIFY(records->shown().isEmpty());

        QTest::mouseClick(w.find<QPushButton>("cmdUnitHistory"), Qt::LeftButton);
        auto* summary = w.find<QLabel>("lblHistorySummary");
        QCOMPARE(summary->text(), u"Reading the records of the unit with serial number %1 ..."_s.arg(serial));
        w.records->letRead(0);
        QVERIFY2(summary->text().startsWith(u"Serial number %1, records: 2."_s.arg(serial)), qPrintable(summary->text()));
    }

    void droppedFileOpens()
    {
        Window w(Window::Started);
        w.unlock(AccessLevel::development());
        auto* open = w.find<QPushButton>("cmdFileOpen");
        QVERIFY(open->isVisibleTo(w.window.get()) && open->acceptDrops());
        // The unit read first: the overview then marks what the file would change on it.
        QTest::mouseClick(w.find<QPushButton>("cmdRead"), Qt::LeftButton);
        QVERIFY(w.virtualClock->runUntil([&] { return !w.window->logic().device().busy(); }, 60000));
        const ParamArray<QString> onTheUnit = w.window->logic().image().readBuffer;
        QVERIFY(!w.find<QLabel>("lblFileChanges")->isVisibleTo(w.window.get()));

        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd"))});
        // As a desktop delivers it: the button accepts the drag, then gets the drop.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(open, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(open, &drop);
        delete mime;

        QCOMPARE(w.find<QLabel>("lblConfigFileName")->text(), QStringLiteral("backup_cfg2.scd"));
        QCOMPARE(w.find<QLabel>("lblCRC")->text(), QStringLiteral("Checksum valid"));
        QVERIFY(w.find<QLabel>("lblCRC")->isVisibleTo(w.window.get()));
        QCOMPARE(w.find<QLabel>("ConfigFileIDLabel")->text(), QStringLiteral("FileID: 2"));
        // The marked rows are the differences tunekit-cli diff prints, each with the unit's value
        // beside the file's; calibration values are marked as kept.
        QStringList expected;
        for (const ValueDifference& difference : w.window->logic().device().differencesFromDevice(onTheUnit, 53)) {
            if (difference.nr >= 2)
                expected << difference.name + u' ' + difference.left + u' ' + difference.right;
        }
        QVERIFY(expected.size() > 5);
        w.find<QTabWidget>("SSTab")->setCurrentIndex(1);
        QStringList marked;
        QStringList kept;
        auto* overview = w.find<QTreeWidget>("lstOverview");
        for (int i = 0; i < overview->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = overview->topLevelItem(i);
            if (!item->text(3).isEmpty())
                marked << item->text(1) + u' ' + item->text(3) + u' ' + item->text(0);
            if (item->toolTip(0).contains(u"A calibration value"))
                kept << item->text(1);
        }
        QCOMPARE(marked, expected);
        QVERIFY(!overview->isColumnHidden(3));
        QCOMPARE(w.find<QLabel>("lblFileChanges")->text(),
                 QStringLiteral("The file changes %1 values of the unit read last: marked, with the unit's values beside them.")
                     .arg(expected.size()));
        QCOMPARE(kept, (QStringList{u"FreqComp"_s, u"GainComp"_s, u"PhaseComp"_s}));
    }

    // A question of a write is a window-modal box that does not block: the window and the clock
    // run on while it waits, the station refuses other commands, and the answer decides. The
    // window closed meanwhile ends the write there, as cancelled: its record says so, the
    // question goes away, and nothing more is sent.
    void writeQuestionWaitsWithoutBlocking_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::newRow("answered") << false;
        QTest::newRow("window closed") << true;
    }
    void writeQuestionWaitsWithoutBlocking()
    {
        QFETCH(bool, closed);
        Window w(Window::Started);
        QVERIFY(w.started);
        w.unlock(AccessLevel::development());
        // The file dialog is window-modal as well: the click returns at once, the clock runs on.
        QTest::mouseClick(w.find<QPushButton>("cmdFileOpen"), Qt::LeftButton);
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(files && files->windowModality() == Qt::WindowModal);
        w.virtualClock->runFor(1000);
        QVERIFY(w.find<QLabel>("lblConfigFileName")->text().isEmpty());
        files->selectFile(QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd"));
        static_cast<QDialog*>(files)->accept(); // as its Open button does
        QCOMPARE(w.find<QLabel>("lblConfigFileName")->text(), QStringLiteral("backup_cfg2.scd"));
        QTest::mouseClick(w.find<QPushButton>("cmdConfigWrite"), Qt::LeftButton);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(!box);
        QVERIFY(w.virtualClock->runUntil([&] { return (box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); }, 10000));
        // A file of another family, never written unasked, even at Development.
        QCOMPARE(box->text(), QStringLiteral("Data (ConfigID=2) not compatible to connected hardware (ConfigID=53)\r\n"
                                             "Do You really want to continue?"));

        const qint64 asked = w.virtualClock->nowMs();
        const qsizetype requests = w.line->device().requests().size();
        w.virtualClock->runFor(2000);
        QCOMPARE(w.virtualClock->nowMs() - asked, 2000);
        QVERIFY(w.window->logic().device().busy());
        QTest::mouseClick(w.find<QPushButton>("cmdRead"), Qt::LeftButton);
        w.virtualClock->runFor(500);
        QCOMPARE(w.line->device().requests().size(), requests);
        // The second click is told why nothing happens.
        QMessageBox* wait = nullptr;
        for (QMessageBox* shown : w.window->findChildren<QMessageBox*>()) {
            if (shown->isVisible() && shown->text() == QStringLiteral("Please wait until the data transfer has ended."))
                wait = shown;
        }
        QVERIFY(wait);
        wait->accept();
        if (closed) {
            const QPointer<QMessageBox> question = box;
            w.window->close();
            QVERIFY(!question || !question->isVisible());
            w.virtualClock->runFor(10000);
            QCOMPARE(w.line->device().requests().size(), requests);
            const records::ChosenStore store = records::openUserStore();
            QVERIFY(store.store);
            const QList<records::OperationRecord> kept = store.store->query({}).records;
            QVERIFY(!kept.isEmpty());
            QCOMPARE(kept.last().command + u' ' + kept.last().result + u' ' + kept.last().message,
                     QStringLiteral("write failed Cancelled before it ended."));
            return;
        }
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);

        // The calibration values are asked about next, before anything is sent; both are kept.
        QStringList questions;
        QVERIFY(w.virtualClock->runUntil([&] {
            for (QMessageBox* question : w.window->findChildren<QMessageBox*>()) {
                if (question->isVisible() && question->button(QMessageBox::No)) {
                    questions << question->text();
                    QTest::mouseClick(question->button(QMessageBox::No), Qt::LeftButton);
                    break;
                }
            }
            return !w.window->logic().device().busy();
        }, 30000));
        QCOMPARE(questions, (QStringList{QStringLiteral("Overwrite Adjusted Frequency Compensation Value?"),
                                         QStringLiteral("Overwrite Adjusted Gain/Phase Compensation Values?")}));
        QCOMPARE(w.line->device().requests().mid(requests).first().at(0), char(ConfigEnable));
        QVERIFY(w.line->device().requests().size() > requests);
    }

    // The Production tab in automatic mode: each channel programs the unit plugged into it without a
    // click and without a message box, shows PASS, and waits for the next unit once it is taken away.
    void productionTabRunsAutomatically()
    {
        Window w(Window::Started);
        w.unlock(AccessLevel::production());
        QVERIFY(w.find<QTabWidget>("SSTab")->isTabVisible(4));
        auto* tab = w.window->findChild<ProductionTab*>(QStringLiteral("tabProduction"));
        QVERIFY(tab);
        SimSwitches family2;
        family2.configId = 2;
        const LinePlan simulated{family2, QString(), false};
        tab->setChannels({{QStringLiteral("sim A"), QStringLiteral("FT-A"), simulated}, {QStringLiteral("sim B"), QStringLiteral("FT-B"), simulated}});
        QVERIFY(tab->useFile(QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd")));
        QVERIFY(w.find<QLabel>("lblProductionFileState")->text().startsWith(QStringLiteral("ConfigID 2, checksum valid.")));
        auto& unitA = dynamic_cast<SimLine&>(tab->line(0));
        auto& unitB = dynamic_cast<SimLine&>(tab->line(1));
        unitB.faults().silent = true;
        auto* table = w.find<QTableWidget>("tblChannels");
        const auto cell = [table](int row, int column) { return table->item(row, column) ? table->item(row, column)->text() : QString(); };

        w.find<QCheckBox>("chkAutomatic")->click();
        QVERIFY(w.virtualClock->runUntil([&] { return cell(0, 5) == QStringLiteral("PASS"); }, 120000));
        QCOMPARE(cell(1, 2), QStringLiteral("waiting for a unit"));
        unitB.faults().silent = false;
        QVERIFY(w.virtualClock->runUntil([&] { return cell(1, 5) == QStringLiteral("PASS"); }, 120000));
        QCOMPARE(cell(1, 6), QStringLiteral("Written and verified."));
        // Another file while the line runs is refused in words; the line keeps its file.
        QVERIFY(!tab->useFile(QStringLiteral(TUNEKIT_TEST_DATA_DIR "/extended_sections.scd")));
        QStringList refusals;
        for (QMessageBox* box : w.window->findChildren<QMessageBox*>()) {
            if (box->isVisible()) {
                refusals << box->text();
                box->accept();
            }
        }
        QCOMPARE(refusals, QStringList{QStringLiteral("The line is running, so it keeps the file backup_cfg2.scd. Stop it to choose another file.")});
        // PASS keeps its green when the row is selected.
        table->selectRow(1);
        QVERIFY(!(table->item(1, 5)->flags() & Qt::ItemIsSelectable));
        QCOMPARE(table->item(1, 5)->background().color(), QColor(0, 160, 0));
        // The bench's change of units, simulated: A's unit goes, the next one comes.
        const QString firstSerial = cell(0, 3);
        auto* nextUnit = w.find<QPushButton>("cmdNextSimulatedUnit");
        QVERIFY(!nextUnit->isHidden());
        table->selectRow(0);
        QTest::mouseClick(nextUnit, Qt::LeftButton);
        QVERIFY(unitA.link().faults().silent);
        QVERIFY(w.virtualClock->runUntil([&] { return cell(0, 2) == QStringLiteral("waiting for a unit"); }, 10000));
        // The unit taken away leaves nothing of itself on the row, and no black result cell.
        QCOMPARE(QStringList({cell(0, 3), cell(0, 4), cell(0, 5), cell(0, 6)}), QStringList({QString(), QStringLiteral("0 %"), QString(), QString()}));
        QCOMPARE(table->item(0, 5)->background().style(), Qt::NoBrush);
        QCOMPARE(tab->channel(0).unitsPassed(), 1);
        QVERIFY(w.virtualClock->runUntil([&] { return cell(0, 5) == QStringLiteral("PASS"); }, 120000));
        QCOMPARE(tab->channel(0).unitsPassed(), 2);
        QVERIFY(!cell(0, 3).isEmpty() && cell(0, 3) != firstSerial);
        for (QMessageBox* box : w.window->findChildren<QMessageBox*>())
            QVERIFY2(!box->isVisible(), qPrintable(box->text()));

        w.find<QCheckBox>("chkAutomatic")->click();
        QVERIFY(w.virtualClock->runUntil([&] { return cell(0, 2) == QStringLiteral("idle") && cell(1, 2) == QStringLiteral("idle"); }, 10000));
    }

    // tunekit --simulate --config-id 53: the Production tab's simulated units are of family 53 too.
    void simulatedProductionUnitsTakeTheChosenFamily()
    {
        LaunchOptions options;
        options.simulate = true;
        options.configId = 53;
        MainWindowSetup setup = makeWindowSetup(options);
        setup.host = std::make_unique<FixedHost>();
        MainWindow window(std::move(setup));
        auto* tab = window.findChild<ProductionTab*>();
        QVERIFY(tab && tab->channelCount() == 2);
        for (int row = 0; row < tab->channelCount(); ++row)
            QCOMPARE(dynamic_cast<SimLine&>(tab->line(row)).device().configId(), 53);
    }

    // tunekit --port <pseudo-terminal>: the real serial port, real time, the simulated transmitter at
    // the far end, as a test bench would run it.
    void namedPortConnectsDetectsAndReads()
    {
        PtyServer server(52);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        LaunchOptions options;
        options.port = server.slavePath();
        MainWindowSetup setup = makeWindowSetup(options);
        setup.host = std::make_unique<FixedHost>();
        MainWindow window(std::move(setup));
        window.show();
        window.start();
        QVERIFY(QTest::qWaitFor([&] { return window.startupDone(); }, 30000));
        Session& logic = window.logic();
        QCOMPARE(window.windowTitle(), QStringLiteral("Tunekit 2.13"));
        auto panel = [&](int n) { return window.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(n)); };
        QCOMPARE(panel(1)->text(), QStringLiteral("Connected"));
        QCOMPARE(panel(2)->text(), server.slavePath()); // not COM1
        QCOMPARE(panel(3)->text(), QStringLiteral("ID=52"));
        QCOMPARE(panel(7)->text(), server.slavePath());
        auto* other = window.findChild<QAction*>(QStringLiteral("mnuCOMother"));
        QVERIFY(other && other->isVisible() && other->isChecked());
        QVERIFY(other->text().contains(server.slavePath()));
        QVERIFY(!window.findChild<QAction*>(QStringLiteral("mnuCOM1"))->isChecked());
        QVERIFY(logic.aboutText().contains(QStringLiteral("Port: ") + server.slavePath()));

        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdRead")), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !logic.device().busy(); }, 30000));
        QVERIFY(!logic.image().value[2].isEmpty());
        QCOMPARE(logic.image().imageConfigId, 52);

        // The Production tab's channel on this port takes it over while the line runs; the service
        // side says so, and has the port back once the line has stopped.
        auto* tab = window.findChild<ProductionTab*>();
        QVERIFY(tab && tab->useFile(QStringLiteral(TUNEKIT_TEST_DATA_DIR "/backup_cfg2.scd")));
        int row = 0;
        while (row < tab->channelCount() && tab->channel(row).port() != server.slavePath())
            ++row;
        QVERIFY(row < tab->channelCount());
        tab->startAll();
        QVERIFY(logic.portLent());
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdRead")), Qt::LeftButton);
        QStringList told;
        for (QMessageBox* box : window.findChildren<QMessageBox*>()) {
            if (box->isVisible()) {
                told << box->text();
                box->accept();
            }
        }
        QCOMPARE(told, QStringList{QStringLiteral("The Production tab's line uses the port now. It is free again once the line has stopped.")});
        QVERIFY(QTest::qWaitFor([&] { return !logic.portLent(); }, 60000));
        QVERIFY(tab->channel(row).currentState() != ProductionChannel::State::Working);
        QVERIFY(QTest::qWaitFor([&] { return !logic.device().busy(); }, 30000));
        logic.clearFileData();
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdRead")), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !logic.device().busy() && !logic.image().value[2].isEmpty(); }, 30000));
        QCOMPARE(panel(1)->text(), QStringLiteral("Connected"));
    }

    // At level 60 a frame typed into the terminal reaches the transmitter, whose answer the terminal
    // shows, and a hand-made packet gets its answer in the packet console.
    void consolesTalkToTheTransmitter()
    {
        Window w(Window::Started);
        w.unlock(AccessLevel::development());
        auto* terminal = qobject_cast<TerminalWindow*>(w.find<QWidget>("frmTerminal"));
        auto* terminalText = w.find<QPlainTextEdit>("txtTerminal");
        terminal->show();
        terminal->clear();
        w.line->device().clearRequests();

        const QByteArray request = makePacket(DownloadRequest, 0x2000, 0);
        const QByteArray frame = encodeFrame(request);
        QTest::keyClicks(terminalText, QString::fromLatin1(frame.chopped(1)));
        QTest::keyClick(terminalText, Qt::Key_Return);
        w.virtualClock->runFor(100);
        QCOMPARE(w.line->device().requests(), QList<QByteArray>{request});
        const QByteArray shown = terminal->buffer().bytes();
        // Only the device's answer (ConfigID 53) shows, never the typed keys themselves.
        QCOMPARE(shown, encodeFrame(makePacket(DownloadResponse, 0x2000, 0, QByteArray(1, 53))));
        terminal->close(); // closing discards the buffer
        QVERIFY(terminal->buffer().bytes().isEmpty());
        terminal->show();
        terminal->append("text");
        QTest::mouseDClick(terminalText->viewport(), Qt::LeftButton);
        QVERIFY(terminal->buffer().bytes().isEmpty());

        auto* contact = qobject_cast<PacketConsoleWindow*>(w.find<QWidget>("frmContact"));
        contact->show();
        contact->clearLog();
        w.find<QLineEdit>("txtType")->setText(QStringLiteral("10"));
        w.find<QLineEdit>("txtIndex")->setText(QStringLiteral("2101"));
        QTest::mouseClick(w.find<QPushButton>("cmdSend"), Qt::LeftButton);
        QVERIFY(w.virtualClock->runUntil([&] { return !w.window->logic().device().busy(); }, 5000));
        contact->refreshLog();
        auto* logView = w.find<PacketLogView>("txtLog");
        QCOMPARE(logView->rowCount(), 2);
        const QString answer = logView->rowText(0);
        QVERIFY2(answer.contains(QStringLiteral("...Receive\r\n")) && answer.contains(QStringLiteral("(DownloadResponse)\r\n   Index:    2101")),
                 qPrintable(answer));
        QVERIFY(logView->rowText(1).contains(QStringLiteral("   Packet:   1001210000000000")));

        // Bad hex keeps its message and sends nothing. The message opens without blocking the window.
        w.find<QLineEdit>("txtData2")->setText(QStringLiteral("1FF"));
        QTest::mouseClick(w.find<QPushButton>("cmdSend"), Qt::LeftButton);
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        QCOMPARE(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text(),
                 QStringLiteral("Data byte 3 must be a hexadecimal number from 00 to FF."));
        box->close();
        QVERIFY(!w.window->logic().device().busy());

        QTest::mouseClick(w.find<QPushButton>("cmdClear"), Qt::LeftButton);
        QCOMPARE(w.find<QLineEdit>("txtData2")->text(), QStringLiteral("0"));
        QCOMPARE(logView->rowCount(), 0);
        contact->addPacket(request, QStringLiteral("Transmit"), QTime(1, 2, 3));
        contact->refreshLog();
        QTest::mouseDClick(logView->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(logView->rowCount(), 0);
        QCOMPARE(contact->log().entryCount(), 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
