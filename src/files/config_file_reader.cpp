#include "files/config_file_reader.h"

#include "files/ansi_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tunekit {

namespace {

enum class Section { None, Interpreter, TextIndices, Texts, PictureIndices, Pictures, DisplayTable, Defaults, FreqTab };
constexpr int SectionCount = 9;

struct Marker {
    QByteArrayView text;
    Section section;
    bool start;
};

// The markers after the description test, in the order they are tried; the first one a
// comment holds decides.
constexpr std::array<Marker, 14> SectionMarkers{{
    {"TEXTINDICES_START", Section::TextIndices, true},
    {"TEXTINDICES_STOP", Section::TextIndices, false},
    {"TEXTS_START", Section::Texts, true},
    {"TEXTS_STOP", Section::Texts, false},
    {"PICTUREINDICES_START", Section::PictureIndices, true},
    {"PICTUREINDICES_STOP", Section::PictureIndices, false},
    {"PICTURES_START", Section::Pictures, true},
    {"PICTURES_STOP", Section::Pictures, false},
    {"DISPLAY_TABLE_START", Section::DisplayTable, true},
    {"DISPLAY_TABLE_STOP", Section::DisplayTable, false},
    {"DEFAULTS_START", Section::Defaults, true},
    {"DEFAULTS_STOP", Section::Defaults, false},
    {"FREQTAB_START", Section::FreqTab, true},
    {"FREQTAB_STOP", Section::FreqTab, false},
}};

constexpr int MaxDescriptionLines = 6;
constexpr int FreqChannels = 80;
constexpr double FreqLimit = 1'000'000'000.0;
// A file converted twice carries two trailers; more than a few nested ones is no real file.
constexpr int MaxNestedTrailers = 4;
// No parameter name comes near this, so longer names need no lookup.
constexpr qsizetype MaxNameLength = 64;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Blanks are ASCII white space; the no-break space (0xA0) counts as text.
QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool trailerMatches(QByteArrayView bytes)
{
    if (bytes.size() < kChecksumTrailerSize)
        return false;
    const QByteArrayView text = bytes.first(bytes.size() - kChecksumTrailerSize);
    return qFromLittleEndian<quint32>(bytes.data() + text.size()) == crc32Of(text);
}

// The trailer follows the last line break our writers write, but a file converted without a
// final line break has it glued to its last line; a matching trailer is never text.
QByteArrayView withoutTrailers(QByteArrayView bytes)
{
    for (int i = 0; i < MaxNestedTrailers && trailerMatches(bytes); ++i)
        bytes.chop(kChecksumTrailerSize);
    return bytes;
}

// The ConfigID as a 16-bit number; nothing for a value that cannot be one.
std::optional<qint16> configIdFrom(QByteArrayView value)
{
    const double rounded = std::nearbyint(leadingNumber(value));
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

QString fileNameOf(const QString& path)
{
    const qsizetype slash = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(slash + 1);
}

QByteArray encode32(qint32 value)
{
    // Low byte first; the device ignores bit 31.
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(value) & 0x7FFFFFFFu, bytes.data());
    return bytes;
}

class Reader {
public:
    explicit Reader(const ReaderInputs& inputs) : inputs_(inputs) {}

    ConfigFileContent run(QByteArrayView fileBytes);

private:
    // False for a line that sets nothing because its name is no parameter's (or it has none).
    bool takeLine(QByteArrayView line);
    void comment(QByteArrayView text);
    void start(Section section);
    void stop(Section section);
    void content(QByteArrayView line);
    bool parameter(QByteArrayView name, QByteArrayView value);
    void finish();

    QByteArray& accumulatorOf(Section section) { return accumulators_[static_cast<std::size_t>(section)]; }

