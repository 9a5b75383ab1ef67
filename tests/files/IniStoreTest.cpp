#include "files/FileWriteError.h"
#include "tests/support/IniTestSupport.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <fcntl.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace kirvan::testing {
namespace {

// Changes made behind the store's back, the way another program makes them.
void overwriteInPlace(const QString& path, qint64 offset, const QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, bytes.constData(), static_cast<size_t>(bytes.size()), offset), bytes.size());
    ::close(fd);
}

struct stat statOf(const QString& path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

void restoreTimes(const QString& path, const struct stat& old)
{
    const timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

using IniStoreTest = IniFileTest;

TEST_F(IniStoreTest, seesAnInPlaceRewriteOfTheSameSizeAndTimestamp)
{
    writeRaw(QStringLiteral("[A]\r\nk=1\r\n"));
    ASSERT_EQ(file.readInteger(u"A", u"k", 0), 1);
    const struct stat before = statOf(path());

    overwriteInPlace(path(), 7, "2");
    restoreTimes(path(), before);
    ASSERT_EQ(statOf(path()).st_size, before.st_size);

    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 2);
    overwriteInPlace(path(), 7, "3");
    restoreTimes(path(), before);
    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 3);
}

TEST_F(IniStoreTest, seesAReplacementByRename)
{
    writeRaw(QStringLiteral("[A]\r\nk=1\r\n"));
    ASSERT_EQ(file.readInteger(u"A", u"k", 0), 1);
    folder.writeText(QStringLiteral("new.ini"), QStringLiteral("[A]\nk=2\n"));
    ASSERT_EQ(::rename(QFile::encodeName(folder.file(QStringLiteral("new.ini"))).constData(),
                       QFile::encodeName(path()).constData()),
              0);
    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 2);
}

TEST_F(IniStoreTest, seesDeletionAndRecreation)
{
    writeRaw(QStringLiteral("[A]\r\nk=1\r\n"));
    ASSERT_TRUE(file.sectionExists(u"A"));
    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_FALSE(file.sectionExists(u"A"));
    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 0);
    writeRaw(QStringLiteral("[A]\r\nk=5\r\n"));
    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 5);
}

TEST_F(IniStoreTest, seesAChangeMadeThroughAnotherName)
{
    // A change through a hard link elsewhere is not reported for this folder.
    writeRaw(QStringLiteral("[A]\r\nk=1\r\n"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("other")));
    const QString other = folder.file(QStringLiteral("other/link.ini"));
    ASSERT_EQ(::link(QFile::encodeName(path()).constData(), QFile::encodeName(other).constData()), 0);
    ASSERT_EQ(file.readInteger(u"A", u"k", 0), 1);
    const struct stat before = statOf(path());
    overwriteInPlace(other, 7, "2");
    restoreTimes(other, before);
    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 2);
}

TEST_F(IniStoreTest, seesAWriteThroughAMemoryMap)
{
    // Such a write is reported to no watch; only the file's times tell. The kernel moves them on
    // its coarse clock, so the file is given an old time first: a write in the same clock tick
    // as the last change would otherwise leave the times as they were.
    writeRaw(QStringLiteral("[A]\r\nk=1\r\n"));
    struct stat old = statOf(path());
    old.st_mtim = {1'600'000'000, 0};
    restoreTimes(path(), old);
    const int fd = ::open(QFile::encodeName(path()).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    void* mapped = ::mmap(nullptr, 10, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    ASSERT_NE(mapped, MAP_FAILED);
    ASSERT_EQ(::msync(mapped, 10, MS_SYNC), 0);
    ASSERT_EQ(file.readInteger(u"A", u"k", 0), 1);
    static_cast<char*>(mapped)[7] = '2';
    // Still mapped: unmapping closes the file, and that would be reported.
    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 2);
    ::munmap(mapped, 10);
}

TEST_F(IniStoreTest, seesAChangeOfTheFileASymbolicLinkPointsTo)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("other")));
    const QString target = folder.file(QStringLiteral("other/target.ini"));
    folder.writeText(QStringLiteral("other/target.ini"), QStringLiteral("[A]\nk=1\n"));
    ASSERT_TRUE(QFile::link(target, path()));
    ASSERT_EQ(file.readInteger(u"A", u"k", 0), 1);
    const struct stat before = statOf(target);
    overwriteInPlace(target, 7, "2");
    restoreTimes(target, before);
    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 2);
}

