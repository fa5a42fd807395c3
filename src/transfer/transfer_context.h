#pragma once

#include "access/access_level.h"

#include <QtGlobal>

#include <functional>

namespace tunekit {

class DeviceImage;
class Dialogs;
class SerialPortAccess;
class TransmitEngine;

// The options of the Tools tab that transfers consult.
struct TransferOptions {
    bool chkResetBeforeTransmit = false;
    bool ChkSendNewDataOnly = false;
    bool ChkEraseStringsAfterWrite = false;
};

// The refreshes transfers ask of the main window.
class TransferViews {
public:
    virtual ~TransferViews() = default;
    virtual void ShadowToTable() = 0;
    virtual void ShadowToDip() = 0;
    virtual void ShadowToGui() = 0;
    virtual void UpdateStatusBar() = 0;
    // The info tab's labels and the other captions in DeviceImage::labels changed.
    virtual void LabelsChanged() = 0;
    virtual void ClearTerminal() = 0;
    virtual void ClearPacketConsole() = 0;
    // The buttons that start a transfer or change the image may be used (not while detecting).
    virtual void SetRedetectButtonsEnabled(bool enabled) = 0;
    // The engine's TransferWindowState (the progress window) was changed by a transfer command.
    virtual void TransferWindowChanged() = 0;
};

// Everything a transfer command works with; owned by the station.
struct TransferContext {
    TransmitEngine& engine;
    SerialPortAccess& port;
    DeviceImage& image;
    Dialogs& dialogs;
    TransferViews& views;
    TransferOptions& options;
    std::function<AccessLevel()> accessLevel;
};

} // namespace tunekit
