#pragma once

#include "access/access_levels.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tunekit {

class Dialogs;

// The unlock dialog: asks for the password of the level the level menu armed. The typed
// characters go to the access state; the box only ever shows asterisks. Built afresh for every
// opening.
class PasswordDialog final : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(AccessState& access, Dialogs& dialogs, QWidget* parent = nullptr);
    void retranslate();

signals:
    // A level was granted: the settings file keeps what was typed.
    void writeSettingsFile();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void keyPress(QChar key);
    void confirm();
    void showBox();

    AccessState& access_;
    Dialogs& dialogs_;
    PasswordBox box_;
    QLabel* prompt_;
    QLineEdit* passwordBox_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

} // namespace tunekit
