#include "platform/DiagnosticsOutput.h"

#include <QDateTime>
#include <atomic>
#include <cerrno>
#include <unistd.h>

namespace kirvan {

namespace {

// More distinct toolkit texts than this are not remembered; further ones are written every time.
constexpr qsizetype rememberedTexts = 1000;

std::atomic<DiagnosticsOutput*> handlerOutput{nullptr};

void toolkitMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    DiagnosticsOutput* output = handlerOutput.load();
    if (type == QtFatalMsg || !output) {
        const QByteArray line = QStringLiteral("KirvanMonitorP: %1\n").arg(text).toLocal8Bit();
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.constData(), size_t(line.size()));
        return;
    }
    output->writeOnce(text);
}

} // namespace

struct DiagnosticsOutput::Shared {
    int fd = -1;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QByteArray> lines;
    qsizetype bytes = 0;
    std::uint64_t dropped = 0;
    std::uint64_t droppedTold = 0;
    bool ending = false;
};

DiagnosticsOutput::DiagnosticsOutput(int fd) : shared_(std::make_shared<Shared>())
{
    shared_->fd = fd;
    // Detached: a writer stuck on a pipe nobody reads must not hold up the program's end.
    std::thread([shared = shared_] { run(shared); }).detach();
}

DiagnosticsOutput::~DiagnosticsOutput()
{
    DiagnosticsOutput* self = this;
    handlerOutput.compare_exchange_strong(self, nullptr);
    std::lock_guard lock(shared_->mutex);
    shared_->ending = true;
    shared_->changed.notify_all();
}

void DiagnosticsOutput::write(const QString& line)
{
    QByteArray bytes = QStringLiteral("KirvanMonitorP: %1\n").arg(line).toLocal8Bit();
    std::lock_guard lock(shared_->mutex);
    if (shared_->ending)
        return;
    if (shared_->bytes + bytes.size() > queueBytes) {
        ++shared_->dropped;
        return;
    }
    shared_->bytes += bytes.size();
    shared_->lines.push_back(std::move(bytes));
    shared_->changed.notify_one();
}

void DiagnosticsOutput::writeOnce(const QString& line)
{
    {
        std::lock_guard lock(saidMutex_);
        if (said_.contains(line))
            return;
        if (said_.size() < rememberedTexts)
            said_.insert(line);
    }
    write(line);
}

std::uint64_t DiagnosticsOutput::dropped() const
{
    std::lock_guard lock(shared_->mutex);
    return shared_->dropped;
}

void DiagnosticsOutput::installAsMessageHandler()
{
    handlerOutput.store(this);
    qInstallMessageHandler(toolkitMessage);
}

void DiagnosticsOutput::run(const std::shared_ptr<Shared>& shared)
{
    for (;;) {
        QByteArray line;
        {
            std::unique_lock lock(shared->mutex);
            shared->changed.wait(lock, [&] {
                return !shared->lines.empty() || shared->dropped != shared->droppedTold || shared->ending;
            });
            if (shared->lines.empty() && shared->dropped == shared->droppedTold)
                return; // ending, and everything said
            if (shared->dropped != shared->droppedTold) {
                line = QStringLiteral("KirvanMonitorP: %1 строк диагностики пропущено: вывод не успевал\n")
                           .arg(shared->dropped - shared->droppedTold)
                           .toLocal8Bit();
                shared->droppedTold = shared->dropped;
            } else {
                line = std::move(shared->lines.front());
                shared->lines.pop_front();
                shared->bytes -= line.size();
            }
        }
        qsizetype done = 0;
        while (done < line.size()) {
            const ssize_t written = ::write(shared->fd, line.constData() + done, size_t(line.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                break; // the output is gone: the line is lost like a dropped one
            done += written;
        }
    }
}

} // namespace kirvan
