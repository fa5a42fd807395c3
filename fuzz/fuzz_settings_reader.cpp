// The settings reader on arbitrary bytes: whatever a settings file holds, reading it ends, and
// what it yields stays within what the program can use.
#include "session/settings_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const tunekit::SettingsRead read = tunekit::ReadSettings(bytes);
    if (read.FilePortFound && read.FilePort <= 0)
        std::abort();
    if (read.longDelay && (read.longDelay->seconds < 0 || read.longDelay->seconds > 9))
        std::abort();
    if (read.authText && read.authText->size() > 12)
        std::abort();
    // What was read can be written back and read again without surprises.
    tunekit::SettingsToWrite again;
    again.authFileString = read.authText.value_or(QString());
    const tunekit::SettingsRead reread = tunekit::ReadSettings(tunekit::ComposeSettingsFile(again));
    if (!reread.authText)
        std::abort();
    return 0;
}
