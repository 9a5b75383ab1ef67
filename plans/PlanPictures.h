#pragma once

#include "platform/PictureLoader.h"

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <thread>

namespace kirvan {

class MessageLoop;

// Plan pictures read on a worker thread, so a selection (and every alarm selects its detector)
// never waits for a decoder, and kept in memory so the plans of a flood are read once. A picture
// is kept under its path, the file's size and modification time, and the size it was read for;
// a changed file is read anew. Unreadable files are kept too, with their reason, so a damaged plan
// costs its decoder once, not at every alarm in its zone.
class PlanPictures {
public:
    using Ready = std::function<void(const PictureLoader::Result&)>;
    // Room for about five plans read at the largest bound.
    static constexpr qint64 defaultBudgetBytes = qint64(256) * 1024 * 1024;

    PlanPictures(const PictureLoader& loader, MessageLoop& loop, qint64 budgetBytes = defaultBudgetBytes);
    // Abandons the read in progress and waits for the worker inside the message loop.
    ~PlanPictures();
    PlanPictures(const PlanPictures&) = delete;
    PlanPictures& operator=(const PlanPictures&) = delete;

    // The picture kept for the file as it is now, read for bound; nothing if there is none.
    std::optional<PictureLoader::Result> find(const QString& path, QSize bound);
    // Reads the file on the worker thread, abandoning any other read still wanted; `ready` runs on
    // the main thread with the result unless another request or abandon() comes first.
    void request(const QString& path, QSize bound, Ready ready);
    // The picture last requested is no longer wanted.
    void abandon();
    // A read is wanted and not yet handed back.
    bool busy() const { return static_cast<bool>(ready_); }
    qint64 keptBytes() const { return keptBytes_; }

private:
    struct Key {
        QString path;
        qint64 size = -1;
        qint64 modified = 0;
        QSize bound;
        bool operator==(const Key&) const = default;
    };
    struct Kept {
        Key key;
        PictureLoader::Result result;
    };
    struct Job {
        Key key;
        std::uint64_t number = 0;
    };

    static Key keyOf(const QString& path, QSize bound);
    void keep(const Key& key, const PictureLoader::Result& result);
    void delivered(const Job& job, const PictureLoader::Result& result);
    void work(std::stop_token stop);

    const PictureLoader& loader_;
    MessageLoop& loop_;
    const qint64 budgetBytes_;

    // Main thread: the kept pictures, newest first, and the request whose result is wanted.
    std::list<Kept> kept_;
    qint64 keptBytes_ = 0;
    Ready ready_;
    std::uint64_t wanted_ = 0;

    // Shared with the worker under mutex_.
    std::mutex mutex_;
    std::condition_variable_any jobArrived_;
    std::optional<Job> next_;
    std::optional<Job> reading_;
    std::stop_source readStop_;
    bool finished_ = false;
    // The worker is handing a result to the main thread.
    bool handingOver_ = false;

    std::jthread worker_;
};

} // namespace kirvan
