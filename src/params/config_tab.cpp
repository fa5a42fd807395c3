#include "params/config_tab.h"

#include "params/device_image.h"
#include "params/overview_edit.h"

namespace tunekit {

namespace {

constexpr int DipMargin = 10;

} // namespace

ConfigTabView configTabOf(DeviceImage& image, bool productionRights, Dialogs& dialogs)
{
    ConfigTabView view;
    view.productionEnabled = productionRights;
    view.productionNumberText = image.value[ProductionNumberNr];
    const SerialEncoding encoding = serialNumberOf(image, dialogs);
    if (encoding.oemRejected)
        image.value[OemCodeNr] = QStringLiteral("0");
    view.serialNumberText = encoding.serial;
    return view;
}

AddressLabels serialNumberTyped(DeviceImage& image, const QString& text, bool filledByWindow, bool internalValuesShown)
{
    const QString serial = text.trimmed();
    const SystemAddressDecoding decoding = systemAddressFromSerial(serial, internalValuesShown);
    // The box shows what the image holds; decoding it back would lose values no serial number
    // can carry (address 0, other product groups).
    if (filledByWindow)
        return decoding.labels;
    image.value[SystemAddressNr] = decoding.address;
    image.value[OemCodeNr] = oemCodeFromSerial(serial);
    image.value[ProdGrpNr] = productGroupFromSerial(serial);
    for (int nr : {SystemAddressNr, OemCodeNr, ProdGrpNr})
        image.changed[nr] = true;
    return decoding.labels;
}

void productionNumberTyped(DeviceImage& image, const QString& text, bool filledByWindow)
{
    if (filledByWindow)
        return;
    image.value[ProductionNumberNr] = productionNumberFromText(text);
    image.changed[ProductionNumberNr] = true;
}

DipView dipSwitchesOf(const DeviceImage& image, bool internalValuesShown)
{
    return dipPatternFromSystemAddress(image.value[SystemAddressNr], internalValuesShown);
}

DipGeometry drawDip(const DipView& view, int pictureWidth, int pictureHeight)
{
    DipGeometry geometry;
    geometry.width = qMax(0, pictureWidth - DipMargin);
    geometry.height = qMax(0, pictureHeight - DipMargin);
    geometry.column = qRound(geometry.width / double(DipColumnCount));
    const int c = geometry.column;
    const int h = geometry.height;
    if (c == 0 || h == 0)
        return geometry; // nothing to see in a picture this small

    if (view.drawBits) {
        for (int bit = 0; bit < 16; ++bit) {
            const int k = dipColumnOfBit(bit);
            const bool on = view.bits[static_cast<std::size_t>(bit)];
            geometry.boxes.append({k * c, 0, (k + 1) * c, h / 2, on ? DipDark : DipLight});
            geometry.boxes.append({k * c, h / 2, (k + 1) * c, h, on ? DipLight : DipDark});
        }
    }
    for (int k = 1; k < DipColumnCount; ++k) {
        if (k != 9) // no line inside the gap between the banks
            geometry.gridX.append(k * c);
    }
    return geometry;
}

} // namespace tunekit
