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

#include <algorithm>

#include <unistd.h>

using namespace tunekit;
using namespace tunekit::testing;

namespace {

const QByteArray kText = "[Config]\r\nConfigID=1234\r\nSerial=0123456789\r\n";

// Looks through this process's descriptors, so a file left open is caught on Linux too.
bool IsOpenHere(const QString& path)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QStringList names = fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(names.begin(), names.end(), [&](const QString& name) {
        return QFileInfo(fds.filePath(name)).symLinkTarget() == canonical;
    });
}

QDateTime At(int year, int month, int day, int hour = 12, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

} // namespace

class TstFileChecksum : public QObject {
    Q_OBJECT

private slots:
    void crcVectors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("crc");
        QTest::newRow("empty") << QByteArray() << 0u;
        QTest::newRow("a") << QByteArray("a") << 0xE8B7BE43u;
        QTest::newRow("check") << QByteArray("123456789") << 0xCBF43926u;
    }
    void crcVectors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, crc);
        QCOMPARE(Crc32Of(bytes), crc);
        Crc32 pieces; // streamed in two pieces
        pieces.Update(bytes.first(bytes.size() / 2));
        pieces.Update(bytes.sliced(bytes.size() / 2));
        QCOMPARE(pieces.Value(), crc);
    }

    void appendAndVerifyAcrossBlocks_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {0, 3, 4095, 4096, 4097, 12289})
            QTest::addRow("%d bytes", size) << size;
    }
    void appendAndVerifyAcrossBlocks()
    {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.scd"));
        const QByteArray text = QByteArray("\x00\xFFsc\r\n", 6).repeated(size / 6 + 1).left(size);
        WriteFile(path, text);
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ReadGroup));
        const QFileDevice::Permissions permissions = QFileInfo(path).permissions();

        QCOMPARE(FileChecksumV2(path, false, false).crc, Crc32Of(text));
        QVERIFY(!FileChecksumV2(path, true, false).matches);
        QVERIFY(FileChecksumV2(path, false, true).Ok());
        QCOMPARE(ReadFile(path), WithChecksumTrailer(text));
        QCOMPARE(QFileInfo(path).permissions(), permissions);
        QVERIFY(FileChecksumV2(path, true, false).matches);
        QVERIFY(!IsOpenHere(path));
    }

    void crcFailure_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<int>("state");
        QByteArray changed = WithChecksumTrailer(kText);
        changed[5] = static_cast<char>(changed[5] ^ 0x01);
        QTest::newRow("valid, old") << WithChecksumTrailer(kText) << At(1999, 1, 1) << 0;
        QTest::newRow("valid, new") << WithChecksumTrailer(kText) << At(2021, 3, 4) << 0;
        QTest::newRow("changed, cut-off day") << changed << At(2007, 6, 14, 0, 0) << 2;
        QTest::newRow("changed, day before") << changed << At(2007, 6, 13, 23, 59) << 1;
        QTest::newRow("plain text, new") << kText << At(2010, 1, 1) << 2;
        QTest::newRow("3 bytes, day before") << QByteArray("abc") << At(2007, 6, 13, 23, 59) << 1;
        QTest::newRow("3 bytes, cut-off day") << QByteArray("abc") << At(2007, 6, 14, 0, 0) << 2;
    }
    void crcFailure()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QDateTime, modified);
        QFETCH(int, state);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.scd"));
        WriteFile(path, bytes, modified);

        const CrcFailureResult result = FileCrcFailure(path);
        QVERIFY(result.Ok());
        QCOMPARE(static_cast<int>(result.state), state);
        QCOMPARE(ReadFile(path), bytes);
        QVERIFY(!IsOpenHere(path));
        QVERIFY(QFile::rename(path, dir.filePath(QStringLiteral("g.scd"))));
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("g.scd"))));
    }

    void missingFileIsAFailureInEveryMode()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing.scd"));
        for (const auto& [verify, append] : {std::pair{true, false}, {false, true}, {false, false}})
            QCOMPARE(FileChecksumV2(path, verify, append).error, ChecksumError::NotFound);
        QVERIFY(!FileCrcFailure(path).Ok());
        QVERIFY(!BackupUsedFile(path));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void convertTwice()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plain.scd"));
        const QString backup = dir.filePath(QStringLiteral("plain.bak"));
        WriteFile(path, kText);
        ScriptedDialogs dialogs;
        dialogs.openFileNames << path << path;

        QCOMPARE(ConvertChecksumCommand(dialogs), ConversionOutcome::Converted);
        QCOMPARE(ReadFile(backup), kText);
        QCOMPARE(QFileInfo(path).size(), kText.size() + 4);
        QCOMPARE(FileCrcFailure(path).state, CRC_Failure::ChecksumValid);

        QCOMPARE(ConvertChecksumCommand(dialogs), ConversionOutcome::Converted);
        QCOMPARE(ReadFile(backup), WithChecksumTrailer(kText));
        QCOMPARE(ReadFile(path), WithChecksumTrailer(WithChecksumTrailer(kText)));
        QCOMPARE(FileCrcFailure(path).state, CRC_Failure::ChecksumValid);

        QCOMPARE(dialogs.filtersSeen.first(), QStringLiteral("TunekitData (*.scd)|*.scd"));
        QCOMPARE(dialogs.messages.size(), 2); // the two confirmations, nothing else
        const ScriptedDialogs::Message& ask = dialogs.messages.first();
        QCOMPARE(ask.text, QStringLiteral("Convert this File?\r\n\r\n") + QDir::toNativeSeparators(path));
        QCOMPARE(ask.title, QStringLiteral("Checksum"));
        QCOMPARE(ask.buttons, MsgButtons::OkCancel);
        QCOMPARE(ask.icon, MsgIcon::Exclamation);
    }

    void leavesFileAlone_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("messages");
        QTest::newRow("cancelled") << QStringLiteral("plain.scd") << true << 1;
        QTest::newRow("other extension") << QStringLiteral("plain.txt") << false << 0;
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
        QTemporaryDir dir;
        for (const char* name : {"plain.scd", "plain.txt", "PLAIN.SCD", "blocked.scd"})
            WriteFile(dir.filePath(QLatin1String(name)), kText);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blocked.bak"))); // no backup can go there
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        ScriptedDialogs dialogs;
        dialogs.openFileNames << (chosen.isEmpty() ? chosen : dir.filePath(chosen));
        if (cancel)
            dialogs.answers << MsgAnswer::Cancel;
        QVERIFY(ConvertChecksumCommand(dialogs) != ConversionOutcome::Converted);

        QCOMPARE(dialogs.messages.size(), messages);
        if (messages > 0 && !cancel) {
            QCOMPARE(dialogs.messages.last().title, QStringLiteral("Error"));
            QVERIFY(dialogs.messages.last().text.contains(chosen.chopped(4)));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        for (const char* name : {"plain.scd", "plain.txt", "PLAIN.SCD", "blocked.scd"})
            QCOMPARE(ReadFile(dir.filePath(QLatin1String(name))), kText);
    }

    // A name at the length limit leaves no room for the temporary name of the atomic replace, so
    // the append fails for any user, and the file stays as it was.
    void failedAppendKeepsTheOriginal()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(250, u'a'));
        WriteFile(path, kText);
        QCOMPARE(FileChecksumV2(path, false, true).error, ChecksumError::NotWritable);
        QCOMPARE(ReadFile(path), kText);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    }

    // A read-only file is checked but never replaced behind its owner's back.
    void readOnlyFileIsNotReplaced()
    {
        if (geteuid() == 0)
            QSKIP("root ignores file permissions");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plain.scd"));
        WriteFile(path, kText);
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        QCOMPARE(FileChecksumV2(path, false, true).error, ChecksumError::NotWritable);
        QVERIFY(FileChecksumV2(path, true, false).Ok());
        QCOMPARE(ReadFile(path), kText);
    }

    void germanTexts()
    {
        UiLanguage lang;
        QVERIFY(lang.Set(Language::German));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plain.scd"));
        WriteFile(path, kText);
        ScriptedDialogs dialogs;
        dialogs.openFileNames << path << dir.filePath(QStringLiteral("missing.scd"));
        dialogs.answers << MsgAnswer::Cancel;
        QCOMPARE(ConvertChecksumCommand(dialogs), ConversionOutcome::Cancelled);
        QCOMPARE(ConvertChecksumCommand(dialogs), ConversionOutcome::Failed);

        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("Checksumme"));
        QCOMPARE(dialogs.messages[0].text,
                 QStringLiteral("Diese Datei konvertieren?\r\n\r\n") + QDir::toNativeSeparators(path));
        QCOMPARE(dialogs.messages[1].title, QStringLiteral("Fehler"));
        QVERIFY(dialogs.messages[1].text.startsWith(QStringLiteral("Die Datei ")));
        // The size guard cannot be tripped from here; its two pieces must still be German.
        QCOMPARE(QCoreApplication::translate("ChecksumConversion", "An Error Occured!"),
                 QStringLiteral("Es ist ein Fehler aufgetreten! "));
        QCOMPARE(QCoreApplication::translate("ChecksumConversion",
                                             "A backup of your file is stored as BAK-File."),
                 QStringLiteral("Ein Backup ihrer Datei wurde mit der Endung BAK gespeichert."));
    }
};

QTEST_GUILESS_MAIN(TstFileChecksum)
#include "tst_file_checksum.moc"
