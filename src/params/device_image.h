#pragma once

#include "base/language.h"
#include "identity/serial_number.h"
#include "params/config_defines.h"

#include <QByteArray>
#include <QList>
#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <array>

namespace tunekit {

class Dialogs;

template <typename T>
using ParamArray = std::array<T, ParamCount + 1>; // indexed by Nr; element 0 unused

// The extended data a configuration file carries, written to the device separately.
struct ExtendedDataStore {
    QByteArray interpreterImage;
    QByteArray textIndexesImage;
    QByteArray textsImage;
    QByteArray pictureIndexesImage;
    QByteArray picturesImage;
    QByteArray displayTableImage;
    QByteArray defaultsImage;
    QString frequencyTableText;
    QList<QByteArray> frequencyTable; // decoded entries, 4 data bytes each
    bool interpreterPresent = false;  // lblI
    bool displayPresent = false;      // lblD
    bool frequencyPresent = false;    // lblF
    bool used = false;                // written once already (erase-after-write option)

    // The frequency table as numbers: entry 0 is the base ("b#"), 1..80 the channels ("k#"),
    // 81..85 stay 0. frequencyTable above holds the same valid entries in their 4-byte form.
    static constexpr int FreqTableSize = 86;
    std::array<qint32, FreqTableSize> freqTable{};
    qint16 freqTableLast = -1; // number of valid leading entries - 1; -1 when none

    void clear() { *this = ExtendedDataStore{}; }
};

// What the transmitter told of itself in its information read.
struct DeviceInformation {
    QString source = QStringLiteral("-"); // the source text
    std::array<QString, 8> texts{};       // information 1..7; "-" until read
    QString operatingHours = QStringLiteral("-");
    int reportedConfigId = 0; // the family the device reported last; 0 = none yet
    QString interpreterName;  // of the interpreter in the device, for a backup's header
    QString interpreterDate;

    DeviceInformation() { texts.fill(QStringLiteral("-")); }
};

// The configuration file last loaded into the image.
struct LoadedFile {
    QString name;
    QString description;
    int checksumState = -1; // its ChecksumState; -1 = no file
    bool shown = false;     // its checksum state and FileID are on show (a read or a write ends that)
    int configIdShown = 0;  // the FileID on show, as of the last time the applicability was worked out
    QStringList ignoredLines; // lines that set nothing ("line N: text"), the first few
    int ignoredLineCount = 0;
};

// One row of the overview list.
struct OverviewRow {
    int nr = 0;
    QString value;
    QString name;
    QString description;
    int icon = 1; // 2 when the access level reaches the parameter, else 1
    bool outsideStatedRange = false; // the value is outside the range the description states
    bool edited = false;             // changed (typed or from a file) and not yet written
    // A file opened over a known unit (the station marks it): what the unit holds where the file
    // would change it ("": the file changes nothing here), and whether it is a calibration value a
    // write keeps unless the user allows overwriting it.
    QString deviceValue;
    bool fileChangesIt = false;
    bool calibration = false;
};

// The in-memory copy of the transmitter's parameters with its marks, the file values,
// the extended data and the labels that show them.
class DeviceImage {
public:
    ParamArray<QString> value;          // the device image: decimal text, "" = none
    ParamArray<QString> readBuffer;
    ParamArray<QString> fileValue;
    ParamArray<QString> displayName;
    ParamArray<QString> displayDescription;
    ParamArray<bool> applicable{};
    ParamArray<bool> levelMark{};
    ParamArray<bool> editMark{};
    ParamArray<bool> uninitialised{};
    ParamArray<bool> changed{};
    ParamArray<bool> received{};        // this read

    qint16 deviceConfigId = 0;
    qint16 imageConfigId = 0;
    qint16 fileConfigId = 0;
    bool valuesFromFile = false;

    ExtendedDataStore extended;
    DeviceInformation info;
    LoadedFile file;

    // Empties the image and everything of a loaded file and of the last read; keeps marks.
    void clearFileData();
    // Start-up: empty values, recompute all marks for the device and the given level marks (the
    // parameters the user's access level reaches), display texts.
    void initDeviceImage(const ParamArray<bool>& levelMarks, Language language);
    void fillDisplayTexts(Language language);
    // Applicable marks for the device ConfigID, and the file ID label.
    void updateApplicable();
    // Level marks: the parameters the user's access level reaches.
    void applyLevelMarks(const ParamArray<bool>& marks);
    void updateEditMarks();
    // Before writing: warn of values that still look like erased cells, or, when
    // initialisationOffered, offer their defaults.
    QCoro::Task<> checkUninitialisedValues(bool initialisationOffered, Dialogs& dialogs);

    // The overview's rows: the applicable parameters 2..ParamCount in number order.
    QList<OverviewRow> overviewRows() const;
};

// The serial number the identity cells (SystemAddress, OemCode, ProdGrp) make: none when one of
// them is empty or not a whole number the serial can carry (0..65535, 0..255, 0..255). An OEM
// code the product group does not allow is told through dialogs (oemRejected).
SerialEncoding serialNumberOf(const DeviceImage& image, Dialogs& dialogs);

} // namespace tunekit
