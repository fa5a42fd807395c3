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

constexpr std::size_t LevelColumns = AccessLevel::all().size();

// Between the data and the level columns each family with a column caption has one, in the
// family table's order.
QList<TransmitterFamily> columnFamilies()
{
    QList<TransmitterFamily> families;
    for (const TransmitterFamily& family : TransmitterFamilies) {
        if (!family.reportColumn.isEmpty())
            families << family;
    }
    return families;
}

// The report is composed with commas between the fields; they become tabs as each line is done.
QString headerLine()
{
    QStringList fields = QStringLiteral("Nr,Index,Subindex,Name,,Desc,,Data1,Data2,Data3,Data4,").split(u',');
    for (const TransmitterFamily& family : columnFamilies())
        fields << family.reportColumn.toString();
    fields << QStringLiteral(",Level 1,Level 2,Level 3,Service,Produktion,Entwicklung").split(u',');
    return fields.join(u',');
}

QString trimBlanks(const QString& text)
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
QString description(const ConfigDefine& define, Language language)
{
    QString text = trimBlanks(define.info(language).replace(QStringLiteral("7,2V"), QStringLiteral("7.2V")));
    text = trimBlanks(text.replace(QStringLiteral("9,6V"), QStringLiteral("9.6V")));
    return trimBlanks(text.replace(u',', u';'));
}

// Data1..Data4: the bytes of the 4-byte cell that the value takes.
std::array<QString, 4> dataMarks(const ConfigDefine& define)
{
    std::array<QString, 4> marks;
    const QString x = QStringLiteral("x");
    const int first = define.firstByte;
    switch (define.encoding) {
    case CellEncoding::Unsigned8:
    case CellEncoding::Signed8:
        if (first >= 0 && first <= 3)
            marks[static_cast<std::size_t>(first)] = x;
        break;
    case CellEncoding::Unsigned16:
        if (first >= 0 && first <= 2)
            marks[static_cast<std::size_t>(first)] = marks[static_cast<std::size_t>(first) + 1] = x;
        break;
    case CellEncoding::Unsigned32:
    case CellEncoding::ProductionDate: // the production date takes the whole cell in the device's date encoding
        marks.fill(x);
        break;
    }
    return marks;
}

// Level 1 .. Entwicklung: every level that reaches the parameter.
std::array<QString, LevelColumns> levelMarks(const ConfigDefine& define)
{
    std::array<QString, LevelColumns> marks;
    for (const AccessLevel level : AccessLevel::all()) {
        if (level.reachesParameter(define.lowestLevel))
            marks[level.index()] = QStringLiteral("x");
    }
    return marks;
}

QString parameterLine(int nr, Language language)
{
    const ConfigDefine& define = findConfigDefine(nr);
    QStringList fields{QString::number(nr), QString::number(static_cast<quint16>(define.index), 16).toUpper(),
                       QString::number(define.subindex), define.name.toString(), QString(),
                       description(define, language), QString()};
    for (const QString& mark : dataMarks(define))
        fields << mark;
    fields << QString();
    for (const TransmitterFamily& family : columnFamilies())
        fields << (define.families.contains(family.configId) ? QStringLiteral("x") : QString());
    fields << QString();
    for (const QString& mark : levelMarks(define))
        fields << mark;
    return fields.join(u',');
}


} // namespace

QString reportFileFilter()
{
    return QStringLiteral("ExcelDatei (*.xls)|*.xls");
}

QStringList reportLines(Language language)
{
    QStringList lines{headerLine()};
    for (int nr = 2; nr <= ParamCount; ++nr)
        lines << parameterLine(nr, language);
    for (QString& line : lines)
        line.replace(u',', u'\t');
    return lines;
}

QByteArray composeReport(Language language)
{
    QByteArray out;
    for (const QString& line : reportLines(language)) {
        out += toAnsi(line);
        out += "\r\n";
    }
    return out;
}

QCoro::Task<ReportOutcome> generateReport(Dialogs& dialogs, Language language)
{
    const QString filter = reportFileFilter();
    const QString path = co_await dialogs.saveFileName(filter, QString());
    if (path.isEmpty())
        co_return ReportOutcome::Cancelled;
    // A report that could not be written must not pass for one that was.
    const QString failure = saveConfigFile(path, composeReport(language));
    if (failure.isEmpty())
        co_return ReportOutcome::Written;
    dialogs.msgBox(failure, MsgButtons::Ok, MsgIcon::Exclamation, QCoreApplication::translate("ParameterReport", "Error"));
    co_return ReportOutcome::Failed;
}

} // namespace tunekit
