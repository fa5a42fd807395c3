#pragma once

#include <QCoroTask>
#include <QList>
#include <QString>

namespace tunekit {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// The questions a front end without a user answers from its own settings.
enum class Question {
    UninitialisedValues, // put defaults in place of values that look erased?
    Calibration,         // overwrite the adjusted calibration values?
    ConfigIdMismatch,    // write data of another ConfigID?
    ExtendedData,        // write the extended data too (Yes), parameters only (No), or stop?
    ConvertFile,         // give this file its checksum (Ok)?
    OutOfRange,          // write values outside the range their description states?
    RestoreBackup,       // write this backup back to the unit?
};

// Everything the logic tells or asks the user goes through here, so that the logic runs without
// a screen and tests can script the answers. A message is shown and the logic goes on; a question
// is awaited, so a station waiting for its answer holds up nothing else.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title) = 0;
    // A question that the user answers in a message box.
    virtual QCoro::Task<MsgAnswer> ask(Question /*question*/, QString text, MsgButtons buttons, MsgIcon icon,
                                       QString title)
    {
        co_return msgBox(text, buttons, icon, title);
    }
    // The file the user chooses, awaited like a question. Filters are given as
    // "Description (*.ext)|*.ext". An empty result means cancelled, which is also the answer of
    // a front end that chooses no files.
    virtual QCoro::Task<QString> openFileName(QString /*filter*/) { co_return QString(); }
    virtual QCoro::Task<QString> saveFileName(QString /*filter*/, QString /*proposedName*/) { co_return QString(); }
    // A question found nobody to answer it and got its safe answer: the operation it belongs to
    // stops before it changes anything, since the answer was nobody's decision.
    virtual bool questionRefused() const { return false; }
};

// One message as the logic asked for it to be shown.
struct DialogMessage {
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
};

// Keeps what the logic would have told the user instead of showing it: for a look at a file or
// the image whose messages matter only when the look fails. Questions get the safe answer.
class KeptMessages final : public Dialogs {
public:
    using Message = DialogMessage;
    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override
    {
        messages.append({text, buttons, icon, title});
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
    QList<Message> messages;
};

} // namespace tunekit