TEST_F(IniStoreTest, seesChangesOfMoreFilesThanItKeeps)
{
    const auto name = [](int i) { return QStringLiteral("file%1.ini").arg(i); };
    for (int i = 0; i < 40; ++i)
        folder.writeText(name(i), QStringLiteral("[A]\nk=%1\n").arg(i));
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 40; ++i) {
            const IniFile each(store, folder.file(name(i)));
            EXPECT_EQ(each.readInteger(u"A", u"k", -1), i + 100 * round);
        }
        for (int i = 0; i < 40; ++i)
            folder.writeText(name(i), QStringLiteral("[A]\nk=%1\n").arg(i + 100 * (round + 1)));
    }
}

TEST_F(IniStoreTest, anotherStoreSeesEveryWriteAtOnce)
{
    // Two stores are two programs sharing the file.
    IniStore otherStore{locale};
    IniFile other{otherStore, path()};
    for (int i = 0; i < 20; ++i) {
        file.writeInteger(u"A", u"k", i);
        EXPECT_EQ(other.readInteger(u"A", u"k", -1), i);
        other.writeInteger(u"A", u"j", i);
        EXPECT_EQ(file.readInteger(u"A", u"j", -1), i);
    }
}

TEST_F(IniStoreTest, readsDuringWritesOfAnotherThreadSeeWholeFilesInOrder)
{
    file.writeInteger(u"A", u"k", 0);
    constexpr int writes = 30;
    std::thread writer([this] {
        IniFile own{store, path()};
        for (int i = 1; i <= writes; ++i)
            own.writeInteger(u"A", u"k", i);
    });
    int last = 0;
    while (last < writes) {
        const int now = file.readInteger(u"A", u"k", -1);
        ASSERT_GE(now, last);
        last = now;
    }
    writer.join();
}

