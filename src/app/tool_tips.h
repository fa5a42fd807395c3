#pragma once

class QWidget;

namespace tunekit {

// The main window's tooltips in the interface language; run again after a language switch.
void setMainWindowToolTips(QWidget& window);

} // namespace tunekit
