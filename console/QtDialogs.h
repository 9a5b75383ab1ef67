#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace kirvan {

// The dialogs on Qt's widgets, owned by the main window.
class QtDialogs final : public Dialogs {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    Answer messageBox(const QString& caption, const QString& text, Icon icon, Buttons buttons) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& text) override;
    std::optional<QString> openFile(const QString& caption, const QString& filter) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace kirvan
