#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

namespace kirvan {

// The program's diagnostics on a file descriptor (standard error) that nobody may be reading: a
// full pipe or a paused terminal must never stop the main thread. Lines are queued and written
// by a thread of their own; what does not fit the queue is dropped at once, counted, and the
// count is written as soon as the output moves again.
class DiagnosticsOutput {
public:
    // Queued bytes beyond which lines are dropped.
    static constexpr qsizetype queueBytes = 64 * 1024;

    explicit DiagnosticsOutput(int fd);
    // Writes what is queued if the output takes it; a writer stuck on a full pipe is left behind.
    ~DiagnosticsOutput();
    DiagnosticsOutput(const DiagnosticsOutput&) = delete;
    DiagnosticsOutput& operator=(const DiagnosticsOutput&) = delete;

    // Any thread; never waits for the output.
    void write(const QString& line);
    // A toolkit message: each distinct text is written once for the run.
    void writeOnce(const QString& line);
    std::uint64_t dropped() const;

    // Routes Qt's messages (the toolkit's warnings) here; the last installed wins.
    void installAsMessageHandler();

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
    QSet<QString> said_;
    std::mutex saidMutex_;
};

} // namespace kirvan
