#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>

namespace tunekit {

class Dialogs;

// The transmitter's identity (SystemAddress, OemCode, ProdGrp) travels as one 10-character
// serial number. Everything here is pure: what the windows show comes back as data.

struct SerialEncoding {
    QString serial;
    // The OEM code is not admissible with product group 0; the caller sets the image's
    // OemCode to "0" (without a changed mark).
    bool oemRejected = false;
};

// Serial number of the three image values. productGroupText is the image text of ProdGrp,
// imageConfigId the ConfigID the device image belongs to. Addresses outside 1..65535 and,
// for product-group serials, OEM codes outside 0..999 give "" (they cannot form 10 digits).
SerialEncoding encodeSerialNumber(qint32 address, qint32 oem, qint32 group,
                                  const QString& productGroupText, int imageConfigId, Dialogs& dialogs);

// Scrambled serial for the prefix codes 999, 983..987, 989, 990, or the letter serial for
// 9880 ("9880" + marked address + "H", 10 characters only for five-digit numbers).
// Any other code, or an address outside 0..65535, gives "".
QString encodeScrambledSerial(int code, qint32 address);

// Check digit 0..9 over the first nine characters; -1 when there are fewer than nine or one
// of them is not a digit 0-9 (so it never matches a serial's tenth character).
int serialCheckDigit(QStringView text);

// Bit 15 := bit 15 XOR parity of bits 0..14; its own inverse. The value is 16 bits wide,
// anything above bit 15 is dropped.
quint32 parityMark(quint32 number);

// Captions of the labels InternalAddress, valueHigh, valueLow and DirectAddress.
struct AddressLabels {
    QString internalAddress;
    QString valueHigh;
    QString valueLow;
    QString directAddress;
};

struct SystemAddressDecoding {
    QString address; // decimal 0..65535, or ""
    AddressLabels labels; // all four are emptied by decoding, so apply all four
};

// Decoders. A serial that is not 10 characters long, or has a non-digit where its family
// carries digits, decodes to "" in all three. Addresses that do not fit 16 bits give "".
// internalValuesShown: the labels also tell the internal and the system address.
SystemAddressDecoding systemAddressFromSerial(QStringView serial, bool internalValuesShown);
QString oemCodeFromSerial(QStringView serial);
QString productGroupFromSerial(QStringView serial);

struct InternalNumber {
    QString digits;  // the six unscrambled digits, parity bit still in; "" when unreadable
    QString caption; // "Intern: " + digits for InternalAddress; "" when unreadable
};
// Reads characters 4..9 of the serial (at least nine characters, digits there).
InternalNumber internalNumberFromSerial(QStringView serial);

// The system address as two DIP switch banks, 18 columns: bits 0..7 in columns 0..7,
// bits 8..15 in columns 10..17.
constexpr int DipColumnCount = 18;
constexpr int dipColumnOfBit(int bit) noexcept { return bit < 8 ? bit : bit + 2; }

struct DipPattern {
    bool drawBits = false;        // false when the value is empty, not a number or >= 65536
    std::array<bool, 16> bits{};  // bit 0 first
    bool showValues = false;      // internal values shown: set valueLow and valueHigh
    QString valueLow;             // "0F(h) = 15(d)"
    QString valueHigh;
};
DipPattern dipPatternFromSystemAddress(const QString& systemAddressText, bool internalValuesShown);

// New image value of ProductionNumber for the typed text: the text when its leading number
// is at most 4294967296, else "". A text without a leading number reads as 0 and stays.
QString productionNumberFromText(const QString& text);

} // namespace tunekit
