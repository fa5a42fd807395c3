#include "files/cfg_file_info_dialog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunekit {

CfgFileInfoDialog::CfgFileInfoDialog(QWidget* parent)
    : QDialog(parent), Label1(new QLabel(this)), cmdWriteConfigFile(new QPushButton(this)),
      cmdCancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmCfgFileInfo"));
    setModal(true);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmdWriteConfigFile->setObjectName(QStringLiteral("cmdWriteConfigFile"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(Label1);
    for (std::size_t i = 0; i < txtFD.size(); ++i) {
        txtFD[i] = new QLineEdit(this);
        txtFD[i]->setObjectName(QStringLiteral("txtFD%1").arg(i + 1));
        column->addWidget(txtFD[i]);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdWriteConfigFile);
    buttons->addWidget(cmdCancel);
    column->addLayout(buttons);

    cmdWriteConfigFile->setDefault(true);
    connect(cmdWriteConfigFile, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    Retranslate();
    txtFD[0]->setFocus();
}

QStringList CfgFileInfoDialog::Descriptions() const
{
    QStringList texts;
    for (const QLineEdit* box : txtFD)
        texts.append(box->text());
    return texts;
}

void CfgFileInfoDialog::Retranslate()
{
    setWindowTitle(QCoreApplication::translate("CfgFileInfoDialog", "Generate new ConfigFile"));
    Label1->setText(QCoreApplication::translate("CfgFileInfoDialog", "Type in file description (optional):"));
    cmdWriteConfigFile->setText(QStringLiteral("OK"));
    cmdCancel->setText(QCoreApplication::translate("CfgFileInfoDialog", "Cancel"));
}

void CfgFileInfoDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QDialog::changeEvent(event);
}

} // namespace tunekit
