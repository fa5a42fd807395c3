#include "session/settings_file.h"

#include <QList>

namespace tunekit {
namespace {

// The number at the start of a text, as the old BASIC Val() reads it: an optional sign, then
// digits; 0 when there are none.
int leadingNumber(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int number = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        number = number * 10 + (text[i].unicode() - u'0');
    return negative ? -number : number;
}

QList<QStringView> lines(const QString& text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(QStringView(text).sliced(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(QStringView(text).sliced(start));
    return lines;
}

} // namespace

QByteArray composeSettingsFile(const SettingsToWrite& s)
{
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    // A ticked long delay with an empty box has no delay to store.
    const QString delay = s.longDelay && !s.longDelayText.trimmed().isEmpty() ? s.longDelayText.trimmed()
                                                                               : QStringLiteral("0");
    const QString lines[] = {
        QStringLiteral("COM=%1").arg(s.portNumber),
        QStringLiteral("LNG=%1").arg(s.actLanguage),
        QStringLiteral("OP1=") + flag(s.options[0]),
        QStringLiteral("OP2=") + flag(s.options[1]),
        QStringLiteral("OP3=") + flag(s.options[2]),
        QStringLiteral("OP4=") + delay,
        QStringLiteral("AUT=") + s.authFileString,
        QStringLiteral("PAC=") + flag(s.paced),
    };
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

SettingsRead readSettings(const QByteArray& bytes)
{
    SettingsRead read;
    const QString text = QString::fromLatin1(bytes.left(SettingsFileReadLimit));
    for (const QStringView line : lines(text)) {
        const QStringView key = line.left(4).trimmed();
        const QStringView value = line.mid(4, 12).trimmed();
        const QChar first = value.isEmpty() ? QChar() : value.front();
        if (key == u"COM=") {
            // A number that names no port is passed over like an unknown key; the lines after it
            // still count, so that the next save keeps them.
            const int number = leadingNumber(value.left(3));
            if (number > 0 && number <= 256) {
                read.filePortFound = true;
                read.filePort = static_cast<qint16>(number);
            }
        } else if (key == u"LNG=") {
            read.setFileLang = first == u'1' ? QStringLiteral("DE") : QStringLiteral("EN");
        } else if (key == u"OP1=" || key == u"OP2=" || key == u"OP3=") {
            read.options[static_cast<std::size_t>(key[2].unicode() - u'1')] = first == u'1';
        } else if (key == u"OP4=") {
            LongDelaySetting delay;
            if (!first.isNull() && first != u'0') {
                delay.ticked = true;
                // A digit is the delay in seconds; anything else ticks the box with no delay.
                if (first.isDigit() && first.unicode() < 128) {
                    delay.seconds = static_cast<qint16>(first.unicode() - u'0');
                    delay.text = QString(first);
                }
            } else {
                delay.text = QStringLiteral("0");
            }
            read.longDelay = delay;
        } else if (key == u"AUT=") {
            read.authText = value.toString();
        } else if (key == u"PAC=") {
            read.paced = first == u'1';
        }
    }
    return read;
}

LongDelayEdit longDelayTextChanged(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (trimmed.size() > 1)
        return {};
    if (trimmed.front().isDigit() && trimmed.front().unicode() < 128)
        return {trimmed, static_cast<qint16>(trimmed.front().unicode() - u'0')};
    return {};
}

} // namespace tunekit
