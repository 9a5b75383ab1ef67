#pragma once

#include <QString>
#include <cstdint>
#include <deque>
#include <optional>

namespace kirvan {

struct Command {
    std::uint8_t address = 0;
    std::uint8_t code = 0;
    std::uint8_t parameterA = 0;
    std::uint8_t parameterB = 0;
    bool operator==(const Command&) const = default;
};

// The command as the journal names it: "ЗАПУСТИТЬ СЦЕНАРИЙ 5 СИСТЕМЫ A01".
QString commandText(const Command& command);

// The commands waiting for the polling cycle, which sends one a tick in the order they were
// queued. At most Capacity commands of operators, control modules and the mailbox wait at a
// time: a command that finds no room is refused there and then (the caller tells whoever asked),
// and a queued command is never dropped afterwards. The state requests of a configuration load
// come on top of those (two for each of at most four systems), so a load never takes the room of
// a command that someone asked for.
class CommandQueue {
public:
    static constexpr int Capacity = 8;

    // Queues the command last; false when Capacity commands wait or are reserved for (nothing queued).
    [[nodiscard]] bool queueCommand(const Command& command);
    [[nodiscard]] bool queueCommand(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA,
                                    std::uint8_t parameterB)
    {
        return queueCommand(Command{address, code, parameterA, parameterB});
    }
    // A configuration load's state request, queued last beyond the limit.
    void queueStateRequest(std::uint8_t address);
    // Drops the state requests still waiting (a new load asks again); the other commands stay.
    void dropStateRequests();

    // Holds room for one command that is still being prepared elsewhere (the mailbox's request,
    // read on a worker): false when there is none. release() gives the room back, after which the
    // command is queued as usual.
    [[nodiscard]] bool reserve();
    void release();

    // Takes the command queued first.
    std::optional<Command> takeNext();
    void clear()
    {
        waiting_.clear();
        limited_ = 0;
    }
    // The command as the journal names it: "ЗАПУСТИТЬ СЦЕНАРИЙ 5 СИСТЕМЫ A01".
    QString commandText(const Command& command);

    // The commands waiting, first to go first, and those counted against Capacity.
    int size() const { return static_cast<int>(waiting_.size()); }
    int limited() const { return limited_ + reserved_; }
    // The index-th command to go, or an empty command (code 0) when fewer wait.
    Command slot(int index) const;

private:
    struct Entry {
        Command command;
        bool limited = true;
    };
    std::deque<Entry> waiting_;
    int limited_ = 0; // entries counted against Capacity
    int reserved_ = 0;
};

} // namespace kirvan