    const ReaderInputs& inputs_;
    ConfigFileContent out_;
    ParamArray<bool> taken_{};
    bool descriptionOpen_ = true;
    int descriptionLines_ = 0;
    Section open_ = Section::None;
    std::array<QByteArray, SectionCount> accumulators_;
};

ConfigFileContent Reader::run(QByteArrayView fileBytes)
{
    out_.checksumState = inputs_.checksumState;
    if (inputs_.checksumState == ChecksumState::ChecksumNotValid && !inputs_.accessLevel.opensFilesWithWrongChecksum()) {
        out_.refused = true;
        const QString text =
            QCoreApplication::translate("ConfigFileReader", "Config-File not valid!") + QStringLiteral("\r\n")
            + QCoreApplication::translate("ConfigFileReader", "File corrupt, please use a correct file!");
        out_.messages.append(
            {text, MsgIcon::Critical, QCoreApplication::translate("ConfigFileReader", "Checksum Error")});
        return std::move(out_);
    }

    QByteArrayView text = withoutTrailers(fileBytes);
    // Editors on Windows begin a UTF-8 file with a byte-order mark; it is no part of the first key.
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    qsizetype pos = 0;
    int number = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(pos, end - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        ++number;
        // A checksum that no longer matches still stands where the trailer goes: after the
        // last line break, 4 bytes long. It is not a line of the file.
        const bool trailerPlace = next == text.size() && end == text.size() && line.size() == kChecksumTrailerSize;
        if (!takeLine(line) && !trailerPlace && !trimmed(line).isEmpty()) {
            if (out_.ignoredLineCount++ < MaxIgnoredLinesKept)
                out_.ignoredLines.append(QStringLiteral("line %1: %2").arg(number).arg(fromAnsi(trimmed(line).first(qMin<qsizetype>(trimmed(line).size(), 80)))));
        }
        pos = next;
    }
    finish();
    return std::move(out_);
}

bool Reader::takeLine(QByteArrayView line)
{
    if (line.startsWith('*')) {
        comment(trimmed(line.sliced(1)));
        return true;
    }
    if (open_ != Section::None) {
        content(trimmed(line));
        return true;
    }
    const qsizetype equals = line.indexOf('=');
    return equals > 0 && parameter(trimmed(line.first(equals)), trimmed(line.sliced(equals + 1)));
}

void Reader::comment(QByteArrayView text)
{
    if (text.contains("INTERPRETER_START")) {
        start(Section::Interpreter);
        return;
    }
    if (text.contains("INTERPRETER_STOP")) {
        stop(Section::Interpreter);
        return;
    }
    if (text.startsWith('[') || text.startsWith("---")) {
        descriptionOpen_ = false;
        return;
    }
    for (const Marker& marker : SectionMarkers) {
        if (text.contains(marker.text)) {
            if (marker.start)
                start(marker.section);
            else
                stop(marker.section);
            return;
        }
    }
    if (descriptionOpen_ && descriptionLines_ < MaxDescriptionLines) {
        out_.description += fromAnsi(text) + QStringLiteral("\r\n");
        ++descriptionLines_;
    }
}

void Reader::start(Section section)
{
    open_ = section;
    ExtendedDataStore& store = out_.extended;
    // Of the sections, only the interpreter and the text indices end the description.
    if (section == Section::Interpreter || section == Section::TextIndices)
        descriptionOpen_ = false;
    if (section == Section::Interpreter) {
        store.interpreterPresent = true;
    } else if (section == Section::FreqTab) {
        store.frequencyPresent = true;
        store.freqTableLast = 0;
    } else {
        store.displayPresent = true;
    }
}

void Reader::stop(Section section)
{
    if (open_ == section)
        open_ = Section::None;
}

void Reader::content(QByteArrayView line)
{
    QByteArray& accumulator = accumulatorOf(open_);
    accumulator.append(line);
    if (open_ == Section::FreqTab)
        accumulator.append("\r\n");
    out_.extendedContentRead = true;
}

bool Reader::parameter(QByteArrayView name, QByteArrayView value)
{
    descriptionOpen_ = false;
    if (name.size() > MaxNameLength)
        return false;
    const int nr = findConfigDefine(fromAnsi(name)).nr;
    if (nr < 1 || nr > ParamCount)
        return false;
    if (value.isEmpty())
        return true;
    if (nr == 1) {
        // ConfigID and ComfigID: the last line counts. A number no 16-bit ConfigID can hold
        // belongs to no device, so the line is left out.
        if (const std::optional<qint16> id = configIdFrom(value)) {
            out_.readConfigId = *id;
            out_.fileValues[1] = QString::number(*id);
            taken_[1] = true;
        }
        return true;
    }
    if (taken_[nr])
        return true;
    // "?" marks a value to be filled in; a later real value may still replace it.
    if (value == "?") {
        out_.fileValues[nr] = nr == ProductionDateNr ? inputs_.today.toString(QStringLiteral("dd.MM.yyyy")) : QString();
    } else {
        out_.fileValues[nr] = fromAnsi(value);
        taken_[nr] = true;
    }
    out_.changedMarks[nr] = true;
    return true;
}

void Reader::finish()
{
    ParamArray<QString>& values = out_.fileValues;
    if (!values[2].isEmpty() && !values[3].isEmpty() && values[4].isEmpty())
        values[4] = QStringLiteral("0");
    out_.fileValuesRead = true;

    out_.fileIdCaption = out_.readConfigId != 0 ? QStringLiteral("FileID: %1").arg(out_.readConfigId) : QString();
    out_.applicable = applicableMarks(inputs_.deviceConfigId);

    ExtendedDataStore& store = out_.extended;
    store.interpreterImage = decodeHexSection(accumulatorOf(Section::Interpreter));
    store.textIndexesImage = decodeHexSection(accumulatorOf(Section::TextIndices));
    store.textsImage = decodeHexSection(accumulatorOf(Section::Texts));
    store.pictureIndexesImage = decodeHexSection(accumulatorOf(Section::PictureIndices));
    store.picturesImage = decodeHexSection(accumulatorOf(Section::Pictures));
    store.displayTableImage = decodeHexSection(accumulatorOf(Section::DisplayTable));
    store.defaultsImage = decodeHexSection(accumulatorOf(Section::Defaults));

    const QByteArray& freqText = accumulatorOf(Section::FreqTab);
    if (!freqText.isEmpty()) {
        store.frequencyTableText = fromAnsi(freqText);
        const FrequencyTableDecoded decoded = decodeFrequencyTable(store.frequencyTableText);
        store.freqTable = decoded.frequencies;
        store.freqTableLast = decoded.lastChannel;
        for (int n = 0; n <= store.freqTableLast; ++n)
            store.frequencyTable.append(encode32(store.freqTable[static_cast<std::size_t>(n)]));
    }
    if (store.frequencyPresent) {
        values[FreqBandNr] = QStringLiteral("254");
        values[ChannelStopNr] = QString::number(store.freqTableLast);
        out_.changedMarks[FreqBandNr] = true;
        out_.changedMarks[ChannelStopNr] = true;
    }

    for (int k = 1; k <= ParamCount; ++k)
        out_.imageValues[k] = out_.applicable[k] ? values[k] : QString();
    out_.applicableConfigId = out_.imageValues[1].isEmpty() ? 0 : out_.readConfigId;
    out_.fileName = fileNameOf(inputs_.path);
    out_.holdsConfiguration = out_.extendedContentRead || store.interpreterPresent || store.displayPresent
                              || store.frequencyPresent
                              || std::any_of(out_.changedMarks.begin(), out_.changedMarks.end(), [](bool marked) { return marked; })
                              || taken_[1];
}

OpenStatus fail(Dialogs& dialogs, const QString& text)
{
    dialogs.msgBox(text, MsgButtons::Ok, MsgIcon::Exclamation,
                   QCoreApplication::translate("ConfigFileReader", "Error"));
    return OpenStatus::Failed;
}

} // namespace

