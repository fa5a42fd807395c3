#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace tunekit {

// What the terminal window shows: the last received and sent text with the device's
// attribute sequences, ESC and NUL removed, its backspace echo and clear-screen applied.
// The buffer is the authority; the window copies text() into its text box when
// takeRefresh() says so (its 50 ms timer), so many appends cost one redraw.
class TerminalBuffer {
public:
    static constexpr qsizetype MaxLength = 4096;

    // Bytes as they travel on the link, one character per byte.
    void append(QByteArrayView text);
    // Empties the terminal: a double-click on its text box, or closing the window.
    void clear();

    const QByteArray& bytes() const noexcept { return buffer_; }
    QString text() const { return QString::fromLatin1(buffer_); }

    // Changes with every append and every clear.
    quint64 generation() const noexcept { return generation_; }
    // Whether anything changed since the last takeRefresh().
    bool refreshPending() const noexcept { return refreshPending_; }
    // True once after any change since the last call.
    bool takeRefresh() noexcept;

private:
    void changed() noexcept;

    QByteArray buffer_;
    quint64 generation_ = 0;
    bool refreshPending_ = false;
};

// The byte a typed key sends to the device: the key's code unchanged while the port is open,
// nothing when it is closed or the code is not a single byte (0..255). The text box never
// shows the key itself; the device's echo does.
QByteArray terminalKeyBytes(bool portOpen, int keyCode);

} // namespace tunekit
