#pragma once

#include "params/device_image.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tunekit {

struct ConfigDefine;

// How a parameter's value becomes the bytes of its cell. One set of rules for the check before
// a write and for the write itself, so that nothing passes the check and is then left out.
//
// A value is a whole number written as an optional sign and decimal digits ("20", "-3"); "20.0",
// "1e1" or "0x14" are no values a cell takes. The production date is "dd.mm.yyyy".
std::optional<qint64> wholeNumber(const QString& text);

// Upload data encodings, low byte first; std::nullopt when the text holds no value the cell
// holds exactly (nothing is rounded or clamped).
// 8 bits: 0..255, a "signed char" -128..127 (a negative value increased by 256).
std::optional<QByteArray> encode8Bit(const QString& text, bool isSigned = false);
// 16 bits: 0..65535.
std::optional<QByteArray> encode16Bit(const QString& text);
// 32 bits with bit 31 clear (the device reads the cell as signed): 0..2147483647; -1, as an
// erased cell reads, gives FF FF FF FF.
std::optional<QByteArray> encode32Bit(const QString& text);
// Day, month, year - 2000 of a real date from 01.01.2001 to 31.12.2254 (the years a read
// shows); "00.00.0000", the date that is not set, gives zeros; -1, as an erased date cell reads,
// gives FF FF FF FF.
std::optional<QByteArray> encodeDate(const QString& text);
// FreqComp: -10..10 as the shown value + 10; 21..255, which a read shows unchanged, as it is.
std::optional<QByteArray> encodeFreqComp(const QString& text);
// The cell of GainComp and PhaseComp: low byte the gain, high byte the phase, each -128..127.
std::optional<QByteArray> encodeGainPhase(const QString& phase, const QString& gain);
// By the parameter's cell encoding: 8 bits (signed or not), 16, 32 bits or the production date.
std::optional<QByteArray> encodeByCellEncoding(const ConfigDefine& define, const QString& text);

// Calibration values are written only where the user allows it.
enum class CalibrationKind { None, Frequency, GainPhase };

// One Upload of a parameter write.
struct CellUpload {
    int index = 0;
    int subindex = 0;
    QByteArray data;
    QList<int> parameters; // the parameters the cell carries
    CalibrationKind calibration = CalibrationKind::None;
};

struct ParameterCells {
    QList<CellUpload> uploads;
    // Values no cell can take as they are, and values missing from a cell they share with one
    // that is written (the device's byte would be overwritten with 0): nothing may be sent.
    QStringList unwritable;
};

// The Uploads that write the chosen parameters (chosen: to be written; empty values are not),
// from the values alone, in parameter order. Parameters without an encoding of their own (the
// ConfigID's neighbours the firmware sets, the interpreter select) are not written.
ParameterCells parameterCells(const ParamArray<QString>& values, const ParamArray<bool>& chosen);

// A value is outside its stated range when it is a number its description's range does not
// hold; the value an erased cell reads is not (the uninitialised values have their own question).
bool outsideStatedRange(int nr, const QString& value);
// The chosen values outside their stated range, as "Name=value (low..high)".
QStringList valuesOutsideStatedRange(const ParamArray<QString>& values, const ParamArray<bool>& chosen);

} // namespace tunekit
