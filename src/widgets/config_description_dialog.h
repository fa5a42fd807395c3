#pragma once

#include "files/config_file_writer.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tunekit {

// Asks for up to five description lines for a new configuration file. OK accepts (and so hides)
// the dialog; the caller then writes the file with descriptions(). The texts stay for the next
// opening as long as the dialog lives.
class ConfigDescriptionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ConfigDescriptionDialog(QWidget* parent = nullptr);

    // The five lines in order, empty ones included.
    QStringList descriptions() const;
    void retranslate();

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* prompt_;
    std::array<QLineEdit*, DescriptionLineCount> lineFields_{};
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

} // namespace tunekit
