#pragma once

#include <QByteArray>
#include <QImage>
#include <QtEndian>
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

inline qsizetype pixelBytes(QSize size)
{
    return qsizetype(size.width()) * size.height() * 4;
}

// The picture, or nothing when the bytes are not exactly one picture no larger than bound.
inline std::optional<QImage> read(const QByteArray& bytes, QSize bound)
{
    if (bytes.size() < headerBytes || !bytes.startsWith(QByteArray(magic, 4)))
        return std::nullopt;
    const auto width = qFromLittleEndian<quint32>(bytes.constData() + 4);
    const auto height = qFromLittleEndian<quint32>(bytes.constData() + 8);
    if (width == 0 || height == 0 || width > quint32(bound.width()) || height > quint32(bound.height()))
        return std::nullopt;
    const QSize size{int(width), int(height)};
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
