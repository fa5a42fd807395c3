#include "host/win_registry.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace tunekit {

#ifdef _WIN32

std::string readLocalMachineText(const std::string& key, const std::string& valueName)
{
    HKEY handle = nullptr;
    // The driver's keys live in the 64-bit view; a 32-bit build must not be redirected.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &handle)
        != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    std::string text;
    if (RegQueryValueExA(handle, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0
        && size <= 4096) {
        std::vector<unsigned char> data(size);
        if (RegQueryValueExA(handle, valueName.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
            data.resize(size);
            if (type == REG_SZ || type == REG_EXPAND_SZ) {
                for (const unsigned char c : data) {
                    if (c == 0)
                        break;
                    text.push_back(static_cast<char>(c));
                }
            } else if (type == REG_BINARY && data.size() >= 2) {
                const unsigned value = static_cast<unsigned>(data[0]) | (static_cast<unsigned>(data[1]) << 8);
                text = std::to_string(static_cast<short>(value));
            }
        }
    }
    RegCloseKey(handle);
    return text;
}

#else

std::string readLocalMachineText(const std::string&, const std::string&)
{
    return {};
}

#endif

} // namespace tunekit
