#include "cli/message_codes.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>

#include <algorithm>

namespace tunekit::cli {
namespace {

constexpr int CodeWords = 8;
// A template that matches with fewer literal characters says nothing about the message.
constexpr qsizetype LeastLiteral = 3;

// Length of a placeholder (%1, %L1, %n) at i, 0 when there is none.
qsizetype placeholderAt(const QString& text, qsizetype i)
{
    if (text.at(i) != QLatin1Char('%') || i + 1 >= text.size())
        return 0;
    qsizetype j = i + 1;
    if (text.at(j) == QLatin1Char('n'))
        return 2;
    if (text.at(j) == QLatin1Char('L'))
        ++j;
    const qsizetype digits = j;
    while (j < text.size() && text.at(j).isDigit())
        ++j;
    return j > digits ? j - i : 0;
}

// The literal pieces between the placeholders of a translated text.
QStringList literalPieces(const QString& text)
{
    QStringList pieces{QString()};
    for (qsizetype i = 0; i < text.size();) {
        if (const qsizetype length = placeholderAt(text, i); length > 0) {
            pieces.append(QString());
            i += length;
        } else {
            pieces.last().append(text.at(i));
            ++i;
        }
    }
    return pieces;
}

// How many literal characters of the template the message starts with, 0 when it does not.
qsizetype matchedLiteral(const QString& message, const QString& shown)
{
    const QStringList pieces = literalPieces(shown);
    if (!message.startsWith(pieces.first()))
        return 0;
    qsizetype at = pieces.first().size();
    qsizetype literal = at;
    for (qsizetype k = 1; k < pieces.size(); ++k) {
        const QString& piece = pieces.at(k);
        if (piece.isEmpty())
            continue;
        const qsizetype found = message.indexOf(piece, at);
        if (found < 0)
            return 0;
        at = found + piece.size();
        literal += piece.size();
    }
    return literal;
}

// "Context.the-first-words-of-the-source-text": lower case, placeholders left out.
QString codeOfSource(const char* context, const char* sourceText)
{
    // Placeholders and anything but ASCII letters and digits part the words.
    QString plain = literalPieces(QString::fromUtf8(sourceText)).join(QLatin1Char(' '));
    for (QChar& c : plain) {
        c = c.toLower();
        if (!c.isLetterOrNumber() || c.unicode() >= 128)
            c = QLatin1Char(' ');
    }
    QStringList slug = plain.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (slug.size() > CodeWords)
        slug.resize(CodeWords);
    return QString::fromUtf8(context) + QLatin1Char('.')
           + (slug.isEmpty() ? QStringLiteral("text") : slug.join(QLatin1Char('-')));
}

} // namespace

MessageCodes::MessageCodes(Language language)
{
    if (language == Language::German) {
        // Without them the texts stay English, and their codes are the same.
        [[maybe_unused]] const bool program = german_.load(QStringLiteral(":/i18n/tunekit_de.qm"));
        [[maybe_unused]] const bool qt = qtGerman_.load(QStringLiteral("qtbase_de"),
                                                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    QCoreApplication::installTranslator(this);
}

MessageCodes::~MessageCodes()
{
    QCoreApplication::removeTranslator(this);
}

QString MessageCodes::translate(const char* context, const char* sourceText, const char* disambiguation, int n) const
{
    if (!sourceText)
        return {};
    QString translated = german_.translate(context, sourceText, disambiguation, n);
    if (translated.isNull())
        translated = qtGerman_.translate(context, sourceText, disambiguation, n);
    const QString shown = translated.isNull() ? QString::fromUtf8(sourceText) : translated;
    shown_[shown].insert(codeOfSource(context, sourceText));
    // Null lets the application show the source text, with %n filled in.
    return translated;
}

QString MessageCodes::codeFor(const QString& message) const
{
    const QString text = message.trimmed();
    qsizetype best = 0;
    QString code;
    for (auto it = shown_.cbegin(); it != shown_.cend(); ++it) {
        const qsizetype literal = matchedLiteral(text, it.key().trimmed());
        if (literal < LeastLiteral || literal < best)
            continue;
        // Of one text translated from several sources, always the same one.
        const QString first = *std::min_element(it.value().cbegin(), it.value().cend());
        if (literal > best || first < code)
            code = first;
        best = literal;
    }
    return code.isEmpty() ? QStringLiteral("unknown") : code;
}

} // namespace tunekit::cli
