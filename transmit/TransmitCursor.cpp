#include "transmit/TransmitCursor.h"

#include "files/AtomicFile.h"
#include "files/Cp1251.h"

#include <QFile>
#include <QMap>

namespace kirvan {

std::optional<TransmitCursor> TransmitCursor::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QMap<QString, QString> values;
    for (const QString& line : cp1251::decode(file.read(64 * 1024)).split(QStringLiteral("\r\n"))) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1));
    }
    bool ok[5] = {};
    TransmitCursor cursor;
    cursor.position.device = values.value(QStringLiteral("device")).toULongLong(&ok[0]);
    cursor.position.inode = values.value(QStringLiteral("inode")).toULongLong(&ok[1]);
    cursor.position.offset = values.value(QStringLiteral("offset")).toLongLong(&ok[2]);
    cursor.reportsDone = values.value(QStringLiteral("done")).toInt(&ok[3]);
    cursor.sequence = values.value(QStringLiteral("sequence")).toInt(&ok[4]);
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; }) || cursor.sequence < 1
        || cursor.sequence > 9999 || cursor.reportsDone < 0)
        return std::nullopt;
    cursor.open = values.value(QStringLiteral("open")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    cursor.lastAnswer = values.value(QStringLiteral("answer"));
    return cursor;
}

void TransmitCursor::save(const QString& path) const
{
    const QString content = QStringLiteral("device=%1\r\ninode=%2\r\noffset=%3\r\ndone=%4\r\nsequence=%5\r\nopen=%6\r\n"
                                           "answer=%7\r\n")
                                .arg(position.device)
                                .arg(position.inode)
                                .arg(position.offset)
                                .arg(reportsDone)
                                .arg(sequence)
                                .arg(open.join(QLatin1Char(' ')), lastAnswer);
    writeFileAtomically(path, cp1251::encode(content).bytes);
}

} // namespace kirvan
