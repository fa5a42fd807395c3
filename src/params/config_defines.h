#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <string_view>

#include "base/language.h"
#include "params/transmitter_family.h"

namespace tunekit {

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

// How a parameter's value is kept in the bytes of its 4-byte cell, low byte first. (FreqComp is
// kept 10 above the value shown, and the identity and compensation cells are put together from
// several parameters: the rules for those go by the parameter's number, see parameter_cells.h.)
enum class CellEncoding : quint8 {
    Unsigned8,      // one byte, 0..255
    Signed8,        // one byte, -128..127 in two's complement
    Unsigned16,     // two bytes, 0..65535
    Unsigned32,     // the whole cell, 0..2147483647: the cell reads as a signed number, so that
                    // an erased cell (FF FF FF FF) shows -1 and -1 writes it erased again
    ProductionDate, // the whole cell: day, month, year - 2000 in its first three bytes
};

// The bytes of the cell a value of that encoding takes, from the parameter's first byte on.
constexpr int cellBytes(CellEncoding encoding)
{
    switch (encoding) {
    case CellEncoding::Unsigned8:
    case CellEncoding::Signed8:
        return 1;
    case CellEncoding::Unsigned16:
        return 2;
    case CellEncoding::Unsigned32:
    case CellEncoding::ProductionDate:
        return 4;
    }
    return 4;
}

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
    CellEncoding encoding;      // how the value is kept from firstByte on
    bool sharedCell;            // cell shared with other parameters, written as a whole
    QStringView erasedValue;    // value an erased cell shows
    QStringView defaultValue;   // default put in place of an uninitialised value, "" = none
    StatedRange range;          // the range its description states

    QString info(Language language) const
    {
        return (language == Language::German ? descriptionDe : descriptionEn).toString();
    }
    constexpr bool isSigned() const { return encoding == CellEncoding::Signed8; }
};

