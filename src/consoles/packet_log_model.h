#pragma once

#include "consoles/packet_dump.h"

#include <QAbstractListModel>

namespace tunekit {

// The packet console's log as rows of a list view, newest on top, one dump entry per row. The
// text of a row is made only when the view draws it, so a log of any length costs the view
// nothing but the rows on screen. Rows are taken over from the log when Sync() is called; until
// then the view keeps showing what it had.
class PacketLogModel final : public QAbstractListModel {
public:
    PacketLogModel(const PacketDump& log, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Puts the entries logged since the last call on top.
    void Sync();
    // The log was cleared.
    void Reset();

private:
    const PacketDump& log_;
    qsizetype rows_ = 0;
    quint64 clears_ = 0;
};

} // namespace tunekit
