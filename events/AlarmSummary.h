#pragma once

#include "events/ActiveConditions.h"

#include <QByteArray>
#include <QString>

namespace kirvan {

class Locale;

// The summary of the active conditions as the operator reads it from across the room.
namespace alarmsummary {

// "ПОЖАР: зон 2, извещателей 3   ТЕХНОЛОГИЯ: 1   ОТКАЗ: 1   НЕТ СВЯЗИ: 1   ОТКЛЮЧЕНО: 2", every
// count always, also a nought: a count missing reads as one not looked at.
QString counts(const ActiveConditions::Counts& counts);
// "ПЕРВЫЙ ПОЖАР: СКЛАД И12-05 Цех 1 Коридор 08.12.2023 9:15:02"; empty without the fire.
QString fire(const QString& caption, const ActiveConditions::Condition* fire, const Locale& locale);

// For remote monitoring (retained on `<prefix>/alarms`): the counts, the systems with anything
// active and their state ("пожар", "технология", "отказ", "нет связи"; a system not named is
// "норма"), the rows waiting for acknowledgement, the first and the newest fire.
QByteArray json(const ActiveConditions& conditions);

} // namespace alarmsummary

} // namespace kirvan
