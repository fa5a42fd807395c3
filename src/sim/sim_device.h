#pragma once

#include "link/packet_codec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>

namespace tunekit {

struct FirmwareParameter;

// The transmitter's firmware as far as the program can see it: a memory of 4-byte cells
// addressed by index and subindex, and one answer packet for every request packet.
//
// Memory map of this firmware:
//   0x1001..0x1004  information texts, NUL-ended (read only); 0x1101 operating time (read only)
//   0x2000          ConfigID in byte 0; 0x2001..0x2FFF parameters (firmware_parameters.h)
//   0x4000..0x4FFF  display data (texts, pictures, their indexes, display table, defaults)
//   0x5000          frequency table: subindex n = entry n, 255 closes the table
//   0x6000..0x6FFF  interpreter area; its first cells (0x6000 subindexes 0..7) hold the
//                   interpreter's build time and name. EraseIL2 erases the whole area.
//   0x7100 + n      the same information block for interpreter image n (0x2401 = n + 2);
//                   images 0..2 are present
//
// The configuration (0x2000..0x2FFF) is kept twice, as the firmware does: a working copy that
// reads and Uploads use, and the flashed copy that a restart reloads the working copy from.
// FlashConfig stores the working copy only while ConfigEnable has opened the configuration;
// FlashConfig and a restart close it. So a parameter Upload outside ConfigEnable..FlashConfig
// reads back at once but is gone after the next reset. Display data, the frequency table and
// the interpreter are written straight to their memory and stay.
class SimDevice {
public:
    static constexpr int DefaultConfigId = 5;
    // After a restart the device hears nothing for this long.
    static constexpr qint64 BootTimeUs = 500'000;
    // Requests kept for inspection; older ones are forgotten so a long session stays small.
    static constexpr qsizetype RequestLogLimit = 100'000;

    // A factory-fresh device of the given family (ConfigID in cell 0x2000/0 byte 0) with a
    // value for every parameter of that family, information texts, operating time and
    // interpreters. A ConfigID that is no family of this firmware gets the default family's
    // parameters.
    explicit SimDevice(int configId = DefaultConfigId);

    // The answer to one 8-byte request packet that arrived at atUs (empty: none is sent). Reset
    // reboots the device from atUs on, after it has answered. Types without a handler give
    // UnknownResponse with the rejected type code in data byte 0.
    QByteArray answer(QByteArrayView packet, qint64 atUs = 0);
    // The answer to a frame whose checksum does not match: ChkError with the frame's index
    // and subindex.
    static QByteArray checksumErrorAnswer(QByteArrayView packet);

    // The cell's 4 bytes; 0xFF 0xFF 0xFF 0xFF for a cell never written or erased.
    QByteArray cell(int index, int subindex) const;
    bool isErased(int index, int subindex) const;
    // Writes a cell directly, past the protocol (for setting up a test), into the working and
    // the flashed copy; data is padded with zero bytes or cut to 4 bytes.
    void setCell(int index, int subindex, QByteArrayView data);
    // A configuration cell as the next restart will bring it back.
    QByteArray flashedCell(int index, int subindex) const;
    // Between ConfigEnable and FlashConfig (or a restart).
    bool configurationOpen() const noexcept { return configOpen_; }
    // What a block written bytesPerCell bytes a cell holds: length bytes, taken from the cells
    // firstIndex/0, /1, ..., subindexesPerIndex cells to an index. Erased cells give 0xFF.
    QByteArray blockBytes(int firstIndex, int subindexesPerIndex, int bytesPerCell, qsizetype length) const;
    // The number of cells holding data from firstIndex/0 to lastIndex/255.
    qsizetype usedCells(int firstIndex, int lastIndex) const;
    int configId() const;
    // Which interpreter runs: 1 = the one in the interpreter area, 2 and up = image select - 2.
    void setInterpreterSelect(int select);
    // The system address, which the unit's serial number is made of: units on a bench tell apart.
    void setSystemAddress(int address);

    // A DTR pulse or a Reset request: the device is deaf until atUs + BootTimeUs.
    void restart(qint64 atUs);
    bool isBooting(qint64 atUs) const;
    int restartCount() const noexcept { return restarts_; }

    // Older firmware does not know ConfigEnable (it answers UnknownResponse) and stores the
    // working copy on every FlashConfig.
    void setKnowsConfigEnable(bool knows) noexcept { knowsConfigEnable_ = knows; }
    // The protocol names no completion type for ConfigEnable: this firmware echoes it, another
    // may answer with any type at the same address, or not at all (nullopt).
    void setConfigEnableAnswer(std::optional<std::uint8_t> type) noexcept { configEnableAnswer_ = type; }
    // A unit fresh from production: production date, battery type and production number
    // were never set (their cells read FF FF FF FF).
    void makeFresh();
    // The unit on the bench is taken away and the next one of its family put in its place:
    // factory-fresh, its system address (and so its serial number) one higher. The firmware's
    // ways and the request log stay.
    void becomeNextUnit();

    // A worn memory cell: Uploads to it are acknowledged but leave it as it was.
    void setStuckCell(int index, int subindex) { stuck_.insert(key(index, subindex)); }

    // Every request packet the device has answered, oldest first.
    const QList<QByteArray>& requests() const noexcept { return requests_; }
    void clearRequests() { requests_.clear(); }

private:
    static quint32 key(int index, int subindex);
    QByteArray answerUpload(QByteArrayView packet);
    // The one place that decides whether an Upload may change a cell.
    bool acceptsUpload(int index) const;
    void eraseRange(int firstIndex, int lastIndex);
    void putCell(int index, int subindex, QByteArrayView data);
    void flashConfiguration();
    void putText(int index, int firstSubindex, int cells, const QByteArray& text);
    void fillFactoryParameters();
    // Puts a parameter's value into its bytes of its cell, keeping the cell's other bytes.
    void putParameter(const FirmwareParameter& parameter, qint64 value);
    struct InterpreterInfo {
        QByteArray name; // at most 24 characters, no blanks (the program trims them per pair)
        int hour, minute, second, day, month, year;
    };
    void putInterpreterInfo(int index, const InterpreterInfo& info);
    void fillFactoryInformation();

    qint64 systemAddress() const;
    std::map<quint32, std::array<char, 4>> cells_;
    std::map<quint32, std::array<char, 4>> flashed_; // configuration cells only
    bool configOpen_ = false;
    bool knowsConfigEnable_ = true;
    std::optional<std::uint8_t> configEnableAnswer_ = ConfigEnable;
    std::set<quint32> stuck_;
    QList<QByteArray> requests_;
    qint64 bootUntilUs_ = std::numeric_limits<qint64>::min();
    int restarts_ = 0;
};

} // namespace tunekit
