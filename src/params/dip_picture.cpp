#include "params/dip_picture.h"

#include <QPainter>

namespace tunekit {

DipPicture::DipPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pbxDip"));
    setMinimumSize(360, 70);
}

void DipPicture::SetView(const DipView& view)
{
    view_ = view;
    update();
}

void DipPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const DipGeometry geometry = DrawDip(view_, width(), height());
    for (const DipBox& box : geometry.boxes) {
        const QColor colour(box.colour.red, box.colour.green, box.colour.blue);
        painter.fillRect(QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1)), colour);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    for (int x : geometry.gridX)
        painter.drawLine(x, 0, x, geometry.height);
}

} // namespace tunekit
