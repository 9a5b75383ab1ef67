#include "config/WorkstationFolder.h"

#include <QDir>

namespace kirvan {

WorkstationFolder::WorkstationFolder(QString path) : path_(QDir(path).absolutePath()) {}

QString WorkstationFolder::file(const QString& name) const
{
    return QDir(path_).filePath(name);
}

} // namespace kirvan
