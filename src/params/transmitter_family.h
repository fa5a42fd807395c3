#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <bit>
#include <initializer_list>

namespace tunekit {

// A transmitter family: the transmitters that report one ConfigID. What the program shows or
// decides about a family is a field of its row; which parameters a family has is marked on each
// parameter of the dictionary (ConfigDefine::families).
struct TransmitterFamily {
    qint16 configId;
    // Caption of the family's column in the parameter report; "" = no column.
    QStringView reportColumn;
    // With product group 0 the serial number has no room for OEM codes 3..246; on these families
    // the overview refuses such a code as soon as it is typed.
    bool refusesOemCodeOnEntry;
    // No transmitter reports this ConfigID: the row only keeps the report's column. No parameter
    // may mark it, and it is not one of EveryFamily.
    bool setAside;
};

// Every family, in ConfigID order, which is also the order of the report's columns. ConfigIDs
// 6..9 are set aside: the report has always had their columns. A new family with the parameters
// every family has is one more row here; a parameter only some families have lists it too.
inline constexpr auto TransmitterFamilies = std::to_array<TransmitterFamily>({
    // configId, reportColumn, refusesOemCodeOnEntry, setAside
    {1, u"ID 1", true, false},
    {2, u"ID 2", false, false},
    {3, u"ID 3", false, false},
    {4, u"ID 4", false, false},
    {5, u"ID 5", false, false},
    {6, u"ID 6", false, true},
    {7, u"ID 7", false, true},
    {8, u"ID 8", false, true},
    {9, u"ID 9", false, true},
    {10, u"ID 10", false, false},
    {50, u"ID 50", false, false},
    {51, u"ID 51", false, false},
    {52, u"ID 52", false, false},
    {53, u"", false, false},
});

// The row of a ConfigID in TransmitterFamilies, or -1 when no row has it (0, no device, among them).
constexpr int familyRow(int configId)
{
    for (std::size_t row = 0; row < TransmitterFamilies.size(); ++row) {
        if (TransmitterFamilies[row].configId == configId)
            return static_cast<int>(row);
    }
    return -1;
}

// The family of a ConfigID, or nullptr when no row has it.
constexpr const TransmitterFamily* findFamily(int configId)
{
    const int row = familyRow(configId);
    return row < 0 ? nullptr : &TransmitterFamilies[static_cast<std::size_t>(row)];
}

// The families that have one parameter: one bit per row of TransmitterFamilies.
class FamilySet {
public:
    constexpr FamilySet() = default;

    // Written with ConfigIDs: FamilySet{2, 3, 5}. A ConfigID without a row, or of a row set
    // aside, does not compile.
    consteval FamilySet(std::initializer_list<int> configIds)
    {
        // Rows, not pointers: a compiler checking addresses (AddressSanitizer) cannot compare a
        // pointer into the table in a constant expression.
        for (const int configId : configIds) {
            const int row = familyRow(configId);
            if (row < 0)
                throw "a ConfigID without a row in TransmitterFamilies";
            if (TransmitterFamilies[static_cast<std::size_t>(row)].setAside)
                throw "a ConfigID that TransmitterFamilies sets aside";
            bits_ |= bitOf(row);
        }
    }

    // Every family of the table but those set aside.
    static consteval FamilySet every()
    {
        FamilySet set;
        for (std::size_t row = 0; row < TransmitterFamilies.size(); ++row) {
            if (!TransmitterFamilies[row].setAside)
                set.bits_ |= bitOf(static_cast<int>(row));
        }
        return set;
    }

    // Whether the family of that ConfigID is in the set; a ConfigID without a family never is.
    constexpr bool contains(int configId) const
    {
        const int row = familyRow(configId);
        return row >= 0 && (bits_ & bitOf(row)) != 0;
    }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr int size() const { return std::popcount(bits_); }

    friend constexpr bool operator==(FamilySet, FamilySet) = default;

private:
    static_assert(TransmitterFamilies.size() <= 64, "one bit per family");
    static constexpr quint64 bitOf(int row) { return quint64{1} << row; }

    quint64 bits_ = 0;
};

// The families a transmitter can be: the parameters they all have are marked with this.
inline constexpr FamilySet EveryFamily = FamilySet::every();

// Whether a transmitter can report this ConfigID: a row of the family table not set aside.
constexpr bool isTransmitterFamily(int configId)
{
    return EveryFamily.contains(configId);
}

} // namespace tunekit
