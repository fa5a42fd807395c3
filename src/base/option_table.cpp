#include "base/option_table.h"

#include "base/version_info.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tunekit {
namespace {

constexpr OptionEntry StandardOptions[] = {
    {"h|help", "", QT_TRANSLATE_NOOP("OptionTable", "Show this help and end."), "", false},
    {"version", "", QT_TRANSLATE_NOOP("OptionTable", "Show the program's name and version and end."), "", false},
    {"?|help-all", "", "", "", true}, // the help's other names, as Qt's own help option has them
    {"man", "", "", "", true},        // the manual page, which the build writes
    {"bash-completion", "", "", "", true}, // the completion script, which the package installs
};

// --help: the text column, and the width a line is filled to.
constexpr qsizetype TextColumn = 24;
constexpr qsizetype LineWidth = 79;

QString translated(const ProgramManual& manual, const char* text)
{
    return *text ? QCoreApplication::translate(manual.context, text) : QString();
}

QStringList names(const OptionEntry& option)
{
    return QString::fromLatin1(option.names).split(QLatin1Char('|'));
}

// "-o", "--port".
QString dashed(const QString& name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// "-o FILE", "-h, --help", "--port NAME".
QString optionTerm(const QStringList& names, const QString& valueName)
{
    QStringList written;
    for (const QString& name : names)
        written << dashed(name);
    return written.join(QStringLiteral(", ")) + (valueName.isEmpty() ? QString() : QLatin1Char(' ') + valueName);
}

// The words of text in lines of at most LineWidth characters; the lines after the first start
// after indent blanks (the first continues where its caller is).
QString filled(const QString& text, qsizetype indent)
{
    QString filled;
    qsizetype column = indent;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (column > indent && column + 1 + word.size() > LineWidth) {
            filled += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (column > indent) {
            filled += QLatin1Char(' ');
            ++column;
        }
        filled += word;
        column += word.size();
    }
    return filled;
}

// A term and its text as --help lists them: the term indented by two, the text in its column,
// below the term when the term reaches into it.
QString helpRow(const QString& term, const QString& text)
{
    QString row = QStringLiteral("  ") + term;
    if (row.size() + 2 > TextColumn)
        row += QLatin1Char('\n') + QString(TextColumn, QLatin1Char(' '));
    else
        row += QString(TextColumn - row.size(), QLatin1Char(' '));
    return row + filled(text, TextColumn) + QLatin1Char('\n');
}

// Text for roff: backslashes kept, the dashes of an option (every one in "--no-init-defaults")
// as minus signs while a hyphen inside a word ("read-back") stays one, and no line starting as
// a request.
QString roff(const QString& text)
{
    QString out;
    bool inOption = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar before = i == 0 ? QChar(u' ') : text.at(i - 1);
        if (before.isSpace() || QStringLiteral("[](),|/").contains(before))
            inOption = c == QLatin1Char('-');
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\e");
        else if (c == QLatin1Char('-') && inOption)
            out += QStringLiteral("\\-");
        else
            out += c;
    }
    if (out.startsWith(QLatin1Char('.')) || out.startsWith(QLatin1Char('\'')))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

QString roffOptionTerm(const OptionEntry& option)
{
    QStringList written;
    for (const QString& name : names(option))
        written << QStringLiteral("\\fB%1\\fR").arg(roff(dashed(name)));
    const QString valueName = QString::fromLatin1(option.valueName);
    return written.join(QStringLiteral(", "))
           + (valueName.isEmpty() ? QString() : QStringLiteral(" \\fI%1\\fR").arg(roff(valueName)));
}

// A command's term: its name in bold, what follows as it is written.
QString roffCommandTerm(const QString& term)
{
    const qsizetype space = term.indexOf(QLatin1Char(' '));
    return space < 0 ? QStringLiteral("\\fB%1\\fR").arg(roff(term))
                     : QStringLiteral("\\fB%1\\fR %2").arg(roff(term.left(space)), roff(term.mid(space + 1)));
}

QString roffSection(const char* title, std::span<const TermEntry> entries, bool commands)
{
    if (entries.empty())
        return {};
    QString section = QStringLiteral(".SH %1\n").arg(QLatin1StringView(title));
    for (const TermEntry& entry : entries) {
        const QString term = QString::fromLatin1(entry.term);
        section += QStringLiteral(".TP\n%1\n%2\n")
                       .arg(commands ? roffCommandTerm(term) : QStringLiteral("\\fB%1\\fR").arg(roff(term)),
                            roff(QString::fromLatin1(entry.text)));
    }
    return section;
}

// Whether an option or exit status belongs to the help of the manual's command (-1: the program's).
bool appliesTo(unsigned commands, int command)
{
    return command < 0 || (commands & (1u << command)) != 0;
}

QString helpSection(const ProgramManual& manual, const char* title, std::span<const TermEntry> entries, int command = -1)
{
    if (entries.empty())
        return {};
    QString section = QLatin1Char('\n') + QCoreApplication::translate("OptionTable", title) + QLatin1Char('\n');
    for (const TermEntry& entry : entries) {
        if (appliesTo(entry.commands, command))
            section += helpRow(translated(manual, entry.term), translated(manual, entry.text));
    }
    return section;
}

// The word a command's term starts with ("write" of "write FILE.scd [--yes]").
QString commandWord(const TermEntry& command)
{
    return QString::fromLatin1(command.term).section(QLatin1Char(' '), 0, 0);
}

// Every name an option can be given by, with its dashes; hidden ones left out.
QStringList dashedNames(const ProgramManual& manual, int command)
{
    QStringList all;
    const auto add = [&all, command](const OptionEntry& option) {
        if (option.hidden || !appliesTo(option.commands, command))
            return;
        for (const QString& name : names(option))
            all << dashed(name);
    };
    for (const OptionEntry& option : manual.options)
        add(option);
    for (const OptionEntry& option : StandardOptions)
        add(option);
    return all;
}

// Letters to change, add, drop or swap to make one word of the other.
qsizetype editDistance(QStringView a, QStringView b)
{
    const auto size = static_cast<std::size_t>(b.size()) + 1;
    std::vector<qsizetype> before(size), row(size), now(size);
    for (std::size_t j = 0; j < size; ++j)
        row[j] = static_cast<qsizetype>(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        now[0] = i;
        for (std::size_t j = 1; j < size; ++j) {
            const auto k = static_cast<qsizetype>(j);
            const qsizetype change = a[i - 1] == b[k - 1] ? 0 : 1;
            qsizetype best = std::min({row[j] + 1, now[j - 1] + 1, row[j - 1] + change});
            if (i > 1 && k > 1 && a[i - 1] == b[k - 2] && a[i - 2] == b[k - 1])
                best = std::min(best, before[j - 2] + 1);
            now[j] = best;
        }
        before = row;
        row = now;
    }
    return row[size - 1];
}

// Words for the shell, in single quotes.
QString quotedWords(const QStringList& words)
{
    return QLatin1Char('\'') + words.join(QLatin1Char(' ')) + QLatin1Char('\'');
}

} // namespace

QList<QCommandLineOption> parserOptions(const ProgramManual& manual)
{
    QList<QCommandLineOption> options;
    const auto add = [&](const OptionEntry& entry, const char* context) {
        QCommandLineOption option(names(entry),
                                  *entry.text ? QCoreApplication::translate(context, entry.text) : QString(),
                                  translated(manual, entry.valueName), QString::fromLatin1(entry.defaultValue));
        if (entry.hidden)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        options << option;
    };
    for (const OptionEntry& entry : manual.options)
        add(entry, manual.context);
    for (const OptionEntry& entry : StandardOptions)
        add(entry, "OptionTable");
    return options;
}

StandardRequest standardRequestOf(const QCommandLineParser& parser)
{
    if (parser.isSet(QStringLiteral("man")))
        return StandardRequest::ManualPage;
    if (parser.isSet(QStringLiteral("bash-completion")))
        return StandardRequest::BashCompletion;
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return StandardRequest::Help;
    if (parser.isSet(QStringLiteral("version")))
        return StandardRequest::Version;
    return StandardRequest::None;
}

QString standardRequestText(const ProgramManual& manual, StandardRequest request, const QStringList& positional)
{
    switch (request) {
    case StandardRequest::None: return {};
    case StandardRequest::Help:
        return helpText(manual, positional.isEmpty() ? -1 : commandIndex(manual, positional.first()));
    case StandardRequest::Version: return versionText(manual);
    case StandardRequest::ManualPage: return manualPage(manual);
    case StandardRequest::BashCompletion: return bashCompletion(manual);
    }
    return {};
}

int commandIndex(const ProgramManual& manual, QStringView word)
{
    for (std::size_t i = 0; i < manual.commands.size(); ++i) {
        if (commandWord(manual.commands[i]) == word)
            return static_cast<int>(i);
    }
    return -1;
}

QString usageErrorText(const QCommandLineParser& parser, const ProgramManual& manual)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    const QString given = dashed(unknown.first());
    QString text = QCoreApplication::translate("OptionTable", "Unknown option %1.").arg(given);
    if (const QString meant = nearestWord(given, dashedNames(manual, -1)); !meant.isEmpty())
        text += QLatin1Char(' ') + QCoreApplication::translate("OptionTable", "Did you mean %1?").arg(meant);
    return text;
}

