#include "plans/QtPictureLoader.h"

#include "tests/app/WorkstationFixture.h"

#include <QtEndian>

namespace kirvan::testing {
namespace {

// A stroked, dashed path of 200,000 segments: minutes of rendering, as good as endless.
QByteArray endlessDrawing()
{
    QByteArray path = "M0 0";
    quint32 seed = 1;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        path += " L" + QByteArray::number(seed % 1000) + ' ' + QByteArray::number((seed >> 10) % 1000);
    }
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1000\" height=\"1000\"><path d=\"" + path
           + "\" fill=\"red\" stroke=\"blue\" stroke-width=\"3\" stroke-dasharray=\"2 1\"/></svg>";
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

// A PNG whose valid header claims 60000 × 60000 pixels, 10 GB once decoded.
QByteArray hugeRaster()
{
    QByteArray chunk("IHDR");
    const quint32 size[] = {qToBigEndian(quint32(60000)), qToBigEndian(quint32(60000))};
    chunk.append(reinterpret_cast<const char*>(size), sizeof size);
    chunk.append("\x08\x02\x00\x00\x00", 5);
    const quint32 length = qToBigEndian(quint32(13));
    const quint32 crc = qToBigEndian(crc32(chunk));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(reinterpret_cast<const char*>(&length), 4) + chunk
           + QByteArray(reinterpret_cast<const char*>(&crc), 4) + QByteArray(4096, '\x55');
}

// An enhanced metafile header followed by a record that claims to run far past the file's end.
QByteArray damagedMetafile()
{
    QByteArray bytes(88, '\0');
    qToLittleEndian<quint32>(1, bytes.data());
    qToLittleEndian<quint32>(88, bytes.data() + 4);
    qToLittleEndian<quint32>(0x464D4520, bytes.data() + 40);
    qToLittleEndian<quint32>(0x10000, bytes.data() + 44);
    qToLittleEndian<quint32>(910, bytes.data() + 48);
    qToLittleEndian<quint32>(3, bytes.data() + 52);
    QByteArray record(822, '\x7f');
    qToLittleEndian<quint32>(86, record.data());
    qToLittleEndian<quint32>(0x7ffffff0, record.data() + 4);
    return bytes + record;
}

// A Windows metafile of 400,000 overlapping rectangles, 5.6 MB: what a plan exported with every
// hatch line as a record of its own looks like to the decoder.
QByteArray hugeWindowsMetafile()
{
    QByteArray bytes;
    const auto words = [&bytes](std::initializer_list<qint64> values) {
        for (const qint64 value : values)
            bytes.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
    };
    // A record: its size in words (a double word), its function, its parameters.
    const auto record = [&words](int function, std::initializer_list<qint64> parameters) {
        const qint64 size = 3 + qint64(parameters.size());
        words({size & 0xFFFF, size >> 16, function});
        words(parameters);
    };
    words({0xCDD7, 0x9AC6, 0, 0, 0, 30000, 30000, 96, 0, 0}); // placeable header: 30000 × 30000 units
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(bytes.constData() + i);
    words({checksum});
    constexpr int rectangles = 400000;
    constexpr qint64 fileWords = 9 + 5 + 5 + 7 + 4 + qint64(rectangles) * 7 + 3;
    words({1, 9, 0x0300, fileWords & 0xFFFF, fileWords >> 16, 1, 7, 0, 0});
    record(0x020B, {0, 0}); // window origin
    record(0x020C, {30000, 30000}); // window extent
    record(0x02FC, {0, 0xFF, 0, 0}); // solid red brush
    record(0x012D, {0}); // select it
    for (int i = 0; i < rectangles; ++i)
        record(0x041B, {29000 - i % 997, 29000 - i % 991, i % 983, i % 977});
    record(0x0000, {}); // end
    return bytes;
}

class HostilePlanTest : public WorkstationFixture {
protected:
    // The helper's time limit is shortened so the test does not wait the ten seconds of a site.
    QtPictureLoader realPictures{QStringLiteral(KIRVAN_PLAN_DECODER), DrawingLimits{std::chrono::milliseconds(1500)}};
};

// Every fire selects its detector and so asks for its zone's plan: a plan that cannot be read,
// or only after minutes, costs a message in the plan area and never delays the journal.
TEST_F(HostilePlanTest, AHostilePlanEndsInAMessageAndNoAlarmWaitsForIt)
{
    const struct {
        QString name;
        QByteArray bytes;
    } cases[] = {{QStringLiteral("endless.svg"), endlessDrawing()},
                 {QStringLiteral("huge.png"), hugeRaster()},
                 {QStringLiteral("huge.wmf"), hugeWindowsMetafile()},
                 {QStringLiteral("damaged.emf"), damagedMetafile()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        folder.write(c.name, c.bytes);
        writeStoreComplex();
        folder.writeText(QStringLiteral("Склад.cnf"),
                         QStringLiteral("[СИСТЕМА]\nАДРЕС=01\n[ЗОНА]\n1=Цех 1\n[ПЛАН ЗОНЫ]\n1=") + folder.file(c.name)
                             + u'\n');
        PlatformServices services = platform();
        auto workstation = std::make_unique<Workstation>(
            PlatformServices{services.loop, services.dialogs, services.shell, services.clock, services.locale,
                             services.port, services.sound, realPictures, services.workers, services.journalViewer},
            restorer, WorkstationFolder(folder.path()));
        workstation->start();
        const std::int64_t start = loop.now();
        receiveFire(*workstation);
        EXPECT_TRUE(workstation->log().historyText().endsWith(QStringLiteral("ПОЖАР: СКЛАД Цех 1 Коридор")));
        EXPECT_EQ(workstation->planArea().title(), QStringLiteral("СКЛАД Цех 1"));
        const QString shownAtFirst = workstation->planArea().message();
        // The next alarm is journaled at once, whatever the decoder is doing.
        receiveFire(*workstation);
        EXPECT_EQ(workstation->table().journalRow(), 3);
        EXPECT_EQ(loop.now(), start) << "nothing waited";
        settlePlanPictures(*workstation);
        EXPECT_TRUE(shownAtFirst == PlanDisplay::loadingText || shownAtFirst.startsWith(u"План не удаётся показать: "))
            << shownAtFirst.toStdString();
        EXPECT_TRUE(workstation->planArea().picture().isNull());
        EXPECT_TRUE(workstation->planArea().message().startsWith(QStringLiteral("План не удаётся показать: ")))
            << workstation->planArea().message().toStdString();
    }
}

} // namespace
} // namespace kirvan::testing
