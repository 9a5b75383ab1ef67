#include "plans/decoder/BandedScan.h"
#include "plans/decoder/RowShrinker.h"

#include <csetjmp>
#include <cstring>
#include <png.h>

namespace kirvan::raster {

namespace {

struct Source {
    Input& input;
    qsizetype at = 0;
};

void readFrom(png_structp png, png_bytep into, size_t length)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    const QByteArray& bytes = source->input.bytes();
    if (qsizetype(length) > bytes.size() - source->at)
        png_error(png, "cut short");
    std::memcpy(into, bytes.constData() + source->at, length);
    source->at += qsizetype(length);
}

// libpng reports an error by a long jump: these hold nothing that a jump could skip the end of.
bool readHeader(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        return false;
    // Every kind of pixel arrives as the 32-bit rows of a QImage::Format_RGB32.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == size_t(png_get_image_width(png, info)) * 4;
}

bool readRow(png_structp png, png_bytep row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_row(png, row, nullptr);
    return true;
}

struct Reader {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
};

} // namespace

std::optional<QImage> shrinkPng(Input& input, QSize target)
{
    Reader reader;
    if (!reader.info)
        return QImage();
    Source source{input};
    png_set_read_fn(reader.png, &source, readFrom);
    if (!readHeader(reader.png, reader.info))
        return png_get_interlace_type(reader.png, reader.info) != PNG_INTERLACE_NONE ? std::nullopt
                                                                                     : std::optional(QImage());
    const QSize size(int(png_get_image_width(reader.png, reader.info)),
                     int(png_get_image_height(reader.png, reader.info)));
    RowShrinker shrinker(size, target, RowShrinker::Order::TopDown);
    std::vector<QRgb> row(size_t(size.width()));
    for (int y = 0; y < size.height(); ++y) {
        if (!readRow(reader.png, reinterpret_cast<png_bytep>(row.data())))
            return QImage();
        shrinker.add(row.data());
        input.release(source.at);
    }
    return shrinker.result();
}

} // namespace kirvan::raster
