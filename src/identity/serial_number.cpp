#include "identity/serial_number.h"

#include "base/dialogs.h"

#include <QCoreApplication>

namespace tunekit {

namespace {

constexpr int SerialLength = 10;
constexpr qint32 AddressLimit = 65536; // SystemAddress is 16 bits wide
constexpr quint64 ProductionNumberLimit = 4294967296ULL;

struct PrefixEntry {
    QStringView text;
    int code; // prefix as a number, as encodeScrambledSerial takes it
    int oem;
};

// Plain OEM serials: prefix + address as five digits.
constexpr std::array<PrefixEntry, 3> PlainPrefixes{{
    {u"98200", 98200, 0},
    {u"98100", 98100, 1},
    {u"98000", 98000, 2},
}};

// Scrambled serials; 9880 is the letter serial.
constexpr std::array<PrefixEntry, 9> ScrambledPrefixes{{
    {u"999", 999, 255},
    {u"983", 983, 254},
    {u"984", 984, 253},
    {u"985", 985, 252},
    {u"986", 986, 251},
    {u"987", 987, 250},
    {u"9880", 9880, 249},
    {u"989", 989, 248},
    {u"990", 990, 247},
}};

constexpr int LetterCode = 9880;

constexpr std::array<QStringView, 3> ProductGroups{{u"45", u"48", u"96"}};

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int digitAt(QStringView s, qsizetype index)
{
    return s[index].unicode() - u'0';
}

// Value of count digits from index; -1 when the range is short or holds a non-digit.
qint64 digitsValue(QStringView s, qsizetype index, qsizetype count)
{
    if (index < 0 || count <= 0 || index + count > s.size())
        return -1;
    qint64 value = 0;
    for (qsizetype i = index; i < index + count; ++i) {
        if (!isDigit(s[i]))
            return -1;
        value = value * 10 + digitAt(s, i);
    }
    return value;
}

bool allDigits(QStringView s, qsizetype index, qsizetype count)
{
    return digitsValue(s, index, count) >= 0;
}

QString padded(qint64 value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

enum class SerialFamily { Unreadable, ProductGroup, PlainOem, Letter, Scrambled, Other };

struct SerialKind {
    SerialFamily family = SerialFamily::Unreadable;
    const PrefixEntry* prefix = nullptr; // PlainOem, Letter, Scrambled
};

// Sorts a serial into its family by its beginning and checks that the family's digit
// fields really hold digits, so no decoder ever reads a letter as a number.
SerialKind classifySerial(QStringView serial)
{
    if (serial.size() != SerialLength)
        return {};
    for (QStringView group : ProductGroups) {
        if (serial.startsWith(group))
            return allDigits(serial, 2, 8) ? SerialKind{SerialFamily::ProductGroup, nullptr}
                                           : SerialKind{};
    }
    for (const PrefixEntry& entry : PlainPrefixes) {
        if (serial.startsWith(entry.text))
            return allDigits(serial, 5, 5) ? SerialKind{SerialFamily::PlainOem, &entry}
                                           : SerialKind{};
    }
    for (const PrefixEntry& entry : ScrambledPrefixes) {
        if (!serial.startsWith(entry.text))
            continue;
        if (entry.code == LetterCode) // the tenth character is the letter, not read
            return allDigits(serial, 4, 5) ? SerialKind{SerialFamily::Letter, &entry}
                                           : SerialKind{};
        return allDigits(serial, 3, 7) ? SerialKind{SerialFamily::Scrambled, &entry}
                                       : SerialKind{};
    }
    return allDigits(serial, 0, SerialLength) ? SerialKind{SerialFamily::Other, nullptr}
                                              : SerialKind{};
}

QString addressText(qint64 address)
{
    return address >= 0 && address < AddressLimit ? QString::number(address) : QString();
}

void showOemRejection(Dialogs& dialogs)
{
    const QString text =
        QCoreApplication::translate("SerialNumber",
                                    "The OEM code is not allowed with this product group value.")
        + QStringLiteral("\r\n")
        + QCoreApplication::translate("SerialNumber",
                                      "Please enter the correct product group first.");
    dialogs.msgBox(text, MsgButtons::Ok, MsgIcon::Information,
                   QCoreApplication::translate("SerialNumber", "Checksum Error"));
}

QString byteCaption(unsigned byte)
{
    return QStringLiteral("%1(h) = %2(d)")
        .arg(QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper())
        .arg(byte);
}

} // namespace

SerialEncoding encodeSerialNumber(qint32 address, qint32 oem, qint32 group,
                                  const QString& productGroupText, int imageConfigId, Dialogs& dialogs)
{
    // A 16-bit address outside 1..65535 cannot be a system address of any family.
    if (address < 1 || address >= AddressLimit)
        return {};

    if (group == 0) {
        for (const PrefixEntry& entry : PlainPrefixes) {
            if (entry.oem == oem)
                return {entry.text.toString() + padded(address, 5), false};
        }
        for (const PrefixEntry& entry : ScrambledPrefixes) {
            if (entry.oem == oem)
                return {encodeScrambledSerial(entry.code, address), false};
        }
        // Nothing read yet: stay quiet, there is no serial number to show.
        if (imageConfigId < 1)
            return {};
        showOemRejection(dialogs);
        return {PlainPrefixes[0].text.toString() + padded(address, 5), true};
    }

    // The OEM code must fit its three digits, or the serial would not be 10 characters.
    if (imageConfigId < 2 || oem < 0 || oem > 999)
        return {};
    for (QStringView productGroup : ProductGroups) {
        if (productGroupText == productGroup)
            return {productGroupText + padded(oem, 3) + padded(address, 5), false};
    }
    return {};
}

QString encodeScrambledSerial(int code, qint32 address)
{
    if (address < 0 || address >= AddressLimit)
        return {};
    const quint32 marked = parityMark(static_cast<quint32>(address));
    if (code == LetterCode)
        return QStringLiteral("9880") + QString::number(marked) + QLatin1Char('H');

    for (const PrefixEntry& entry : ScrambledPrefixes) {
        if (entry.code != code)
            continue;
        const QString digits = padded(marked, 6);
        const auto inverted = [&digits](qsizetype i) {
            return QChar(u'0' + (9 - digitAt(digits, i)));
        };
        QString serial = entry.text.toString();
        for (qsizetype i : {1, 3, 5, 2, 4, 0})
            serial += inverted(i);
        serial += QChar(u'0' + serialCheckDigit(serial));
        return serial;
    }
    return {};
}

int serialCheckDigit(QStringView text)
{
    constexpr std::array<int, 9> weights{4, 3, 2, 7, 6, 5, 4, 3, 2};
    if (!allDigits(text, 0, 9))
        return -1;
    int sum = 0;
    for (qsizetype i = 0; i < 9; ++i)
        sum += weights[static_cast<std::size_t>(i)] * digitAt(text, i);
    const int r = sum % 11;
    return r <= 1 ? 0 : 11 - r;
}

quint32 parityMark(quint32 number)
{
    // Over all 16 bits this is the parity of bits 0..14 plus bit 15 itself.
    const quint32 value = number & 0xFFFFu;
    const bool odd = (qPopulationCount(value) % 2) != 0;
    return (value & 0x7FFFu) | (odd ? 0x8000u : 0u);
}

SystemAddressDecoding systemAddressFromSerial(QStringView serial, bool internalValuesShown)
{
    SystemAddressDecoding result;
    const SerialKind kind = classifySerial(serial);
    switch (kind.family) {
    case SerialFamily::ProductGroup:
    case SerialFamily::PlainOem:
        result.address = addressText(digitsValue(serial, 5, 5));
        break;
    case SerialFamily::Letter: {
        // Only numbers the encoder can produce are accepted; above 16 bits the mark would
        // silently fold them onto some other address.
        const qint64 number = digitsValue(serial, 3, 6);
        if (number < AddressLimit)
            result.address = QString::number(parityMark(static_cast<quint32>(number)));
        break;
    }
    case SerialFamily::Scrambled: {
        if (digitAt(serial, 9) != serialCheckDigit(serial))
            break;
        const auto d = [serial](qsizetype position) { return 9 - digitAt(serial, position - 1); };
        const qint64 number = d(9) * 100000 + d(4) * 10000 + d(7) * 1000 + d(5) * 100
                              + d(8) * 10 + d(6);
        if (number >= AddressLimit)
            break;
        result.address = QString::number(parityMark(static_cast<quint32>(number)));
        if (internalValuesShown) {
            result.labels.internalAddress = internalNumberFromSerial(serial).caption;
            result.labels.directAddress =
                QCoreApplication::translate("SerialNumber", "SysAdr: ") + result.address;
        }
        break;
    }
    case SerialFamily::Other:
    case SerialFamily::Unreadable:
        break;
    }
    return result;
}

QString oemCodeFromSerial(QStringView serial)
{
    const SerialKind kind = classifySerial(serial);
    switch (kind.family) {
    case SerialFamily::ProductGroup:
        return QString::number(digitsValue(serial, 2, 3));
    case SerialFamily::PlainOem:
    case SerialFamily::Letter:
    case SerialFamily::Scrambled:
        return QString::number(kind.prefix->oem);
    case SerialFamily::Other:
        return QStringLiteral("255");
    case SerialFamily::Unreadable:
        break;
    }
    return {};
}

QString productGroupFromSerial(QStringView serial)
{
    switch (classifySerial(serial).family) {
    case SerialFamily::ProductGroup:
        return serial.left(2).toString();
    case SerialFamily::Unreadable:
        return {};
    default:
        return QStringLiteral("0");
    }
}

InternalNumber internalNumberFromSerial(QStringView serial)
{
    if (!allDigits(serial, 3, 6))
        return {};
    const auto t = [serial](qsizetype i) { return QChar(u'0' + (9 - digitAt(serial, 2 + i))); };
    QString digits;
    for (qsizetype i : {6, 1, 4, 2, 5, 3})
        digits += t(i);
    return {digits, QCoreApplication::translate("SerialNumber", "Intern: ") + digits};
}

DipPattern dipPatternFromSystemAddress(const QString& systemAddressText, bool internalValuesShown)
{
    DipPattern pattern;
    bool ok = false;
    const int value = systemAddressText.toInt(&ok);
    if (!ok || value < 0 || value >= AddressLimit)
        return pattern;
    pattern.drawBits = true;
    for (std::size_t bit = 0; bit < pattern.bits.size(); ++bit)
        pattern.bits[bit] = ((value >> bit) & 1) != 0;
    if (internalValuesShown) {
        pattern.showValues = true;
        pattern.valueLow = byteCaption(static_cast<unsigned>(value) & 0xFFu);
        pattern.valueHigh = byteCaption(static_cast<unsigned>(value) >> 8);
    }
    return pattern;
}

QString productionNumberFromText(const QString& text)
{
    // Leading number: blanks, an optional sign, digits and an optional decimal fraction.
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    while (i < text.size() && text[i] == u'0')
        ++i;
    quint64 whole = 0;
    int wholeDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++wholeDigits) {
        if (wholeDigits < 11) // enough to tell it from the limit without overflow
            whole = whole * 10 + static_cast<quint64>(digitAt(text, i));
    }
    bool fractionNonZero = false;
    if (i < text.size() && text[i] == u'.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i)
            fractionNonZero = fractionNonZero || text[i] != u'0';
    }
    const bool tooLarge = !negative
                          && (whole > ProductionNumberLimit
                              || (whole == ProductionNumberLimit && fractionNonZero));
    return tooLarge ? QString() : text;
}

} // namespace tunekit
