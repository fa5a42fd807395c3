#include "app/widget_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include <coroutine>

namespace tunekit {

QString qtFileFilter(const QString& filter)
{
    // Pairs of description|pattern; Qt wants the descriptions joined by ";;".
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        descriptions.append(parts.at(i));
    return descriptions.join(QStringLiteral(";;"));
}

namespace {

// A window-modal box that deletes itself once answered.
QMessageBox* openBox(QWidget* parent, const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(title);
    box->setText(text);
    switch (icon) {
    case MsgIcon::None: box->setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box->setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box->setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box->setIcon(QMessageBox::Information); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box->setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box->setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    box->open();
    return box;
}

// Awaits the result a window-modal dialog was closed with: a box's button, or whether a file
// dialog was accepted.
struct DialogResult {
    QDialog* dialog;
    int result = 0;

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        QObject::connect(dialog, &QDialog::finished, dialog, [this, waiting](int answer) {
            result = answer;
            waiting.resume();
        }, Qt::SingleShotConnection);
    }
    int await_resume() const noexcept { return result; }
};

} // namespace

MsgAnswer WidgetDialogs::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    openBox(parent_, text, buttons, icon, title);
    return MsgAnswer::Ok;
}

QCoro::Task<MsgAnswer> WidgetDialogs::ask(Question /*question*/, QString text, MsgButtons buttons, MsgIcon icon,
                                          QString title)
{
    QMessageBox* box = openBox(parent_, text, buttons, icon, title);
    const int result = co_await DialogResult{box};
    switch (result) {
    case QMessageBox::Yes: co_return MsgAnswer::Yes;
    case QMessageBox::No: co_return MsgAnswer::No;
    case QMessageBox::Cancel: co_return MsgAnswer::Cancel;
    case QMessageBox::Ok: co_return MsgAnswer::Ok;
    default:
        // Closing the box with Esc or the window button counts as its escape answer.
        co_return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
}

QCoro::Task<int> closedWith(QDialog* dialog)
{
    dialog->open();
    co_return co_await DialogResult{dialog};
}

namespace {

// Opens a window-modal file dialog and awaits the file chosen; "" when cancelled.
QCoro::Task<QString> chosenFile(QFileDialog* dialog)
{
    const int result = co_await closedWith(dialog);
    const QStringList files = dialog->selectedFiles();
    dialog->deleteLater();
    co_return result == QDialog::Accepted && !files.isEmpty() ? files.first() : QString();
}

} // namespace

QCoro::Task<QString> WidgetDialogs::openFileName(QString filter)
{
    auto* dialog = new QFileDialog(parent_);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(qtFileFilter(filter));
    co_return co_await chosenFile(dialog);
}

QCoro::Task<QString> WidgetDialogs::saveFileName(QString filter, QString proposedName)
{
    auto* dialog = new QFileDialog(parent_);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilter(qtFileFilter(filter));
    // "Backup_983..." becomes "Backup_983....scd", and the dialog asks before replacing it.
    const QString pattern = filter.section(QLatin1Char('|'), 1, 1);
    if (pattern.startsWith(QLatin1StringView("*.")))
        dialog->setDefaultSuffix(pattern.mid(2));
    dialog->selectFile(proposedName);
    co_return co_await chosenFile(dialog);
}

} // namespace tunekit
