#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <cstdio>
#include <span>

namespace tunekit {

// Every command of a program, as a set of bits (bit i: the manual's command i).
inline constexpr unsigned EveryCommand = ~0u;

// One option of a program's command line. Its texts are English sources, translated in the
// table's context for --help; the manual page is English.
struct OptionEntry {
    const char* names;            // "port", "q", or several separated by '|': "h|help"
    const char* valueName = "";   // the value's name ("NAME"); "" for a switch
    const char* text = "";        // what it does
    const char* defaultValue = "";
    bool hidden = false;          // accepted, but neither in --help nor in the manual page
    unsigned commands = EveryCommand; // the commands it applies to: bit i for the manual's command i
};

// A word and what it means: a command, an exit status, an environment variable.
struct TermEntry {
    const char* term;
    const char* text;
    unsigned commands = EveryCommand; // an exit status: the commands that may end with it
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
enum class StandardRequest { None, Help, Version, ManualPage, BashCompletion };
StandardRequest standardRequestOf(const QCommandLineParser& parser);

// The text a standard request prints on standard output: --help in the language installed (a
// command's own help when the first word names one: "write --help"), the version as
// "tunekit-cli 2.13", the manual page in roff (man(7)), English, the bash completion script.
// "" for None.
QString standardRequestText(const ProgramManual& manual, StandardRequest request,
                            const QStringList& positional = {});

// The manual's command a word names (its term's first word); -1 for none.
int commandIndex(const ProgramManual& manual, QStringView word);

// The usage error of a command line the parser did not take, in the user's language: an unknown
// option names the nearest one the program has.
QString usageErrorText(const QCommandLineParser& parser, const ProgramManual& manual);

// The first option given that does not apply to the manual's command, as a usage error; "" when
// every option given applies.
QString misplacedOptionText(const QCommandLineParser& parser, const ProgramManual& manual, int command);

// Of the candidates, the one a mistyped word most likely meant (a letter or two off, or
// letters swapped); "" when none is that near.
QString nearestWord(const QString& word, const QStringList& candidates);

// Writes bytes to a stream of the process (stdout, stderr) and flushes it; false when it did not
// take all of them (a full disk, a closed pipe).
bool writeAll(std::FILE* stream, QByteArrayView bytes);
// Text to standard output, so: --help or --version to such an output does not end with 0.
bool printToStandardOutput(const QString& text);

// -1: the program's help; else the help of the manual's command i.
QString helpText(const ProgramManual& manual, int command = -1);
// A bash completion script for the program: its commands, and for each the options that apply,
// with files, folders or the values an option takes.
QString bashCompletion(const ProgramManual& manual);
QString versionText(const ProgramManual& manual);
QString manualPage(const ProgramManual& manual);

} // namespace tunekit
