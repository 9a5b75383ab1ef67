#include "journal/LogFile.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

// The package's rule, pointed at the test's log.
QString ruleFor(const QString& log)
{
    QFile rule(QStringLiteral(KIRVAN_PACKAGE_RESOURCES "/kirvanmonitorp.logrotate"));
    if (!rule.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(rule.readAll());
    const qsizetype open = text.indexOf(u'{');
    return open < 0 ? QString() : u'"' + log + u"\" "_s + text.mid(open);
}

// logrotate runs while the workstation writes line after line. Lines written between the rename
// and the next open, and lines whose file was renamed while it was open, must all be somewhere:
// every line exactly once, in order, across the rotated logs and the new one.
TEST(LogRotationTest, NoLineIsLostOrDoubledWhileTheLogIsRotated)
{
    const QString logrotate = u"/usr/sbin/logrotate"_s;
    ASSERT_TRUE(QFile::exists(logrotate)) << "logrotate is not installed (tools/setup.sh installs it)";
    const TempFolder folder;
    const QString log = folder.file(u"KirvanMonitorP.txt"_s);
    const QString rule = ruleFor(log);
    ASSERT_FALSE(rule.isEmpty());
    folder.write(u"logrotate.conf"_s, rule.toUtf8());

    std::atomic<bool> stop = false;
    std::atomic<int> written = 0;
    std::thread writer([&] {
        LogFile file(log);
        for (int n = 0; !stop; ++n) {
            file.append(QStringLiteral("line %1").arg(n));
            written = n + 1;
        }
    });
    constexpr int Rotations = 12;
    QStringList archives;
    for (int rotation = 0;; ++rotation) {
        // Some lines before each rotation, so that notifempty never skips one, and after the
        // last, so that the new log exists.
        const int before = written;
        while (written < before + 50) {}
        if (rotation == Rotations)
            break;
        QProcess run;
        run.start(logrotate, {u"-f"_s, u"-s"_s, folder.file(u"state"_s), folder.file(u"logrotate.conf"_s)});
        ASSERT_TRUE(run.waitForFinished(30000));
        ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
        // The rotated log keeps the day in its name; move it aside so that the next rotation of
        // the same day has its name free.
        const QStringList rotated = QDir(folder.path()).entryList({u"KirvanMonitorP.txt-*"_s}, QDir::Files);
        ASSERT_EQ(rotated.size(), 1) << rotated.join(u' ').toStdString();
        ASSERT_TRUE(QRegularExpression(u"^KirvanMonitorP\\.txt-\\d{8}$"_s).match(rotated.front()).hasMatch());
        archives << folder.file(u"archive-%1"_s.arg(rotation, 2, 10, QChar(u'0')));
        ASSERT_TRUE(QFile::rename(folder.file(rotated.front()), archives.back()));
    }
    stop = true;
    writer.join();

    QByteArray all;
    for (const QString& file : archives + QStringList{log}) {
        QFile part(file);
        ASSERT_TRUE(part.open(QIODevice::ReadOnly)) << file.toStdString();
        all += part.readAll();
    }
    const QList<QByteArray> lines = all.split('\n');
    ASSERT_EQ(lines.size(), written + 1); // after the last CR LF
    for (int n = 0; n < written; ++n)
        ASSERT_EQ(lines[n], QByteArray("line ") + QByteArray::number(n) + '\r') << "at line " << n;
}

} // namespace
} // namespace kirvan
