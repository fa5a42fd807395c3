#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>

namespace tunekit {

class DeviceImage;
struct ConfigDefine;

// Device addresses of the information the transfers ask for (DownloadRequest).
constexpr int InfoSourceIndex = 0x1001;   // subindexes 0..64
constexpr int InfoVersionIndex = 0x1002;  // 0..1
constexpr int InfoDateIndex = 0x1003;     // 0..4
constexpr int InfoHardwareIndex = 0x1004; // 0..3
constexpr int OperatingTimeIndex = 0x1101;
constexpr int InterpreterFlashInfoIndex = 0x6000;
constexpr int InterpreterImageInfoIndex = 0x7100;

// What an information text shows that the device did not give.
inline QString unknownText()
{
    return QStringLiteral("???");
}

// What reads learn beyond the device image. Owned by the transfers and kept between commands:
// the information texts and the interpreter's time and date are only ever replaced by answers.
struct ReadState {
    qint16 interpreterSelect = 0;     // parameter 16 as last received
    qint32 interpreterInfoIndex = 0;  // where the selected interpreter's block lives; 0 = none
    bool newData = false;             // a response stored a value; the commit clears it
    std::array<QByteArray, 4> infoTexts{}; // 0x1001..0x1004, bytes as received

    // Interpreter block, subindexes 0 and 1.
    quint8 interpreterSeconds = 0;
    quint8 interpreterMinutes = 0;
    quint8 interpreterHour = 0;
    quint8 interpreterDay = 0;
    quint8 interpreterMonth = 0;
    quint8 interpreterYear = 0;       // year - 2000
    qint32 timeDateIndex = 0;         // the block the time and date were read from
    QString interpreterName;
    QString interpreterDate;          // "d.m.yyyy", "-" when not valid
    QString interpreterTime;          // "hh:mm:ss", "" when not valid
};

// 0x6000 for interpreter select 1, else 0x7100 + select - 2.
qint32 interpreterInfoIndex(int interpreterSelect);

// Puts the 4 characters of subindex s at characters 4s+1..4s+4, whatever order the chunks came
// in (a gap is held by blanks), and cuts the text after its first NUL.
QByteArray appendTextChunk(const QByteArray& text, int subindex, QByteArrayView chunk);
// The part of an information text before its NUL, as shown on screen.
QString visibleText(const QByteArray& text);

// The value of one parameter from the 4 data bytes of its cell, by DSize, DType and SByte:
// decimal text, the production date as "dd.mm.yyyy" ("00.00.0000" when it holds no date);
// "" for a size without a decoding.
QString decodeParameterValue(const ConfigDefine& define, QByteArrayView data);

// The DownloadResponse handler: decodes one 8-byte packet into the image and the read state,
// then commits. Returns true when the device information or its reported family changed.
bool decodeDownloadResponse(QByteArrayView packet, ReadState& state, DeviceImage& image);

// Copies the read buffer into the device image when new data arrived; parameters that do not
// apply to the device are emptied.
void commitReadBuffer(ReadState& state, DeviceImage& image);

} // namespace tunekit
