#include "access/PasswordHash.h"
#include "access/UserFile.h"
#include "tools/kirvan-tool/ToolCommand.h"
#include "files/IniStore.h"
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
    int run(const QStringList& arguments, QString input = {})
    {
        out.clear();
        err.clear();
        QTextStream inStream(&input);
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status = runToolCommand(arguments, ToolPlatform{store, loop, clock, locale, {}, HashCost::cheapest()},
                                          inStream, outStream, errStream);
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
    QString out;
    QString err;
};

TEST_F(UserCommandTest, AddsChangesListsAndRemovesUsers)
{
    const QString dir = folder.path();
    ASSERT_EQ(run({u"user"_s, u"add"_s, u"Иванов"_s, u"--level"_s, u"2"_s, u"--dir"_s, dir, u"--password-stdin"_s},
                  u"пароль\n"_s),
              ToolOk)
        << err.toStdString();
    ASSERT_EQ(run({u"user"_s, u"add"_s, u"Петров"_s, u"--level"_s, u"3"_s, u"--dir"_s, dir, u"--password-stdin"_s},
                  u"секрет\n"_s),
              ToolOk);
    EXPECT_EQ(run({u"user"_s, u"list"_s, u"--dir"_s, dir}), ToolOk);
    EXPECT_EQ(out, u"Иванов\t2\nПетров\t3\n"_s);
    EXPECT_TRUE(verifyPassword(users()->find(u"Иванов"_s)->hash, u"пароль"_s));

    ASSERT_EQ(run({u"user"_s, u"passwd"_s, u"иванов"_s, u"--dir"_s, dir, u"--password-stdin"_s}, u"новый\n"_s), ToolOk);
    EXPECT_TRUE(verifyPassword(users()->find(u"Иванов"_s)->hash, u"новый"_s));
    ASSERT_EQ(run({u"user"_s, u"remove"_s, u"Петров"_s, u"--dir"_s, dir}), ToolOk);
    EXPECT_EQ(users()->users().size(), 1u);
}

TEST_F(UserCommandTest, RefusesWhatWouldBreakTheFile)
{
    const QString dir = folder.path();
    const struct {
        QStringList arguments;
        QString input;
        int status;
    } cases[] = {
        {{u"user"_s, u"add"_s, u"Иванов"_s, u"--dir"_s, dir, u"--password-stdin"_s}, u"x\n"_s, ToolUsage},
        {{u"user"_s, u"add"_s, u"Иванов"_s, u"--level"_s, u"4"_s, u"--dir"_s, dir}, {}, ToolUsage},
        {{u"user"_s, u"add"_s, u"Ива:нов"_s, u"--level"_s, u"2"_s, u"--dir"_s, dir, u"--password-stdin"_s}, u"x\n"_s, ToolFailed},
        {{u"user"_s, u"add"_s, u"Иванов"_s, u"--level"_s, u"2"_s, u"--dir"_s, dir, u"--password-stdin"_s}, u"\n"_s, ToolFailed},
        {{u"user"_s, u"passwd"_s, u"Никто"_s, u"--dir"_s, dir, u"--password-stdin"_s}, u"x\n"_s, ToolFailed},
        {{u"user"_s, u"remove"_s, u"Никто"_s, u"--dir"_s, dir}, {}, ToolFailed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.arguments, c.input), c.status) << c.arguments.join(u' ').toStdString();
    EXPECT_FALSE(users());

    run({u"user"_s, u"add"_s, u"Иванов"_s, u"--level"_s, u"2"_s, u"--dir"_s, dir, u"--password-stdin"_s}, u"x\n"_s);
    EXPECT_EQ(run({u"user"_s, u"add"_s, u"иванов"_s, u"--level"_s, u"3"_s, u"--dir"_s, dir, u"--password-stdin"_s}, u"y\n"_s),
              ToolFailed);
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(UserList::fileName())).constData(), 0666), 0);
    EXPECT_EQ(run({u"user"_s, u"list"_s, u"--dir"_s, dir}), ToolFailed);
    EXPECT_TRUE(err.contains(u"chmod 600"_s)) << err.toStdString();
}

} // namespace
} // namespace kirvan
