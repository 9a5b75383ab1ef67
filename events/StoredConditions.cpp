#include "events/StoredConditions.h"

#include "events/EventServices.h"
#include "files/Cp1251.h"
#include "files/IniDocument.h"

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

// Written line by line rather than key by key into a document: the state is written anew at
// every change, and a complex in a flood of faults has thousands of conditions.
QByteArray StoredConditions::encode() const
{
    QString text;
    text.reserve(qsizetype(conditions.size()) * 256);
    const auto line = [&text](const QString& key, const QString& value) {
        text += key;
        text += u'=';
        const qsizetype start = text.size();
        text += value;
        // A line break in a value would begin a line of its own.
        for (qsizetype at = start; at < text.size(); ++at)
            if (text[at] == u'\r' || text[at] == u'\n')
                text[at] = u' ';
        text += QStringLiteral("\r\n");
    };
    text += u'[' + sectionState + QStringLiteral("]\r\n");
    line(keyLevel, QString::number(level));
    line(keyCount, QString::number(conditions.size()));
    int index = 0;
    for (const ActiveConditions::Condition& c : conditions) {
        text += u'[';
        text += QString::number(++index);
        text += QStringLiteral("]\r\n");
        line(keyKind, QString::number(int(c.kind)));
        line(keyRecord, c.record);
        line(keySystem, c.system);
        line(keyZone, c.zone);
        line(keyText, c.text);
        line(keySince, moment(c.since));
        line(keySimulated, c.simulated ? QStringLiteral("1") : QStringLiteral("0"));
        line(keyBy, c.acknowledgedBy);
        line(keyAt, moment(c.acknowledgedAt));
    }
    return cp1251::encode(text).bytes;
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
