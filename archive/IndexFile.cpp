#include "archive/IndexFile.h"

#include "archive/ReadAt.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

namespace {

// Before the records: what a later viewer needs to trust a kept index without reading it.
// After the summary: the log's path, so that the cache can tell an index whose log is gone.
struct Header {
    char magic[8] = {'K', 'J', 'I', 'D', 'X', '0', '0', '2'};
    std::int64_t size = 0; // of the log indexed, whole
    std::int64_t records = 0;
    std::int64_t undated = 0;
    std::int64_t blocks = 0;
    std::int64_t pathBytes = 0;
};
constexpr std::int64_t RecordsStart = 64;
constexpr std::int64_t PathLongest = 4096;
static_assert(sizeof(Header) <= RecordsStart);

bool writeAt(int fd, std::int64_t offset, const void* from, std::int64_t size)
{
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, static_cast<const char*>(from) + done, std::size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

int unnamedFileIn(const QString& folder)
{
    if (folder.isEmpty())
        return -1;
    QDir().mkpath(folder);
    return ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

std::optional<Header> headerOf(int fd)
{
    Header header;
    const Header expected;
    if (readAt(fd, 0, &header, sizeof header) != sizeof header
        || std::memcmp(header.magic, expected.magic, sizeof header.magic) != 0 || header.records < 0
        || header.blocks != (header.records + IndexBlock::Records - 1) / IndexBlock::Records || header.pathBytes < 0
        || header.pathBytes > PathLongest)
        return std::nullopt;
    return header;
}

std::int64_t summaryStart(const Header& header)
{
    return RecordsStart + header.records * std::int64_t(sizeof(IndexRecord));
}

} // namespace

IndexFile::~IndexFile()
{
    ::close(fd_);
}

std::shared_ptr<IndexFile> IndexFile::create(const QString& folder)
{
    int fd = unnamedFileIn(folder);
    if (fd < 0)
        fd = unnamedFileIn(QDir::tempPath());
    if (fd < 0)
        fd = ::memfd_create("journal-index", MFD_CLOEXEC);
    return std::make_shared<IndexFile>(fd);
}

std::optional<IndexFile::Kept> IndexFile::kept(const QString& folder, const QString& name, std::int64_t size)
{
    const int fd = ::open(QFile::encodeName(QDir(folder).filePath(name)).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    Kept kept;
    kept.file = std::make_shared<IndexFile>(fd);
    const auto header = headerOf(fd);
    if (!header || header->size != size)
        return std::nullopt;
    kept.records = header->records;
    kept.undated = header->undated;
    kept.blocks.resize(std::size_t(header->blocks));
    const std::int64_t bytes = header->blocks * std::int64_t(sizeof(IndexBlock));
    if (readAt(fd, summaryStart(*header), kept.blocks.data(), bytes) != bytes)
        return std::nullopt;
    // Used now: the cache's tidying goes by the last use.
    ::futimens(fd, nullptr);
    return kept;
}

std::optional<IndexFile::KeptLog> IndexFile::keptLog(const QString& file)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const IndexFile closed(fd);
    const auto header = headerOf(fd);
    if (!header)
        return std::nullopt;
    const std::int64_t pathStart = summaryStart(*header) + header->blocks * std::int64_t(sizeof(IndexBlock));
    const QByteArray path = readAt(fd, pathStart, qsizetype(header->pathBytes));
    if (path.size() != header->pathBytes)
        return std::nullopt;
    return KeptLog{QFile::decodeName(path), header->size};
}

bool IndexFile::write(std::int64_t at, const std::vector<IndexRecord>& records)
{
    return writeAt(fd_, RecordsStart + at * std::int64_t(sizeof(IndexRecord)), records.data(),
                   std::int64_t(records.size() * sizeof(IndexRecord)));
}

std::vector<IndexRecord> IndexFile::read(std::int64_t at, std::int64_t count) const
{
    std::vector<IndexRecord> records(static_cast<std::size_t>(count));
    const std::int64_t got = readAt(fd_, RecordsStart + at * std::int64_t(sizeof(IndexRecord)), records.data(),
                                    count * std::int64_t(sizeof(IndexRecord)));
    records.resize(std::size_t(got / std::int64_t(sizeof(IndexRecord))));
    return records;
}

void IndexFile::keep(const QString& folder, const QString& name, const QString& log, const Kept& summary,
                     std::int64_t size) const
{
    if (folder.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(log);
    Header header;
    header.size = size;
    header.records = summary.records;
    header.undated = summary.undated;
    header.blocks = std::int64_t(summary.blocks.size());
    header.pathBytes = path.size();
    const std::int64_t blockBytes = header.blocks * std::int64_t(sizeof(IndexBlock));
    if (!writeAt(fd_, summaryStart(header), summary.blocks.data(), blockBytes)
        || !writeAt(fd_, summaryStart(header) + blockBytes, path.constData(), path.size())
        || !writeAt(fd_, 0, &header, sizeof header) || ::fdatasync(fd_) != 0)
        return;
    // An unnamed file gets its name only now, whole: a viewer killed while indexing leaves nothing.
    // The name replaces a kept index that did not fit (cut, or of an earlier form).
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    const QByteArray target = QFile::encodeName(QDir(folder).filePath(name));
    const QByteArray linked = target + '.' + QByteArray::number(::getpid());
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, linked.constData(), AT_SYMLINK_FOLLOW) == 0
        && ::rename(linked.constData(), target.constData()) != 0)
        ::unlink(linked.constData());
}

} // namespace kirvan