TEST_F(IniStoreTest, aCrashDuringAWriteLeavesTheOldFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QByteArray old = bytes1251(QStringLiteral("[A]\r\nk=1\r\n; комментарий\n"));
    folder.write(QStringLiteral("test.ini"), old);
    IniStore crashing{locale, [] { ::_exit(3); }};
    IniFile doomed{crashing, path()};
    EXPECT_EXIT(doomed.writeString(u"A", u"k", u"2"), ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(doomed.writeString(u"B", u"k", u"2"), ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(doomed.eraseSection(u"A"), ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(readRaw(), old);
    EXPECT_EQ(file.readInteger(u"A", u"k", 0), 1);
}

TEST_F(IniStoreTest, aWriteIntoAMissingFolderIsRefused)
{
    const QString missing = folder.file(QStringLiteral("нет папки/Склад.cnf"));
    IniFile nowhere{store, missing};
    try {
        nowhere.writeString(u"A", u"k", u"1");
        FAIL() << "the write went through";
    } catch (const FileWriteError& error) {
        EXPECT_EQ(error.path(), missing);
        EXPECT_EQ(QString::fromStdString(error.what()), QStringLiteral("Unable to write to ") + missing);
    }
    EXPECT_THROW(nowhere.writeFloat(u"A", u"x", 1.5), FileWriteError);
    EXPECT_EQ(nowhere.readString(u"A", u"k", QStringLiteral("нет")), QStringLiteral("нет"));
}

TEST_F(IniStoreTest, aRefusedWriteLeavesTheOldFile)
{
    const QByteArray old = bytes1251(QStringLiteral("[A]\r\nk=1\r\nj=2\r\n[B]\r\nb=1\r\n"));
    folder.write(QStringLiteral("test.ini"), old);
    ASSERT_EQ(file.readInteger(u"A", u"k", 0), 1);
    {
        const FileSizeLimit limit(8);
        EXPECT_THROW(file.writeString(u"A", u"k", u"значение"), FileWriteError);
        EXPECT_THROW(file.writeInteger(u"C", u"k", 1), FileWriteError);
        EXPECT_THROW(file.eraseSection(u"B"), FileWriteError);
        EXPECT_FALSE(file.deleteKey(u"A", u"j"));
        EXPECT_TRUE(file.deleteKey(u"A", u"нет такого")); // nothing to write, nothing refused
    }
    EXPECT_EQ(readRaw(), old);
    EXPECT_EQ(file.readInteger(u"A", u"j", 0), 2);
    EXPECT_TRUE(file.sectionExists(u"B"));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden) == QStringList{QStringLiteral("test.ini")});
}

TEST_F(IniStoreTest, pathsAreMatchedWithoutRegardToCase)
{
    folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[ПРИБОРЫ]\nППКП1=ЕСТЬ\n"));
    folder.writeText(QStringLiteral("Склад.tb0"), QStringLiteral("[И01-05]\nТИП=ДЫМОВОЙ\n"));
    IniFile upper{store, folder.file(QStringLiteral("СКЛАД.CNF"))};
    IniFile lower{store, folder.file(QStringLiteral("склад.cnf"))};
    IniFile detectors{store, folder.file(QStringLiteral("СКЛАД.TB0"))};

    EXPECT_EQ(upper.readString(u"ПРИБОРЫ", u"ППКП1", {}), QStringLiteral("ЕСТЬ"));
    EXPECT_EQ(detectors.readString(u"И01-05", u"ТИП", {}), QStringLiteral("ДЫМОВОЙ"));
    upper.writeString(u"ПЛАН ЗОНЫ", u"1", u"D:\\Объекты\\Цех1.bmp");
    EXPECT_EQ(lower.readString(u"план зоны", u"1", {}), QStringLiteral("D:\\Объекты\\Цех1.bmp"));
    detectors.writeFloat(u"И01-05", u"X", 3.5);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("Склад.cnf"), QStringLiteral("Склад.tb0")}));
    EXPECT_EQ(folder.readText(QStringLiteral("Склад.tb0")), QStringLiteral("[И01-05]\r\nТИП=ДЫМОВОЙ\r\nX=3,5\r\n"));

    // Read as named, then renamed to another spelling: the path still reaches it.
    IniFile named{store, folder.file(QStringLiteral("Склад.cnf"))};
    ASSERT_EQ(named.readString(u"ПРИБОРЫ", u"ППКП1", {}), QStringLiteral("ЕСТЬ"));
    ASSERT_TRUE(QFile::rename(folder.file(QStringLiteral("Склад.cnf")), folder.file(QStringLiteral("СКЛАД.cnf"))));
    EXPECT_EQ(named.readString(u"ПРИБОРЫ", u"ППКП1", {}), QStringLiteral("ЕСТЬ"));
}

