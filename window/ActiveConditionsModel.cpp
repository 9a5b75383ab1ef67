#include "window/ActiveConditionsModel.h"

#include "events/ActiveConditions.h"
#include "platform/Locale.h"

#include <QColor>
#include <algorithm>
#include <QFont>

namespace kirvan {

namespace {

enum Column { Kind, System, Detector, Text, Since, Acknowledged, ColumnCount };

QColor kindColour(ActiveConditions::Kind kind)
{
    switch (kind) {
    case ActiveConditions::Kind::Fire:
        return QColor(255, 0, 0);
    case ActiveConditions::Kind::Technology:
        return QColor(166, 202, 240);
    case ActiveConditions::Kind::Fault:
    case ActiveConditions::Kind::NoLink:
    case ActiveConditions::Kind::NoReceiver:
        return QColor(255, 255, 0);
    default:
        return QColor(192, 192, 192);
    }
}

// Whether a row shows the same in every column.
bool sameRow(const ActiveConditions::Condition& a, const ActiveConditions::Condition& b)
{
    return a.kind == b.kind && a.record == b.record && a.system == b.system && a.text == b.text && a.since == b.since
           && a.acknowledgedBy == b.acknowledgedBy && a.acknowledgedAt == b.acknowledgedAt;
}

} // namespace

ActiveConditionsModel::ActiveConditionsModel(const ActiveConditions& conditions, const Locale& locale, QObject* parent)
    : QAbstractTableModel(parent), conditions_(conditions), locale_(locale)
{}

int ActiveConditionsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int ActiveConditionsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ActiveConditionsModel::data(const QModelIndex& index, int role) const
{
    // Between a change and the refresh that follows it the list may hold fewer rows than shown.
    if (std::size_t(index.row()) >= conditions_.rows().size())
        return {};
    const auto& c = conditions_.rows()[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Kind:
            return (c.acknowledged() ? QStringLiteral("  ") : QStringLiteral("● ")) + ActiveConditions::wordOf(c.kind);
        case System:
            return c.system;
        case Detector:
            return c.record.isEmpty() ? QString() : c.detector();
        case Text:
            return c.text;
        case Since:
            return locale_.dateTime(c.since);
        case Acknowledged:
            if (!ActiveConditions::needsAcknowledgement(c.kind) || !c.acknowledged())
                return {};
            return locale_.longTime(c.acknowledgedAt.time()) + u' ' + c.acknowledgedBy;
        default:
            return {};
        }
    case Qt::BackgroundRole:
        return index.column() == Kind ? QVariant(kindColour(c.kind)) : QVariant();
    case Qt::ForegroundRole:
        return index.column() == Kind ? QVariant(QColor(Qt::black)) : QVariant();
    case Qt::FontRole: {
        QFont font;
        font.setBold(!c.acknowledged());
        return font;
    }
    default:
        return {};
    }
}

QVariant ActiveConditionsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char16_t* const captions[ColumnCount] = {u"Состояние", u"Система", u"Извещатель",
                                                          u"Сообщение", u"Начало",  u"Квитировано"};
    return QString::fromUtf16(captions[section]);
}

bool ActiveConditionsModel::refresh(int first, int visibleRows)
{
    const auto& rows = conditions_.rows();
    const int count = int(rows.size());
    if (count > shownRows_) {
        beginInsertRows({}, shownRows_, count - 1);
        shownRows_ = count;
        endInsertRows();
    } else if (count < shownRows_) {
        beginRemoveRows({}, count, shownRows_ - 1);
        shownRows_ = count;
        endRemoveRows();
    }
    first = std::clamp(first, 0, count);
    const auto begin = rows.begin() + first;
    const auto end = begin + std::clamp(visibleRows, 0, count - first);
    if (first == firstInView_ && std::equal(begin, end, inView_.begin(), inView_.end(), sameRow))
        return false;
    firstInView_ = first;
    inView_.assign(begin, end);
    if (begin != end)
        Q_EMIT dataChanged(index(first, 0), index(first + int(inView_.size()) - 1, ColumnCount - 1));
    return true;
}

} // namespace kirvan
