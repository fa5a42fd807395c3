#include "transfer/transfer_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

namespace tunekit {

TransferWindow::TransferWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool), ProgressBar1(new QProgressBar(this)), ProgressBar2(new QProgressBar(this)),
      lblText(new QLabel(this)), lblText2(new QLabel(this)), lblHeaderPartial(new QLabel(this)),
      lblHeaderTotal(new QLabel(this))
{
    setObjectName(QStringLiteral("frmWriteInfo"));
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText2->setObjectName(QStringLiteral("lblText2"));
    lblHeaderPartial->setObjectName(QStringLiteral("lblHeaderPartial"));
    lblHeaderTotal->setObjectName(QStringLiteral("lblHeaderTotal"));
    ProgressBar1->setRange(0, 100);
    auto* grid = new QGridLayout(this);
    grid->addWidget(lblText, 0, 0, 1, 2);
    grid->addWidget(lblText2, 1, 0, 1, 2);
    grid->addWidget(lblHeaderPartial, 2, 0);
    grid->addWidget(ProgressBar2, 2, 1);
    grid->addWidget(lblHeaderTotal, 3, 0);
    grid->addWidget(ProgressBar1, 3, 1);
    setMinimumWidth(380);
    Retranslate();
}

void TransferWindow::Retranslate()
{
    setWindowTitle(QStringLiteral("Tunekit"));
    lblHeaderPartial->setText(tr("Actual: "));
    lblHeaderTotal->setText(tr("Total: "));
}

void TransferWindow::Render(const TransferWindowState& state)
{
    ProgressBar1->setValue(qBound(0, state.ProgressBar1, 100));
    ProgressBar2->setMaximum(qMax(0, state.ProgressBar2Max));
    ProgressBar2->setValue(qBound(0, state.ProgressBar2, ProgressBar2->maximum()));
    lblText->setText(state.lblText);
    lblText2->setText(state.lblText2);
    setVisible(state.visible);
}

} // namespace tunekit
