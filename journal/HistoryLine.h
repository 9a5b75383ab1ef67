#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kirvan {

// The history line of the toolbar as a model: the text field shows the newest journal line and
// the drop-down list keeps the lines of this run, oldest first. The operator cannot type into it,
// only pick an entry of the list to read it in the text field.
class HistoryLine {
public:
    // The list keeps the newest lines only: a workstation that runs for months would otherwise
    // grow it without end, and the text log keeps every line anyway. Beyond this many the oldest
    // entry is dropped for each new one.
    static constexpr qsizetype MaxEntries = 10000;

    const QString& text() const { return text_; }
    const QStringList& list() const { return list_; }
    // Every line added in the run, those dropped from the list too: a view that knows how many it
    // has shown appends only the newer ones.
    qint64 added() const { return added_; }

    // A new journal line: shown in the text field and appended to the list.
    void add(const QString& line);

    // The operator chose entry `index` of the list (0 the oldest kept): the text field shows it.
    // An index outside the list changes nothing.
    void chooseEntry(qsizetype index);

    // Called after the text field or the list changed.
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

private:
    void changed() const;

    QString text_;
    QStringList list_;
    qint64 added_ = 0;
    std::function<void()> onChanged_;
};

} // namespace kirvan
