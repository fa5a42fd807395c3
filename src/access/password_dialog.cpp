#include "access/password_dialog.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace tunekit {

PasswordDialog::PasswordDialog(AccessState& access, DeviceImage& image, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), access_(access), image_(image), dialogs_(dialogs), Label1(new QLabel(this)),
      txtPwd(new QLineEdit(this)), cmdOk(new QPushButton(this)), cmdAbort(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmPwd"));
    Label1->setObjectName(QStringLiteral("Label1"));
    txtPwd->setObjectName(QStringLiteral("txtPwd"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdAbort->setObjectName(QStringLiteral("cmdAbort"));
    setModal(true);

    // Every change of the box goes through the key handling, so what it shows always matches
    // what was received: no pasting, dragging or context menu.
    txtPwd->installEventFilter(this);
    txtPwd->setContextMenuPolicy(Qt::NoContextMenu);
    txtPwd->setDragEnabled(false);
    txtPwd->setAcceptDrops(false);
    txtPwd->setAttribute(Qt::WA_InputMethodEnabled, false);
    cmdOk->setAutoDefault(false);
    cmdAbort->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, 1, 2);
    grid->addWidget(txtPwd, 1, 0, 1, 2);
    grid->addWidget(cmdOk, 2, 0);
    grid->addWidget(cmdAbort, 2, 1);

    connect(cmdOk, &QPushButton::clicked, this, &PasswordDialog::CmdOkClick);
    connect(cmdAbort, &QPushButton::clicked, this, &QDialog::reject);

    PasswordDialogLoad(access_, box_);
    ShowBox();
    Retranslate();
    txtPwd->setFocus();
}

void PasswordDialog::Retranslate()
{
    setWindowTitle(QCoreApplication::translate("PasswordDialog", "Password"));
    Label1->setText(QCoreApplication::translate("PasswordDialog", "Please enter password to unlock:"));
    cmdOk->setText(QStringLiteral("OK"));
    cmdAbort->setText(QCoreApplication::translate("PasswordDialog", "Cancel"));
}

bool PasswordDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != txtPwd)
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
    case Qt::Key_Backspace: KeyPress(QChar(KeyBackspace)); return true;
    case Qt::Key_Escape: KeyPress(QChar(KeyEsc)); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: KeyPress(QChar(KeyEnter)); return true;
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
        KeyPress(c);
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

void PasswordDialog::KeyPress(QChar key)
{
    box_.caret = txtPwd->cursorPosition();
    switch (TxtPwdKeyPress(access_, box_, key)) {
    case PasswordKeyAction::Swallowed: break;
    case PasswordKeyAction::Changed: ShowBox(); break;
    case PasswordKeyAction::Ok: CmdOkClick(); break;
    }
}

void PasswordDialog::CmdOkClick()
{
    const UnlockOutcome outcome = tunekit::CmdOkClick(access_, image_, dialogs_);
    if (outcome == UnlockOutcome::Granted)
        emit WriteSettingsFile();
    accept();
}

void PasswordDialog::ShowBox()
{
    txtPwd->setText(box_.text);
    txtPwd->setCursorPosition(box_.caret);
}

} // namespace tunekit
