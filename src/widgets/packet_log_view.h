#pragma once

#include "consoles/packet_dump.h"

#include <QAbstractScrollArea>

namespace tunekit {

// The packet console's log, newest entry on top. Every entry has the same six lines, so
// the view knows where each one lies without measuring any: it draws only the entries on screen
// and makes their text while drawing. Appending costs the same at the first and at the
// millionth entry, and the log is never trimmed.
//
// Entries logged since the last sync() are not shown yet; sync() puts them on top. A view
// scrolled away from the top keeps showing the same entries while new ones arrive above.
// A click selects an entry, Shift+click a range, Ctrl+A all; Ctrl+C copies the selected text.
class PacketLogView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    PacketLogView(const PacketDump& log, QWidget* parent);

    void sync();
    // The log was cleared.
    void reset();

    // Entries shown, and the text of row r (0 = the newest shown) with its line ends.
    qsizetype rowCount() const noexcept { return rows_; }
    QString rowText(qsizetype row) const;
    qsizetype rowAt(int y) const;
    QString selectedText() const;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int lineHeight() const;
    int entryHeight() const;
    void updateScrollRange();

    const PacketDump& log_;
    qsizetype rows_ = 0;
    quint64 clears_ = 0;
    // The selected rows, counted from the oldest entry so that they stay put as entries arrive.
    qsizetype anchor_ = -1;
    qsizetype current_ = -1;
};

} // namespace tunekit
