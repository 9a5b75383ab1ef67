#include "window/HistoryListModel.h"

#include "journal/HistoryLine.h"

namespace kirvan {

HistoryListModel::HistoryListModel(const HistoryLine& history, QObject* parent)
    : QAbstractListModel(parent), history_(history)
{
    refresh();
}

int HistoryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const
{
    const qsizetype entry = entryOf(index.row());
    if (entry < 0 || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return history_.list().at(entry);
}

// The shown rows are the entries that were last in the list at the refresh, now followed by
// those added since.
qsizetype HistoryListModel::entryOf(int row) const
{
    const qsizetype entry = history_.list().size() - (history_.added() - shownAdded_) - shownRows_ + row;
    return row >= 0 && row < shownRows_ && entry >= 0 && entry < history_.list().size() ? entry : -1;
}

void HistoryListModel::refresh()
{
    const auto size = int(history_.list().size());
    const qint64 newer = history_.added() - shownAdded_;
    const qint64 left = shownRows_ + newer - size;
    if (newer < 0 || newer > size || left < 0 || left > shownRows_) {
        beginResetModel();
        shownRows_ = size;
        shownAdded_ = history_.added();
        endResetModel();
        return;
    }
    if (left > 0) {
        beginRemoveRows({}, 0, int(left) - 1);
        shownRows_ -= int(left);
        endRemoveRows();
    }
    if (newer > 0) {
        beginInsertRows({}, shownRows_, size - 1);
        shownRows_ = size;
        shownAdded_ = history_.added();
        endInsertRows();
    }
}

} // namespace kirvan
