#include "app/main_window.h"

namespace tunekit {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(version_.WindowTitle());
    resize(651, 584);
}

} // namespace tunekit
