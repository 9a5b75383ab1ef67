#pragma once

#include "events/ActiveConditions.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace kirvan {

class AccessControl;
class AlarmState;
class Clock;
class MarkerPainter;
class MessageLoop;
class StatusBar;
class StoredStateEncoder;
class UpdateThrottle;
class Worker;

// The workstation's side of the active conditions: the status word at rest follows them, the
// state is kept crash-safe in the workstation folder (written on a worker, the newest state only,
// at most once a second: a storm on a large complex changes thousands of rows many times a
// second) and read back at the next start, and the operator acknowledges them one by one or all,
// each with its journal line; the alarm sound ends when nothing waits for acknowledgement.
class AlarmList {
public:
    struct Services {
        AlarmState& alarms;
        MarkerPainter& markers;
        AccessControl& access;
        StatusBar& statusBar;
        const Clock& clock;
        MessageLoop& loop;
        std::function<void(const QString& text)> journal;
        std::unique_ptr<Worker> worker;
        QString file;
        // Remote monitoring's view of the changes, at most four times a second.
        std::function<void(const ActiveConditions&)> published;
    };

    explicit AlarmList(Services services);
    // The state not yet written is written before the program ends.
    ~AlarmList();

    ActiveConditions& conditions() { return conditions_; }
    const ActiveConditions& conditions() const { return conditions_; }

    // At start-up, before the composition is loaded (so the tree pictures the restored alarms):
    // the stored conditions are shown again, with their markers, word and sound, until the line
    // says otherwise. A state that cannot be read is told in the journal and ignored.
    void restore();
    // "Квитировать": at the sound off's level.
    void acknowledge(int row);
    void acknowledgeAll();
    // After every change of the conditions or their acknowledgements.
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

private:
    void changed();
    void acknowledged(const ActiveConditions::Condition& condition);
    void store();
    void writeNext();
    QByteArray encoded();

    AlarmState& alarms_;
    MarkerPainter& markers_;
    AccessControl& access_;
    StatusBar& statusBar_;
    const Clock& clock_;
    std::function<void(const QString&)> journal_;
    std::function<void()> onChanged_;
    std::function<void(const ActiveConditions&)> published_;
    QString file_;
    ActiveConditions conditions_;
    // A change not written yet; the content of the write under way.
    bool dirty_ = false;
    std::optional<QByteArray> inFlight_;
    // The conditions' revision and the word's level the file was last written with.
    using Stored = std::pair<std::uint64_t, int>;
    std::optional<Stored> stored_;
    bool closing_ = false;
    std::unique_ptr<UpdateThrottle> storing_;
    std::unique_ptr<UpdateThrottle> publishing_;
    std::unique_ptr<StoredStateEncoder> encoder_;
    // Last: it ends first, while what its hand-over touches is still there.
    std::unique_ptr<Worker> worker_;
};

} // namespace kirvan