TEST_F(IniStoreTest, readsTheFilesOfTheWorkedExample)
{
    folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                     QStringLiteral("[Настройки]\nCOM-порт=2\nТаблица=0\n[ОБЩИЙ ПЛАН]\n0=\n"
                                    "[АДРЕС]\n00=\n01=D:\\Объекты\\Склад.cnf\n02=\n03=\n"
                                    "[МОДУЛЬ УПРАВЛЕНИЯ 1]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\n"
                                    "СЦЕНАРИЙ=5\nРЕЖИМ=РУЧНОЙ\nКОМЕНТАРИЙ=Вентиляция цеха\n"));
    folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[СИСТЕМА]\nАДРЕС=01\nАДС=1\n[ЗОНА]\n1=Цех 1\n2=ЗОНА 2\n"
                                                                 "[ПРИБОРЫ]\nППКП1=ЕСТЬ\nППКП2=НЕТ\n"
                                                                 "[ПЛАН ЗОНЫ]\n1=D:\\Объекты\\Цех1.bmp\n"));
    folder.writeText(QStringLiteral("Склад.tb0"),
                     QStringLiteral("[И01-05]\nЗОНА=Цех 1\nТЕКСТ=Коридор\nТИП=ДЫМОВОЙ\n"
                                    "СОСТОЯНИЕ=ВКЛ\nX=3,5\nY=2\n[И01-06]\nЗОНА=Цех 1\n"
                                    "ТЕКСТ=Склад готовой продукции\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВЫКЛ\n"));
    folder.writeText(QStringLiteral("Склад.tb1"), QStringLiteral("[И13-12]\nЗОНА=Цех 1\nТЕКСТ=Лестница\n"));

    const IniFile settings{store, folder.file(QStringLiteral("KirvanMonitorP.ini"))};
    EXPECT_EQ(settings.readInteger(u"Настройки", u"COM-порт", 1), 2);
    EXPECT_EQ(settings.readString(u"Настройки", u"Таблица", QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(settings.readInteger(u"Настройки", u"Установка", 0), 0);
    EXPECT_EQ(settings.readString(u"АДРЕС", u"01", {}), QStringLiteral("D:\\Объекты\\Склад.cnf"));
    EXPECT_EQ(settings.readString(u"АДРЕС", u"00", QStringLiteral("?")), QString());
    EXPECT_TRUE(settings.sectionExists(u"МОДУЛЬ УПРАВЛЕНИЯ 1"));
    EXPECT_FALSE(settings.sectionExists(u"МОДУЛЬ УПРАВЛЕНИЯ 2"));
    EXPECT_EQ(settings.readInteger(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"СЦЕНАРИЙ", 0), 5);

    // The system file is used as stored and in upper case.
    IniFile system{store, folder.file(QStringLiteral("СКЛАД.CNF"))};
    EXPECT_EQ(system.readInteger(u"СИСТЕМА", u"АДС", 1), 1);
    EXPECT_EQ(system.readString(u"ЗОНА", u"2", {}), QStringLiteral("ЗОНА 2"));
    EXPECT_EQ(system.readString(u"ЗОНА", u"3", {}), QString());
    EXPECT_EQ(system.readString(u"ПРИБОРЫ", u"ППКП2", QStringLiteral("НЕТ")), QStringLiteral("НЕТ"));
    EXPECT_EQ(system.readString(u"ПРИБОРЫ", u"ППКП3", QStringLiteral("НЕТ")), QStringLiteral("НЕТ"));
    folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[ПРИБОРЫ]\nППКП2=  НЕТ\n"));
    EXPECT_EQ(system.readString(u"ПРИБОРЫ", u"ППКП2", {}), QStringLiteral("НЕТ"));

    const IniFile device0{store, folder.file(QStringLiteral("Склад.tb0"))};
    EXPECT_DOUBLE_EQ(device0.readFloat(u"И01-05 ", u"X", -1), 3.5);
    EXPECT_DOUBLE_EQ(device0.readFloat(u"И01-05", u"Y", -1), 2);
    EXPECT_EQ(device0.readString(u"И01-05", u"ТИП", {}), QStringLiteral("ДЫМОВОЙ"));
    EXPECT_EQ(device0.readString(u"И01-06", u"ТИП", {}), QStringLiteral("ОХРАНА"));
    EXPECT_DOUBLE_EQ(device0.readFloat(u"И01-06", u"X", -1), -1);
    const IniFile device1{store, folder.file(QStringLiteral("СКЛАД.TB1"))};
    EXPECT_EQ(device1.readString(u"И13-12", u"ТЕКСТ", {}), QStringLiteral("Лестница"));
    EXPECT_EQ(device1.readString(u"И13-12", u"СОСТОЯНИЕ", QStringLiteral("ВЫКЛ")), QStringLiteral("ВЫКЛ"));
}

} // namespace
} // namespace kirvan::testing
