#include "events/StoredConditions.h"

#include "events/EventServices.h"
#include "files/Cp1251.h"
#include "files/IniDocument.h"

#include <optional>
#include <tuple>

namespace kirvan {

namespace {

const QString sectionState = QStringLiteral("ТРЕВОГИ");
const QString keyLevel = QStringLiteral("УРОВЕНЬ");
const QString keyCount = QStringLiteral("ЧИСЛО");
const QString keyKind = QStringLiteral("ВИД");
const QString keyRecord = QStringLiteral("ЗАПИСЬ");
const QString keySystem = QStringLiteral("СИСТЕМА");
const QString keyZone = QStringLiteral("ЗОНА");
const QString keyText = QStringLiteral("ТЕКСТ");
const QString keySince = QStringLiteral("НАЧАЛО");
const QString keySimulated = QStringLiteral("ИМИТАЦИЯ");
const QString keyBy = QStringLiteral("КВИТИРОВАЛ");
const QString keyAt = QStringLiteral("КВИТИРОВАНО");

// Seconds are enough to tell when a condition began; the zone keeps the time comparable after a
// change of the machine's zone.
QString moment(const QDateTime& at)
{
    return at.isValid() ? at.toString(Qt::ISODate) : QString();
}

// The state put together in Windows-1251 line by line, with no text of the whole file in between.
class StateWriter {
public:
    explicit StateWriter(std::size_t conditions) { bytes_.reserve(qsizetype(conditions) * 160 + 64); }

    void section(QByteArrayView name)
    {
        bytes_ += '[';
        bytes_ += name;
        bytes_ += "]\r\n";
    }
    void line(QByteArrayView key, QStringView value)
    {
        bytes_ += key;
        bytes_ += '=';
        const qsizetype start = bytes_.size();
        cp1251::append(bytes_, value);
        // A line break in a value would begin a line of its own.
        for (qsizetype at = start; at < bytes_.size(); ++at)
            if (bytes_[at] == '\r' || bytes_[at] == '\n')
                bytes_[at] = ' ';
        bytes_ += "\r\n";
    }
    void line(QByteArrayView key, QByteArrayView ascii)
    {
        bytes_ += key;
        bytes_ += '=';
        bytes_ += ascii;
        bytes_ += "\r\n";
    }

