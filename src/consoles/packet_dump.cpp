#include "consoles/packet_dump.h"

#include "link/packet_codec.h"

#include <QCoreApplication>

#include <algorithm>

namespace tunekit {
namespace {

constexpr QLatin1StringView LineEnd("\r\n");
constexpr char16_t HexDigits[] = u"0123456789ABCDEF";

void appendHex(QString& out, char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    out += QChar(HexDigits[value >> 4]);
    out += QChar(HexDigits[value & 0x0F]);
}

// head holds the packet's first 8 bytes, tail whatever follows them.
void appendEntry(QString& out, QByteArrayView head, QByteArrayView tail, QStringView direction, QTime time)
{
    out += QLatin1Char('[');
    out += time.toString(QStringLiteral("hh:mm:ss"));
    out += QLatin1StringView("]...................");
    out += direction;
    out += LineEnd;

    out += QLatin1StringView("   Packet:   ");
    for (char byte : head)
        appendHex(out, byte);
    for (char byte : tail)
        appendHex(out, byte);
    out += LineEnd;

    out += QLatin1StringView("   Type:     ");
    appendHex(out, head[0]);
    out += QLatin1StringView(" (");
    out += packetTypeName(static_cast<unsigned char>(head[0]));
    out += QLatin1Char(')');
    out += LineEnd;

    out += QLatin1StringView("   Index:    ");
    appendHex(out, head[2]);
    appendHex(out, head[1]);
    out += LineEnd;

    out += QLatin1StringView("   Subindex: ");
    appendHex(out, head[3]);
    out += LineEnd;

    out += QLatin1StringView("   Data:     ");
    for (qsizetype i = 4; i < 8; ++i) {
        if (i > 4)
            out += QLatin1Char(' ');
        appendHex(out, head[i]);
    }
    out += QLatin1StringView(" [");
    for (qsizetype i = 4; i < 8; ++i) {
        // Control codes would break the line; everything else is shown as its Latin-1 character.
        const auto code = static_cast<unsigned char>(head[i]);
        out += code > 31 ? QChar(code) : QLatin1Char('.');
    }
    out += QLatin1Char(']');
    out += LineEnd;
}

constexpr qsizetype TypicalEntryLength = 140;

} // namespace

QString dumpEntryText(QByteArrayView packet, QStringView direction, QTime now)
{
    if (packet.size() < PacketSize)
        return {};
    QString out;
    out.reserve(TypicalEntryLength + 2 * packet.size());
    appendEntry(out, packet.first(PacketSize), packet.sliced(PacketSize), direction, now);
    return out;
}

void PacketDump::add(QByteArrayView packet, QStringView direction, QTime now)
{
    if (packet.size() < PacketSize)
        return;
    Entry entry;
    std::copy_n(packet.data(), PacketSize, entry.head.begin());
    if (packet.size() > PacketSize)
        entry.tail = packet.sliced(PacketSize).toByteArray();
    entry.time = now;
    entry.direction = directions_.indexOf(direction);
    if (entry.direction < 0) {
        entry.direction = directions_.size();
        directions_.append(direction.toString());
    }
    entries_.push_back(std::move(entry));
    ++added_;
}

void PacketDump::clear()
{
    entries_.clear();
    directions_.clear();
    ++clears_;
}

QString PacketDump::entryText(qsizetype i) const
{
    const Entry& entry = entries_.at(static_cast<std::size_t>(i));
    QString out;
    out.reserve(TypicalEntryLength + 2 * entry.tail.size());
    appendEntry(out, QByteArrayView(entry.head.data(), PacketSize), entry.tail, directions_.at(entry.direction),
                entry.time);
    return out;
}

QString PacketDump::newestText(qsizetype count) const
{
    count = std::clamp<qsizetype>(count, 0, entryCount());
    QString out;
    out.reserve(count * TypicalEntryLength);
    for (auto it = entries_.rbegin(); it != entries_.rbegin() + count; ++it)
        appendEntry(out, QByteArrayView(it->head.data(), PacketSize), it->tail, directions_.at(it->direction), it->time);
    return out;
}

std::optional<QString> PacketDump::textSince(Mark mark) const
{
    if (mark.clears != clears_ || mark.entries > entryCount())
        return std::nullopt;
    return newestText(entryCount() - mark.entries);
}

namespace {

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// Value of a typed hexadecimal field, or nullopt when it is not a number in 0..max.
std::optional<quint32> hexField(QStringView text, quint32 max)
{
    quint32 value = 0;
    for (QChar c : text.trimmed()) {
        const int digit = hexDigit(c.unicode());
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<quint32>(digit);
        if (value > max) // checked per digit, so the value never comes near overflowing
            return std::nullopt;
    }
    return value;
}

QString fieldError(ConsoleField field)
{
    switch (field) {
    case ConsoleField::Type:
        return QCoreApplication::translate("PacketConsole", "The type must be a hexadecimal number from 00 to FF.");
    case ConsoleField::Index:
        return QCoreApplication::translate("PacketConsole", "The index must be a hexadecimal number from 0000 to FFFF.");
    case ConsoleField::Subindex:
        return QCoreApplication::translate("PacketConsole", "The subindex must be a hexadecimal number from 00 to FF.");
    case ConsoleField::Data0:
    case ConsoleField::Data1:
    case ConsoleField::Data2:
    case ConsoleField::Data3:
        return QCoreApplication::translate("PacketConsole", "Data byte %1 must be a hexadecimal number from 00 to FF.")
            .arg(static_cast<int>(field) - static_cast<int>(ConsoleField::Data0) + 1);
    case ConsoleField::None:
        break;
    }
    return {};
}

} // namespace

ConsolePacket parseConsolePacket(QStringView type, QStringView index, QStringView subindex,
                                 const std::array<QStringView, 4>& data)
{
    ConsolePacket result;
    auto reject = [&result](ConsoleField field) {
        result.badField = field;
        result.error = fieldError(field);
        result.data.clear();
        return result;
    };

    const auto typeValue = hexField(type, 0xFF);
    if (!typeValue)
        return reject(ConsoleField::Type);
    const auto indexValue = hexField(index, 0xFFFF);
    if (!indexValue)
        return reject(ConsoleField::Index);
    const auto subindexValue = hexField(subindex, 0xFF);
    if (!subindexValue)
        return reject(ConsoleField::Subindex);
    result.data = QByteArray(4, '\0');
    for (qsizetype i = 0; i < 4; ++i) {
        const auto byte = hexField(data[static_cast<std::size_t>(i)], 0xFF);
        if (!byte)
            return reject(static_cast<ConsoleField>(static_cast<int>(ConsoleField::Data0) + i));
        result.data[i] = static_cast<char>(*byte);
    }

    result.type = static_cast<std::uint8_t>(*typeValue);
    result.index = static_cast<qint32>(*indexValue);
    result.subindex = static_cast<std::uint8_t>(*subindexValue);
    result.packet = makePacket(result.type, result.index, result.subindex, result.data);
    return result;
}

} // namespace tunekit
