#include "plans/QtPictureLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

namespace {

// Raster plans are decoded whole before they are scaled; beyond this they are refused with a
// message instead of exhausting the memory of a workstation that must keep running.
constexpr int decodeLimitMegabytes = 1024;

const QString damaged = QStringLiteral("формат рисунка не распознан или файл повреждён");

PictureLoader::Result failure(const QString& why)
{
    return {QImage(), why};
}

QSize fitted(QSize size, QSize bound)
{
    return size.width() > bound.width() || size.height() > bound.height() ? size.scaled(bound, Qt::KeepAspectRatio)
                                                                           : size;
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

bool rasterFormat(const QByteArray& format)
{
    return !format.isEmpty() && !format.startsWith("svg");
}

PictureLoader::Result readRaster(QIODevice& device, QSize bound)
{
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && fitted(size, bound) != size)
        reader.setScaledSize(fitted(size, bound));
    QImageReader::setAllocationLimit(decodeLimitMegabytes);
    QImage picture = reader.read();
    if (picture.isNull()) {
        return failure(reader.error() == QImageReader::UnsupportedFormatError ? damaged
                                                                              : damaged + QStringLiteral(" (") +
                                                                                    reader.errorString() + u')');
    }
    return {picture, {}};
}

} // namespace

QtPictureLoader::QtPictureLoader(QString drawingProgram, DrawingLimits limits)
    : drawingProgram_(std::move(drawingProgram)), limits_(limits)
{
}

PictureLoader::Result QtPictureLoader::load(const QString& path, QSize bound, std::stop_token stop) const
{
    OpenFile opened;
    open(opened, path);
    if (!opened.failure.isEmpty())
        return failure(opened.failure);
    QFile file;
    if (!file.open(opened.fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return failure(QStringLiteral("файл не открывается (%1)").arg(file.errorString()));
    if (rasterFormat(QImageReader::imageFormat(&file)))
        return readRaster(file, bound);
    file.close();
    if (lseek(opened.fd, 0, SEEK_SET) != 0)
        return failure(damaged);
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
