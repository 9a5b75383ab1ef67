#pragma once

#include "events/EventEnvironment.h"
#include "events/Interpretation.h"
#include "events/RecordContext.h"

#include <QString>
#include <functional>

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
    // After each record of a system of the complex that its reaction took in full.
    void setOnInterpreted(std::function<void(const Interpretation&)> handler) { onInterpreted_ = std::move(handler); }

private:
    EventEnvironment environment_;
    std::function<void(const Interpretation&)> onInterpreted_;
};

} // namespace kirvan
