#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace kirvan {

// Who may do what at the console: everyone without signing in, the operator responsible for the
// complex, the service engineer.
enum class AccessLevel : std::uint8_t { Everyone = 1, Operator = 2, Engineer = 3 };

inline int levelNumber(AccessLevel level)
{
    return int(level);
}
std::optional<AccessLevel> levelOf(int number);

// The commands the console gates. Everyone may watch, silence the sound and answer the
// control-module prompt (nothing may stand between an alarm and its scenario); the operator
// resets, checks, switches, arms, simulates and ends the program; the engineer changes what the
// complex is made of and every setting.
enum class ConsoleCommand : std::uint8_t {
    SoundOff,
    SystemSoundOff,
    ModulePromptYes,
    ModulePromptClose,
    AlarmReset,
    TotalControl,
    ControlCheck,
    DetectorOn,
    DetectorOff,
    Arm,
    Disarm,
    SimulateFault,
    SimulateFire,
    MarkerDetectorOn,
    MarkerDetectorOff,
    MarkerArm,
    MarkerDisarm,
    Exit,
    PlanEditMode,
    PlanLoad,
    PlanDesign,
    MarkerPlace,
    MarkerRemove,
    AddSystem,
    RemoveSystem,
    ModuleEditor,
    PortSearch,
    PortChoice,
    Settings,
};

AccessLevel requiredLevel(ConsoleCommand command);

// The shortest password a user of the level may have: a short password of a high level is
// guessed first. Why `password` is too short for `level`, in Russian; empty when it is not.
QString passwordProblem(AccessLevel level, const QString& password);

} // namespace kirvan
