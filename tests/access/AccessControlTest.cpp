#include "access/AccessControl.h"
#include "access/PasswordHash.h"
#include "platform/Worker.h"
#include "tests/support/InlineWorker.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using Outcome = AccessControl::Outcome;

// Holds each job until the test lets it run: the gate must not wait for a verification.
struct HeldWorker final : Worker {
    void post(Job job) override { jobs.push_back(std::move(job)); }
    void cancel() override { jobs.clear(); }
    bool busy() const override { return !jobs.empty(); }
    std::vector<Job> jobs;
};

class AccessControlTest : public ::testing::Test {
protected:
    void make(bool withUsers = true, std::unique_ptr<Worker> worker = std::make_unique<testing::InlineWorker>())
    {
        if (withUsers) {
            UserList users;
            users.put({u"Иванов"_s, AccessLevel::Operator, hashPassword(u"пароль"_s, HashCost::cheapest())});
            users.put({u"Петров"_s, AccessLevel::Engineer, hashPassword(u"секрет"_s, HashCost::cheapest())});
            users.put({u"Сидоров"_s, AccessLevel::Operator, hashPassword(u"сидоров"_s, HashCost::cheapest())});
            users.put({u"Гость"_s, AccessLevel::Everyone, hashPassword(u"гость"_s, HashCost::cheapest())});
            users.save(folder.file(UserList::fileName()));
        }
        access = std::make_unique<AccessControl>(loop, dialogs, std::move(worker), folder.file(UserList::fileName()),
                                                 controlled, [this](const QString& line) { journal << line; });
    }
    Outcome signIn(const QString& name, const QString& password)
    {
        std::optional<Outcome> outcome;
        access->signIn(name, password, [&](const AccessControl::SignInResult& r) { outcome = r.outcome; });
        return outcome.value_or(Outcome::Failed);
    }

    testing::TempFolder folder;
    bool controlled = false;
    testing::VirtualMessageLoop loop;
    testing::RecordingDialogs dialogs;
    QStringList journal;
    std::unique_ptr<AccessControl> access;
};

TEST_F(AccessControlTest, CommandsOfEachLevelAreAllowedOrRefusedAndJournaled)
{
    // Two commands of each level: watching and answering for everyone, the alarm's reset and the
    // program's end for the operator, the plans and the port for the engineer.
    const std::pair<ConsoleCommand, AccessLevel> commands[] = {
        {ConsoleCommand::SoundOff, AccessLevel::Everyone},     {ConsoleCommand::ModulePromptYes, AccessLevel::Everyone},
        {ConsoleCommand::AlarmReset, AccessLevel::Operator},   {ConsoleCommand::Exit, AccessLevel::Operator},
        {ConsoleCommand::PlanEditMode, AccessLevel::Engineer}, {ConsoleCommand::PortChoice, AccessLevel::Engineer},
    };
    const struct {
        QString name, password; // no user file when empty
        AccessLevel level;
        QString auditPrefix;
    } sessions[] = {
        {{}, {}, AccessLevel::Engineer, u"ДЕЙСТВИЕ ОПЕРАТОРА: "_s},
        {u"Гость"_s, u"гость"_s, AccessLevel::Everyone, u"ДЕЙСТВИЕ ОПЕРАТОРА Гость: "_s},
        {u"Иванов"_s, u"пароль"_s, AccessLevel::Operator, u"ДЕЙСТВИЕ ОПЕРАТОРА Иванов: "_s},
        {u"Петров"_s, u"секрет"_s, AccessLevel::Engineer, u"ДЕЙСТВИЕ ОПЕРАТОРА Петров: "_s},
    };
    for (const auto& session : sessions) {
        make(!session.name.isEmpty());
        if (session.name.isEmpty()) {
            EXPECT_FALSE(access->restricted());
            EXPECT_EQ(access->statusText(), u"ДОСТУП НЕ ОГРАНИЧЕН"_s);
            EXPECT_EQ(signIn(u"Иванов"_s, u"пароль"_s), Outcome::UnknownName);
            EXPECT_TRUE(journal.isEmpty());
        } else {
            ASSERT_EQ(signIn(session.name, session.password), Outcome::SignedIn);
        }
        ASSERT_EQ(access->level(), session.level);
        for (const auto& [command, needed] : commands) {
            journal.clear();
            bool ran = false;
            access->run(command, u"Команда"_s, [&] { ran = true; });
            const bool allowed = session.level >= needed;
            EXPECT_EQ(ran, allowed) << int(command);
            const QStringList expected = !allowed ? QStringList{u"ДОСТУП ЗАПРЕЩЕН: Команда"_s}
                                         : needed == AccessLevel::Everyone
                                             ? QStringList{}
                                             : QStringList{session.auditPrefix + u"Команда"_s};
            EXPECT_EQ(journal, expected) << int(command);
        }
    }
}

