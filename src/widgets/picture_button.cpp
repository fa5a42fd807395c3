#include "widgets/picture_button.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace tunekit {

namespace {

QList<qreal> numbers(QStringView text)
{
    const QRegularExpression number(QStringLiteral(R"([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)"));
    QList<qreal> values;
    for (auto it = number.globalMatch(text); it.hasNext();)
        values << it.next().captured().toDouble();
    return values;
}

QPainterPath polygonPath(QStringView points, bool closed)
{
    const QList<qreal> v = numbers(points);
    QPainterPath path;
    for (qsizetype i = 0; i + 1 < v.size(); i += 2) {
        if (i == 0)
            path.moveTo(v[0], v[1]);
        else
            path.lineTo(v[i], v[i + 1]);
    }
    if (closed)
        path.closeSubpath();
    return path;
}

// Absolute and relative M, L, H, V and Z.
QPainterPath pathData(const QString& d)
{
    const QRegularExpression command(QStringLiteral(R"(([MmLlHhVvZz])([^MmLlHhVvZz]*))"));
    QPainterPath path;
    QPointF at;
    for (auto it = command.globalMatch(d); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QChar c = m.captured(1).at(0);
        const bool relative = c.isLower();
        const QList<qreal> v = numbers(m.captured(2));
        switch (c.toUpper().unicode()) {
        case u'M':
        case u'L':
            for (qsizetype i = 0; i + 1 < v.size(); i += 2) {
                at = relative ? at + QPointF(v[i], v[i + 1]) : QPointF(v[i], v[i + 1]);
                // Pairs after the first of an M are lines, as in SVG.
                if (c.toUpper() == u'M' && i == 0)
                    path.moveTo(at);
                else
                    path.lineTo(at);
            }
            break;
        case u'H':
            for (const qreal x : v) {
                at.setX(relative ? at.x() + x : x);
                path.lineTo(at);
            }
            break;
        case u'V':
            for (const qreal y : v) {
                at.setY(relative ? at.y() + y : y);
                path.lineTo(at);
            }
            break;
        case u'Z':
            path.closeSubpath();
            at = path.currentPosition();
            break;
        default:
            break;
        }
    }
    return path;
}

QStringView value(const QXmlStreamAttributes& attributes, const char* name)
{
    return attributes.value(QLatin1StringView(name));
}

qreal attribute(const QXmlStreamAttributes& attributes, const char* name, qreal fallback = 0)
{
    const QStringView text = value(attributes, name);
    return text.isEmpty() ? fallback : text.toDouble();
}

QPainterPath shapeOf(QStringView element, const QXmlStreamAttributes& a)
{
    QPainterPath path;
    if (element == u"rect") {
        const QRectF rect(attribute(a, "x"), attribute(a, "y"), attribute(a, "width"), attribute(a, "height"));
        const qreal rx = attribute(a, "rx");
        path.addRoundedRect(rect, rx, attribute(a, "ry", rx));
    } else if (element == u"circle") {
        const qreal r = attribute(a, "r");
        path.addEllipse(QPointF(attribute(a, "cx"), attribute(a, "cy")), r, r);
    } else if (element == u"polygon" || element == u"polyline") {
        path = polygonPath(value(a, "points"), element == u"polygon");
    } else if (element == u"line") {
        path.moveTo(attribute(a, "x1"), attribute(a, "y1"));
        path.lineTo(attribute(a, "x2"), attribute(a, "y2"));
    } else if (element == u"path") {
        path = pathData(value(a, "d").toString());
    }
    return path;
}

} // namespace

QPixmap renderPicture(const QString& resource, QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return pixmap;
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"svg") {
            const QList<qreal> box = numbers(value(a, "viewBox"));
            if (box.size() == 4 && box[2] > 0 && box[3] > 0) {
                painter.scale(size.width() / box[2], size.height() / box[3]);
                painter.translate(-box[0], -box[1]);
            }
            continue;
        }
        const QPainterPath path = shapeOf(xml.name(), a);
        if (path.isEmpty())
            continue;
        const QStringView fill = value(a, "fill");
        if (fill != u"none")
            painter.fillPath(path, fill.isEmpty() ? QColor(Qt::black) : QColor(fill.toString()));
        const QStringView stroke = value(a, "stroke");
        if (!stroke.isEmpty() && stroke != u"none") {
            QPen pen(QColor(stroke.toString()), attribute(a, "stroke-width", 1));
            pen.setJoinStyle(Qt::RoundJoin);
            pen.setCapStyle(Qt::RoundCap);
            painter.strokePath(path, pen);
        }
    }
    return pixmap;
}

PictureButton::PictureButton(const QString& resource, QWidget* button) : QWidget(button), resource_(resource)
{
    setCursor(Qt::PointingHandCursor);
    button->installEventFilter(this);
    place();
}

QSize PictureButton::sizeHint() const
{
    const int side = qMax(16, parentWidget()->fontMetrics().height() + 4);
    return {side, side};
}

bool PictureButton::eventFilter(QObject* watched, QEvent* event)
{
    // The caption is centred; the picture goes where its leading blanks are.
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::FontChange:
    case QEvent::LanguageChange:
    case QEvent::Paint:
        place();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PictureButton::place()
{
    const auto* button = qobject_cast<const QAbstractButton*>(parentWidget());
    if (!button)
        return;
    const QString text = button->text();
    const QFontMetrics metrics = button->fontMetrics();
    qsizetype blanks = 0;
    while (blanks < text.size() && text.at(blanks) == u' ')
        ++blanks;
    const QSize side = sizeHint();
    const int textLeft = (button->width() - metrics.horizontalAdvance(text)) / 2;
    const int room = metrics.horizontalAdvance(text.left(blanks));
    const int x = qMax(4, textLeft + (room - side.width()) / 2);
    const QRect place(QPoint(x, (button->height() - side.height()) / 2), side);
    if (geometry() != place)
        setGeometry(place);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    if (picture_.deviceIndependentSize().toSize() != size() || picture_.devicePixelRatio() != devicePixelRatioF())
        picture_ = renderPicture(resource_, size(), devicePixelRatioF());
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click)
        emit clicked();
}

} // namespace tunekit
