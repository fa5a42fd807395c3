#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace tunekit {

// What the terminal window shows: the last received and sent text with the device's
// attribute sequences, ESC and NUL removed, its backspace echo and clear-screen applied.
// The buffer is the authority; the window copies Text() into its text box when
// TakeRefresh() says so (its 50 ms timer), so many appends cost one redraw.
class TerminalBuffer {
public:
    static constexpr qsizetype MaxLength = 4096;

    // Bytes as they travel on the link, one character per byte.
    void AddToTerminal(QByteArrayView text);
    // The double-click on the text box, and the terminal's clear operation for other windows.
    void Clear();

    const QByteArray& Bytes() const noexcept { return buffer_; }
    QString Text() const { return QString::fromLatin1(buffer_); }

    // Changes with every append and every clear.
    quint64 Generation() const noexcept { return generation_; }
    // True once after any change since the last call.
    bool RefreshPending() const noexcept { return refreshPending_; }
    bool TakeRefresh() noexcept;

private:
    void Changed() noexcept;

    QByteArray buffer_;
    quint64 generation_ = 0;
    bool refreshPending_ = false;
};

// The byte a typed key sends to the device: the key's code unchanged while the port is open,
// nothing when it is closed or the code is not a single byte (0..255). The text box never
// shows the key itself; the device's echo does.
QByteArray TerminalKeyBytes(bool portOpen, int keyAscii);

} // namespace tunekit
