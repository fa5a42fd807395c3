#pragma once

// A JSON Schema check for the keywords the program's own schemas use: type (one or several),
// properties, required, additionalProperties, items, enum, const, minimum, oneOf and $ref to
// "#/$defs/...". Anything else in a schema is not looked at.

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

#include <cmath>

namespace tunekit::testing {

class JsonSchemaCheck {
public:
    explicit JsonSchemaCheck(QJsonObject schema) : root_(std::move(schema)) {}

    // What does not satisfy the schema, one line each with where it is; empty when all does.
    QStringList problems(const QJsonValue& value) const
    {
        QStringList problems;
        check(root_, value, QStringLiteral("$"), problems);
        return problems;
    }

private:
    static bool hasType(const QJsonValue& value, const QString& type)
    {
        if (type == QLatin1StringView("integer"))
            return value.isDouble() && std::trunc(value.toDouble()) == value.toDouble();
        return (type == QLatin1StringView("number") && value.isDouble()) || (type == QLatin1StringView("string") && value.isString())
               || (type == QLatin1StringView("boolean") && value.isBool()) || (type == QLatin1StringView("null") && value.isNull())
               || (type == QLatin1StringView("array") && value.isArray()) || (type == QLatin1StringView("object") && value.isObject());
    }

    void check(const QJsonObject& schema, const QJsonValue& value, const QString& at, QStringList& problems) const
    {
        if (schema.contains(u"$ref")) {
            const QString name = schema.value(u"$ref").toString().section(u'/', 2);
            const QJsonObject target = root_.value(u"$defs").toObject().value(name).toObject();
            if (target.isEmpty())
                problems << at + QStringLiteral(": unknown $ref ") + schema.value(u"$ref").toString();
            else
                check(target, value, at, problems);
        }
        if (schema.contains(u"type")) {
            const QJsonValue type = schema.value(u"type");
            const QJsonArray types = type.isArray() ? type.toArray() : QJsonArray{type};
            bool any = false;
            for (const QJsonValue& t : types)
                any = any || hasType(value, t.toString());
            if (!any)
                problems << at + QStringLiteral(": not of type ") + QJsonValue(types).toVariant().toStringList().join(u'|');
        }
        if (schema.contains(u"const") && value != schema.value(u"const"))
            problems << at + QStringLiteral(": not the constant");
        if (schema.contains(u"enum") && !schema.value(u"enum").toArray().contains(value))
            problems << at + QStringLiteral(": not one of the enumerated values");
        if (schema.contains(u"minimum") && value.isDouble() && value.toDouble() < schema.value(u"minimum").toDouble())
            problems << at + QStringLiteral(": below the minimum");
        if (schema.contains(u"oneOf")) {
            int matching = 0;
            QStringList reasons;
            for (const QJsonValue& branch : schema.value(u"oneOf").toArray()) {
                QStringList branchProblems;
                check(branch.toObject(), value, at, branchProblems);
                matching += branchProblems.isEmpty() ? 1 : 0;
                reasons << branchProblems;
            }
            if (matching != 1)
                problems << at + QStringLiteral(": matches %1 of oneOf (%2)").arg(matching).arg(reasons.join(u"; "));
        }
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            const QJsonObject properties = schema.value(u"properties").toObject();
            for (const QJsonValue& name : schema.value(u"required").toArray()) {
                if (!object.contains(name.toString()))
                    problems << at + QStringLiteral(": lacks ") + name.toString();
            }
            for (auto it = object.begin(); it != object.end(); ++it) {
                const QString where = at + u'.' + it.key();
                if (properties.contains(it.key()))
                    check(properties.value(it.key()).toObject(), it.value(), where, problems);
                else if (schema.value(u"additionalProperties") == QJsonValue(false))
                    problems << where + QStringLiteral(": not allowed");
                else if (schema.value(u"additionalProperties").isObject())
                    check(schema.value(u"additionalProperties").toObject(), it.value(), where, problems);
            }
        }
        if (value.isArray() && schema.contains(u"items")) {
            const QJsonArray items = value.toArray();
            for (qsizetype i = 0; i < items.size(); ++i)
                check(schema.value(u"items").toObject(), items.at(i), at + QStringLiteral("[%1]").arg(i), problems);
        }
    }

    QJsonObject root_;
};

} // namespace tunekit::testing
