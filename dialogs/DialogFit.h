#pragma once

class QDialog;
class QFileDialog;

namespace kirvan {

// The dialog at least as wide as its caption, which the window manager would cut otherwise.
void fitCaption(QDialog& dialog);
// The file dialog's columns as wide as the names, sizes and dates they list.
void fitFileColumns(QFileDialog& dialog);

} // namespace kirvan
