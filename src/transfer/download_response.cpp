#include "transfer/download_response.h"

#include "link/packet_codec.h"
#include "params/config_defines.h"
#include "params/device_image.h"

namespace tunekit {
namespace {

int byte(QByteArrayView data, int n)
{
    return n >= 0 && n < data.size() ? static_cast<quint8>(data[n]) : 0;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Information texts 0x1001..0x1004 and the operating time.
bool decodeInformation(int index, int subindex, QByteArrayView data, ReadState& state, DeviceInformation& info)
{
    if (index >= InfoSourceIndex && index <= InfoHardwareIndex) {
        const int k = index - InfoSourceIndex;
        QByteArray& text = state.infoTexts[static_cast<std::size_t>(k)];
        text = appendTextChunk(text, subindex, data);
        if (index == InfoSourceIndex) {
            if (subindex != 64)
                return false;
            info.source = visibleText(text);
        } else {
            info.texts[static_cast<std::size_t>(k)] = visibleText(text);
        }
        return true;
    }
    if (index == OperatingTimeIndex) {
        const int hours = byte(data, 2) + 256 * byte(data, 3);
        const QString minutes = twoDigits(byte(data, 1));
        info.texts[4] = QString::number(hours) + QLatin1Char(':') + minutes + QLatin1Char(':') + twoDigits(byte(data, 0));
        info.operatingHours = QString::number(hours) + QStringLiteral(" h ") + minutes + QStringLiteral(" min");
        return true;
    }
    return false;
}

// Parameters: one cell can hold several of them, so every parameter at the address is filled.
bool decodeParameters(int index, int subindex, QByteArrayView data, ReadState& state, DeviceImage& image)
{
    bool labelsChanged = false;
    for (int i = 0; i <= ParamCount; ++i) {
        const ConfigDefine& define = findConfigDefine(i);
        const bool addressMatches = index == define.index && subindex == define.subindex;
        if (i == InterpreterSelectNr && addressMatches) {
            state.interpreterSelect = static_cast<qint16>(byte(data, 0));
            image.readBuffer[i] = QString::number(state.interpreterSelect);
            continue;
        }
        if (i == ConfigIdNr && index == define.index) {
            image.deviceConfigId = static_cast<qint16>(byte(data, 0));
            image.readBuffer[i] = QString::number(image.deviceConfigId);
            image.info.reportedConfigId = image.deviceConfigId;
            image.updateApplicable();
            image.updateEditMarks();
            labelsChanged = true;
            continue;
        }
        if (image.received[i] || !addressMatches)
            continue;
        QString value = decodeParameterValue(define, data);
        if (value.isEmpty())
            continue;
        // The device keeps FreqComp offset by 10; values above 20 (255 = erased) pass unchanged.
        if (i == FreqCompNr && value.toInt() <= 20)
            value = QString::number(value.toInt() - 10);
        image.readBuffer[i] = value;
        image.received[i] = true;
        image.changed[i] = false;
        state.newData = true;
    }
    return labelsChanged;
}

// The selected interpreter's block: build time (0, 1) and name (2..7).
bool decodeInterpreterInfo(int index, int subindex, QByteArrayView data, ReadState& state, DeviceInformation& info)
{
    if (subindex == 0) {
        state.interpreterSeconds = static_cast<quint8>(byte(data, 2));
        state.interpreterMinutes = static_cast<quint8>(byte(data, 3));
        return false;
    }
    if (subindex == 1) {
        state.interpreterHour = static_cast<quint8>(byte(data, 0));
        state.interpreterDay = static_cast<quint8>(byte(data, 1));
        state.interpreterMonth = static_cast<quint8>(byte(data, 2));
        state.interpreterYear = static_cast<quint8>(byte(data, 3));
        state.timeDateIndex = index;
        const bool valid = state.interpreterDay < 32 && state.interpreterMonth < 13 && state.interpreterHour < 25
                           && state.interpreterMinutes < 60 && state.interpreterSeconds < 60;
        if (valid) {
            state.interpreterDate = QStringLiteral("%1.%2.%3")
                                        .arg(state.interpreterDay)
                                        .arg(state.interpreterMonth)
                                        .arg(state.interpreterYear + 2000);
            state.interpreterTime = twoDigits(state.interpreterHour) + QLatin1Char(':') + twoDigits(state.interpreterMinutes)
                                    + QLatin1Char(':') + twoDigits(state.interpreterSeconds);
        } else {
            state.interpreterDate = QStringLiteral("-");
            state.interpreterTime.clear();
        }
        return false;
    }
    if (subindex < 2 || subindex > 7)
        return false;
    const QString chars = QString::fromLatin1(data.toByteArray().leftJustified(4, '\0', true));
    const auto trimBlanks = [](QString pair) {
        while (pair.startsWith(QLatin1Char(' ')))
            pair.remove(0, 1);
        while (pair.endsWith(QLatin1Char(' ')))
            pair.chop(1);
        return pair;
    };
    const QString pairs = trimBlanks(chars.left(2)) + trimBlanks(chars.mid(2, 2));
    state.interpreterName = subindex == 2 ? pairs : state.interpreterName + pairs;
    if (subindex != 7)
        return false;

    // Shows the number the block was chosen by, not the image's value, which may be empty or
    // edited but not yet written.
    info.texts[5] = QString::number(state.interpreterSelect);
    // A time and date read from another interpreter's block would be shown under this name.
    const bool dated = state.interpreterDate != QStringLiteral("-") && !state.interpreterTime.isEmpty()
                       && state.timeDateIndex == index;
    if (dated) {
        info.texts[6] = state.interpreterName;
        info.texts[7] = state.interpreterTime + QStringLiteral("  ") + state.interpreterDate;
        info.interpreterName = state.interpreterName;
        info.interpreterDate = state.interpreterTime + QLatin1Char('/') + state.interpreterDate;
    } else {
        info.texts[6] = unknownText();
        info.texts[7] = unknownText();
    }
    return true;
}

} // namespace

qint32 interpreterInfoIndex(int interpreterSelect)
{
    return interpreterSelect == 1 ? InterpreterFlashInfoIndex : InterpreterImageInfoIndex + interpreterSelect - 2;
}

QByteArray appendTextChunk(const QByteArray& text, int subindex, QByteArrayView chunk)
{
    const qsizetype at = 4 * static_cast<qsizetype>(subindex);
    QByteArray result = text.left(at).leftJustified(at, ' ');
    result += chunk;
    const qsizetype nul = result.indexOf('\0');
    if (nul >= 0)
        result.truncate(nul + 1);
    return result;
}

QString visibleText(const QByteArray& text)
{
    const qsizetype nul = text.indexOf('\0');
    return QString::fromLatin1(nul >= 0 ? text.left(nul) : text);
}

QString decodeParameterValue(const ConfigDefine& define, QByteArrayView data)
{
    const int start = define.firstByte;
    switch (define.encoding) {
    case CellEncoding::Unsigned8:
    case CellEncoding::Signed8: {
        int value = byte(data, start);
        if (define.isSigned() && value > 127)
            value -= 256;
        return QString::number(value);
    }
    case CellEncoding::Unsigned16:
        return QString::number(byte(data, start) + 256 * byte(data, start + 1));
    case CellEncoding::Unsigned32: {
        // Read as signed: the writer never sets bit 31, and an erased cell shows as -1.
        const quint32 raw = static_cast<quint32>(byte(data, 0)) | static_cast<quint32>(byte(data, 1)) << 8
                            | static_cast<quint32>(byte(data, 2)) << 16 | static_cast<quint32>(byte(data, 3)) << 24;
        return QString::number(static_cast<qint32>(raw));
    }
    case CellEncoding::ProductionDate: {
        const int day = byte(data, 0);
        const int month = byte(data, 1);
        const int year = byte(data, 2);
        // A unit fresh from production has its date cell erased: shown as -1, as every erased
        // cell reads, so that a backup puts it back erased.
        if (day == 0xFF && month == 0xFF && year == 0xFF)
            return QStringLiteral("-1");
        // A date that is not one (00 00 00 among them): shown as the date that is not set, which
        // writes back as 00 00 00.
        if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1 || year > 254)
            return QStringLiteral("00.00.0000");
        return twoDigits(day) + QLatin1Char('.') + twoDigits(month) + QLatin1Char('.') + QString::number(2000 + year);
    }
    }
    return {};
}

bool decodeDownloadResponse(QByteArrayView packet, ReadState& state, DeviceImage& image)
{
    if (packet.size() < PacketSize)
        return false;
    const int index = packetIndex(packet);
    const int subindex = packetSubindex(packet);
    const QByteArray data = packetData(packet);
    bool labelsChanged = false;
    if (index >= 0x1000 && index <= 0x1FFF) {
        labelsChanged = decodeInformation(index, subindex, data, state, image.info);
    } else if (index >= 0x2000 && index <= 0x2FFF) {
        labelsChanged = decodeParameters(index, subindex, data, state, image);
    } else if (index == state.interpreterInfoIndex
               && ((index >= 0x6000 && index <= 0x6FFF) || index > 0x7000)) {
        labelsChanged = decodeInterpreterInfo(index, subindex, data, state, image.info);
    }
    commitReadBuffer(state, image);
    return labelsChanged;
}

void commitReadBuffer(ReadState& state, DeviceImage& image)
{
    if (!state.newData)
        return;
    for (int i = 0; i <= ParamCount; ++i) {
        if (!image.readBuffer[i].isEmpty())
            image.value[i] = image.applicable[i] ? image.readBuffer[i] : QString();
    }
    state.newData = false;
    // Only an answer that brought values makes the image the device's.
    image.imageConfigId = image.deviceConfigId;
}

} // namespace tunekit
