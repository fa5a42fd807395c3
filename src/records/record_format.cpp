#include "records/record_format.h"

#include <QStringList>

#include <algorithm>

namespace tunekit::records {
namespace {

// The JSON names in the order CSV columns and readers expect them.
constexpr const char* Fields[] = {"id",           "time",       "end",         "station",  "port",
                                  "adapter",      "accessLevel", "command",    "serialNumber",
                                  "configId",     "productionNumber", "file",  "fileSha256",
                                  "backup",       "changes",    "result",      "exitCode", "message",
                                  "version"};

QString csvField(const QString& text)
{
    // A cell a spreadsheet would take for a formula (port names and adapter serial numbers come
    // from outside) is kept as text by a leading apostrophe.
    const bool formula = !text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front());
    const bool quote = formula || std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    });
    if (!quote)
        return text;
    QString quoted = formula ? QLatin1Char('\'') + text : text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QDateTime timeFromText(const QString& text)
{
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

} // namespace

QString recordTimeText(const QDateTime& time)
{
    return time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")) : QString();
}

QJsonArray changesJson(const QList<RecordChange>& changes)
{
    QJsonArray array;
    for (const RecordChange& change : changes) {
        QJsonObject object{{QStringLiteral("name"), change.name},
                           {QStringLiteral("before"), change.before},
                           {QStringLiteral("after"), change.after}};
        if (!change.written)
            object.insert(QStringLiteral("written"), false);
        array.append(object);
    }
    return array;
}

QList<RecordChange> changesFromJson(const QJsonArray& json)
{
    QList<RecordChange> changes;
    for (const QJsonValue& value : json) {
        const QJsonObject change = value.toObject();
        changes.append({change.value(QStringLiteral("name")).toString(), change.value(QStringLiteral("before")).toString(),
                        change.value(QStringLiteral("after")).toString(),
                        change.value(QStringLiteral("written")).toBool(true)});
    }
    return changes;
}

QJsonObject recordJson(const OperationRecord& r)
{
    return QJsonObject{{QStringLiteral("id"), r.id},
                       {QStringLiteral("time"), recordTimeText(r.started)},
                       {QStringLiteral("end"), recordTimeText(r.ended)},
                       {QStringLiteral("station"), r.station},
                       {QStringLiteral("port"), r.port},
                       {QStringLiteral("adapter"), r.adapter},
                       {QStringLiteral("accessLevel"), r.accessLevel},
                       {QStringLiteral("command"), r.command},
                       {QStringLiteral("serialNumber"), r.serialNumber},
                       {QStringLiteral("configId"), r.configId == 0 ? QJsonValue() : QJsonValue(r.configId)},
                       {QStringLiteral("productionNumber"), r.productionNumber},
                       {QStringLiteral("file"), r.file},
                       {QStringLiteral("fileSha256"), r.fileSha256},
                       {QStringLiteral("backup"), r.backup},
                       {QStringLiteral("changes"), changesJson(r.changes)},
                       {QStringLiteral("result"), r.result},
                       {QStringLiteral("exitCode"), r.exitCode},
                       {QStringLiteral("message"), r.message},
                       {QStringLiteral("version"), r.version}};
}

OperationRecord recordFromJson(const QJsonObject& json)
{
    const auto text = [&json](const char* name) { return json.value(QLatin1StringView(name)).toString(); };
    OperationRecord r;
    r.id = text("id");
    r.started = timeFromText(text("time"));
    r.ended = timeFromText(text("end"));
    r.station = text("station");
    r.port = text("port");
    r.adapter = text("adapter");
    r.accessLevel = text("accessLevel");
    r.command = text("command");
    r.serialNumber = text("serialNumber");
    r.configId = json.value(QStringLiteral("configId")).toInt();
    r.productionNumber = text("productionNumber");
    r.file = text("file");
    r.fileSha256 = text("fileSha256");
    r.backup = text("backup");
    r.changes = changesFromJson(json.value(QStringLiteral("changes")).toArray());
    r.result = text("result");
    r.exitCode = json.value(QStringLiteral("exitCode")).toInt();
    r.message = text("message");
    r.version = text("version");
    return r;
}

QString recordsCsvHeader()
{
    QStringList names;
    for (const char* field : Fields)
        names << QLatin1StringView(field);
    return names.join(QLatin1Char(',')) + QLatin1Char('\n');
}

QString recordCsvLine(const OperationRecord& record)
{
    const QJsonObject json = recordJson(record);
    QStringList cells;
    for (const char* field : Fields) {
        const QJsonValue value = json.value(QLatin1StringView(field));
        if (value.isArray()) {
            QStringList changes;
            for (const RecordChange& change : record.changes)
                changes << change.name + QStringLiteral(": ") + change.before + QStringLiteral(" -> ") + change.after
                               + (change.written ? QString() : QStringLiteral(" (not written)"));
            cells << csvField(changes.join(QStringLiteral("; ")));
        } else if (value.isDouble()) {
            cells << QString::number(value.toInt());
        } else {
            cells << csvField(value.toString());
        }
    }
    return cells.join(QLatin1Char(',')) + QLatin1Char('\n');
}

} // namespace tunekit::records
