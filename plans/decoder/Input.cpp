#include "plans/decoder/Input.h"

#include <QFile>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan::raster {

namespace {

// Pages are given back in steps of this many bytes, not one call a row.
constexpr size_t releaseStep = 4 * 1024 * 1024;

} // namespace

Input::Input(qint64 largest)
{
    struct stat info {};
    if (fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        if (info.st_size > largest)
            return;
        mappedBytes_ = size_t(info.st_size);
        mapping_ = mmap(nullptr, mappedBytes_, PROT_READ, MAP_PRIVATE, STDIN_FILENO, 0);
        if (mapping_ == MAP_FAILED) {
            mapping_ = nullptr;
            return;
        }
        bytes_ = QByteArray::fromRawData(static_cast<const char*>(mapping_), qsizetype(mappedBytes_));
        usable_ = true;
        return;
    }
    QFile file;
    if (!file.open(STDIN_FILENO, QIODevice::ReadOnly))
        return;
    bytes_ = file.read(largest + 1);
    usable_ = bytes_.size() <= largest;
}

Input::~Input()
{
    if (mapping_)
        munmap(mapping_, mappedBytes_);
}

void Input::release(qsizetype end)
{
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t through = std::min(size_t(end), mappedBytes_) / page * page;
    if (!mapping_ || through < released_ + releaseStep)
        return;
    // The mapping is private and never written: pages given back are read from the file again
    // if they are looked at after all.
    madvise(static_cast<char*>(mapping_) + released_, through - released_, MADV_DONTNEED);
    released_ = through;
}

} // namespace kirvan::raster
