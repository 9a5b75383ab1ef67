#include "journal/HistoryLine.h"

namespace kirvan {

void HistoryLine::add(const QString& line)
{
    text_ = line;
    if (list_.size() == MaxEntries)
        list_.removeFirst();
    list_.append(line);
    ++added_;
    changed();
}

void HistoryLine::chooseEntry(qsizetype index)
{
    if (index < 0 || index >= list_.size())
        return;
    text_ = list_.at(index);
    changed();
}

void HistoryLine::changed() const
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
