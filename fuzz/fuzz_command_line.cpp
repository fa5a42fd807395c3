// The command lines of tunekit-cli and tunekit-sim on arbitrary words: whatever a user or a
// script types, parsing ends with options, the text asked for, or a usage error that says
// something, and never with options and an error at once.
#include "cli/cli_options.h"
#include "sim/sim_switches.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // One word per line, as a shell would hand them over; the first byte picks the program.
    if (size == 0)
        return 0;
    const QStringList words = QString::fromUtf8(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1))
                                  .split(QLatin1Char('\n'));
    if (data[0] % 2 == 0) {
        const tunekit::cli::ParsedArguments parsed = tunekit::cli::parseArguments(words);
        check(parsed.options.has_value() == parsed.message.isEmpty());
        check(!parsed.options || !parsed.help);
        if (parsed.options)
            check(!tunekit::cli::commandName(parsed.options->command).isEmpty());
    } else {
        QStringList program{QStringLiteral("tunekit-sim")};
        program << words;
        static_cast<void>(tunekit::parseSimSwitches(program));
    }
    return 0;
}
