#pragma once

#include "base/dialogs.h"

class QWidget;

namespace tunekit {

// Dialogs shown as real message boxes and file dialogs, parented to the main window.
class WidgetDialogs final : public Dialogs {
public:
    explicit WidgetDialogs(QWidget* parent) : parent_(parent) {}

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString OpenFileName(const QString& filter) override;
    QString SaveFileName(const QString& filter, const QString& proposedName) override;

private:
    QWidget* parent_;
};

// "TunekitData (*.scd)|*.scd" -> "TunekitData (*.scd)", the form Qt's dialogs take.
QString QtFileFilter(const QString& filter);

} // namespace tunekit