TEST_F(AccessControlTest, SignInAndOutAreJournaledAndShown)
{
    make();
    EXPECT_EQ(access->statusText(), u"ОПЕРАТОР НЕ ВОШЁЛ, уровень 1"_s);
    EXPECT_EQ(signIn(u"иванов"_s, u"неверно"_s), Outcome::WrongPassword);
    loop.advance(1000); // the next attempt of the name waits a second
    EXPECT_EQ(signIn(u"иванов"_s, u"пароль"_s), Outcome::SignedIn);
    EXPECT_EQ(access->statusText(), u"ОПЕРАТОР: Иванов, уровень 2"_s);
    EXPECT_EQ(signIn(u"Петров"_s, u"секрет"_s), Outcome::SignedIn);
    access->signOut();
    EXPECT_EQ(journal, (QStringList{u"НЕВЕРНЫЙ ПАРОЛЬ: Иванов"_s, u"ВХОД ОПЕРАТОРА: Иванов, уровень 2"_s,
                                    u"ВЫХОД ОПЕРАТОРА: Иванов"_s, u"ВХОД ОПЕРАТОРА: Петров, уровень 3"_s,
                                    u"ВЫХОД ОПЕРАТОРА: Петров"_s}));
    EXPECT_EQ(access->level(), AccessLevel::Everyone);
}

TEST_F(AccessControlTest, VerificationNeverHoldsTheMainThread)
{
    auto worker = std::make_unique<HeldWorker>();
    HeldWorker& held = *worker;
    make(true, std::move(worker));
    std::optional<Outcome> outcome;
    access->signIn(u"Иванов"_s, u"пароль"_s, [&](const AccessControl::SignInResult& r) { outcome = r.outcome; });
    EXPECT_FALSE(outcome);
    EXPECT_EQ(signIn(u"Петров"_s, u"секрет"_s), Outcome::Busy);
    for (Worker::Job& job : std::exchange(held.jobs, {}))
        if (const Worker::Routine routine = job(std::stop_token()))
            routine();
    EXPECT_EQ(outcome, Outcome::SignedIn);
}

