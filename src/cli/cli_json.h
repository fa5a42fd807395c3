#pragma once

#include "base/dialogs.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace tunekit::cli {

// The name and version of the --json documents' layout (docs/cli-json.md); a change that could
// break a reader gets a new number.
inline constexpr char JsonSchemaName[] = "tunekit-cli/1";

// The start of every --json document: schema, command (null when the command line named none
// that could run) and the program's version.
QJsonObject jsonDocument(const QString& command);

// A value as a machine reads it: a whole number (as the text writes it) is a number, anything
// else (a date, a text, a fraction) stays the text.
QJsonValue machineValue(const QString& text);

// One message: its stable code, how serious it is, and the localized title and text. A
// question's answer is "yes", "no" or "refused"; a message has none.
QJsonObject messageJson(const QString& code, MsgIcon icon, const QString& title, const QString& text,
                        const QString& answer = {});

// A document as --json prints it.
QString jsonText(const QJsonObject& document);

// A document with an array too long to hold, printed in parts as it is made: jsonHead prints the
// fields known first and opens the array named array, jsonElement each element in turn (first:
// the array's first), jsonTail closes the array and prints the other fields. Together they are
// the text jsonText prints for the whole document, but for the order of its fields.
QString jsonHead(const QJsonObject& fields, const QString& array);
QString jsonElement(const QJsonObject& element, bool first);
QString jsonTail(const QJsonObject& rest, bool anyElement);

// The document of a command line that was not understood: no command ran, and the message says why.
QJsonObject usageErrorJson(const QString& code, const QString& message);

} // namespace tunekit::cli
