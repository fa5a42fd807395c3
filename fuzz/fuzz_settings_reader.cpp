// The settings reader on arbitrary bytes: whatever a settings file holds, reading it ends, and
// what it yields stays within what the program can use.
#include "session/settings_file.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const tunekit::SettingsRead read = tunekit::readSettings(bytes);
    check(!read.filePortFound || (read.filePort > 0 && read.filePort <= 256));
    check(!read.longDelay || (read.longDelay->seconds >= 0 && read.longDelay->seconds <= 9));
    check(!read.authText || read.authText->size() <= 12);
    // What was read can be written back and read again without surprises.
    tunekit::SettingsToWrite again;
    again.authFileString = read.authText.value_or(QString());
    const tunekit::SettingsRead reread = tunekit::readSettings(tunekit::composeSettingsFile(again));
    check(reread.authText.has_value());
    return 0;
}
