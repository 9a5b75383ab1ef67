#include "dialogs/FileChooser.h"

#include "dialogs/DialogFit.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace kirvan {

namespace {

// The toolkit lists sizes, kinds and dates in the language of the computer's locale, English on
// a kiosk without one: the dialog's columns are given in Russian here.
class RussianFileColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() < sizeColumn || index.column() > dateColumn)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo file = files->fileInfo(mapToSource(index));
        switch (index.column()) {
        case sizeColumn:
            return file.isDir() ? QString() : size(file.size());
        case kindColumn:
            return file.isDir() ? QStringLiteral("Папка")
                                : QStringLiteral("Файл %1").arg(file.suffix().toUpper()).trimmed();
        default:
            return russian().toString(file.lastModified(), QStringLiteral("dd.MM.yyyy H:mm"));
        }
    }

private:
    static constexpr int sizeColumn = 1;
    static constexpr int kindColumn = 2;
    static constexpr int dateColumn = 3;

    static QLocale russian() { return QLocale(QLocale::Russian, QLocale::Russia); }
    static QString size(qint64 bytes)
    {
        if (bytes < 1024)
            return QStringLiteral("%1 байт").arg(bytes);
        const char16_t* const units[] = {u"КБ", u"МБ", u"ГБ", u"ТБ"};
        double value = double(bytes) / 1024;
        int unit = 0;
        for (; value >= 1024 && unit < 3; ++unit)
            value /= 1024;
        return russian().toString(value, 'f', 1) + u' ' + QString::fromUtf16(units[unit]);
    }
};

} // namespace

std::optional<QString> chooseFile(QWidget* parent, FileChoice choice, const QString& caption, const QString& filter,
                                  const QString& folder, const QString& name)
{
    QFileDialog dialog(parent, caption, name.isEmpty() ? folder : QDir(folder).filePath(name), filter);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setProxyModel(new RussianFileColumns(&dialog));
    // Anybody at the console may open a file dialog: it never renames, deletes or makes a file
    // or folder, neither from its buttons and keys nor from a pop-up menu.
    dialog.setOption(QFileDialog::ReadOnly);
    for (auto* view : dialog.findChildren<QAbstractItemView*>())
        view->setContextMenuPolicy(Qt::NoContextMenu);
    if (auto* newFolder = dialog.findChild<QWidget*>(QStringLiteral("newFolderButton")))
        newFolder->hide();
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
