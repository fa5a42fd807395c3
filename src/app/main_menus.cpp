// The menus: Interface (the COM ports and Detect), Authorization, Language and About, and the
// wait window of Detect.
#include "app/main_window.h"

#include "app/window_parts.h"

#include "access/password_dialog.h"

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
    QMenu* settings = menuBar()->addMenu(QString());
    mnuSettings = settings->menuAction();
    mnuSettings->setObjectName(QStringLiteral("mnuSettings"));
    for (int i = 0; i < 5; ++i) {
        mnuCOM_[static_cast<std::size_t>(i)] = settings->addAction(QStringLiteral("COM%1").arg(i + 1));
        mnuCOM_[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("mnuCOM%1").arg(i + 1));
        mnuCOM_[static_cast<std::size_t>(i)]->setCheckable(true);
    }
    mnuSeperator3 = settings->addSeparator();
    mnuSeperator3->setObjectName(QStringLiteral("mnuSeperator3"));
    mnuSeperator3->setVisible(false);
    mnuCOMother = settings->addAction(QString());
    mnuCOMother->setObjectName(QStringLiteral("mnuCOMother"));
    mnuCOMother->setCheckable(true);
    mnuCOMother->setVisible(false);
    settings->addSeparator();
    mnuCOMredetect = settings->addAction(QString());
    mnuCOMredetect->setObjectName(QStringLiteral("mnuCOMredetect"));
    // The COM entries only show the ports; Detect chooses again. Qt flips a checkable entry when
    // it is clicked, so a click puts the ticks back on the port in use.
    for (QAction* com : mnuCOM_) {
        com->setEnabled(false);
        connect(com, &QAction::triggered, this, &MainWindow::showPortInUse);
    }
    connect(mnuCOMother, &QAction::triggered, this, &MainWindow::showPortInUse);
    connect(mnuCOMredetect, &QAction::triggered, this, [this] { session_->redetectPort(); });

    QMenu* rights = menuBar()->addMenu(QString());
    mnuRights = rights->menuAction();
    mnuRights->setObjectName(QStringLiteral("mnuRights"));
    for (const AccessLevel accessLevel : AccessLevel::all()) {
        QAction* level = rights->addAction(QString());
        level->setObjectName(QStringLiteral("mnuLevel%1").arg(accessLevel.number()));
        level->setCheckable(true);
        mnuLevel_[accessLevel.index()] = level;
    }

    QMenu* languages = menuBar()->addMenu(QString());
    mnuLanguage = languages->menuAction();
    mnuLanguage->setObjectName(QStringLiteral("mnuLanguage"));
    mnuGerman = languages->addAction(QString());
    mnuGerman->setObjectName(QStringLiteral("mnuGerman"));
    mnuGerman->setCheckable(true);
    mnuEnglish = languages->addAction(QString());
    mnuEnglish->setObjectName(QStringLiteral("mnuEnglish"));
    mnuEnglish->setCheckable(true);
    connect(mnuGerman, &QAction::triggered, this, [this] { session_->chooseLanguage(QStringLiteral("DE")); });
    connect(mnuEnglish, &QAction::triggered, this, [this] { session_->chooseLanguage(QStringLiteral("EN")); });

    for (std::size_t i = 0; i < mnuLevel_.size(); ++i) {
        const AccessLevel level = AccessLevel::all()[i];
        connect(mnuLevel_[i], &QAction::triggered, this, [this, level] { levelCommand(level); });
    }

    mnuHelp = menuBar()->addAction(QString());
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    connect(mnuHelp, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::retranslateMenus()
{
    mnuSettings->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Interface")));
    mnuRights->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Authorization")));
    mnuLanguage->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Language")));
    mnuHelp->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "About")));
    mnuGerman->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "German")));
    mnuEnglish->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "English")));
    mnuCOMredetect->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Detect")));
    for (std::size_t i = 0; i < mnuLevel_.size(); ++i)
        mnuLevel_[i]->setText(translated(LevelCaptions[i]));
    aux_->frmRedetect.setWindowTitle(translated(QT_TRANSLATE_NOOP("MainWindow", "Redetecting ...")));
    aux_->frmRedetect.findChild<QLabel*>(QStringLiteral("lblRedetect"))
        ->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Please wait while redetecting COM-Ports ...")));
}

void MainWindow::levelCommand(AccessLevel level)
{
    session_->levelMenuCommand(level, [this] {
        PasswordDialog dialog(session_->access(), session_->image(), dialogs_, this);
        connect(&dialog, &PasswordDialog::writeSettingsFile, this, [this] { session_->writeSettingsFile(); });
        dialog.retranslate();
        dialog.exec();
    });
}

void MainWindow::applyLevelChecks(const std::array<bool, 6>& checks)
{
    for (std::size_t i = 0; i < checks.size(); ++i)
        mnuLevel_[i]->setChecked(checks[i]);
}

void MainWindow::buildRedetectWindow()
{
    QWidget& window = aux_->frmRedetect;
    auto* layout = new QVBoxLayout(&window);
    auto* label = named<QLabel>(&window, "lblRedetect");
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    window.setWindowModality(Qt::ApplicationModal);
}

void MainWindow::showRedetectWindow(bool shown)
{
    QWidget& window = aux_->frmRedetect;
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
    for (std::size_t i = 0; i < mnuCOM_.size(); ++i) {
        mnuCOM_[i]->setText(menu.captions[i]);
        mnuCOM_[i]->setEnabled(menu.enabled[i]);
    }
    mnuCOMother->setText(menu.otherCaption);
    mnuCOMother->setVisible(menu.otherVisible);
    mnuCOMother->setEnabled(menu.otherEnabled);
    mnuSeperator3->setVisible(menu.otherVisible);
    showPortInUse();
    findChild<QLabel*>(QStringLiteral("lblComPort"))->setText(discovery.adapterPortCaption);
    findChild<QLabel*>(QStringLiteral("lblWinVer"))->setText(session_->os().versionCaption);
    findChild<QLabel*>(QStringLiteral("lblSprache"))->setText(session_->installLanguage());
}

void MainWindow::showPortInUse()
{
    const int checked = session_->discovery().menu.checked;
    for (std::size_t i = 0; i < mnuCOM_.size(); ++i)
        mnuCOM_[i]->setChecked(checked == static_cast<int>(i) + 1);
    mnuCOMother->setChecked(checked == 6);
}

void MainWindow::languageChanged()
{
    const bool german = session_->german();
    mnuGerman->setChecked(german);
    mnuEnglish->setChecked(!german);
    retranslateUi();
}

} // namespace tunekit