QString misplacedOptionText(const QCommandLineParser& parser, const ProgramManual& manual, int command)
{
    if (command < 0)
        return {};
    for (const OptionEntry& option : manual.options) {
        const QString name = names(option).constFirst();
        if (!appliesTo(option.commands, command) && parser.isSet(name)) {
            const QString word = commandWord(manual.commands[static_cast<std::size_t>(command)]);
            return QCoreApplication::translate("OptionTable", "The option %1 does not apply to \"%2\" (see %3 %2 --help).")
                .arg(dashed(name), word, QLatin1StringView(manual.program));
        }
    }
    return {};
}

QString nearestWord(const QString& word, const QStringList& candidates)
{
    // A word that starts exactly one candidate ("--back" for "--backup-dir") means that one.
    QStringList started;
    for (const QString& candidate : candidates) {
        if (word.size() >= 4 && candidate.startsWith(word))
            started << candidate;
    }
    if (started.size() == 1)
        return started.constFirst();
    // Else the nearest, a letter or two off: one for short words, two from seven letters on.
    QString nearest;
    qsizetype best = word.size() >= 7 ? 2 : 1;
    for (const QString& candidate : candidates) {
        const qsizetype distance = editDistance(word, candidate);
        if (distance > 0 && distance <= best && (nearest.isEmpty() || distance < best)) {
            nearest = candidate;
            best = distance;
        }
    }
    return nearest;
}

