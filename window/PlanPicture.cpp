#include "window/PlanPicture.h"

#include "plans/PlanArea.h"
#include "plans/PlanEditor.h"
#include "plans/PlanMarkers.h"
#include "platform/MessageLoop.h"
#include "platform/UpdateThrottle.h"
#include "window/ViewUpdatePeriod.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

namespace kirvan {

PlanPicture::PlanPicture(PlanArea& area, PlanMarkers& markers, PlanEditor& editor, QMenu& markerMenu, MessageLoop& loop,
                         int markerSize)
    : area_(area), markers_(markers), editor_(editor), loop_(loop), markerMenu_(markerMenu), markerSize_(markerSize)
{
    setObjectName(QStringLiteral("planView"));
    setMouseTracking(true);
    setMinimumSize(1, 1);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The pop-up names the detector it acts on: the marker under the pointer is small, and the
    // pop-up covers it.
    markerTitle_ = new QAction(this);
    markerTitle_->setEnabled(false);
    QAction* first = markerMenu_.actions().value(0);
    markerMenu_.insertAction(first, markerTitle_);
    markerMenu_.insertSeparator(first);
    markerRepaints_ = std::make_unique<UpdateThrottle>(loop_, viewUpdateMs, [this] {
        update(changedMarkers_);
        changedMarkers_ = QRegion();
    });
}

PlanPicture::~PlanPicture() = default;

void PlanPicture::follow()
{
    setCursor(editor_.placing() ? Qt::CrossCursor : Qt::ArrowCursor);
}

void PlanPicture::markerChanged(const PlanMarker* marker)
{
    if (!marker) {
        update();
        return;
    }
    // The antialiased outline reaches half a pixel beyond the box.
    changedMarkers_ += boxOf(*marker).adjusted(-1, -1, 1, 1);
    markerRepaints_->changed();
}

QRect PlanPicture::boxOf(const PlanMarker& marker) const
{
    return QRect(marker.position, QSize(markerSize_, markerSize_));
}

void PlanPicture::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!area_.picture().isNull())
        painter.drawImage(0, 0, scaledPicture());
    if (!area_.message().isEmpty()) {
        painter.setPen(Qt::darkRed);
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, area_.message());
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect repainted = event->rect().adjusted(-1, -1, 1, 1);
    for (const auto& marker : markers_.markers()) {
        const QRect box = boxOf(*marker);
        if (!marker->visible || !repainted.intersects(box))
            continue;
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(QColor(marker->colour.red, marker->colour.green, marker->colour.blue));
        if (marker->shape == PlanMarker::Shape::Square)
            painter.drawRect(box.adjusted(0, 0, -1, -1));
        else
            painter.drawEllipse(box.adjusted(0, 0, -1, -1));
    }
}

// Scaled once per picture and size, averaging the pixels it shrinks: a plain stretch of a large
// plan drops whole rows and columns, and the thin lines of its walls with them.
const QImage& PlanPicture::scaledPicture()
{
    const QImage& picture = area_.picture();
    if (picture.cacheKey() != scaledFrom_ || scaled_.size() != size()) {
        scaled_ = picture.size() == size() ? picture
                                           : picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaledFrom_ = picture.cacheKey();
    }
    return scaled_;
}

void PlanPicture::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    area_.setSize(size());
}

void PlanPicture::mouseMoveEvent(QMouseEvent* event)
{
    loop_.runHandler([this, event] { editor_.pointerMoved(event->position().toPoint()); });
}

void PlanPicture::mousePressEvent(QMouseEvent* event)
{
    loop_.runHandler([this, event] { pressMarker(*event); });
}

void PlanPicture::pressMarker(const QMouseEvent& event)
{
    const PlanMarker* marker = markerAt(event.position().toPoint());
    if (!marker)
        return;
    const QString name = marker->name;
    markers_.pressMarker(name);
    const PlanMarker* pressed = markers_.find(name);
    if (event.button() == Qt::RightButton && pressed && pressed->popupAttached) {
        markerTitle_->setText(pressed->hint);
        const QList<QAction*> items = markerMenu_.actions();
        // "Поставить на охрану" and "Снять с охраны", after the title, its separator and the two
        // switching items, are for security detectors' squares.
        for (int arming = 4; arming < items.size(); ++arming)
            items[arming]->setVisible(markers_.armItemsVisible());
        markerMenu_.popup(event.globalPosition().toPoint());
    }
}

void PlanPicture::mouseReleaseEvent(QMouseEvent* event)
{
    // A click on a marker is the marker's, not the picture's.
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && rect().contains(at) && !markerAt(at))
        loop_.runHandler([this] { editor_.clicked(); });
}

bool PlanPicture::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const PlanMarker* marker = markerAt(help->pos());
        if (marker && marker->showHint)
            QToolTip::showText(help->globalPos(), marker->tooltip(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

const PlanMarker* PlanPicture::markerAt(QPoint at) const
{
    const auto& markers = markers_.markers();
    for (auto marker = markers.rbegin(); marker != markers.rend(); ++marker)
        if ((*marker)->visible && boxOf(**marker).contains(at))
            return marker->get();
    return nullptr;
}

} // namespace kirvan
