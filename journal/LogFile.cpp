#include "journal/LogFile.h"

#include "files/Cp1251.h"
#include "files/PathCase.h"
#include "platform/MessageLoop.h"
#include "platform/SystemError.h"
#include "platform/Timer.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

LogFile::LogFile(QString path) : path_(std::move(path)) {}

LogFile::LogFile(QString path, MessageLoop& loop) : LogFile(std::move(path))
{
    retryTimer_ = loop.createTimer();
    retryTimer_->setInterval(RetryIntervalMs);
    retryTimer_->setOnTimer([this] { flush(); });
}

LogFile::~LogFile()
{
    if (waiting_.isEmpty() || writeWaiting() == 0)
        return;
    // The program is ending and the file still refuses: standard error reaches the system's
    // journal, which is the last place these lines can be kept.
    std::fprintf(stderr, "KirvanMonitorP: journal lines not written to %s:\n%s", QFile::encodeName(path_).constData(),
                 cp1251::decode(waiting_).toLocal8Bit().constData());
}

void LogFile::append(const QString& line)
{
    // A full memory first tries the file, which may be back.
    if (waitingLines_ >= waitingLimit_ && !flush()) {
        ++droppedLines_;
        return;
    }
    queue(line);
    flush();
}

void LogFile::queue(const QString& line)
{
    // A character the code page lacks is written as "?", so the line is never dropped for it.
    waiting_ += cp1251::encode(line).bytes;
    waiting_ += "\r\n";
    ++waitingLines_;
}

bool LogFile::flush()
{
    if (waiting_.isEmpty())
        return true;
    const int error = writeWaiting();
    if (retryTimer_)
        retryTimer_->setEnabled(error != 0);
    if (error != 0) {
        if (!failing_) {
            failing_ = true;
            notify(onFailure_, QStringLiteral("Не удаётся записать журнал событий в файл %1: %2 (код ошибки %3). "
                                              "Строки журнала сохраняются в памяти и будут дописаны в файл, "
                                              "как только запись станет возможной.")
                                   .arg(path_, systemErrorText(error), QString::number(error)));
        }
        return false;
    }
    const qsizetype written = waitingLines_;
    const qsizetype dropped = droppedLines_;
    waitingLines_ = 0;
    droppedLines_ = 0;
    if (dropped > 0) {
        // Where lines are missing, the log says how many.
        queue(QStringLiteral("  ЖУРНАЛ: НЕ ЗАПИСАНО СТРОК ЗА ВРЕМЯ СБОЯ ФАЙЛА: %1").arg(dropped));
        if (writeWaiting() == 0)
            waitingLines_ = 0;
        else if (retryTimer_)
            retryTimer_->setEnabled(true);
    }
    if (failing_) {
        failing_ = false;
        QString message = QStringLiteral("Запись журнала событий в файл %1 восстановлена; дописано строк из памяти: %2.")
                              .arg(path_, QString::number(written));
        if (dropped > 0)
            message += QStringLiteral(" Не записано строк (не хватило памяти для ожидания): %1.").arg(dropped);
        notify(onRecovered_, message);
    }
    return true;
}

namespace {

struct BytesWritten {
    qsizetype count = 0;
    int error = 0;
};

BytesWritten writeAll(int fd, QByteArrayView bytes)
{
    BytesWritten result;
    while (result.count < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + result.count, static_cast<std::size_t>(bytes.size() - result.count));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            result.error = n < 0 ? errno : EIO;
            break;
        }
        result.count += n;
    }
    return result;
}

// Read through a descriptor of its own: the log's is write-only, so that a FIFO without a reader
// stays an outage.
bool endsWithoutLineEnd(const QByteArray& name, const struct stat& file)
{
    if (!S_ISREG(file.st_mode) || file.st_size == 0)
        return false;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char last = '\n';
    const bool read = ::pread(fd, &last, 1, file.st_size - 1) == 1;
    ::close(fd);
    return read && last != '\n';
}

} // namespace

// Appends the waiting lines in one go and returns 0, or the system's error code with the lines
// still waiting. A write that fails half-way is taken back by cutting the file to its length
// before it, so the next attempt cannot leave half a line followed by the whole line again.
// Opened without blocking: a FIFO under the log's name without a reader is an outage, not a hang.
int LogFile::writeWaiting()
{
    const QByteArray name = QFile::encodeName(resolvePathCase(path_));
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    // A power cut or a full disk in an earlier run can leave the last line without its end; the
    // next line would be glued onto it, and every reader of the log would see one line of two.
    const FileEnd found{before.st_dev, before.st_ino, before.st_size};
    const bool closeTornLine = !waitingStartsMidLine_ && found != writtenEnd_ && endsWithoutLineEnd(name, before);
    const BytesWritten closing = closeTornLine ? writeAll(fd, "\r\n") : BytesWritten{};
    const BytesWritten lines = closing.error == 0 ? writeAll(fd, waiting_) : BytesWritten{};
    const int error = closing.error != 0 ? closing.error : lines.error;
    if (error == 0) {
        // Another writer between the look and the write makes the size differ: the next write
        // looks again.
        writtenEnd_ = waiting_.endsWith('\n') ? FileEnd{found.device, found.inode, found.size + closing.count + lines.count}
                                              : FileEnd{};
        waiting_.clear();
        waitingStartsMidLine_ = false;
    } else if (closing.count + lines.count > 0 && ::ftruncate(fd, before.st_size) != 0 && lines.count > 0) {
        // The part already written cannot be taken back: it stays, and only the rest waits, so
        // the next write completes the line instead of repeating it or cutting it in two.
        waitingStartsMidLine_ = waiting_.at(lines.count - 1) != '\n';
        waiting_.remove(0, lines.count);
    }
    // Closing a local file after a completed write cannot lose data; its result is not a
    // reason to write the lines a second time.
    ::close(fd);
    return error;
}

void LogFile::notify(const Notification& handler, const QString& message) const
{
    if (handler)
        handler(message);
    else
        std::fprintf(stderr, "KirvanMonitorP: %s\n", message.toLocal8Bit().constData());
}

} // namespace kirvan
