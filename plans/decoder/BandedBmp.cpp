#include "plans/decoder/BandedScan.h"
#include "plans/decoder/RowShrinker.h"

#include <QtEndian>
#include <array>

namespace kirvan::raster {

namespace {

constexpr qsizetype fileHeaderBytes = 14;
constexpr quint32 uncompressed = 0;

} // namespace

std::optional<QImage> shrinkBmp(Input& input, QSize target)
{
    const QByteArray& bytes = input.bytes();
    if (bytes.size() < fileHeaderBytes + 40)
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 offset = qFromLittleEndian<quint32>(data + 10);
    const qint64 infoBytes = qFromLittleEndian<quint32>(data + 14);
    const qint64 width = qFromLittleEndian<qint32>(data + 18);
    const qint64 height = qFromLittleEndian<qint32>(data + 22);
    const int bits = qFromLittleEndian<quint16>(data + 28);
    const quint32 compression = qFromLittleEndian<quint32>(data + 30);
    const qint64 rows = qAbs(height);
    const qint64 stride = (width * bits + 31) / 32 * 4;
    if (infoBytes < 40 || compression != uncompressed || width <= 0 || rows == 0 || width > INT_MAX || rows > INT_MAX
        || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) || offset + stride * rows > bytes.size())
        return std::nullopt;
    std::array<QRgb, 256> palette{};
    palette.fill(qRgb(0, 0, 0));
    if (bits <= 8) {
        const qint64 told = qFromLittleEndian<quint32>(data + 46);
        const qint64 colours = told == 0 ? qint64(1) << bits : std::min<qint64>(told, qint64(1) << bits);
        const qint64 table = fileHeaderBytes + infoBytes;
        if (table + colours * 4 > offset)
            return std::nullopt;
        for (qint64 i = 0; i < colours; ++i)
            palette[size_t(i)] = qRgb(data[table + i * 4 + 2], data[table + i * 4 + 1], data[table + i * 4]);
    }
    // A positive height stores the bottom row first.
    RowShrinker shrinker(QSize(int(width), int(rows)), target,
                         height > 0 ? RowShrinker::Order::BottomUp : RowShrinker::Order::TopDown);
    std::vector<QRgb> row(static_cast<size_t>(width));
    const int mask = (1 << std::min(bits, 8)) - 1;
    for (qint64 y = 0; y < rows; ++y) {
        const uchar* line = data + offset + y * stride;
        for (qint64 x = 0; x < width; ++x) {
            if (bits <= 8) {
                const qint64 bit = x * bits;
                row[size_t(x)] = palette[size_t((line[bit / 8] >> (8 - bits - bit % 8)) & mask)];
            } else {
                const uchar* pixel = line + x * (bits / 8);
                row[size_t(x)] = qRgb(pixel[2], pixel[1], pixel[0]);
            }
        }
        shrinker.add(row.data());
        input.release(offset + (y + 1) * stride);
    }
    return shrinker.result();
}

} // namespace kirvan::raster
