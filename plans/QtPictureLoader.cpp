#include "plans/QtPictureLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

namespace {

PictureLoader::Result failure(const QString& why)
{
    return {QImage(), why};
}

// The descriptor of a regular file, opened without waiting for a writer or a device.
struct OpenFile {
    int fd = -1;
    QString failure;
    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

void open(OpenFile& file, const QString& path)
{
    file.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0) {
        file.failure = QStringLiteral("файл не открывается (%1)").arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    struct stat info {};
    if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        file.failure = QStringLiteral("файл не открывается (это не обычный файл)");
        return;
    }
    // Reads of a regular file never wait anyway; the helper gets it as it is.
    fcntl(file.fd, F_SETFL, fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
}

} // namespace

QtPictureLoader::QtPictureLoader(QString drawingProgram, DrawingLimits limits)
    : drawingProgram_(std::move(drawingProgram)), limits_(limits)
{}

PictureLoader::Result QtPictureLoader::load(const QString& path, QSize bound, std::stop_token stop) const
{
    OpenFile opened;
    open(opened, path);
    if (!opened.failure.isEmpty())
        return failure(opened.failure);
    return renderInHelper(drawingProgram_, opened.fd, bound, limits_, stop);
}

QString QtPictureLoader::installedDrawingProgram(const QString& programFolder, const QString& helperFolderFromProgram)
{
    const QString name = QStringLiteral("kirvan-plan-decoder");
    const QString beside = QDir(programFolder).filePath(name);
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(QDir(programFolder).filePath(helperFolderFromProgram + u'/' + name));
}

} // namespace kirvan
