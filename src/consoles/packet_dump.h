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
QString ContactDumpEntry(QByteArrayView packet, QStringView direction, QTime now);

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
    void AddContactDump(QByteArrayView packet, QStringView direction, QTime now);
    // The double-click on the log, and the console's clear operation for other windows.
    void Clear();

    qsizetype EntryCount() const noexcept { return static_cast<qsizetype>(entries_.size()); }
    // Changes with every entry and every clear.
    quint64 Generation() const noexcept { return added_ + clears_; }

    // Entry i, counted from the oldest (0), with its line ends: what a view shows as one row.
    QString EntryText(qsizetype i) const;

    // The whole log, newest entry first.
    QString Text() const { return NewestText(EntryCount()); }
    // The newest count entries, newest first.
    QString NewestText(qsizetype count) const;

    Mark CurrentMark() const noexcept { return {clears_, EntryCount()}; }
    // The entries added since the mark, newest first, to put at the top of a view that shows
    // the log as it was at the mark; nullopt when the log was cleared since (rebuild from Text()).
    std::optional<QString> TextSince(Mark mark) const;

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
    QByteArray data;   // 4 bytes, txtData(0) first
    QByteArray packet; // the 8 bytes that SendPacket queues for these fields
    // The first field that is not a hexadecimal number in its range, and the message for the
    // user about it; nothing is to be sent then.
    ConsoleField badField = ConsoleField::None;
    QString error;

    bool Ok() const noexcept { return badField == ConsoleField::None; }
};

ConsolePacket ParseConsolePacket(QStringView type, QStringView index, QStringView subindex,
                                 const std::array<QStringView, 4>& data);

} // namespace tunekit
