#pragma once

#include <QByteArray>
#include <QFlags>
#include <QString>

#include <optional>

namespace tunekit {

// What a running transfer shows of itself: two bars, a caption and a line of detail.
struct TransferProgress {
    bool visible = false;
    int overall = 0; // 0..100
    int partial = 0;
    int partialMax = 100;
    QString caption;
    QString detail;
    // The last batch ended with the automatic reset switched off: the device is to be reset by hand.
    bool resetByHand = false;
};

// The parts of a station's state that changed; a view shows them anew from the station.
enum class StationChange : unsigned {
    Values = 0x1,   // the device image: values and their marks
    Facts = 0x2,    // what is known of the device and the loaded file: identity, information, names
    Status = 0x4,   // the connection and the queue
    Controls = 0x8, // whether commands may be started (not while the device is being detected)
};
Q_DECLARE_FLAGS(StationChanges, StationChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(StationChanges)

// One entry of a station's traffic.
struct TrafficEntry {
    enum class Kind {
        Debug,          // a line of the debug log; "TxSend: " lines are the packets sent
        Packet,         // a packet on the line; text says which way and how it was taken
        Terminal,       // text the device printed
        TerminalCleared,
        PacketsCleared,
    };
    Kind kind = Kind::Debug;
    QString text;
    QByteArray bytes;
};

// The entry as a line of a trace, without its time: each packet once (one sent is traced as it
// leaves, with its bytes, not again as the debug line that counts it), the other debug lines as
// they are; nothing for the terminal's text and the consoles' clears.
inline std::optional<QString> traceText(const TrafficEntry& entry)
{
    switch (entry.kind) {
    case TrafficEntry::Kind::Debug:
        if (entry.text.startsWith(u"TxSend: "))
            return std::nullopt;
        return entry.text;
    case TrafficEntry::Kind::Packet: return entry.text + u' ' + QString::fromLatin1(entry.bytes.toHex(' '));
    case TrafficEntry::Kind::Terminal:
    case TrafficEntry::Kind::TerminalCleared:
    case TrafficEntry::Kind::PacketsCleared: break;
    }
    return std::nullopt;
}

// Where a station reports: which of its parts changed, how a transfer progresses, what went over
// the line. A front end overrides what it shows.
class StationViews {
public:
    virtual ~StationViews() = default;
    virtual void changed(StationChanges /*changes*/) {}
    virtual void progressChanged(const TransferProgress& /*progress*/) {}
    virtual void logged(const TrafficEntry& /*entry*/) {}
};

} // namespace tunekit
