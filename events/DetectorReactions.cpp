// Reactions to events of a system as a whole and of single detectors.
#include "events/EventRecord.h"
#include "complex/SiteFileKeys.h"
#include "events/Reaction.h"
#include "events/Reactions.h"
#include "events/TreeMarking.h"
#include "journal/EventTable.h"

#include "complex/CompositionTree.h"

namespace kirvan {

namespace {

const QString on = QStringLiteral("ВКЛ");
const QString off = QStringLiteral("ВЫКЛ");

// The detector as the journal names it: DetectorId, zone, text.
QString detectorDescription(const Reaction& r)
{
    return r.detectorId() + u' ' + r.detectorValue(detectorfile::keyZone) + u' ' + r.detectorValue(detectorfile::keyText);
}

QString zoneAndText(const Reaction& r)
{
    return r.detectorValue(detectorfile::keyZone) + u' ' + r.detectorValue(detectorfile::keyText);
}

// An alarm of a detector whose description is missing (a detector file out of date after the
// lines were rewired, or no file at all) is still an alarm: it is shown with this text in place
// of the description.
QString describedAlarm(const Reaction& r)
{
    if (!r.detectorValue(detectorfile::keyText).isEmpty())
        return zoneAndText(r);
    const QString undescribed = QStringLiteral("извещатель не описан ") + r.detectorId();
    const QString zone = r.detectorValue(detectorfile::keyZone);
    return zone.isEmpty() ? undescribed : zone + u' ' + undescribed;
}

// A simulated alarm says so in its row and its journal line, so that no one takes it for a
// real one, now or when the journal is read later.
QString alarmMessage(const Reaction& r)
{
    return r.context().simulated ? QStringLiteral("ИМИТАЦИЯ ") + describedAlarm(r) : describedAlarm(r);
}

// A simulation starts nothing in the complex: control modules are offered for real alarms only.
void findControlModules(Reaction& r)
{
    if (!r.context().simulated)
        r.services().controlModules.findControlModule(r.systemName(), r.detectorValue(detectorfile::keyZone));
}

void reactSwitching(Reaction& r, const QString& suffix, const QString& state, bool switchedOn)
{
    r.shortLine(suffix);
    // Numbers above 60 are points of the device itself, not detectors.
    if (record::pointNumber(r.record()) > 60)
        return;
    r.journalLine() += detectorDescription(r);
    r.writeDetectorValue(detectorfile::keyState, state);
    CompositionTree& tree = r.tree();
    TreeNode* node = detectorNode(tree, r.record());
    if (!node)
        return;
    const bool security = r.detectorValue(detectorfile::keyType) == detectorfile::typeSecurity;
    tree.setPicture(*node, stateicon::detector(security, switchedOn));
    MarkerPainter& markers = r.services().markers;
    if (markers.hasMarker(r.record()))
        markers.paintMarker(r.record(), switchedOn ? colours::green : colours::white, false);
}

void reactArming(Reaction& r, const QString& suffix, const QString& state, int stateIcon)
{
    r.shortLine(suffix + detectorDescription(r));
    r.writeDetectorValue(detectorfile::keySecurity, state);
    CompositionTree& tree = r.tree();
    if (TreeNode* node = detectorNode(tree, r.record()))
        tree.setPicture(*node, stateIcon);
}

// A technology alarm never hides a fire: while a fire is shown the marker only turns blue.
void showTechnology(Reaction& r)
{
    Annunciation& alarms = r.services().alarms;
    const bool fireShown = alarms.alarmLevel() == Annunciation::Fire;
    if (!fireShown)
        alarms.raiseTechnologyAlarm();
    r.announce(Annunciation::Technology);
    r.services().markers.paintMarker(r.record(), colours::blue, !fireShown);
}

} // namespace

void reactNormal(Reaction& r)
{
    r.shortLine(QStringLiteral(": НОРМА"));
}

void reactControlCheck(Reaction& r)
{
    r.shortLine(QStringLiteral(": КОНТРОЛЬ"));
    // The record's own system is reset, whatever node the operator has selected: every fire
    // selects its detector, so a check reported by one system would otherwise reset another.
    Annunciation& alarms = r.services().alarms;
    alarms.controlCheck(record::address(r.record()), r.context().checkSince.value_or(alarms.lastAnnouncement()));
}

void reactSoundOff(Reaction& r)
{
    r.shortLine(QStringLiteral(": ЗВУК ОТКЛ."));
    r.services().alarms.silence();
}

void reactSwitchedOn(Reaction& r)
{
    reactSwitching(r, QStringLiteral(": ВКЛЮЧЕН "), on, true);
}

void reactSwitchedOff(Reaction& r)
{
    reactSwitching(r, QStringLiteral(": ВЫКЛЮЧЕН "), off, false);
}

void reactFire(Reaction& r)
{
    r.services().window.restoreMainWindow();
    const bool technology = r.detectorValue(detectorfile::keyType) == detectorfile::typeTechnology;
    r.fillRow(technology ? QStringLiteral("ТЕХНОЛОГ") : QStringLiteral("ПОЖАР"), alarmMessage(r));
    findControlModules(r);
    if (technology) {
        showTechnology(r);
    } else {
        r.services().alarms.raiseFireAlarm();
        r.announce(Annunciation::Fire);
        r.services().markers.paintMarker(r.record(), colours::red, true);
    }
    r.rowLine();
    r.markDetectorNode(technology ? Reaction::Marking::Technology : Reaction::Marking::Fire);
    r.services().alarms.incrementFireCounter();
    r.commitRow(0);
}

void reactDetectorFault(Reaction& r)
{
    r.pointFault(alarmMessage(r), Reaction::FaultYieldsTo::FireAndTechnology);
}

void reactArmed(Reaction& r)
{
    reactArming(r, QStringLiteral(": ОХРАНА "), on, stateicon::armed);
}

void reactDisarmed(Reaction& r)
{
    reactArming(r, QStringLiteral(": СНЯТ "), off, stateicon::securityOn);
}

void reactTechnology(Reaction& r)
{
    r.services().window.restoreMainWindow();
    r.fillRow(QStringLiteral("ТЕХНОЛОГИЯ"), alarmMessage(r));
    findControlModules(r);
    showTechnology(r);
    r.rowLine();
    r.markDetectorNode(Reaction::Marking::Technology);
    r.services().alarms.incrementFireCounter();
    r.commitRow(0);
}

} // namespace kirvan
