#include "access/AccessControl.h"

#include "access/PasswordHash.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"
#include "platform/Worker.h"

#include <QDateTime>
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
                             Journal journal)
    : loop_(loop),
      dialogs_(dialogs),
      userFile_(std::move(userFile)),
      journal_(std::move(journal)),
      users_(UserList::load(userFile_)),
      idleTimer_(loop.createTimer()),
      verifier_(std::move(verifier))
{
    idleTimer_->setOnTimer([this] { idleExpired(); });
    userFileSeen_ = userFileSignature(userFile_);
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
    dialogs_.notice(QStringLiteral("Доступ запрещён"),
                    QStringLiteral("«%1» требует уровня доступа %2. Войдите: «Режим» → «Вход оператора…» (Ctrl+L).")
                        .arg(caption)
                        .arg(levelNumber(required)),
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
    if (!users_ || !users_->find(name)) {
        done({Outcome::UnknownName, QStringLiteral("Пользователя «%1» нет.").arg(name)});
        return;
    }
    const Failures failures = failures_.value(name.toLower());
    if (failures.lockedUntil > loop_.now()) {
        const std::int64_t minutes = (failures.lockedUntil - loop_.now() + 59'999) / 60'000;
        done({Outcome::Locked, QStringLiteral("После %1 неверных паролей имя «%2» заблокировано; попробуйте через %3 мин.")
                                   .arg(wrongPasswordsToLock)
                                   .arg(name)
                                   .arg(minutes)});
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
    if (!failure.isEmpty()) {
        done({Outcome::Failed, failure});
        return;
    }
    // The file as it is now; without it the workstation goes on restricted as it started.
    if (users)
        users_ = users;
    const User* user = users_->find(name);
    if (!user) {
        changed();
        done({Outcome::UnknownName, QStringLiteral("Пользователя «%1» нет.").arg(name)});
        return;
    }
    Failures& failures = failures_[name.toLower()];
    if (!verified) {
        journal_(QStringLiteral("НЕВЕРНЫЙ ПАРОЛЬ: ") + user->name);
        if (++failures.count >= wrongPasswordsToLock) {
            failures = {0, loop_.now() + lockMs};
            done({Outcome::Locked,
                  QStringLiteral("Неверный пароль. После %1 неверных паролей имя «%2» заблокировано на %3 мин.")
                      .arg(wrongPasswordsToLock)
                      .arg(user->name)
                      .arg(lockMs / 60'000)});
        } else {
            done({Outcome::WrongPassword, QStringLiteral("Неверный пароль.")});
        }
        return;
    }
    failures_.remove(name.toLower());
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
            if (!users)
                return {};
            return [this, users = std::move(*users)] {
                users_ = users;
                journal_(QStringLiteral("ФАЙЛ ПОЛЬЗОВАТЕЛЕЙ ПРИНЯТ: %1, пользователей %2")
                             .arg(UserList::fileName())
                             .arg(users_->users().size()));
                changed();
            };
        } catch (const std::exception& refused) {
            return [this, reason = QString::fromStdString(refused.what())] {
                journal_(QStringLiteral("ФАЙЛ ПОЛЬЗОВАТЕЛЕЙ НЕ ПРИНЯТ: ") + reason);
            };
        }
    });
}

void AccessControl::signOut()
{
    end({});
}

void AccessControl::end(const QString& suffix)
{
    idleTimer_->setEnabled(false);
    if (who_.isEmpty())
        return;
    journal_(QStringLiteral("ВЫХОД ОПЕРАТОРА: ") + who_ + suffix);
    who_.clear();
    level_ = AccessLevel::Everyone;
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
    if (who_.isEmpty() || idleMinutes_ == 0)
        return;
    idleTimer_->setInterval(idleMinutes_ * 60'000);
    idleTimer_->setEnabled(true);
}

void AccessControl::idleExpired()
{
    if ((alarmAnnounced_ && alarmAnnounced_()) || (typing_ && typing_())) {
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
