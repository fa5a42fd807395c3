#include "link/packet_queue.h"

#include "link/packet_codec.h"

#include <algorithm>

namespace tunekit {

void PacketQueue::Append(QByteArrayView packet)
{
    bytes_.append(packet);
}

QByteArray PacketQueue::Front() const
{
    return bytes_.mid(head_, std::min(PacketSize, Length()));
}

void PacketQueue::DropFront()
{
    head_ += std::min(PacketSize, Length());
    if (head_ == bytes_.size()) {
        Clear();
    } else if (head_ >= 4096 && head_ * 2 >= bytes_.size()) {
        // Reclaim the consumed front now and then; amortised this stays linear.
        bytes_.remove(0, head_);
        head_ = 0;
    }
}

void PacketQueue::Clear()
{
    bytes_.clear();
    head_ = 0;
}

} // namespace tunekit
