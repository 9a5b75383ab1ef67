#include "access/AccessControl.h"

#include "access/PasswordHash.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"
#include "platform/Worker.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace kirvan {

namespace {

// What tells a changed user file: a new file is renamed over the old one, so its times change.
QString userFileSignature(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    return QStringLiteral("%1 %2 %3")
        .arg(file.size())
        .arg(file.lastModified().toMSecsSinceEpoch())
        .arg(file.metadataChangeTime().toMSecsSinceEpoch());
}

} // namespace

AccessControl::AccessControl(MessageLoop& loop, Dialogs& dialogs, std::unique_ptr<Worker> verifier, QString userFile,
                             bool controlled, Journal journal)
    : loop_(loop),
      dialogs_(dialogs),
      userFile_(std::move(userFile)),
      journal_(std::move(journal)),
      delaysFile_(QFileInfo(userFile_).dir().filePath(SignInDelays::fileName())),
      delays_(SignInDelays::load(delaysFile_, loop.now())),
      controlled_(controlled),
      idleTimer_(loop.createTimer()),
      verifier_(std::move(verifier))
{
    idleTimer_->setOnTimer([this] { idleExpired(); });
    try {
        takeUp(UserList::load(userFile_), {});
    } catch (const UserFileRefused& refused) {
        // Refusing to start would leave the complex unwatched; before access was ever
        // controlled, nobody relies on it and the file is to be put right first.
        if (!controlled_)
            throw;
        takeUp(std::nullopt, QString::fromStdString(refused.what()));
    }
}

void AccessControl::takeUp(const std::optional<UserList>& users, const QString& failure)
{
    if (users) {
        users_ = users;
        controlled_ = true;
        if (closed()) {
            closedReason_.clear();
            journal_(QStringLiteral("ДОСТУП ОТКРЫТ: файл пользователей снова в силе"));
            changed();
        }
        return;
    }
    if (!controlled_)
        return;
    close(failure.isEmpty() ? QStringLiteral("нет файла пользователей %1").arg(userFile_) : failure);
}

void AccessControl::close(const QString& reason)
{
    users_.reset();
    end({});
    if (reason == closedReason_)
        return;
    closedReason_ = reason;
    journal_(QStringLiteral("ДОСТУП ЗАКРЫТ: ") + reason);
    changed();
}

AccessControl::~AccessControl() = default;

AccessLevel AccessControl::level() const
{
    return restricted() ? level_ : AccessLevel::Engineer;
}

QString AccessControl::statusText() const
{
    if (!restricted())
        return QStringLiteral("ДОСТУП НЕ ОГРАНИЧЕН");
    if (closed())
        return QStringLiteral("ДОСТУП ЗАКРЫТ, уровень 1: ") + closedReason_;
    if (who_.isEmpty())
        return QStringLiteral("ОПЕРАТОР НЕ ВОШЁЛ, уровень 1");
    return QStringLiteral("ОПЕРАТОР: %1, уровень %2").arg(who_).arg(levelNumber(level_));
}

QStringList AccessControl::names() const
{
    QStringList names;
    if (users_)
        for (const User& user : users_->users())
            names << user.name;
    return names;
}

bool AccessControl::permit(ConsoleCommand command, const QString& caption)
{
    const AccessLevel required = requiredLevel(command);
    if (level() >= required)
        return true;
    journal_(QStringLiteral("ДОСТУП ЗАПРЕЩЕН: ") + caption);
    const QString how
        = closed() ? QStringLiteral("Вход невозможен: %1. Доступ откроет команда kirvan-tool user.").arg(closedReason_)
                   : QStringLiteral("Войдите: «Режим» → «Вход оператора…» (Ctrl+L).");
    dialogs_.notice(QStringLiteral("Доступ запрещён"),
                    QStringLiteral("«%1» требует уровня доступа %2. %3").arg(caption).arg(levelNumber(required)).arg(how),
                    Dialogs::Icon::Warning);
    return false;
}

void AccessControl::performed(ConsoleCommand command, const QString& caption)
{
    if (requiredLevel(command) >= AccessLevel::Operator)
        audit(caption);
}

void AccessControl::run(ConsoleCommand command, const QString& caption, const std::function<void()>& execute)
{
    if (!permit(command, caption))
        return;
    execute();
    performed(command, caption);
}

void AccessControl::audit(const QString& caption)
{
    journal_(who_.isEmpty() ? QStringLiteral("ДЕЙСТВИЕ ОПЕРАТОРА: ") + caption
                            : QStringLiteral("ДЕЙСТВИЕ ОПЕРАТОРА %1: %2").arg(who_, caption));
}

void AccessControl::signIn(const QString& name, const QString& password, std::function<void(const SignInResult&)> done)
{
    if (verifying_) {
        done({Outcome::Busy, QStringLiteral("Пароль ещё проверяется.")});
        return;
    }
    // Closed, the file is looked at again: kirvan-tool may have put it back.
    if (!closed() && (!users_ || !users_->find(name))) {
        done({Outcome::UnknownName, QStringLiteral("Пользователя «%1» нет.").arg(name)});
        return;
    }
    if (const std::int64_t wait = delays_.waitMs(name, loop_.now()); wait > 0) {
        const User* user = users_ ? users_->find(name) : nullptr;
        const QString known = user ? user->name : name;
        const std::int64_t seconds = (wait + 999) / 1000;
        journal_(QStringLiteral("ВХОД ОТЛОЖЕН: %1, ещё %2 с").arg(known).arg(seconds));
        done({Outcome::Waiting,
              QStringLiteral("После неверных паролей имя «%1» ждёт: следующая попытка через %2 с.").arg(known).arg(seconds)});
        return;
    }
    verifying_ = true;
    verifier_->post([this, path = userFile_, name, password, done = std::move(done)](std::stop_token) -> Worker::Routine {
        std::optional<UserList> users;
        QString failure;
        bool verified = false;
        try {
            users = UserList::load(path);
            const User* user = users ? users->find(name) : nullptr;
            verified = user && verifyPassword(user->hash, password);
        } catch (const std::exception& error) {
            failure = QString::fromStdString(error.what());
        }
        return [this, name, verified, users = std::move(users), failure, done] {
            finishSignIn(name, verified, users, failure, done);
        };
    });
}

