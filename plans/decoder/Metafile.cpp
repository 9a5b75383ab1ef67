#include "plans/decoder/Metafile.h"

#include "files/Cp1251.h"

#include <QtEndian>
#include <memory>

extern "C" {
#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>
}

namespace kirvan::metafile {

namespace {

quint32 dwordAt(const QByteArray& bytes, qsizetype offset)
{
    return offset + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0;
}

quint16 wordAt(const QByteArray& bytes, qsizetype offset)
{
    return offset + 2 <= bytes.size() ? qFromLittleEndian<quint16>(bytes.constData() + offset) : 0;
}

// A libwmf session, destroyed with everything libwmf allocated for it.
struct WmfApi {
    wmfAPI* api = nullptr;
    ~WmfApi()
    {
        if (api) {
            wmf_mem_close(api);
            wmf_api_destroy(api);
        }
    }
};

// libwmf copies the bytes of a text record into the drawing as they stand: the room names of a
// Russian plan in Windows-1251, "&" and "<" unescaped, so that no XML reader would take it. The
// rest of what it writes is ASCII. Each text's content is decoded and escaped; the start tag ends
// where libwmf ends it, on a line of its own.
QByteArray withReadableTexts(const QByteArray& svg)
{
    const QString source = cp1251::decode(svg);
    QString readable;
    readable.reserve(source.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype start = source.indexOf(u"<text", from);
        const qsizetype tagEnd = start < 0 ? -1 : source.indexOf(u"\n\t>", start);
        const qsizetype end = tagEnd < 0 ? -1 : source.indexOf(u"</text>", tagEnd);
        if (end < 0)
            break;
        const qsizetype content = tagEnd + 3;
        readable += QStringView(source).sliced(from, content - from);
        readable += QStringView(source).sliced(content, end - content).toString().toHtmlEscaped();
        from = end;
    }
    readable += QStringView(source).sliced(from);
    return readable.toUtf8();
}

} // namespace

bool isEnhancedMetafile(const QByteArray& bytes)
{
    constexpr quint32 headerRecord = 1;
    constexpr quint32 signature = 0x464D4520; // " EMF"
    return dwordAt(bytes, 0) == headerRecord && dwordAt(bytes, 40) == signature;
}

bool isWindowsMetafile(const QByteArray& bytes)
{
    constexpr quint32 placeableKey = 0x9AC6CDD7;
    if (dwordAt(bytes, 0) == placeableKey)
        return true;
    const quint16 type = wordAt(bytes, 0);
    return (type == 1 || type == 2) && wordAt(bytes, 2) == 9
           && (wordAt(bytes, 4) == 0x0100 || wordAt(bytes, 4) == 0x0300);
}

std::optional<QByteArray> enhancedToSvg(const QByteArray& bytes)
{
    QByteArray contents = bytes; // the library takes a writable buffer
    char emptyNamespace[] = "";
    generatorOptions options{};
    options.nameSpace = emptyNamespace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* svg = nullptr;
    size_t length = 0;
    const int read = emf2svg(contents.data(), static_cast<size_t>(contents.size()), &svg, &length, &options);
    const std::unique_ptr<char, decltype(&std::free)> owned(svg, &std::free);
    if (!read || !svg || length == 0)
        return std::nullopt;
    return QByteArray(svg, static_cast<qsizetype>(length));
}

std::optional<QByteArray> windowsToSvg(const QByteArray& bytes)
{
    QByteArray contents = bytes;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    // Errors are returned, not printed; a damaged record ends the drawing.
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    WmfApi session;
    if (wmf_api_create(&session.api, flags, &options) != wmf_E_None)
        return std::nullopt;
    wmfAPI* api = session.api;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(contents.data()), contents.size()) != wmf_E_None)
        return std::nullopt;
    wmfD_Rect box{};
    if (wmf_scan(api, 0, &box) != wmf_E_None)
        return std::nullopt;
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_display_size(api, &width, &height, 96, 96) != wmf_E_None || width == 0 || height == 0)
        return std::nullopt;
    wmf_svg_t* device = WMF_SVG_GetData(api);
    device->bbox = box;
    device->width = width;
    device->height = height;
    device->out = wmf_stream_create(api, nullptr);
    if (!device->out)
        return std::nullopt;
    const wmf_error_t played = wmf_play(api, 0, &box);
    char* svg = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(api, device->out, &svg, &length);
    device->out = nullptr;
    if (played != wmf_E_None || !svg || length == 0)
        return std::nullopt;
    return withReadableTexts(QByteArray(svg, static_cast<qsizetype>(length)));
}

} // namespace kirvan::metafile
