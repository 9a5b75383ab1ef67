#include "access/AccessLevel.h"

namespace kirvan {

std::optional<AccessLevel> levelOf(int number)
{
    if (number < levelNumber(AccessLevel::Everyone) || number > levelNumber(AccessLevel::Engineer))
        return std::nullopt;
    return AccessLevel(number);
}

QString passwordProblem(AccessLevel level, const QString& password)
{
    const qsizetype shortest = level == AccessLevel::Engineer ? 8 : level == AccessLevel::Operator ? 4 : 1;
    if (password.size() >= shortest)
        return {};
    return QStringLiteral("пароль уровня %1 должен быть не короче %2 знаков").arg(levelNumber(level)).arg(shortest);
}

AccessLevel requiredLevel(ConsoleCommand command)
{
    switch (command) {
    case ConsoleCommand::SoundOff:
    case ConsoleCommand::SystemSoundOff:
    case ConsoleCommand::ModulePromptYes:
    case ConsoleCommand::ModulePromptClose:
        return AccessLevel::Everyone;
    case ConsoleCommand::AlarmReset:
    case ConsoleCommand::TotalControl:
    case ConsoleCommand::ControlCheck:
    case ConsoleCommand::DetectorOn:
    case ConsoleCommand::DetectorOff:
    case ConsoleCommand::Arm:
    case ConsoleCommand::Disarm:
    case ConsoleCommand::SimulateFault:
    case ConsoleCommand::SimulateFire:
    case ConsoleCommand::MarkerDetectorOn:
    case ConsoleCommand::MarkerDetectorOff:
    case ConsoleCommand::MarkerArm:
    case ConsoleCommand::MarkerDisarm:
    case ConsoleCommand::Exit:
        return AccessLevel::Operator;
    case ConsoleCommand::PlanEditMode:
    case ConsoleCommand::PlanLoad:
    case ConsoleCommand::PlanDesign:
    case ConsoleCommand::MarkerPlace:
    case ConsoleCommand::MarkerRemove:
    case ConsoleCommand::AddSystem:
    case ConsoleCommand::RemoveSystem:
    case ConsoleCommand::ModuleEditor:
    case ConsoleCommand::PortSearch:
    case ConsoleCommand::PortChoice:
    case ConsoleCommand::Settings:
        break;
    }
    return AccessLevel::Engineer;
}

} // namespace kirvan
