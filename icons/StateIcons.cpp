#include "icons/StateIcons.h"

#include "icons/IconPictures.h"

#include <QPainter>
#include <array>

namespace kirvan {
namespace {

using namespace icon;

using Drawing = void (*)(QPainter&);

constexpr std::array<Drawing, StateIconCount> Drawings = {
    drawProgram, // 0 "О программе"
    drawPlug, // 1 "COM-порты"
    drawRedCross, // 2 "Выход"
    drawCardBox, // 3 archive
    drawRedCrossWithExclamation, // 4 alarm reset
    drawHand, // 5
    drawCircularArrowWithExclamation, // 6 "Общий контроль"
    drawLoudspeaker, // 7 sound off
    drawQuestionMark, // 8 help
    drawArrowRightWithPlus, // 9 "Ввести в состав"
    drawNotepadWithPencil, // 10 plan editor
    drawCalculator, // 11
    drawNumberSheet, // 12 zone
    [](QPainter& painter) { drawKey(painter, Yellow); }, // 13 security detector on
    [](QPainter& painter) { drawKey(painter, Grey); }, // 14 security detector off
    [](QPainter& painter) { drawLitBulb(painter, Yellow.fill); }, // 15 other detector on
    drawUnlitBulb, // 16 other detector off
    [](QPainter& painter) { drawLitBulb(painter, Red.fill); }, // 17 fire
    [](QPainter& painter) { drawKey(painter, Red); }, // 18
    [](QPainter& painter) { // 19 detector fault
        drawUnlitBulb(painter);
        crossOut(painter);
    },
    [](QPainter& painter) { // 20
        drawKey(painter, Grey);
        crossOut(painter);
    },
    drawArrowLeftWithMinus, // 21 "Вывести из состава"
    [](QPainter& painter) { drawCircularLamp(painter, Green); }, // 22 system normal
    [](QPainter& painter) { // 23 no link with the complex
        drawCircularLamp(painter, Grey);
        crossOut(painter);
    },
    [](QPainter& painter) { drawCircularLamp(painter, Yellow); }, // 24 fault in the system
    [](QPainter& painter) { drawCircularLamp(painter, Red); }, // 25 fire or technology alarm
    drawPrinter, // 26 detector armed
    [](QPainter& painter) { drawLitBulb(painter, Blue.fill); }, // 27 technology alarm
};

bool isStateIcon(int index)
{
    return index >= 0 && index < StateIconCount;
}

} // namespace

QImage stateIconImage(int index, int pixelSize)
{
    if (!isStateIcon(index) || pixelSize < 1)
        return {};
    return icon::drawnOnGrid(pixelSize, Drawings[static_cast<std::size_t>(index)]);
}

QPixmap stateIconPixmap(int index, int size, qreal devicePixelRatio)
{
    QImage image = stateIconImage(index, qRound(size * devicePixelRatio));
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(std::move(image));
}

QIcon stateIcon(int index)
{
    if (!isStateIcon(index))
        return {};
    // Drawn once per picture for the program's life: views ask for a node's picture every time
    // they paint or measure a row, and the tree has thousands of rows. Never destroyed: pixmaps
    // must not outlive the application object, which goes before static objects do.
    static auto* const drawn = new std::array<QIcon, StateIconCount>;
    QIcon& icon = (*drawn)[static_cast<std::size_t>(index)];
    if (icon.isNull()) {
        // A QIcon chooses among its pixmaps by device pixels: 32 and 48 also serve 16 and 24 at
        // double resolution, 64 and 96 serve 32 and 48.
        for (const int pixels : {16, 24, 32, 48, 64, 96})
            icon.addPixmap(stateIconPixmap(index, pixels, 1));
    }
    return icon;
}

} // namespace kirvan
