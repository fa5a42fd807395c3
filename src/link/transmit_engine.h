#pragma once

#include "link/packet_queue.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace tunekit {

// State of the stop-and-wait engine between the packet queue and the serial line.
struct EngineState {
    PacketQueue TxQueue;
    bool TransferActive = false;
    QByteArray TxCurrent;
    QByteArray RxBuffer;
    qint32 TimeoutCounter = 0;
    bool ResetPending = false;
    qint32 PacketCounter = 0;
    bool SuppressTimeoutMessage = false;
};

// Owns the transmit queue. Transfers queue their whole batch with SendPacket and then set
// TransferActive; the engine sends one packet per tick and waits for each answer.
class TransmitEngine {
public:
    // Appends one 8-byte packet to the queue; sends nothing by itself.
    void SendPacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data = {});

    EngineState& State() noexcept { return state_; }
    const EngineState& State() const noexcept { return state_; }

private:
    EngineState state_;
};

} // namespace tunekit
