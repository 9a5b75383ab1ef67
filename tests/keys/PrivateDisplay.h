#pragma once

#include <sys/types.h>

namespace kirvan::testing {

// An X server of the test's own (Xvfb on the first free display), so that real key presses
// from xdotool reach a real window; stopped with the object.
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // False when the server could not be started; DISPLAY is then left alone.
    bool running() const { return server_ > 0; }

private:
    void stop();

    pid_t server_ = -1;
};

} // namespace kirvan::testing
