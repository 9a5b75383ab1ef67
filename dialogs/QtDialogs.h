#pragma once

#include "platform/Dialogs.h"

#include <QMessageBox>
#include <QPointer>
#include <QStringList>

class QWidget;

namespace kirvan {

// The dialogs on Qt's widgets, owned by the main window.
class QtDialogs final : public Dialogs {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    void notice(const QString& caption, const QString& text, Icon icon) override;
    Answer messageBox(const QString& caption, const QString& text, Icon icon, Buttons buttons) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& text) override;
    std::optional<QString> openFile(const QString& caption, const QString& filter, const QString& folder) override;

private:
    QWidget* parent_ = nullptr;
    // The notice window while it is open, and the newest of the notices it shows.
    QPointer<QMessageBox> notice_;
    QStringList noticeTexts_;
};

} // namespace kirvan
