#include "plans/DrawingProcess.h"

#include "plans/decoder/PictureStream.h"

#include <QElapsedTimer>
#include <QProcess>
#include <sys/resource.h>
#include <unistd.h>

namespace kirvan {

namespace {

const QString damaged = QStringLiteral("формат рисунка не распознан или файл повреждён");

QString tooLarge(QSize size)
{
    return QStringLiteral("рисунок слишком велик: %1 × %2 точек, а прочитать можно не более %3 млн точек")
        .arg(size.width())
        .arg(size.height())
        .arg(picturestream::largestPixels / 1000000);
}

// Runs in the forked child before exec: only async-signal-safe calls.
void limitChild(int drawing, const DrawingLimits& limits)
{
    if (dup2(drawing, STDIN_FILENO) < 0)
        _exit(1);
    const auto seconds = rlim_t((limits.time.count() + 999) / 1000);
    const rlimit cpu{seconds, seconds + 1};
    setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)
    // A sanitised build reserves terabytes of shadow memory; its helper is limited by
    // hard_rss_limit_mb instead (see below).
    const rlimit memory{rlim_t(limits.memoryBytes), rlim_t(limits.memoryBytes)};
    setrlimit(RLIMIT_AS, &memory);
#endif
}

} // namespace

PictureLoader::Result renderInHelper(const QString& program, int drawing, QSize bound, const DrawingLimits& limits,
                                     std::stop_token stop)
{
    QProcess helper;
    helper.setProgram(program);
    helper.setArguments({QString::number(bound.width()), QString::number(bound.height())});
    helper.setStandardErrorFile(QProcess::nullDevice());
#if defined(__SANITIZE_ADDRESS__)
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       QStringLiteral("hard_rss_limit_mb=%1").arg(limits.memoryBytes / (1024 * 1024)));
    helper.setProcessEnvironment(environment);
#endif
    helper.setChildProcessModifier([drawing, limits] { limitChild(drawing, limits); });
    helper.start(QIODevice::ReadOnly);
    if (!helper.waitForStarted())
        return {QImage(), QStringLiteral("программа чтения планов не запускается (%1)").arg(helper.errorString())};
    const qsizetype largestOutput = picturestream::headerBytes + picturestream::pixelBytes(bound);
    QByteArray output;
    QElapsedTimer elapsed;
    elapsed.start();
    // Short steps, so that an abandoned drawing stops its helper at once.
    constexpr int stepMs = 50;
    while (helper.state() != QProcess::NotRunning) {
        if (stop.stop_requested() || elapsed.elapsed() > limits.time.count() || output.size() > largestOutput) {
            helper.kill();
            helper.waitForFinished(-1);
            if (stop.stop_requested())
                return {QImage(), QStringLiteral("чтение прервано")};
            if (output.size() > largestOutput)
                return {QImage(), damaged};
            return {QImage(), QStringLiteral("рисунок не прочитан за %1 с").arg(limits.time.count() / 1000)};
        }
        helper.waitForFinished(stepMs);
        output += helper.readAllStandardOutput();
    }
    output += helper.readAllStandardOutput();
    if (helper.exitStatus() != QProcess::NormalExit)
        return {QImage(), QStringLiteral("рисунок слишком сложен или файл повреждён")};
    if (helper.exitCode() == picturestream::tooLargeStatus) {
        if (const std::optional<QSize> size = picturestream::headerSize(output))
            return {QImage(), tooLarge(*size)};
    }
    if (helper.exitCode() != 0)
        return {QImage(), damaged};
    std::optional<QImage> picture = picturestream::read(output, bound);
    if (!picture)
        return {QImage(), damaged};
    return {std::move(*picture), {}};
}

} // namespace kirvan
