#pragma once

#include "platform/Dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace kirvan::testing {

// Dialogs answered in advance, so that headless tests never wait for an operator. Every dialog
// shown is recorded; without a prepared answer a message box is confirmed and an input or file
// dialog is cancelled.
class RecordingDialogs final : public Dialogs {
public:
    struct Shown {
        QString caption;
        QString text;
    };

    void notice(const QString& caption, const QString& text, Icon) override
    {
        shown.push_back({caption, text});
        ++notices;
        if (whileShown)
            whileShown();
    }
    Answer messageBox(const QString& caption, const QString& text, Icon, Buttons buttons) override
    {
        shown.push_back({caption, text});
        if (whileShown)
            whileShown();
        if (!answers.empty()) {
            const Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString&) override
    {
        shown.push_back({caption, prompt});
        if (whileShown)
            whileShown();
        return take(inputs);
    }
    std::optional<QString> openFile(const QString& caption, const QString& filter, const QString& folder) override
    {
        shown.push_back({caption, filter});
        openedIn.push_back(folder);
        if (whileShown)
            whileShown();
        return take(files);
    }

    // Dialogs and notices in the order shown; how many of them were notices.
    std::vector<Shown> shown;
    std::size_t notices = 0;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs;
    std::deque<std::optional<QString>> files;
    // The folder each file dialog opened in.
    std::vector<QString> openedIn;
    // Runs while a dialog is "open", as handlers run inside its own loop; also at a notice, which
    // the code must take as a point where anything may have happened.
    std::function<void()> whileShown;

private:
    static std::optional<QString> take(std::deque<std::optional<QString>>& prepared)
    {
        if (prepared.empty())
            return std::nullopt;
        // Taken apart and put together again: copying the optional itself makes optimising
        // compilers warn about its unused storage.
        const bool given = prepared.front().has_value();
        QString value = prepared.front().value_or(QString());
        prepared.pop_front();
        return given ? std::optional<QString>(std::move(value)) : std::nullopt;
    }
};

} // namespace kirvan::testing
