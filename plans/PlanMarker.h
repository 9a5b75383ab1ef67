#pragma once

#include "platform/Rgb.h"

#include <QPoint>
#include <QPointF>
#include <QString>

namespace kirvan {

// A detector's marker on a plan: a 14 × 14 square or circle over the plan picture whose colour
// shows the detector's state. The window only draws it; every field is decided here.
struct PlanMarker {
    enum class Shape { Circle, Square };
    static constexpr int size = 14;

    // "SH", the system address, the device and line digits and the detector number (SH011205).
    QString name;
    Shape shape = Shape::Circle;
    Rgb colour;
    // Top-left corner in pixels of the plan picture, from `stored` and the picture's size.
    QPoint position;
    // The detector file's "X" and "Y": the picture's width and height divided by the place.
    QPointF stored;
    QString hint;
    bool showHint = true;
    bool visible = true;
    // The plan picture the marker belongs to, as the system file names it; shown only while it
    // is the plan on screen.
    QString Plane;
    // Toggled by the alarm blink while set.
    bool Blink = false;
    // Markers made from the detector file answer a press (pressMarker); a freshly placed one
    // does not, until it is made again from the file.
    bool pressHandler = false;
    // The marker pop-up (detectorMenu) that a press attaches.
    bool popupAttached = false;

    // What the pointer resting on the marker shows: its detector and the state its colour means,
    // "A01/И12-05 Коридор\nПОЖАР".
    QString tooltip() const;
};

} // namespace kirvan
