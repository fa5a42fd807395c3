#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QtGlobal>

#include <array>

namespace tunekit {

// CRC-32 of IEEE 802.3, the one zlib and ZIP use: reflected polynomial 0xEDB88320,
// register starts at all ones and is inverted at the end.
inline constexpr quint32 kCrc32Polynomial = 0xEDB88320u;

constexpr std::array<quint32, 256> makeCrc32Table() noexcept
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1u) ? (value >> 1) ^ kCrc32Polynomial : value >> 1;
        table[i] = value;
    }
    return table;
}

inline constexpr std::array<quint32, 256> kCrc32Table = makeCrc32Table();

// Streaming CRC-32: feed the bytes in any number of pieces, read Value() at the end.
class Crc32 {
public:
    constexpr void update(QByteArrayView bytes) noexcept
    {
        for (const char byte : bytes)
            register_ = kCrc32Table[(register_ ^ static_cast<quint8>(byte)) & 0xFFu] ^ (register_ >> 8);
    }
    constexpr quint32 value() const noexcept { return register_ ^ 0xFFFFFFFFu; }

private:
    quint32 register_ = 0xFFFFFFFFu;
};

constexpr quint32 crc32Of(QByteArrayView bytes) noexcept
{
    Crc32 crc;
    crc.update(bytes);
    return crc.value();
}

// Files are read in blocks of this size; the trailer is the CRC, least significant byte first.
inline constexpr qsizetype kChecksumBlockSize = 4096;
inline constexpr qsizetype kChecksumTrailerSize = 4;

enum class ChecksumError {
    None,
    NotFound,    // no file at the path (or not a plain file)
    NotReadable, // cannot be opened or read
    NotWritable, // the trailer could not be written; the file is left as it was
};

struct ChecksumResult {
    ChecksumError error = ChecksumError::None;
    // verifyChecksumTrailer: CRC of all bytes but the last four. Otherwise: CRC of the whole file
    // as it was, which for appendChecksumTrailer is the trailer that was written.
    quint32 crc = 0;
    // verifyChecksumTrailer only: the last four bytes hold the CRC of the bytes before them.
    bool matches = false;

    bool ok() const noexcept { return error == ChecksumError::None; }
};

// The three below open the file at path and close it again before they return.

// The CRC of the whole file.
ChecksumResult fileCrc(const QString& path);

// Checks the trailer: crc is the CRC of all bytes but the last four, matches tells whether the
// last four hold it (a file shorter than four bytes never matches).
ChecksumResult verifyChecksumTrailer(const QString& path);

// Appends the CRC of the whole file as its trailer; crc is the trailer written. All or nothing:
// on failure the file keeps its content and permissions.
ChecksumResult appendChecksumTrailer(const QString& path);

// The file's checksum state when it is opened (values as stored).
enum class ChecksumState : qint16 {
    ChecksumValid = 0,
    NoChecksum = 1,       // no matching trailer, file older than the trailer
    ChecksumNotValid = 2, // no matching trailer although the file is new enough to have one
};

// Valid with a matching trailer; without one, rated by whether the file is older than the
// day the trailer was introduced.
ChecksumState checksumStateFor(bool trailerMatches, QDate lastModified);

struct ChecksumStateResult {
    ChecksumError error = ChecksumError::None;
    ChecksumState state = ChecksumState::ChecksumNotValid;

    bool ok() const noexcept { return error == ChecksumError::None; }
};

// Verifies the trailer and rates a mismatch by the date part of the last modification.
ChecksumStateResult fileChecksumState(const QString& path);

// The name of the backup copy: the last three characters replaced by "bak" (x.scd -> x.bak).
QString backupFileName(const QString& path);

// Copies the file to its backup name, replacing an older backup. The copy is written to a
// temporary file and renamed, so a failed copy leaves an existing backup untouched.
[[nodiscard]] bool keepBackupCopy(const QString& path);

} // namespace tunekit