    void append(const QByteArray& lines) { bytes_ += lines; }
    QByteArray take() { return std::move(bytes_); }

private:
    QByteArray bytes_;
};

int number(const IniDocument& ini, const QString& section, const QString& key, int highest)
{
    bool ok = false;
    const int value = ini.value(section, key).value_or(QStringView()).toInt(&ok);
    if (!ok || value < 0 || value > highest)
        throw std::runtime_error(QStringLiteral("неверное значение %1 в разделе [%2]").arg(key, section).toStdString());
    return value;
}

QString text(const IniDocument& ini, const QString& section, const QString& key)
{
    return ini.value(section, key).value_or(QStringView()).toString();
}

} // namespace

namespace {

// The names in Windows-1251, encoded once.
struct EncodedNames {
    QByteArray state, level, count, kind, record, system, zone, text, since, simulated, by, at;
};

const EncodedNames& names()
{
    static const EncodedNames encoded{
        cp1251::encode(sectionState).bytes, cp1251::encode(keyLevel).bytes,  cp1251::encode(keyCount).bytes,
        cp1251::encode(keyKind).bytes,      cp1251::encode(keyRecord).bytes, cp1251::encode(keySystem).bytes,
        cp1251::encode(keyZone).bytes,      cp1251::encode(keyText).bytes,   cp1251::encode(keySince).bytes,
        cp1251::encode(keySimulated).bytes, cp1251::encode(keyBy).bytes,     cp1251::encode(keyAt).bytes};
    return encoded;
}

// The same characters, not only equal ones: a text shared with the kept copy cannot have changed.
bool shared(const QString& a, const QString& b)
{
    return a.constData() == b.constData() && a.size() == b.size();
}

// What a moment's text is made of: its fields to the second, its kind of time and, for a local
// time, its daylight saving flag, else its offset. A local time's offset and its seconds since
// the epoch each cost a look at the time zone; its fields and its flag are kept in it.
using MomentKey = std::tuple<QDate, QTime, Qt::TimeSpec, int>;

std::optional<MomentKey> momentKey(const QDateTime& at)
{
    if (!at.isValid())
        return std::nullopt;
    const bool local = at.timeSpec() == Qt::LocalTime;
    return MomentKey{at.date(), at.time().addMSecs(-at.time().msec()), at.timeSpec(),
                     local ? int(at.isDaylightTime()) : at.offsetFromUtc()};
}

bool sameText(const QDateTime& a, const QDateTime& b)
{
    return momentKey(a) == momentKey(b);
}

bool unchanged(const ActiveConditions::Condition& kept, const ActiveConditions::Condition& now)
{
    return kept.kind == now.kind && kept.simulated == now.simulated && shared(kept.record, now.record)
           && shared(kept.system, now.system) && shared(kept.zone, now.zone) && shared(kept.text, now.text)
           && shared(kept.acknowledgedBy, now.acknowledgedBy) && sameText(kept.since, now.since)
           && sameText(kept.acknowledgedAt, now.acknowledgedAt);
}

} // namespace

// The toolkit's formatting of a moment costs more than the rest of a condition's lines, and the
// state is written anew every second in a flood: conditions that began in the same second (the
// list is ordered by time within a kind) share the bytes formatted last.
class StoredStateEncoder::Moments {
public:
    const QByteArray& bytesOf(const QDateTime& at)
    {
        const std::optional<MomentKey> key = momentKey(at);
        if (!key)
            return none_;
        if (key != last_) {
            last_ = key;
            bytes_ = moment(at).toLatin1();
        }
        return bytes_;
    }

private:
    std::optional<MomentKey> last_;
    QByteArray bytes_;
    const QByteArray none_;
};

StoredStateEncoder::StoredStateEncoder() : moments_(std::make_unique<Moments>()) {}
StoredStateEncoder::~StoredStateEncoder() = default;

QByteArray StoredStateEncoder::encode(int level, const std::vector<ActiveConditions::Condition>& conditions)
{
    StateWriter out(conditions.size());
    out.section(names().state);
    out.line(names().level, QByteArray::number(level));
    out.line(names().count, QByteArray::number(qsizetype(conditions.size())));
    ++writes_;
    int index = 0;
    for (const ActiveConditions::Condition& c : conditions) {
        out.section(QByteArray::number(++index));
        // The workstation's own troubles have no record to know them by; they are few.
        if (c.record.isEmpty()) {
            out.append(lines(c));
            continue;
        }
        const Key key{c.record.constData(), int(c.kind)};
        auto found = kept_.find(key);
        if (found == kept_.end())
            found = kept_.insert(key, Kept{c, lines(c), writes_});
        else if (!unchanged(found->condition, c))
            *found = Kept{c, lines(c), writes_};
        else
            found->written = writes_;
        out.append(found->lines);
    }
    // Those gone since the last write.
    kept_.removeIf([this](const auto& entry) { return entry.value().written != writes_; });
    return out.take();
}

QByteArray StoredStateEncoder::lines(const ActiveConditions::Condition& c)
{
    StateWriter out(1);
    out.line(names().kind, QByteArray::number(int(c.kind)));
    out.line(names().record, c.record);
    out.line(names().system, c.system);
    out.line(names().zone, c.zone);
    out.line(names().text, c.text);
    out.line(names().since, moments_->bytesOf(c.since));
    out.line(names().simulated, c.simulated ? "1" : "0");
    out.line(names().by, c.acknowledgedBy);
    out.line(names().at, moments_->bytesOf(c.acknowledgedAt));
    return out.take();
}

QByteArray StoredConditions::encode() const
{
    return StoredStateEncoder().encode(level, conditions);
}

StoredConditions StoredConditions::decode(QByteArrayView bytes)
{
    const IniDocument ini(cp1251::decode(bytes));
    StoredConditions stored;
    stored.level = number(ini, sectionState, keyLevel, Annunciation::Technology);
    // Every detector of the largest complex in fire, in fault and switched off, with room to spare.
    const int count = number(ini, sectionState, keyCount, 100'000);
    for (int index = 1; index <= count; ++index) {
        const QString section = QString::number(index);
        ActiveConditions::Condition c;
        c.kind = ActiveConditions::Kind(number(ini, section, keyKind, int(ActiveConditions::Kind::NotConfigured)));
        c.record = text(ini, section, keyRecord);
        c.system = text(ini, section, keySystem);
        c.zone = text(ini, section, keyZone);
        c.text = text(ini, section, keyText);
        c.since = QDateTime::fromString(text(ini, section, keySince), Qt::ISODate);
        c.simulated = number(ini, section, keySimulated, 1) == 1;
        c.acknowledgedBy = text(ini, section, keyBy);
        c.acknowledgedAt = QDateTime::fromString(text(ini, section, keyAt), Qt::ISODate);
        if (!c.since.isValid() || (c.record.size() != 12 && !c.record.isEmpty()))
            throw std::runtime_error(QStringLiteral("неполная запись в разделе [%1]").arg(section).toStdString());
        stored.conditions.push_back(std::move(c));
    }
    return stored;
}

} // namespace kirvan
