#include "files/SettingsFile.h"

#include "files/FileWriteError.h"
#include "files/IniStore.h"
#include "files/SettingsKeys.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

class SettingsFileTest : public ::testing::Test {
protected:
    testing::FixedLocale locale;
    IniStore store{locale};
    TempFolder folder;
};

TEST_F(SettingsFileTest, FirstStartCreatesExactlyTheDefaultLines)
{
    const SettingsFile settings(store, WorkstationFolder(folder.path()));
    EXPECT_TRUE(settings.firstStart());
    EXPECT_EQ(folder.read(u"KirvanMonitorP.ini"_s),
              testing::crlf1251(u"[Настройки]\nCOM-порт=1\nТаблица=0\n[ОБЩИЙ ПЛАН]\n0=\n"
                                u"[АДРЕС]\n00=\n01=\n02=\n03=\n"_s));
}

TEST_F(SettingsFileTest, SecondStartFindsTheFileAndWritesNothing)
{
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nCOM-порт=3\n"_s);
    const QDateTime written = QFileInfo(folder.file(u"KirvanMonitorP.ini"_s)).lastModified();
    const SettingsFile settings(store, WorkstationFolder(folder.path()));
    EXPECT_FALSE(settings.firstStart());
    EXPECT_EQ(folder.readText(u"KirvanMonitorP.ini"_s), u"[Настройки]\r\nCOM-порт=3\r\n"_s);
    EXPECT_EQ(QFileInfo(folder.file(u"KirvanMonitorP.ini"_s)).lastModified(), written);
}

// The broker's password is read by the workstation's user only, whatever the umask and however
// the file came to hold it; a folder anybody else may change is not trusted at all.
TEST_F(SettingsFileTest, SettingsAreOwnerOnlyAndTheFolderNobodyElsesToChange)
{
    const mode_t umaskBefore = ::umask(002);
    {
        const SettingsFile created(store, WorkstationFolder(folder.path()));
    }
    const auto mode = [](const QString& path) { return QFileInfo(path).permissions(); };
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    EXPECT_EQ(mode(folder.file(u"KirvanMonitorP.ini"_s)), ownerOnly);
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[MQTT]\nПароль=секрет\n"_s);
    ::chmod(QFile::encodeName(folder.file(u"KirvanMonitorP.ini"_s)).constData(), 0644);
    const SettingsFile opened(store, WorkstationFolder(folder.path()));
    EXPECT_EQ(mode(folder.file(u"KirvanMonitorP.ini"_s)), ownerOnly);

    const QString created = folder.file(u"данные/kirvanmonitorp"_s);
    ASSERT_TRUE(createPrivateFolder(created));
    EXPECT_FALSE(mode(created) & (QFile::WriteGroup | QFile::WriteOther));
    ::umask(umaskBefore);
    EXPECT_EQ(folderTrustProblem(created), QString());
    for (const mode_t open : {0777, 0775, 0757, 01777}) {
        ::chmod(QFile::encodeName(created).constData(), open);
        EXPECT_TRUE(folderTrustProblem(created).endsWith(u"chmod go-w "_s + created)) << std::oct << open;
    }
}

TEST_F(SettingsFileTest, SettingsFileIsFoundWhateverTheCaseOfItsName)
{
    folder.writeText(u"kirvanmonitorp.INI"_s, u"[Настройки]\nCOM-порт=4\n"_s);
    SettingsFile settings(store, WorkstationFolder(folder.path()));
    EXPECT_FALSE(settings.firstStart());
    EXPECT_EQ(settings.ini().readInteger(settings::sectionSettings, settings::keyComPort, 1), 4);
}

TEST_F(SettingsFileTest, SystemFileWrittenOnWindowsMapsThroughTheDrivesSection)
{
    folder.writeText(u"KirvanMonitorP.ini"_s,
                     u"[АДРЕС]\n00=\n01=D:\\Объекты\\Склад.cnf\n02=E:\\Дом.cnf\n03=Объекты\\Цех.cnf\n"
                     u"[Диски]\nD=/srv/kirvan/D\n"_s);
    const SettingsFile settings(store, WorkstationFolder(folder.path()));
    EXPECT_EQ(settings.systemFile(SettingsFile::addressKey(0)), QString());
    EXPECT_EQ(settings.systemFile(SettingsFile::addressKey(1)), u"/srv/kirvan/D/Объекты/Склад.cnf"_s);
    EXPECT_EQ(settings.systemFile(SettingsFile::addressKey(2)), folder.file(u"drives/E/Дом.cnf"_s));
    EXPECT_EQ(settings.systemFile(SettingsFile::addressKey(3)), folder.file(u"Объекты/Цех.cnf"_s));
}

TEST_F(SettingsFileTest, UncreatableSettingsFileIsReported)
{
    EXPECT_THROW(SettingsFile(store, WorkstationFolder(folder.file(u"no/such/folder"_s))), FileWriteError);
}

TEST(WorkstationFolderTest, FilesOfTheWorkstationLieInItsFolder)
{
    const WorkstationFolder folder(u"/srv/post1"_s);
    EXPECT_EQ(folder.settingsFile(), u"/srv/post1/KirvanMonitorP.ini"_s);
    EXPECT_EQ(folder.complexFile(), u"/srv/post1/kirvanmonitorp.cnf"_s);
    EXPECT_EQ(folder.logFile(), u"/srv/post1/KirvanMonitorP.txt"_s);
    EXPECT_EQ(folder.mailboxFile(), u"/srv/post1/KirvanMonitorP.cds"_s);
}

} // namespace
} // namespace kirvan
