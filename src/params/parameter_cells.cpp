#include "params/parameter_cells.h"

#include "params/config_defines.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>

#include <array>

namespace tunekit {

namespace {

QByteArray lowBytesFirst(qint64 value, int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::optional<qint64> inRange(const QString& text, qint64 low, qint64 high)
{
    const std::optional<qint64> value = wholeNumber(text);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

QString named(int nr, const QString& value)
{
    return findConfigDefine(nr).name.toString() + QLatin1Char('=') + value;
}

// A parameter that has no value although its cell is written for another one.
QString missingPartner(int nr, int writtenWith)
{
    return QCoreApplication::translate("ParameterCells", "%1 has no value, but its cell is written with %2")
        .arg(findConfigDefine(nr).name.toString(), findConfigDefine(writtenWith).name.toString());
}

} // namespace

std::optional<qint64> wholeNumber(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]{1,15}$"));
    const QString trimmed = text.trimmed();
    if (!digits.match(trimmed).hasMatch())
        return std::nullopt;
    return trimmed.toLongLong();
}

std::optional<QByteArray> encode8Bit(const QString& text, bool isSigned)
{
    const std::optional<qint64> value = isSigned ? inRange(text, -128, 127) : inRange(text, 0, 255);
    if (!value)
        return std::nullopt;
    return lowBytesFirst(*value < 0 ? *value + 256 : *value, 1);
}

std::optional<QByteArray> encode16Bit(const QString& text)
{
    const std::optional<qint64> value = inRange(text, 0, 0xFFFF);
    return value ? std::optional(lowBytesFirst(*value, 2)) : std::nullopt;
}

std::optional<QByteArray> encode32Bit(const QString& text)
{
    const std::optional<qint64> value = inRange(text, -1, 0x7FFFFFFF);
    if (!value)
        return std::nullopt;
    // -1 is how an erased cell reads: written back, the cell is erased again.
    return *value == -1 ? QByteArray(4, '\xFF') : lowBytesFirst(*value, 4);
}

std::optional<QByteArray> encodeDate(const QString& text)
{
    // How an erased date cell reads: written back, it is erased again.
    if (text.trimmed() == QStringLiteral("-1"))
        return QByteArray(4, '\xFF');
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 3)
        return std::nullopt;
    std::array<qint64, 3> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::optional<qint64> number = inRange(parts[static_cast<qsizetype>(i)], 0, 9999);
        if (!number)
            return std::nullopt;
        numbers[i] = *number;
    }
    const auto [day, month, year] = numbers;
    if (day == 0 && month == 0 && year == 0)
        return QByteArray(3, '\0');
    // A read shows the years 2001..2254 as dates; any other year byte reads as no date.
    if (year < 2001 || year > 2254 || !QDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)).isValid())
        return std::nullopt;
    return lowBytesFirst(day, 1) + lowBytesFirst(month, 1) + lowBytesFirst(year - 2000, 1);
}

std::optional<QByteArray> encodeFreqComp(const QString& text)
{
    const std::optional<qint64> value = wholeNumber(text);
    if (!value)
        return std::nullopt;
    // The device keeps the compensation 10 higher than shown (the read takes 10 off); a cell
    // above 20 (255 = never adjusted) is shown as it is and written back as it is. 11..20 is
    // no value a read shows: it would not read back as itself.
    if (*value >= 21 && *value <= 255)
        return lowBytesFirst(*value, 1);
    if (*value < -10 || *value > 10)
        return std::nullopt;
    return lowBytesFirst(*value + 10, 1);
}

std::optional<QByteArray> encodeGainPhase(const QString& phase, const QString& gain)
{
    const std::optional<QByteArray> phaseByte = encode8Bit(phase, true);
    const std::optional<QByteArray> gainByte = encode8Bit(gain, true);
    if (!phaseByte || !gainByte)
        return std::nullopt;
    return *gainByte + *phaseByte;
}

