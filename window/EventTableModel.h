#pragma once

#include <QAbstractTableModel>

namespace kirvan {

class EventTable;

// The event table for the grid: the table's row 0 is the header, its rows from 1 on the grid's
// rows.
class EventTableModel final : public QAbstractTableModel {
public:
    static constexpr int statusColumn = 1;

    explicit EventTableModel(EventTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The table changed: rows added or dropped, cells written.
    void refresh();

private:
    EventTable& table_;
    int shownRows_;
    int shownDropped_;
    int lastFilling_ = 0; // the row filled at the last refresh
};

} // namespace kirvan
