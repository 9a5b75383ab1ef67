#pragma once

// State pictures of the composition tree: indices of the picture list that the tree and the
// menus share.
namespace kirvan::stateicon {

// A node that marks no state (one below the detectors, which files never hold).
inline constexpr int none = -1;
inline constexpr int zone = 12;
inline constexpr int securityOn = 13;
inline constexpr int securityOff = 14;
inline constexpr int detectorOn = 15;
inline constexpr int detectorOff = 16;
inline constexpr int fire = 17;
inline constexpr int fault = 19;
inline constexpr int systemNormal = 22;
inline constexpr int systemNoLink = 23;
inline constexpr int systemFault = 24;
inline constexpr int systemFire = 25;
inline constexpr int armed = 26;
inline constexpr int technology = 27;

// The picture of a detector by its type and switch state.
inline constexpr int detector(bool security, bool switchedOn)
{
    return security ? (switchedOn ? securityOn : securityOff) : (switchedOn ? detectorOn : detectorOff);
}

} // namespace kirvan::stateicon
