#include "remote/SystemStates.h"

namespace kirvan {

namespace {

const QString normal = QStringLiteral("норма");
const QString fault = QStringLiteral("отказ");
const QString fire = QStringLiteral("пожар");
const QString technology = QStringLiteral("технология");
const QString noLink = QStringLiteral("нет связи");

int rank(const QString& state)
{
    if (state == fire)
        return 4;
    if (state == technology)
        return 3;
    if (state == noLink)
        return 2;
    return state == fault ? 1 : 0;
}

constexpr int noLinkCode = 23;

} // namespace

std::vector<SystemStates::Change> SystemStates::follow(const EventMessage& message)
{
    std::vector<Change> changes;
    if (message.kind() == RemoteKind::StartStop && message.text().contains(QStringLiteral("ВКЛЮЧЕН"))
        && !message.text().contains(QStringLiteral("ВЫКЛЮЧЕН"))) {
        states_.clear();
        for (const QString& address : systems_())
            set(address, normal, changes);
        return changes;
    }
    const QString& address = message.address();
    if (address.size() != 2 || address < QLatin1String("00") || address > QLatin1String("03"))
        return changes;
    QString state;
    switch (message.kind()) {
    case RemoteKind::Restoration:
        state = normal;
        break;
    case RemoteKind::Fire:
        state = fire;
        break;
    case RemoteKind::Technology:
        state = technology;
        break;
    case RemoteKind::Fault:
        state = fault;
        break;
    case RemoteKind::Link:
        state = message.code() == noLinkCode ? noLink : fault;
        break;
    default:
        return changes;
    }
    if (state == normal || rank(state) > rank(states_.value(address)))
        set(address, state, changes);
    return changes;
}

void SystemStates::set(const QString& address, const QString& state, std::vector<Change>& changes)
{
    if (states_.value(address) == state)
        return;
    states_.insert(address, state);
    changes.emplace_back(address, state);
}

} // namespace kirvan
