#include "files/config_file_reader.h"

#include "files/ansi_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

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

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Blanks are ASCII white space; the no-break space (0xA0) counts as text.
QByteArrayView Trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool TrailerMatches(QByteArrayView bytes)
{
    if (bytes.size() < kChecksumTrailerSize)
        return false;
    const QByteArrayView text = bytes.first(bytes.size() - kChecksumTrailerSize);
    return qFromLittleEndian<quint32>(bytes.data() + text.size()) == Crc32Of(text);
}

// The trailer follows the last line break our writers write, but a file converted without a
// final line break has it glued to its last line; a matching trailer is never text.
QByteArrayView WithoutTrailers(QByteArrayView bytes)
{
    for (int i = 0; i < MaxNestedTrailers && TrailerMatches(bytes); ++i)
        bytes.chop(kChecksumTrailerSize);
    return bytes;
}

// The ConfigID as a 16-bit number; nothing for a value that cannot be one.
std::optional<qint16> ConfigIdFrom(QByteArrayView value)
{
    const double rounded = std::nearbyint(LeadingNumber(value));
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

QString FileNameOf(const QString& path)
{
    const qsizetype slash = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(slash + 1);
}

QByteArray Encode32(qint32 value)
{
    // Low byte first; the device ignores bit 31.
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(value) & 0x7FFFFFFFu, bytes.data());
    return bytes;
}

class Reader {
public:
    explicit Reader(const ReaderInputs& inputs) : inputs_(inputs) {}

    ConfigFileContent Run(QByteArrayView fileBytes);

private:
    void Line(QByteArrayView line);
    void Comment(QByteArrayView text);
    void Start(Section section);
    void Stop(Section section);
    void Content(QByteArrayView line);
    void Parameter(QByteArrayView name, QByteArrayView value);
    void Finish();

    QByteArray& Accumulator(Section section) { return accumulators_[static_cast<std::size_t>(section)]; }

    const ReaderInputs& inputs_;
    ConfigFileContent out_;
    ParamArray<bool> taken_{};
    bool descriptionOpen_ = true;
    int descriptionLines_ = 0;
    Section open_ = Section::None;
    std::array<QByteArray, SectionCount> accumulators_;
};

ConfigFileContent Reader::Run(QByteArrayView fileBytes)
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

    const QByteArrayView text = WithoutTrailers(fileBytes);
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(pos, end - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        Line(line);
        pos = next;
    }
    Finish();
    return std::move(out_);
}

void Reader::Line(QByteArrayView line)
{
    if (line.startsWith('*')) {
        Comment(Trimmed(line.sliced(1)));
    } else if (open_ != Section::None) {
        Content(Trimmed(line));
    } else {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            Parameter(Trimmed(line.first(equals)), Trimmed(line.sliced(equals + 1)));
    }
}

void Reader::Comment(QByteArrayView text)
{
    if (text.contains("INTERPRETER_START")) {
        Start(Section::Interpreter);
        return;
    }
    if (text.contains("INTERPRETER_STOP")) {
        Stop(Section::Interpreter);
        return;
    }
    if (text.startsWith('[') || text.startsWith("---")) {
        descriptionOpen_ = false;
        return;
    }
    for (const Marker& marker : SectionMarkers) {
        if (text.contains(marker.text)) {
            if (marker.start)
                Start(marker.section);
            else
                Stop(marker.section);
            return;
        }
    }
    if (descriptionOpen_ && descriptionLines_ < MaxDescriptionLines) {
        out_.description += FromAnsi(text) + QStringLiteral("\r\n");
        ++descriptionLines_;
    }
}

void Reader::Start(Section section)
{
    open_ = section;
    ExtendedDataStore& store = out_.extended;
    switch (section) {
    case Section::Interpreter:
        store.interpreterPresent = true;
        descriptionOpen_ = false;
        break;
    case Section::TextIndices:
        descriptionOpen_ = false;
        store.displayPresent = true;
        break;
    case Section::FreqTab:
        store.frequencyPresent = true;
        store.FreqTableLast = 0;
        break;
    case Section::None:
        break;
    default:
        store.displayPresent = true;
        break;
    }
}

void Reader::Stop(Section section)
{
    if (open_ == section)
        open_ = Section::None;
}

void Reader::Content(QByteArrayView line)
{
    QByteArray& accumulator = Accumulator(open_);
    accumulator.append(line);
    if (open_ == Section::FreqTab)
        accumulator.append("\r\n");
    out_.extendedContentRead = true;
}

