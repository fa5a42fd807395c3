#include "params/value_compare.h"

namespace tunekit {
namespace {

bool sameValue(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    bool aNumber = false;
    bool bNumber = false;
    const qlonglong x = a.trimmed().toLongLong(&aNumber);
    const qlonglong y = b.trimmed().toLongLong(&bNumber);
    return aNumber && bNumber && x == y;
}

} // namespace

QList<ValueDifference> compareValues(const ParamArray<QString>& left, const ParamArray<QString>& right,
                                     const ParamArray<bool>& which)
{
    QList<ValueDifference> differences;
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        if (which[i] && !sameValue(left[i], right[i]))
            differences.append({nr, findConfigDefine(nr).name.toString(), left[i], right[i]});
    }
    return differences;
}

QList<ValueDifference> deviceFileDifferences(const ParamArray<QString>& device, const DeviceImage& withFile)
{
    ParamArray<bool> inFile{};
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        inFile[i] = withFile.applicable[i] && !withFile.fileValue[i].isEmpty();
    }
    return compareValues(device, withFile.fileValue, inFile);
}

} // namespace tunekit
