#pragma once

#include "archive/JournalIndex.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QStringList>
#include <memory>
#include <vector>

namespace kirvan {

// The shown lines of the journal viewer as a table: a line is read from its file only when the
// view asks for it, and the parts of the lines last read are kept.
class JournalViewerModel final : public QAbstractTableModel {
public:
    explicit JournalViewerModel(QObject* parent = nullptr);

    // A new index or filter result: the table shows these rows of it.
    void reset(JournalIndex index, std::vector<std::uint32_t> rows);
    // Rows that came with the log's new lines.
    void append(JournalIndex index, const std::vector<std::uint32_t>& rows);

    const JournalIndex& index() const { return index_; }
    const std::vector<std::uint32_t>& rows() const { return *rows_; }
    // The rows as they are now, for an export on another thread: ten years of rows are 40 MB, not
    // copied while the export runs unless the log brings new ones meanwhile.
    std::shared_ptr<const std::vector<std::uint32_t>> sharedRows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    JournalIndex index_;
    std::shared_ptr<std::vector<std::uint32_t>> rows_ = std::make_shared<std::vector<std::uint32_t>>();
    mutable QCache<std::uint32_t, QStringList> columns_{2000};
};

} // namespace kirvan
