#pragma once

#include "base/language.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/cli_seams.h"
#include "cli/message_codes.h"

#include <QCoreApplication>
#include <QCoroTask>

#include <memory>
#include <vector>

namespace tunekit::cli {

// One command on several channels at once (--port A --port B, --adapter SERIAL): each channel is a
// run of its own on its own port, all in this one thread, so a slow or failing channel holds up
// no other. Prints one line per channel (or one JSON document with a part per channel) and a
// summary; the exit status is 0 only when every channel passed.
class CliChannels {
    Q_DECLARE_TR_FUNCTIONS(Cli)

public:
    CliChannels(const Options& options, UiLanguage& language, const MessageCodes& codes, RunSeams seams);
    QCoro::Task<Exit> run();
    // Stops every channel's running write after the packet on its line (Ctrl-C, SIGTERM).
    void interrupt();

private:
    // Prints each channel's result (one line each, or one --json document) and gives the exit
    // status of them all.
    Exit report(const Console& console, const QStringList& names, const QList<Exit>& exits) const;
    Options options_;
    UiLanguage& language_;
    const MessageCodes& codes_;
    RunSeams seams_;
    std::vector<std::unique_ptr<CliRun>> runs_;
};

} // namespace tunekit::cli
