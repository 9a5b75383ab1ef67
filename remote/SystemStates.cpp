#include "remote/SystemStates.h"

namespace kirvan {

namespace {

const QStringList allAddresses{QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")};

} // namespace

std::vector<SystemStates::Change> SystemStates::follow(const QMap<QString, QString>& active)
{
    std::vector<Change> changes;
    const QStringList systems = systems_();
    forgetRemoved(systems, changes);
    for (const QString& address : systems)
        set(address, active.value(address, QStringLiteral("норма")), changes);
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
