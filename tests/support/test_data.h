#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QTest>

#include <initializer_list>

namespace tunekit::testing {

inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Flushed before the time is set, as a later flush would stamp the time again.
inline void WriteFile(const QString& path, const QByteArray& bytes, const QDateTime& modified = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    QVERIFY(file.flush());
    if (modified.isValid())
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

} // namespace tunekit::testing
