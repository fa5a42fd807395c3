#include "files/config_file_writer.h"

#include "base/dialogs.h"
#include "base/version_info.h"
#include "files/ansi_text.h"
#include "files/file_checksum.h"
#include "host/host_facts.h"
#include "params/config_defines.h"
#include "params/device_image.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <array>

namespace tunekit {

namespace {

// The lines of the device information that a backup's header repeats.
constexpr std::size_t HardwareInfo = 3;
constexpr std::size_t InterpreterInfo = 6;

// Every section the reader knows; its markers are NAME_START and NAME_STOP.
constexpr std::array<const char*, 8> SectionNames{
    "INTERPRETER", "TEXTINDICES", "TEXTS", "PICTUREINDICES", "PICTURES", "DISPLAY_TABLE", "DEFAULTS", "FREQTAB",
};


bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
}

bool isMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
           || category == QChar::Mark_Enclosing;
}

// Quotes and dashes that word processors put into pasted text and windows-1252 has no byte for.
char plainPunctuation(char32_t c)
{
    if (c >= 0x2018 && c <= 0x201B)
        return '\'';
    if (c >= 0x201C && c <= 0x201F)
        return '"';
    if ((c >= 0x2010 && c <= 0x2015) || c == 0x2212)
        return '-';
    return 0;
}

void appendAnsi(QByteArray& out, char32_t c)
{
    if (isControl(c)) {
        out += ' ';
        return;
    }
    if (const std::optional<char> byte = ansiByte(c)) {
        out += *byte;
        return;
    }
    if (const char plain = plainPunctuation(c)) {
        out += plain;
        return;
    }
    // The compatibility decomposition keeps the base letters ("ř" -> "r" + caron, "ﬁ" -> "fi");
    // accents are dropped, anything else without a windows-1252 form makes the whole character "?".
    QByteArray base;
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    for (const char32_t part : decomposed.toUcs4()) {
        const std::optional<char> byte = isControl(part) ? std::nullopt : ansiByte(part);
        if (byte) {
            base += *byte;
        } else if (!isMark(part)) {
            base.clear();
            break;
        }
    }
    out += base.isEmpty() ? QByteArray("?") : base;
}

bool showsValue(const QString& caption)
{
    const QString text = caption.trimmed();
    return !text.isEmpty() && text != QLatin1String("-") && text != QLatin1String("???");
}

QString saveFailureText(const QString& path)
{
    const QFileInfo info(path);
    QString reason = saveProblem(path);
    if (reason.isEmpty())
        reason = QCoreApplication::translate("ConfigFileWriter", "The data could not be stored completely; the disk may be full.");
    QString text = QCoreApplication::translate("ConfigFileWriter", "The file %1 could not be written.").arg(QDir::toNativeSeparators(path)) + QStringLiteral("\r\n") + reason;
    if (info.isFile())
        text += QStringLiteral("\r\n") + QCoreApplication::translate("ConfigFileWriter", "The file that was there before is unchanged.");
    return text;
}

// The filter both save dialogs offer.
QString configFileSaveFilter()
{
    return QStringLiteral("TunekitDatei (*.scd)|*.scd");
}

// The moment of writing in the locale's short date and long time format.
QString formatNow(const QDateTime& now, const QLocale& locale)
{
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + locale.toString(now.time(), QLocale::LongFormat);
}

WriteOutcome writeConfigFile(const WriterContext& context, const QString& path, ConfigFileKind kind,
                             const QStringList& descriptions)
{
    // The header tells the moment of writing, so it is taken after the dialog.
    WriterInputs inputs;
    inputs.kind = kind;
    inputs.descriptions = descriptions;
    inputs.origin = makeWriterOrigin(context.host, context.version, context.locale);
    const QString failure = saveConfigFile(path, withChecksumTrailer(composeConfigFile(context.image, inputs)));
    if (failure.isEmpty())
        return WriteOutcome::Written;
    context.dialogs.msgBox(failure, MsgButtons::Ok, MsgIcon::Exclamation, QCoreApplication::translate("ConfigFileWriter", "Error"));
    return WriteOutcome::Failed;
}

} // namespace

WriterOrigin makeWriterOrigin(const HostFacts& host, const VersionInfo& version, const QLocale& locale)
{
    return WriterOrigin{formatNow(host.now(), locale), host.computerName(), host.userName(), version.programName,
                        version.version};
}

QString proposedBackupName(const QString& serialNumber)
{
    return QCoreApplication::translate("ConfigFileWriter", "Backup") + QLatin1Char('_') + serialNumber;
}

QByteArray fileText(QStringView text)
{
    QByteArray out;
    const QString composed = text.toString().normalized(QString::NormalizationForm_C);
    for (const char32_t c : composed.toUcs4())
        appendAnsi(out, c);
    return out;
}

QByteArray commentText(QStringView text)
{
    QByteArray out = fileText(text);
    // Every marker ends in "_START" or "_STOP", and markers that overlap end at the same place,
    // so one pass leaves none behind.
    for (const char* section : SectionNames) {
        const QByteArray name(section);
        out.replace(name + "_START", name + " START");
        out.replace(name + "_STOP", name + " STOP");
    }
    return out;
}