bool writeAll(std::FILE* stream, QByteArrayView bytes)
{
    const std::size_t written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    return std::fflush(stream) == 0 && written == static_cast<std::size_t>(bytes.size()) && std::ferror(stream) == 0;
}

bool printToStandardOutput(const QString& text)
{
    return writeAll(stdout, text.toLocal8Bit());
}

QString helpText(const ProgramManual& manual, int command)
{
    QString help;
    if (command < 0) {
        help = QCoreApplication::translate("OptionTable", "Usage: %1 %2")
                   .arg(QLatin1StringView(manual.program), translated(manual, manual.synopsis))
               + QLatin1Char('\n');
        for (const QString& paragraph : translated(manual, manual.description).split(QStringLiteral("\n\n")))
            help += QLatin1Char('\n') + filled(paragraph.simplified(), 0) + QLatin1Char('\n');
        help += helpSection(manual, QT_TRANSLATE_NOOP("OptionTable", "Commands:"), manual.commands);
    } else {
        const TermEntry& entry = manual.commands[static_cast<std::size_t>(command)];
        help = QCoreApplication::translate("OptionTable", "Usage: %1 %2 [options]")
                   .arg(QLatin1StringView(manual.program), translated(manual, entry.term))
               + QLatin1Char('\n');
        const QString text = translated(manual, entry.text);
        help += QLatin1Char('\n') + filled(text.left(1).toUpper() + text.mid(1) + QLatin1Char('.'), 0) + QLatin1Char('\n');
    }
    help += QLatin1Char('\n') + QCoreApplication::translate("OptionTable", "Options:") + QLatin1Char('\n');
    const auto row = [&](const OptionEntry& option, const char* context) {
        if (!option.hidden && appliesTo(option.commands, command))
            help += helpRow(optionTerm(names(option), translated(manual, option.valueName)),
                            QCoreApplication::translate(context, option.text));
    };
    for (const OptionEntry& option : manual.options)
        row(option, manual.context);
    for (const OptionEntry& option : StandardOptions)
        row(option, "OptionTable");
    help += helpSection(manual, QT_TRANSLATE_NOOP("OptionTable", "Exit status:"), manual.exitStatus, command);
    help += helpSection(manual, QT_TRANSLATE_NOOP("OptionTable", "Environment:"), manual.environment);
    return help;
}

