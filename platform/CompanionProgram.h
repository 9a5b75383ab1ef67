#pragma once

namespace kirvan {

// A program of the workstation's own with a window of its own (the journal viewer), run as a
// process apart so that its memory and its slow work never reach the alarm process. One at a
// time: asked again while it runs, it comes forward instead of starting another. Nothing waits
// for it, neither its start nor its end.
class CompanionProgram {
public:
    virtual ~CompanionProgram() = default;

    // Starts the program, or brings the running one forward. False when it could not be started.
    virtual bool show() = 0;
};

} // namespace kirvan
