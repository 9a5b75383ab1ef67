#pragma once

#include <QByteArray>
#include <QImage>
#include <QtEndian>
#include <climits>
#include <optional>

namespace kirvan::picturestream {

// How kirvan-plan-decoder hands a rendered picture back: "KPD1", the width and the height as
// 32-bit little-endian numbers, then the RGB32 pixels row by row.
inline constexpr char magic[] = "KPD1";
inline constexpr qsizetype headerBytes = 12;

inline QByteArray header(QSize size)
{
    QByteArray bytes(magic, 4);
    const quint32 fields[] = {qToLittleEndian(quint32(size.width())), qToLittleEndian(quint32(size.height()))};
    bytes.append(reinterpret_cast<const char*>(fields), sizeof fields);
    return bytes;
}

// A raster picture of more pixels than this is refused: Qt's readers allocate the whole picture
// at 4 bytes a pixel, and the decoder lets them have 1 GiB.
inline constexpr qint64 largestPixels = qint64(256) * 1024 * 1024;
// The decoder's exit status for such a picture; its output is then the header alone, with the
// picture's own size.
inline constexpr int tooLargeStatus = 3;

inline qsizetype pixelBytes(QSize size)
{
    return qsizetype(size.width()) * size.height() * 4;
}

// The size the header tells, or nothing when there is no header.
inline std::optional<QSize> headerSize(const QByteArray& bytes)
{
    if (bytes.size() < headerBytes || !bytes.startsWith(QByteArray(magic, 4)))
        return std::nullopt;
    const auto width = qFromLittleEndian<quint32>(bytes.constData() + 4);
    const auto height = qFromLittleEndian<quint32>(bytes.constData() + 8);
    if (width == 0 || height == 0 || width > quint32(INT_MAX) || height > quint32(INT_MAX))
        return std::nullopt;
    return QSize(int(width), int(height));
}

// The picture, or nothing when the bytes are not exactly one picture no larger than bound.
inline std::optional<QImage> read(const QByteArray& bytes, QSize bound)
{
    const std::optional<QSize> told = headerSize(bytes);
    if (!told || told->width() > bound.width() || told->height() > bound.height())
        return std::nullopt;
    const QSize size = *told;
    if (bytes.size() != headerBytes + pixelBytes(size))
        return std::nullopt;
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return std::nullopt;
    for (int y = 0; y < size.height(); ++y)
        memcpy(picture.scanLine(y), bytes.constData() + headerBytes + qsizetype(y) * size.width() * 4,
               size_t(size.width()) * 4);
    return picture;
}

} // namespace kirvan::picturestream
