#pragma once

#include "platform/CompanionProgram.h"

#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace kirvan {

// The companion program as a child process whose standard input is a socket to this process:
// a line on it brings the window forward, its end (this process ending in any way, even killed)
// tells the program to close. The child inherits no other descriptor of this process, so it
// never holds the folder lock, and it runs with the default signals.
class ChildProgram final : public CompanionProgram {
public:
    ChildProgram(QString program, QStringList arguments);
    // Closes the socket: the program ends by itself, and nothing here waits for it.
    ~ChildProgram() override;
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool show() override;

private:
    bool running();
    void release();

    QString program_;
    QStringList arguments_;
    pid_t child_ = -1;
    int channel_ = -1;
};

} // namespace kirvan
