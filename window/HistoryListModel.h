#pragma once

#include <QAbstractListModel>

namespace kirvan {

class HistoryLine;

// The history line's drop-down list as a view of the model's own list, brought up to date by
// refresh(): under a flood several lines come between two refreshes and, at the bound, as many of
// the oldest leave, which the list follows by announcing the rows that left its front and came to
// its end. Between two refreshes each row still shows the entry it showed.
class HistoryListModel : public QAbstractListModel {
public:
    explicit HistoryListModel(const HistoryLine& history, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void refresh();
    // The entry of the history line's list a row shows, or -1.
    qsizetype entryOf(int row) const;

private:
    const HistoryLine& history_;
    int shownRows_ = 0;
    qint64 shownAdded_ = 0;
};

} // namespace kirvan
