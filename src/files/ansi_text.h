#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace tunekit {

// Text inside the program's files (configuration files, the report) is in the Windows ANSI code
// page, windows-1252: Latin-1 except for 0x80..0x9F, which hold "€", the typographic quotes and
// dashes and a few letters. The five codes windows-1252 leaves free (81, 8D, 8F, 90, 9D) read as
// the control characters of the same number, so every byte reads back as itself.
//
// Qt reaches windows-1252 only through ICU, which not every build of Qt carries; one table gives
// every build the same bytes (a test holds it to Qt's converter where Qt has one).
QString fromAnsi(QByteArrayView bytes);

// The windows-1252 byte of one character, nothing when the code page has none.
std::optional<char> ansiByte(char32_t c);

// Characters without a windows-1252 byte become replacement.
QByteArray toAnsi(QStringView text, char replacement = '?');

} // namespace tunekit
