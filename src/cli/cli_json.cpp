#include "cli/cli_json.h"

#include "base/version_info.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tunekit::cli {

QJsonObject jsonDocument(const QString& command)
{
    return QJsonObject{{QStringLiteral("schema"), QLatin1StringView(JsonSchemaName)},
                       {QStringLiteral("command"), command.isEmpty() ? QJsonValue() : QJsonValue(command)},
                       {QStringLiteral("version"), makeVersionInfo().version}};
}

QJsonValue machineValue(const QString& text)
{
    // Beyond 2^53 a JSON number is no longer exact.
    constexpr qint64 exact = qint64(1) << 53;
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (ok && number > -exact && number < exact && QString::number(number) == text)
        return QJsonValue(number);
    return text;
}

QJsonObject messageJson(const QString& code, MsgIcon icon, const QString& title, const QString& text,
                        const QString& answer)
{
    QString severity = QStringLiteral("information");
    switch (icon) {
    case MsgIcon::Critical: severity = QStringLiteral("error"); break;
    case MsgIcon::Exclamation: severity = QStringLiteral("warning"); break;
    case MsgIcon::Question: severity = QStringLiteral("question"); break;
    case MsgIcon::Information:
    case MsgIcon::None: break;
    }
    QJsonObject message{{QStringLiteral("code"), code},
                        {QStringLiteral("severity"), severity},
                        {QStringLiteral("title"), title},
                        {QStringLiteral("text"), text}};
    if (!answer.isEmpty())
        message.insert(QStringLiteral("answer"), answer);
    return message;
}

QString jsonText(const QJsonObject& document)
{
    return QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

// The text of an indented document is "{\n", its fields one a line (four spaces in, a comma
// after all but the last) and "}\n"; an array's elements stand eight spaces in.
QString jsonHead(const QJsonObject& fields, const QString& array)
{
    QString text = jsonText(fields);
    text.chop(2); // "}\n"
    if (!fields.isEmpty())
        text.insert(text.size() - 1, QLatin1Char(','));
    return text + QStringLiteral("    \"") + array + QStringLiteral("\": [\n");
}

QString jsonElement(const QJsonObject& element, bool first)
{
    QByteArray text = QJsonDocument(element).toJson(QJsonDocument::Indented);
    text.chop(1);
    text.replace("\n", "\n        ");
    return QString::fromUtf8(QByteArray(first ? "        " : ",\n        ") + text);
}

QString jsonTail(const QJsonObject& rest, bool anyElement)
{
    const QString close = anyElement ? QStringLiteral("\n    ]") : QStringLiteral("    ]");
    if (rest.isEmpty())
        return close + QStringLiteral("\n}\n");
    return close + QStringLiteral(",\n") + jsonText(rest).mid(2); // without its "{\n"
}

QJsonObject usageErrorJson(const QString& code, const QString& message)
{
    QJsonObject document = jsonDocument(QString());
    document.insert(QStringLiteral("exitCode"), 2);
    document.insert(QStringLiteral("messages"), QJsonArray{messageJson(code, MsgIcon::Critical, QString(), message.trimmed())});
    return document;
}

} // namespace tunekit::cli
