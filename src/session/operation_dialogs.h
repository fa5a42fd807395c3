#pragma once

#include "base/dialogs.h"
#include "link/waits.h"

namespace tunekit {

// Hands a front end's questions on for one station's operations, so that a cancel of the
// operation ends its wait for an answer; the question then runs on by itself, and its answer
// goes nowhere. Messages pass straight through.
class OperationDialogs final : public Dialogs {
public:
    OperationDialogs(Dialogs& dialogs, CancelScope& scope) : dialogs_(dialogs), scope_(scope) {}
    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override
    {
        return dialogs_.msgBox(text, buttons, icon, title);
    }
    QCoro::Task<MsgAnswer> ask(Question question, QString text, MsgButtons buttons, MsgIcon icon,
                               QString title) override;
    QCoro::Task<QString> openFileName(QString filter) override;
    QCoro::Task<QString> saveFileName(QString filter, QString proposedName) override;
    bool questionRefused() const override { return dialogs_.questionRefused(); }

private:
    Dialogs& dialogs_;
    CancelScope& scope_;
};

} // namespace tunekit
