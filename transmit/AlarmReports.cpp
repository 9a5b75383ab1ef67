#include "transmit/AlarmReports.h"

#include "files/Cp1251.h"
#include "link/RecordCodes.h"

#include <algorithm>

namespace kirvan {

namespace {

namespace cid {
constexpr int Fire = 110;
constexpr int Burglary = 130;
constexpr int Technology = 150;
constexpr int NoLink = 350;
constexpr int DetectorFault = 373;
constexpr int Started = 305;
constexpr int Stopped = 308;
constexpr int SwitchedOff = 570;
} // namespace cid

QByteArray digits(int value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

} // namespace

QByteArray siaCodeOf(int contactId, bool restore)
{
    struct Codes {
        int contactId;
        const char* raised;
        const char* restored;
    };
    static constexpr Codes table[] = {
        {cid::Fire, "FA", "FH"},
        {cid::Technology, "UA", "UH"},
        {cid::Burglary, "BA", "BH"},
        {cid::DetectorFault, "FT", "FJ"},
        {cid::SwitchedOff, "BB", "BU"},
        {cid::NoLink, "YC", "YK"},
        {354, "YC", "YK"},
        {cid::Started, "RR", "RR"},
        {cid::Stopped, "YX", "YX"},
        {602, "RP", "RP"},
    };
    for (const Codes& codes : table)
        if (codes.contactId == contactId)
            return restore ? codes.restored : codes.raised;
    return "UX";
}

QByteArray AlarmReport::contactIdData(const QByteArray& account) const
{
    return '#' + account + '|' + (restore ? '3' : '1') + digits(contactId, 3) + ' ' + digits(group, 2) + ' '
           + digits(zone, 3);
}

QByteArray AlarmReport::siaData(const QByteArray& account) const
{
    return '#' + account + "|Nri" + digits(group, 2) + '/' + siaCode + digits(zone, 3);
}

void AlarmReports::raise(int contactId, int group, int zone, std::vector<AlarmReport>& reports)
{
    open_.insert(Key{group, zone, contactId});
    reports.push_back(AlarmReport{false, contactId, siaCodeOf(contactId, false), group, zone});
}

void AlarmReports::end(const Key& key, std::vector<AlarmReport>& reports)
{
    if (open_.remove(key))
        reports.push_back(AlarmReport{true, key.contactId, siaCodeOf(key.contactId, true), key.group, key.zone});
}

void AlarmReports::endSystem(int group, std::vector<AlarmReport>& reports)
{
    std::vector<Key> ending;
    for (const Key& key : std::as_const(open_))
        if (key.group == group && key.contactId != cid::SwitchedOff)
            ending.push_back(key);
    std::sort(ending.begin(), ending.end(), [](const Key& a, const Key& b) {
        return std::pair(a.zone, a.contactId) < std::pair(b.zone, b.contactId);
    });
    for (const Key& key : ending)
        end(key, reports);
}

std::vector<AlarmReport> AlarmReports::follow(QByteArrayView line, const DetectorDirectory& detectors)
{
    std::vector<AlarmReport> reports;
    const JournalLineInfo info = inspectJournalLine(line, order_);
    const JournalFields fields = parseJournalLine(cp1251::decode(line));
    if (fields.address.isEmpty()) {
        if (info.kind == JournalKind::StartStop)
            reports.push_back(fields.text.contains(QStringLiteral("ВЫКЛЮЧЕН"))
                                  ? AlarmReport{false, cid::Stopped, siaCodeOf(cid::Stopped, false), 0, 0}
                                  : AlarmReport{false, cid::Started, siaCodeOf(cid::Started, false), 0, 0});
        return reports;
    }
    bool ok = false;
    const int code = fields.code.toInt(&ok);
    const int address = fields.address.toInt();
    if (!ok || address < 0 || address > 3)
        return reports;
    const int group = address + 1;
    const DetectorEntry detector = detectors.entry(fields.address, fields.detector.left(6));
    // A drill is the operator's own business: the fire brigade never gets it. Only a line that
    // names its system as the tree does counts as one, so no real alarm is ever taken for it.
    const QString system = detectors.systems.value(fields.address);
    const qsizetype status = fields.text.indexOf(QStringLiteral(": "));
    if (!system.isEmpty() && status >= 0
        && QStringView(fields.text).sliced(status + 2).startsWith(system + QStringLiteral(" ИМИТАЦИЯ ")))
        return reports;
    switch (code) {
    case recordcode::normal:
    case recordcode::controlCheck:
        endSystem(group, reports);
        return reports;
    case recordcode::switchedOn:
        end(Key{group, detector.zone, cid::SwitchedOff}, reports);
        end(Key{group, detector.zone, cid::DetectorFault}, reports);
        return reports;
    case recordcode::switchedOff:
        raise(cid::SwitchedOff, group, detector.zone, reports);
        return reports;
    case recordcode::noLink:
        raise(cid::NoLink, group, 0, reports);
        return reports;
    default:
        break;
    }
    switch (info.kind) {
    case JournalKind::Fire:
        raise(code == recordcode::fire && detector.security ? cid::Burglary : cid::Fire, group, detector.zone, reports);
        break;
    case JournalKind::Technology:
        raise(cid::Technology, group, detector.zone, reports);
        break;
    case JournalKind::Fault:
    case JournalKind::Link:
        raise(cid::DetectorFault, group, detector.zone, reports);
        break;
    default:
        break;
    }
    return reports;
}

QStringList AlarmReports::open() const
{
    QStringList words;
    for (const Key& key : open_)
        words << QStringLiteral("%1:%2:%3").arg(key.group).arg(key.zone).arg(key.contactId);
    words.sort();
    return words;
}

void AlarmReports::setOpen(const QStringList& words)
{
    open_.clear();
    for (const QString& word : words) {
        const QStringList parts = word.split(QLatin1Char(':'));
        if (parts.size() == 3)
            open_.insert(Key{parts[0].toInt(), parts[1].toInt(), parts[2].toInt()});
    }
}

} // namespace kirvan
