#pragma once

#include "base/language.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QTranslator>

namespace tunekit::cli {

// Every text the program translates passes through here: it gives the German texts (or none,
// for English) and remembers which source text each shown text came from. A message is then
// named by the source text it starts with, a code that is the same in every language
// ("DeviceWrites.writing-failed-the-device-answered").
class MessageCodes final : public QTranslator {
public:
    // Installs itself in front of every other translator; German loads the program's and Qt's
    // German texts.
    explicit MessageCodes(Language language);
    ~MessageCodes() override;
    MessageCodes(const MessageCodes&) = delete;
    MessageCodes& operator=(const MessageCodes&) = delete;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }

    // The code of the longest translated text the message starts with; "unknown" for a text the
    // program did not translate (a device's or a file's own text).
    QString codeFor(const QString& message) const;

private:
    QTranslator german_;
    QTranslator qtGerman_;
    // Shown text -> the codes of the source texts it was translated from.
    mutable QHash<QString, QSet<QString>> shown_;
};

} // namespace tunekit::cli
