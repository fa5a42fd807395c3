#include "params/device_image.h"

#include "base/dialogs.h"

#include <QCoreApplication>

namespace tunekit {

void DeviceImage::ClearFileData()
{
    for (int n = 1; n <= ParamCount; ++n) {
        value[n].clear();
        readBuffer[n].clear();
        FileValue[n].clear();
        uninitialised[n] = false;
    }
    FileConfigID = 0;
    valuesFromFile = false;
    extended.Clear();
    const QString cfid = labels.lblcfid;
    const QString interpreterName = labels.ActualInterpreterName;
    const QString interpreterDate = labels.ActualInterpreterDate;
    labels = ImageLabels{};
    // These belong to the device, not to the file or the last read.
    labels.lblcfid = cfid;
    labels.ActualInterpreterName = interpreterName;
    labels.ActualInterpreterDate = interpreterDate;
}

void DeviceImage::InitDeviceImage(const ParamArray<bool>& levelMarks, Language language)
{
    for (int n = 1; n <= ParamCount; ++n) {
        value[n].clear();
        editMark[n] = false;
        applicable[n] = false;
        levelMark[n] = false;
        uninitialised[n] = false;
    }
    UpdateApplicable();
    ApplyLevelMarks(levelMarks);
    UpdateEditMarks();
    FillDisplayTexts(language);
}

void DeviceImage::SetImageEntry(int nr, const QString& text, const QString& name, const QString& description)
{
    if (nr < 0 || nr > ParamCount)
        return;
    value[nr] = text;
    displayName[nr] = name;
    displayDescription[nr] = description;
}

void DeviceImage::FillDisplayTexts(Language language)
{
    for (int n = 2; n <= ParamCount; ++n) {
        const ConfigDefine& define = FindConfigDefine(n);
        SetImageEntry(n, QString(), define.Name.toString(), define.Info(language));
    }
}

void DeviceImage::UpdateApplicable()
{
    labels.ConfigFileIDLabel = FileConfigID != 0 ? QStringLiteral("FileID: %1").arg(FileConfigID) : QString();
    applicable = ApplicableMarks(deviceConfigId);
}

void DeviceImage::ApplyLevelMarks(const ParamArray<bool>& marks)
{
    for (int n = 1; n <= ParamCount; ++n)
        levelMark[n] = marks[n];
}

void DeviceImage::UpdateEditMarks()
{
    for (int n = 2; n <= ParamCount; ++n) {
        editMark[n] = applicable[n] && levelMark[n];
        if (!applicable[n])
            value[n].clear();
    }
}

QCoro::Task<> DeviceImage::CheckUninitialisedValues(bool initialisationOffered, Dialogs& dialogs)
{
    bool found = false;
    for (int n = 1; n <= ParamCount; ++n) {
        const ConfigDefine& define = FindConfigDefine(n);
        if (!value[n].isEmpty() && value[n] == define.NonInitVal)
            uninitialised[n] = true;
        // Identity and calibration values are checked where they are written.
        if (!value[n].isEmpty() && uninitialised[n] && n != OemCodeNr && n != ProductionNumberNr && n != FreqCompNr
            && n != GainCompNr && n != PhaseCompNr)
            found = true;
    }
    if (!found)
        co_return;
    if (!initialisationOffered) {
        dialogs.MsgBox(QCoreApplication::translate("DeviceImage", "ATTENTION! Some values may not be initialized correctly."),
                       MsgButtons::Ok, MsgIcon::None, QStringLiteral("Tunekit"));
        co_return;
    }
    const MsgAnswer answer = co_await dialogs.Ask(
        Question::UninitialisedValues,
        QCoreApplication::translate("DeviceImage",
                                    "ATTENTION! Some values may not be initialized correctly. Do you want to do this now?"),
        MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Tunekit"));
    if (answer != MsgAnswer::Yes)
        co_return;
    for (int n = 1; n <= ParamCount; ++n) {
        if (n == OemCodeNr)
            continue;
        const ConfigDefine& define = FindConfigDefine(n);
        if (!value[n].isEmpty() && value[n] == define.NonInitVal) {
            value[n] = define.InitVal.toString();
            changed[n] = true;
        }
    }
}

QList<OverviewRow> DeviceImage::OverviewRows() const
{
    QList<OverviewRow> rows;
    for (int n = 2; n <= ParamCount; ++n) {
        if (applicable[n])
            rows.append({n, value[n], displayName[n], displayDescription[n], levelMark[n] ? 2 : 1});
    }
    return rows;
}

void DeviceImage::RefreshInterpreterLabel()
{
    labels.lblInterpreterImage = extended.interpreterImage.isEmpty()
                                     ? QStringLiteral("-")
                                     : QCoreApplication::translate("DeviceImage", "included in ConfigFile");
}

} // namespace tunekit
