#pragma once

#include <QByteArray>
#include <cstdint>

namespace kirvan {

// Reads up to `size` bytes at `offset` into `to`, never moving a shared file position: several
// threads read one file at once. Fewer bytes at the file's end or on a failure.
std::int64_t readAt(int fd, std::int64_t offset, void* to, std::int64_t size);
QByteArray readAt(int fd, std::int64_t offset, qsizetype size);

} // namespace kirvan
