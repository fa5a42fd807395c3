#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <initializer_list>

namespace tunekit::testing {

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Flushed before the time is set, as a later flush would stamp the time again.
inline void writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    QVERIFY(file.flush());
    if (modified.isValid())
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

// Everything in a folder, hidden entries too.
inline QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A file name in a temporary folder of its own, written at once when bytes are given.
struct TempFile {
    QTemporaryDir dir;
    QString path;

    explicit TempFile(const QString& name) : path(dir.filePath(name)) { QVERIFY(dir.isValid()); }
    TempFile(const QString& name, const QByteArray& bytes, const QDateTime& modified = {}) : TempFile(name)
    {
        writeFile(path, bytes, modified);
    }
};

} // namespace tunekit::testing