QString ignoredLinesText(const QString& fileName, const QStringList& lines, int count)
{
    if (count == 0)
        return {};
    QString text = QCoreApplication::translate("ConfigFileReader", "These lines of %1 set nothing and were not taken:").arg(fileName);
    for (const QString& line : lines)
        text += QStringLiteral("\r\n") + line;
    if (count > lines.size())
        text += QStringLiteral("\r\n...");
    return text;
}

QString noConfigurationText(const QString& path)
{
    return QCoreApplication::translate("ConfigFileReader",
                                       "%1 is not a configuration file: it holds no ConfigID, no parameter value and no extended data.")
        .arg(QDir::toNativeSeparators(path));
}

CrcLabelLook crcLabelLookFor(ChecksumState state)
{
    switch (state) {
    case ChecksumState::ChecksumValid:
        return {QCoreApplication::translate("ConfigFileReader", "Checksum valid"), Rgb{0, 0, 0}, std::nullopt};
    case ChecksumState::NoChecksum:
        return {QCoreApplication::translate("ConfigFileReader", "No checksum"), Rgb{0, 0, 0}, Rgb{255, 255, 128}};
    case ChecksumState::ChecksumNotValid:
        break;
    }
    return {QCoreApplication::translate("ConfigFileReader", "Checksum not valid"), Rgb{255, 255, 0}, Rgb{255, 0, 0}};
}

