#pragma once

// The programming adapter's entries in the FTDI driver's registry keys. Plain C++ without Qt,
// so that the Windows build of these files can be checked on any machine.

#include <functional>
#include <string>
#include <vector>

namespace tunekit {

// Which family of Windows the keys are looked up for.
enum class RegistryFamily {
    Nt,    // Windows 2000 and every later Windows
    Win9x, // Windows 95, 98 and ME
    None,  // not Windows: there is no registry
};

// Reads one value under HKEY_LOCAL_MACHINE as text: a string up to its first zero, a binary
// value as a 16-bit number in decimal, "" for a missing key or value.
using RegistryTextReader = std::function<std::string(const std::string& key, const std::string& valueName)>;

// The keys that may hold the adapter's "portName", in the order they are tried.
std::vector<std::string> adapterRegistryKeys(RegistryFamily family);

// The first non-empty "portName" of the adapter's keys ("COM7"), "" when none holds one.
std::string lookupAdapterPortName(RegistryFamily family, const RegistryTextReader& read);

// The number of a "portName": the leading digits from its fourth character on ("COM7" -> 7,
// "COM12x" -> 12); 0 when there are none. Numbers beyond 256 name no port and give 0.
int portNumberOfPortName(const std::string& portName);

} // namespace tunekit
