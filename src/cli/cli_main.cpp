// tunekit-cli: the production line's front end of Tunekit. The same logic as the window, with
// seams that answer from the command line; no window system needed.
#include "cli/cli_program.h"
#include "cli/cli_seams.h"
#include "cli/interrupt_watch.h"

#include <QCoreApplication>
#include <QCoroTask>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tunekit"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    tunekit::cli::ProcessSeams process;
    tunekit::cli::CliProgram program(arguments, process.seams());
    // Ctrl-C and SIGTERM stop a running write between two packets instead of ending the program.
    const tunekit::cli::InterruptWatch interrupts([&program] { program.interrupt(); });
    // The command runs as a coroutine; waitFor runs the event loop until it has ended.
    return static_cast<int>(QCoro::waitFor(program.run()));
}
