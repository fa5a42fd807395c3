#pragma once

#include "base/dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

namespace tunekit::testing {

using Messages = QList<DialogMessage>;

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

namespace tunekit {

// A message compares whole, so one comparison states its text, buttons, icon and title.
inline bool operator==(const DialogMessage& a, const DialogMessage& b)
{
    return a.text == b.text && a.buttons == b.buttons && a.icon == b.icon && a.title == b.title;
}
// How Qt Test prints a message that differs; it frees the text.
inline char* toString(const DialogMessage& m)
{
    const QString text = QStringLiteral("\"%1\" titled \"%2\", buttons %3, icon %4")
                             .arg(m.text, m.title)
                             .arg(int(m.buttons))
                             .arg(int(m.icon));
    return qstrdup(text.toUtf8().constData());
}

} // namespace tunekit