QByteArray descriptionText(QStringView text)
{
    QByteArray out = commentText(text);
    // The reader trims blanks, the no-break space included, before it looks at the text.
    qsizetype first = 0;
    while (first < out.size() && (out[first] == ' ' || out[first] == '\xA0'))
        ++first;
    const QByteArrayView rest = QByteArrayView(out).sliced(first);
    if (rest.startsWith('[') || rest.startsWith("---"))
        out.prepend('\'');
    return out;
}

QByteArray composeConfigFile(const DeviceImage& image, const WriterInputs& inputs)
{
    QByteArray out;
    const auto line = [&out](QByteArrayView text) {
        out += text;
        out += "\r\n";
    };
    const bool backup = inputs.kind != ConfigFileKind::Described;
    const bool dateAsItIs = inputs.kind != ConfigFileKind::Backup;
    const WriterOrigin& origin = inputs.origin;

    if (!backup) {
        for (const QString& description : inputs.descriptions.mid(0, DescriptionLineCount)) {
            if (!description.isEmpty())
                line("* " + descriptionText(description));
        }
    }
    // The hyphen line ends the description when the file is read.
    line("* " + QByteArray(61, '-'));
    line("* HVX Config-File ");
    line("* generated on " + commentText(origin.now));
    line("* on " + commentText(origin.computerName) + " by " + commentText(origin.userName));
    line("* using " + commentText(origin.programName) + ' ' + commentText(origin.programVersion));
    if (backup) {
        const QString& hardware = image.info.texts[HardwareInfo];
        if (showsValue(hardware)) {
            line("* ");
            line("* Hardware: " + commentText(hardware));
        }
        const QString& interpreter = image.info.texts[InterpreterInfo];
        if (showsValue(interpreter))
            line("* Interpreter: " + commentText(interpreter));
    }
    line("");
    line("");

    for (int k = 1; k <= ParamCount; ++k) {
        if (!image.applicable[k] || !isApplicable(k, image.deviceConfigId))
            continue;
        const QByteArray name = fileText(findConfigDefine(k).name);
        const QString& value = image.value[k];
        const bool empty = value.trimmed().isEmpty();
        // A backup is made of one device; the next device written from it gets its own date,
        // which the reader puts in place of "?".
        if (k == ProductionDateNr && (empty || !dateAsItIs))
            line(name + "=?");
        else if (!empty)
            line(name + '=' + fileText(value));
    }
    line("");
    line("ConfigID=" + QByteArray::number(image.deviceConfigId));
    line("");
    line("");
    return out;
}

QByteArray withChecksumTrailer(QByteArray text)
{
    char trailer[kChecksumTrailerSize];
    qToLittleEndian<quint32>(crc32Of(text), trailer);
    text.append(trailer, kChecksumTrailerSize);
    return text;
}

QString saveProblem(const QString& path)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QCoreApplication::translate("ConfigFileWriter", "The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (info.isDir())
        return QCoreApplication::translate("ConfigFileWriter", "There is a folder of that name.");
    if (!folder.isWritable() || (info.exists() && !info.isWritable()))
        return QCoreApplication::translate("ConfigFileWriter", "You are not permitted to write there.");
    return {};
}

QString saveConfigFile(const QString& path, const QByteArray& bytes)
{
    // Never the direct-write fallback: a file written in place could be left half-written.
    QSaveFile file(path);
    bool saved = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (saved) {
        // Only a file that reads back whole is written: what a later restore relies on.
        QFile check(path);
        saved = check.open(QIODevice::ReadOnly) && check.size() == bytes.size() && check.readAll() == bytes;
    }
    return saved ? QString() : saveFailureText(path);
}

QString reserveNewFile(const QString& folder, const QString& baseName)
{
    const QDir dir(folder);
    for (int n = 1; n < 1000; ++n) {
        const QString name = baseName + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + QStringLiteral(".scd");
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists())
            return {}; // not taken, yet it cannot be made: the folder refuses files
    }
    return {};
}

QByteArray restorableBackupText(const WriterContext& context)
{
    WriterInputs inputs;
    inputs.kind = ConfigFileKind::Restorable;
    inputs.origin = makeWriterOrigin(context.host, context.version, context.locale);
    return withChecksumTrailer(composeConfigFile(context.image, inputs));
}

WriteOutcome writeRestorableBackup(const WriterContext& context, const QString& path)
{
    const WriteOutcome outcome = writeConfigFile(context, path, ConfigFileKind::Restorable, {});
    if (outcome != WriteOutcome::Written && QFileInfo(path).size() == 0)
        QFile::remove(path);
    return outcome;
}

QCoro::Task<WriteOutcome> generateBackup(WriterContext context, QString serialNumber)
{
    const QString serial = serialNumber.trimmed();
    if (serial.isEmpty())
        co_return WriteOutcome::NothingToDo;
    const QString filter = configFileSaveFilter();
    const QString proposed = proposedBackupName(serial);
    const QString path = co_await context.dialogs.saveFileName(filter, proposed);
    if (path.isEmpty())
        co_return WriteOutcome::Cancelled;
    co_return writeConfigFile(context, path, ConfigFileKind::Backup, {});
}

QCoro::Task<WriteOutcome> generateConfigFile(WriterContext context, QStringList descriptions)
{
    const QString filter = configFileSaveFilter();
    const QString path = co_await context.dialogs.saveFileName(filter, QString());
    if (path.isEmpty())
        co_return WriteOutcome::Cancelled;
    co_return writeConfigFile(context, path, ConfigFileKind::Described, descriptions);
}

} // namespace tunekit
