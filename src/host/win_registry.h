#pragma once

// Read-only access to the Windows registry, in plain C++ without Qt. Elsewhere there is no
// registry and every value reads as "".

#include <string>

namespace tunekit {

// A value under HKEY_LOCAL_MACHINE as text: a string value up to its first zero character, a
// binary value as a 16-bit number in decimal; "" for a missing key or value.
std::string readLocalMachineText(const std::string& key, const std::string& valueName);

} // namespace tunekit
