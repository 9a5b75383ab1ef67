#pragma once

#include "remote/EventMessage.h"

#include <QMap>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace kirvan {

// The one place that decides what `<prefix>/state/<address>` says. The state of each alarm system
// (addresses 00 to 03) as its journal lines tell it: "норма", "отказ", "пожар", "технология",
// "нет связи". A fire outranks a technology alarm, both outrank a fault; the record "00" (the
// system normal again, after a reset or a lost link) ends them all; a simulation changes nothing.
// The workstation's start makes every system it has "норма". An address the workstation no longer
// has gets an empty state: its retained topic is cleared.
class SystemStates {
public:
    using Change = std::pair<QString, QString>; // address, state ("" clears the retained topic)
    using Systems = std::function<QStringList()>; // the addresses of the systems it has

    explicit SystemStates(Systems systems) : systems_(std::move(systems)) {}
    // The states the line changes.
    std::vector<Change> follow(const EventMessage& message);
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
