#include "window/EventTableModel.h"

#include "events/AlarmState.h"
#include "journal/EventTable.h"

#include <QColor>
#include <algorithm>
#include <optional>

namespace kirvan {

EventTableModel::EventTableModel(EventTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), shownRows_(table.rowCount() - 1), shownDropped_(table.droppedRows())
{}

int EventTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int EventTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : EventTable::ColumnCount;
}

namespace {

// The alarm a row's status word reports, as the status field shows it; nothing for an empty row.
std::optional<int> rowLevel(const QString& status)
{
    if (status == u"ПОЖАР")
        return Annunciation::Fire;
    if (status == u"ОТКАЗ")
        return Annunciation::Fault;
    if (status == u"ТЕХНОЛОГ" || status == u"ТЕХНОЛОГИЯ")
        return Annunciation::Technology;
    return std::nullopt;
}

} // namespace

// Rows take the colour of their alarm, so that the operator reads the priority at a glance.
QVariant EventTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return table_.cell(index.row() + 1, index.column());
    if (role != Qt::BackgroundRole && role != Qt::ForegroundRole)
        return {};
    const auto level = rowLevel(table_.cell(index.row() + 1, statusColumn));
    if (!level)
        return {};
    if (role == Qt::ForegroundRole)
        return QColor(*level == Annunciation::Fire ? Qt::white : Qt::black);
    const Rgb colour = AlarmState::colourOf(*level);
    return QColor(colour.red, colour.green, colour.blue);
}

QVariant EventTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    // The headers' leading blanks centre them in the design's widths; at any other width and
    // scale the view centres them itself, so a narrow column still shows its whole word.
    if (role == Qt::DisplayRole)
        return table_.cell(0, section).trimmed();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

void EventTableModel::refresh()
{
    // The oldest rows leave the top once the table holds as many as it keeps.
    if (const int dropped = std::min(table_.droppedRows() - shownDropped_, shownRows_); dropped > 0) {
        beginRemoveRows({}, 0, dropped - 1);
        shownRows_ -= dropped;
        lastFilling_ -= dropped;
        shownDropped_ = table_.droppedRows();
        endRemoveRows();
    }
    const int rows = table_.rowCount() - 1;
    if (rows > shownRows_) {
        beginInsertRows({}, shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    }
    // Cells are only ever written in the row the next event fills; between two refreshes that
    // row may have moved on over several rows.
    const int filling = table_.fillingRow() - 1;
    const int from = std::clamp(std::min(lastFilling_, filling), 0, std::max(filling, 0));
    Q_EMIT dataChanged(index(from, 0), index(filling, EventTable::ColumnCount - 1));
    lastFilling_ = filling;
}

} // namespace kirvan
