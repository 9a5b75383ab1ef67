#pragma once

#include "events/ActiveConditions.h"

#include <QAbstractTableModel>
#include <vector>

namespace kirvan {

class Locale;

// The active alarm list for its view: a row each condition, in the model's order; a row waiting
// for acknowledgement in bold with a mark before its word.
class ActiveConditionsModel final : public QAbstractTableModel {
public:
    ActiveConditionsModel(const ActiveConditions& conditions, const Locale& locale, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The conditions changed. Rows come and go at the end, and only the rows from first on that
    // fit into a view of visibleRows are compared with what they showed when last asked: under a
    // flood the list changes several times a second, mostly out of view, and the view repaints
    // and measures only what it is told changed. Returns whether a row in view changed.
    bool refresh(int first, int visibleRows);

private:
    const ActiveConditions& conditions_;
    const Locale& locale_;
    int shownRows_ = 0;
    int firstInView_ = 0;
    std::vector<ActiveConditions::Condition> inView_;
};

} // namespace kirvan
