#pragma once

#include "access/access_level.h"
#include "base/station_views.h"

#include <QtGlobal>

#include <functional>

namespace tunekit {

class DeviceImage;
class Dialogs;
class ProgressBars;
class SerialPortAccess;
class TransmitEngine;

// The options of the Tools tab that transfers consult.
struct TransferOptions {
    bool resetBeforeTransmit = false;
    bool sendChangedOnly = false;
    bool eraseTextsAfterWrite = false;
};


// Everything a transfer command works with; owned by the station.
struct TransferContext {
    TransmitEngine& engine;
    ProgressBars& progress;
    SerialPortAccess& port;
    DeviceImage& image;
    Dialogs& dialogs;
    StationViews& views;
    TransferOptions& options;
    std::function<AccessLevel()> accessLevel;

    // The Tools tab's "reset before transmit", where the engine's reset policy is the window's.
    bool resetsBeforeTransmit() const;
};

} // namespace tunekit
