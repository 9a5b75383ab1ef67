#include "journal/JournalIndex.h"

#include "files/Cp1251.h"
#include "files/PathCase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

namespace {

constexpr qsizetype ChunkSize = 4 << 20;

// Reads up to `size` bytes at `offset`, never moving a shared file position.
QByteArray readAt(int fd, std::int64_t offset, qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, data.data() + got, std::size_t(size - got), off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    data.truncate(got);
    return data;
}

struct LineEnd {
    std::int64_t at = 0; // the line feed, or the end of the file
    bool found = false;
};
LineEnd lineEnd(int fd, std::int64_t from)
{
    for (;;) {
        const QByteArray block = readAt(fd, from, ChunkSize);
        const qsizetype feed = block.indexOf('\n');
        if (feed >= 0)
            return {from + feed, true};
        from += block.size();
        if (block.size() < ChunkSize)
            return {from, false};
    }
}

// The rotated predecessors of the log in its folder, oldest first: numbered ones (.1 is the
// newest) before dated ones (-YYYYMMDD).
QStringList predecessorsOf(const QString& log)
{
    const QFileInfo info(log);
    static const QRegularExpression rotated(QStringLiteral("^(.+)(?:-(\\d{8,})|\\.(\\d+))$"));
    struct Found {
        QString path;
        bool dated;
        qint64 number;
        QString date;
    };
    std::vector<Found> found;
    for (const QString& name : QDir(info.absolutePath()).entryList(QDir::Files)) {
        const auto match = rotated.match(name);
        if (!match.hasMatch() || match.captured(1).compare(info.fileName(), Qt::CaseInsensitive) != 0)
            continue;
        const bool dated = match.hasCaptured(2);
        found.push_back({info.dir().filePath(name), dated, dated ? 0 : match.captured(3).toLongLong(), match.captured(2)});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.dated != b.dated)
            return !a.dated;
        return a.dated ? a.date < b.date : a.number > b.number;
    });
    QStringList paths;
    for (const Found& f : found)
        paths << f.path;
    return paths;
}

} // namespace

struct JournalIndex::Source {
    QString path;
    QFile file;
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t indexed = 0; // bytes taken up, always up to the end of a line

    explicit Source(const QString& name) : path(name), file(name)
    {
        struct stat status {};
        if (file.open(QIODevice::ReadOnly) && ::fstat(file.handle(), &status) == 0) {
            device = status.st_dev;
            inode = status.st_ino;
        }
    }
};

JournalIndex JournalIndex::build(const QString& logPath, const JournalDateOrder& order, std::stop_token stop)
{
    JournalIndex index;
    index.logPath_ = logPath;
    index.order_ = order;
    QStringList files = predecessorsOf(resolvePathCase(logPath));
    files << resolvePathCase(logPath);
    for (qsizetype i = 0; i < files.size(); ++i) {
        auto source = std::make_shared<Source>(files[i]);
        if (!source->file.isOpen())
            continue;
        index.sources_.push_back(std::move(source));
        index.readInto(std::uint16_t(index.sources_.size() - 1), i + 1 < files.size(), stop);
    }
    return index;
}

bool JournalIndex::readInto(std::uint16_t file, bool whole, const std::stop_token& stop)
{
    Source& source = *sources_[file];
    auto segment = std::make_shared<Segment>();
    const auto add = [&](const QByteArray& chunk, std::int64_t chunkOffset, qsizetype start, qsizetype end) {
        qsizetype length = end - start;
        if (length > 0 && chunk[end - 1] == '\r')
            --length;
        Entry entry;
        entry.offset = chunkOffset + start;
        entry.length = std::uint32_t(length);
        entry.file = file;
        entry.info = inspectJournalLine(QByteArrayView(chunk).sliced(start, length), order_);
        // A line without a date happened when the line before it did.
        if (entry.info.moment == 0) {
            entry.info.moment = lastMoment_;
            ++undated_;
        }
        lastMoment_ = entry.info.moment;
        segment->entries.push_back(entry);
    };
    std::int64_t offset = source.indexed;
    while (!stop.stop_requested()) {
        const QByteArray chunk = readAt(source.file.handle(), offset, ChunkSize);
        const bool atEnd = chunk.size() < ChunkSize;
        qsizetype start = 0;
        for (qsizetype end = chunk.indexOf('\n'); end >= 0; end = chunk.indexOf('\n', start)) {
            add(chunk, offset, start, end);
            start = end + 1;
        }
        // The log's last line counts once it is complete; a rotated log is complete as it is.
        if (atEnd && whole && start < chunk.size()) {
            add(chunk, offset, start, chunk.size());
            start = chunk.size();
        }
        if (!atEnd && start == 0) {
            // One line longer than a block: read by its beginning, kept whole.
            const LineEnd end = lineEnd(source.file.handle(), offset + chunk.size());
            if (!end.found && !whole)
                break; // taken up once complete
            add(chunk, offset, 0, chunk.size());
            std::int64_t length = end.at - offset;
            if (end.found && length > 0 && readAt(source.file.handle(), end.at - 1, 1) == "\r")
                --length;
            segment->entries.back().length = std::uint32_t(std::min<std::int64_t>(length, UINT32_MAX));
            offset = end.found ? end.at + 1 : end.at;
            if (!end.found)
                break;
            continue;
        }
        offset += start;
        if (atEnd)
            break;
    }
    source.indexed = offset;
    if (segment->entries.empty())
        return false;
    segmentStarts_.push_back(size_);
    size_ += qsizetype(segment->entries.size());
    segments_.push_back(std::move(segment));
    return true;
}

