#include "access/SessionDialogs.h"

namespace kirvan {

bool SessionDialogs::outlived(std::uint64_t opened)
{
    if (session() == opened)
        return false;
    shown_.notice(QStringLiteral("Ответ не принят"),
                  QStringLiteral("Пока окно было открыто, оператор вышел по времени: ответ не принят, команда не "
                                 "выполнена. Войдите и повторите её."),
                  Icon::Warning);
    return true;
}

void SessionDialogs::notice(const QString& caption, const QString& text, Icon icon)
{
    shown_.notice(caption, text, icon);
}

Dialogs::Answer SessionDialogs::messageBox(const QString& caption, const QString& text, Icon icon, Buttons buttons)
{
    const std::uint64_t opened = session();
    const Answer answer = shown_.messageBox(caption, text, icon, buttons);
    if (buttons == Buttons::Ok || !outlived(opened))
        return answer;
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<QString> SessionDialogs::inputBox(const QString& caption, const QString& prompt, const QString& text)
{
    const std::uint64_t opened = session();
    auto answer = shown_.inputBox(caption, prompt, text);
    return answer && outlived(opened) ? std::nullopt : answer;
}

std::optional<QString> SessionDialogs::openFile(const QString& caption, const QString& filter, const QString& folder)
{
    const std::uint64_t opened = session();
    auto answer = shown_.openFile(caption, filter, folder);
    return answer && outlived(opened) ? std::nullopt : answer;
}

} // namespace kirvan