QByteArray decodeHexSection(QByteArrayView text)
{
    if (text.size() % 2 != 0)
        return {};
    QByteArray bytes(text.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int high = hexDigit(text[2 * i]);
        const int low = high < 0 ? -1 : hexDigit(text[2 * i + 1]);
        const int value = high < 0 ? 0 : low < 0 ? high : high * 16 + low;
        bytes[i] = static_cast<char>(value);
    }
    return bytes;
}

double leadingNumber(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const qsizetype start = i;
    bool wholeNonZero = false;
    for (; i < text.size() && isDigit(text[i]); ++i)
        wholeNonZero = wholeNonZero || text[i] != '0';
    qsizetype digits = i - start;
    if (i < text.size() && text[i] == '.') {
        const qsizetype fraction = ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        digits += i - fraction;
    }
    if (digits == 0)
        return 0.0;
    double value = 0.0;
    const std::from_chars_result parsed =
        std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::fixed);
    // Out of range: too large when the whole part is not zero, otherwise too small to matter.
    if (parsed.ec == std::errc::result_out_of_range)
        value = wholeNonZero ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

FrequencyTableDecoded decodeFrequencyTable(QStringView text)
{
    FrequencyTableDecoded decoded;
    if (!text.startsWith(u"b#") && !text.startsWith(u"B#"))
        return decoded;

    qsizetype pos = 0;
    const auto nextLine = [&text, &pos]() {
        const qsizetype end = text.indexOf(u"\r\n", pos);
        const QStringView line = text.sliced(pos, (end < 0 ? text.size() : end) - pos);
        pos = end < 0 ? text.size() : end + 2;
        return line;
    };
    std::array<QStringView, FreqChannels + 1> entries{};
    entries[0] = nextLine().sliced(2);
    for (std::size_t n = 1; n <= FreqChannels && pos < text.size(); ++n) {
        const QStringView line = nextLine();
        if (line.startsWith(u"k#") || line.startsWith(u"K#"))
            entries[n] = line.sliced(2);
    }

    int count = 0;
    for (std::size_t n = 0; n < entries.size(); ++n) {
        if (entries[n].isEmpty())
            break;
        const double rounded = std::nearbyint(leadingNumber(entries[n].toLatin1()));
        // Checked after rounding, so that every counted entry is one the device gets.
        if (!(rounded >= 1.0 && rounded < FreqLimit))
            break;
        decoded.frequencies[n] = static_cast<qint32>(rounded);
        ++count;
    }
    decoded.lastChannel = static_cast<qint16>(count - 1);
    return decoded;
}

ConfigFileContent readConfigFile(QByteArrayView fileBytes, const ReaderInputs& inputs)
{
    return Reader(inputs).run(fileBytes);
}

void applyConfigFile(DeviceImage& image, const ConfigFileContent& content)
{
    if (content.refused) {
        image.clearFileData();
        return;
    }
    image.fileValue = content.fileValues;
    image.fileConfigId = content.readConfigId;
    for (int k = 1; k <= ParamCount; ++k) {
        if (content.changedMarks[k])
            image.changed[k] = true;
    }
    image.valuesFromFile = content.fileValuesRead;
    const bool used = image.extended.used && !content.extendedContentRead;
    image.extended = content.extended;
    image.extended.used = used;

    image.updateApplicable();
    image.updateEditMarks();
    for (int k = 1; k <= ParamCount; ++k)
        image.value[k] = content.imageValues[k];
    image.fileConfigId = content.applicableConfigId;

    image.file.checksumState = static_cast<int>(content.checksumState);
    image.file.shown = true;
    image.file.name = content.fileName;
    image.file.description = content.description;
    image.file.ignoredLines = content.ignoredLines;
    image.file.ignoredLineCount = content.ignoredLineCount;
}

