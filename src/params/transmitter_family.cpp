#include "params/transmitter_family.h"

namespace tunekit {

QString FamilySet::text() const
{
    if (isEmpty())
        return QStringLiteral("_0_");
    QString text = QStringLiteral("_");
    for (const TransmitterFamily& family : TransmitterFamilies) {
        if (contains(family.configId))
            text += QString::number(family.configId) + u'_';
    }
    return text;
}

} // namespace tunekit
