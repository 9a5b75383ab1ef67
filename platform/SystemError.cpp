#include "platform/SystemError.h"

#include <cerrno>
#include <cstring>

namespace kirvan {

QString systemErrorText(int error)
{
    switch (error) {
    case EACCES:
        return QStringLiteral("нет доступа");
    case EPERM:
        return QStringLiteral("операция запрещена");
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case ENOTDIR:
        return QStringLiteral("часть пути не является папкой");
    case EISDIR:
        return QStringLiteral("это папка, а не файл");
    case ENOSPC:
        return QStringLiteral("нет места на диске");
    case EDQUOT:
        return QStringLiteral("превышена дисковая квота");
    case EFBIG:
        return QStringLiteral("файл слишком велик");
    case EROFS:
        return QStringLiteral("файловая система доступна только для чтения");
    case EIO:
        return QStringLiteral("ошибка ввода-вывода");
    case EBUSY:
        return QStringLiteral("устройство занято");
    case EWOULDBLOCK:
        return QStringLiteral("занят другой программой");
    case ENODEV:
    case ENXIO:
        return QStringLiteral("нет устройства");
    case ENOTTY:
        return QStringLiteral("не является последовательным портом");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("открыто слишком много файлов");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя");
    case ELOOP:
        return QStringLiteral("слишком много символических ссылок");
    case ETXTBSY:
        return QStringLiteral("файл занят");
    case ENOMEM:
        return QStringLiteral("недостаточно памяти");
    case ECONNREFUSED:
        return QStringLiteral("соединение отвергнуто");
    case ECONNRESET:
        return QStringLiteral("соединение разорвано");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return QStringLiteral("узел недоступен");
    case ETIMEDOUT:
        return QStringLiteral("время ожидания истекло");
    default:
        return QStringLiteral("%1 (код ошибки %2)").arg(QString::fromLocal8Bit(std::strerror(error))).arg(error);
    }
}

} // namespace kirvan
