#pragma once

namespace kirvan {

class Reaction;

using ReactionFunction = void (*)(Reaction&);

// The reaction to an event code, or nullptr for a code without one (4, 6, 99 and any other
// code not in the table, negative or above 99).
ReactionFunction reactionFor(int code);

// Detector and zone state events.
void reactNormal(Reaction& r);
void reactControlCheck(Reaction& r);
void reactSoundOff(Reaction& r);
void reactSwitchedOn(Reaction& r);
void reactSwitchedOff(Reaction& r);
void reactFire(Reaction& r);
void reactDetectorFault(Reaction& r);
void reactArmed(Reaction& r);
void reactDisarmed(Reaction& r);
void reactTechnology(Reaction& r);

// Equipment and extinguishing events.
void reactEquipmentFault(Reaction& r);
void reactNoLinkWithComplex(Reaction& r);
// Code 23 for an address whose system file is missing: the link with an АДС station.
void reactNoLinkWithAds(Reaction& r);
void reactContact(Reaction& r);
void reactZoneMode(Reaction& r);
void reactRelease(Reaction& r);
void reactCircuitFault(Reaction& r);
void reactDirection(Reaction& r);
void reactRemoteUnitPoint(Reaction& r);

} // namespace kirvan
