#pragma once

#include <QString>
#include <stdexcept>

namespace kirvan {

// A file operation the file system refused, with the file and the reason in the system's words
// for messages that explain more than the error's own text.
class FileError : public std::runtime_error {
public:
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }

protected:
    FileError(const QString& message, const QString& path, QString reason)
        : std::runtime_error(message.toStdString()), path_(path), reason_(std::move(reason))
    {}

private:
    QString path_;
    QString reason_;
};

} // namespace kirvan
