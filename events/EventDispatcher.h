#pragma once

#include "events/EventEnvironment.h"
#include "events/RecordContext.h"

#include <QString>

namespace kirvan {

// processEvent: the one place where the workstation interprets what happens in the complex. A
// record names its system by address; the system's file and the detector file of the record's
// device give the context, and the event code chooses the reaction: a journal line, a table row,
// detector state, tree pictures, markers, alarms.
class EventDispatcher {
public:
    explicit EventDispatcher(EventEnvironment environment) : environment_(environment) {}

    // Throws ConversionError, before anything is read or changed, when characters 11-12 are
    // not a decimal number.
    void processEvent(const QString& record, const RecordContext& context = {});

private:
    EventEnvironment environment_;
};

} // namespace kirvan
