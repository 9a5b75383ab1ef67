#include "access/PasswordHash.h"
#include "access/UserFile.h"
#include "tools/kirvan-tool/ToolCommand.h"
#include "files/IniStore.h"
#include "files/WorkstationLock.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

class UserCommandTest : public ::testing::Test {
protected:
    // Runs "user <arguments> --dir <folder>", with the password on standard input when one is given.
    int user(QStringList arguments, QString password = {})
    {
        arguments.prepend(u"user"_s);
        arguments << u"--dir"_s << folder.path();
        if (!password.isNull())
            arguments << u"--password-stdin"_s;
        err.clear();
        out.clear();
        QTextStream in(&password), outStream(&out), errStream(&err);
        const int status = runToolCommand(arguments, ToolPlatform{store, loop, clock, locale, {}, HashCost::cheapest()},
                                          in, outStream, errStream);
        outStream.flush();
        errStream.flush();
        return status;
    }
    std::optional<UserList> users() const { return UserList::load(folder.file(UserList::fileName())); }

    testing::FixedLocale locale;
    testing::FixedClock clock;
    IniStore store{locale};
    testing::VirtualMessageLoop loop;
    testing::TempFolder folder;
    QString out, err;
};

TEST_F(UserCommandTest, AddsChangesListsAndRemovesUsers)
{
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\n"_s);
    ASSERT_EQ(user({u"add"_s, u"Иванов"_s, u"--level"_s, u"2"_s}, u"пароль\n"_s), ToolOk) << err.toStdString();
    EXPECT_TRUE(folder.readText(u"KirvanMonitorP.ini"_s).contains(u"Доступ по паролям=1"_s));
    ASSERT_EQ(user({u"add"_s, u"Петров"_s, u"--level"_s, u"3"_s}, u"секретный\n"_s), ToolOk);
    EXPECT_EQ(user({u"list"_s}), ToolOk);
    EXPECT_EQ(out, u"Иванов\t2\nПетров\t3\n"_s);
    EXPECT_TRUE(verifyPassword(users()->find(u"Иванов"_s)->hash, u"пароль"_s));
    ASSERT_EQ(user({u"passwd"_s, u"иванов"_s}, u"новый\n"_s), ToolOk);
    EXPECT_TRUE(verifyPassword(users()->find(u"Иванов"_s)->hash, u"новый"_s));
    ASSERT_EQ(user({u"remove"_s, u"Петров"_s}), ToolOk);
    EXPECT_EQ(users()->users().size(), 1u);
    EXPECT_EQ(out, QString());
    {
        // The folder's lock tells that a workstation runs there, and takes the change up.
        const auto running = WorkstationLock::acquire(folder.path());
        ASSERT_EQ(user({u"add"_s, u"Петров"_s, u"--level"_s, u"3"_s}, u"секретный\n"_s), ToolOk);
        EXPECT_TRUE(out.startsWith(u"a workstation is running on "_s)) << out.toStdString();
    }
    ASSERT_EQ(user({u"off"_s}), ToolOk);
    EXPECT_FALSE(users());
    EXPECT_TRUE(folder.readText(u"KirvanMonitorP.ini"_s).contains(u"Доступ по паролям=0"_s));
}

TEST_F(UserCommandTest, RefusesWhatWouldBreakTheFile)
{
    const struct {
        QStringList arguments;
        QString password;
        int status;
    } cases[] = {
        {{u"add"_s, u"Иванов"_s}, u"x\n"_s, ToolUsage},
        {{u"add"_s, u"Иванов"_s, u"--level"_s, u"4"_s}, {}, ToolUsage},
        {{u"add"_s, u"Ива:нов"_s, u"--level"_s, u"2"_s}, u"x\n"_s, ToolFailed},
        {{u"add"_s, u"Иванов"_s, u"--level"_s, u"2"_s}, u"\n"_s, ToolFailed},
        {{u"add"_s, u"Иванов"_s, u"--level"_s, u"2"_s}, u"123\n"_s, ToolFailed},
        {{u"add"_s, u"Петров"_s, u"--level"_s, u"3"_s}, u"1234567\n"_s, ToolFailed},
        {{u"passwd"_s, u"Никто"_s}, u"x\n"_s, ToolFailed},
        {{u"remove"_s, u"Никто"_s}, {}, ToolFailed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(user(c.arguments, c.password), c.status) << c.arguments.join(u' ').toStdString();
    EXPECT_FALSE(users());

    user({u"add"_s, u"Иванов"_s, u"--level"_s, u"2"_s}, u"1234\n"_s);
    EXPECT_EQ(user({u"add"_s, u"иванов"_s, u"--level"_s, u"3"_s}, u"12345678\n"_s), ToolFailed);
    EXPECT_EQ(user({u"passwd"_s, u"иванов"_s, u"--level"_s, u"3"_s}, u"1234\n"_s), ToolFailed) << "short for level 3";
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(UserList::fileName())).constData(), 0666), 0);
    EXPECT_EQ(user({u"list"_s}), ToolFailed);
    EXPECT_TRUE(err.contains(u"chmod 600"_s)) << err.toStdString();
}

} // namespace
} // namespace kirvan
