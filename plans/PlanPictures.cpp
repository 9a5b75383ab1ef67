#include "plans/PlanPictures.h"

#include <QFile>
#include <sys/stat.h>

namespace kirvan {

PlanPictures::PlanPictures(const PictureLoader& loader, std::unique_ptr<Worker> worker, qint64 budgetBytes)
    : loader_(loader), budgetBytes_(budgetBytes), worker_(std::move(worker))
{}

PlanPictures::~PlanPictures() = default;

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
    const Key key = keyOf(path, bound);
    wanted_ = key;
    ready_ = std::move(ready);
    if (reading_ == key)
        return; // the file being read is wanted again: its result will do
    worker_->cancel();
    reading_ = key;
    worker_->post([this, key](std::stop_token stop) -> Worker::Routine {
        PictureLoader::Result result = loader_.load(key.path, key.bound, stop);
        return [this, key, result = std::move(result)] { delivered(key, result); };
    });
}

void PlanPictures::abandon()
{
    wanted_.reset();
    ready_ = {};
    reading_.reset();
    worker_->cancel();
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

void PlanPictures::delivered(const Key& key, const PictureLoader::Result& result)
{
    reading_.reset();
    keep(key, result);
    if (wanted_ != key || !ready_)
        return;
    const Ready ready = std::move(ready_);
    ready_ = {};
    wanted_.reset();
    ready(result);
}

} // namespace kirvan
