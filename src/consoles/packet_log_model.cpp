#include "consoles/packet_log_model.h"

namespace tunekit {

PacketLogModel::PacketLogModel(const PacketDump& log, QObject* parent) : QAbstractListModel(parent), log_(log) {}

int PacketLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_);
}

QVariant PacketLogModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_)
        return {};
    // Row 0 is the newest entry the view knows of; entries logged since sit behind it.
    QString text = log_.EntryText(rows_ - 1 - index.row());
    text.chop(2); // the entry's last CR LF: rows are separated by the view
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

void PacketLogModel::Sync()
{
    const PacketDump::Mark now = log_.CurrentMark();
    if (now.clears != clears_ || now.entries < rows_) {
        Reset();
        return;
    }
    const qsizetype entries = now.entries;
    if (entries == rows_)
        return;
    beginInsertRows({}, 0, static_cast<int>(entries - rows_ - 1));
    rows_ = entries;
    endInsertRows();
}

void PacketLogModel::Reset()
{
    beginResetModel();
    const PacketDump::Mark now = log_.CurrentMark();
    rows_ = now.entries;
    clears_ = now.clears;
    endResetModel();
}

} // namespace tunekit
