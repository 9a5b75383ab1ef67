#pragma once

#include "platform/MessageLoop.h"

#include <QObject>
#include <thread>

namespace kirvan {

// The message loop of the running program: Qt's event loop of the main thread.
// Construct it on the main thread after the QCoreApplication.
class QtMessageLoop final : public MessageLoop {
public:
    QtMessageLoop();

    std::unique_ptr<Timer> createTimer() override;
    std::int64_t now() const override;
    bool waitUntil(const std::function<bool()>& done, int timeoutMs = -1) override;
    void synchronize(const std::function<void()>& routine) override;
    void wake() override;
    bool isMainThread() const override;
    void serveHandOvers() override;

private:
    QObject mainThreadContext_;
    std::thread::id mainThread_;
};

} // namespace kirvan
