#pragma once

#include "base/dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

namespace tunekit::testing {

// Answers dialogs from a script and records every message, so tests can
// assert texts, titles, icons and button sets.
class ScriptedDialogs final : public Dialogs {
public:
    using Message = DialogMessage;

    QList<Message> messages;
    QQueue<MsgAnswer> answers;       // next answers; when empty, the first button is taken
    QQueue<QString> openFileNames;   // next open dialog results; empty = cancelled
    QQueue<QString> saveFileNames;
    QStringList filtersSeen;
    QStringList proposedNames;

    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override
    {
        messages.append({text, buttons, icon, title});
        if (!answers.isEmpty())
            return answers.dequeue();
        switch (buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel: return MsgAnswer::Yes;
        default: return MsgAnswer::Ok;
        }
    }
    QCoro::Task<QString> openFileName(QString filter) override
    {
        filtersSeen.append(filter);
        co_return openFileNames.isEmpty() ? QString() : openFileNames.dequeue();
    }
    QCoro::Task<QString> saveFileName(QString filter, QString proposedName) override
    {
        filtersSeen.append(filter);
        proposedNames.append(proposedName);
        co_return saveFileNames.isEmpty() ? QString() : saveFileNames.dequeue();
    }
};

} // namespace tunekit::testing
