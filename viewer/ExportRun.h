#pragma once

#include "archive/JournalExport.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace kirvan {

class MessageLoop;
class Timer;
class Worker;
class Workers;

// The viewer's export or printout on a worker of its own, so the main thread (and every alarm)
// never waits for it, with a progress dialog whose button cancels it. The work owns what it
// uses, copied or shared and never changed; the run ends with the window that owns it, which cancels the work under way.
class ExportRun {
public:
    // Runs on the worker; the failure in the operator's words, empty when done or cancelled.
    using Work = std::function<QString(ExportProgress& progress)>;

    ExportRun(MessageLoop& loop, Workers& workers);
    ~ExportRun();
    ExportRun(const ExportRun&) = delete;
    ExportRun& operator=(const ExportRun&) = delete;

    // Ignored while a run is under way. A failure is thrown on the main thread at the end, so the
    // loop's error handler shows it.
    void start(QWidget* owner, const QString& label, std::size_t rows, Work work);
    bool running() const { return running_; }

private:
    void cancel();
    void end();

    MessageLoop& loop_;
    std::unique_ptr<Timer> shown_;
    std::shared_ptr<ExportProgress> progress_;
    QPointer<QProgressDialog> dialog_;
    bool running_ = false;
    // Last: ended first, so no routine of it runs on what is gone.
    std::unique_ptr<Worker> worker_;
};

} // namespace kirvan
