#pragma once

#include "files/config_file_writer.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tunekit {

// frmCfgFileInfo: up to five description lines for a new configuration file. cmdWriteConfigFile
// accepts (and so hides) the dialog; the caller then writes the file with Descriptions().
// The texts stay for the next opening as long as the dialog lives.
class CfgFileInfoDialog final : public QDialog {
    Q_OBJECT
public:
    explicit CfgFileInfoDialog(QWidget* parent = nullptr);

    // txtFD1..txtFD5 in order, empty ones included.
    QStringList Descriptions() const;
    void Retranslate();

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* Label1;
    std::array<QLineEdit*, DescriptionLineCount> txtFD{};
    QPushButton* cmdWriteConfigFile;
    QPushButton* cmdCancel;
};

} // namespace tunekit
