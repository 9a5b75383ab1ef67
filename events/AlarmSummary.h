#pragma once

#include "events/ActiveConditions.h"

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

} // namespace alarmsummary

} // namespace kirvan
