#pragma once

#include <QMap>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace kirvan {

// The one place that decides what `<prefix>/state/<address>` says: the highest active condition
// of each alarm system (addresses 00 to 03) as the workstation's model of what is active now
// has it ("пожар", "технология", "отказ", "нет связи"; a drill is no condition of it), "норма"
// for a system with nothing active. An address the workstation no longer has gets an empty
// state: its retained topic is cleared.
class SystemStates {
public:
    using Change = std::pair<QString, QString>; // address, state ("" clears the retained topic)
    using Systems = std::function<QStringList()>; // the addresses of the systems it has

    explicit SystemStates(Systems systems) : systems_(std::move(systems)) {}
    // The states a new picture of the active conditions changes: `active` holds the systems with
    // something active (address → state).
    std::vector<Change> follow(const QMap<QString, QString>& active);
    // Every address as a new connection must find it: the state of each system known so far,
    // and a cleared topic for each address without a system.
    std::vector<Change> all() const;

private:
    void set(const QString& address, const QString& state, std::vector<Change>& changes);
    // Clears the states of addresses whose system is gone.
    void forgetRemoved(const QStringList& systems, std::vector<Change>& changes);

    Systems systems_;
    QMap<QString, QString> states_;
};

} // namespace kirvan
