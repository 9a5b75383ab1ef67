#pragma once

#include "icons/IconShapes.h"

class QPainter;

// The drawings of the state pictures on the grid of 16 × 16 units (see IconShapes.h), on a painter
// whose pen is off. Each draws one picture; the variants take the colour that carries the meaning.
namespace kirvan::icon {

// Lights: IconLights.cpp.
void drawLitBulb(QPainter& painter, const QColor& rays);
void drawUnlitBulb(QPainter& painter);
void drawCircularLamp(QPainter& painter, const Tone& lens);

// Keys: IconKeys.cpp.
void drawKey(QPainter& painter, const Tone& tone);

// Paper: IconPaper.cpp.
void drawNumberSheet(QPainter& painter);
void drawPrinter(QPainter& painter);
void drawNotepadWithPencil(QPainter& painter);
void drawCardBox(QPainter& painter);

// Command pictures: IconCommands.cpp.
void drawProgram(QPainter& painter);
void drawPlug(QPainter& painter);
void drawRedCross(QPainter& painter);
void drawRedCrossWithExclamation(QPainter& painter);
void drawHand(QPainter& painter);
void drawCircularArrowWithExclamation(QPainter& painter);
void drawLoudspeaker(QPainter& painter);
void drawQuestionMark(QPainter& painter);
void drawCalculator(QPainter& painter);

// Arrows: IconArrows.cpp.
void drawArrowRightWithPlus(QPainter& painter);
void drawArrowLeftWithMinus(QPainter& painter);

} // namespace kirvan::icon
