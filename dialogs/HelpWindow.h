#pragma once

#include <QDialog>
#include <memory>

class QTextBrowser;

namespace kirvan {

class Worker;

// The help page in a window of the program, for a desktop without a program to open it (a kiosk).
// The page is read on a worker: the main thread never waits for a file. One window: showing the
// page again brings it forward.
class HelpWindow final : public QDialog {
public:
    static constexpr qint64 largestPage = 4 * 1024 * 1024;

    HelpWindow(std::unique_ptr<Worker> worker, QWidget* parent);
    ~HelpWindow() override;

    void showPage(const QString& path);
    QString shownText() const;

private:
    std::unique_ptr<Worker> worker_;
    QTextBrowser* browser_;
};

} // namespace kirvan
