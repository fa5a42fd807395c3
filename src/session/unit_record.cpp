#include "session/unit_record.h"

#include "params/config_defines.h"
#include "session/station.h"

#include <QCryptographicHash>
#include <QFile>

namespace tunekit {

void describeUnit(records::OperationRecord& record, Station& station)
{
    const DeviceImage& image = station.image();
    record.configId = image.deviceConfigId;
    record.serialNumber = station.serialNumber();
    record.productionNumber = image.value[ProductionNumberNr];
}

QString fileSha256(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace tunekit