// Wrong passwords slow a name down, never lock it out: fifteen on three names within a minute,
// and each still signs in within the minute after; a restart keeps the counts.
TEST_F(AccessControlTest, WrongPasswordsDelayTheNameButNeverLockIt)
{
    make();
    const QString names[] = {u"Иванов"_s, u"Петров"_s, u"Сидоров"_s};
    const QString passwords[] = {u"пароль"_s, u"секрет"_s, u"сидоров"_s};
    // Each name's five wrong passwords, each as soon as it may: waits of 1, 2, 4, 8 s between.
    for (int attempt = 0; attempt < 5; ++attempt) {
        for (const QString& name : names)
            EXPECT_EQ(signIn(name, u"неверно"_s), Outcome::WrongPassword);
        EXPECT_EQ(signIn(names[0], u"пароль"_s), Outcome::Waiting) << "refused unread while the name waits";
        loop.advance(1000 << attempt);
    }
    EXPECT_EQ(journal.count(u"НЕВЕРНЫЙ ПАРОЛЬ: Иванов"_s), 5);
    EXPECT_EQ(journal.filter(u"ВХОД ОТЛОЖЕН: Иванов"_s).size(), 5) << "every refused attempt is a line";

    journal.clear();
    access.reset();
    make(false);
    EXPECT_EQ(signIn(names[1], passwords[1]), Outcome::Waiting) << "the restart kept the delay";
    loop.advance(16'000);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(signIn(names[n], passwords[n]), Outcome::SignedIn) << names[n].toStdString();
    // Never more than a minute, however many.
    for (int attempt = 0; attempt < 12; ++attempt) {
        EXPECT_EQ(signIn(names[0], u"неверно"_s), Outcome::WrongPassword);
        loop.advance(SignInDelays::longestWaitMs);
    }
    EXPECT_EQ(signIn(names[0], passwords[0]), Outcome::SignedIn);
}

// Once access has been controlled, a user file that is gone closes it: level 1, nobody signs
// in, the status bar and one journal line say why; the file back opens it again.
TEST_F(AccessControlTest, VanishedUserFileClosesAccess)
{
    make();
    ASSERT_EQ(signIn(u"Иванов"_s, u"пароль"_s), Outcome::SignedIn);
    EXPECT_TRUE(access->controlled());
    const QString file = folder.file(UserList::fileName());
    ASSERT_TRUE(QFile::rename(file, file + u".away"_s));
    EXPECT_EQ(signIn(u"Петров"_s, u"секрет"_s), Outcome::Failed);
    EXPECT_EQ(access->level(), AccessLevel::Everyone) << "signed out";
    EXPECT_TRUE(access->statusText().startsWith(u"ДОСТУП ЗАКРЫТ, уровень 1: нет файла пользователей"_s));
    EXPECT_FALSE(access->permit(ConsoleCommand::AlarmReset, u"Сброс тревоги"_s));
    EXPECT_EQ(journal.filter(u"ДОСТУП ЗАКРЫТ"_s).size(), 1);

    ASSERT_TRUE(QFile::rename(file + u".away"_s, file));
    EXPECT_EQ(signIn(u"Петров"_s, u"секрет"_s), Outcome::SignedIn);
    EXPECT_FALSE(access->closed());
}

TEST_F(AccessControlTest, SignsOutAfterTheIdleTimeButNeverDuringAnAlarmOrTyping)
{
    make();
    bool alarm = false, typing = false;
    access->setAlarmHold([&] { return alarm; });
    access->setTypingHold([&] { return typing; });
    constexpr std::int64_t minute = 60'000;
    ASSERT_EQ(signIn(u"Иванов"_s, u"пароль"_s), Outcome::SignedIn);
    loop.advance(14 * minute);
    access->activity();
    loop.advance(14 * minute);
    EXPECT_EQ(access->who(), u"Иванов"_s);
    alarm = true;
    loop.advance(10 * minute);
    typing = true;
    alarm = false;
    loop.advance(10 * minute);
    EXPECT_EQ(access->who(), u"Иванов"_s);
    typing = false;
    loop.advance(AccessControl::holdRetryMs);
    EXPECT_TRUE(access->who().isEmpty());
    EXPECT_EQ(journal.back(), u"ВЫХОД ОПЕРАТОРА: Иванов (по времени)"_s);

    // A window left open holds it off for the idle time once more, no longer.
    ASSERT_EQ(signIn(u"Иванов"_s, u"пароль"_s), Outcome::SignedIn);
    const std::uint64_t session = access->session();
    typing = true;
    loop.advance(2 * 15 * minute - 1000);
    EXPECT_EQ(access->who(), u"Иванов"_s);
    loop.advance(1000);
    EXPECT_TRUE(access->who().isEmpty());
    EXPECT_NE(access->session(), session);
    typing = false;

    access->setIdleMinutes(0);
    ASSERT_EQ(signIn(u"Иванов"_s, u"пароль"_s), Outcome::SignedIn);
    loop.advance(24 * 60 * minute);
    EXPECT_EQ(access->who(), u"Иванов"_s);
}

} // namespace
} // namespace kirvan
