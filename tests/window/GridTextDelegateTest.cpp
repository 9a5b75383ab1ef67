#include "window/GridTextDelegate.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <cstdlib>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// Pixels that differ by more than the anti-aliasing of a glyph placed a fraction of a pixel apart.
int visibleDifferences(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    int differences = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            differences += std::abs(p.red() - q.red()) > 16 || std::abs(p.green() - q.green()) > 16
                           || std::abs(p.blue() - q.blue()) > 16;
        }
    return differences;
}

// The kept layouts change what a repaint costs, never what it shows: the grid looks as it does
// with the style's own delegate, elided texts, alarm colours and the selection included.
TEST(GridTextDelegateTest, CellsLookAsTheStyleDrawsThem)
{
    QStandardItemModel model(4, 3);
    const QString texts[4][3] = {{QStringLiteral("1"), QStringLiteral("ПОЖАР"),
                                  QStringLiteral("01/И12-05/07 ПОЖАР: СКЛАД Цех 1 Коридор у лестницы")},
                                 {QStringLiteral("2"), QStringLiteral("ОТКАЗ"), QStringLiteral("Отказ")},
                                 {QStringLiteral("3"), QString(), QStringLiteral("  КОМПЛЕКС КИРВАН ВКЛЮЧЕН")},
                                 {QStringLiteral("99999"), QStringLiteral("ТЕХНОЛОГИЯ"), QStringLiteral("& <цех> \"1\"")}};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            model.setItem(row, column, new QStandardItem(texts[row][column]));
    for (int column = 0; column < 3; ++column) {
        model.item(0, column)->setBackground(QColor(255, 0, 0));
        model.item(0, column)->setForeground(QColor(Qt::white));
    }
    const auto grid = [&model](bool keptLayouts) {
        auto view = std::make_unique<QTableView>();
        view->setModel(&model);
        if (keptLayouts)
            view->setItemDelegate(new GridTextDelegate(view.get()));
        view->verticalHeader()->hide();
        view->setWordWrap(false);
        view->resize(420, 160);
        view->setColumnWidth(2, 150);
        view->selectionModel()->select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        return view;
    };
    const auto styled = grid(false);
    const auto kept = grid(true);
    const QImage expected = styled->grab().toImage();
    EXPECT_EQ(visibleDifferences(kept->grab().toImage(), expected), 0);
    EXPECT_EQ(visibleDifferences(kept->grab().toImage(), expected), 0) << "painted again from the kept layouts";
}

} // namespace
} // namespace kirvan::testing
