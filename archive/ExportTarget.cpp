#include "archive/ExportTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace kirvan {

namespace {

bool inside(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + u'/');
}

// The folder a file is in, with every link resolved; empty when it does not exist.
QString realFolder(const QFileInfo& file)
{
    return QFileInfo(file.absolutePath()).canonicalFilePath();
}

} // namespace

std::optional<QString> exportRefusal(const QString& file, const QString& workstationFolder)
{
    const QString folder = QFileInfo(workstationFolder).canonicalFilePath();
    const QFileInfo target(file);
    const auto insideRefusal = [&] {
        return QStringLiteral("Файл %1 лежит в папке рабочего места %2: туда журнал не записывается, чтобы не "
                              "заменить файлы программы. Выберите другую папку.")
            .arg(file, workstationFolder);
    };
    if (folder.isEmpty() || inside(realFolder(target), folder))
        return insideRefusal();
    struct stat info {};
    if (::lstat(QFile::encodeName(target.absoluteFilePath()).constData(), &info) != 0)
        return std::nullopt;
    // A link is judged by what it points to.
    const QFileInfo real(target.canonicalFilePath());
    if (target.isSymLink() && (real.filePath().isEmpty() || inside(realFolder(real), folder)))
        return insideRefusal();
    const QString suffix = real.suffix().toLower();
    if (::stat(QFile::encodeName(real.filePath()).constData(), &info) != 0 || !S_ISREG(info.st_mode)
        || info.st_nlink > 1 || (suffix != u"csv" && suffix != u"pdf"))
        return QStringLiteral("Файл %1 уже есть и не является выгрузкой журнала (.csv, .pdf): он не будет "
                              "заменён. Выберите другое имя.")
            .arg(file);
    return std::nullopt;
}

QString exportFileName(const QDateTime& at, const QString& suffix)
{
    return QStringLiteral("журнал %1.%2").arg(at.toString(QStringLiteral("yyyy-MM-dd HH-mm")), suffix);
}

} // namespace kirvan
