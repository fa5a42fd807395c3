#pragma once

#include "base/dialogs.h"

class QDialog;
class QWidget;

namespace tunekit {

// Dialogs shown as real message boxes and file dialogs, parented to the main window. Message
// boxes never block: a message is opened and the logic goes on; a question is opened and its
// answer awaited, while the window and every transfer stay live.
class WidgetDialogs final : public Dialogs {
public:
    explicit WidgetDialogs(QWidget* parent) : parent_(parent) {}

    // Opens the message; its answer is Ok. A box with other buttons is asked through Ask.
    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QCoro::Task<MsgAnswer> ask(Question question, QString text, MsgButtons buttons, MsgIcon icon,
                               QString title) override;
    QCoro::Task<QString> openFileName(QString filter) override;
    QCoro::Task<QString> saveFileName(QString filter, QString proposedName) override;

private:
    QWidget* parent_;
};

// Opens a dialog of the window's own window-modal and awaits the result it was closed with.
QCoro::Task<int> closedWith(QDialog* dialog);

// "TunekitData (*.scd)|*.scd" -> "TunekitData (*.scd)", the form Qt's dialogs take.
QString qtFileFilter(const QString& filter);

} // namespace tunekit