void Reader::Parameter(QByteArrayView name, QByteArrayView value)
{
    descriptionOpen_ = false;
    if (value.isEmpty() || name.size() > MaxNameLength)
        return;
    const QString key = FromAnsi(name);
    const int nr = FindConfigDefine(key).Nr;
    if (nr == 1) {
        // ConfigID and ComfigID: the last line counts. A number no 16-bit ConfigID can hold
        // belongs to no device, so the line is left out.
        if (const std::optional<qint16> id = ConfigIdFrom(value)) {
            out_.readConfigId = *id;
            out_.fileValues[1] = QString::number(*id);
            taken_[1] = true;
        }
        return;
    }
    if (nr < 2 || nr > ParamCount || taken_[nr])
        return;
    // "?" marks a value to be filled in; a later real value may still replace it.
    if (value == "?") {
        out_.fileValues[nr] = nr == ProductionDateNr ? inputs_.today.toString(QStringLiteral("dd.MM.yyyy")) : QString();
    } else {
        out_.fileValues[nr] = FromAnsi(value);
        taken_[nr] = true;
    }
    out_.changedMarks[nr] = true;
}

void Reader::Finish()
{
    ParamArray<QString>& values = out_.fileValues;
    if (!values[2].isEmpty() && !values[3].isEmpty() && values[4].isEmpty())
        values[4] = QStringLiteral("0");
    out_.fileValuesRead = true;

    out_.fileIdCaption = out_.readConfigId != 0 ? QStringLiteral("FileID: %1").arg(out_.readConfigId) : QString();
    out_.applicable = ApplicableMarks(inputs_.deviceConfigId);

    ExtendedDataStore& store = out_.extended;
    store.interpreterImage = DecodeHexSection(Accumulator(Section::Interpreter));
    store.textIndexesImage = DecodeHexSection(Accumulator(Section::TextIndices));
    store.textsImage = DecodeHexSection(Accumulator(Section::Texts));
    store.pictureIndexesImage = DecodeHexSection(Accumulator(Section::PictureIndices));
    store.picturesImage = DecodeHexSection(Accumulator(Section::Pictures));
    store.displayTableImage = DecodeHexSection(Accumulator(Section::DisplayTable));
    store.defaultsImage = DecodeHexSection(Accumulator(Section::Defaults));

    const QByteArray& freqText = Accumulator(Section::FreqTab);
    if (!freqText.isEmpty()) {
        store.frequencyTableText = FromAnsi(freqText);
        const FrequencyTableDecoded decoded = DecodeFrequencyTable(store.frequencyTableText);
        store.FreqTable = decoded.frequencies;
        store.FreqTableLast = decoded.lastChannel;
        for (int n = 0; n <= store.FreqTableLast; ++n)
            store.frequencyTable.append(Encode32(store.FreqTable[static_cast<std::size_t>(n)]));
    }
    if (store.frequencyPresent) {
        values[FreqBandNr] = QStringLiteral("254");
        values[ChannelStopNr] = QString::number(store.FreqTableLast);
        out_.changedMarks[FreqBandNr] = true;
        out_.changedMarks[ChannelStopNr] = true;
        taken_[FreqBandNr] = true;
        taken_[ChannelStopNr] = true;
    }

    out_.checksumLabel = CrcLabelLookFor(inputs_.checksumState);

    for (int k = 1; k <= ParamCount; ++k)
        out_.imageValues[k] = out_.applicable[k] ? values[k] : QString();
    out_.applicableConfigId = out_.imageValues[1].isEmpty() ? 0 : out_.readConfigId;
    out_.fileName = FileNameOf(inputs_.path);
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

OpenStatus Fail(Dialogs& dialogs, const QString& text)
{
    dialogs.MsgBox(text, MsgButtons::Ok, MsgIcon::Exclamation,
                   QCoreApplication::translate("ConfigFileReader", "Error"));
    return OpenStatus::Failed;
}

} // namespace

CrcLabelLook CrcLabelLookFor(ChecksumState state)
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

QByteArray DecodeHexSection(QByteArrayView text)
{
    if (text.size() % 2 != 0)
        return {};
    QByteArray bytes(text.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int high = HexDigit(text[2 * i]);
        const int low = high < 0 ? -1 : HexDigit(text[2 * i + 1]);
        const int value = high < 0 ? 0 : low < 0 ? high : high * 16 + low;
        bytes[i] = static_cast<char>(value);
    }
    return bytes;
}

double LeadingNumber(QByteArrayView text)
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

FrequencyTableDecoded DecodeFrequencyTable(QStringView text)
{
    FrequencyTableDecoded decoded;
    decoded.lastChannel = -1;
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
        const double rounded = std::nearbyint(LeadingNumber(entries[n].toLatin1()));
        // Checked after rounding, so that every counted entry is one the device gets.
        if (!(rounded >= 1.0 && rounded < FreqLimit))
            break;
        decoded.frequencies[n] = static_cast<qint32>(rounded);
        ++count;
    }
    decoded.lastChannel = static_cast<qint16>(count - 1);
    return decoded;
}

