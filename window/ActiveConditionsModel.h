#pragma once

#include <QAbstractTableModel>

namespace kirvan {

class ActiveConditions;
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

    // The conditions changed.
    void refresh();

private:
    const ActiveConditions& conditions_;
    const Locale& locale_;
};

} // namespace kirvan
