#pragma once

#include <QByteArray>

namespace kirvan::raster {

// The decoder's standard input, whole and taken before the sandbox closes: mapped when it is a
// file, so that a reader going through it once can give back the pages it has passed and a large
// scan never stands in memory whole; read otherwise.
class Input {
public:
    // Nothing usable when the input cannot be taken or holds more than `largest` bytes.
    explicit Input(qint64 largest);
    ~Input();
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    bool usable() const { return usable_; }
    const QByteArray& bytes() const { return bytes_; }
    // The bytes before `end` are not looked at again.
    void release(qsizetype end);

private:
    QByteArray bytes_;
    void* mapping_ = nullptr;
    size_t mappedBytes_ = 0;
    size_t released_ = 0;
    bool usable_ = false;
};

} // namespace kirvan::raster
