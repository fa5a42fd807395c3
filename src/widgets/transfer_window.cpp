#include "widgets/transfer_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

namespace tunekit {

TransferWindow::TransferWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool), overall(new QProgressBar(this)), partial(new QProgressBar(this)),
      caption(new QLabel(this)), detail(new QLabel(this)), partialHeader(new QLabel(this)),
      totalHeader(new QLabel(this))
{
    setObjectName(QStringLiteral("frmWriteInfo"));
    overall->setObjectName(QStringLiteral("ProgressBar1"));
    partial->setObjectName(QStringLiteral("ProgressBar2"));
    caption->setObjectName(QStringLiteral("lblText"));
    detail->setObjectName(QStringLiteral("lblText2"));
    partialHeader->setObjectName(QStringLiteral("lblHeaderPartial"));
    totalHeader->setObjectName(QStringLiteral("lblHeaderTotal"));
    overall->setRange(0, 100);
    auto* grid = new QGridLayout(this);
    grid->addWidget(caption, 0, 0, 1, 2);
    grid->addWidget(detail, 1, 0, 1, 2);
    grid->addWidget(partialHeader, 2, 0);
    grid->addWidget(partial, 2, 1);
    grid->addWidget(totalHeader, 3, 0);
    grid->addWidget(overall, 3, 1);
    setMinimumWidth(380);
    retranslate();
}

void TransferWindow::retranslate()
{
    setWindowTitle(QStringLiteral("Tunekit"));
    partialHeader->setText(tr("Actual: "));
    totalHeader->setText(tr("Total: "));
}

void TransferWindow::render(const TransferProgress& state)
{
    overall->setValue(qBound(0, state.overall, 100));
    partial->setMaximum(qMax(0, state.partialMax));
    partial->setValue(qBound(0, state.partial, partial->maximum()));
    caption->setText(state.caption);
    detail->setText(state.detail);
    setVisible(state.visible);
}

} // namespace tunekit
