#pragma once

#include "identity/serial_number.h"

#include <QList>
#include <QString>

namespace tunekit {

class DeviceImage;
class Dialogs;

// Set while the window fills the configuration tab's boxes from the image, so that their
// change handlers know the text is not the user's. Hold it around the window's setText calls:
//     { WindowFilling::Hold hold(filling); serialNumberBox->setText(view.serialNumberText); ... }
// and pass filling.isSet() to serialNumberTyped and productionNumberTyped.
class WindowFilling {
public:
    class Hold {
    public:
        explicit Hold(WindowFilling& flag) : flag_(flag), previous_(flag.set_) { flag_.set_ = true; }
        ~Hold() { flag_.set_ = previous_; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        WindowFilling& flag_;
        bool previous_;
    };

    bool isSet() const noexcept { return set_; }

private:
    bool set_ = false;
};

// The texts of txtSerialnumber and txtProductionNumber. The production number box is enabled
// with a white background when productionEnabled, else disabled in the window's colour.
struct ConfigTabView {
    QString serialNumberText;
    QString productionNumberText;
    bool productionEnabled = false;
};

// The configuration tab from the image. The serial number is empty when SystemAddress, OemCode
// or ProdGrp is empty, or is not a whole number the serial can carry (0..65535, 0..255, 0..255).
// An OEM code the product group does not allow is told to the user and replaced by "0" in the
// image, without a changed mark.
ConfigTabView configTabOf(DeviceImage& image, bool productionRights, Dialogs& dialogs);

// txtSerialnumber changed: the user's serial number sets SystemAddress, OemCode and ProdGrp and
// marks them changed. While the window fills the box itself (filledByWindow) the text came from the
// image and the image is left alone. Returns the captions of InternalAddress, valueHigh,
// valueLow and DirectAddress (filled when internalValuesShown); show dipSwitchesOf afterwards.
AddressLabels serialNumberTyped(DeviceImage& image, const QString& text, bool filledByWindow, bool internalValuesShown);

// txtProductionNumber changed: ProductionNumber := the text (emptied above 4294967296), marked
// changed. Nothing happens while the window fills the box itself (filledByWindow).
void productionNumberTyped(DeviceImage& image, const QString& text, bool filledByWindow);

// The DIP switch picture of SystemAddress; an empty or unusable value draws only the grid and
// leaves the value labels as they are, which are set only when internalValuesShown.
using DipView = DipPattern;
DipView dipSwitchesOf(const DeviceImage& image, bool internalValuesShown);

struct DipRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const DipRgb&, const DipRgb&) = default;
};
inline constexpr DipRgb DipDark{80, 80, 80};
inline constexpr DipRgb DipLight{220, 220, 220};

// A filled box from (left, top) to (right, bottom) in picture units.
struct DipBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    DipRgb colour;
};

// What drawDip paints into a cleared picture: the boxes, then vertical grid lines in the
// picture's drawing colour at each x of gridX from y = 0 to y = height.
struct DipGeometry {
    int width = 0;   // W: picture width - 10
    int height = 0;  // H: picture height - 10
    int column = 0;  // c: W / 18, rounded
    QList<DipBox> boxes;
    QList<int> gridX;
};
DipGeometry drawDip(const DipView& view, int pictureWidth, int pictureHeight);

} // namespace tunekit
