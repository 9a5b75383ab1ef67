#include "tests/keys/PrivateDisplay.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace kirvan::testing {

PrivateDisplay::PrivateDisplay()
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const std::string fd = std::to_string(pipeEnds[1]);
        // The server writes the number of the display it took to the pipe once it listens.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string number;
    char c = 0;
    // Ends with the newline after the number, or at once when the server died (end of pipe).
    while (child > 0 && read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(pipeEnds[0]);
    if (child <= 0)
        return;
    server_ = child;
    if (number.empty()) {
        stop();
        return;
    }
    setenv("DISPLAY", (':' + number).c_str(), 1);
}

PrivateDisplay::~PrivateDisplay()
{
    stop();
}

void PrivateDisplay::stop()
{
    if (server_ <= 0)
        return;
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
    server_ = -1;
}

} // namespace kirvan::testing
