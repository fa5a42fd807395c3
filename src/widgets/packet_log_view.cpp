#include "widgets/packet_log_view.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tunekit {

namespace {
constexpr int LinesPerEntry = 6;
constexpr int Margin = 4;
} // namespace

PacketLogView::PacketLogView(const PacketDump& log, QWidget* parent) : QAbstractScrollArea(parent), log_(log)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    updateScrollRange();
}

int PacketLogView::lineHeight() const
{
    return fontMetrics().lineSpacing();
}

int PacketLogView::entryHeight() const
{
    return LinesPerEntry * lineHeight() + lineHeight() / 2;
}

void PacketLogView::updateScrollRange()
{
    // Scrolled in whole lines: a range of entries * lines stays far inside int for any log a
    // day of service work produces, where pixels would not.
    const qsizetype lines = rows_ * (LinesPerEntry + 1);
    const int page = std::max(1, viewport()->height() / std::max(1, lineHeight()));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(LinesPerEntry + 1);
    verticalScrollBar()->setRange(0, static_cast<int>(std::max<qsizetype>(0, lines - page)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, fontMetrics().horizontalAdvance(QString(52, u'0')) + 2 * Margin
                                                       - viewport()->width()));
}

void PacketLogView::sync()
{
    const PacketDump::Mark now = log_.currentMark();
    if (now.clears != clears_ || now.entries < rows_) {
        reset();
        return;
    }
    const qsizetype added = now.entries - rows_;
    if (added == 0)
        return;
    const int value = verticalScrollBar()->value();
    rows_ = now.entries;
    updateScrollRange();
    // At the top the newest entries come into view; further down the same entries stay in view.
    if (value > 0)
        verticalScrollBar()->setValue(value + static_cast<int>(added * (LinesPerEntry + 1)));
    viewport()->update();
}

void PacketLogView::reset()
{
    const PacketDump::Mark now = log_.currentMark();
    rows_ = now.entries;
    clears_ = now.clears;
    anchor_ = current_ = -1;
    updateScrollRange();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

QString PacketLogView::rowText(qsizetype row) const
{
    if (row < 0 || row >= rows_)
        return {};
    return log_.entryText(rows_ - 1 - row);
}

qsizetype PacketLogView::rowAt(int y) const
{
    const qsizetype line = verticalScrollBar()->value() + y / std::max(1, lineHeight());
    const qsizetype row = line / (LinesPerEntry + 1);
    return row < rows_ ? row : -1;
}

QString PacketLogView::selectedText() const
{
    if (anchor_ < 0 || current_ < 0)
        return {};
    // Selected entries are counted from the oldest; the text lists them newest first, like the view.
    QString text;
    for (qsizetype entry = std::max(anchor_, current_); entry >= std::min(anchor_, current_); --entry)
        text += log_.entryText(entry);
    return text;
}

void PacketLogView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int line = lineHeight();
    const int first = verticalScrollBar()->value();
    const int x = Margin - horizontalScrollBar()->value();
    const qsizetype lastLine = first + viewport()->height() / std::max(1, line) + 1;
    const QPalette& colours = palette();
    const qsizetype low = std::min(anchor_, current_);
    const qsizetype high = std::max(anchor_, current_);
    for (qsizetype row = first / (LinesPerEntry + 1); row < rows_ && row * (LinesPerEntry + 1) <= lastLine; ++row) {
        const qsizetype entry = rows_ - 1 - row;
        const int top = Margin / 2 + static_cast<int>((row * (LinesPerEntry + 1) - first) * line);
        const bool selected = low >= 0 && entry >= low && entry <= high;
        if (selected)
            painter.fillRect(0, top, viewport()->width(), LinesPerEntry * line, colours.highlight());
        painter.setPen(selected ? colours.color(QPalette::HighlightedText) : colours.color(QPalette::Text));
        const QStringList lines = log_.entryText(entry).split(QStringLiteral("\r\n"));
        for (int i = 0; i < LinesPerEntry && i < lines.size(); ++i)
            painter.drawText(x, top + i * line + fontMetrics().ascent(), lines.at(i));
    }
}

void PacketLogView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void PacketLogView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateScrollRange();
}

void PacketLogView::mousePressEvent(QMouseEvent* event)
{
    const qsizetype row = rowAt(event->position().toPoint().y());
    if (row < 0)
        return;
    const qsizetype entry = rows_ - 1 - row;
    current_ = entry;
    if (!(event->modifiers() & Qt::ShiftModifier) || anchor_ < 0)
        anchor_ = entry;
    viewport()->update();
}

void PacketLogView::mouseDoubleClickEvent(QMouseEvent*)
{
    emit doubleClicked();
}

void PacketLogView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(selectedText());
        return;
    }
    if (event->matches(QKeySequence::SelectAll) && rows_ > 0) {
        anchor_ = 0;
        current_ = rows_ - 1;
        viewport()->update();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace tunekit
