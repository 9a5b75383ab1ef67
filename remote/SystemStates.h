#pragma once

#include "remote/EventMessage.h"

#include <QMap>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace kirvan {

// The state of each alarm system (addresses 00 to 03) as its journal lines tell it: "норма",
// "отказ", "пожар", "технология", "нет связи". A fire outranks a technology alarm, both outrank a
// fault; the record "00" (the system normal again, after a reset or a lost link) ends them all.
// The workstation's start makes every system it has "норма".
class SystemStates {
public:
    using Change = std::pair<QString, QString>; // address, state
    using Systems = std::function<QStringList()>; // the addresses of the systems it has

    explicit SystemStates(Systems systems) : systems_(std::move(systems)) {}
    // The states the line changes.
    std::vector<Change> follow(const EventMessage& message);

private:
    void set(const QString& address, const QString& state, std::vector<Change>& changes);

    Systems systems_;
    QMap<QString, QString> states_;
};

} // namespace kirvan
