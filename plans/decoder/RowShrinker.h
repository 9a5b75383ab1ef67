#pragma once

#include <QImage>
#include <vector>

namespace kirvan::raster {

// Shrinks a picture that arrives one row at a time, so that only the shrunk picture and one row
// of sums stand in memory: each pixel of the result is the average of the source pixels that fall
// into it. Rows come in order, top to bottom or (a bottom-up BMP) bottom to top.
class RowShrinker {
public:
    enum class Order { TopDown, BottomUp };
    RowShrinker(QSize source, QSize target, Order order);

    // The next source row, `source.width()` pixels.
    void add(const QRgb* row);
    // The shrunk picture, once every source row is added.
    QImage result();

private:
    void flush();

    QSize source_;
    Order order_;
    QImage target_;
    int rowsAdded_ = 0;
    int targetRow_ = -1;
    int rowsInSums_ = 0;
    std::vector<quint64> sums_; // red, green, blue per target column
    std::vector<int> columns_; // the target column of each source column
    std::vector<int> columnWidths_; // source columns per target column
};

} // namespace kirvan::raster
