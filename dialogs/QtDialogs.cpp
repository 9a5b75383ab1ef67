#include "dialogs/QtDialogs.h"

#include "dialogs/DialogFit.h"
#include "dialogs/FileChooser.h"

#include <QInputDialog>
#include <QMessageBox>

namespace kirvan {

namespace {
QMessageBox::Icon toQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Error:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return QMessageBox::Ok;
    case Dialogs::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}
} // namespace

void QtDialogs::notice(const QString& caption, const QString& text, Icon icon)
{
    // At most the newest ten stand in the window; a trouble that comes back again and again must
    // not grow it without end.
    constexpr qsizetype shownAtMost = 10;
    QMessageBox* box = notice_.data();
    if (!box || !box->isVisible()) {
        noticeTexts_.clear();
        box = new QMessageBox(toQt(icon), caption, text, QMessageBox::Ok, parent_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        notice_ = box;
    }
    noticeTexts_ << text;
    if (noticeTexts_.size() > shownAtMost)
        noticeTexts_.removeFirst();
    box->setWindowTitle(caption);
    box->setIcon(toQt(icon));
    box->setText(noticeTexts_.join(QStringLiteral("\n\n")));
    box->show();
}

Dialogs::Answer QtDialogs::messageBox(const QString& caption, const QString& text, Icon icon, Buttons buttons)
{
    QMessageBox box(toQt(icon), caption, text, toQt(buttons), parent_);
    // An Enter meant for the alarm must not agree to what is asked ("Завершить работу программы?").
    if (buttons == Buttons::YesNo)
        box.setDefaultButton(QMessageBox::No);
    // A box closed by the program's stop was answered by nobody: it counts as cancelled.
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> QtDialogs::inputBox(const QString& caption, const QString& prompt, const QString& text)
{
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    fitCaption(dialog);
    return dialog.exec() == QDialog::Accepted ? std::optional<QString>(dialog.textValue()) : std::nullopt;
}

std::optional<QString> QtDialogs::openFile(const QString& caption, const QString& filter, const QString& folder)
{
    return chooseFile(parent_, FileChoice::Open, caption, filter, folder);
}

} // namespace kirvan
