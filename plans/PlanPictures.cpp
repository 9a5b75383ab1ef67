#include "plans/PlanPictures.h"

#include "platform/MessageLoop.h"

#include <QFile>
#include <sys/stat.h>

namespace kirvan {

PlanPictures::PlanPictures(const PictureLoader& loader, MessageLoop& loop, qint64 budgetBytes)
    : loader_(loader), loop_(loop), budgetBytes_(budgetBytes), worker_([this](std::stop_token stop) { work(stop); })
{
}

PlanPictures::~PlanPictures()
{
    bool handingOver = false;
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        handingOver = handingOver_;
        next_.reset();
        readStop_.request_stop();
    }
    worker_.request_stop();
    // A result already on its way waits for the main thread; it is let through (and dropped).
    if (handingOver)
        loop_.waitUntil([this] {
            std::lock_guard lock(mutex_);
            return !handingOver_;
        });
    worker_.join();
}

PlanPictures::Key PlanPictures::keyOf(const QString& path, QSize bound)
{
    Key key{path, -1, 0, bound};
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        key.size = info.st_size;
        key.modified = qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    }
    return key;
}

std::optional<PictureLoader::Result> PlanPictures::find(const QString& path, QSize bound)
{
    const Key key = keyOf(path, bound);
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        if (it->key == key) {
            kept_.splice(kept_.begin(), kept_, it);
            return kept_.front().result;
        }
    }
    return std::nullopt;
}

void PlanPictures::request(const QString& path, QSize bound, Ready ready)
{
    ready_ = std::move(ready);
    const Job job{keyOf(path, bound), ++wanted_};
    std::lock_guard lock(mutex_);
    if (reading_ && reading_->key == job.key) {
        // The file being read is wanted again: its result will do.
        reading_->number = job.number;
        next_.reset();
        return;
    }
    if (reading_)
        readStop_.request_stop();
    next_ = job;
    jobArrived_.notify_one();
}

void PlanPictures::abandon()
{
    ready_ = {};
    std::lock_guard lock(mutex_);
    next_.reset();
    if (reading_)
        readStop_.request_stop();
}

void PlanPictures::keep(const Key& key, const PictureLoader::Result& result)
{
    const qint64 bytes = result.picture.sizeInBytes();
    if (bytes > budgetBytes_)
        return;
    kept_.remove_if([&](const Kept& k) {
        if (!(k.key == key))
            return false;
        keptBytes_ -= k.result.picture.sizeInBytes();
        return true;
    });
    kept_.push_front({key, result});
    keptBytes_ += bytes;
    while (keptBytes_ > budgetBytes_) {
        keptBytes_ -= kept_.back().result.picture.sizeInBytes();
        kept_.pop_back();
    }
}

void PlanPictures::delivered(const Job& job, const PictureLoader::Result& result)
{
    keep(job.key, result);
    if (job.number != wanted_ || !ready_)
        return;
    const Ready ready = std::move(ready_);
    ready_ = {};
    ready(result);
}

void PlanPictures::work(std::stop_token stop)
{
    for (;;) {
        std::stop_token readStop;
        Key key;
        {
            std::unique_lock lock(mutex_);
            if (!jobArrived_.wait(lock, stop, [this] { return next_.has_value(); }))
                return;
            reading_ = next_;
            next_.reset();
            readStop_ = std::stop_source();
            readStop = readStop_.get_token();
            key = reading_->key;
        }
        const PictureLoader::Result result = loader_.load(key.path, key.bound, readStop);
        Job job;
        {
            std::lock_guard lock(mutex_);
            job = *reading_;
            reading_.reset();
            // An abandoned read may have stopped half-way: it is neither kept nor shown.
            if (readStop.stop_requested() || finished_)
                continue;
            handingOver_ = true;
        }
        loop_.synchronize([&] {
            if (!finished_)
                delivered(job, result);
        });
        {
            std::lock_guard lock(mutex_);
            handingOver_ = false;
        }
        loop_.wake();
    }
}

} // namespace kirvan
