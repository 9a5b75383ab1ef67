#pragma once

#include "platform/PictureLoader.h"
#include "platform/Worker.h"

#include <QString>
#include <functional>
#include <list>
#include <memory>
#include <optional>

namespace kirvan {

// Plan pictures read on a worker, so a selection (and every alarm selects its detector) never
// waits for a decoder, and kept in memory so the plans of a flood are read once. A picture is
// kept under its path, the file's size and modification time, and the size it was read for (the
// size it is shown at); a changed file is read anew. Unreadable files are kept too, with their
// reason, so a damaged plan costs its decoder once, not at every alarm in its zone.
class PlanPictures {
public:
    using Ready = std::function<void(const PictureLoader::Result&)>;
    // Pictures are read at the size of the plan area: room for about 30 plans shown over a
    // 1920 × 1080 screen, and for every zone's plan of most sites.
    static constexpr qint64 defaultBudgetBytes = qint64(256) * 1024 * 1024;

    PlanPictures(const PictureLoader& loader, std::unique_ptr<Worker> worker, qint64 budgetBytes = defaultBudgetBytes);
    ~PlanPictures();
    PlanPictures(const PlanPictures&) = delete;
    PlanPictures& operator=(const PlanPictures&) = delete;

    // The picture kept for the file as it is now, read for bound; nothing if there is none.
    std::optional<PictureLoader::Result> find(const QString& path, QSize bound);
    // Reads the file on the worker, abandoning any other read still under way; `ready` runs on
    // the main thread with the result unless another request or abandon() comes first.
    void request(const QString& path, QSize bound, Ready ready);
    // The picture last requested is no longer wanted.
    void abandon();
    // A picture is wanted and not yet handed back.
    bool busy() const { return static_cast<bool>(ready_); }

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

    static Key keyOf(const QString& path, QSize bound);
    void keep(const Key& key, const PictureLoader::Result& result);
    void delivered(const Key& key, const PictureLoader::Result& result);

    const PictureLoader& loader_;
    const qint64 budgetBytes_;
    // The kept pictures, newest first.
    std::list<Kept> kept_;
    qint64 keptBytes_ = 0;
    // The picture wanted and what to do with it; the file the worker reads.
    std::optional<Key> wanted_;
    Ready ready_;
    std::optional<Key> reading_;
    std::unique_ptr<Worker> worker_;
};

} // namespace kirvan
