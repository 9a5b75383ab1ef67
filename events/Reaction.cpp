#include "events/Reaction.h"

#include "complex/CompositionTree.h"
#include "complex/DetectorFile.h"
#include "complex/SiteFileKeys.h"
#include "events/EventRecord.h"
#include "events/TreeMarking.h"
#include "journal/EventTable.h"
#include "platform/Clock.h"
#include "platform/Locale.h"

#include <QFileInfo>

namespace kirvan {

namespace {

enum Column { Number = 0, Status = 1, Object = 2, Message = 3, Date = 4, Time = 5 };

} // namespace

Reaction::Reaction(EventEnvironment& environment, const QString& record, const QString& systemFile, int code,
                   const RecordContext& context)
    : environment_(environment),
      record_(record),
      moment_(environment.clock.now()),
      code_(code),
      context_(context),
      fireShownBefore_(environment.services.alarms.alarmLevel() == Annunciation::Fire),
      systemName_(QFileInfo(systemFile).completeBaseName().toUpper()),
      detectorId_(record::detectorId(record)),
      systemFile_(environment.store, systemFile),
      detectorFile_(environment.store, detectorFilePath(systemFile, record::at(record, 5)))
{}

QChar Reaction::deviceChar() const
{
    return record::at(record_, 5);
}

QChar Reaction::at(int position) const
{
    return record::at(record_, position);
}

QString Reaction::detectorValue(QStringView key) const
{
    const QString name = key.toString();
    auto found = detectorValues_.constFind(name);
    if (found == detectorValues_.cend())
        found = detectorValues_.insert(name, detectorFile_.readString(detectorId_, key, {}));
    return found.value();
}

void Reaction::writeDetectorValue(QStringView key, QStringView value)
{
    detectorFile_.writeString(detectorId_, key, value);
    detectorValues_.remove(key.toString());
}

QString Reaction::date() const
{
    return environment_.locale.shortDate(moment_.date());
}

QString Reaction::time() const
{
    return environment_.locale.longTime(moment_.time());
}

void Reaction::shortLine(const QString& suffix)
{
    journalLine_ = record_ + u' ' + date() + u' ' + time() + u' ' + systemName_ + suffix;
}

void Reaction::fillRow(const QString& status, const QString& object, const QString& message)
{
    EventTable& table = environment_.table;
    table.writeCell(Number, QString::number(table.journalRow()));
    table.writeCell(Status, status);
    table.writeCell(Object, object);
    table.writeCell(Message, message);
    table.writeCell(Date, date());
    table.writeCell(Time, time());
    rowMessage_ = message;
}

QString Reaction::cell(int column) const
{
    return environment_.table.readCell(column);
}

// The line and the row must show the same date and time, so both are read back from the row.
QString Reaction::rowStart() const
{
    return record_ + u' ' + cell(Date) + u' ' + cell(Time) + u' ' + cell(Status) + QStringLiteral(": ");
}

void Reaction::rowLine()
{
    journalLine_ = rowStart() + systemName_ + u' ' + cell(Message);
}

void Reaction::complexLine()
{
    journalLine_ = rowStart() + cell(Message);
}

void Reaction::adsLine()
{
    journalLine_ = rowStart() + cell(Object) + u' ' + cell(Message);
}

void Reaction::commitRow(int offset)
{
    EventTable& table = environment_.table;
    // The row of the fire that began the alarm stays in view while a fire is shown.
    if (environment_.services.alarms.alarmLevel() != Annunciation::Fire)
        table.releaseView();
    else if (announcedFire_ && !fireShownBefore_)
        table.keepInView(table.journalRow());
    table.commitJournalRow(offset);
}

void Reaction::announce(int level)
{
    announcedFire_ = announcedFire_ || level == Annunciation::Fire;
    announced_ = level;
    environment_.services.alarms.announce(level, record_);
}

Interpretation Reaction::interpretation() const
{
    const Annunciation& alarms = environment_.services.alarms;
    return {record_,
            code_,
            systemName_,
            detectorValue(detectorfile::keyZone),
            rowMessage_ ? *rowMessage_ : detectorValue(detectorfile::keyText),
            moment_,
            context_.simulated,
            announced_,
            context_.checkSince.value_or(alarms.lastAnnouncement())};
}

void Reaction::pointFault(const QString& message, FaultYieldsTo yieldsTo)
{
    environment_.services.window.restoreMainWindow();
    fillRow(QStringLiteral("ОТКАЗ"), message);
    Annunciation& alarms = environment_.services.alarms;
    const int level = alarms.alarmLevel();
    const bool yields = level == Annunciation::Fire
                        || (yieldsTo == FaultYieldsTo::FireAndTechnology && level == Annunciation::Technology);
    if (!yields)
        alarms.raiseFaultAlarm();
    announce(Annunciation::Fault);
    environment_.services.markers.paintMarker(record_, colours::yellow, !yields);
    rowLine();
    markDetectorNode(Marking::Fault);
    commitRow(1);
}

void Reaction::markDetectorNode(Marking marking)
{
    CompositionTree& tree = environment_.tree;
    TreeNode* detector = detectorNode(tree, record_);
    if (!detector)
        return;
    TreeNode* system = detector->parent()->parent();
    const bool firstAlarm = environment_.services.alarms.fireCounter() == 0;
    // While a fire is shown the tree's selection, and the plan with it, stays with the fire that
    // began it (or where the operator has moved it): a later fire, a technology alarm or a fault
    // must not take the display away.
    const bool selects = !fireShownBefore_;
    switch (marking) {
    case Marking::Fire:
        tree.setPicture(*detector, stateicon::fire);
        tree.setPicture(*system, stateicon::systemFire);
        break;
    case Marking::Technology:
        tree.setPicture(*detector, stateicon::technology);
        tree.setPicture(*system, stateicon::systemFire);
        break;
    case Marking::Fault:
        tree.setPicture(*detector, stateicon::fault);
        // A fault must not take the operator's eye off a fire or technology alarm.
        if (!firstAlarm)
            return;
        tree.setPicture(*system, stateicon::systemFault);
        break;
    }
    if (selects)
        tree.select(detector);
}

void Reaction::markSystemNode(int stateIcon)
{
    if (environment_.services.alarms.fireCounter() != 0)
        return;
    const auto nodes = systemNodes(environment_.tree, record::address(record_));
    if (!nodes.empty())
        environment_.tree.setPicture(*nodes.front(), stateIcon);
}

void Reaction::markEverySystemNode(int stateIcon)
{
    for (TreeNode* node : systemNodes(environment_.tree, record::address(record_)))
        environment_.tree.setPicture(*node, stateIcon);
}

} // namespace kirvan
