#include "tools/kirvan-load/HeavySite.h"
#include "complex/SiteFileKeys.h"

#include "files/Cp1251.h"
#include "files/IniFile.h"
#include "files/IniStore.h"
#include "files/WorkstationFolder.h"
#include "platform/SystemLocale.h"
#include "plans/ZonePlan.h"
#include "tools/kirvan-sim/SimComplex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

namespace kirvan::load {

namespace {

constexpr QSize planSize{10000, 7000};
constexpr qint64 mailboxBytes = 1024 * 1024;
constexpr int logLines = 1'000'000;

// A scanned floor plan: walls in a grid, and noise, so it compresses as a scan does.
QImage scannedPlan()
{
    QImage plan(planSize, QImage::Format_RGB32);
    plan.fill(Qt::white);
    QPainter painter(&plan);
    painter.setPen(QPen(Qt::black, 6));
    for (int x = 0; x < planSize.width(); x += 400)
        painter.drawLine(x, 0, x, planSize.height());
    for (int y = 0; y < planSize.height(); y += 300)
        painter.drawLine(0, y, planSize.width(), y);
    QRandomGenerator random(27);
    for (int i = 0; i < 200000; ++i)
        plan.setPixel(int(random.bounded(planSize.width())), int(random.bounded(planSize.height())), qRgb(90, 90, 90));
    return plan;
}

void writePlans(const QString& folder, const std::vector<Target>& targets, QTextStream& out)
{
    const QString first = QDir(folder).filePath(QStringLiteral("план-0.png"));
    if (!QFile::exists(first) && !scannedPlan().save(first, "PNG"))
        throw sim::ComplexError(QStringLiteral("cannot write %1").arg(first));
    const SystemLocale locale;
    IniStore store(locale);
    const IniFile settings(store, WorkstationFolder(folder).settingsFile());
    int assigned = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        // A file of its own for every zone: each plan is decoded once, none shares another's.
        const QString plan = QDir(folder).filePath(QStringLiteral("план-%1.png").arg(i));
        if (!QFile::exists(plan))
            QFile::copy(first, plan);
        const QString systemFile = QDir(folder).filePath(
            settings.readString(u"АДРЕС", QStringLiteral("%1").arg(targets[i].address, 2, 10, QChar(u'0')), {}));
        const int zone = zoneplan::zoneNumber(store, systemFile, targets[i].zone);
        if (zone == 0)
            continue;
        IniFile(store, systemFile).writeString(systemfile::sectionZonePlans, QString::number(zone), plan);
        ++assigned;
    }
    out << "plans: " << assigned << " zones with a " << planSize.width() << " x " << planSize.height()
        << " PNG of their own (" << QFileInfo(first).size() / 1024 << " KB)" << Qt::endl;
}

void writeMailbox(const QString& folder, QTextStream& out)
{
    QByteArray row = R"(<ROW update="FALSE" address="A01:F1-05" status="FALSE")";
    for (int n = 0; row.size() < mailboxBytes - 200; ++n)
        row += " a" + QByteArray::number(n) + "=\"x\"";
    const QByteArray packet = R"(<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS>)"
                              R"(<FIELD attrname="update" fieldtype="boolean"/><FIELD attrname="address" )"
                              R"(fieldtype="string" WIDTH="20"/><FIELD attrname="status" fieldtype="boolean"/>)"
                              R"(</FIELDS><PARAMS/></METADATA><ROWDATA>)"
                              + row + "/></ROWDATA></DATAPACKET>";
    QFile file(WorkstationFolder(folder).mailboxFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(packet) != packet.size())
        throw sim::ComplexError(QStringLiteral("cannot write the mailbox %1").arg(file.fileName()));
    out << "mailbox: " << packet.size() / 1024 << " KB packet in place" << Qt::endl;
}

void writeLog(const QString& folder, QTextStream& out)
{
    QFile log(WorkstationFolder(folder).logFile());
    if (!log.open(QIODevice::WriteOnly))
        throw sim::ComplexError(QStringLiteral("cannot write the log %1").arg(log.fileName()));
    QByteArray chunk;
    for (int n = 0; n < logLines; ++n) {
        chunk += cp1251::encode(QStringLiteral("01/И12-%1/08 08.12.2023 9:%2:00 ОТКАЗ: ОБЪЕКТ1 Зона %3\r\n")
                                    .arg(n % 60 + 1, 2, 10, QChar(u'0'))
                                    .arg(n % 60, 2, 10, QChar(u'0'))
                                    .arg(n % 200))
                     .bytes;
        if (chunk.size() > 1 << 20) {
            log.write(chunk);
            chunk.clear();
        }
    }
    log.write(chunk);
    out << "log: " << logLines << " lines, " << log.size() / (1024 * 1024) << " MB" << Qt::endl;
}

} // namespace

void prepareHeavySite(const QString& folder, const std::vector<Target>& targets, QTextStream& out)
{
    writePlans(folder, targets, out);
    writeMailbox(folder, out);
    writeLog(folder, out);
}

} // namespace kirvan::load
