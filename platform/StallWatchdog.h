#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace kirvan {

// Finds the handlers that hold the main thread: the message loop tells it when a handler
// starts and returns (handlers nest inside waits) and when the thread sleeps waiting for
// messages. Time between two of these, while awake, belongs to the innermost handler running;
// over stallMs it is a stall, named in a diagnostics line at most once a minute (the stalls in
// between are counted into the next line).
class StallWatchdog {
public:
    static constexpr std::int64_t stallMs = 100;
    static constexpr std::int64_t reportEveryMs = 60 * 1000;

    // What a handler handles, kept cheaply and named only when it stalls.
    struct Handler {
        const char* receiverClass = "";
        int event = 0;
        int timerMs = -1; // a timer's period; -1 for any other receiver
        QString name() const;
    };

    StallWatchdog(std::function<std::int64_t()> now, std::function<void(const QString& line)> report);

    void enter(const Handler& handler);
    void leave();
    void sleeping();
    void awake();

private:
    void charge();

    std::function<std::int64_t()> now_;
    std::function<void(const QString&)> report_;
    std::vector<Handler> running_;
    std::int64_t since_ = 0;
    bool sleeping_ = false;
    std::int64_t lastReport_ = 0;
    bool reported_ = false;
    int unreported_ = 0;
};

} // namespace kirvan
