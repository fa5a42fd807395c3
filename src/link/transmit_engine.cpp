#include "link/transmit_engine.h"

#include "link/packet_codec.h"

namespace tunekit {

void TransmitEngine::SendPacket(std::uint8_t type, qint32 index, std::uint8_t subindex, QByteArrayView data)
{
    state_.TxQueue.Append(MakePacket(type, index, subindex, data));
}

} // namespace tunekit
