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
    if (title == title_ && picture.cacheKey() == picture_.cacheKey() && message == message_)
        return; // every alarm shows its zone's plan again: the same plan is not painted again
    title_ = title;
    picture_ = picture;
    message_ = message;
    changed();
}

void PlanArea::showPicture(const QImage& picture, const QString& message)
{
    show(title_, picture, message);
}

void PlanArea::changed()
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
