#pragma once

#include "params/device_image.h"

#include <QList>
#include <QString>

namespace tunekit {

// One parameter whose two values differ, in the form the overview shows them.
struct ValueDifference {
    int nr = 0;
    QString name;
    QString left;  // the device's value ("" = none)
    QString right; // the other side's value
};

// The parameters 2..ParamCount selected by `which` whose values differ between the two tables. Values
// that stand for the same number (a leading zero, "+5" and "5") are the same; dates and other
// texts compare as they are.
QList<ValueDifference> compareValues(const ParamArray<QString>& left, const ParamArray<QString>& right,
                                     const ParamArray<bool>& which);

// What writing the file loaded into `withFile` would change on a device whose values are in
// `device`: every applicable parameter the file holds a value for.
QList<ValueDifference> deviceFileDifferences(const ParamArray<QString>& device, const DeviceImage& withFile);

} // namespace tunekit
