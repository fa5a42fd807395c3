#include "files/checksum_conversion.h"

#include "base/dialogs.h"
#include "files/config_file_reader.h"
#include "files/file_checksum.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tunekit {

namespace {

void reportError(Dialogs& dialogs, const QString& text)
{
    dialogs.msgBox(text, MsgButtons::Ok, MsgIcon::Exclamation,
                   QCoreApplication::translate("ChecksumConversion", "Error"));
}

QString checksumErrorText(ChecksumError error, const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (error) {
    case ChecksumError::None:
        break;
    case ChecksumError::NotFound:
        return QCoreApplication::translate("ChecksumConversion", "The file %1 does not exist.")
            .arg(shown);
    case ChecksumError::NotReadable:
        return QCoreApplication::translate("ChecksumConversion",
                                           "The file %1 could not be read. It was not changed.")
            .arg(shown);
    case ChecksumError::NotWritable:
        return QCoreApplication::translate("ChecksumConversion",
                                           "The file %1 could not be written. It was not changed.")
            .arg(shown);
    }
    return {};
}

// Appends the checksum trailer, tells the user when that fails, and guards against a file that
// grew by more than the trailer. True when the trailer was appended.
bool appendTrailerTellingFailures(const QString& path, Dialogs& dialogs)
{
    const qint64 sizeBefore = QFileInfo(path).size();
    const ChecksumResult result = appendChecksumTrailer(path);
    if (!result.ok())
        reportError(dialogs, checksumErrorText(result.error, path));
    // The append is all or nothing, so only someone else writing the file at the same
    // time can trip this; it stays as the guard against a file that grew unexpectedly.
    if (QFileInfo(path).size() > sizeBefore + kChecksumTrailerSize)
        reportError(dialogs,
                    QCoreApplication::translate("ChecksumConversion", "An Error Occured!")
                        + QStringLiteral("\r\n")
                        + QCoreApplication::translate("ChecksumConversion",
                                                      "A backup of your file is stored as BAK-File."));
    return result.ok();
}

} // namespace

QCoro::Task<ConversionOutcome> convertChecksumCommand(Dialogs& dialogs)
{
    const QString filter = QStringLiteral("TunekitData (*.scd)|*.scd");
    const QString path = co_await dialogs.openFileName(filter);
    if (path.size() <= 4 || !path.endsWith(QStringLiteral(".scd")))
        co_return ConversionOutcome::NothingChosen;
    if (!QFileInfo(path).isFile()) {
        reportError(dialogs, checksumErrorText(ChecksumError::NotFound, path));
        co_return ConversionOutcome::Failed;
    }

    const QString question = QCoreApplication::translate("ChecksumConversion", "Convert this File?")
                             + QStringLiteral("\r\n\r\n") + QDir::toNativeSeparators(path);
    const MsgAnswer answer =
        co_await dialogs.ask(Question::ConvertFile, question, MsgButtons::OkCancel, MsgIcon::Exclamation,
                    QCoreApplication::translate("ChecksumConversion", "Checksum"));
    if (answer != MsgAnswer::Ok)
        co_return ConversionOutcome::Cancelled;
    co_return convertChecksum(path, dialogs);
}

ConversionOutcome convertChecksum(const QString& path, Dialogs& dialogs)
{
    // A checksum says the file is a configuration as it was made; an empty or foreign file is none.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reportError(dialogs, checksumErrorText(ChecksumError::NotReadable, path));
        return ConversionOutcome::Failed;
    }
    const QByteArray bytes = file.read(MaxConfigFileSize + 1);
    file.close();
    ReaderInputs inputs;
    inputs.accessLevel = AccessLevel::development();
    if (bytes.size() > MaxConfigFileSize || !readConfigFile(bytes, inputs).holdsConfiguration) {
        reportError(dialogs, noConfigurationText(path));
        return ConversionOutcome::NotConfiguration;
    }
    // The backup is the way back from a conversion, so there is no conversion without it.
    if (!keepBackupCopy(path)) {
        reportError(dialogs,
                    QCoreApplication::translate(
                        "ChecksumConversion",
                        "The backup copy %1 could not be written. The file was not converted.")
                        .arg(QDir::toNativeSeparators(backupFileName(path))));
        return ConversionOutcome::Failed;
    }
    return appendTrailerTellingFailures(path, dialogs) ? ConversionOutcome::Converted : ConversionOutcome::Failed;
}

} // namespace tunekit
