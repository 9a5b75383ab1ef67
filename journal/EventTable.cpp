#include "journal/EventTable.h"

#include "files/IniFile.h"
#include "files/SettingsKeys.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace kirvan {

namespace {

constexpr int collapsedDepth = 3;
constexpr int expandedDepth = 20;
// Room for the vertical scroll bar and the grid lines next to the fitted message column.
constexpr int messageColumnMargin = 30;

void checkColumn(int column)
{
    if (column < 0 || column >= EventTable::ColumnCount)
        throw std::out_of_range("event table column out of range");
}

} // namespace

const std::array<EventTable::Column, EventTable::ColumnCount>& EventTable::columns()
{
    static const std::array<Column, ColumnCount> all{{
        {u" №", 24},
        {u"  СОСТ.", 62},
        {u"          ОБЪЕКТ", 155},
        {u"                 СООБЩЕНИЕ", 243},
        {u"    ДАТА", 67},
        {u"ВРЕМЯ", 65},
    }};
    return all;
}

EventTable::EventTable(IniFile& settings) : settings_(settings)
{
    for (int column = 0; column < ColumnCount; ++column) {
        const auto index = static_cast<std::size_t>(column);
        header_[index] = QString::fromUtf16(columns()[index].header);
        widths_[index] = columns()[index].width;
    }
}

void EventTable::writeCell(int column, const QString& text)
{
    checkColumn(column);
    filling_[static_cast<std::size_t>(column)] = text;
    changed();
}

QString EventTable::readCell(int column) const
{
    return cell(fillingRow(), column);
}

QString EventTable::cell(int row, int column) const
{
    checkColumn(column);
    if (row < 0 || row >= rowCount())
        throw std::out_of_range("event table row out of range");
    const auto index = static_cast<std::size_t>(column);
    if (row == 0)
        return header_[index];
    if (row == fillingRow())
        return filling_[index];
    if (row > fillingRow())
        return {};
    const KeptRow& kept = kept_[static_cast<std::size_t>(row - 1)];
    const qsizetype start = column == 0 ? 0 : kept.ends[index - 1];
    return kept.text.mid(start, kept.ends[index] - start);
}

void EventTable::commitJournalRow(int offset)
{
    KeptRow row;
    row.text.reserve(std::accumulate(filling_.begin(), filling_.end(), qsizetype(0),
                                     [](qsizetype sum, const QString& cell) { return sum + cell.size(); }));
    for (std::size_t column = 0; column < filling_.size(); ++column) {
        row.text += filling_[column];
        row.ends[column] = static_cast<quint32>(row.text.size());
    }
    kept_.push_back(std::move(row));
    filling_ = {};
    if (kept_.size() > std::size_t(MaxRows)) {
        kept_.pop_front();
        ++dropped_;
    }
    ++journalRow_;
    scrollToNewest(offset);
    changed();
}

void EventTable::scrollDown()
{
    applyLayout(false, collapsedDepth, u"0");
}

void EventTable::scrollUp()
{
    applyLayout(true, expandedDepth, u"1");
}

void EventTable::applyLayout(bool expanded, int depth, QStringView stored)
{
    expanded_ = expanded;
    journalDepth_ = depth;
    scrollToNewest(0);
    changed();
    // Every resize of the window reapplies the layout; rewriting an unchanged key would replace
    // the settings file (with its fsync) dozens of times a second while the operator drags the
    // window's border, so the key is written only when it does not hold this layout yet.
    if (settings_.readString(settings::sectionSettings, settings::keyTable, QString()) != stored)
        settings_.writeString(settings::sectionSettings, settings::keyTable, stored);
}

bool EventTable::setMessageWidth(int gridWidth)
{
    const int others = std::accumulate(widths_.begin(), widths_.end(), 0) - widths_[MessageColumn];
    // A window narrower than the fixed columns leaves the message column empty, not negative.
    const int width = std::max(0, gridWidth - others - messageColumnMargin);
    const bool differs = width != widths_[MessageColumn];
    widths_[MessageColumn] = width;
    return differs;
}

void EventTable::fitMessageColumn(int gridWidth)
{
    if (setMessageWidth(gridWidth))
        changed();
}

void EventTable::fitToGrid(int gridWidth)
{
    // The layout below announces the change, the new width with it.
    setMessageWidth(gridWidth);
    if (settings_.readString(settings::sectionSettings, settings::keyTable, QStringLiteral("0")) == u"0")
        scrollDown();
    else
        scrollUp();
}

int EventTable::columnWidth(int column) const
{
    checkColumn(column);
    return widths_[static_cast<std::size_t>(column)];
}

void EventTable::setColumnWidth(int column, int width)
{
    checkColumn(column);
    widths_[static_cast<std::size_t>(column)] = std::max(0, width);
    changed();
}

void EventTable::setRowsShown(int rows)
{
    if (rows == rowsShown_)
        return;
    rowsShown_ = rows;
    scrollToNewest(0);
    changed();
}

void EventTable::scrollToNewest(int offset)
{
    // A grid that tells how many rows it has room for scrolls only when they do not fit: the
    // newest row last and as many older ones above it as fit, so no row is hidden while there is
    // room, and the fire that began the alarm stays among them whenever the room allows.
    if (rowsShown_ > 0) {
        scrollToEvent(std::max(1, journalRow_ - rowsShown_));
        return;
    }
    if (journalRow_ <= journalDepth_)
        return;
    int top = journalRow_ - journalDepth_ - offset;
    if (keptInView_ > 0 && keptInView_ < top) {
        // The newest committed row, journalRow - 1, must still be the last row shown at most.
        top = std::max(keptInView_, journalRow_ - journalDepth_ - 1);
    }
    scrollToEvent(top);
}

void EventTable::scrollToEvent(int number)
{
    // The header is not a data row: the view never scrolls above the first event kept.
    topRow_ = std::max(1, number - dropped_);
}

void EventTable::changed() const
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
