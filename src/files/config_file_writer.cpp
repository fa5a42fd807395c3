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

QString Tr(const char* text)
{
    return QCoreApplication::translate("ConfigFileWriter", text);
}

bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
}

bool IsMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
           || category == QChar::Mark_Enclosing;
}

// Quotes and dashes that word processors put into pasted text and windows-1252 has no byte for.
char PlainPunctuation(char32_t c)
{
    if (c >= 0x2018 && c <= 0x201B)
        return '\'';
    if (c >= 0x201C && c <= 0x201F)
        return '"';
    if ((c >= 0x2010 && c <= 0x2015) || c == 0x2212)
        return '-';
    return 0;
}

void AppendAnsi(QByteArray& out, char32_t c)
{
    if (IsControl(c)) {
        out += ' ';
        return;
    }
    if (const std::optional<char> byte = AnsiByte(c)) {
        out += *byte;
        return;
    }
    if (const char plain = PlainPunctuation(c)) {
        out += plain;
        return;
    }
    // The compatibility decomposition keeps the base letters ("ř" -> "r" + caron, "ﬁ" -> "fi");
    // accents are dropped, anything else without a windows-1252 form makes the whole character "?".
    QByteArray base;
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    for (const char32_t part : decomposed.toUcs4()) {
        const std::optional<char> byte = IsControl(part) ? std::nullopt : AnsiByte(part);
        if (byte) {
            base += *byte;
        } else if (!IsMark(part)) {
            base.clear();
            break;
        }
    }
    out += base.isEmpty() ? QByteArray("?") : base;
}

bool ShowsValue(const QString& caption)
{
    const QString text = caption.trimmed();
    return !text.isEmpty() && text != QLatin1String("-") && text != QLatin1String("???");
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString SaveFailureText(const QString& path)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    QString reason;
    if (!folder.isDir())
        reason = Tr(QT_TRANSLATE_NOOP("ConfigFileWriter", "The folder %1 does not exist.")).arg(Shown(folder.absoluteFilePath()));
    else if (info.isDir())
        reason = Tr(QT_TRANSLATE_NOOP("ConfigFileWriter", "There is a folder of that name."));
    else if (!folder.isWritable() || (info.exists() && !info.isWritable()))
        reason = Tr(QT_TRANSLATE_NOOP("ConfigFileWriter", "You are not permitted to write there."));
    else
        reason = Tr(QT_TRANSLATE_NOOP("ConfigFileWriter", "The data could not be stored completely; the disk may be full."));
    QString text = Tr(QT_TRANSLATE_NOOP("ConfigFileWriter", "The file %1 could not be written.")).arg(Shown(path)) + QStringLiteral("\r\n") + reason;
    if (info.isFile())
        text += QStringLiteral("\r\n") + Tr(QT_TRANSLATE_NOOP("ConfigFileWriter", "The file that was there before is unchanged."));
    return text;
}

WriteOutcome WriteConfigFile(const WriterContext& context, const QString& path, ConfigFileKind kind,
                             const QStringList& descriptions)
{
    // The header tells the moment of writing, so it is taken after the dialog.
    WriterInputs inputs;
    inputs.kind = kind;
    inputs.descriptions = descriptions;
    inputs.origin = MakeWriterOrigin(context.host, context.version, context.locale);
    const QString failure = SaveConfigFile(path, WithChecksumTrailer(ComposeConfigFile(context.image, inputs)));
    if (failure.isEmpty())
        return WriteOutcome::Written;
    context.dialogs.MsgBox(failure, MsgButtons::Ok, MsgIcon::Exclamation, Tr(QT_TRANSLATE_NOOP("ConfigFileWriter", "Error")));
    return WriteOutcome::Failed;
}

} // namespace

QString ConfigFileSaveFilter()
{
    return QStringLiteral("TunekitDatei (*.scd)|*.scd");
}

QString FormatNow(const QDateTime& now, const QLocale& locale)
{
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + locale.toString(now.time(), QLocale::LongFormat);
}

WriterOrigin MakeWriterOrigin(const HostFacts& host, const VersionInfo& version, const QLocale& locale)
{
    return WriterOrigin{FormatNow(host.Now(), locale), host.ComputerName(), host.UserName(), version.programName,
                        version.version};
}

QString ProposedBackupName(const QString& serialNumber)
{
    return Tr(QT_TRANSLATE_NOOP("ConfigFileWriter", "Backup")) + QLatin1Char('_') + serialNumber;
}

QByteArray FileText(QStringView text)
{
    QByteArray out;
    const QString composed = text.toString().normalized(QString::NormalizationForm_C);
    for (const char32_t c : composed.toUcs4())
        AppendAnsi(out, c);
    return out;
}

