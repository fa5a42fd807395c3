#include "params/overview_edit.h"

#include "base/dialogs.h"
#include "identity/serial_number.h"
#include "params/config_defines.h"
#include "params/device_image.h"
#include "params/transmitter_family.h"

#include <QCoreApplication>
#include <QDate>

namespace tunekit {

namespace {

constexpr int FirstStorableYear = 2001; // year byte 1
constexpr int LastStorableYear = 2254;  // year byte 254

// Beyond every parameter's range, small enough never to overflow while reading digits.
constexpr qint64 NumberCap = 1'000'000'000'000'000LL;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// With product group 0 the serial number has no room for OEM codes 3..246; the families that say
// so refuse such a code as it is typed.
bool oemCodeRejected(const DeviceImage& image, qint64 oem)
{
    const TransmitterFamily* family = findFamily(image.imageConfigId);
    return image.value[ProdGrpNr] == u"0" && family != nullptr && family->refusesOemCodeOnEntry && oem >= 3
        && oem <= 246;
}

void showOemRejection(Dialogs& dialogs)
{
    const QString text =
        QCoreApplication::translate("OverviewEdit", "The OEM code is not allowed with this product group value.")
        + QStringLiteral("\r\n")
        + QCoreApplication::translate("OverviewEdit", "Please enter the correct product group first.");
    dialogs.msgBox(text, MsgButtons::Ok, MsgIcon::Information,
                   QCoreApplication::translate("OverviewEdit", "Checksum Error"));
}

void showRangeRefusal(int nr, Dialogs& dialogs)
{
    const QString name = findConfigDefine(nr).name.toString();
    QString text;
    if (nr == ProductionDateNr) {
        text = QCoreApplication::translate("OverviewEdit", "The value of %1 must be a date like 01.01.2001.").arg(name);
    } else {
        // The range the description states, where it states one: that is what the user meant.
        const StatedRange stated = findConfigDefine(nr).range;
        const ValueRange range = stated.stated() ? ValueRange{stated.low, stated.high} : parameterValueRange(nr);
        text = QCoreApplication::translate("OverviewEdit", "The value of %1 must be a whole number from %2 to %3.")
                   .arg(name)
                   .arg(range.minimum)
                   .arg(range.maximum);
    }
    dialogs.msgBox(text, MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Tunekit"));
}

} // namespace

std::optional<qint64> readWholeNumber(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 number = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return std::nullopt;
        number = number < NumberCap ? number * 10 + (text[i].unicode() - u'0') : NumberCap;
    }
    return negative ? -number : number;
}

ValueRange parameterValueRange(int nr)
{
    // Shown as raw - 10; raw values above 20 do not come back as typed.
    if (nr == FreqCompNr)
        return {-10, 10};
    switch (findConfigDefine(nr).encoding) {
    case CellEncoding::Unsigned8:
        return {0, 255};
    case CellEncoding::Signed8:
        return {-128, 127};
    case CellEncoding::Unsigned16:
        return {0, 65535};
    case CellEncoding::Unsigned32:
        // The writer never sets bit 31 and the read takes the four bytes as signed.
        return {0, 2147483647};
    case CellEncoding::ProductionDate:
        break;
    }
    return {};
}

bool isStorableProductionDate(QStringView text)
{
    // The writer takes day, month and year from fixed character positions.
    if (text.size() != 10 || text[2] != u'.' || text[5] != u'.')
        return false;
    for (qsizetype i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        if (!isDigit(text[i]))
            return false;
    }
    const int day = text.mid(0, 2).toInt();
    const int month = text.mid(3, 2).toInt();
    const int year = text.mid(6, 4).toInt();
    return year >= FirstStorableYear && year <= LastStorableYear && QDate(year, month, day).isValid();
}

std::optional<QString> checkedParameterText(int nr, const QString& text)
{
    const QString trimmed = text.trimmed();
    if (findConfigDefine(nr).encoding == CellEncoding::ProductionDate)
        return isStorableProductionDate(trimmed) ? std::optional<QString>(trimmed) : std::nullopt;
    const std::optional<qint64> number = readWholeNumber(trimmed);
    const ValueRange range = parameterValueRange(nr);
    if (!number || *number < range.minimum || *number > range.maximum)
        return std::nullopt;
    // Plain decimal, so that "007" or "+7" compare equal to the dictionary's texts.
    return QString::number(*number);
}

bool beforeLabelEdit(const DeviceImage& image, const QString& rowName)
{
    const int nr = findConfigDefine(rowName).nr;
    return nr >= 2 && nr <= ParamCount && image.editMark[nr];
}

OverviewEditResult afterLabelEdit(DeviceImage& image, const QString& rowName, const QString& newText,
                                  Dialogs& dialogs)
{
    OverviewEditResult result;
    const int nr = findConfigDefine(rowName).nr;
    if (nr < 2 || nr > ParamCount)
        return result;
    result.nr = nr;

    std::optional<QString> accepted;
    if (nr == ProductionNumberNr) {
        accepted = productionNumberFromText(newText.trimmed());
    } else {
        accepted = checkedParameterText(nr, newText);
        if (!accepted) {
            showRangeRefusal(nr, dialogs);
        } else if (nr == OemCodeNr && oemCodeRejected(image, accepted->toLongLong())) {
            showOemRejection(dialogs);
            accepted.reset();
        }
    }

    if (accepted) {
        image.value[nr] = *accepted;
        image.changed[nr] = true;
        result.stored = true;
        result.identityChanged = true;
        // Without the level for this parameter the image must not keep data a write would send.
        if (!image.levelMark[nr]) {
            image.clearFileData();
            result.clearedFileData = true;
        }
    }
    result.rowText = image.value[nr];
    return result;
}

} // namespace tunekit
