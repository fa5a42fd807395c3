#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace tunekit {

// Packets waiting to be sent, 8 characters each, oldest first. Taking a packet off the
// front moves a read position instead of copying what remains, so a batch of many
// thousand packets costs the same per packet as a short one.
class PacketQueue {
public:
    void append(QByteArrayView packet);
    // Number of characters queued (8 per packet).
    qsizetype length() const noexcept { return bytes_.size() - head_; }
    bool isEmpty() const noexcept { return length() == 0; }
    // Up to the first 8 characters.
    QByteArray front() const;
    // Removes up to the first 8 characters.
    void dropFront();
    void clear();

private:
    QByteArray bytes_;
    qsizetype head_ = 0;
};

} // namespace tunekit
