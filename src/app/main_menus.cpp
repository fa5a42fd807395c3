// The menus: Interface (the COM ports and Detect), Authorization, Language and About, and the
// wait window of Detect.
#include "app/main_window.h"

#include "app/window_parts.h"

#include "widgets/password_dialog.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

namespace tunekit {
namespace {

constexpr const char* LevelCaptions[] = {
    QT_TRANSLATE_NOOP("MainWindow", "Level 1"),    QT_TRANSLATE_NOOP("MainWindow", "Level 2"),
    QT_TRANSLATE_NOOP("MainWindow", "Level 3"),    QT_TRANSLATE_NOOP("MainWindow", "Service"),
    QT_TRANSLATE_NOOP("MainWindow", "Production"), QT_TRANSLATE_NOOP("MainWindow", "Development"),
};

} // namespace

void MainWindow::buildMenus()
{
    // An entry of a menu; its caption comes with the language.
    const auto entry = [](QMenu* menu, const QString& objectName, bool checkable) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(objectName);
        action->setCheckable(checkable);
        return action;
    };
    QMenu* settings = menuBar()->addMenu(QString());
    settingsMenu_ = settings->menuAction();
    settingsMenu_->setObjectName(QStringLiteral("mnuSettings"));
    for (std::size_t i = 0; i < portActions_.size(); ++i) {
        portActions_[i] = entry(settings, QStringLiteral("mnuCOM%1").arg(i + 1), true);
        portActions_[i]->setText(QStringLiteral("COM%1").arg(i + 1));
    }
    portSeparator_ = settings->addSeparator();
    portSeparator_->setObjectName(QStringLiteral("mnuSeperator3"));
    portSeparator_->setVisible(false);
    otherPortAction_ = entry(settings, QStringLiteral("mnuCOMother"), true);
    otherPortAction_->setVisible(false);
    settings->addSeparator();
    redetectAction_ = entry(settings, QStringLiteral("mnuCOMredetect"), false);
    // The COM entries only show the ports; Detect chooses again. Qt flips a checkable entry when
    // it is clicked, so a click puts the ticks back on the port in use.
    for (QAction* com : portActions_) {
        com->setEnabled(false);
        connect(com, &QAction::triggered, this, &MainWindow::showPortInUse);
    }
    connect(otherPortAction_, &QAction::triggered, this, &MainWindow::showPortInUse);
    connect(redetectAction_, &QAction::triggered, this, [this] { run(session_->redetectPort()); });

    QMenu* rights = menuBar()->addMenu(QString());
    rightsMenu_ = rights->menuAction();
    rightsMenu_->setObjectName(QStringLiteral("mnuRights"));
    for (const AccessLevel level : AccessLevel::all()) {
        levelActions_[level.index()] = entry(rights, QStringLiteral("mnuLevel%1").arg(level.number()), true);
        connect(levelActions_[level.index()], &QAction::triggered, this, [this, level] { levelCommand(level); });
    }

    QMenu* languages = menuBar()->addMenu(QString());
    languageMenu_ = languages->menuAction();
    languageMenu_->setObjectName(QStringLiteral("mnuLanguage"));
    germanAction_ = entry(languages, QStringLiteral("mnuGerman"), true);
    englishAction_ = entry(languages, QStringLiteral("mnuEnglish"), true);
    connect(germanAction_, &QAction::triggered, this, [this] { session_->chooseLanguage(QStringLiteral("DE")); });
    connect(englishAction_, &QAction::triggered, this, [this] { session_->chooseLanguage(QStringLiteral("EN")); });

    helpMenu_ = menuBar()->addAction(QString());
    helpMenu_->setObjectName(QStringLiteral("mnuHelp"));
    connect(helpMenu_, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::retranslateMenus()
{
    settingsMenu_->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Interface")));
    rightsMenu_->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Authorization")));
    languageMenu_->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Language")));
    helpMenu_->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "About")));
    germanAction_->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "German")));
    englishAction_->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "English")));
    redetectAction_->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Detect")));
    for (std::size_t i = 0; i < levelActions_.size(); ++i)
        levelActions_[i]->setText(translated(LevelCaptions[i]));
    aux_->redetectWindow.setWindowTitle(translated(QT_TRANSLATE_NOOP("MainWindow", "Redetecting ...")));
    aux_->redetectWindow.findChild<QLabel*>(QStringLiteral("lblRedetect"))
        ->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Please wait while redetecting COM-Ports ...")));
}

void MainWindow::levelCommand(AccessLevel level)
{
    run(session_->levelMenuCommand(level, [this] { return askPassword(); }));
}

QCoro::Task<> MainWindow::askPassword()
{
    auto* dialog = new PasswordDialog(session_->access(), dialogs_, this);
    connect(dialog, &PasswordDialog::writeSettingsFile, this, [this] { session_->writeSettingsFile(); });
    dialog->retranslate();
    co_await closedWith(dialog);
    dialog->deleteLater();
}

void MainWindow::applyLevelChecks(const PerLevel& checks)
{
    for (std::size_t i = 0; i < checks.size(); ++i)
        levelActions_[i]->setChecked(checks[i]);
}

void MainWindow::buildRedetectWindow()
{
    QWidget& window = aux_->redetectWindow;
    auto* layout = new QVBoxLayout(&window);
    auto* label = named<QLabel>(&window, "lblRedetect");
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    window.setWindowModality(Qt::ApplicationModal);
}

void MainWindow::showRedetectWindow(bool shown)
{
    QWidget& window = aux_->redetectWindow;
    if (!shown) {
        window.hide();
        return;
    }
    window.adjustSize();
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        window.move(area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2);
    }
    window.show();
}

void MainWindow::connectionChanged()
{
    setWindowTitle(session_->windowTitle());
    const DiscoveryState& discovery = session_->discovery();
    const ComMenu& menu = discovery.menu;
    for (std::size_t i = 0; i < portActions_.size(); ++i) {
        portActions_[i]->setText(menu.captions[i]);
        portActions_[i]->setEnabled(menu.enabled[i]);
    }
    otherPortAction_->setText(menu.otherCaption);
    otherPortAction_->setVisible(menu.otherVisible);
    otherPortAction_->setEnabled(menu.otherEnabled);
    portSeparator_->setVisible(menu.otherVisible);
    showPortInUse();
    findChild<QLabel*>(QStringLiteral("lblComPort"))->setText(discovery.adapterPortCaption);
    findChild<QLabel*>(QStringLiteral("lblWinVer"))->setText(session_->os().versionCaption);
    findChild<QLabel*>(QStringLiteral("lblSprache"))->setText(session_->installLanguage());
}

void MainWindow::showPortInUse()
{
    const int checked = session_->discovery().menu.checked;
    for (std::size_t i = 0; i < portActions_.size(); ++i)
        portActions_[i]->setChecked(checked == static_cast<int>(i) + 1);
    otherPortAction_->setChecked(checked == 6);
}

void MainWindow::languageChanged()
{
    const bool german = session_->german();
    germanAction_->setChecked(german);
    englishAction_->setChecked(!german);
    retranslateUi();
}

} // namespace tunekit
