#include "archive/JournalIndex.h"

#include "archive/IndexFile.h"
#include "archive/OnThreads.h"
#include "archive/ReadAt.h"
#include "files/Cp1251.h"
#include "files/PathCase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <algorithm>
#include <sys/stat.h>

namespace kirvan {

namespace {

// Small enough to stay in the processor's cache from the copy out of the page cache to the scan.
constexpr qsizetype ChunkSize = 256 << 10;
// The rotated logs are read side by side: a workstation's machine has two cores at least, and the
// window has little to do while the viewer opens.
constexpr int IndexThreads = 2;

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
    struct stat status {};

    explicit Source(const QString& name) : path(name), file(name)
    {
        if (file.open(QIODevice::ReadOnly) && ::fstat(file.handle(), &status) != 0)
            file.close();
    }
};

JournalIndex JournalIndex::build(const QString& logPath, const JournalDateOrder& order, std::stop_token stop,
                                 const QString& cacheFolder)
{
    JournalIndex index;
    index.logPath_ = logPath;
    index.order_ = order;
    index.cacheFolder_ = cacheFolder;
    QStringList files = predecessorsOf(resolvePathCase(logPath));
    files << resolvePathCase(logPath);
    std::vector<Part> parts(std::size_t(files.size()));
    // Each file has a part of its own, made on whichever thread is free; a rotated log never changes.
    onThreads<QByteArray>(parts.size(), IndexThreads, [&](std::size_t i, QByteArray& buffer) {
        if (stop.stop_requested())
            return;
        Part& part = parts[i];
        part.source = std::make_shared<Source>(files[qsizetype(i)]);
        const bool whole = i + 1 < parts.size();
        part.rotated = whole;
        if (!part.source->file.isOpen() || (whole && index.takeUpKept(part)))
            return;
        part.records = IndexFile::create(cacheFolder);
        part.unkept = index.readInto(part, whole, buffer, stop) && whole && !stop.stop_requested();
    });
    for (Part& part : parts)
        if (part.source && part.source->file.isOpen())
            index.addPart(std::move(part));
    return index;
}

// A rotated log is known by its place, its identity and its last change; the order of dates it
// was read with is part of what was read.
QString JournalIndex::keptName(const Source& source) const
{
    const struct stat& s = source.status;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QFile::encodeName(QFileInfo(source.path).absoluteFilePath()));
    hash.addData(QByteArray::number(quint64(s.st_dev)) + ':' + QByteArray::number(quint64(s.st_ino)) + ':'
                 + QByteArray::number(qint64(s.st_size)) + ':' + QByteArray::number(qint64(s.st_mtim.tv_sec)) + '.'
                 + QByteArray::number(qint64(s.st_mtim.tv_nsec)) + ':' + order_.signature());
    return QString::fromLatin1(hash.result().toHex().left(40)) + QStringLiteral(".index");
}

void JournalIndex::keep(std::stop_token stop) const
{
    for (const Part& part : parts_) {
        if (stop.stop_requested())
            return;
        if (part.unkept)
            part.records->keep(cacheFolder_, keptName(*part.source), part.source->path,
                               {nullptr, part.count, part.undated, part.blocks}, part.indexed);
    }
}

QStringList JournalIndex::keptNames() const
{
    QStringList names;
    for (const Part& part : parts_)
        if (part.rotated)
            names << keptName(*part.source);
    return names;
}

bool JournalIndex::takeUpKept(Part& part) const
{
    if (cacheFolder_.isEmpty())
        return false;
    auto kept = IndexFile::kept(cacheFolder_, keptName(*part.source), part.source->status.st_size);
    if (!kept)
        return false;
    part.records = std::move(kept->file);
    part.count = kept->records;
    part.undated = kept->undated;
    part.indexed = part.source->status.st_size;
    part.blocks = std::move(kept->blocks);
    return true;
}

void JournalIndex::addPart(Part part)
{
    part.start = size_;
    size_ += part.count;
    undated_ += part.undated;
    parts_.push_back(std::move(part));
}

