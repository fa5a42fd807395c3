#pragma once

// What the main window's files share: the windows it owns, and the small helpers that build its
// controls. Only the main window's own files include this.

#include "widgets/console_windows.h"
#include "widgets/transfer_window.h"

#include <QCoreApplication>
#include <QString>
#include <QWidget>

namespace tunekit {

// The windows the main window creates on its behalf.
class AuxWindows {
public:
    explicit AuxWindows(QWidget* owner) : transferWindow(owner), terminalWindow(owner), packetConsole(owner)
    {
        redetectWindow.setParent(owner, Qt::Dialog);
        redetectWindow.setObjectName(QStringLiteral("frmRedetect"));
    }
    TransferWindow transferWindow;
    TerminalWindow terminalWindow;
    PacketConsoleWindow packetConsole;
    QWidget redetectWindow;
};

// A control of the main window with the system's name as its objectName.
template <typename W>
W* named(QWidget* parent, const char* name)
{
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1StringView(name));
    return widget;
}

// What lblInterpreterImage says of the image's extended data.
QString interpreterCaption(const class DeviceImage& image);

// Texts marked with QT_TRANSLATE_NOOP("MainWindow", ...) in the language in force.
inline QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace tunekit