void AccessControl::finishSignIn(const QString& name, bool verified, const std::optional<UserList>& users,
                                 const QString& failure, const std::function<void(const SignInResult&)>& done)
{
    verifying_ = false;
    // The file as it is now; gone or refused, it closes access.
    takeUp(users, failure);
    if (closed()) {
        done({Outcome::Failed, QStringLiteral("Вход невозможен: %1.").arg(closedReason_)});
        return;
    }
    const User* user = users_ ? users_->find(name) : nullptr;
    if (!user) {
        changed();
        done({Outcome::UnknownName, QStringLiteral("Пользователя «%1» нет.").arg(name)});
        return;
    }
    if (!verified) {
        journal_(QStringLiteral("НЕВЕРНЫЙ ПАРОЛЬ: ") + user->name);
        delays_.failed(name, loop_.now());
        saveDelays();
        done({Outcome::WrongPassword, QStringLiteral("Неверный пароль. Следующая попытка — через %1 с.")
                                          .arg((delays_.waitMs(name, loop_.now()) + 999) / 1000)});
        return;
    }
    if (delays_.failures(name) > 0) {
        delays_.succeeded(name);
        saveDelays();
    }
    if (!who_.isEmpty())
        journal_(QStringLiteral("ВЫХОД ОПЕРАТОРА: ") + who_);
    who_ = user->name;
    level_ = user->level;
    journal_(QStringLiteral("ВХОД ОПЕРАТОРА: %1, уровень %2").arg(who_).arg(levelNumber(level_)));
    armIdleTimer();
    changed();
    done({Outcome::SignedIn, {}});
}

void AccessControl::lookAtUserFile()
{
    if (verifier_->busy())
        return;
    verifier_->post([this](std::stop_token) -> Worker::Routine {
        const QString seen = userFileSignature(userFile_);
        if (seen == userFileSeen_)
            return {};
        userFileSeen_ = seen;
        try {
            std::optional<UserList> users = UserList::load(userFile_);
            if (!users) // gone: access closes if it was controlled
                return [this] { takeUp(std::nullopt, {}); };
            return [this, users = std::move(*users)] {
                journal_(QStringLiteral("ФАЙЛ ПОЛЬЗОВАТЕЛЕЙ ПРИНЯТ: %1, пользователей %2")
                             .arg(UserList::fileName())
                             .arg(users.users().size()));
                takeUp(users, {});
                changed();
            };
        } catch (const std::exception& refused) {
            return [this, reason = QString::fromStdString(refused.what())] {
                journal_(QStringLiteral("ФАЙЛ ПОЛЬЗОВАТЕЛЕЙ НЕ ПРИНЯТ: ") + reason);
                takeUp(std::nullopt, reason);
            };
        }
    });
}

void AccessControl::saveDelays()
{
    // On the verifier's thread, after the verification under way: the main thread never waits
    // for the disk. A count not written costs a guesser a minute at most.
    verifier_->post([path = delaysFile_, delays = delays_](std::stop_token) -> Worker::Routine {
        try {
            delays.save(path);
        } catch (const std::exception&) {}
        return {};
    });
}

void AccessControl::signOut()
{
    end({});
}

void AccessControl::end(const QString& suffix)
{
    idleTimer_->setEnabled(false);
    heldSince_ = -1;
    if (who_.isEmpty())
        return;
    ++session_;
    journal_(QStringLiteral("ВЫХОД ОПЕРАТОРА: ") + who_ + suffix);
    who_.clear();
    level_ = AccessLevel::Everyone;
    if (onSessionEnd_)
        onSessionEnd_();
    changed();
}

void AccessControl::activity()
{
    if (idleTimer_->enabled())
        armIdleTimer();
}

void AccessControl::setIdleMinutes(int minutes)
{
    // At most a day: longer means never in practice, and the milliseconds stay in range.
    idleMinutes_ = std::clamp(minutes, 0, 24 * 60);
    armIdleTimer();
}

void AccessControl::armIdleTimer()
{
    idleTimer_->setEnabled(false);
    heldSince_ = -1;
    if (who_.isEmpty() || idleMinutes_ == 0)
        return;
    idleTimer_->setInterval(idleMinutes_ * 60'000);
    idleTimer_->setEnabled(true);
}

void AccessControl::idleExpired()
{
    const bool alarm = alarmAnnounced_ && alarmAnnounced_();
    const bool typing = typing_ && typing_();
    if (typing && heldSince_ < 0)
        heldSince_ = loop_.now();
    // A window left open must not keep the session for whoever comes along.
    const bool heldLong = typing && loop_.now() - heldSince_ >= std::int64_t(idleMinutes_) * 60'000;
    if (alarm || (typing && !heldLong)) {
        idleTimer_->setInterval(holdRetryMs);
        return;
    }
    end(QStringLiteral(" (по времени)"));
}

void AccessControl::changed()
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