QString bashCompletion(const ProgramManual& manual)
{
    const QString program = QString::fromLatin1(manual.program);
    QString function = QStringLiteral("_") + program;
    function.replace(QLatin1Char('-'), QLatin1Char('_'));
    QStringList commands;
    for (const TermEntry& command : manual.commands)
        commands << commandWord(command);

    // What the word after an option is: a file (a port is a device file), a folder, one of the
    // values it takes, or anything.
    QString values;
    for (const OptionEntry& option : manual.options) {
        const QString valueName = QString::fromLatin1(option.valueName);
        if (valueName.isEmpty())
            continue;
        QStringList given;
        for (const QString& name : names(option))
            given << dashed(name);
        QString reply = QStringLiteral(":");
        if (valueName == QLatin1StringView("FILE") || valueName == QLatin1StringView("NAME"))
            reply = QStringLiteral("compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\"))");
        else if (valueName == QLatin1StringView("DIR"))
            reply = QStringLiteral("compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- \"$cur\"))");
        else if (valueName.contains(QLatin1Char('|')))
            reply = QStringLiteral("COMPREPLY=($(compgen -W %1 -- \"$cur\"))").arg(quotedWords(valueName.split(QLatin1Char('|'))));
        values += QStringLiteral("        %1) %2; return ;;\n").arg(given.join(QLatin1Char('|')), reply);
    }

    QString script = QStringLiteral("# bash completion for %1, written by %1 --bash-completion\n").arg(program);
    script += function + QStringLiteral("()\n{\n");
    script += QStringLiteral("    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command= word options\n");
    script += QStringLiteral("    COMPREPLY=()\n");
    if (!commands.isEmpty()) {
        script += QStringLiteral("    for word in \"${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do\n"
                                 "        case $word in\n"
                                 "            %1) command=$word; break ;;\n"
                                 "        esac\n"
                                 "    done\n").arg(commands.join(QLatin1Char('|')));
    }
    if (!values.isEmpty())
        script += QStringLiteral("    case $prev in\n") + values + QStringLiteral("    esac\n");
    script += QStringLiteral("    case $command in\n");
    for (int i = 0; i < static_cast<int>(commands.size()); ++i)
        script += QStringLiteral("        %1) options=%2 ;;\n").arg(commands.at(i), quotedWords(dashedNames(manual, i)));
    script += QStringLiteral("        *) options=%1 ;;\n    esac\n").arg(quotedWords(dashedNames(manual, -1)));
    script += QStringLiteral("    if [[ $cur == -* ]]; then\n"
                             "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n");
    if (!commands.isEmpty())
        script += QStringLiteral("    elif [[ -z $command ]]; then\n"
                                 "        COMPREPLY=($(compgen -W %1 -- \"$cur\"))\n").arg(quotedWords(commands));
    script += QStringLiteral("    else\n"
                             "        compopt -o filenames 2>/dev/null\n"
                             "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
                             "    fi\n}\n");
    script += QStringLiteral("complete -F %1 %2\n").arg(function, program);
    return script;
}

QString versionText(const ProgramManual& manual)
{
    return QStringLiteral("%1 %2\n").arg(QLatin1StringView(manual.program), makeVersionInfo().version);
}

QString manualPage(const ProgramManual& manual)
{
    const QString program = QString::fromLatin1(manual.program);
    const VersionInfo version = makeVersionInfo();
    QString page = QStringLiteral(".TH %1 1 \"\" \"%2\" \"User Commands\"\n").arg(program.toUpper(), version.windowTitle());
    page += QStringLiteral(".SH NAME\n%1 \\- %2\n").arg(roff(program), roff(QString::fromLatin1(manual.summary)));
    page += QStringLiteral(".SH SYNOPSIS\n.B %1\n%2\n").arg(roff(program), roff(QString::fromLatin1(manual.synopsis)));
    page += QStringLiteral(".SH DESCRIPTION\n");
    const QStringList paragraphs = QString::fromLatin1(manual.description).split(QStringLiteral("\n\n"));
    for (qsizetype i = 0; i < paragraphs.size(); ++i)
        page += (i > 0 ? QStringLiteral(".PP\n") : QString()) + roff(paragraphs.at(i).simplified()) + QLatin1Char('\n');
    page += roffSection("COMMANDS", manual.commands, true);
    page += QStringLiteral(".SH OPTIONS\n");
    const auto option = [&page](const OptionEntry& entry) {
        if (!entry.hidden)
            page += QStringLiteral(".TP\n%1\n%2\n").arg(roffOptionTerm(entry), roff(QString::fromLatin1(entry.text)));
    };
    for (const OptionEntry& entry : manual.options)
        option(entry);
    for (const OptionEntry& entry : StandardOptions)
        option(entry);
    page += roffSection("EXIT STATUS", manual.exitStatus, false);
    page += roffSection("ENVIRONMENT", manual.environment, false);
    if (*manual.seeAlso)
        page += QStringLiteral(".SH SEE ALSO\n%1\n").arg(roff(QString::fromLatin1(manual.seeAlso)));
    return page;
}

} // namespace tunekit
