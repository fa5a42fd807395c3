#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <span>

namespace tunekit {

// One option of a program's command line. Its texts are English sources, translated in the
// table's context for --help; the manual page is English.
struct OptionEntry {
    const char* names;            // "port", "q", or several separated by '|': "h|help"
    const char* valueName = "";   // the value's name ("NAME"); "" for a switch
    const char* text = "";        // what it does
    const char* defaultValue = "";
    bool hidden = false;          // accepted, but neither in --help nor in the manual page
};

// A word and what it means: a command, an exit status, an environment variable.
struct TermEntry {
    const char* term;
    const char* text;
};

// Everything a program's --help and manual page say, from the table its parser is built from,
// so that the help, the manual page and what the program accepts never part.
struct ProgramManual {
    const char* program;          // "tunekit-cli"
    const char* context;          // translation context of every text below
    const char* summary;          // one line: what the program is
    const char* synopsis;         // what follows the program's name: "COMMAND [FILE] [options]"
    const char* description;      // a paragraph
    std::span<const TermEntry> commands;
    std::span<const OptionEntry> options;
    std::span<const TermEntry> exitStatus;
    std::span<const TermEntry> environment;
    const char* seeAlso = "";     // "tunekit-cli(1), tunekit-sim(1)"
};

// The table's options for a QCommandLineParser, followed by those every program has: -h/--help,
// --version and the hidden --man, which the build uses to write the manual page.
QList<QCommandLineOption> parserOptions(const ProgramManual& manual);

// What the options every program has ask for instead of the program's own work.
enum class StandardRequest { None, Help, Version, ManualPage };
StandardRequest standardRequestOf(const QCommandLineParser& parser);

// The text a standard request prints on standard output: --help in the language installed,
// the version as "tunekit-cli 2.13", the manual page in roff (man(7)), English. "" for None.
QString standardRequestText(const ProgramManual& manual, StandardRequest request);

QString helpText(const ProgramManual& manual);
QString versionText(const ProgramManual& manual);
QString manualPage(const ProgramManual& manual);

} // namespace tunekit
