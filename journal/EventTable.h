#pragma once

#include <QString>
#include <array>
#include <deque>
#include <functional>

namespace kirvan {

class IniFile;

// The event table of the main window as a model: one row per fault, fire or technology event of
// this run, newest at the bottom. Rows are appended, never cleared or reordered, and the row the
// next event fills is always followed by 39 empty ones. Row 0 is the header. The grid keeps the
// newest MaxRows event rows: a workstation runs for months, and a chattering detector would
// otherwise fill the memory; the oldest row leaves the top for each new one, while the event
// numbers (journalRow) keep counting. The text log keeps every line.
// The table keeps the layout state (collapsed under the plan or expanded over the plan area);
// the window places its panels from expanded() and scrolls the grid to topRow().
class EventTable {
public:
    struct Column {
        const char16_t* header;
        int width; // pixels, as laid out before the first resize
    };
    static constexpr int ColumnCount = 6;
    static constexpr int MessageColumn = 3; // the one that takes up the window's spare width
    static const std::array<Column, ColumnCount>& columns();
    // The history line keeps as many lines.
    static constexpr int MaxRows = 10000;

    // `settings` holds the stored layout ("Настройки"/"Таблица"); it must outlive the table.
    explicit EventTable(IniFile& settings);

    // The number of the event the next row is filled for; 1 at start, never reset in a run.
    int journalRow() const { return journalRow_; }
    // Rows of the grid, the header included: 40 at start, one more per committed row up to
    // MaxRows kept rows. Rows of the grid are counted from the header; the row of event n is
    // n - droppedRows().
    int rowCount() const { return journalRow_ - dropped_ + emptyRowsBelow; }
    // Event rows that have left the top of the grid.
    int droppedRows() const { return dropped_; }
    // The row of the grid that the next event fills.
    int fillingRow() const { return journalRow_ - dropped_; }
    // The top visible data row of the grid (1 while nothing has scrolled).
    int topRow() const { return topRow_; }

    // The cells of the event journalRow. A column outside 0..5 throws std::out_of_range.
    void writeCell(int column, const QString& text);
    QString readCell(int column) const;
    // Any cell of the grid; empty for rows not yet filled. Row 0 is the header. Out of range
    // throws std::out_of_range.
    QString cell(int row, int column) const;

    // Closes row journalRow and scrolls so that the newest rows stay in view. Once the grid has
    // told how many rows it shows, it scrolls only when they do not fit; until then by the
    // layout's depth: offset 0 after fire and technology rows, 1 after all others (one more row
    // of context above them), and a row kept in view stays while the grid shows it with the
    // newest row.
    void commitJournalRow(int offset);
    // The row of event `number` (the fire that began the alarm) stays in view while the grid has
    // room for it and the newest row; lower alarms after it must not scroll it away.
    void keepInView(int number) { keptInView_ = number; }
    void releaseView() { keptInView_ = 0; }
    // How many rows the grid shows; until the window tells, the layout's depth and the row
    // being filled. A grid of another height shows the rows again from the newest up.
    void setRowsShown(int rows);

    // Collapsed under the plan, plan visible, 3 rows deep; and expanded over the plan area,
    // 20 rows deep. Each stores its layout in "Настройки"/"Таблица" ("0" and "1"); that write
    // comes last, so when the settings file refuses it (FileWriteError) the layout is applied
    // all the same.
    void scrollDown();
    void scrollUp();
    bool expanded() const { return expanded_; }
    bool planVisible() const { return !expanded_; }

    // Every size change of the main window, the first layout included: fits the message column
    // to the grid's width and reapplies the stored layout ("0" or missing: collapsed, any other
    // value: expanded).
    void fitToGrid(int gridWidth);
    // Column 3 takes the grid's width less the other columns and a margin.
    void fitMessageColumn(int gridWidth);
    int columnWidth(int column) const;
    // The operator dragged a column border; the next resize fits the message column around it.
    void setColumnWidth(int column, int width);

    // Called after any change the view must show (cells, rows, scrolling, layout, widths).
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

private:
    static constexpr int emptyRowsBelow = 39;
    using Cells = std::array<QString, ColumnCount>;
    // A committed row: its six texts in one string, each ending where `ends` says; a row costs
    // little more than its text.
    struct KeptRow {
        QString text;
        std::array<quint32, ColumnCount> ends{};
    };

    // True when the width changed; announces nothing.
    bool setMessageWidth(int gridWidth);
    void applyLayout(bool expanded, int depth, QStringView stored);
    // Scrolls so that event `number` is the top visible row, as far as the grid has it.
    void scrollToEvent(int number);
    // The newest rows with `offset` rows of context, and the row kept in view where it fits.
    void scrollToNewest(int offset);
    void changed() const;

    IniFile& settings_;
    Cells header_;
    std::deque<KeptRow> kept_; // events dropped_ + 1 to journalRow - 1
    Cells filling_; // the event journalRow
    int dropped_ = 0;
    std::array<int, ColumnCount> widths_{};
    int journalRow_ = 1;
    // How many of the newest rows stay in view when the table scrolls: 3 collapsed (also before
    // the first layout), 20 expanded.
    int journalDepth_ = 3;
    int topRow_ = 1;
    int keptInView_ = 0;
    int rowsShown_ = 0;
    bool expanded_ = false;
    std::function<void()> onChanged_;
};

} // namespace kirvan
