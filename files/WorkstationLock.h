#pragma once

#include <QString>
#include <optional>

namespace kirvan {

// One program at a time works on a workstation folder: the running workstation holds this lock
// for its whole run, and whatever else would change the folder's files (a second start, the
// installer's tool) takes it first or leaves the folder alone. The lock is the system's lock on
// the file ".KirvanMonitorP.lock" in the folder, which only the folder's owner may open (mode
// 0600): another user who can read the folder cannot keep the workstation from starting. It
// goes with the process however it ends, and every path that reaches the folder (links, other
// spellings) meets the same lock.
class WorkstationLock {
public:
    enum class Refusal { HeldByAnother, Unavailable };

    // Takes the lock without waiting. On failure gives nothing and says why: another process
    // holds it, or the folder cannot be opened (the reason in `failure`, in Russian).
    static std::optional<WorkstationLock> acquire(const QString& folder, Refusal* refusal = nullptr,
                                                  QString* failure = nullptr);

    WorkstationLock(WorkstationLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    WorkstationLock& operator=(WorkstationLock&& other) noexcept;
    WorkstationLock(const WorkstationLock&) = delete;
    WorkstationLock& operator=(const WorkstationLock&) = delete;
    // Releases the lock.
    ~WorkstationLock();

    // The operator's message of a refusal because another program works on the folder.
    static QString heldMessage(const QString& folder);

private:
    explicit WorkstationLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace kirvan
