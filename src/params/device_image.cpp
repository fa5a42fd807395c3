#include "params/device_image.h"

#include "base/dialogs.h"
#include "params/overview_edit.h"
#include "params/parameter_cells.h"

#include <QCoreApplication>

#include <algorithm>

namespace tunekit {

void DeviceImage::clearFileData()
{
    for (int n = 1; n <= ParamCount; ++n) {
        value[n].clear();
        readBuffer[n].clear();
        fileValue[n].clear();
        uninitialised[n] = false;
    }
    fileConfigId = 0;
    valuesFromFile = false;
    extended.clear();
    file = LoadedFile{};
    // The family and the interpreter belong to the device, not to the file or the last read.
    DeviceInformation kept;
    kept.reportedConfigId = info.reportedConfigId;
    kept.interpreterName = info.interpreterName;
    kept.interpreterDate = info.interpreterDate;
    info = kept;
}

void DeviceImage::initDeviceImage(const ParamArray<bool>& levelMarks, Language language)
{
    for (int n = 1; n <= ParamCount; ++n) {
        value[n].clear();
        editMark[n] = false;
        applicable[n] = false;
        levelMark[n] = false;
        uninitialised[n] = false;
    }
    updateApplicable();
    applyLevelMarks(levelMarks);
    updateEditMarks();
    fillDisplayTexts(language);
}

void DeviceImage::fillDisplayTexts(Language language)
{
    for (int n = 2; n <= ParamCount; ++n) {
        const ConfigDefine& define = findConfigDefine(n);
        displayName[n] = define.name.toString();
        displayDescription[n] = define.info(language);
    }
}

void DeviceImage::updateApplicable()
{
    file.configIdShown = fileConfigId;
    applicable = applicableMarks(deviceConfigId);
}

void DeviceImage::applyLevelMarks(const ParamArray<bool>& marks)
{
    for (int n = 1; n <= ParamCount; ++n)
        levelMark[n] = marks[n];
}

void DeviceImage::updateEditMarks()
{
    for (int n = 2; n <= ParamCount; ++n) {
        editMark[n] = applicable[n] && levelMark[n];
        if (!applicable[n])
            value[n].clear();
    }
}

QCoro::Task<> DeviceImage::checkUninitialisedValues(bool initialisationOffered, Dialogs& dialogs)
{
    QStringList found;
    for (int n = 1; n <= ParamCount; ++n) {
        const ConfigDefine& define = findConfigDefine(n);
        if (!value[n].isEmpty() && value[n] == define.erasedValue)
            uninitialised[n] = true;
        // Identity and calibration values are checked where they are written.
        if (!value[n].isEmpty() && uninitialised[n] && n != OemCodeNr && n != ProductionNumberNr && n != FreqCompNr
            && n != GainCompNr && n != PhaseCompNr)
            found << define.name.toString() + QLatin1Char('=') + value[n];
    }
    if (found.isEmpty())
        co_return;
    // The values the question is about, so that it can be answered knowingly.
    const QString named = QStringLiteral("\r\n\r\n") + found.join(QStringLiteral(", "));
    if (!initialisationOffered) {
        dialogs.msgBox(QCoreApplication::translate("DeviceImage", "ATTENTION! Some values may not be initialized correctly.") + named,
                       MsgButtons::Ok, MsgIcon::None, QStringLiteral("Tunekit"));
        co_return;
    }
    const MsgAnswer answer = co_await dialogs.ask(
        Question::UninitialisedValues,
        QCoreApplication::translate("DeviceImage",
                                    "ATTENTION! Some values may not be initialized correctly. Do you want to do this now?")
            + named,
        MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Tunekit"));
    if (answer != MsgAnswer::Yes)
        co_return;
    for (int n = 1; n <= ParamCount; ++n) {
        if (n == OemCodeNr)
            continue;
        const ConfigDefine& define = findConfigDefine(n);
        if (!value[n].isEmpty() && value[n] == define.erasedValue) {
            value[n] = define.defaultValue.toString();
            changed[n] = true;
        }
    }
}

QList<OverviewRow> DeviceImage::overviewRows() const
{
    QList<OverviewRow> rows;
    for (int n = 2; n <= ParamCount; ++n) {
        if (applicable[n])
            rows.append({n, value[n], displayName[n], displayDescription[n], levelMark[n] ? 2 : 1,
                         outsideStatedRange(n, value[n]), changed[n], {}, false, false});
    }
    return rows;
}

namespace {

// The image text as a whole number within [minimum, maximum], else nothing.
std::optional<qint32> numberWithin(const QString& text, qint32 minimum, qint32 maximum)
{
    const std::optional<qint64> number = readWholeNumber(text);
    if (!number || *number < minimum || *number > maximum)
        return std::nullopt;
    return static_cast<qint32>(*number);
}

} // namespace

SerialEncoding serialNumberOf(const DeviceImage& image, Dialogs& dialogs)
{
    // Texts from a file may be anything; a serial number built from a guessed reading of them
    // would show an identity the image does not hold, so there is none.
    const std::optional<qint32> address = numberWithin(image.value[SystemAddressNr], 0, 65535);
    const std::optional<qint32> oem = numberWithin(image.value[OemCodeNr], 0, 255);
    const std::optional<qint32> group = numberWithin(image.value[ProdGrpNr], 0, 255);
    if (!address || !oem || !group)
        return {};
    return encodeSerialNumber(*address, *oem, *group, image.value[ProdGrpNr], image.imageConfigId, dialogs);
}

} // namespace tunekit
