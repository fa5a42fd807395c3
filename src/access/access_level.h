#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <optional>

namespace tunekit {

// One of the six access levels. What a level sees and may do is asked of it by name; no other
// part of the program compares level numbers. The numbers 10, 20, ... 60 are what the level
// menu, the settings file and the dictionary's lowest levels speak.
class AccessLevel {
public:
    // Level 1, open to everybody.
    constexpr AccessLevel() noexcept = default;

    static constexpr AccessLevel level1() noexcept { return AccessLevel(10); }
    static constexpr AccessLevel level2() noexcept { return AccessLevel(20); }
    static constexpr AccessLevel level3() noexcept { return AccessLevel(30); }
    static constexpr AccessLevel service() noexcept { return AccessLevel(40); }
    static constexpr AccessLevel production() noexcept { return AccessLevel(50); }
    static constexpr AccessLevel development() noexcept { return AccessLevel(60); }

    // The six levels, lowest first: the order of the level menu and of every per-level array.
    static constexpr std::array<AccessLevel, 6> all() noexcept
    {
        return {level1(), level2(), level3(), service(), production(), development()};
    }

    // The level of a number 10, 20, ... 60; none for any other number.
    static constexpr std::optional<AccessLevel> fromNumber(int number) noexcept
    {
        if (number < 10 || number > 60 || number % 10 != 0)
            return std::nullopt;
        return AccessLevel(static_cast<qint16>(number));
    }

    constexpr int number() const noexcept { return number_; }
    // Position 0..5 in All() and in the per-level arrays.
    constexpr std::size_t index() const noexcept { return static_cast<std::size_t>(number_ / 10 - 1); }

    friend constexpr bool operator==(AccessLevel, AccessLevel) noexcept = default;

    // The level as records name it.
    constexpr const char* recordName() const noexcept
    {
        constexpr std::array<const char*, 6> names{"level1", "level2", "level3", "service", "production", "development"};
        return names[index()];
    }

    // --- Permissions -----------------------------------------------------------------------

    // Sees and edits a parameter whose dictionary entry makes it available from availLevel on
    // (ConfigID has 0: every level).
    constexpr bool reachesParameter(int availLevel) const noexcept { return availLevel <= number_; }

    // Has the terminal window with the raw text on the line.
    constexpr bool seesTerminal() const noexcept { return number_ >= 50; }
    // Has the packet console besides the terminal.
    constexpr bool seesPacketConsole() const noexcept { return number_ == 60; }
    // What comes in from the transmitter is shown: the text in the terminal, each answer in the
    // packet console.
    constexpr bool seesReceivedTraffic() const noexcept { return number_ >= 50; }
    // Sees how a serial number maps to the transmitter's internal and system address, and the
    // system address's two bytes beside the DIP switches.
    constexpr bool seesInternalAddressValues() const noexcept { return number_ >= 40; }

    // Detection also reads the long source identification of the interpreter.
    constexpr bool readsSourceIdentification() const noexcept { return number_ >= 40; }

    // May edit the production number.
    constexpr bool hasProductionRights() const noexcept { return number_ >= 50; }
    // May open a configuration file whose checksum is wrong.
    constexpr bool opensFilesWithWrongChecksum() const noexcept { return number_ >= 50; }

    // Writes without the compatibility checks: data of another ConfigID, or an image read from
    // another transmitter, go to the connected one unasked.
    constexpr bool writesWithoutCompatibilityCheck() const noexcept { return number_ == 60; }
    // Data of another ConfigID may be written once the user confirms it; below, it is refused.
    constexpr bool mayWriteOtherFamily() const noexcept { return number_ >= 40; }
    // Decides whether the transmitter's adjusted calibration values are overwritten; below,
    // only what a file brought is written.
    constexpr bool decidesCalibration() const noexcept { return number_ > 30; }
    // Is offered to set values still at their erased state to their defaults before a write.
    constexpr bool mayInitialiseErasedValues() const noexcept { return number_ > 50; }
    // Writes every value, also when only changed values are to be sent: each unit of a series
    // gets the whole configuration.
    constexpr bool writesEveryValue() const noexcept { return number_ == 50; }
    // A loaded file's extended data stays ready for the next transmitter after a write:
    // always in production, in development unless eraseAfterWrite ("Erase strings after
    // write") is ticked, never below.
    constexpr bool keepsExtendedDataAfterWrite(bool eraseAfterWrite) const noexcept
    {
        return number_ == 50 || (number_ == 60 && !eraseAfterWrite);
    }

private:
    constexpr explicit AccessLevel(qint16 number) noexcept : number_(number) {}

    qint16 number_ = 10;
};

// One mark per access level, lowest level first (index()): the level menu's ticks, the levels the
// password dialog may grant.
using PerLevel = std::array<bool, AccessLevel::all().size()>;

} // namespace tunekit
