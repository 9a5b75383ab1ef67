#include "plans/QtPictureLoader.h"
#include "plans/decoder/Metafile.h"
#include "files/Cp1251.h"

#include "tests/support/TempFolder.h"

#include <QBuffer>
#include <QPainter>
#include <QXmlStreamReader>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

namespace kirvan::testing {
namespace {

// Little-endian fields of a metafile, appended in order.
class Fields {
public:
    Fields& word(int value)
    {
        const auto field = qToLittleEndian(static_cast<quint16>(value));
        bytes_.append(reinterpret_cast<const char*>(&field), 2);
        return *this;
    }
    Fields& dword(qint64 value)
    {
        const auto field = qToLittleEndian(static_cast<quint32>(value));
        bytes_.append(reinterpret_cast<const char*>(&field), 4);
        return *this;
    }
    Fields& raw(const QByteArray& bytes)
    {
        bytes_ += bytes;
        return *this;
    }
    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

constexpr quint32 red = 0x000000FF; // COLORREF 0x00BBGGRR

// 400 × 300 units, a red rectangle from (50, 50) to (350, 250).
QByteArray windowsMetafile()
{
    Fields placeable;
    placeable.dword(0x9AC6CDD7).word(0).word(0).word(0).word(400).word(300).word(96).dword(0);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(placeable.bytes().constData() + i);
    placeable.word(checksum);
    Fields body;
    body.word(1).word(9).word(0x0300).dword(40).word(1).dword(7).word(0);
    body.dword(5).word(0x020B).word(0).word(0); // window origin
    body.dword(5).word(0x020C).word(300).word(400); // window extent
    body.dword(7).word(0x02FC).word(0).dword(red).word(0); // solid red brush
    body.dword(4).word(0x012D).word(0); // select it
    body.dword(7).word(0x041B).word(250).word(350).word(50).word(50); // rectangle
    body.dword(3).word(0); // end
    return placeable.bytes() + body.bytes();
}

// 400 × 300 units with one text in Windows-1251 in a font named in it too, as a Russian plan's
// room names are.
QByteArray windowsMetafileWithText(const QString& text)
{
    QByteArray encoded = cp1251::encode(text).bytes;
    const int length = int(encoded.size());
    if (encoded.size() % 2)
        encoded += '\0';
    QByteArray face = cp1251::encode(QStringLiteral("Арial")).bytes;
    face.resize(32, '\0');
    Fields placeable;
    placeable.dword(0x9AC6CDD7).word(0).word(0).word(0).word(400).word(300).word(96).dword(0);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(placeable.bytes().constData() + i);
    placeable.word(checksum);
    Fields records;
    records.dword(5).word(0x020B).word(0).word(0); // window origin
    records.dword(5).word(0x020C).word(300).word(400); // window extent
    records.dword(28)
        .word(0x02FB)
        .word(-40)
        .word(0)
        .word(0)
        .word(0)
        .word(400) // font
        .raw(QByteArray("\0\0\0\xCC\0\0\0\0", 8))
        .raw(face);
    records.dword(4).word(0x012D).word(0); // select it
    records.dword(6 + encoded.size() / 2).word(0x0521).word(length).raw(encoded).word(150).word(40); // text
    records.dword(3).word(0); // end
    Fields header;
    header.word(1).word(9).word(0x0300).dword(9 + records.bytes().size() / 2).word(1).dword(28).word(0);
    return placeable.bytes() + header.bytes() + records.bytes();
}

QByteArray enhancedMetafile()
{
    Fields f;
    f.dword(1).dword(88).dword(0).dword(0).dword(399).dword(299); // header, bounds
    f.dword(0).dword(0).dword(10583).dword(7937); // frame, 0.01 mm
    f.dword(0x464D4520).dword(0x10000).dword(168).dword(5).word(2).word(0);
    f.dword(0).dword(0).dword(0).dword(1024).dword(768).dword(271).dword(203);
    f.dword(39).dword(24).dword(1).dword(0).dword(red).dword(0); // brush 1: solid red
    f.dword(37).dword(12).dword(1); // select it
    f.dword(43).dword(24).dword(50).dword(50).dword(350).dword(250); // rectangle
    f.dword(14).dword(20).dword(0).dword(16).dword(20); // end
    return f.bytes();
}

QByteArray svgDrawing(int width, int height)
{
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 400 300\">"
                          "<rect x=\"50\" y=\"50\" width=\"300\" height=\"200\" fill=\"#ff0000\"/></svg>")
        .arg(width)
        .arg(height)
        .toUtf8();
}

QByteArray raster(const char* format, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixelColor(size.width() / 2, size.height() / 2, Qt::red);
    for (int y = size.height() / 4; y < size.height() * 3 / 4; ++y)
        for (int x = size.width() / 4; x < size.width() * 3 / 4; ++x)
            image.setPixelColor(x, y, Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

bool reddish(QColor colour)
{
    return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
}

// libwmf writes a text's bytes into the drawing as they stand: Cyrillic in Windows-1251, "&" and
// "<" unescaped, which no XML reader takes.
TEST(WindowsMetafileTest, TextsWithCyrillicAmpersandAndLessThanMakeAReadableDrawing)
{
    const QString text = QStringLiteral("Склад & <цех> \"1\"");
    const std::optional<QByteArray> svg = metafile::windowsToSvg(windowsMetafileWithText(text));
    ASSERT_TRUE(svg);
    QXmlStreamReader reader(*svg);
    QString texts;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::Characters)
            texts += reader.text();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString() << "\n" << svg->toStdString();
    EXPECT_TRUE(texts.contains(text)) << texts.toStdString();
}

TEST(PictureLoaderTest, ReadsEveryPlanFormatAndExplainsWhatItCannotRead)
{
    TempFolder folder;
    const QSize bound(800, 800);
    struct Case {
        QString name;
        QByteArray bytes;
        QSize size; // empty: the file cannot be read
    };
    const Case cases[] = {
        {QStringLiteral("plan.bmp"), raster("BMP", {64, 48}), {64, 48}},
        {QStringLiteral("plan.ico"), raster("ICO", {32, 32}), {32, 32}},
        {QStringLiteral("plan.png"), raster("PNG", {64, 48}), {64, 48}},
        {QStringLiteral("plan.jpg"), raster("JPEG", {64, 48}), {64, 48}},
        // A drawing fills the bound, the size it is shown at, and stays sharp there.
        {QStringLiteral("plan.svg"), svgDrawing(400, 300), {800, 600}},
        {QStringLiteral("plan.emf"), enhancedMetafile(), {}},
        {QStringLiteral("plan.wmf"), windowsMetafile(), {}},
        // The content decides, not the name.
        {QStringLiteral("png-named.bmp"), raster("PNG", {64, 48}), {64, 48}},
        {QStringLiteral("broken.bmp"), QByteArray("BM") + QByteArray(60, '\x7f'), {}},
        {QStringLiteral("truncated.png"), raster("PNG", {64, 48}).left(60), {}},
        {QStringLiteral("empty.bmp"), QByteArray(), {}},
        {QStringLiteral("broken.svg"), QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect"), {}},
        {QStringLiteral("broken.emf"), enhancedMetafile().left(100), {}},
        {QStringLiteral("broken.wmf"), windowsMetafile().left(40), {}},
    };
    const QtPictureLoader loader(QStringLiteral(KIRVAN_PLAN_DECODER));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        folder.write(c.name, c.bytes);
        const PictureLoader::Result read = loader.load(folder.file(c.name), bound);
        const bool metafile = c.name == u"plan.emf" || c.name == u"plan.wmf";
        if (c.size.isEmpty() && !metafile) {
            EXPECT_TRUE(read.picture.isNull());
            EXPECT_FALSE(read.error.isEmpty());
            continue;
        }
        ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
        ASSERT_FALSE(read.picture.isNull());
        if (!metafile)
            EXPECT_EQ(read.picture.size(), c.size);
        else
            EXPECT_NEAR(double(read.picture.width()) / read.picture.height(), 4.0 / 3.0, 0.05);
        const QImage& p = read.picture;
        EXPECT_TRUE(reddish(p.pixelColor(p.width() / 2, p.height() / 2))) << "the drawing's middle is red";
        EXPECT_FALSE(reddish(p.pixelColor(2, 2))) << "its corner is not";
    }
    const PictureLoader::Result missing = loader.load(folder.file(QStringLiteral("none.bmp")), bound);
    EXPECT_TRUE(missing.picture.isNull());
    EXPECT_TRUE(missing.error.startsWith(QStringLiteral("файл не открывается")));
}

TEST(PictureLoaderTest, HugePicturesAreScaledToTheBoundNotRefused)
{
    TempFolder folder;
    folder.write(QStringLiteral("huge.png"), raster("PNG", {6000, 3000}));
    folder.write(QStringLiteral("huge.svg"), svgDrawing(400000, 300000));
    const QtPictureLoader loader(QStringLiteral(KIRVAN_PLAN_DECODER));
    const PictureLoader::Result png = loader.load(folder.file(QStringLiteral("huge.png")), QSize(800, 800));
    ASSERT_TRUE(png.error.isEmpty()) << png.error.toStdString();
    EXPECT_EQ(png.picture.size(), QSize(800, 400));
    const PictureLoader::Result svg = loader.load(folder.file(QStringLiteral("huge.svg")), QSize(800, 800));
    EXPECT_EQ(svg.picture.size(), QSize(800, 600));
}

// Large scans are shrunk row by row whatever their pixels; a dark top left quarter stays there.
TEST(PictureLoaderTest, LargeScansOfEveryPixelKindAreShrunkTheRightWayUp)
{
    TempFolder folder;
    const QtPictureLoader loader(QStringLiteral(KIRVAN_PLAN_DECODER));
    for (const auto& [pixels, format] : {std::pair{QImage::Format_Grayscale8, "PNG"},
                                         {QImage::Format_RGB32, "PNG"},
                                         {QImage::Format_Grayscale8, "BMP"},
                                         {QImage::Format_Mono, "BMP"},
                                         {QImage::Format_RGB32, "BMP"}}) {
        SCOPED_TRACE(format + std::to_string(pixels));
        QImage scan(3000, 2000, QImage::Format_RGB32);
        scan.fill(Qt::white);
        QPainter(&scan).fillRect(0, 0, 1500, 1000, Qt::black);
        ASSERT_TRUE(scan.convertToFormat(pixels).save(folder.file(QStringLiteral("scan")), format));
        const QImage shown = loader.load(folder.file(QStringLiteral("scan")), QSize(600, 600)).picture;
        ASSERT_EQ(shown.size(), QSize(600, 400));
        EXPECT_EQ(shown.pixel(75, 50), qRgb(0, 0, 0));
        for (const QPoint light : {QPoint(450, 50), QPoint(75, 300), QPoint(450, 300)})
            EXPECT_EQ(shown.pixel(light), qRgb(255, 255, 255));
    }
}

// An A0 sheet scanned at 430 dpi, in grey: its header and one empty row, all the decoder reads.
TEST(PictureLoaderTest, APictureOfMorePixelsThanTheDecoderTakesIsToldAsTooLarge)
{
    const auto number = [](quint32 value) {
        const quint32 field = qToBigEndian(value);
        return QByteArray(reinterpret_cast<const char*>(&field), 4);
    };
    const auto chunk = [&number](const QByteArray& type, const QByteArray& data) {
        const QByteArray typed = type + data;
        const auto check = crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()));
        return number(quint32(data.size())) + typed + number(quint32(check));
    };
    const QByteArray header = QByteArray::fromHex("00004e20000036b00800000000");
    TempFolder folder;
    folder.write(QStringLiteral("a0.png"), QByteArray::fromHex("89504e470d0a1a0a") + chunk("IHDR", header)
                                               + chunk("IDAT", qCompress(QByteArray(20001, '\0')).mid(4))
                                               + chunk("IEND", {}));
    const QtPictureLoader loader(QStringLiteral(KIRVAN_PLAN_DECODER));
    const PictureLoader::Result read = loader.load(folder.file(QStringLiteral("a0.png")), QSize(800, 800));
    EXPECT_EQ(read.error,
              QStringLiteral("рисунок слишком велик: 20000 × 14000 точек, а прочитать можно не более 268 млн точек"));
}

// A scan is decoded in the helper too, so a read no longer wanted ends with its process instead of
// keeping the worker busy for seconds.
TEST(PictureLoaderTest, AReadNoLongerWantedEndsWithItsHelper)
{
    TempFolder folder;
    folder.write(QStringLiteral("scan.bmp"), raster("BMP", {3000, 2000}));
    const QtPictureLoader loader(QStringLiteral(KIRVAN_PLAN_DECODER));
    std::stop_source wanted;
    wanted.request_stop();
    const PictureLoader::Result read = loader.load(folder.file(QStringLiteral("scan.bmp")), QSize(800, 800),
                                                   wanted.get_token());
    EXPECT_TRUE(read.picture.isNull());
    EXPECT_EQ(read.error, QStringLiteral("чтение прервано"));
}

} // namespace
} // namespace kirvan::testing