ConfigFileContent ReadConfigFile(QByteArrayView fileBytes, const ReaderInputs& inputs)
{
    return Reader(inputs).Run(fileBytes);
}

void ApplyConfigFile(DeviceImage& image, const ConfigFileContent& content)
{
    if (content.refused) {
        image.ClearFileData();
        return;
    }
    image.FileValue = content.fileValues;
    image.FileConfigID = content.readConfigId;
    for (int k = 1; k <= ParamCount; ++k) {
        if (content.changedMarks[k])
            image.changed[k] = true;
    }
    image.valuesFromFile = content.fileValuesRead;
    const bool used = image.extended.used && !content.extendedContentRead;
    image.extended = content.extended;
    image.extended.used = used;

    image.UpdateApplicable();
    image.UpdateEditMarks();
    for (int k = 1; k <= ParamCount; ++k)
        image.value[k] = content.imageValues[k];
    image.FileConfigID = content.applicableConfigId;

    ImageLabels& labels = image.labels;
    labels.lblCRC = content.checksumLabel.text;
    labels.crcState = static_cast<int>(content.checksumState);
    labels.showCRC = true;
    labels.showConfigFileID = true;
    labels.lblConfigFileName = content.fileName;
    labels.lblConfigFileInfo = content.description;
    image.RefreshInterpreterLabel();
}

OpenStatus OpenConfigFile(const QString& path, DeviceImage& image, Dialogs& dialogs, AccessLevel accessLevel,
                          QDate today)
{
    if (path.size() < 5 || !path.endsWith(QStringLiteral(".scd")))
        return OpenStatus::NothingChosen;

    // Any loaded file goes first, also when this one cannot be read. The used flag belongs
    // to the last write, not to the file.
    const bool used = image.extended.used;
    image.ClearFileData();
    image.extended.used = used;

    const QFileInfo info(path);
    if (!info.exists())
        return Fail(dialogs,
                    QCoreApplication::translate("ConfigFileReader", "The file %1 does not exist.").arg(Shown(path)));
    // Only plain files: a pipe or device of that name would block or never end.
    if (!info.isFile())
        return Fail(dialogs, QCoreApplication::translate("ConfigFileReader", "%1 is not a file.").arg(Shown(path)));
    const QString tooLarge =
        QCoreApplication::translate("ConfigFileReader",
                                    "The file %1 is too large for a configuration file (more than %2 MB).")
            .arg(Shown(path))
            .arg(MaxConfigFileSize / (1024 * 1024));
    if (info.size() > MaxConfigFileSize)
        return Fail(dialogs, tooLarge);

    const QString unreadable =
        QCoreApplication::translate("ConfigFileReader", "The file %1 could not be read.").arg(Shown(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(dialogs, unreadable);
    const QDate modified = file.fileTime(QFileDevice::FileModificationTime).date();
    const QByteArray bytes = file.read(MaxConfigFileSize + 1);
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed)
        return Fail(dialogs, unreadable);
    if (bytes.size() > MaxConfigFileSize) // it grew since it was measured
        return Fail(dialogs, tooLarge);

    // The checksum is judged on the very bytes that are read, so a file replaced in between
    // cannot pass with another file's checksum.
    ReaderInputs inputs;
    inputs.accessLevel = accessLevel;
    inputs.checksumState = checksumStateFor(TrailerMatches(bytes), modified);
    inputs.today = today;
    inputs.deviceConfigId = image.deviceConfigId;
    inputs.path = path;
    const ConfigFileContent content = ReadConfigFile(bytes, inputs);
    ApplyConfigFile(image, content);
    for (const ReaderMessage& message : content.messages)
        dialogs.MsgBox(message.text, MsgButtons::Ok, message.icon, message.title);
    return content.refused ? OpenStatus::Refused : OpenStatus::Loaded;
}

OpenStatus FileOpenCommand(DeviceImage& image, Dialogs& dialogs, AccessLevel accessLevel, QDate today)
{
    const QString path = dialogs.OpenFileName(ConfigFileFilter.toString());
    return OpenConfigFile(path, image, dialogs, accessLevel, today);
}

OpenStatus FileDropCommand(const QStringList& paths, DeviceImage& image, Dialogs& dialogs, AccessLevel accessLevel,
                           QDate today)
{
    if (paths.isEmpty())
        return OpenStatus::NothingChosen;
    return OpenConfigFile(paths.first(), image, dialogs, accessLevel, today);
}

} // namespace tunekit
