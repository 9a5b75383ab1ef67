#pragma once

#include <QString>
#include <QStringView>
#include <functional>

namespace kirvan {

// Paths stored in the configuration may have been written on Windows ("D:\Объекты\Склад.cnf").
// Backslashes become separators and a drive letter is replaced by the folder `driveFolder`
// gives for it (upper case letter); a path in Linux form is returned as it is.
QString localPathFromStored(QStringView stored, const std::function<QString(QChar drive)>& driveFolder);

} // namespace kirvan
