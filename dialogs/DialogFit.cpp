#include "dialogs/DialogFit.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLayout>
#include <QTreeView>
#include <algorithm>

namespace kirvan {

void fitCaption(QDialog& dialog)
{
    // The window manager cuts a caption wider than the window; its buttons take about as much
    // again as three capitals.
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    const int caption = metrics.horizontalAdvance(dialog.windowTitle())
                        + metrics.horizontalAdvance(QStringLiteral("ШШШШШШ"));
    // A dialog made by the toolkit builds its layout when first measured.
    dialog.sizeHint();
    // A layout of fixed size would undo a minimum width: the width goes into the layout instead.
    if (QLayout* layout = dialog.layout()) {
        const QMargins margins = layout->contentsMargins();
        auto* width = new QSpacerItem(caption - margins.left() - margins.right(), 0, QSizePolicy::Fixed,
                                      QSizePolicy::Minimum);
        if (auto* grid = qobject_cast<QGridLayout*>(layout))
            grid->addItem(width, grid->rowCount(), 0, 1, grid->columnCount());
        else
            layout->addItem(width);
    } else {
        dialog.setMinimumWidth(std::max(dialog.minimumWidth(), caption));
    }
}

void fitFileColumns(QFileDialog& dialog)
{
    auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!files || !model)
        return;
    // The folder is read in the background; the columns follow each listing.
    QObject::connect(model, &QFileSystemModel::directoryLoaded, files,
                     [files] { files->header()->resizeSections(QHeaderView::ResizeToContents); });
    const QFontMetrics metrics(files->font());
    dialog.resize(std::max(dialog.sizeHint().width(), metrics.averageCharWidth() * 100),
                  std::max(dialog.sizeHint().height(), metrics.height() * 25));
}

} // namespace kirvan
