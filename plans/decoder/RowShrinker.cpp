#include "plans/decoder/RowShrinker.h"

namespace kirvan::raster {

RowShrinker::RowShrinker(QSize source, QSize target, Order order)
    : source_(source),
      order_(order),
      target_(target, QImage::Format_RGB32),
      sums_(size_t(target.width()) * 3),
      columns_(size_t(source.width())),
      columnWidths_(size_t(target.width()))
{
    target_.fill(Qt::white);
    for (int x = 0; x < source.width(); ++x) {
        columns_[size_t(x)] = int(qint64(x) * target.width() / source.width());
        ++columnWidths_[size_t(columns_[size_t(x)])];
    }
}

void RowShrinker::add(const QRgb* row)
{
    if (rowsAdded_ >= source_.height())
        return;
    const int fromTop = order_ == Order::TopDown ? rowsAdded_ : source_.height() - 1 - rowsAdded_;
    const int targetRow = int(qint64(fromTop) * target_.height() / source_.height());
    if (targetRow != targetRow_)
        flush();
    targetRow_ = targetRow;
    for (int x = 0; x < source_.width(); ++x) {
        quint64* sum = &sums_[size_t(columns_[size_t(x)]) * 3];
        sum[0] += quint64(qRed(row[x]));
        sum[1] += quint64(qGreen(row[x]));
        sum[2] += quint64(qBlue(row[x]));
    }
    ++rowsInSums_;
    ++rowsAdded_;
}

void RowShrinker::flush()
{
    if (rowsInSums_ == 0)
        return;
    auto* out = reinterpret_cast<QRgb*>(target_.scanLine(targetRow_));
    for (int x = 0; x < target_.width(); ++x) {
        const quint64 count = quint64(rowsInSums_) * quint64(columnWidths_[size_t(x)]);
        const quint64* sum = &sums_[size_t(x) * 3];
        if (count > 0)
            out[x] = qRgb(int(sum[0] / count), int(sum[1] / count), int(sum[2] / count));
    }
    std::fill(sums_.begin(), sums_.end(), 0);
    rowsInSums_ = 0;
}

QImage RowShrinker::result()
{
    flush();
    return std::move(target_);
}

} // namespace kirvan::raster
