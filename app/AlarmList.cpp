#include "app/AlarmList.h"

#include "access/AccessControl.h"
#include "events/AlarmState.h"
#include "events/StoredConditions.h"
#include "files/AtomicFile.h"
#include "files/RegularFile.h"
#include "platform/Clock.h"
#include "platform/StatusBar.h"
#include "platform/UpdateThrottle.h"
#include "platform/Worker.h"

namespace kirvan {

namespace {

Rgb markerColour(int level)
{
    switch (level) {
    case Annunciation::Fire:
        return colours::red;
    case Annunciation::Technology:
        return colours::blue;
    default:
        return colours::yellow;
    }
}

constexpr int storePeriodMs = 1000;
constexpr int publishPeriodMs = 250;

} // namespace

AlarmList::AlarmList(Services services)
    : alarms_(services.alarms),
      markers_(services.markers),
      access_(services.access),
      statusBar_(services.statusBar),
      clock_(services.clock),
      journal_(std::move(services.journal)),
      published_(std::move(services.published)),
      file_(std::move(services.file)),
      storing_(std::make_unique<UpdateThrottle>(services.loop, storePeriodMs, [this] { store(); })),
      publishing_(std::make_unique<UpdateThrottle>(services.loop, publishPeriodMs,
                                                   [this] {
                                                       if (published_)
                                                           published_(conditions_);
                                                   })),
      encoder_(std::make_unique<StoredStateEncoder>()),
      worker_(std::move(services.worker))
{
    conditions_.setOnChanged([this] { changed(); });
    alarms_.setOnReset([this] { conditions_.alarmReset(); });
}

AlarmList::~AlarmList()
{
    alarms_.setOnReset({});
    closing_ = true;
    worker_.reset();
    if (!dirty_ && !inFlight_)
        return;
    try {
        writeFileAtomically(file_, encoded());
    } catch (const std::exception&) {
        // The program ends: the state written last is read at the next start.
    }
}

void AlarmList::changed()
{
    alarms_.setStanding(conditions_.level(), conditions_.configured());
    dirty_ = true;
    storing_->changed();
    publishing_->changed();
    if (onChanged_)
        onChanged_();
}

QByteArray AlarmList::encoded()
{
    return encoder_->encode(alarms_.alarmLevel(), conditions_.rows());
}

// One write at a time; a change made while one is under way is written after it.
void AlarmList::store()
{
    if (dirty_ && !inFlight_)
        writeNext();
}

void AlarmList::writeNext()
{
    dirty_ = false;
    // A flood mostly raises again what is listed as it is: the file already says it.
    const Stored state{conditions_.revision(), alarms_.alarmLevel()};
    if (state == stored_)
        return;
    inFlight_ = encoded();
    worker_->post([this, state, path = file_, content = *inFlight_](std::stop_token) -> Worker::Routine {
        QString failure;
        try {
            writeFileAtomically(path, content);
        } catch (const std::exception& error) {
            failure = QString::fromStdString(error.what());
        }
        return [this, failure, state] {
            inFlight_.reset();
            if (failure.isEmpty())
                stored_ = state;
            else
                statusBar_.setMessagePanel(QStringLiteral("Состояние тревог не сохранено: ") + failure);
            if (dirty_ && !closing_)
                storing_->changed();
        };
    });
}

void AlarmList::restore()
{
    const RegularFile file = RegularFile::read(file_);
    if (file.status == RegularFile::Status::Missing)
        return;
    StoredConditions stored;
    try {
        if (file.status == RegularFile::Status::Failed)
            throw std::runtime_error(file.failure.toStdString());
        stored = StoredConditions::decode(file.bytes);
    } catch (const std::exception& error) {
        journal_(QStringLiteral("  СОСТОЯНИЕ ТРЕВОГ НЕ ВОССТАНОВЛЕНО: ") + QString::fromStdString(error.what()));
        return;
    }
    std::vector<ActiveConditions::Condition> restored;
    for (ActiveConditions::Condition& c : stored.conditions) {
        // The workstation's own troubles are looked at anew, and so is the link: the supervision
        // reports a system that is still silent, but not one that answers at once.
        if (c.record.isEmpty() || c.kind == ActiveConditions::Kind::NoLink)
            continue;
        const int level = ActiveConditions::alarmLevelOf(c.kind);
        if (level != Annunciation::Normal) {
            alarms_.announce(level, c.record);
            c.announcement = alarms_.lastAnnouncement();
            markers_.paintMarker(c.record, markerColour(level), !c.acknowledged());
            if (level != Annunciation::Fault)
                alarms_.incrementFireCounter();
        }
        restored.push_back(std::move(c));
    }
    switch (stored.level) {
    case Annunciation::Fire:
        alarms_.raiseFireAlarm();
        break;
    case Annunciation::Technology:
        alarms_.raiseTechnologyAlarm();
        break;
    case Annunciation::Fault:
        alarms_.raiseFaultAlarm();
        break;
    default:
        break;
    }
    const auto count = restored.size();
    conditions_.restore(std::move(restored));
    if (!conditions_.anyUnacknowledged())
        alarms_.silence();
    if (count > 0)
        journal_(QStringLiteral("  СОСТОЯНИЕ ТРЕВОГ ВОССТАНОВЛЕНО: %1").arg(count));
}

void AlarmList::acknowledge(int row)
{
    if (!access_.permit(ConsoleCommand::SoundOff, QStringLiteral("Квитировать")))
        return;
    if (const auto condition = conditions_.acknowledge(row, access_.who(), clock_.now()))
        acknowledged(*condition);
}

void AlarmList::acknowledgeAll()
{
    if (!access_.permit(ConsoleCommand::SoundOff, QStringLiteral("Квитировать все")))
        return;
    for (const ActiveConditions::Condition& condition : conditions_.acknowledgeAll(access_.who(), clock_.now()))
        acknowledged(condition);
}

// The sound goes with the last alarm waiting for the operator; one that comes later brings it back.
void AlarmList::acknowledged(const ActiveConditions::Condition& condition)
{
    QString line = QStringLiteral("  КВИТИРОВАНО: %1 %2 %3").arg(condition.system, condition.detector(), condition.text);
    if (!condition.acknowledgedBy.isEmpty())
        line += QStringLiteral(" ОПЕРАТОРОМ ") + condition.acknowledgedBy;
    journal_(line);
    if (!conditions_.anyUnacknowledged())
        alarms_.silence();
}

} // namespace kirvan
