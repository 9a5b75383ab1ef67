#include "link/CommandQueue.h"

#include "link/Commands.h"

#include <algorithm>

namespace kirvan {

QString commandText(const Command& c)
{
    QString what;
    switch (c.code) {
    case command::initialRequest:
        what = QStringLiteral("ЗАПРОС СОСТОЯНИЯ");
        break;
    case command::switchDetector:
        what = (c.parameterA & 0x80) != 0 ? QStringLiteral("ВЫКЛЮЧИТЬ ИЗВЕЩАТЕЛЬ")
                                          : QStringLiteral("ВКЛЮЧИТЬ ИЗВЕЩАТЕЛЬ");
        break;
    case command::startScenario:
        what = QStringLiteral("ЗАПУСТИТЬ СЦЕНАРИЙ %1").arg(c.parameterA + 1);
        break;
    case command::closeContact:
        what = QStringLiteral("ЗАМКНУТЬ КОНТАКТ");
        break;
    case command::openContact:
        what = QStringLiteral("РАЗОМКНУТЬ КОНТАКТ");
        break;
    default:
        what = QStringLiteral("КОМАНДА %1").arg(c.code);
    }
    // The bytes name the detector or the contact; the scenario's number and the request say all.
    if (c.code != command::startScenario && c.code != command::initialRequest)
        what += QStringLiteral(" (%1, %2)").arg(c.parameterA).arg(c.parameterB);
    return QStringLiteral("%1 СИСТЕМЫ A%2").arg(what).arg(c.address, 2, 10, QLatin1Char('0'));
}

bool CommandQueue::queueCommand(const Command& command)
{
    if (limited() >= Capacity)
        return false;
    waiting_.push_back({command, true});
    ++limited_;
    return true;
}

void CommandQueue::queueStateRequest(std::uint8_t address)
{
    waiting_.push_back({Command{address, command::initialRequest, 0, 0}, false});
}

void CommandQueue::dropStateRequests()
{
    std::erase_if(waiting_, [](const Entry& entry) { return !entry.limited; });
}

bool CommandQueue::reserve()
{
    if (limited() >= Capacity)
        return false;
    ++reserved_;
    return true;
}

void CommandQueue::release()
{
    if (reserved_ > 0)
        --reserved_;
}

std::optional<Command> CommandQueue::takeNext()
{
    if (waiting_.empty())
        return std::nullopt;
    const Entry next = waiting_.front();
    waiting_.pop_front();
    if (next.limited)
        --limited_;
    return next.command;
}

Command CommandQueue::slot(int index) const
{
    return index >= 0 && index < size() ? waiting_[static_cast<std::size_t>(index)].command : Command{};
}

} // namespace kirvan
