#pragma once

#include <QDateTime>

namespace kirvan {

// The local date and time that journal lines and table rows are stamped with.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace kirvan