QByteArray CommentText(QStringView text)
{
    QByteArray out = FileText(text);
    // Every marker ends in "_START" or "_STOP", and markers that overlap end at the same place,
    // so one pass leaves none behind.
    for (const char* section : SectionNames) {
        const QByteArray name(section);
        out.replace(name + "_START", name + " START");
        out.replace(name + "_STOP", name + " STOP");
    }
    return out;
}

QByteArray DescriptionText(QStringView text)
{
    QByteArray out = CommentText(text);
    // The reader trims blanks, the no-break space included, before it looks at the text.
    qsizetype first = 0;
    while (first < out.size() && (out[first] == ' ' || out[first] == '\xA0'))
        ++first;
    const QByteArrayView rest = QByteArrayView(out).sliced(first);
    if (rest.startsWith('[') || rest.startsWith("---"))
        out.prepend('\'');
    return out;
}

QByteArray ComposeConfigFile(const DeviceImage& image, const WriterInputs& inputs)
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
                line("* " + DescriptionText(description));
        }
    }
    // The hyphen line ends the description when the file is read.
    line("* " + QByteArray(61, '-'));
    line("* HVX Config-File ");
    line("* generated on " + CommentText(origin.now));
    line("* on " + CommentText(origin.computerName) + " by " + CommentText(origin.userName));
    line("* using " + CommentText(origin.programName) + ' ' + CommentText(origin.programVersion));
    if (backup) {
        const QString& hardware = image.labels.lblInfo[HardwareInfo];
        if (ShowsValue(hardware)) {
            line("* ");
            line("* Hardware: " + CommentText(hardware));
        }
        const QString& interpreter = image.labels.lblInfo[InterpreterInfo];
        if (ShowsValue(interpreter))
            line("* Interpreter: " + CommentText(interpreter));
    }
    line("");
    line("");

    for (int k = 1; k <= ParamCount; ++k) {
        if (!image.applicable[k] || !IsApplicable(k, image.deviceConfigId))
            continue;
        const QByteArray name = FileText(FindConfigDefine(k).Name);
        const QString& value = image.value[k];
        const bool empty = value.trimmed().isEmpty();
        // A backup is made of one device; the next device written from it gets its own date,
        // which the reader puts in place of "?".
        if (k == ProductionDateNr && (empty || !dateAsItIs))
            line(name + "=?");
        else if (!empty)
            line(name + '=' + FileText(value));
    }
    line("");
    line("ConfigID=" + QByteArray::number(image.deviceConfigId));
    line("");
    line("");
    return out;
}

QByteArray WithChecksumTrailer(QByteArray text)
{
    char trailer[kChecksumTrailerSize];
    qToLittleEndian<quint32>(Crc32Of(text), trailer);
    text.append(trailer, kChecksumTrailerSize);
    return text;
}

QString SaveConfigFile(const QString& path, const QByteArray& bytes)
{
    // Never the direct-write fallback: a file written in place could be left half-written.
    QSaveFile file(path);
    bool saved = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (saved) {
        // Only a file that reads back whole is written: what a later restore relies on.
        QFile check(path);
        saved = check.open(QIODevice::ReadOnly) && check.size() == bytes.size() && check.readAll() == bytes;
    }
    return saved ? QString() : SaveFailureText(path);
}

QString ReserveNewFile(const QString& folder, const QString& baseName)
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

WriteOutcome WriteRestorableBackup(const WriterContext& context, const QString& path)
{
    const WriteOutcome outcome = WriteConfigFile(context, path, ConfigFileKind::Restorable, {});
    if (outcome != WriteOutcome::Written && QFileInfo(path).size() == 0)
        QFile::remove(path);
    return outcome;
}

WriteOutcome generateBackup(const WriterContext& context, const QString& serialNumber)
{
    const QString serial = serialNumber.trimmed();
    if (serial.isEmpty())
        return WriteOutcome::NothingToDo;
    const QString path = context.dialogs.SaveFileName(ConfigFileSaveFilter(), ProposedBackupName(serial));
    if (path.isEmpty())
        return WriteOutcome::Cancelled;
    return WriteConfigFile(context, path, ConfigFileKind::Backup, {});
}

WriteOutcome generateConfigFile(const WriterContext& context, const QStringList& descriptions)
{
    const QString path = context.dialogs.SaveFileName(ConfigFileSaveFilter(), QString());
    if (path.isEmpty())
        return WriteOutcome::Cancelled;
    return WriteConfigFile(context, path, ConfigFileKind::Described, descriptions);
}

} // namespace tunekit
