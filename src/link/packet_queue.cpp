#include "link/packet_queue.h"

#include "link/packet_codec.h"

#include <algorithm>

namespace tunekit {

void PacketQueue::append(QByteArrayView packet)
{
    bytes_.append(packet);
}

QByteArray PacketQueue::front() const
{
    return bytes_.mid(head_, std::min(PacketSize, length()));
}

void PacketQueue::dropFront()
{
    head_ += std::min(PacketSize, length());
    if (head_ == bytes_.size()) {
        clear();
    } else if (head_ >= 4096 && head_ * 2 >= bytes_.size()) {
        // Reclaim the consumed front now and then; amortised this stays linear.
        bytes_.remove(0, head_);
        head_ = 0;
    }
}

void PacketQueue::clear()
{
    bytes_.clear();
    head_ = 0;
}

} // namespace tunekit
