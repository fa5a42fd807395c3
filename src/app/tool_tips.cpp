#include "app/tool_tips.h"

#include <QCoreApplication>
#include <QWidget>

namespace tunekit {

namespace {

struct ToolTip {
    const char* objectName;
    const char* text;
};

constexpr ToolTip ToolTips[] = {
    {"cmdConvertChecksum", QT_TRANSLATE_NOOP("MainWindow", "Adds the new v2 Checksum to an existing Config-File.")},
    {"CmdCopyToConfig", QT_TRANSLATE_NOOP("MainWindow", "Generates a *.scd Config File out of device data.")},
    {"chkResetBeforeTransmit", QT_TRANSLATE_NOOP("MainWindow", "Resets device before sending data. Activate if you "
                                                               "encounter problems in SYSTEMMODE OFF.")},
};

} // namespace

void setMainWindowToolTips(QWidget& window)
{
    for (const ToolTip& tip : ToolTips) {
        if (auto* widget = window.findChild<QWidget*>(QLatin1StringView(tip.objectName)))
            widget->setToolTip(QCoreApplication::translate("MainWindow", tip.text));
    }
}

} // namespace tunekit