OpenStatus openConfigFile(const QString& path, DeviceImage& image, Dialogs& dialogs, AccessLevel accessLevel,
                          QDate today)
{
    if (path.size() < 5 || !path.endsWith(QStringLiteral(".scd")))
        return OpenStatus::NothingChosen;

    // Any loaded file goes first, also when this one cannot be read. The used flag belongs
    // to the last write, not to the file.
    const bool used = image.extended.used;
    image.clearFileData();
    image.extended.used = used;

    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists())
        return fail(dialogs, QCoreApplication::translate("ConfigFileReader", "The file %1 does not exist.").arg(shown));
    // Only plain files: a pipe or device of that name would block or never end.
    if (!info.isFile())
        return fail(dialogs, QCoreApplication::translate("ConfigFileReader", "%1 is not a file.").arg(shown));
    const QString tooLarge =
        QCoreApplication::translate("ConfigFileReader",
                                    "The file %1 is too large for a configuration file (more than %2 MB).")
            .arg(shown)
            .arg(MaxConfigFileSize / (1024 * 1024));
    if (info.size() > MaxConfigFileSize)
        return fail(dialogs, tooLarge);

    const QString unreadable =
        QCoreApplication::translate("ConfigFileReader", "The file %1 could not be read.").arg(shown);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(dialogs, unreadable);
    const QDate modified = file.fileTime(QFileDevice::FileModificationTime).date();
    const QByteArray bytes = file.read(MaxConfigFileSize + 1);
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed)
        return fail(dialogs, unreadable);
    if (bytes.size() > MaxConfigFileSize) // it grew since it was measured
        return fail(dialogs, tooLarge);

    // The checksum is judged on the very bytes that are read, so a file replaced in between
    // cannot pass with another file's checksum.
    ReaderInputs inputs;
    inputs.accessLevel = accessLevel;
    inputs.checksumState = checksumStateFor(trailerMatches(bytes), modified);
    inputs.today = today;
    inputs.deviceConfigId = image.deviceConfigId;
    inputs.path = path;
    const ConfigFileContent content = readConfigFile(bytes, inputs);
    if (!content.refused && !content.holdsConfiguration)
        return fail(dialogs, noConfigurationText(path));
    applyConfigFile(image, content);
    for (const ReaderMessage& message : content.messages)
        dialogs.msgBox(message.text, MsgButtons::Ok, message.icon, message.title);
    return content.refused ? OpenStatus::Refused : OpenStatus::Loaded;
}

namespace {

// The user who opens a file is told which of its lines set nothing.
OpenStatus openTellingIgnoredLines(const QString& path, DeviceImage& image, Dialogs& dialogs, AccessLevel accessLevel,
                                   QDate today)
{
    const OpenStatus status = openConfigFile(path, image, dialogs, accessLevel, today);
    if (status == OpenStatus::Loaded && image.file.ignoredLineCount > 0)
        dialogs.msgBox(ignoredLinesText(image.file.name, image.file.ignoredLines, image.file.ignoredLineCount),
                       MsgButtons::Ok, MsgIcon::Exclamation, QCoreApplication::translate("ConfigFileReader", "Warning"));
    return status;
}

} // namespace

QCoro::Task<QString> chooseConfigFile(Dialogs& dialogs)
{
    const QString filter = ConfigFileFilter.toString();
    co_return co_await dialogs.openFileName(filter);
}

OpenStatus openChosenFile(const QStringList& paths, DeviceImage& image, Dialogs& dialogs, AccessLevel accessLevel,
                           QDate today)
{
    if (paths.isEmpty())
        return OpenStatus::NothingChosen;
    return openTellingIgnoredLines(paths.first(), image, dialogs, accessLevel, today);
}

} // namespace tunekit
