#include "archive/ReadAt.h"

#include <cerrno>
#include <unistd.h>

namespace kirvan {

std::int64_t readAt(int fd, std::int64_t offset, void* to, std::int64_t size)
{
    std::int64_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, static_cast<char*>(to) + got, std::size_t(size - got), off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    return got;
}

QByteArray readAt(int fd, std::int64_t offset, qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    data.truncate(qsizetype(readAt(fd, offset, data.data(), size)));
    return data;
}

} // namespace kirvan
