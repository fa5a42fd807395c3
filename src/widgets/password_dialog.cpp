#include "widgets/password_dialog.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace tunekit {

PasswordDialog::PasswordDialog(AccessState& access, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), access_(access), dialogs_(dialogs), prompt_(new QLabel(this)),
      passwordBox_(new QLineEdit(this)), okButton_(new QPushButton(this)), cancelButton_(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmPwd"));
    prompt_->setObjectName(QStringLiteral("Label1"));
    passwordBox_->setObjectName(QStringLiteral("txtPwd"));
    okButton_->setObjectName(QStringLiteral("cmdOk"));
    cancelButton_->setObjectName(QStringLiteral("cmdAbort"));
    setModal(true);

    // Every change of the box goes through the key handling, so what it shows always matches
    // what was received: no pasting, dragging or context menu.
    passwordBox_->installEventFilter(this);
    passwordBox_->setContextMenuPolicy(Qt::NoContextMenu);
    passwordBox_->setDragEnabled(false);
    passwordBox_->setAcceptDrops(false);
    passwordBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
    okButton_->setAutoDefault(false);
    cancelButton_->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(prompt_, 0, 0, 1, 2);
    grid->addWidget(passwordBox_, 1, 0, 1, 2);
    grid->addWidget(okButton_, 2, 0);
    grid->addWidget(cancelButton_, 2, 1);

    connect(okButton_, &QPushButton::clicked, this, &PasswordDialog::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    startPasswordEntry(access_, box_);
    showBox();
    retranslate();
    passwordBox_->setFocus();
}

void PasswordDialog::retranslate()
{
    setWindowTitle(QCoreApplication::translate("PasswordDialog", "Password"));
    prompt_->setText(QCoreApplication::translate("PasswordDialog", "Please enter password to unlock:"));
    okButton_->setText(QStringLiteral("OK"));
    cancelButton_->setText(QCoreApplication::translate("PasswordDialog", "Cancel"));
}

bool PasswordDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != passwordBox_)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Keep the dialog's Esc and Enter for the box; they have their own meaning here.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            event->accept();
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        // The X11 selection paste on the middle button would bypass the key handling.
        return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Backspace: keyPress(QChar(KeyBackspace)); return true;
    case Qt::Key_Escape:
        // Esc empties the box; on an empty box it closes the dialog, as Esc does elsewhere.
        if (passwordBox_->text().isEmpty())
            reject();
        else
            keyPress(QChar(KeyEsc));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: keyPress(QChar(KeyEnter)); return true;
    // Moving the caret and the focus is the box's own business.
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return false;
    default: break;
    }
    // Everything else (Delete, cut and paste shortcuts included) reaches the box only as the
    // characters it types.
    for (const QChar c : key->text())
        keyPress(c);
    return true;
}

void PasswordDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* s = screen()) {
        const QRect area = s->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

void PasswordDialog::keyPress(QChar key)
{
    box_.caret = passwordBox_->cursorPosition();
    switch (passwordKeyPress(access_, box_, key)) {
    case PasswordKeyAction::Swallowed: break;
    case PasswordKeyAction::Changed: showBox(); break;
    case PasswordKeyAction::Ok: confirm(); break;
    }
}

void PasswordDialog::confirm()
{
    const UnlockOutcome outcome = confirmPassword(access_, dialogs_);
    if (outcome == UnlockOutcome::Granted)
        emit writeSettingsFile();
    accept();
}

void PasswordDialog::showBox()
{
    passwordBox_->setText(box_.text);
    passwordBox_->setCursorPosition(box_.caret);
}

} // namespace tunekit
