#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace tunekit {

// Draws one of the program's own pictures, kept as SVG in the resources, at the given size.
// Only the few shapes our pictures use are understood: rect (with rx), circle, polygon,
// polyline, line and path with absolute or relative M, L, H, V and Z, each with fill, stroke and
// stroke-width given on the element itself. A picture that cannot be read draws nothing.
QPixmap renderPicture(const QString& resource, QSize size, qreal devicePixelRatio = 1.0);

// Picture1 and Picture2: the pictures that start Read and Write. Each sits on its button, in the
// room the leading blanks of the caption leave, and is clicked on its own.
class PictureButton final : public QWidget {
    Q_OBJECT
public:
    // Puts the picture on button; clicking it emits clicked().
    PictureButton(const QString& resource, QWidget* button);

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void place();

    QString resource_;
    QPixmap picture_; // drawn once per size
    bool pressed_ = false;
};

} // namespace tunekit
