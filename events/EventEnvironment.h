#pragma once

#include "events/EventServices.h"

namespace kirvan {

class Clock;
class CompositionTree;
class EventTable;
class IniStore;
class JournalLog;
class Locale;
class SettingsFile;

// Everything the interpretation of records works with, owned elsewhere.
struct EventEnvironment {
    const SettingsFile& settings;
    IniStore& store;
    EventTable& table;
    JournalLog& log;
    CompositionTree& tree;
    const Clock& clock;
    const Locale& locale;
    EventServices services;
};

} // namespace kirvan
