// Reactions to events of the equipment: links, lines, relays, contacts, power, and the automatic
// extinguishing installation.
#include "events/DeviceNames.h"
#include "complex/SiteFileKeys.h"
#include "events/EventRecord.h"
#include "events/Reaction.h"
#include "events/Reactions.h"
#include "events/TreeMarking.h"

#include "platform/ConversionError.h"

#include <optional>

namespace kirvan {

namespace {

const QString fault = QStringLiteral("ОТКАЗ");
const QString fire = QStringLiteral("ПОЖАР");

bool isDetectorForm(const Reaction& r)
{
    return r.at(4) == record::detectorForm;
}
bool isRelayUnitForm(const Reaction& r)
{
    return r.at(4) == record::relayUnitForm;
}
bool isRemoteUnitForm(const Reaction& r)
{
    return r.at(4) == record::remoteUnitForm;
}

// The device a record names by its form: the "И" device, the relay unit "БРВУ n" of the "B"
// form, the remote unit "БДУ0n" of the "Т" form. Nothing for an unknown device.
std::optional<QString> namedDevice(const Reaction& r)
{
    if (isDetectorForm(r))
        return deviceName(r.deviceChar());
    if (isRelayUnitForm(r))
        return QStringLiteral("БРВУ ") + r.at(5);
    if (isRemoteUnitForm(r))
        return QStringLiteral("БДУ0") + r.at(6);
    return std::nullopt;
}

// Column 3 of the equipment faults; empty where the tables give nothing.
QString equipmentMessage(const Reaction& r)
{
    const bool console = isDetectorForm(r) && isFireControlConsole(r.deviceChar());
    switch (r.code()) {
    case 9: {
        const auto device = namedDevice(r);
        return device ? QStringLiteral("НЕТ СВЯЗИ С ") + *device : QString();
    }
    case 10:
        return (isFireControlConsole(r.deviceChar()) ? QStringLiteral("ПУ-П") : QStringLiteral("ППКП ") + r.deviceChar())
               + QStringLiteral(" ЗАМЫКАНИЕ  ЛИНИИ ") + r.at(6);
    case 26: {
        const auto device = namedDevice(r);
        if (!device)
            return {};
        // A remote unit's relay number is the last digit of its point number less 4.
        const QString relay = isRemoteUnitForm(r) ? QString::number(toInteger(QString(r.at(9))) - 4) : QString(r.at(6));
        return *device + QStringLiteral(" РЕЛЕ Р") + relay;
    }
    case 32: {
        const auto device = namedDevice(r);
        if (!device)
            return {};
        const QString gap = console               ? QStringLiteral("   ")
                            : isRemoteUnitForm(r) ? QStringLiteral("  ")
                                                  : QStringLiteral(" ");
        return *device + gap + QStringLiteral("АВАРИЯ ПИТАНИЯ");
    }
    case 33:
        return QStringLiteral("ПУ-П  КАНАЛ СВЯЗИ А/В");
    default:
        return {};
    }
}

// The contact text of codes 24 and 25, or nothing where no device is named.
std::optional<QString> contactText(const Reaction& r)
{
    const QString word = r.code() == 24 ? QStringLiteral(" ЗАМКНУТ") : QStringLiteral(" РАЗОМКНУТ");
    // The relay letter of the contact texts is the Latin P.
    const QString relayContact = word + QStringLiteral(" КОНТАКТ РЕЛЕ P");
    if (isRelayUnitForm(r))
        return QStringLiteral(":БРВУ ") + r.at(5) + relayContact + r.at(6);
    if (isRemoteUnitForm(r))
        return QStringLiteral(":БДУ0") + r.at(6) + relayContact + r.at(9);
    if (!isDetectorForm(r))
        return std::nullopt;
    if (record::chars(r.record(), 8, 2) == QLatin1String("63")) {
        const auto device = deviceName(r.deviceChar());
        return device ? std::optional<QString>(u':' + *device + relayContact + r.at(6)) : std::nullopt;
    }
    // Other points are contacts of the control unit's БКА, named by the five characters after "И".
    const QChar c = r.deviceChar();
    if (c < QLatin1Char('0') || c > QLatin1Char('8'))
        return std::nullopt;
    return u':' + *deviceName(c) + word + QStringLiteral(" КОНТАКТ БКА") + record::chars(r.record(), 5, 5);
}

QString adsMessage(const QString& address)
{
    if (address == QLatin1String("32"))
        return QStringLiteral("НЕТ СВЯЗИ С АДС №1");
    if (address == QLatin1String("33"))
        return QStringLiteral("НЕТ СВЯЗИ С УДАЛЕННОЙ АДС");
    if (address == QLatin1String("34"))
        return QStringLiteral("НЕТ СВЯЗИ С АДС №2");
    if (address == QLatin1String("35"))
        return QStringLiteral("НЕТ СВЯЗИ С АДС №3");
    if (address == QLatin1String("36"))
        return QStringLiteral("НЕТ СВЯЗИ С АДС №4");
    return {};
}

void raiseFaultUnlessFireShown(Reaction& r)
{
    Annunciation& alarms = r.services().alarms;
    if (alarms.alarmLevel() != Annunciation::Fire)
        alarms.raiseFaultAlarm();
    r.announce(Annunciation::Fault);
}

QString zoneWith(Reaction& r, const char16_t* suffix)
{
    return r.detectorValue(detectorfile::keyZone) + QString::fromUtf16(suffix);
}

} // namespace

void reactEquipmentFault(Reaction& r)
{
    r.services().window.restoreMainWindow();
    r.fillRow(fault, equipmentMessage(r));
    r.rowLine();
    raiseFaultUnlessFireShown(r);
    r.markSystemNode(stateicon::systemFault);
    r.commitRow(1);
}

void reactNoLinkWithComplex(Reaction& r)
{
    r.services().window.restoreMainWindow();
    r.fillRow(fault, QStringLiteral("НЕТ СВЯЗИ С КОМПЛЕКСОМ"));
    r.complexLine();
    raiseFaultUnlessFireShown(r);
    r.markSystemNode(stateicon::systemNoLink);
    r.commitRow(1);
}

void reactNoLinkWithAds(Reaction& r)
{
    r.fillRow(fault, QStringLiteral("КОМПЛЕКС"), adsMessage(record::address(r.record())));
    r.adsLine();
    r.commitRow(1);
    raiseFaultUnlessFireShown(r);
}

void reactContact(Reaction& r)
{
    if (const auto text = contactText(r))
        r.shortLine(*text);
}

void reactZoneMode(Reaction& r)
{
    static const char16_t* const suffixes[] = {u" БЛОКИРОВКА ВКЛЮЧЕНА", u" БЛОКИРОВКА ВЫКЛЮЧЕНА", u" РУЧНОЙ РЕЖИМ",
                                               u" АВТОМАТИЧЕСКИЙ РЕЖИМ"};
    r.shortLine(QStringLiteral(": ") + zoneWith(r, suffixes[r.code() - 34]));
}

void reactRelease(Reaction& r)
{
    static const char16_t* const suffixes[] = {u" ПОДАЧА ОТВ", u" ПОДАЧА ОТВ 2 ОЧЕРЕДЬ", u" ПУСК АСПТ"};
    r.services().window.restoreMainWindow();
    r.fillRow(fire, zoneWith(r, suffixes[r.code() - 38]));
    r.services().alarms.raiseFireAlarm();
    r.announce(Annunciation::Fire);
    r.services().markers.paintMarker(r.record(), colours::red, true);
    r.rowLine();
    r.markDetectorNode(Reaction::Marking::Fire);
    r.services().alarms.incrementFireCounter();
    r.commitRow(0);
}

void reactCircuitFault(Reaction& r)
{
    static const char16_t* const suffixes[] = {
        u" УТЕЧКА ОТВ",       u" ЦЕПЬ ПОДАЧИ ОТВ",   u" ЦЕПЬ БЛОКИРОВКИ",   u" ЦЕПЬ ПОДАЧИ ОТВ 2 ОЧЕРЕДЬ",
        u" ЦЕПЬ  УТЕЧКА ОТВ", u" ЦЕПЬ ОПОВЕЩЕНИЕ 1", u"  ЦЕПЬ ОПОВЕЩЕНИЕ 2"};
    // An installation fault outranks a technology alarm.
    r.pointFault(zoneWith(r, suffixes[r.code() - 41]), Reaction::FaultYieldsTo::Fire);
}

void reactDirection(Reaction& r)
{
    r.services().window.restoreMainWindow();
    const QString zone = r.systemFile().readString(systemfile::sectionDirection.toString() + r.at(6),
                                                   systemfile::keyDirectionZone, {});
    r.fillRow(fire, zone + (r.code() == 48 ? QStringLiteral(": АКТИВАЦИЯ АСПТ") : QStringLiteral(": ПОДАЧА ОТВ")));
    r.rowLine();
    r.services().markers.paintMarker(r.record(), colours::red, true);
    r.services().alarms.raiseFireAlarm();
    r.announce(Annunciation::Fire);
    r.markEverySystemNode(stateicon::systemFire);
    r.commitRow(1);
}

void reactRemoteUnitPoint(Reaction& r)
{
    // Only remote units report these points. A record of another form would leave a half-filled
    // row on screen that no journal line explains, so it changes nothing at all.
    if (!isRemoteUnitForm(r))
        return;
    static const char16_t* const suffixes[] = {u" АСПТ:ЦЕПЬ ПОДАЧА ОТВ", u" АСПТ:ЦЕПЬ УТЕЧКА ОТВ",
                                               u" АСПТ:ЦЕПЬ БЛОКИРОВКА", u" АСПТ:КНОПКА ПУСК",
                                               u" АСПТ:КНОПКА СТОП",     u" АСПТ:КНОПКА РУЧНОЙ"};
    r.services().window.restoreMainWindow();
    const int number = record::pointNumber(r.record());
    const QString message = number >= 79 && number <= 84
                                ? QStringLiteral("БДУ0") + r.at(6) + QString::fromUtf16(suffixes[number - 79])
                                : QString();
    r.fillRow(fault, message);
    r.rowLine();
    r.commitRow(1);
}

} // namespace kirvan
