#include "report/parameter_report.h"

#include "access/access_level.h"
#include "base/dialogs.h"
#include "files/ansi_text.h"
#include "files/config_file_writer.h"
#include "params/config_defines.h"
#include "params/transmitter_family.h"

#include <QCoreApplication>

#include <array>

namespace tunekit {

namespace {

constexpr std::size_t LevelColumns = AccessLevel::All().size();

// Between the data and the level columns each family with a column caption has one, in the
// family table's order.
QList<TransmitterFamily> ColumnFamilies()
{
    QList<TransmitterFamily> families;
    for (const TransmitterFamily& family : TransmitterFamilies) {
        if (!family.reportColumn.isEmpty())
            families << family;
    }
    return families;
}

// The report is composed with commas between the fields; they become tabs as each line is done.
QString HeaderLine()
{
    QStringList fields = QStringLiteral("Nr,Index,Subindex,Name,,Desc,,Data1,Data2,Data3,Data4,").split(u',');
    for (const TransmitterFamily& family : ColumnFamilies())
        fields << family.reportColumn.toString();
    fields << QStringLiteral(",Level 1,Level 2,Level 3,Service,Produktion,Entwicklung").split(u',');
    return fields.join(u',');
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

// A voltage's decimal comma stays a number; every other comma would split the field.
QString Description(const ConfigDefine& define, Language language)
{
    QString text = TrimBlanks(define.Info(language).replace(QStringLiteral("7,2V"), QStringLiteral("7.2V")));
    text = TrimBlanks(text.replace(QStringLiteral("9,6V"), QStringLiteral("9.6V")));
    return TrimBlanks(text.replace(u',', u';'));
}

// Data1..Data4: the bytes of the 4-byte cell that the value takes.
std::array<QString, 4> DataMarks(const ConfigDefine& define)
{
    std::array<QString, 4> marks;
    const QString x = QStringLiteral("x");
    const int first = define.SByte;
    switch (define.DSize) {
    case 8:
        if (first >= 0 && first <= 3)
            marks[static_cast<std::size_t>(first)] = x;
        break;
    case 16:
        if (first >= 0 && first <= 2)
            marks[static_cast<std::size_t>(first)] = marks[static_cast<std::size_t>(first) + 1] = x;
        break;
    case 32:
    case 1: // the production date takes the whole cell in the device's date encoding
        marks.fill(x);
        break;
    default:
        marks.fill(QStringLiteral("?"));
        break;
    }
    return marks;
}

// Level 1 .. Entwicklung: every level that reaches the parameter.
std::array<QString, LevelColumns> LevelMarks(const ConfigDefine& define)
{
    std::array<QString, LevelColumns> marks;
    for (const AccessLevel level : AccessLevel::All()) {
        if (level.reachesParameter(define.AvaiLevel))
            marks[level.index()] = QStringLiteral("x");
    }
    return marks;
}

QString ParameterLine(int nr, Language language)
{
    const ConfigDefine& define = FindConfigDefine(nr);
    QStringList fields{QString::number(nr), QString::number(static_cast<quint16>(define.HexAdd), 16).toUpper(),
                       QString::number(define.SubAdd), define.Name.toString(), QString(),
                       Description(define, language), QString()};
    for (const QString& mark : DataMarks(define))
        fields << mark;
    fields << QString();
    for (const TransmitterFamily& family : ColumnFamilies())
        fields << (define.families.contains(family.configId) ? QStringLiteral("x") : QString());
    fields << QString();
    for (const QString& mark : LevelMarks(define))
        fields << mark;
    return fields.join(u',');
}

QString Tr(const char* text)
{
    return QCoreApplication::translate("ParameterReport", text);
}

} // namespace

QString ReportFileFilter()
{
    return QStringLiteral("ExcelDatei (*.xls)|*.xls");
}

QStringList ReportLines(Language language)
{
    QStringList lines{HeaderLine()};
    for (int nr = 2; nr <= ParamCount; ++nr)
        lines << ParameterLine(nr, language);
    for (QString& line : lines)
        line.replace(u',', u'\t');
    return lines;
}

QByteArray ComposeReport(Language language)
{
    QByteArray out;
    for (const QString& line : ReportLines(language)) {
        out += ToAnsi(line);
        out += "\r\n";
    }
    return out;
}

ReportOutcome generateReport(Dialogs& dialogs, Language language)
{
    const QString path = dialogs.SaveFileName(ReportFileFilter(), QString());
    if (path.isEmpty())
        return ReportOutcome::Cancelled;
    // A report that could not be written must not pass for one that was.
    const QString failure = SaveConfigFile(path, ComposeReport(language));
    if (failure.isEmpty())
        return ReportOutcome::Written;
    dialogs.MsgBox(failure, MsgButtons::Ok, MsgIcon::Exclamation, Tr(QT_TRANSLATE_NOOP("ParameterReport", "Error")));
    return ReportOutcome::Failed;
}

} // namespace tunekit