bool JournalIndex::readInto(Part& part, bool whole, QByteArray& buffer, const std::stop_token& stop) const
{
    const int fd = part.source->file.handle();
    const std::int64_t before = part.count;
    // One buffer for every chunk: a new one each time costs the kernel a page fault per page.
    buffer.resize(ChunkSize);
    std::vector<IndexRecord> pending;
    pending.reserve(std::size_t(IndexBlock::Records));
    bool writable = true;
    const auto flush = [&] {
        writable = writable && part.records->write(part.count - std::int64_t(pending.size()), pending);
        pending.clear();
    };
    const auto add = [&](QByteArrayView text, std::int64_t at, std::int64_t length) {
        JournalLineInfo info = inspectJournalLine(text, order_);
        // A line without a date happened when the line before it did.
        if (info.moment == 0) {
            info.moment = part.lastMoment;
            ++part.undated;
        }
        part.lastMoment = info.moment;
        if (part.count % IndexBlock::Records == 0)
            part.blocks.emplace_back();
        part.blocks.back().add(info);
        pending.push_back(IndexRecord::of(info, at, length));
        ++part.count;
        if (std::int64_t(pending.size()) == IndexBlock::Records)
            flush();
    };
    const auto addLine = [&](QByteArrayView chunk, std::int64_t chunkOffset, qsizetype start, qsizetype end) {
        const qsizetype length = end - start - qsizetype(end > start && chunk[end - 1] == '\r');
        add(chunk.sliced(start, length), chunkOffset + start, length);
    };
    std::int64_t offset = part.indexed;
    while (!stop.stop_requested() && writable) {
        const QByteArrayView chunk(buffer.constData(), qsizetype(readAt(fd, offset, buffer.data(), ChunkSize)));
        const bool atEnd = chunk.size() < ChunkSize;
        qsizetype start = 0;
        for (qsizetype end = chunk.indexOf('\n'); end >= 0; end = chunk.indexOf('\n', start)) {
            addLine(chunk, offset, start, end);
            start = end + 1;
        }
        // The log's last line counts once it is complete; a rotated log is complete as it is.
        if (atEnd && whole && start < chunk.size()) {
            addLine(chunk, offset, start, chunk.size());
            start = chunk.size();
        }
        if (!atEnd && start == 0) {
            // One line longer than a block: read by its beginning, kept whole.
            const LineEnd end = lineEnd(fd, offset + chunk.size());
            if (!end.found && !whole)
                break; // taken up once complete
            std::int64_t length = end.at - offset;
            if (end.found && length > 0 && readAt(fd, end.at - 1, 1) == "\r")
                --length;
            add(chunk, offset, length);
            offset = end.found ? end.at + 1 : end.at;
            if (!end.found)
                break;
            continue;
        }
        offset += start;
        if (atEnd)
            break;
    }
    flush();
    part.indexed = offset;
    return part.count > before;
}

JournalIndex::Follow JournalIndex::follow()
{
    const QString log = resolvePathCase(logPath_);
    struct stat status {};
    if (::stat(QFile::encodeName(log).constData(), &status) != 0)
        return parts_.empty() || parts_.back().source->path != log ? Follow::Unchanged : Follow::Rotated;
    if (parts_.empty() || parts_.back().source->path != log) {
        Part part;
        part.source = std::make_shared<Source>(log);
        part.records = IndexFile::create(cacheFolder_);
        if (!part.source->file.isOpen())
            return Follow::Unchanged;
        addPart(std::move(part));
    }
    Part& current = parts_.back();
    const struct stat& known = current.source->status;
    if (status.st_ino != known.st_ino || status.st_dev != known.st_dev || status.st_size < current.indexed)
        return Follow::Rotated;
    if (status.st_size == current.indexed)
        return Follow::Unchanged;
    const qsizetype before = current.count;
    const qsizetype undatedBefore = current.undated;
    QByteArray buffer;
    if (!readInto(current, false, buffer))
        return Follow::Unchanged;
    size_ += current.count - before;
    undated_ += current.undated - undatedBefore;
    return Follow::Appended;
}

qsizetype JournalIndex::partOf(qsizetype row) const
{
    const auto after = std::upper_bound(parts_.begin(), parts_.end(), row,
                                        [](qsizetype r, const Part& part) { return r < part.start; });
    return qsizetype(after - parts_.begin()) - 1;
}

