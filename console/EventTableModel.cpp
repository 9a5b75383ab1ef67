#include "console/EventTableModel.h"

#include "journal/EventTable.h"

namespace kirvan {

EventTableModel::EventTableModel(EventTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), shownRows_(table.rowCount() - 1)
{
}

int EventTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int EventTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : EventTable::ColumnCount;
}

QVariant EventTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return table_.cell(index.row() + 1, index.column());
}

QVariant EventTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return table_.cell(0, section);
    return {};
}

void EventTableModel::refresh()
{
    const int rows = table_.rowCount() - 1;
    if (rows > shownRows_) {
        beginInsertRows({}, shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    }
    Q_EMIT dataChanged(index(0, 0), index(shownRows_ - 1, EventTable::ColumnCount - 1));
}

} // namespace kirvan
