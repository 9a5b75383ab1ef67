#include "events/ActiveConditions.h"

#include "events/EventRecord.h"
#include "events/EventServices.h"
#include "link/RecordCodes.h"

#include <QSet>
#include <algorithm>

namespace kirvan {

namespace {

// Numbers above it are points of a device, which are not switched off as detectors are.
constexpr int lastDetector = 60;

using Kind = ActiveConditions::Kind;

} // namespace

int ActiveConditions::alarmLevelOf(Kind kind)
{
    switch (kind) {
    case Kind::Fire:
        return Annunciation::Fire;
    case Kind::Technology:
        return Annunciation::Technology;
    case Kind::Fault:
    case Kind::NoLink:
    case Kind::NoReceiver:
        return Annunciation::Fault;
    default:
        // A detector switched off, a silent workstation or an empty complex is listed and
        // counted, but is no alarm: the word does not say ОТКАЗ for them.
        return Annunciation::Normal;
    }
}

namespace {

int levelOfKind(Kind kind)
{
    return ActiveConditions::alarmLevelOf(kind);
}

// Fire above technology above fault, as the word shows them.
int rank(int level)
{
    constexpr int ranks[] = {0, 1, 3, 2};
    return ranks[level];
}

Kind kindOf(const Interpretation& record)
{
    switch (*record.announced) {
    case Annunciation::Fire:
        return Kind::Fire;
    case Annunciation::Technology:
        return Kind::Technology;
    default:
        return record.code == recordcode::noLink ? Kind::NoLink : Kind::Fault;
    }
}

// What the stored state keeps of a condition raised again (its kind and beginning stay): a
// flood mostly raises again what is listed, just as it was.
bool storedAlike(const ActiveConditions::Condition& a, const ActiveConditions::Condition& b)
{
    return a.record == b.record && a.system == b.system && a.zone == b.zone && a.text == b.text
           && a.simulated == b.simulated && a.acknowledgedBy == b.acknowledgedBy
           && a.acknowledgedAt.isValid() == b.acknowledgedAt.isValid()
           && (!a.acknowledgedAt.isValid() || a.acknowledgedAt == b.acknowledgedAt);
}

// The list's order: by kind, the newest first within one.
struct Ordered {
    using Place = std::pair<Kind, QDateTime>;
    bool operator()(const ActiveConditions::Condition& c, const Place& place) const
    {
        return c.kind < place.first || (c.kind == place.first && c.since > place.second);
    }
    bool operator()(const Place& place, const ActiveConditions::Condition& c) const
    {
        return place.first < c.kind || (place.first == c.kind && place.second > c.since);
    }
};

bool detectorAlarm(Kind kind)
{
    return kind == Kind::Fire || kind == Kind::Technology || kind == Kind::Fault;
}

} // namespace

bool ActiveConditions::needsAcknowledgement(Kind kind)
{
    return levelOfKind(kind) != Annunciation::Normal;
}

QString ActiveConditions::wordOf(Kind kind)
{
    switch (kind) {
    case Kind::Fire:
        return QStringLiteral("ПОЖАР");
    case Kind::Technology:
        return QStringLiteral("ТЕХНОЛОГИЯ");
    case Kind::Fault:
        return QStringLiteral("ОТКАЗ");
    case Kind::NoLink:
        return QStringLiteral("НЕТ СВЯЗИ");
    case Kind::SwitchedOff:
        return QStringLiteral("ОТКЛЮЧЕН");
    case Kind::NoReceiver:
        return QStringLiteral("ПЦН");
    case Kind::NoSound:
        return QStringLiteral("НЕТ ЗВУКА");
    case Kind::NotConfigured:
        break;
    }
    return QStringLiteral("НЕ НАСТРОЕН");
}

void ActiveConditions::interpreted(const Interpretation& record)
{
    const QString address = record::address(record.record);
    const QString detector = record.record.mid(3, 6);
    const auto ofSystem = [&](const Condition& c) { return c.address() == address; };
    const auto conditionOf = [&record](Kind kind) {
        return Condition{kind,          record.record,    record.systemName,   record.zone, record.text,
                         record.moment, record.simulated, record.announcement, {},          {}};
    };
    if (record.announced) {
        raise(conditionOf(kindOf(record)));
        return;
    }
    switch (record.code) {
    case recordcode::normal:
        // The system says it is whole: it answers and reports no fault.
        endWhere([&](const Condition& c) { return ofSystem(c) && levelOfKind(c.kind) == Annunciation::Fault; });
        break;
    case recordcode::controlCheck:
        // What the check found came before it began; a detector switched off stays so.
        endWhere([&](const Condition& c) {
            return ofSystem(c) && c.kind != Kind::SwitchedOff && c.announcement <= record.announcement;
        });
        break;
    case recordcode::switchedOn:
        endWhere([&](const Condition& c) {
            return ofSystem(c) && c.detector() == detector && (c.kind == Kind::SwitchedOff || c.kind == Kind::Fault);
        });
        break;
    case recordcode::switchedOff:
        if (record::pointNumber(record.record) <= lastDetector)
            raise(conditionOf(Kind::SwitchedOff));
        break;
    default:
        break;
    }
}

void ActiveConditions::alarmReset()
{
    endWhere([](const Condition& c) { return detectorAlarm(c.kind); });
}

void ActiveConditions::setWorkstationTrouble(Kind kind, bool present, const QString& text, const QDateTime& now)
{
    const auto same = [kind](const Condition& c) { return c.kind == kind; };
    const bool shown = std::any_of(rows_.begin(), rows_.end(), same);
    if (present && !shown)
        raise({kind, {}, {}, {}, text, now, false, 0, {}, {}});
    else if (!present && shown)
        endWhere(same);
}

void ActiveConditions::restore(std::vector<Condition> conditions)
{
    rows_ = std::move(conditions);
    ordered();
}

// A condition that comes again is one row, unacknowledged again, and keeps when it began, so its
// place stays. A new one goes ahead of the rows of its kind that began in the same second. A storm
// on a large complex keeps thousands of rows: each change costs one pass, no sort.
void ActiveConditions::raise(Condition condition)
{
    if (!needsAcknowledgement(condition.kind))
        condition.acknowledgedAt = condition.since;
    // A flood on a large complex raises again among thousands of rows sixty times a second: the
    // index tells whether the condition is listed and when it began, which finds its few rows.
    const QString key = keyOf(condition);
    const auto began = began_.constFind(key);
    const auto same = began == began_.cend() ? rows_.end() : listed(condition.kind, *began, key);
    if (same != rows_.end()) {
        condition.since = same->since;
        if (same->zone != condition.zone)
            counts_.reset();
        if (!storedAlike(*same, condition))
            ++revision_;
        *same = std::move(condition);
    } else {
        counts_.reset();
        ++revision_;
        began_.insert(key, condition.since);
        const auto place = std::partition_point(rows_.begin(), rows_.end(), [&](const Condition& c) {
            return c.kind < condition.kind || (c.kind == condition.kind && c.since > condition.since);
        });
        rows_.insert(place, std::move(condition));
    }
    if (onChanged_)
        onChanged_();
}

// The system's address and the detector (the record up to its code) and the kind.
QString ActiveConditions::keyOf(const Condition& condition)
{
    QString key(1, QChar(u'0' + int(condition.kind)));
    key += QStringView(condition.record).left(9);
    return key;
}

// The rows of the kind that began then, the newest first among them.
std::vector<ActiveConditions::Condition>::iterator ActiveConditions::listed(Kind kind, const QDateTime& since,
                                                                            const QString& key)
{
    const auto [first, last] = std::equal_range(rows_.begin(), rows_.end(), std::pair{kind, since}, Ordered{});
    const auto found = std::find_if(first, last, [&key](const Condition& c) { return keyOf(c) == key; });
    return found != last ? found : rows_.end();
}

template <typename Predicate> void ActiveConditions::endWhere(Predicate ends)
{
    const auto erased = std::erase_if(rows_, [&](const Condition& c) {
        if (!ends(c))
            return false;
        began_.remove(keyOf(c));
        return true;
    });
    if (erased == 0)
        return;
    counts_.reset();
    ++revision_;
    if (onChanged_)
        onChanged_();
}

void ActiveConditions::ordered()
{
    counts_.reset();
    ++revision_;
    began_.clear();
    for (const Condition& c : rows_)
        began_.insert(keyOf(c), c.since);
    std::stable_sort(rows_.begin(), rows_.end(), [](const Condition& a, const Condition& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.since > b.since;
    });
    if (onChanged_)
        onChanged_();
}

std::optional<ActiveConditions::Condition> ActiveConditions::acknowledge(int row, const QString& who,
                                                                         const QDateTime& when)
{
    if (row < 0 || row >= int(rows_.size()) || rows_[std::size_t(row)].acknowledged())
        return std::nullopt;
    Condition& condition = rows_[std::size_t(row)];
    condition.acknowledgedBy = who;
    condition.acknowledgedAt = when;
    ++revision_;
    if (onChanged_)
        onChanged_();
    return condition;
}

std::vector<ActiveConditions::Condition> ActiveConditions::acknowledgeAll(const QString& who, const QDateTime& when)
{
    std::vector<Condition> acknowledged;
    for (auto row = rows_.rbegin(); row != rows_.rend(); ++row)
        if (!row->acknowledged()) {
            row->acknowledgedBy = who;
            row->acknowledgedAt = when;
            acknowledged.push_back(*row);
        }
    if (acknowledged.empty())
        return acknowledged;
    ++revision_;
    if (onChanged_)
        onChanged_();
    return acknowledged;
}

// Kept until a row comes or goes: in a flood most records raise again what is listed.
ActiveConditions::Counts ActiveConditions::counts() const
{
    if (!counts_)
        counts_ = counted();
    return *counts_;
}

ActiveConditions::Counts ActiveConditions::counted() const
{
    Counts counts;
    // Viewed, not copied, and not sorted: the summary counts a storm's thousands of fires several
    // times a second.
    QSet<std::pair<QStringView, QStringView>> zones;
    for (const Condition& c : rows_) {
        switch (c.kind) {
        case Kind::Fire:
            ++counts.fireDetectors;
            zones.insert({QStringView(c.record).left(2), c.zone});
            break;
        case Kind::Technology:
            ++counts.technology;
            break;
        case Kind::Fault:
            ++counts.faults;
            break;
        case Kind::NoLink:
            ++counts.noLink;
            break;
        case Kind::SwitchedOff:
            ++counts.switchedOff;
            break;
        default:
            break;
        }
    }
    counts.fireZones = int(zones.size());
    return counts;
}

// Fires are first in the list, the newest first.
const ActiveConditions::Condition* ActiveConditions::firstFire() const
{
    const auto fires = std::count_if(rows_.begin(), rows_.end(), [](const Condition& c) { return c.kind == Kind::Fire; });
    return fires > 0 ? &rows_[std::size_t(fires - 1)] : nullptr;
}

const ActiveConditions::Condition* ActiveConditions::newestFire() const
{
    return !rows_.empty() && rows_.front().kind == Kind::Fire ? &rows_.front() : nullptr;
}

// The kinds are listed from the highest level down, those that lift no level between them: the
// first row that lifts one has the highest. It is asked at every change of a storm.
int ActiveConditions::level() const
{
    const auto lifting = std::find_if(rows_.begin(), rows_.end(),
                                      [](const Condition& c) { return levelOfKind(c.kind) != Annunciation::Normal; });
    return lifting != rows_.end() ? levelOfKind(lifting->kind) : int(Annunciation::Normal);
}

int ActiveConditions::levelOf(const QString& address) const
{
    int level = Annunciation::Normal;
    for (const Condition& c : rows_)
        if (c.address() == address && rank(levelOfKind(c.kind)) > rank(level))
            level = levelOfKind(c.kind);
    return level;
}

// The last kind listed.
bool ActiveConditions::configured() const
{
    return rows_.empty() || rows_.back().kind != Kind::NotConfigured;
}

bool ActiveConditions::anyUnacknowledged() const
{
    return std::any_of(rows_.begin(), rows_.end(), [](const Condition& c) { return !c.acknowledged(); });
}

bool ActiveConditions::simulation() const
{
    return std::any_of(rows_.begin(), rows_.end(), [](const Condition& c) { return c.simulated; });
}

} // namespace kirvan
