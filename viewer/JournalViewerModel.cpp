#include "viewer/JournalViewerModel.h"

#include "archive/JournalExport.h"

namespace kirvan {

JournalViewerModel::JournalViewerModel(QObject* parent) : QAbstractTableModel(parent) {}

void JournalViewerModel::reset(JournalIndex index, std::vector<std::uint32_t> rows)
{
    beginResetModel();
    index_ = std::move(index);
    rows_ = std::make_shared<std::vector<std::uint32_t>>(std::move(rows));
    columns_.clear();
    endResetModel();
}

void JournalViewerModel::append(JournalIndex index, const std::vector<std::uint32_t>& rows)
{
    index_ = std::move(index);
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    if (rows_.use_count() > 1)
        rows_ = std::make_shared<std::vector<std::uint32_t>>(*rows_);
    rows_->insert(rows_->end(), rows.begin(), rows.end());
    endInsertRows();
}

int JournalViewerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_->size());
}

int JournalViewerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(journalColumnNames().size());
}

QVariant JournalViewerModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || std::size_t(index.row()) >= rows_->size())
        return {};
    const std::uint32_t row = (*rows_)[std::size_t(index.row())];
    QStringList* columns = columns_.object(row);
    if (!columns) {
        columns = new QStringList(journalColumns(index_.line(row)));
        columns_.insert(row, columns);
    }
    return columns->value(index.column());
}

QVariant JournalViewerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return journalColumnNames().value(section);
}

} // namespace kirvan
