#include "access/AccessLevel.h"

namespace kirvan {

std::optional<AccessLevel> levelOf(int number)
{
    if (number < levelNumber(AccessLevel::Everyone) || number > levelNumber(AccessLevel::Engineer))
        return std::nullopt;
    return AccessLevel(number);
}

AccessLevel requiredLevel(Command command)
{
    switch (command) {
    case Command::SoundOff:
    case Command::SystemSoundOff:
    case Command::ModulePromptYes:
    case Command::ModulePromptClose:
        return AccessLevel::Everyone;
    case Command::AlarmReset:
    case Command::TotalControl:
    case Command::ControlCheck:
    case Command::DetectorOn:
    case Command::DetectorOff:
    case Command::Arm:
    case Command::Disarm:
    case Command::SimulateFault:
    case Command::SimulateFire:
    case Command::MarkerDetectorOn:
    case Command::MarkerDetectorOff:
    case Command::MarkerArm:
    case Command::MarkerDisarm:
    case Command::Exit:
        return AccessLevel::Operator;
    case Command::PlanEditMode:
    case Command::PlanLoad:
    case Command::PlanDesign:
    case Command::MarkerPlace:
    case Command::MarkerRemove:
    case Command::AddSystem:
    case Command::RemoveSystem:
    case Command::ModuleEditor:
    case Command::PortSearch:
    case Command::PortChoice:
        break;
    }
    return AccessLevel::Engineer;
}

} // namespace kirvan
