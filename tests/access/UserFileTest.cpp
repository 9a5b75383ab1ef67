#include "access/PasswordHash.h"
#include "access/UserFile.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

class UserFileTest : public ::testing::Test {
protected:
    QString path() const { return folder.file(UserList::fileName()); }
    testing::TempFolder folder;
};

TEST_F(UserFileTest, KeepsNamesLevelsAndHashesOwnerOnly)
{
    EXPECT_FALSE(UserList::load(path())); // no file restricts nothing
    UserList users;
    users.put({u"Иванов"_s, AccessLevel::Operator, hashPassword(u"один"_s, HashCost::cheapest())});
    users.put({u"Инженер"_s, AccessLevel::Engineer, hashPassword(u"два"_s, HashCost::cheapest())});
    users.save(path());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const auto loaded = UserList::load(path());
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->users().size(), 2u);
    const User* engineer = loaded->find(u"инженер"_s);
    ASSERT_TRUE(engineer);
    EXPECT_EQ(engineer->level, AccessLevel::Engineer);
    EXPECT_TRUE(verifyPassword(engineer->hash, u"два"_s));
    EXPECT_FALSE(verifyPassword(engineer->hash, u"один"_s));
    EXPECT_TRUE(folder.read(UserList::fileName()).contains(QByteArray("\xc8\xe2\xe0\xed\xee\xe2:2:$argon2id$")));
}

TEST_F(UserFileTest, RefusesWhatCannotBeTrusted)
{
    const QString hash = QString::fromLatin1(hashPassword(u"x"_s, HashCost::cheapest()));
    const struct {
        QString content;
        mode_t mode;
        QString reason;
    } cases[] = {
        {u"Иванов:2:"_s + hash, 0620, u"другие пользователи (права 620)"_s},
        {u"Иванов:2:"_s + hash, 0602, u"chmod 600"_s},
        {u"Иванов:2"_s, 0600, u"строка 1: ожидается ИМЯ:УРОВЕНЬ:ХЭШ"_s},
        {u"# note\n\nИванов:4:"_s + hash, 0600, u"строка 3: уровень доступа «4»"_s},
        {u"Иванов:2:plain"_s, 0600, u"не в форме Argon2id"_s},
        {u"Иванов:2:"_s + hash + u"\nиванов:3:"_s + hash, 0600, u"строка 2: имя иванов уже было"_s},
    };
    for (const auto& c : cases) {
        folder.writeText(UserList::fileName(), c.content);
        ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), c.mode), 0);
        try {
            UserList::load(path());
            ADD_FAILURE() << c.content.toStdString();
        } catch (const UserFileRefused& refused) {
            EXPECT_TRUE(refused.reason().contains(c.reason)) << refused.reason().toStdString();
        }
    }
    // Written in UTF-8: said so, not quoted back as gibberish.
    folder.write(UserList::fileName(), (u"Иванов:4:"_s + hash).toUtf8());
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0600), 0);
    try {
        UserList::load(path());
        ADD_FAILURE() << "UTF-8 taken";
    } catch (const UserFileRefused& refused) {
        EXPECT_TRUE(refused.reason().startsWith(u"он записан в кодировке UTF-8"_s)) << refused.reason().toStdString();
    }
    for (const QString& bad : {u""_s, u" Иванов"_s, u"Ива:нов"_s, u"#Иванов"_s, u"Ivan\tov"_s, u"Ω"_s})
        EXPECT_FALSE(UserList::nameProblem(bad).isEmpty()) << bad.toStdString();
    EXPECT_TRUE(UserList::nameProblem(u"Иванов И.И."_s).isEmpty());
}

} // namespace
} // namespace kirvan
