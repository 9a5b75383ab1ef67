#include "platform/StallWatchdog.h"

#include <QEvent>
#include <QMetaEnum>

namespace kirvan {

StallWatchdog::StallWatchdog(std::function<std::int64_t()> now, std::function<void(const QString& line)> report)
    : now_(std::move(now)), report_(std::move(report)), since_(now_())
{}

QString StallWatchdog::Handler::name() const
{
    if (timerMs >= 0)
        return QStringLiteral("таймер %1 мс").arg(timerMs);
    const char* key = QMetaEnum::fromType<QEvent::Type>().valueToKey(event);
    return QStringLiteral("%1, событие %2")
        .arg(QLatin1String(receiverClass), key ? QLatin1String(key) : QLatin1String(QByteArray::number(event)));
}

void StallWatchdog::enter(const Handler& handler)
{
    charge();
    running_.push_back(handler);
}

void StallWatchdog::leave()
{
    charge();
    if (!running_.empty())
        running_.pop_back();
}

void StallWatchdog::sleeping()
{
    charge();
    sleeping_ = true;
}

void StallWatchdog::awake()
{
    sleeping_ = false;
    since_ = now_();
}

void StallWatchdog::charge()
{
    const std::int64_t now = now_();
    const std::int64_t held = now - since_;
    since_ = now;
    if (sleeping_ || held <= stallMs)
        return;
    if (reported_ && now - lastReport_ < reportEveryMs) {
        ++unreported_;
        return;
    }
    const QString handler = running_.empty() ? QStringLiteral("вне обработчиков (запуск или завершение)")
                                             : running_.back().name();
    QString line = QStringLiteral("главный поток занят %1 мс: %2").arg(held).arg(handler);
    if (unreported_ > 0)
        line += QStringLiteral(" (и ещё задержек за минуту: %1)").arg(unreported_);
    reported_ = true;
    lastReport_ = now;
    unreported_ = 0;
    report_(line);
}

} // namespace kirvan