namespace dictionary {

using enum CellEncoding;

// The dictionary in number order: row n - 1 is parameter n. It is data fixed at build time;
// nothing writes to it. A new parameter is one more row at the end, marked with the families
// that have it (EveryFamily when every transmitter has it).
// OptMantisse (index 0x2308, families 3 and 5) is not carried: it has no number, so nothing that walks the
// parameters by number (overview, read, write, files, report) could ever reach it, and giving it
// one would start sending index 0x2308 to devices that were never asked for it.
inline constexpr auto ConfigDefines = std::to_array<ConfigDefine>({
    // nr, name, descriptionDe, descriptionEn, lowestLevel, families,
    //  index, subindex, firstByte, encoding, sharedCell, erasedValue, defaultValue, stated range
    {1, u"ConfigID", u"Config-ID des Geräts", u"Devices' Config-ID", 0, EveryFamily,
     0x2000, 0, 0, Unsigned8, false, u" ", u"", {}},
    {2, u"SystemAddress", u"Systemadresse im HVX-Format", u"System address in HVX format", 10, EveryFamily,
     0x2101, 0, 0, Unsigned16, true, u"65535", u"0", {}},
    {3, u"OemCode", u"OEM Code im HVX-Format", u"OEM Code in HVX format", 10, EveryFamily,
     0x2101, 0, 2, Unsigned8, true, u"255", u"0", {}},
    {4, u"ProdGrp", u"Produktgruppe", u"Product group", 10, EveryFamily,
     0x2101, 0, 3, Unsigned8, true, u"255", u"0", {}},
    {5, u"ShutdownDelay", u"[ms] Ausschaltverzögerung (0=deaktiviert)", u"[ms] (0=disable)", 40, EveryFamily,
     0x2201, 0, 0, Unsigned16, false, u"65535", u"500", {}},
    {6, u"AutoPowerdown", u"[s] automatisches Standby (0=deaktiviert)", u"[s] (0=disable)", 20, FamilySet{1, 2, 3, 4, 5, 10, 50, 51, 53},
     0x2202, 0, 0, Unsigned16, false, u"65535", u"0", {}},
    {7, u"TransmitPower", u"(0-27 ; 27=standard) Sendeleistung", u"0-27 (27=standard)", 20, EveryFamily,
     0x2203, 0, 0, Unsigned8, false, u"255", u"27", {0, 27}},
    {8, u"ChannelStart", u"(1-67) Typ=1 Startkanal", u"(1-67) Typ=1", 20, EveryFamily,
     0x2204, 0, 0, Unsigned8, false, u"255", u"1", {1, 67}},
    {9, u"ChannelStop", u"(1-67) Typ=67 Endkanal", u"(1-67) Typ=67", 20, EveryFamily,
     0x2204, 1, 0, Unsigned8, false, u"255", u"67", {1, 67}},
    {10, u"ChannelBlockStart", u"(1-67) (0=deaktiviert) Start gesperrter Bereich", u"(1-67) (0=disable)", 20, EveryFamily,
     0x2204, 2, 0, Unsigned8, false, u"255", u"0", {0, 67}},
    {11, u"ChannelBlockStop", u"(1-67) (0=deaktiviert) Ende gesperrter Bereich", u"(1-67) (0=disable)", 20, EveryFamily,
     0x2204, 3, 0, Unsigned8, false, u"255", u"0", {0, 67}},
    {12, u"ChannelStep", u"Typ=1 Kanalschrittweite", u"Typ=1", 20, EveryFamily,
     0x2204, 4, 0, Unsigned8, false, u"255", u"1", {}},
    {13, u"BatteryType", u"1=2xAA, 2=3xAAA, 3=HVX 7,2V Batterietyp", u"1=2xAA, 2=3xAAA, 3=HVX 7,2V", 40, FamilySet{1, 2, 3, 4, 5, 10, 50, 51, 53},
     0x2301, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {14, u"ProductionDate", u"Produktionsdatum (z.B. 01.01.2001)", u"(z.B. 01.01.2001) Production date", 50, EveryFamily,
     0x2302, 0, 0, ProductionDate, false, u"", u"", {}},
    {15, u"ProductionNumber", u"Produktionsnummer", u"Production number", 50, EveryFamily,
     0x2303, 0, 0, Unsigned32, false, u"287571967", u"", {}},
    {16, u"InterpreterSelect", u"0=deaktiviert, 1=Flash, 2..255=Image", u"0=disable, 1=Flash, 2..255=Image", 40, EveryFamily,
     0x2401, 0, 0, Unsigned8, false, u"255", u"1", {}},
    {17, u"FreqComp", u"(-10 .. +10) Frequenzkompensation, 225Hz-Schritte", u"(-10 .. +10) Frequency compensation, 225Hz steps", 40, EveryFamily,
     0x2501, 0, 0, Unsigned8, false, u"255", u"", {-10, 10}},
    {18, u"Deviation", u"(0..255) Hub", u"(0..255)", 60, FamilySet{10},
     0x2502, 0, 0, Unsigned8, false, u"255", u"30", {0, 255}},
    {19, u"GainComp", u"(-128..127) Verstärkungskompensation", u"(-128..127) Gain compensation", 40, FamilySet{2, 3, 4, 5, 10, 50, 51, 52, 53},
     0x2503, 0, 0, Signed8, true, u"-1", u"", {-128, 127}},
    {20, u"PhaseComp", u"(-128..127) Phasenkompensation", u"(-128..127) Phase compensation", 40, FamilySet{2, 3, 4, 5, 10, 50, 51, 52, 53},
     0x2503, 0, 1, Signed8, true, u"-1", u"", {-128, 127}},
    {21, u"FreqBand", u"0=Europa/USA, 1=China, 2=Japan, 3=Korea ...", u"0=Europe/USA, 1=China, 2=Japan, 3=Korea ...", 50, FamilySet{2, 3, 5, 10, 50, 51, 52, 53},
     0x2504, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {22, u"BaseFreqval", u"(0..4M+) Grundfrequenzwert", u"(0..4M+) Basic Frequency", 60, FamilySet{10},
     0x2510, 0, 0, Unsigned32, false, u"287571967", u"3796992", {}},
    {23, u"FreqMgmnt", u"(0..4) Typ des Freq.-Managements", u"(0..4) Frequency Management", 40, FamilySet{50},
     0x2601, 0, 0, Unsigned8, false, u"255", u"0", {0, 4}},
    {24, u"Brk", u"(0, 1) 0=immer an, 1=nur bei Bit B3D4", u"(0, 1) 0=always on, 1=on B3D4 only", 40, FamilySet{50},
     0x2701, 0, 0, Unsigned8, false, u"255", u"0", {0, 1}},
    {25, u"FreqUm", u"(0, 1) 0=Std, 1=wie bei Zendro", u"(0, 1) 0=Std, 1=Zendro", 40, FamilySet{50},
     0x2702, 0, 0, Unsigned8, false, u"255", u"0", {0, 1}},
    {26, u"LedBrightness", u"(0..10) Helligkeit d. Beleuchtung", u"(0..10)", 20, FamilySet{2, 3, 4, 5, 10, 51},
     0x2703, 0, 0, Unsigned8, false, u"255", u"0", {0, 10}},
    {27, u"RfOptions", u"(0..255) Optionen HF-Teil", u"(0..255) Radio Options", 60, FamilySet{10},
     0x2801, 0, 0, Unsigned8, false, u"255", u"34", {0, 255}},
    {28, u"TxPeriod", u"(0..65535)Länge Sendeperiode", u"(0..65535)", 60, FamilySet{10},
     0x2802, 0, 0, Unsigned16, false, u"65535", u"0", {0, 65535}},
    {29, u"Preamble", u"(0..255) Länge der Präambel", u"(0..255) Length of Preamble", 60, FamilySet{10},
     0x2803, 0, 0, Unsigned8, false, u"255", u"0", {0, 255}},
    {30, u"MinRSSI", u"(-128..127) Minimale Feldstärke", u"(-128..127) Minimal field strength", 40, FamilySet{2, 3, 5, 10, 50, 51, 52, 53},
     0x2804, 0, 0, Signed8, false, u"-1", u"-95", {-128, 127}},
    {31, u"RxTxDel", u"(0..255) RX-TX-Verzögerung", u"(0..255) Rx to Tx Delay", 60, FamilySet{10},
     0x2805, 0, 0, Unsigned8, false, u"255", u"0", {0, 255}},
    {32, u"RqMpm", u"Empfangsqualität - Messungen pro Minute", u"Radio quality - Measurements per minute", 60, FamilySet{10},
     0x2807, 0, 0, Unsigned8, false, u"255", u"120", {}},
    {33, u"Charger", u"Ladegerät 0=aus, 1=an", u"0=off, 1=on", 40, FamilySet{2, 3, 5, 10, 51},
     0x2304, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {34, u"ScanDelay", u"(0..65535) Scan-Verzögerung", u"(0..65535)", 60, FamilySet{10},
     0x2806, 0, 0, Unsigned16, false, u"65535", u"0", {0, 65535}},
    {35, u"LbtMode", u"(0=aus  1.. =LbtModus) Listen before talk", u"(0=off  1.. =LbtMode) Listen before talk", 40, FamilySet{2, 3, 5, 10, 51, 53},
     0x2505, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {36, u"MultiUserID", u"(0..255) Multi-User-ID", u"(0..255) Multi-User-ID", 40, FamilySet{51},
     0x2704, 0, 0, Unsigned8, false, u"255", u"0", {0, 255}},
    {37, u"MultiUserType", u"(0..255) Multi-User-Typ", u"(0..255) Multi-User-Type", 40, FamilySet{51},
     0x2705, 0, 0, Unsigned8, false, u"255", u"0", {0, 255}},
    {38, u"ZeroPos", u"Nullstellung", u"Zero Position", 30, FamilySet{52},
     0x2900, 0, 0, Unsigned8, false, u"255", u"127", {}},
    {39, u"PowerMin", u"(0..3000) Minimalschwelle Lenkung", u"(0..3000) Minimum value for steering", 30, FamilySet{52},
     0x2901, 0, 0, Unsigned16, false, u"65535", u"0", {0, 3000}},
    {40, u"MaxAngle", u"Maximaler Servo-Winkel", u"Maximum servo angle", 30, FamilySet{52},
     0x2902, 0, 0, Unsigned8, false, u"255", u"80", {}},
    {41, u"DeadMiddle", u"Nullzonen-Offset", u"zero area offset", 30, FamilySet{52},
     0x2903, 0, 0, Unsigned8, false, u"255", u"4", {}},
    {42, u"ContraSignal", u"Contra Signal", u"Contra Signal", 10, FamilySet{52},
     0x2904, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {43, u"InclinometerLimit", u"Neigungssensor-Schwelle", u"Inclinometer limit", 10, FamilySet{52},
     0x2905, 0, 0, Unsigned8, false, u"255", u"30", {}},
    {44, u"RFType", u"Typ des HF-Teils", u"Type of radio part", 40, FamilySet{3, 5},
     0x2810, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {45, u"RssiLnaMin", u"Einschaltschwelle LNA", u"Threshold activation of LNA", 40, FamilySet{3, 5},
     0x2808, 0, 0, Signed8, false, u"255", u"0", {}},
    {46, u"RssiLnaMax", u"Ausschaltschwelle LNA", u"Threshold deactivation of LNA", 40, FamilySet{3, 5},
     0x2809, 0, 0, Signed8, false, u"255", u"0", {}},
    {47, u"StopButton", u"Funktion Stopp-Knopf (0=Taster; 1=Schalter)", u"Function of Stop Button (0=push-button; 1=switch)", 40, FamilySet{3, 5},
     0x2305, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {48, u"JoyDisable", u"Deaktivierung nicht vorhandener Joysticks", u"Deactivation of unused joysticks", 40, FamilySet{3, 5},
     0x2306, 0, 0, Unsigned16, false, u"65535", u"0", {}},
    {49, u"JoyInvert", u"Joystickrichtung drehen", u"Change the joystick directione", 30, FamilySet{3, 5},
     0x2310, 0, 0, Unsigned16, false, u"65535", u"0", {}},
    {50, u"LcdType", u"Typ des verwendeten LCD", u"type of used LCD", 40, FamilySet{3, 5},
     0x2307, 0, 0, Unsigned8, false, u"255", u"254", {}},
    {51, u"OptDip", u"Optionen für Dip-Schalter", u"Dip-switch options", 40, FamilySet{3, 5},
     0x2402, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {52, u"OptSummer", u"Optionen für Summer", u"buzzer options", 40, FamilySet{3, 5},
     0x2403, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {53, u"OptKulisse", u"Optionen für Kulisse", u"Point-selector options", 40, FamilySet{3, 5},
     0x2404, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {54, u"JoyAssembly", u"Bestückungsvariante der Joysticks", u"type of joysticks used", 40, FamilySet{3, 5},
     0x2309, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {55, u"ZeroPos1", u"Null-Position 1", u"zero position 1", 30, FamilySet{53},
     0x2910, 0, 0, Unsigned16, false, u"65535", u"2048", {}},
    {56, u"ZeroPos2", u"Null-Position 2", u"zero position 2", 30, FamilySet{53},
     0x2911, 0, 0, Unsigned16, false, u"65535", u"2048", {}},
    {57, u"OffsetWarning", u"Abstand Warnschwelle", u"offset warning", 30, FamilySet{53},
     0x2912, 0, 0, Unsigned16, false, u"65535", u"65", {}},
    {58, u"OffsetStop", u"Abstand Stoppschwelle", u"offset stop", 30, FamilySet{53},
     0x2913, 0, 0, Unsigned16, false, u"65535", u"135", {}},
    {59, u"DelayWarning", u"Verzögerung Warnschwelle", u"delay warning", 30, FamilySet{53},
     0x2914, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {60, u"DelayStop", u"Verzögerung Abschaltschwelle", u"delay stop", 30, FamilySet{53},
     0x2915, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {61, u"InclOptions", u"Optionen Neigungssensor", u"inclinometer options", 30, FamilySet{53},
     0x2916, 0, 0, Unsigned8, false, u"255", u"0", {}},
    {62, u"LCDContrast", u"LCD Kontrast", u"LCD Contrast", 20, FamilySet{5},
     0x2706, 0, 0, Unsigned8, false, u"255", u"0", {}},
});

constexpr bool numberedByPosition()
{
    for (std::size_t row = 0; row < ConfigDefines.size(); ++row) {
        if (ConfigDefines[row].nr != static_cast<int>(row) + 1)
            return false;
    }
    return true;
}
static_assert(numberedByPosition(), "parameters are numbered 1, 2, 3 ... in the order of their rows");

constexpr bool fitsItsCell(const ConfigDefine& define)
{
    return define.firstByte >= 0 && define.firstByte + cellBytes(define.encoding) <= 4;
}
static_assert(std::ranges::all_of(ConfigDefines, fitsItsCell), "a value lies inside its 4-byte cell");

} // namespace dictionary

// Parameters are numbered 1..ParamCount; parameter-indexed tables are std::array<T, ParamCount + 1>
// indexed by Nr, slot 0 unused.
constexpr int ParamCount = static_cast<int>(dictionary::ConfigDefines.size());

// The numbers the program treats by name name those parameters.
constexpr bool numberNames(int nr, QStringView name)
{
    if (nr < 1 || nr > ParamCount)
        return false;
    const QStringView rowName = dictionary::ConfigDefines[static_cast<std::size_t>(nr - 1)].name;
    return std::ranges::equal(std::u16string_view(rowName.utf16(), static_cast<std::size_t>(rowName.size())),
                              std::u16string_view(name.utf16(), static_cast<std::size_t>(name.size())));
}
static_assert(numberNames(ConfigIdNr, u"ConfigID") && numberNames(SystemAddressNr, u"SystemAddress")
              && numberNames(OemCodeNr, u"OemCode") && numberNames(ProdGrpNr, u"ProdGrp")
              && numberNames(ChannelStopNr, u"ChannelStop") && numberNames(ProductionDateNr, u"ProductionDate")
              && numberNames(ProductionNumberNr, u"ProductionNumber") && numberNames(InterpreterSelectNr, u"InterpreterSelect")
              && numberNames(FreqCompNr, u"FreqComp") && numberNames(GainCompNr, u"GainComp")
              && numberNames(PhaseCompNr, u"PhaseComp") && numberNames(FreqBandNr, u"FreqBand"));

// The record for number nr, or the default record (Nr 0, lowest level 1000, no family) when no
// entry has that number.
const ConfigDefine& findConfigDefine(int nr);
// Exact, case-sensitive name match; "ComfigID" also finds entry 1. A name is never read as a
// number: "5" finds the default record.
const ConfigDefine& findConfigDefine(QStringView name);

// Whether parameter nr exists on devices with that ConfigID. Numbers without an entry, and
// ConfigIDs without a family (0, no device, among them), never apply.
bool isApplicable(int nr, int deviceConfigId);
// Applicable marks 1..ParamCount for a device ConfigID; index 0 is unused and false. ConfigID 0 (no
// device) marks nothing.
std::array<bool, ParamCount + 1> applicableMarks(int deviceConfigId);

} // namespace tunekit