std::optional<QByteArray> JournalIndex::bytes(const Part& part, const IndexRecord& record) const
{
    QByteArray data = readAt(part.source->file.handle(), record.offset(), qsizetype(record.length()) + 1);
    if (!stillThere(record, data))
        return std::nullopt;
    data.truncate(qsizetype(record.length()));
    return data;
}

bool JournalIndex::stillThere(const IndexRecord& record, QByteArrayView from)
{
    // A log cut or written anew since it was read no longer has the line where it was; what
    // lies there now is not shown as the line.
    const qsizetype length = qsizetype(record.length());
    if (from.size() < length)
        return false;
    return record.cut() || from.size() == length || from[length] == '\r' || from[length] == '\n';
}

QString JournalIndex::line(qsizetype row) const
{
    const Part& part = parts_[std::size_t(partOf(row))];
    const std::vector<IndexRecord> record = part.records->read(row - part.start, 1);
    const auto data = record.empty() ? std::nullopt : bytes(part, record.front());
    return data ? cp1251::decode(*data) : QStringLiteral("не удалось прочитать");
}

QStringList JournalIndex::files() const
{
    QStringList paths;
    for (const Part& part : parts_)
        paths << part.source->path;
    return paths;
}

std::vector<std::uint32_t> JournalIndex::select(const JournalFilter& filter, qsizetype first, std::stop_token stop) const
{
    const JournalFilter::Conditions conditions = filter.conditions();
    const bool readsLines = filter.hasText() || filter.hasOperator();
    const JournalTextMatcher matcher(filter.text);
    std::vector<std::uint32_t> rows;
    // Every line of ten years is 40 MB of rows: grown by doubling, it would take half as much again.
    if (conditions.admitsAll() && !readsLines)
        rows.reserve(std::size_t(std::max<qsizetype>(0, size_ - first)));
    // Lines are read for the text in large blocks, in file order.
    QByteArray block;
    std::int64_t blockStart = 0;
    const Source* blockFile = nullptr;
    for (qsizetype p = first > 0 ? partOf(first) : 0; p < qsizetype(parts_.size()); ++p) {
        const Part& part = parts_[std::size_t(p)];
        for (qsizetype b = std::max<qsizetype>(0, first - part.start) / IndexBlock::Records;
             b < qsizetype(part.blocks.size()); ++b) {
            if (stop.stop_requested())
                return rows;
            if (!part.blocks[std::size_t(b)].mayAdmit(conditions))
                continue;
            const qsizetype from = std::max<qsizetype>(b * IndexBlock::Records, first - part.start);
            const qsizetype to = std::min<qsizetype>((b + 1) * IndexBlock::Records, part.count);
            if (conditions.admitsAll() && !readsLines) {
                for (qsizetype i = from; i < to; ++i)
                    rows.push_back(std::uint32_t(part.start + i));
                continue;
            }
            const std::vector<IndexRecord> records = part.records->read(from, to - from);
            for (qsizetype i = 0; i < qsizetype(records.size()); ++i) {
                const IndexRecord& r = records[std::size_t(i)];
                if (!conditions.admits(r.info()))
                    continue;
                if (readsLines) {
                    const qsizetype length = qsizetype(r.length());
                    if (blockFile != part.source.get() || r.offset() < blockStart
                        || r.offset() + length >= blockStart + block.size()) {
                        blockFile = part.source.get();
                        blockStart = r.offset();
                        block = readAt(part.source->file.handle(), r.offset(), std::max<qsizetype>(ChunkSize, length + 1));
                    }
                    const QByteArrayView there = QByteArrayView(block).sliced(qsizetype(r.offset() - blockStart));
                    const QByteArrayView text = there.first(std::min(there.size(), length));
                    if (!stillThere(r, there.first(std::min(there.size(), length + 1))) || !matcher.matches(text)
                        || !filter.admitsOperator(text))
                        continue;
                }
                rows.push_back(std::uint32_t(part.start + from + i));
            }
        }
    }
    rows.shrink_to_fit();
    return rows;
}

} // namespace kirvan
