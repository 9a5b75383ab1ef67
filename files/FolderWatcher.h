#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace kirvan {

// Tells which names in watched folders have changed since the last look, through inotify.
// Only folders on local file systems are watched: on a network share the kernel hears nothing
// of changes made by other computers, so a quiet watch there would prove nothing.
class FolderWatcher {
public:
    FolderWatcher();
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // Starts (or goes on) watching the folder; the watch's id, or nothing when it cannot be
    // watched. Every change made after this call is reported by a later drain().
    std::optional<int> watch(const QString& folder);
    void unwatch(int watchId);

    struct Change {
        int watchId = -1;
        QByteArray name; // the entry of the folder; empty when the folder itself changed
        bool everything = false; // events were lost: anything may have changed
    };
    // Reports the changes queued since the last call, without waiting.
    void drain(const std::function<void(const Change&)>& report);

private:
    int fd_ = -1;
};

} // namespace kirvan
