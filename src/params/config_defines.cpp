#include "params/config_defines.h"

namespace tunekit {

namespace {

// Returned for any key that matches no entry: never accessible, on no device family.
constexpr ConfigDefine DefaultConfigDefine{
    0, u"", u"", u"", 1000, FamilySet{}, 0, 0, 0, CellEncoding::Unsigned8, false, u"", u"", {}};

// Some configuration files carry this misspelt key for the ConfigID.
constexpr QStringView ConfigIdAlias = u"ComfigID";

} // namespace

const ConfigDefine& findConfigDefine(int nr)
{
    if (nr < 1 || nr > ParamCount)
        return DefaultConfigDefine;
    return dictionary::ConfigDefines[static_cast<std::size_t>(nr - 1)];
}

const ConfigDefine& findConfigDefine(QStringView name)
{
    for (const ConfigDefine& define : dictionary::ConfigDefines) {
        if (define.name == name || (define.nr == 1 && name == ConfigIdAlias))
            return define;
    }
    return DefaultConfigDefine;
}

bool isApplicable(int nr, int deviceConfigId)
{
    return findConfigDefine(nr).families.contains(deviceConfigId);
}

std::array<bool, ParamCount + 1> applicableMarks(int deviceConfigId)
{
    std::array<bool, ParamCount + 1> marks{};
    for (int nr = 1; nr <= ParamCount; ++nr)
        marks[nr] = isApplicable(nr, deviceConfigId);
    return marks;
}

} // namespace tunekit