std::optional<QByteArray> encodeByCellEncoding(const ConfigDefine& define, const QString& text)
{
    switch (define.encoding) {
    case CellEncoding::Unsigned8: return encode8Bit(text, false);
    case CellEncoding::Signed8: return encode8Bit(text, true);
    case CellEncoding::Unsigned16: return encode16Bit(text);
    case CellEncoding::Unsigned32: return encode32Bit(text);
    case CellEncoding::ProductionDate: return encodeDate(text);
    }
    return std::nullopt;
}

namespace {

// The cells several parameters share. Each member needs its value, since the cell goes out
// whole; what no member can be written with is listed, and nothing is given then.
struct SharedCell {
    std::initializer_list<int> members;
    CalibrationKind calibration;
};

std::optional<QByteArray> sharedCellData(const SharedCell& cell, const ParamArray<QString>& values, int chosenOne,
                                         QStringList& unwritable)
{
    bool complete = true;
    for (const int member : cell.members) {
        if (values[member].isEmpty()) {
            unwritable << missingPartner(member, chosenOne);
            complete = false;
        }
    }
    if (!complete)
        return std::nullopt;
    QByteArray data;
    bool encoded = true;
    for (const int member : cell.members) {
        // The address in bytes 0-1, the OEM code in 2, the product group in 3; gain, then phase.
        const std::optional<QByteArray> piece = member == SystemAddressNr ? encode16Bit(values[member])
                                                : member == GainCompNr || member == PhaseCompNr
                                                    ? encode8Bit(values[member], true)
                                                    : encode8Bit(values[member]);
        if (!piece) {
            unwritable << named(member, values[member]);
            encoded = false;
        } else {
            data += *piece;
        }
    }
    return encoded ? std::optional<QByteArray>(data) : std::nullopt;
}

const SharedCell* sharedCellOf(int nr)
{
    static const SharedCell address{{SystemAddressNr, OemCodeNr, ProdGrpNr}, CalibrationKind::None};
    static const SharedCell compensation{{GainCompNr, PhaseCompNr}, CalibrationKind::GainPhase};
    if (nr >= SystemAddressNr && nr <= ProdGrpNr)
        return &address;
    if (nr == GainCompNr || nr == PhaseCompNr)
        return &compensation;
    return nullptr;
}

} // namespace

ParameterCells parameterCells(const ParamArray<QString>& values, const ParamArray<bool>& chosen)
{
    ParameterCells cells;
    ParamArray<bool> done{};
    for (int nr = 1; nr <= ParamCount; ++nr) {
        if (done[nr] || !chosen[nr] || values[nr].isEmpty())
            continue;
        const ConfigDefine& define = findConfigDefine(nr);
        CellUpload upload{define.index, define.subindex, {}, {nr}, CalibrationKind::None};
        std::optional<QByteArray> data;
        if (const SharedCell* shared = sharedCellOf(nr)) {
            for (const int member : shared->members)
                done[member] = true;
            data = sharedCellData(*shared, values, nr, cells.unwritable);
            if (!data)
                continue;
            upload.parameters = QList<int>(shared->members);
            upload.calibration = shared->calibration;
        } else if (nr == FreqCompNr) {
            data = encodeFreqComp(values[nr]);
            upload.calibration = CalibrationKind::Frequency;
        } else {
            data = encodeByCellEncoding(define, values[nr]);
        }
        if (!data) {
            cells.unwritable << named(nr, values[nr]);
            continue;
        }
        upload.data = *data;
        cells.uploads.append(upload);
    }
    return cells;
}

bool outsideStatedRange(int nr, const QString& value)
{
    const ConfigDefine& define = findConfigDefine(nr);
    const std::optional<qint64> number = wholeNumber(value);
    return number && value.trimmed() != define.erasedValue && !define.range.contains(*number);
}

QStringList valuesOutsideStatedRange(const ParamArray<QString>& values, const ParamArray<bool>& chosen)
{
    QStringList outside;
    for (int nr = 1; nr <= ParamCount; ++nr) {
        if (!chosen[nr] || !outsideStatedRange(nr, values[nr]))
            continue;
        const StatedRange range = findConfigDefine(nr).range;
        outside << QStringLiteral("%1 (%2..%3)").arg(named(nr, values[nr])).arg(range.low).arg(range.high);
    }
    return outside;
}

} // namespace tunekit
