#include "files/file_checksum.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <optional>

namespace tunekit {

static_assert(crc32Of("123456789") == 0xCBF43926u, "CRC-32 check value");

namespace {

enum class BlockRead { Done, ReadFailed, SinkFailed };

// Hands `count` bytes of `source` (all remaining bytes when count < 0) to `sink` block by
// block. A file that ends before `count` bytes counts as a failed read.
template <typename Sink>
BlockRead readBlocks(QFile& source, qint64 count, Sink sink)
{
    QByteArray block(kChecksumBlockSize, Qt::Uninitialized);
    qint64 left = count;
    while (count < 0 || left > 0) {
        const qint64 want = count < 0 ? kChecksumBlockSize : qMin<qint64>(left, kChecksumBlockSize);
        const qint64 got = source.read(block.data(), want);
        if (got < 0)
            return BlockRead::ReadFailed;
        if (got == 0)
            return count < 0 ? BlockRead::Done : BlockRead::ReadFailed;
        if (!sink(QByteArrayView(block.constData(), static_cast<qsizetype>(got))))
            return BlockRead::SinkFailed;
        left -= got;
    }
    return BlockRead::Done;
}

bool writeAll(QSaveFile& out, QByteArrayView bytes)
{
    return out.write(bytes.data(), bytes.size()) == bytes.size();
}

ChecksumResult verify(QFile& file)
{
    ChecksumResult result;
    const qint64 textSize = file.size() - kChecksumTrailerSize;
    if (textSize < 0)
        return result; // too short to carry a trailer
    Crc32 crc;
    const auto feed = [&crc](QByteArrayView bytes) { crc.update(bytes); return true; };
    if (readBlocks(file, textSize, feed) != BlockRead::Done)
        return ChecksumResult{ChecksumError::NotReadable};
    const QByteArray trailer = file.read(kChecksumTrailerSize);
    if (trailer.size() != kChecksumTrailerSize)
        return ChecksumResult{ChecksumError::NotReadable};
    result.crc = crc.value();
    result.matches = qFromLittleEndian<quint32>(trailer.constData()) == result.crc;
    return result;
}

// Writes content and trailer to a new file that replaces the old one only when complete,
// so the old content survives any failure on the way.
ChecksumResult append(QFile& file, const QString& path)
{
    if (!QFileInfo(path).isWritable())
        return ChecksumResult{ChecksumError::NotWritable};
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return ChecksumResult{ChecksumError::NotWritable};
    Crc32 crc;
    const auto feed = [&crc, &out](QByteArrayView bytes) {
        crc.update(bytes);
        return writeAll(out, bytes);
    };
    switch (readBlocks(file, -1, feed)) {
    case BlockRead::Done: break;
    case BlockRead::ReadFailed: return ChecksumResult{ChecksumError::NotReadable};
    case BlockRead::SinkFailed: return ChecksumResult{ChecksumError::NotWritable};
    }
    // Windows will not rename over a file that is still open.
    file.close();

    ChecksumResult result;
    result.crc = crc.value();
    char trailer[kChecksumTrailerSize];
    qToLittleEndian<quint32>(result.crc, trailer);
    if (!writeAll(out, QByteArrayView(trailer, kChecksumTrailerSize)) || !out.commit())
        return ChecksumResult{ChecksumError::NotWritable};
    return result;
}

// The file at path opened for reading, or the failure that prevents it. Reading needs no
// write access, so read-only files can still be checked.
std::optional<ChecksumResult> openForReading(QFile& file)
{
    if (!QFileInfo(file.fileName()).isFile())
        return ChecksumResult{ChecksumError::NotFound};
    if (!file.open(QIODevice::ReadOnly))
        return ChecksumResult{ChecksumError::NotReadable};
    return std::nullopt;
}

// Files last modified before this day cannot have a trailer.
QDate checksumCutOffDate()
{
    // The day the trailer was introduced, kept in its day.month.year form. Its two-digit
    // year means this century (QDate alone would read "07" as 1907).
    const QDate written = QDate::fromString(QStringLiteral("14.06.07"), QStringLiteral("dd.MM.yy"));
    return QDate(2000 + written.year() % 100, written.month(), written.day());
}

} // namespace

ChecksumResult fileCrc(const QString& path)
{
    QFile file(path);
    if (const std::optional<ChecksumResult> failure = openForReading(file))
        return *failure;
    Crc32 crc;
    const auto feed = [&crc](QByteArrayView bytes) { crc.update(bytes); return true; };
    if (readBlocks(file, -1, feed) != BlockRead::Done)
        return ChecksumResult{ChecksumError::NotReadable};
    return ChecksumResult{ChecksumError::None, crc.value()};
}

ChecksumResult verifyChecksumTrailer(const QString& path)
{
    QFile file(path);
    if (const std::optional<ChecksumResult> failure = openForReading(file))
        return *failure;
    return verify(file);
}

ChecksumResult appendChecksumTrailer(const QString& path)
{
    QFile file(path);
    if (const std::optional<ChecksumResult> failure = openForReading(file))
        return *failure;
    return append(file, path);
}

ChecksumState checksumStateFor(bool trailerMatches, QDate lastModified)
{
    if (trailerMatches)
        return ChecksumState::ChecksumValid;
    return lastModified < checksumCutOffDate() ? ChecksumState::NoChecksum
                                               : ChecksumState::ChecksumNotValid;
}

ChecksumStateResult fileChecksumState(const QString& path)
{
    ChecksumStateResult result;
    const ChecksumResult check = verifyChecksumTrailer(path);
    if (!check.ok()) {
        result.error = check.error;
        return result;
    }
    result.state = checksumStateFor(check.matches, QFileInfo(path).lastModified().date());
    return result;
}

QString backupFileName(const QString& path)
{
    if (path.size() <= 3)
        return {};
    return path.chopped(3) + QStringLiteral("bak");
}

bool keepBackupCopy(const QString& path)
{
    const QString target = backupFileName(path);
    if (target.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly))
        return false;
    const auto write = [&copy](QByteArrayView bytes) { return writeAll(copy, bytes); };
    if (readBlocks(source, -1, write) != BlockRead::Done)
        return false;
    const QFileDevice::Permissions permissions = source.permissions();
    source.close();
    if (!copy.commit())
        return false;
    // A copy carries the original's permissions; not being able to set them is no failure.
    (void)QFile::setPermissions(target, permissions);
    return true;
}

} // namespace tunekit
