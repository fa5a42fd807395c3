#include "base/option_table.h"

#include "base/version_info.h"

#include <QCoreApplication>

namespace tunekit {
namespace {

constexpr OptionEntry StandardOptions[] = {
    {"h|help", "", QT_TRANSLATE_NOOP("OptionTable", "Show this help and end."), "", false},
    {"version", "", QT_TRANSLATE_NOOP("OptionTable", "Show the program's name and version and end."), "", false},
    {"?|help-all", "", "", "", true}, // the help's other names, as Qt's own help option has them
    {"man", "", "", "", true},        // the manual page, which the build writes
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

QString helpSection(const ProgramManual& manual, const char* title, std::span<const TermEntry> entries)
{
    if (entries.empty())
        return {};
    QString section = QLatin1Char('\n') + QCoreApplication::translate("OptionTable", title) + QLatin1Char('\n');
    for (const TermEntry& entry : entries)
        section += helpRow(translated(manual, entry.term), translated(manual, entry.text));
    return section;
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
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return StandardRequest::Help;
    if (parser.isSet(QStringLiteral("version")))
        return StandardRequest::Version;
    return StandardRequest::None;
}

QString standardRequestText(const ProgramManual& manual, StandardRequest request)
{
    switch (request) {
    case StandardRequest::None: return {};
    case StandardRequest::Help: return helpText(manual);
    case StandardRequest::Version: return versionText(manual);
    case StandardRequest::ManualPage: return manualPage(manual);
    }
    return {};
}

QString helpText(const ProgramManual& manual)
{
    QString help = QCoreApplication::translate("OptionTable", "Usage: %1 %2")
                       .arg(QLatin1StringView(manual.program), translated(manual, manual.synopsis))
                   + QLatin1Char('\n');
    for (const QString& paragraph : translated(manual, manual.description).split(QStringLiteral("\n\n")))
        help += QLatin1Char('\n') + filled(paragraph.simplified(), 0) + QLatin1Char('\n');
    help += helpSection(manual, QT_TRANSLATE_NOOP("OptionTable", "Commands:"), manual.commands);
    help += QLatin1Char('\n') + QCoreApplication::translate("OptionTable", "Options:") + QLatin1Char('\n');
    const auto row = [&](const OptionEntry& option, const char* context) {
        if (!option.hidden)
            help += helpRow(optionTerm(names(option), translated(manual, option.valueName)),
                            QCoreApplication::translate(context, option.text));
    };
    for (const OptionEntry& option : manual.options)
        row(option, manual.context);
    for (const OptionEntry& option : StandardOptions)
        row(option, "OptionTable");
    help += helpSection(manual, QT_TRANSLATE_NOOP("OptionTable", "Exit status:"), manual.exitStatus);
    help += helpSection(manual, QT_TRANSLATE_NOOP("OptionTable", "Environment:"), manual.environment);
    return help;
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