JournalIndex::Follow JournalIndex::follow()
{
    const QString log = resolvePathCase(logPath_);
    struct stat status {};
    if (::stat(QFile::encodeName(log).constData(), &status) != 0)
        return sources_.empty() || sources_.back()->path != log ? Follow::Unchanged : Follow::Rotated;
    if (sources_.empty() || sources_.back()->path != log) {
        auto source = std::make_shared<Source>(log);
        if (!source->file.isOpen())
            return Follow::Unchanged;
        sources_.push_back(std::move(source));
    }
    Source& current = *sources_.back();
    if (status.st_ino != current.inode || status.st_dev != current.device || status.st_size < current.indexed)
        return Follow::Rotated;
    if (status.st_size == current.indexed)
        return Follow::Unchanged;
    return readInto(std::uint16_t(sources_.size() - 1), false) ? Follow::Appended : Follow::Unchanged;
}

qsizetype JournalIndex::segmentOf(qsizetype row) const
{
    return qsizetype(std::upper_bound(segmentStarts_.begin(), segmentStarts_.end(), row) - segmentStarts_.begin()) - 1;
}

const JournalIndex::Entry& JournalIndex::entry(qsizetype row) const
{
    const qsizetype segment = segmentOf(row);
    return segments_[std::size_t(segment)]->entries[std::size_t(row - segmentStarts_[std::size_t(segment)])];
}

std::optional<QByteArray> JournalIndex::bytes(const Entry& entry) const
{
    QByteArray data = readAt(sources_[entry.file]->file.handle(), entry.offset, qsizetype(entry.length) + 1);
    if (!stillThere(entry, data))
        return std::nullopt;
    data.truncate(entry.length);
    return data;
}

bool JournalIndex::stillThere(const Entry& entry, QByteArrayView from)
{
    // A log cut or written anew since it was read no longer has the line where it was; what
    // lies there now is not shown as the line.
    if (from.size() < qsizetype(entry.length))
        return false;
    return from.size() == qsizetype(entry.length) || from[entry.length] == '\r' || from[entry.length] == '\n';
}

QString JournalIndex::line(qsizetype row) const
{
    const auto data = bytes(entry(row));
    return data ? cp1251::decode(*data) : QStringLiteral("не удалось прочитать");
}

QStringList JournalIndex::files() const
{
    QStringList paths;
    for (const auto& source : sources_)
        paths << source->path;
    return paths;
}

std::vector<std::uint32_t> JournalIndex::select(const JournalFilter& filter, qsizetype first, std::stop_token stop) const
{
    const JournalFilter::Conditions conditions = filter.conditions();
    const JournalTextMatcher matcher(filter.text);
    std::vector<std::uint32_t> rows;
    // Lines are read for the text in large blocks, in file order.
    QByteArray block;
    std::int64_t blockStart = 0;
    int blockFile = -1;
    for (qsizetype segment = first > 0 ? segmentOf(first) : 0; segment < qsizetype(segments_.size()); ++segment) {
        const auto& entries = segments_[std::size_t(segment)]->entries;
        const qsizetype start = segmentStarts_[std::size_t(segment)];
        for (qsizetype i = std::max<qsizetype>(0, first - start); i < qsizetype(entries.size()); ++i) {
            const Entry& e = entries[std::size_t(i)];
            if (!conditions.admits(e.info))
                continue;
            if (filter.hasText() || filter.hasOperator()) {
                if (blockFile != e.file || e.offset < blockStart || e.offset + e.length >= blockStart + block.size()) {
                    if (stop.stop_requested())
                        return rows;
                    blockFile = e.file;
                    blockStart = e.offset;
                    block = readAt(sources_[e.file]->file.handle(), e.offset,
                                   std::max<qsizetype>(ChunkSize, qsizetype(e.length) + 1));
                }
                const QByteArrayView there = QByteArrayView(block).sliced(qsizetype(e.offset - blockStart));
                if (!stillThere(e, there.first(std::min(there.size(), qsizetype(e.length) + 1)))
                    || !matcher.matches(there.first(e.length)) || !filter.admitsOperator(there.first(e.length)))
                    continue;
            }
            rows.push_back(std::uint32_t(start + i));
        }
    }
    return rows;
}

} // namespace kirvan
