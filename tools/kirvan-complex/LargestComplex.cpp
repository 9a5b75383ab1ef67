#include "tools/kirvan-complex/LargestComplex.h"

#include "files/AtomicFile.h"
#include "files/Cp1251.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

void writeText(const QString& path, const QString& text)
{
    writeFileAtomically(path, cp1251::encode(text).bytes);
}

QString systemName(int system)
{
    return u"ОБЪЕКТ%1"_s.arg(system);
}

QString zoneName(int zone)
{
    return u"Помещение %1"_s.arg(zone);
}

// Detector d of a system (0 to 4,319): device, line and number, and the zone it lies in; the
// detectors fill the zones in turn, about 17 to a zone.
struct Detector {
    int index;
    int device;
    int line;
    int number;
    int zone;

    explicit Detector(int d)
        : index(d),
          device(d / (LargestComplex::lines * LargestComplex::detectorsPerLine)),
          line(d / LargestComplex::detectorsPerLine % LargestComplex::lines + 1),
          number(d % LargestComplex::detectorsPerLine + 1),
          zone(d * LargestComplex::zones / LargestComplex::detectorsPerSystem + 1)
    {}
    QString id() const { return u"И%1%2-%3"_s.arg(device).arg(line).arg(number, 2, 10, QLatin1Char('0')); }
    QString text() const { return u"Извещатель %1 линии %2 прибора %3"_s.arg(number).arg(line).arg(device); }
    // A mix of kinds and states, so that every detector picture occurs.
    QString type() const { return index % 3 == 0 ? u"ОХРАНА"_s : index % 7 == 0 ? u"ТЕХНОЛОГ"_s : u"ДЫМОВОЙ"_s; }
    QString state() const { return index % 5 == 0 ? u"ВЫКЛ"_s : u"ВКЛ"_s; }
};

QString systemFileText(int system)
{
    QString text = u"[СИСТЕМА]\r\nАДРЕС=0%1\r\nАДС=1\r\n[ЗОНА]\r\n"_s.arg(system);
    for (int zone = 1; zone <= LargestComplex::zones; ++zone)
        text += u"%1=%2\r\n"_s.arg(zone).arg(zoneName(zone));
    text += u"[ПРИБОРЫ]\r\n"_s;
    for (int device = 1; device < LargestComplex::devices; ++device)
        text += u"ППКП%1=ЕСТЬ\r\n"_s.arg(device);
    return text;
}

// The detector files of one system, by device.
std::vector<QString> detectorFileTexts()
{
    std::vector<QString> texts(LargestComplex::devices);
    for (int d = 0; d < LargestComplex::detectorsPerSystem; ++d) {
        const Detector detector(d);
        texts[static_cast<std::size_t>(detector.device)]
            += u"[%1]\r\nЗОНА=%2\r\nТЕКСТ=%3\r\nТИП=%4\r\nСОСТОЯНИЕ=%5\r\nX=3,5\r\nY=2\r\n"_s.arg(
                detector.id(), zoneName(detector.zone), detector.text(), detector.type(), detector.state());
    }
    return texts;
}

QString complexFileText()
{
    QString text;
    for (int system = 0; system < LargestComplex::systems; ++system) {
        text += u"A0%1:%2\r\n"_s.arg(system).arg(systemName(system));
        int zone = 0;
        for (int d = 0; d < LargestComplex::detectorsPerSystem; ++d) {
            const Detector detector(d);
            if (detector.zone != zone) {
                zone = detector.zone;
                text += u"\t%1\r\n"_s.arg(zoneName(zone));
            }
            text += u"\t\t%1 %2\r\n"_s.arg(detector.id(), detector.text());
        }
    }
    return text;
}

} // namespace

void LargestComplex::write(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.mkpath(u"."_s))
        throw std::runtime_error("cannot create the workstation folder");
    QString settings = u"[Настройки]\r\nCOM-порт=1\r\nТаблица=0\r\n[ОБЩИЙ ПЛАН]\r\n0=\r\n[АДРЕС]\r\n"_s;
    const std::vector<QString> detectorFiles = detectorFileTexts();
    for (int system = 0; system < systems; ++system) {
        const QString file = systemName(system) + u".cnf"_s;
        settings += u"0%1=%2\r\n"_s.arg(system).arg(file);
        writeText(dir.filePath(file), systemFileText(system));
        for (int device = 0; device < devices; ++device)
            writeText(dir.filePath(u"%1.tb%2"_s.arg(systemName(system)).arg(device)),
                      detectorFiles[static_cast<std::size_t>(device)]);
    }
    writeText(dir.filePath(u"KirvanMonitorP.ini"_s), settings);
    writeText(dir.filePath(u"kirvanmonitorp.cnf"_s), complexFileText());
}

} // namespace kirvan
