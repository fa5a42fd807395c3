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

void MainWindow::BuildMenus()
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
        connect(com, &QAction::triggered, this, &MainWindow::ShowPortInUse);
    }
    connect(mnuCOMother, &QAction::triggered, this, &MainWindow::ShowPortInUse);
    connect(mnuCOMredetect, &QAction::triggered, this, [this] { session_->RedetectPort(); });

    QMenu* rights = menuBar()->addMenu(QString());
    mnuRights = rights->menuAction();
    mnuRights->setObjectName(QStringLiteral("mnuRights"));
    for (const AccessLevel accessLevel : AccessLevel::All()) {
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
    connect(mnuGerman, &QAction::triggered, this, [this] { session_->ChooseLanguage(QStringLiteral("DE")); });
    connect(mnuEnglish, &QAction::triggered, this, [this] { session_->ChooseLanguage(QStringLiteral("EN")); });

    for (std::size_t i = 0; i < mnuLevel_.size(); ++i) {
        const AccessLevel level = AccessLevel::All()[i];
        connect(mnuLevel_[i], &QAction::triggered, this, [this, level] { LevelCommand(level); });
    }

    mnuHelp = menuBar()->addAction(QString());
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    connect(mnuHelp, &QAction::triggered, this, &MainWindow::ShowAbout);
}

void MainWindow::RetranslateMenus()
{
    mnuSettings->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Interface")));
    mnuRights->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Authorization")));
    mnuLanguage->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Language")));
    mnuHelp->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "About")));
    mnuGerman->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "German")));
    mnuEnglish->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "English")));
    mnuCOMredetect->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Detect")));
    for (std::size_t i = 0; i < mnuLevel_.size(); ++i)
        mnuLevel_[i]->setText(Tr(LevelCaptions[i]));
    aux_->frmRedetect.setWindowTitle(Tr(QT_TRANSLATE_NOOP("MainWindow", "Redetecting ...")));
    aux_->frmRedetect.findChild<QLabel*>(QStringLiteral("lblRedetect"))
        ->setText(Tr(QT_TRANSLATE_NOOP("MainWindow", "Please wait while redetecting COM-Ports ...")));
}

void MainWindow::LevelCommand(AccessLevel level)
{
    session_->LevelMenuCommand(level, [this] {
        PasswordDialog dialog(session_->Access(), session_->Image(), dialogs_, this);
        connect(&dialog, &PasswordDialog::WriteSettingsFile, this, [this] { session_->WriteSettingsFile(); });
        dialog.Retranslate();
        dialog.exec();
    });
}

void MainWindow::ApplyLevelChecks(const std::array<bool, 6>& checks)
{
    for (std::size_t i = 0; i < checks.size(); ++i)
        mnuLevel_[i]->setChecked(checks[i]);
}

void MainWindow::BuildRedetectWindow()
{
    QWidget& window = aux_->frmRedetect;
    auto* layout = new QVBoxLayout(&window);
    auto* label = Named<QLabel>(&window, "lblRedetect");
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    window.setWindowModality(Qt::ApplicationModal);
}

void MainWindow::ShowRedetectWindow(bool shown)
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

void MainWindow::ConnectionChanged()
{
    setWindowTitle(session_->WindowTitle());
    const DiscoveryState& discovery = session_->Discovery();
    const ComMenu& menu = discovery.menu;
    for (std::size_t i = 0; i < mnuCOM_.size(); ++i) {
        mnuCOM_[i]->setText(menu.captions[i]);
        mnuCOM_[i]->setEnabled(menu.enabled[i]);
    }
    mnuCOMother->setText(menu.otherCaption);
    mnuCOMother->setVisible(menu.otherVisible);
    mnuCOMother->setEnabled(menu.otherEnabled);
    mnuSeperator3->setVisible(menu.otherVisible);
    ShowPortInUse();
    findChild<QLabel*>(QStringLiteral("lblComPort"))->setText(discovery.adapterPortCaption);
    findChild<QLabel*>(QStringLiteral("lblWinVer"))->setText(session_->Os().versionCaption);
    findChild<QLabel*>(QStringLiteral("lblSprache"))->setText(session_->InstallLanguage());
}

void MainWindow::ShowPortInUse()
{
    const int checked = session_->Discovery().menu.checked;
    for (std::size_t i = 0; i < mnuCOM_.size(); ++i)
        mnuCOM_[i]->setChecked(checked == static_cast<int>(i) + 1);
    mnuCOMother->setChecked(checked == 6);
}

void MainWindow::LanguageChanged()
{
    const bool german = session_->German();
    mnuGerman->setChecked(german);
    mnuEnglish->setChecked(!german);
    RetranslateUi();
}

} // namespace tunekit
