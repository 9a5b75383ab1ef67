#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <memory>

class QAction;
class QMenu;

namespace kirvan {

class MessageLoop;

class PlanArea;
class PlanEditor;
class PlanMarkers;
class UpdateThrottle;
struct PlanMarker;

// The plan picture panel (planView with planPicture): the plan stretched over the panel, or why it cannot
// be shown, and the markers drawn over it. Markers paint themselves from their state; a press on
// one goes to pressMarker, and a right press opens the marker pop-up once one is attached.
class PlanPicture final : public QWidget {
public:
    // The mouse handlers run as entry points of `loop`.
    // `markerSize`: the markers' side in pixels, grown with the window's scale.
    PlanPicture(PlanArea& area, PlanMarkers& markers, PlanEditor& editor, QMenu& markerMenu, MessageLoop& loop,
                int markerSize);
    ~PlanPicture() override;
    int markerSize() const { return markerSize_; }

    // The placing pointer (crosshair) follows the editor.
    void follow();
    // Paints the one marker's place again, or the whole plan without one: under a flood a marker
    // changes with each alarm on the plan shown, and the plan beneath it does not. The places of
    // single markers are painted together a few times a second, like the journal; a blink or a
    // plan shown anew at once.
    void markerChanged(const PlanMarker* marker);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The plan at the panel's size.
    const QImage& scaledPicture();
    // A press on a marker selects it; the right button opens the marker's pop-up menu.
    void pressMarker(const QMouseEvent& event);
    // The topmost visible marker under a point: the newest is drawn last, so it is found first.
    const PlanMarker* markerAt(QPoint at) const;
    QRect boxOf(const PlanMarker& marker) const;

    PlanArea& area_;
    PlanMarkers& markers_;
    PlanEditor& editor_;
    MessageLoop& loop_;
    QMenu& markerMenu_;
    QAction* markerTitle_;
    int markerSize_;
    QRegion changedMarkers_;
    std::unique_ptr<UpdateThrottle> markerRepaints_;
    QImage scaled_;
    qint64 scaledFrom_ = 0;
};

} // namespace kirvan
