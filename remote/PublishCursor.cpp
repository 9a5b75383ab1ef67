#include "remote/PublishCursor.h"

#include "files/AtomicFile.h"

#include <QFile>
#include <QMap>

namespace kirvan {

std::optional<PublishCursor> PublishCursor::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QMap<QByteArray, std::uint64_t> values;
    for (const QByteArray& line : file.read(4096).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        bool ok = false;
        const std::uint64_t value = line.mid(equals + 1).trimmed().toULongLong(&ok);
        if (equals > 0 && ok)
            values.insert(line.left(equals).trimmed(), value);
    }
    const QList<QByteArray> keys{"sequence", "device", "inode", "offset"};
    for (const QByteArray& key : keys)
        if (!values.contains(key))
            return std::nullopt;
    PublishCursor cursor;
    cursor.sequence = values.value("sequence");
    cursor.position = LogPosition{values.value("device"), values.value("inode"), std::int64_t(values.value("offset"))};
    return cursor;
}

void PublishCursor::save(const QString& path) const
{
    const QByteArray content = "sequence=" + QByteArray::number(quint64(sequence))
                               + "\r\ndevice=" + QByteArray::number(quint64(position.device))
                               + "\r\ninode=" + QByteArray::number(quint64(position.inode))
                               + "\r\noffset=" + QByteArray::number(qint64(position.offset)) + "\r\n";
    // Owner-only: it tells how much of the journal has gone out and when.
    writeFileAtomically(path, content, FileAccess::OwnerOnly);
}

} // namespace kirvan
