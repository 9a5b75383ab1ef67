#pragma once

#include "access/AccessLevel.h"
#include "access/SignInDelays.h"
#include "access/UserFile.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace kirvan {

class Dialogs;
class MessageLoop;
class Timer;
class Worker;

// Who is signed in at the console and what he may do: the one gate every command of the console
// passes, the operator's sign-in and sign-out, the slowing down of a name after wrong passwords
// and the sign-out after a time without input. Without a user file nothing is restricted and
// every command runs as it always has; its audit line is then written without a name. Once access
// has been controlled, a user file that is gone or cannot be trusted closes access instead: the
// console keeps watching at level 1, and only kirvan-tool user opens it again.
class AccessControl {
public:
    // One line of the journal in the start/stop form; the caller puts date and time before it.
    using Journal = std::function<void(const QString& text)>;

    static constexpr int defaultIdleMinutes = 15;
    // While an alarm is announced or the operator types, the sign-out waits and looks again.
    static constexpr int holdRetryMs = 1000;
    // How often the workstation looks whether the user file appeared or changed.
    static constexpr int userFileLookMs = 2000;

    // Reads the user file and the counts of wrong passwords beside it. `controlled`: the settings
    // say access has been controlled; then a missing or untrusted file closes access, else a
    // missing file leaves it open and an untrusted one throws UserFileRefused. Passwords are
    // verified by `verifier`, never on the main thread.
    AccessControl(MessageLoop& loop, Dialogs& dialogs, std::unique_ptr<Worker> verifier, QString userFile,
                  bool controlled, Journal journal);
    ~AccessControl();

    bool restricted() const { return users_.has_value() || closed(); }
    // A user file has been in force: the settings are to record it.
    bool controlled() const { return controlled_; }
    // The user file has gone or cannot be trusted since access was controlled.
    bool closed() const { return !closedReason_.isEmpty(); }
    // The engineer's level when nothing is restricted.
    AccessLevel level() const;
    // The signed-in user's name; empty when nobody is signed in.
    const QString& who() const { return who_; }
    // For the status bar: "ДОСТУП НЕ ОГРАНИЧЕН", "ОПЕРАТОР: Иванов, уровень 2",
    // "ОПЕРАТОР НЕ ВОШЁЛ, уровень 1" or "ДОСТУП ЗАКРЫТ, уровень 1: <why>".
    QString statusText() const;
    // The names to choose from at sign-in, as the file had them at the last look.
    QStringList names() const;

    // True when the level allows the command; otherwise a short notice and the journal line
    // "ДОСТУП ЗАПРЕЩЕН: <caption>". Never hides anything.
    bool permit(ConsoleCommand command, const QString& caption);
    // After a command of level 2 or 3 has run: "ДЕЙСТВИЕ ОПЕРАТОРА NAME: <caption>".
    void performed(ConsoleCommand command, const QString& caption);
    // permit, the command, performed.
    void run(ConsoleCommand command, const QString& caption, const std::function<void()>& execute);
    // The audit line of any action, also of level 1.
    void audit(const QString& caption);

    enum class Outcome { SignedIn, WrongPassword, Waiting, UnknownName, Busy, Failed };
    struct SignInResult {
        Outcome outcome;
        QString message; // for the sign-in window, in Russian; empty on success
    };
    // Verifies the password on the worker and hands the result to `done` on the main thread; the
    // caller never waits for it. The user file is read again there, so a user added, changed or
    // removed with kirvan-tool counts at once.
    void signIn(const QString& name, const QString& password, std::function<void(const SignInResult&)> done);
    // Looks on the verifier's worker whether the user file appeared or changed since the last
    // look (made with kirvan-tool while the workstation runs) and takes it up with a journal line
    // ("ФАЙЛ ПОЛЬЗОВАТЕЛЕЙ ПРИНЯТ: …"); a file that cannot be trusted is said and passed over,
    // and a file gone changes nothing, as at sign-in.
    void lookAtUserFile();
    // "ВЫХОД ОПЕРАТОРА: NAME"; nothing when nobody is signed in.
    void signOut();
    // Keyboard or mouse input: the time without input starts anew.
    void activity();
    // 0: never signed out for lack of input.
    void setIdleMinutes(int minutes);
    // Counts every sign-out: a dialog opened in one session may not finish its command in a
    // later one.
    std::uint64_t session() const { return session_; }
    // What holds off the sign-out for lack of input: an alarm announced, as long as it is; the
    // operator typing in an open window, for the idle time once more at most.
    void setAlarmHold(std::function<bool()> alarmAnnounced) { alarmAnnounced_ = std::move(alarmAnnounced); }
    void setTypingHold(std::function<bool()> typing) { typing_ = std::move(typing); }
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }
    // Somebody signed in has been signed out, by himself, by time or by access closing.
    void setOnSessionEnd(std::function<void()> handler) { onSessionEnd_ = std::move(handler); }

private:
    void takeUp(const std::optional<UserList>& users, const QString& failure);
    void close(const QString& reason);
    void saveDelays();
    void finishSignIn(const QString& name, bool verified, const std::optional<UserList>& users, const QString& failure,
                      const std::function<void(const SignInResult&)>& done);
    void end(const QString& suffix);
    void armIdleTimer();
    void idleExpired();
    void changed();

    MessageLoop& loop_;
    Dialogs& dialogs_;
    QString userFile_;
    Journal journal_;
    std::optional<UserList> users_;
    QString who_;
    AccessLevel level_ = AccessLevel::Everyone;
    QString delaysFile_;
    SignInDelays delays_;
    bool controlled_;
    QString closedReason_;
    int idleMinutes_ = defaultIdleMinutes;
    std::uint64_t session_ = 0;
    std::int64_t heldSince_ = -1; // when an open window began holding the sign-out off
    std::function<bool()> alarmAnnounced_;
    std::function<bool()> typing_;
    std::function<void()> onChanged_;
    std::function<void()> onSessionEnd_;
    std::unique_ptr<Timer> idleTimer_;
    bool verifying_ = false;
    // The user file's size and times at the last look (empty: no file); the worker's alone
    // after the start.
    QString userFileSeen_;
    // Last: it goes first, so that no verification hands a result to a half-destroyed gate.
    std::unique_ptr<Worker> verifier_;
};

} // namespace kirvan
