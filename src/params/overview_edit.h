#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace tunekit {

class DeviceImage;
class Dialogs;

// A whole number: optional blanks, an optional sign, digits, optional blanks, nothing else.
// Numbers too long for any parameter come back as a huge value of the right sign.
std::optional<qint64> readWholeNumber(QStringView text);

// The values a parameter can really hold: what the writer encodes into its bytes and the
// next read gives back unchanged.
struct ValueRange {
    qint64 minimum = 0;
    qint64 maximum = 0;
};
ValueRange parameterValueRange(int nr);

// A production date the device can store: "dd.mm.yyyy", a real calendar day of 2001..2254
// (the device keeps the year as year - 2000 in one byte).
bool isStorableProductionDate(QStringView text);

// The image text for a value typed for parameter nr: blanks trimmed, numbers in plain
// decimal; nothing when the text does not fit the parameter (an empty text never fits).
// ProductionNumber is not checked here: it keeps its own limit (productionNumberFromText).
std::optional<QString> checkedParameterText(int nr, const QString& text);

// Before editing the value column: allowed when the edit mark of the row's parameter is set.
// The row's parameter is found by the name in its name column.
bool beforeLabelEdit(const DeviceImage& image, const QString& rowName);

struct OverviewEditResult {
    int nr = 0;                   // parameter of the row, 0 when the name is unknown
    QString rowText;              // what the edited row shows now: always the image value
    bool stored = false;          // the image took the typed value and it is marked changed
    bool clearedFileData = false; // clearFileData ran: refresh the labels and the boxes
    bool identityChanged = false;     // an identity cell changed: show the configuration tab anew (then image.value[nr])
};

// After editing the value column. Typed text that does not fit the parameter is refused with a
// message and the image keeps its value; so does an OEM code the product group does not allow.
// The row always shows the image value afterwards, never a text the image refused.
OverviewEditResult afterLabelEdit(DeviceImage& image, const QString& rowName, const QString& newText,
                                  Dialogs& dialogs);

} // namespace tunekit
