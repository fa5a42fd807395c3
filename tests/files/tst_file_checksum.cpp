#include "base/language.h"
#include "files/checksum_conversion.h"
#include "files/config_file_writer.h"
#include "files/file_checksum.h"
#include "support/scripted_dialogs.h"
#include "support/test_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>

#include <unistd.h>

using namespace tunekit;
using namespace tunekit::testing;

namespace {

const QByteArray kText = "[Config]\r\nConfigID=1234\r\nSerial=0123456789\r\n";

// Looks through this process's descriptors, so a file left open is caught on Linux too.
bool isOpenHere(const QString& path)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QStringList names = fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(names.begin(), names.end(), [&](const QString& name) {
        return QFileInfo(fds.filePath(name)).symLinkTarget() == canonical;
    });
}

} // namespace

class TstFileChecksum : public QObject {
    Q_OBJECT

private slots:
    // The trailer is the CRC, least significant byte first; the file keeps its permissions and
    // is closed again. Files past a block read the CRC in pieces and must match the CRC taken at
    // once (the check value 123456789 is asserted where the CRC is compiled).
    void appendAndVerifyAcrossBlocks_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {0, 3, 4095, 4096, 4097, 12289})
            QTest::addRow("%d bytes", size) << size;
    }
    void appendAndVerifyAcrossBlocks()
    {
        QFETCH(int, size);
        const QByteArray text = QByteArray("\x00\xFFsc\r\n", 6).repeated(size / 6 + 1).left(size);
        const TempFile f(QStringLiteral("f.scd"), text);
        QVERIFY(QFile::setPermissions(f.path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        const QFileDevice::Permissions permissions = QFileInfo(f.path).permissions();

        QCOMPARE(fileCrc(f.path).crc, crc32Of(text));
        QVERIFY(!verifyChecksumTrailer(f.path).matches);
        QVERIFY(appendChecksumTrailer(f.path).ok());
        const quint32 trailer = qToLittleEndian(crc32Of(text));
        QCOMPARE(readFile(f.path), text + QByteArray(reinterpret_cast<const char*>(&trailer), 4));
        QCOMPARE(QFileInfo(f.path).permissions(), permissions);
        QVERIFY(verifyChecksumTrailer(f.path).matches);
        QVERIFY(!isOpenHere(f.path));
    }

    // A matching trailer is valid whatever the date; without one the file's day decides.
    void crcFailure_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<int>("state");
        QByteArray changed = withChecksumTrailer(kText);
        changed[5] = static_cast<char>(changed[5] ^ 0x01);
        const QDateTime cutOff(QDate(2007, 6, 14), QTime(0, 0));
        const QDateTime dayBefore(QDate(2007, 6, 13), QTime(23, 59));
        QTest::newRow("valid, old") << withChecksumTrailer(kText) << QDateTime(QDate(1999, 1, 1), QTime(12, 0)) << 0;
        QTest::newRow("changed, cut-off day") << changed << cutOff << 2;
        QTest::newRow("changed, day before") << changed << dayBefore << 1;
        QTest::newRow("3 bytes, day before") << QByteArray("abc") << dayBefore << 1;
        QTest::newRow("3 bytes, cut-off day") << QByteArray("abc") << cutOff << 2;
    }
    void crcFailure()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QDateTime, modified);
        QFETCH(int, state);
        const TempFile f(QStringLiteral("f.scd"), bytes, modified);
        const ChecksumStateResult result = fileChecksumState(f.path);
        QVERIFY(result.ok());
        QCOMPARE(static_cast<int>(result.state), state);
        QCOMPARE(readFile(f.path), bytes);
        QVERIFY(!isOpenHere(f.path));
    }

    void missingFileIsAFailureInEveryMode()
    {
        const TempFile f(QStringLiteral("missing.scd"));
        for (const auto check : {verifyChecksumTrailer, appendChecksumTrailer, fileCrc})
            QCOMPARE(check(f.path).error, ChecksumError::NotFound);
        QVERIFY(!fileChecksumState(f.path).ok());
        QVERIFY(!keepBackupCopy(f.path));
        QVERIFY(entries(f.dir.path()).isEmpty());
    }

    // Each conversion keeps the file as it was in a .bak and adds one more valid trailer.
    void convertTwice()
    {
        const TempFile f(QStringLiteral("plain.scd"), kText);
        const QString backup = f.dir.filePath(QStringLiteral("plain.bak"));
        ScriptedDialogs dialogs;
        dialogs.openFileNames << f.path << f.path;

        for (const QByteArray& before : {kText, withChecksumTrailer(kText)}) {
            QCOMPARE(QCoro::waitFor(convertChecksumCommand(dialogs)), ConversionOutcome::Converted);
            QCOMPARE(readFile(backup), before);
            QCOMPARE(readFile(f.path), withChecksumTrailer(before));
            QCOMPARE(fileChecksumState(f.path).state, ChecksumState::ChecksumValid);
        }
        QCOMPARE(dialogs.filtersSeen.first(), QStringLiteral("TunekitData (*.scd)|*.scd"));
        // The two confirmations, nothing else.
        const DialogMessage ask{"Convert this File?\r\n\r\n" + QDir::toNativeSeparators(f.path), MsgButtons::OkCancel,
                                MsgIcon::Exclamation, "Checksum"};
        QCOMPARE(dialogs.messages, (Messages{ask, ask}));
    }

    // No conversion without a backup. The cancelled row checks the question in German, the
    // conversion test above in English.
    void leavesFileAlone_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("messages");
        QTest::newRow("cancelled, German") << QStringLiteral("plain.scd") << true << 1;
        QTest::newRow("upper case") << QStringLiteral("PLAIN.SCD") << false << 0;
        QTest::newRow("dialog cancelled") << QString() << false << 0;
        QTest::newRow("missing file") << QStringLiteral("missing.scd") << false << 1;
        QTest::newRow("backup blocked") << QStringLiteral("blocked.scd") << false << 2;
    }
    void leavesFileAlone()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, cancel);
        QFETCH(int, messages);
        UiLanguage lang;
        QVERIFY(lang.set(cancel ? Language::German : Language::English));
        QTemporaryDir dir;
        for (const char* name : {"plain.scd", "PLAIN.SCD", "blocked.scd"})
            writeFile(dir.filePath(QLatin1String(name)), kText);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blocked.bak"))); // no backup can go there
        const QStringList before = entries(dir.path());

        ScriptedDialogs dialogs;
        dialogs.openFileNames << (chosen.isEmpty() ? chosen : dir.filePath(chosen));
        if (cancel)
            dialogs.answers << MsgAnswer::Cancel;
        QVERIFY(QCoro::waitFor(convertChecksumCommand(dialogs)) != ConversionOutcome::Converted);

        QCOMPARE(dialogs.messages.size(), messages);
        if (cancel) {
            QCOMPARE(dialogs.messages[0], (DialogMessage{"Diese Datei konvertieren?\r\n\r\n" + QDir::toNativeSeparators(dir.filePath(chosen)),
                                                         MsgButtons::OkCancel, MsgIcon::Exclamation, "Checksumme"}));
        } else if (messages > 0) {
            QCOMPARE(dialogs.messages.last().title, QStringLiteral("Error"));
            QVERIFY(dialogs.messages.last().text.contains(chosen.chopped(4)));
        }
        QCOMPARE(entries(dir.path()), before);
        for (const char* name : {"plain.scd", "PLAIN.SCD", "blocked.scd"})
            QCOMPARE(readFile(dir.filePath(QLatin1String(name))), kText);
    }

    // A name at the length limit leaves no room for the temporary name of the atomic replace,
    // so that append fails for any user; a read-only file is never replaced behind its owner's
    // back. Either way the file stays as it was and no other file is left.
    void failedAppendKeepsTheOriginal_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("name at the length limit") << false;
        QTest::newRow("read-only file") << true;
    }
    void failedAppendKeepsTheOriginal()
    {
        QFETCH(bool, readOnly);
        if (readOnly && geteuid() == 0)
            QSKIP("root ignores file permissions");
        const TempFile f(readOnly ? QStringLiteral("plain.scd") : QString(250, u'a'), kText);
        if (readOnly)
            QVERIFY(QFile::setPermissions(f.path, QFileDevice::ReadOwner));
        QCOMPARE(appendChecksumTrailer(f.path).error, ChecksumError::NotWritable);
        QVERIFY(verifyChecksumTrailer(f.path).ok());
        QCOMPARE(readFile(f.path), kText);
        QCOMPARE(entries(f.dir.path()).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstFileChecksum)
#include "tst_file_checksum.moc"