#include "console/FileChooser.h"

#include "console/DialogFit.h"

#include <QDir>
#include <QFileDialog>

namespace kirvan {

std::optional<QString> chooseFile(QWidget* parent, FileChoice choice, const QString& caption, const QString& filter,
                                  const QString& folder, const QString& name)
{
    QFileDialog dialog(parent, caption, name.isEmpty() ? folder : QDir(folder).filePath(name), filter);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    dialog.setViewMode(QFileDialog::Detail);
    if (choice == FileChoice::Open) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    fitFileColumns(dialog);
    fitCaption(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

} // namespace kirvan
