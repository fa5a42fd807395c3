#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTime>

#include <array>
#include <cstdint>
#include <deque>
#include <optional>

namespace tunekit {

// Direction texts of the dump's first line.
inline constexpr QStringView DumpTransmit(u"Transmit");
inline constexpr QStringView DumpReceive(u"Receive");

// One dump entry, six lines each ending in CR LF: time and direction, the packet in hex,
// type with its name, index (high byte first), subindex, data bytes with their characters.
// "" for a packet shorter than 8 bytes.
QString dumpEntryText(QByteArrayView packet, QStringView direction, QTime now);

// The packet console's log, newest entry at the top. It is never trimmed, so entries are
// kept as compact records and the text is built when a view asks for it; adding an entry
// costs the same on the first and on the millionth packet.
class PacketDump {
public:
    // Position of a view that shows the log: whatever was added after it, or that a clear happened.
    struct Mark {
        quint64 clears = 0;
        qsizetype entries = 0;
    };

    // Nothing for a packet shorter than 8 bytes.
    void add(QByteArrayView packet, QStringView direction, QTime now);
    // Empties the log: a double-click on it, the console's Clear Form, or another window.
    void clear();

    qsizetype entryCount() const noexcept { return static_cast<qsizetype>(entries_.size()); }
    // Changes with every entry and every clear.
    quint64 generation() const noexcept { return added_ + clears_; }

    // Entry i, counted from the oldest (0), with its line ends: what a view shows as one row.
    QString entryText(qsizetype i) const;

    // The whole log, newest entry first.
    QString text() const { return newestText(entryCount()); }
    // The newest count entries, newest first.
    QString newestText(qsizetype count) const;

    Mark currentMark() const noexcept { return {clears_, entryCount()}; }
    // The entries added since the mark, newest first, to put at the top of a view that shows
    // the log as it was at the mark; nullopt when the log was cleared since (rebuild from text()).
    std::optional<QString> textSince(Mark mark) const;

private:
    struct Entry {
        std::array<char, 8> head{}; // the 8 bytes every dumped packet has
        QByteArray tail;            // bytes beyond the eighth, shown on the packet line
        QTime time;
        qsizetype direction = 0;    // into directions_
    };

    std::deque<Entry> entries_;
    QStringList directions_; // the few distinct direction texts, stored once
    quint64 added_ = 0;
    quint64 clears_ = 0;
};

// The fields of the hand-made packet, as typed: hexadecimal without a prefix, letters in either
// case, blanks around the digits ignored, an empty field meaning 0. Type, subindex and each
// data byte take 00..FF, the index 0000..FFFF (8000..FFFF are the upper half, never negative).
enum class ConsoleField { None, Type, Index, Subindex, Data0, Data1, Data2, Data3 };

struct ConsolePacket {
    std::uint8_t type = 0;
    qint32 index = 0;
    std::uint8_t subindex = 0;
    QByteArray data;   // 4 bytes, the first data field first
    QByteArray packet; // the 8 bytes the engine queues for these fields
    // The first field that is not a hexadecimal number in its range, and the message for the
    // user about it; nothing is to be sent then.
    ConsoleField badField = ConsoleField::None;
    QString error;

    bool ok() const noexcept { return badField == ConsoleField::None; }
};

ConsolePacket parseConsolePacket(QStringView type, QStringView index, QStringView subindex,
                                 const std::array<QStringView, 4>& data);

} // namespace tunekit
