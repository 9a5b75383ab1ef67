#pragma once

#include "platform/Dialogs.h"

#include <cstdint>
#include <functional>

namespace kirvan {

// The questions of the console, asked on behalf of the operator signed in when they open. A
// question left open may outlast his session (it holds the sign-out off for a while only); the
// answer given after that is not his and is taken as a refusal, so the command it belongs to
// needs the level again.
class SessionDialogs final : public Dialogs {
public:
    explicit SessionDialogs(Dialogs& shown) : shown_(shown) {}

    // The number of the session under way (AccessControl::session); until set, one session.
    void setSession(std::function<std::uint64_t()> session) { session_ = std::move(session); }

    void notice(const QString& caption, const QString& text, Icon icon) override;
    Answer messageBox(const QString& caption, const QString& text, Icon icon, Buttons buttons = Buttons::Ok) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& text) override;
    std::optional<QString> openFile(const QString& caption, const QString& filter, const QString& folder) override;

private:
    std::uint64_t session() const { return session_ ? session_() : 0; }
    // True, with a notice, when the session that opened the question has ended since.
    bool outlived(std::uint64_t opened);

    Dialogs& shown_;
    std::function<std::uint64_t()> session_;
};

} // namespace kirvan
