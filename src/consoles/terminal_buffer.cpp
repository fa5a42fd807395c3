#include "consoles/terminal_buffer.h"

namespace tunekit {
namespace {

constexpr char Esc = '\x1b';
constexpr char Backspace = '\b';

// The device's reset-and-clear sequence once its ESC characters are gone; the short form
// is what remains when the "[37m" attribute arrived with its ESC and was filtered out.
constexpr QByteArrayView ClearScreenLong("c[37m[40m[2J[f");
constexpr QByteArrayView ClearScreenShort("c[40m[2J[f");

QByteArray filtered(QByteArrayView text)
{
    QByteArray bytes = text.toByteArray();
    for (QByteArrayView attribute : {QByteArrayView("\x1b[4m"), QByteArrayView("\x1b[24m"), QByteArrayView("\x1b[31m"),
                                     QByteArrayView("\x1b[37m")})
        bytes.replace(attribute, QByteArrayView());
    bytes.removeIf([](char c) { return c == Esc; });
    bytes.removeIf([](char c) { return c == '\0'; });
    return bytes;
}

// The device echoes a deleted character as backspace, blank, backspace: the character before
// the first backspace and the three echo characters go. A backspace at the very start has no
// character before it, so only the echo goes. While the echo is still incomplete (the
// backspace is one of the last two characters) nothing is removed yet: the rest follows in
// the next chunk, and cutting now would take a character that belongs to the text.
void applyFirstBackspace(QByteArray& buffer)
{
    const qsizetype at = buffer.indexOf(Backspace);
    if (at < 0 || buffer.size() - at - 1 < 2)
        return;
    const qsizetype from = at > 0 ? at - 1 : 0;
    buffer.remove(from, at + 3 - from);
}

void keepAfter(QByteArray& buffer, QByteArrayView sequence)
{
    const qsizetype at = buffer.indexOf(sequence);
    if (at >= 0)
        buffer.remove(0, at + sequence.size());
}

} // namespace

void TerminalBuffer::append(QByteArrayView text)
{
    buffer_ += filtered(text);
    if (buffer_.size() > MaxLength)
        buffer_.remove(0, buffer_.size() - MaxLength);
    applyFirstBackspace(buffer_);
    keepAfter(buffer_, ClearScreenLong);
    keepAfter(buffer_, ClearScreenShort);
    changed();
}

void TerminalBuffer::clear()
{
    buffer_.clear();
    changed();
}

bool TerminalBuffer::takeRefresh() noexcept
{
    const bool pending = refreshPending_;
    refreshPending_ = false;
    return pending;
}

void TerminalBuffer::changed() noexcept
{
    ++generation_;
    refreshPending_ = true;
}

QByteArray terminalKeyBytes(bool portOpen, int keyCode)
{
    if (!portOpen || keyCode < 0 || keyCode > 255)
        return {};
    return QByteArray(1, static_cast<char>(keyCode));
}

} // namespace tunekit
