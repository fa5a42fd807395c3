#include "widgets/dip_picture.h"

#include <QLabel>
#include <QPainter>

#include <cmath>

namespace tunekit {

DipPicture::DipPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pbxDip"));
    setMinimumSize(360, 70);
}

void DipPicture::setView(const DipView& view)
{
    view_ = view;
    update();
}

void DipPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const DipGeometry geometry = drawDip(view_, width(), height());
    for (const DipBox& box : geometry.boxes) {
        const QColor colour(box.colour.red, box.colour.green, box.colour.blue);
        painter.fillRect(QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1)), colour);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    for (int x : geometry.gridX)
        painter.drawLine(x, 0, x, geometry.height);
}

DipPanel::DipPanel(QWidget* parent)
    : QWidget(parent), dipPicture_(new DipPicture(this)), lowValueLabel_(new QLabel(this)), highValueLabel_(new QLabel(this)),
      valueLow(new QLabel(this)), valueHigh(new QLabel(this))
{
    lowValueLabel_->setObjectName(QStringLiteral("lblDipLow"));
    highValueLabel_->setObjectName(QStringLiteral("lblDipHigh"));
    valueLow->setObjectName(QStringLiteral("ValueLow"));
    valueHigh->setObjectName(QStringLiteral("ValueHigh"));
    lowValueLabel_->setText(QStringLiteral("S1        (low)        S8"));
    highValueLabel_->setText(QStringLiteral("  S1      (high)        S8"));
    for (QLabel* label : {lowValueLabel_, highValueLabel_, valueLow, valueHigh})
        label->setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

int DipPanel::labelHeight() const
{
    return fontMetrics().height() + 4;
}

QSize DipPanel::sizeHint() const
{
    return {dipPicture_->minimumWidth(), dipPicture_->minimumHeight() + 10 + 2 * labelHeight()};
}

QSize DipPanel::minimumSizeHint() const
{
    return sizeHint();
}

void DipPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int row = labelHeight();
    const int pictureHeight = height() - 2 * row;
    dipPicture_->setGeometry(0, 0, width(), pictureHeight);
    // The banks as the picture draws them: columns 0..7 and 10..17 of 18, each c wide.
    const int c = static_cast<int>(std::lround((width() - 10) / 18.0));
    const int captionTop = pictureHeight - 10 + 2; // the picture leaves 10 units below its switches
    lowValueLabel_->setGeometry(0, captionTop, 8 * c, row);
    highValueLabel_->setGeometry(10 * c, captionTop, 8 * c, row);
    valueLow->setGeometry(0, captionTop + row, 8 * c, row);
    valueHigh->setGeometry(10 * c, captionTop + row, 8 * c, row);
}

} // namespace tunekit
