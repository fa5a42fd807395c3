#include "params/value_compare.h"

namespace tunekit {
namespace {

bool SameValue(const QString& a, const QString& b)
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

QList<ValueDifference> CompareValues(const ParamArray<QString>& left, const ParamArray<QString>& right,
                                     const ParamArray<bool>& which)
{
    QList<ValueDifference> differences;
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        if (which[i] && !SameValue(left[i], right[i]))
            differences.append({nr, FindConfigDefine(nr).Name.toString(), left[i], right[i]});
    }
    return differences;
}

QList<ValueDifference> DeviceFileDifferences(const ParamArray<QString>& device, const DeviceImage& withFile)
{
    ParamArray<bool> inFile{};
    for (int nr = 2; nr <= ParamCount; ++nr) {
        const auto i = static_cast<std::size_t>(nr);
        inFile[i] = withFile.applicable[i] && !withFile.FileValue[i].isEmpty();
    }
    return CompareValues(device, withFile.FileValue, inFile);
}

} // namespace tunekit
