#pragma once

#include "app/version_info.h"

#include <QMainWindow>

namespace tunekit {

// frmMain: the program's window.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

private:
    VersionInfo version_ = MakeVersionInfo();
};

} // namespace tunekit
