#pragma once

#include <QString>
#include <optional>

namespace kirvan {

// Dialogs of the main window. The modal ones are questions the operator must answer; they keep
// processing messages while open, so handlers run meanwhile, as in every wait. Notices about the
// program's own troubles never block the window: an alarm must stay answerable (F6, F7) while
// one is shown.
class Dialogs {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;
    // A notice that leaves the window free and returns at once; notices that come while one is
    // shown join it.
    virtual void notice(const QString& caption, const QString& text, Icon icon) = 0;
    // Captions are the program's own ("Ошибка", "Предупреждение", "ВНИМАНИЕ"). A Yes/No question
    // takes No as its default button: Enter alone never agrees to it.
    virtual Answer messageBox(const QString& caption, const QString& text, Icon icon, Buttons buttons = Buttons::Ok) = 0;
    // A caption, a prompt and an editable text with OK and Cancel; nothing on Cancel.
    virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& text) = 0;
    // A file to open, the dialog opening in `folder`; nothing when the operator cancels.
    virtual std::optional<QString> openFile(const QString& caption, const QString& filter, const QString& folder) = 0;
};

} // namespace kirvan
