#include "plans/PlanArea.h"

namespace kirvan {

void PlanArea::setSize(QSize size)
{
    if (size.isValid() && size != size_) {
        size_ = size;
        if (onResized_)
            onResized_();
        changed();
    }
}

void PlanArea::show(const QString& title, const QImage& picture, const QString& message)
{
    title_ = title;
    showPicture(picture, message);
}

void PlanArea::showPicture(const QImage& picture, const QString& message)
{
    picture_ = picture;
    message_ = message;
    changed();
}

void PlanArea::changed()
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
