#pragma once

#include <QString>

namespace tunekit {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// Everything the logic asks of the user goes through here, so that the
// logic runs without a screen and tests can script the answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title) = 0;
    // Filters are given as "Description (*.ext)|*.ext". An empty result means cancelled.
    virtual QString OpenFileName(const QString& filter) = 0;
    virtual QString SaveFileName(const QString& filter, const QString& proposedName) = 0;
};

} // namespace tunekit
