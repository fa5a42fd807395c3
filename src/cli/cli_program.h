#pragma once

#include "base/language.h"
#include "cli/cli_channels.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/cli_seams.h"
#include "cli/message_codes.h"

#include <QCoroTask>
#include <QStringList>

#include <memory>
#include <optional>

namespace tunekit::cli {

// tunekit-cli from its arguments to its exit status: the language first (so that even a usage
// error speaks it), the command line read, and the command run on one channel or on several. The
// program's main() runs it with the process's seams; the tests run it with their own.
class CliProgram {
public:
    // arguments: without the program's name.
    CliProgram(const QStringList& arguments, RunSeams seams);
    CliProgram(const CliProgram&) = delete;
    CliProgram& operator=(const CliProgram&) = delete;

    // Ends with the exit status; the caller runs the event loop (or the clock) meanwhile.
    QCoro::Task<Exit> run();
    // Ctrl-C or SIGTERM: a running write stops after the packet on the line.
    void interrupt();

private:
    QStringList arguments_;
    RunSeams seams_;
    Language language_;
    UiLanguage ui_;
    std::optional<MessageCodes> codes_; // installed after the language's own translators, in front of them
    std::unique_ptr<CliRun> run_;
    std::unique_ptr<CliChannels> channels_;
};

} // namespace tunekit::cli
