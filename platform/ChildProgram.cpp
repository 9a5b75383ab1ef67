#include "platform/ChildProgram.h"

#include <QFile>
#include <csignal>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kirvan {

ChildProgram::ChildProgram(QString program, QStringList arguments)
    : program_(std::move(program)), arguments_(std::move(arguments))
{}

ChildProgram::~ChildProgram()
{
    release();
}

void ChildProgram::release()
{
    if (channel_ >= 0)
        ::close(channel_);
    channel_ = -1;
    // An ended child is collected; a running one is left to end by itself.
    if (child_ > 0)
        ::waitpid(child_, nullptr, WNOHANG);
    child_ = -1;
}

bool ChildProgram::running()
{
    return child_ > 0 && ::waitpid(child_, nullptr, WNOHANG) == 0;
}

bool ChildProgram::show()
{
    // MSG_NOSIGNAL: a program that has just ended must not end this one with SIGPIPE.
    if (running() && ::send(channel_, "\n", 1, MSG_NOSIGNAL) == 1)
        return true;
    release();
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    std::vector<QByteArray> words{QFile::encodeName(program_)};
    for (const QString& argument : arguments_)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    const int failed = ::posix_spawn(&child, argv.front(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(ends[1]);
    if (failed != 0) {
        ::close(ends[0]);
        return false;
    }
    child_ = child;
    channel_ = ends[0];
    return true;
}

} // namespace kirvan
