#include "window/ActiveConditionsModel.h"

#include "events/ActiveConditions.h"
#include "platform/Locale.h"

#include <QColor>
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

} // namespace

ActiveConditionsModel::ActiveConditionsModel(const ActiveConditions& conditions, const Locale& locale, QObject* parent)
    : QAbstractTableModel(parent), conditions_(conditions), locale_(locale)
{}

int ActiveConditionsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(conditions_.rows().size());
}

int ActiveConditionsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ActiveConditionsModel::data(const QModelIndex& index, int role) const
{
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

void ActiveConditionsModel::refresh()
{
    beginResetModel();
    endResetModel();
}

} // namespace kirvan
