#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>

#include "base/language.h"
#include "params/transmitter_family.h"

namespace tunekit {

// Parameters are numbered 1..62; parameter-indexed tables are std::array<T, ParamCount + 1>
// indexed by Nr, slot 0 unused.
constexpr int ParamCount = 62;

// Numbers of the parameters that the program treats by name.
constexpr int ConfigIdNr = 1;
constexpr int SystemAddressNr = 2;
constexpr int OemCodeNr = 3;
constexpr int ProdGrpNr = 4;
constexpr int ChannelStopNr = 9;
constexpr int ProductionDateNr = 14;
constexpr int ProductionNumberNr = 15;
constexpr int InterpreterSelectNr = 16;
constexpr int FreqCompNr = 17;
constexpr int GainCompNr = 19;
constexpr int PhaseCompNr = 20;
constexpr int FreqBandNr = 21;

// The range of values a parameter's description states ("(1-67)", "(0..10)"); low > high when
// it states none. The device may take more; a value outside is written only when the user says so.
struct StatedRange {
    qint32 low = 0;
    qint32 high = -1;
    constexpr bool stated() const noexcept { return low <= high; }
    constexpr bool contains(qint64 value) const noexcept { return !stated() || (value >= low && value <= high); }
};

// One parameter of the compiled-in dictionary. Texts point at static data and stay valid for the
// whole run.
struct ConfigDefine {
    qint16 nr;
    QStringView name;
    QStringView descriptionDe;
    QStringView descriptionEn;
    qint16 lowestLevel;         // lowest access level that sees and edits it
    FamilySet families;         // the transmitter families that have it
    qint16 index;               // object index in the device
    qint32 subindex;
    qint16 firstByte;           // first byte inside the 4-byte data field
    qint16 bits;                // 8, 16, 32; 1 = production date in the device's date encoding
    QStringView dataType;       // "signed char" or "x" (unsigned)
    bool sharedCell;            // cell shared with other parameters, written as a whole
    bool special;               // needs the special write handling
    QStringView erasedValue;    // value an erased cell shows
    QStringView defaultValue;   // default put in place of an uninitialised value, "" = none
    StatedRange range;          // the range its description states

    QString info(Language language) const
    {
        return (language == Language::German ? descriptionDe : descriptionEn).toString();
    }
    bool isSigned() const { return dataType == u"signed char"; }
};

// The record for number nr, or the default record (Nr 0, lowest level 1000, no family) when no
// entry has that number.
const ConfigDefine& findConfigDefine(int nr);
// Exact, case-sensitive name match; "ComfigID" also finds entry 1. A name is never read as a
// number: "5" finds the default record.
const ConfigDefine& findConfigDefine(QStringView name);

// Whether parameter nr exists on devices with that ConfigID. Numbers without an entry, and
// ConfigIDs without a family (0, no device, among them), never apply.
bool isApplicable(int nr, int deviceConfigId);
// Applicable marks 1..62 for a device ConfigID; index 0 is unused and false. ConfigID 0 (no
// device) marks nothing.
std::array<bool, ParamCount + 1> applicableMarks(int deviceConfigId);

} // namespace tunekit
