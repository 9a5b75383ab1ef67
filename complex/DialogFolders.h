#pragma once

#include <QString>

namespace kirvan {

class SettingsFile;

// Where a file dialog opens: beside the files the installer chose before, never in the folder
// the program happened to be started from.
namespace dialogfolders {

// A system file: the folder of the systems already in the complex, else the workstation's
// "Объекты" or "objects" folder, else the workstation folder.
QString systemFiles(const SettingsFile& settings);
// A plan picture: the folder of the plan shown, else a "Планы" or "plans" folder beside the
// system file, else the system file's folder, else the workstation folder.
QString plans(const SettingsFile& settings, const QString& shownPlan, const QString& systemFile);

} // namespace dialogfolders

} // namespace kirvan
