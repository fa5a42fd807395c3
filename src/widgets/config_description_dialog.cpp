#include "widgets/config_description_dialog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunekit {

ConfigDescriptionDialog::ConfigDescriptionDialog(QWidget* parent)
    : QDialog(parent), prompt_(new QLabel(this)), okButton_(new QPushButton(this)), cancelButton_(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmCfgFileInfo"));
    setModal(true);
    prompt_->setObjectName(QStringLiteral("Label1"));
    okButton_->setObjectName(QStringLiteral("cmdWriteConfigFile"));
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(prompt_);
    for (std::size_t i = 0; i < lineFields_.size(); ++i) {
        lineFields_[i] = new QLineEdit(this);
        lineFields_[i]->setObjectName(QStringLiteral("txtFD%1").arg(i + 1));
        column->addWidget(lineFields_[i]);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    column->addLayout(buttons);

    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    retranslate();
    lineFields_[0]->setFocus();
}

QStringList ConfigDescriptionDialog::descriptions() const
{
    QStringList texts;
    for (const QLineEdit* field : lineFields_)
        texts.append(field->text());
    return texts;
}

void ConfigDescriptionDialog::retranslate()
{
    setWindowTitle(QCoreApplication::translate("CfgFileInfoDialog", "Generate new ConfigFile"));
    prompt_->setText(QCoreApplication::translate("CfgFileInfoDialog", "Type in file description (optional):"));
    okButton_->setText(QStringLiteral("OK"));
    cancelButton_->setText(QCoreApplication::translate("CfgFileInfoDialog", "Cancel"));
}

void ConfigDescriptionDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

} // namespace tunekit
