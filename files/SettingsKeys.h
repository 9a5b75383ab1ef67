#pragma once

#include <QStringView>

// Sections and keys of the workstation's settings file.
namespace kirvan::settings {

inline constexpr QStringView sectionSettings = u"Настройки";
inline constexpr QStringView keyComPort = u"COM-порт";
inline constexpr QStringView keyTable = u"Таблица";
inline constexpr QStringView keyInstallation = u"Установка";
inline constexpr QStringView keyEquipment = u"Оборудование";
// Minutes without keyboard or mouse input after which the operator is signed out; 0: never.
inline constexpr QStringView keyOperatorIdleMinutes = u"Выход оператора, мин";
// 1 once a user file has been in force: from then on a missing or untrusted user file closes
// access instead of opening it. Only kirvan-tool user changes it.
inline constexpr QStringView keyAccessControlled = u"Доступ по паролям";
// 0 on a kiosk: F1 and F3 never hand a file to a program of the desktop, also not at level 3.
inline constexpr QStringView keyDesktopPrograms = u"Программы рабочего стола";
// The size of the window's texts and pictures, 1 being the design's pixels; none or 0: chosen
// from the screen's size and density.
inline constexpr QStringView keyScale = u"Масштаб";
// The picture editor "Создать план" starts; none: the first of kolourpaint, pinta, gimp found.
inline constexpr QStringView keyPictureEditor = u"Редактор";
// The wave files of the fire and technology alarm and of the fault, instead of "alarm.wav" and
// "fault.wav"; a relative path lies in the workstation folder. None: those names are looked up.
inline constexpr QStringView keyAlarmSound = u"Звук тревоги";
inline constexpr QStringView keyFaultSound = u"Звук неисправности";
inline constexpr QStringView sectionGeneralPlan = u"ОБЩИЙ ПЛАН";
inline constexpr QStringView sectionAddress = u"АДРЕС";
// Where the drive letters of paths written on Windows lie on this computer, e.g. D=/srv/kirvan/D.
inline constexpr QStringView sectionDrives = u"Диски";
// Followed by the slot number 1 to 256 without leading zeros.
inline constexpr QStringView controlModulePrefix = u"МОДУЛЬ УПРАВЛЕНИЯ ";

} // namespace kirvan::settings
