#pragma once

#include <QString>
#include <memory>

namespace kirvan {

class Dialogs;
class MessageLoop;
class StatusBar;
class Timer;

// Tells the operator about a received record that could not be interpreted (a refused
// detector-file write, a field too wide, a text that is not a number): a fire alarm workstation
// must never drop a report silently. One notice at a time; what comes before it is shown goes to
// the status bar's message panel. The notice is shown once the receive handler has returned,
// because the port's read thread waits for that handler and must go on receiving meanwhile.
class RejectedRecordReport {
public:
    RejectedRecordReport(MessageLoop& loop, Dialogs& dialogs, StatusBar& statusBar);
    ~RejectedRecordReport();

    void report(const QString& record, const QString& reason);

    static QString text(const QString& record, const QString& reason);

private:
    void showBox();

    Dialogs& dialogs_;
    StatusBar& statusBar_;
    std::unique_ptr<Timer> boxTimer_;
    QString boxText_;
    // A box is due or open.
    bool boxBusy_ = false;
};

} // namespace kirvan
