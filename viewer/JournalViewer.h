#pragma once

#include "archive/JournalFilter.h"
#include "archive/JournalIndex.h"
#include "viewer/ExportRun.h"

#include <QWidget>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QTableView;

namespace kirvan {

class Clock;
class Dialogs;
class JournalViewerModel;
class Locale;
class MessageLoop;
class Timer;
class Worker;
class Workers;

// What the viewer needs of the platform.
struct ViewerServices {
    MessageLoop& loop;
    Workers& workers;
    Dialogs& dialogs;
    const Clock& clock;
    const Locale& locale;
};

// "Просмотр журнала": a window of its own on the text log and its rotated predecessors, with
// filters that combine and the count of shown and all lines, following the log as it grows. It
// only reads the files. Reading and filtering a large log run on a worker, so the window never
// waits for them; the window takes up each result when it is ready. With `cacheFolder`, the index
// of each rotated log is kept there for the next start (JournalIndex), and the indexes of no more
// use are removed from it (tidyIndexCache).
class JournalViewer final : public QWidget {
public:
    JournalViewer(QString logPath, const ViewerServices& platform, QString cacheFolder = {}, QWidget* parent = nullptr);
    ~JournalViewer() override;

    // The operators to choose from in the filter (any other name can be typed in).
    void setOperatorNames(const QStringList& names);
    JournalFilter filter() const;
    // Shows the filter in the window's fields and applies it.
    void setFilter(const JournalFilter& filter);
    // True while the log is read or a filter applied on the worker.
    bool busy() const { return running_; }
    qsizetype shownLines() const;
    qsizetype totalLines() const;
    QString countText() const;

    // Writes the shown lines as CSV into `file` on a worker, with a progress dialog that can
    // cancel it; a failure is thrown at the end, for the loop's error handler. False, with a
    // notice, when the file may not take an export (exportRefusal): nothing is written.
    bool exportCsv(const QString& file);
    // The same as a PDF file.
    bool printPdf(const QString& file);
    // Prints the shown lines in the same way; the device is kept until then.
    void print(std::shared_ptr<QPagedPaintDevice> device);
    // An export or a printout runs.
    bool exporting() const { return exportRun_.running(); }

private:
    // Takes up the lines the log has gained since the last look; every second.
    void followLog();
    void buildFilterBar();
    void showPeriodFrom(qint64 secondsBack);
    void applyFilter();
    void startWork();
    void workDone(JournalIndex index, std::vector<std::uint32_t> rows);
    // Keeps the rotated logs' indexes of a new build for the next start and tidies the cache, on a
    // worker of its own, after the lines are shown: a filter never waits for the disk.
    void keepIndex(const JournalIndex& index);
    void showCount();
    void exportCsvAsked();
    void printAsked(bool pdf);
    // False, with the notice why, when `file` may not take an export.
    bool targetAllowed(const QString& file);

    QString logPath_;
    QString cacheFolder_;
    JournalDateOrder order_;
    const Clock& clock_;
    MessageLoop& loop_;
    Dialogs& dialogs_;
    JournalViewerModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QCheckBox* fromOn_ = nullptr;
    QDateTimeEdit* from_ = nullptr;
    QCheckBox* toOn_ = nullptr;
    QDateTimeEdit* to_ = nullptr;
    QComboBox* system_ = nullptr;
    std::array<QCheckBox*, JournalKindCount> kinds_{};
    QLineEdit* text_ = nullptr;
    QComboBox* operator_ = nullptr;
    QLabel* count_ = nullptr;
    std::unique_ptr<Timer> follow_;
    bool running_ = false;
    bool rebuildWanted_ = true;
    bool filterWanted_ = false;
    bool updatingFields_ = false;
    ExportRun exportRun_;
    std::unique_ptr<Worker> keeper_;
    // Last: ended first, so no routine of it runs on what is gone.
    std::unique_ptr<Worker> reader_;
};

} // namespace kirvan
