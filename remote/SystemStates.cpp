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

const QStringList allAddresses{QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")};

} // namespace

std::vector<SystemStates::Change> SystemStates::follow(const EventMessage& message)
{
    std::vector<Change> changes;
    const QStringList systems = systems_();
    forgetRemoved(systems, changes);
    if (message.kind() == RemoteKind::StartStop && message.text().contains(QStringLiteral("ВКЛЮЧЕН"))
        && !message.text().contains(QStringLiteral("ВЫКЛЮЧЕН"))) {
        states_.clear();
        for (const QString& address : systems)
            set(address, normal, changes);
        return changes;
    }
    const QString& address = message.address();
    if (!systems.contains(address))
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

std::vector<SystemStates::Change> SystemStates::all() const
{
    std::vector<Change> every;
    const QStringList systems = systems_();
    for (const QString& address : allAddresses) {
        if (!systems.contains(address))
            every.emplace_back(address, QString());
        else if (states_.contains(address))
            every.emplace_back(address, states_.value(address));
    }
    return every;
}

void SystemStates::set(const QString& address, const QString& state, std::vector<Change>& changes)
{
    if (states_.value(address) == state)
        return;
    states_.insert(address, state);
    changes.emplace_back(address, state);
}

void SystemStates::forgetRemoved(const QStringList& systems, std::vector<Change>& changes)
{
    for (auto state = states_.begin(); state != states_.end();) {
        if (systems.contains(state.key())) {
            ++state;
            continue;
        }
        changes.emplace_back(state.key(), QString());
        state = states_.erase(state);
    }
}

} // namespace kirvan
