// plan-decoder-memory PNG|BMP WIDTH HEIGHT: writes an 8-bit grey scan of WIDTH × HEIGHT (a BMP
// with a grey palette) to a temporary file, has kirvan-plan-decoder fit it into 1920 × 1080 the
// way the workstation does, and prints the decoder's exit status and its peak resident memory.
// The scan is a gradient with lines, so that it neither compresses to nothing nor is noise.

#include <QFileInfo>
#include <QImage>
#include <QTemporaryFile>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QImage greyScan(QSize size)
{
    QImage scan(size, QImage::Format_Grayscale8);
    for (int y = 0; y < size.height(); ++y) {
        uchar* row = scan.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            row[x] = uchar((x % 97 == 0 || y % 89 == 0) ? 0 : 128 + (x + y) % 128);
    }
    return scan;
}

// The exit status of `run` in a process of its own, which alone holds what it allocates: the
// peak a process reports counts what it held before it started another program.
template <typename Run> int inChild(Run run, rusage* usage = nullptr)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(run());
    int status = 0;
    rusage ignored{};
    if (child < 0 || wait4(child, &status, 0, usage ? usage : &ignored) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray format = argc == 4 ? QByteArray(argv[1]) : QByteArray();
    const QSize size(argc == 4 ? atoi(argv[2]) : 0, argc == 4 ? atoi(argv[3]) : 0);
    if ((format != "PNG" && format != "BMP") || size.isEmpty()) {
        std::fputs("usage: plan-decoder-memory PNG|BMP WIDTH HEIGHT\n", stderr);
        return 2;
    }
    QTemporaryFile file;
    if (!file.open())
        return 1;
    const QByteArray name = QFile::encodeName(file.fileName());
    const int written = inChild([&] { return greyScan(size).save(file.fileName(), format.constData()) ? 0 : 1; });
    if (written != 0) {
        std::fputs("plan-decoder-memory: the scan cannot be written\n", stderr);
        return 1;
    }
    std::printf("%s %d × %d, %lld bytes\n", format.constData(), size.width(), size.height(),
                static_cast<long long>(QFileInfo(file).size()));
    rusage usage{};
    const int status = inChild(
        [&] {
            const int input = ::open(name.constData(), O_RDONLY);
            const int output = ::open("/dev/null", O_WRONLY);
            if (input < 0 || output < 0 || dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0)
                return 127;
            execl(KIRVAN_PLAN_DECODER, "kirvan-plan-decoder", "1920", "1080", static_cast<char*>(nullptr));
            return 127;
        },
        &usage);
    std::printf("decoder exit status %d, peak resident %ld MB\n", status, usage.ru_maxrss / 1024);
    return 0;
}
