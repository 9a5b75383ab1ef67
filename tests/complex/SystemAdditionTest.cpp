#include "complex/SystemAddition.h"

#include "complex/ComplexFile.h"
#include "complex/CompositionTree.h"
#include "files/IniFile.h"
#include "files/IniStore.h"
#include "files/SettingsFile.h"
#include "complex/ControlModuleTable.h"
#include "complex/SystemRemoval.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WorkedExample.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

class SystemAdditionTest : public ::testing::Test {
protected:
    SystemAddition add(const QString& systemFile, int address, QStringList* zones = nullptr)
    {
        SystemAddition addition(store, settings, systemFile, address);
        addition.writeAddressIntoSystemFile();
        addition.registerInSettings();
        addition.appendToComplexFile([zones](const QString& zone) {
            if (zones)
                zones->append(zone);
        });
        return addition;
    }
    QString complexFile() const { return folder.readText(u"kirvanmonitorp.cnf"_s); }

    TempFolder folder;
    testing::FixedLocale locale;
    IniStore store{locale};
    SettingsFile settings{store, WorkstationFolder(folder.path())};
};

TEST_F(SystemAdditionTest, TheWorkedExampleWritesItsFilesByteForByte)
{
    const QString systemFile = testing::writeWarehouse(folder);
    QStringList zones;
    const SystemAddition addition = add(systemFile, 1, &zones);

    EXPECT_EQ(folder.readText(u"kirvanmonitorp.cnf"_s), testing::warehouseLines());
    EXPECT_TRUE(folder.readText(u"Склад.cnf"_s).startsWith(u"[СИСТЕМА]\r\nАДРЕС=01\r\nАДС=1\r\n[ЗОНА]\r\n"_s));
    EXPECT_EQ(folder.readText(u"KirvanMonitorP.ini"_s),
              u"[Настройки]\r\nCOM-порт=1\r\nТаблица=0\r\n[ОБЩИЙ ПЛАН]\r\n0=\r\n[АДРЕС]\r\n00=\r\n01="_s + systemFile
                  + u"\r\n02=\r\n03=\r\n"_s);
    EXPECT_EQ(addition.journalText(), u" СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s);
    zones.removeDuplicates(); // shown again after each file read for it
    EXPECT_EQ(zones, QStringList({u"Цех 1"_s, u"ЗОНА 2"_s})) << "every named zone is shown while it is built";
}

TEST_F(SystemAdditionTest, ZoneAndDetectorRules)
{
    folder.writeText(u"Цех.cnf"_s, u"[система]\n[ЗОНА]\n1=ЗОНА 1\n2=Цех\n3=ЗОНА 5\n5=Котельная\n7=Лаборатория\n"
                                   u"[ПРИБОРЫ]\nППКП1=ЕСТЬ\nППКП3=  НЕТ\nППКП4=ЕСТЬ\n"_s);
    // A zone line comes before its detectors, which go by device, line and number; a section
    // header in lower case is found and written as probed.
    folder.writeText(u"Цех.tb0"_s, u"[И02-01]\nЗОНА=Котельная\nТЕКСТ=Насосная\n[и01-07]\nЗОНА=ЗОНА 1\n"
                                   u"[И01-08]\nТЕКСТ=Без зоны\n[И01-09]\nЗОНА=котельная\n"_s);
    folder.writeText(u"Цех.tb1"_s, u"[И18-60]\nЗОНА=Котельная\nТЕКСТ=Склад\n"_s);
    // Device 3 says "НЕТ" after blanks, device 2 has no key: neither is read.
    folder.writeText(u"Цех.tb3"_s, u"[И31-01]\nЗОНА=Котельная\n"_s);
    folder.writeText(u"Цех.tb2"_s, u"[И21-01]\nЗОНА=Котельная\n"_s);
    folder.writeText(u"Цех.tb4"_s, u"[И41-01]\nЗОНА=Лаборатория\nТЕКСТ=Шкаф\n[И11-01]\nЗОНА=Лаборатория\n"_s);
    add(folder.file(u"Цех.cnf"_s), 2);
    EXPECT_EQ(complexFile(), u"A02:ЦЕХ\r\n\tЗОНА 1\r\n\t\tИ01-07 \r\n\tЦех\r\n\tКотельная\r\n\t\tИ02-01 Насосная\r\n"
                             u"\t\tИ18-60 Склад\r\n\tЛаборатория\r\n\t\tИ41-01 Шкаф\r\n"_s);
}

TEST_F(SystemAdditionTest, TheSameAdditionAgainLeavesOneNode)
{
    const QString systemFile = testing::writeWarehouse(folder);
    add(systemFile, 1);
    const auto after = folder.snapshot();
    const SystemAddition again(store, settings, systemFile, 1);
    EXPECT_FALSE(again.refusal()) << "a retried addition is no refusal";
    add(systemFile, 1);
    EXPECT_EQ(folder.snapshot(), after);
}

TEST_F(SystemAdditionTest, AnAdditionStoppedBetweenItsWritesLeavesNoNodeAndARetryMakesOneWholeSystem)
{
    // Each write is crash-safe on its own; a kill can fall between them. Without its node nothing
    // is polled, and the retry completes the addition; the system file's own address is written
    // only after the node, so a stopped addition never changes it.
    const QString systemFile = testing::writeWarehouse(folder);
    for (int written = 0; written < 2; ++written) {
        folder.writeText(u"kirvanmonitorp.cnf"_s, {});
        settings.ini().writeString(u"АДРЕС", u"01", u"");
        IniFile(store, systemFile).writeString(u"СИСТЕМА", u"АДРЕС", u"00");
        SystemAddition stopped(store, settings, systemFile, 1);
        if (written > 0)
            stopped.registerInSettings();
        EXPECT_EQ(complexFile(), QString()) << written;
        EXPECT_EQ(IniFile(store, systemFile).readString(u"СИСТЕМА", u"АДРЕС", {}), u"00"_s) << written;
        ASSERT_FALSE(stopped.refusal()) << written;
        // The next start lets go of an address the stopped addition took, and says so.
        const QStringList released = SystemAddition::releaseUnfinished(settings);
        EXPECT_EQ(released, written > 0 ? QStringList{u"  АДРЕС 01 ОСВОБОЖДЕН: ВВОД СИСТЕМЫ "_s + systemFile
                                                      + u" В СОСТАВ КОМПЛЕКСА НЕ ЗАВЕРШЕН"_s}
                                        : QStringList{})
            << written;
        EXPECT_EQ(settings.systemFile(u"01"), QString()) << written;
        add(systemFile, 1);
        EXPECT_EQ(complexFile(), testing::warehouseLines()) << written;
        EXPECT_EQ(settings.systemFile(u"01"), systemFile) << written;
    }
    // A whole system keeps its address; an unreadable composition file releases nothing.
    EXPECT_EQ(SystemAddition::releaseUnfinished(settings), QStringList());
    ASSERT_TRUE(QFile::remove(folder.file(u"kirvanmonitorp.cnf"_s)));
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"kirvanmonitorp.cnf"_s));
    EXPECT_EQ(SystemAddition::releaseUnfinished(settings), QStringList());
    EXPECT_EQ(settings.systemFile(u"01"), systemFile);
}

TEST_F(SystemAdditionTest, RefusalsNameTheirReason)
{
    add(testing::writeWarehouse(folder), 1);
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"Zoé"_s));
    folder.writeText(u"Zoé/Sklad€ß.cnf"_s, u"[СИСТЕМА]\n[ЗОНА]\n1=Холл\n"_s);
    folder.writeText(u"Дом.cnf"_s, u"[СИСТЕМА]\n[ЗОНА]\n1=Холл\n"_s);
    folder.writeText(u"Без системы.cnf"_s, u"[ЗОНА]\n1=Холл\n"_s);
    folder.write(u"Рисунок.cnf"_s, QByteArray("BM\x36\0\0\0\0\0[СИСТЕМА]", 17));
    struct Case {
        QString file;
        int address;
        QString says;
    };
    for (const Case& refused :
         {Case{u"Zoé/Sklad€ß.cnf"_s, 2, u"Windows-1251: \"é\", \"ß\""_s},
          Case{u"kirvanmonitorp.cnf"_s, 2, u"файл состава комплекса"_s},
          Case{u"KirvanMonitorP.ini"_s, 2, u"файл настроек программы"_s},
          Case{u"Рисунок.cnf"_s, 2, u"нет раздела [СИСТЕМА]"_s},
          Case{u"Без системы.cnf"_s, 2, u"нет раздела [СИСТЕМА]"_s}, Case{u"Нет.cnf"_s, 2, u"Не удаётся прочитать"_s},
          Case{u"Дом.cnf"_s, 1, u"Адрес 01 уже занят системой A01:СКЛАД"_s},
          // The same file however it is spelled is one system, never a second one elsewhere.
          Case{u"СКЛАД.CNF"_s, 2, u"уже введён в состав комплекса как система A01:СКЛАД"_s}}) {
        const std::optional<QString> reason
            = SystemAddition(store, settings, folder.file(refused.file), refused.address).refusal();
        ASSERT_TRUE(reason) << refused.file.toStdString();
        EXPECT_TRUE(reason->contains(refused.says)) << reason->toStdString();
    }
    EXPECT_FALSE(SystemAddition(store, settings, folder.file(u"Дом.cnf"_s), 2).refusal());
    // An address entry without a node, as a stopped addition leaves it, holds nothing.
    folder.writeText(u"kirvanmonitorp.cnf"_s, {});
    EXPECT_FALSE(SystemAddition(store, settings, folder.file(u"Дом.cnf"_s), 1).refusal());
}

TEST_F(SystemAdditionTest, ThePathIsStoredInTheFormOfTheOthers)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"Объекты"_s));
    folder.writeText(u"Объекты/Склад.cnf"_s, u"[СИСТЕМА]\n"_s);
    for (const auto& [other, stored] : {std::pair{u"Объекты\\Дом.cnf"_s, u"Объекты\\Склад.cnf"_s},
                                        {u"Дом.cnf"_s, u"Объекты/Склад.cnf"_s},
                                        {u"/srv/Дом.cnf"_s, folder.file(u"Объекты/Склад.cnf"_s)}}) {
        settings.ini().writeString(u"АДРЕС", u"02", other);
        SystemAddition(store, settings, folder.file(u"Объекты/Склад.cnf"_s), 1).registerInSettings();
        EXPECT_EQ(settings.ini().readString(u"АДРЕС", u"01", {}), stored) << other.toStdString();
    }
}

TEST_F(SystemAdditionTest, RemovalErasesItsModulesEmptiesTheAddressAndRewritesTheTree)
{
    const QString systemFile = testing::writeWarehouse(folder);
    folder.writeText(u"Дом.cnf"_s, u"[СИСТЕМА]\nАДС=3\n[ЗОНА]\n1=Холл\n"_s);
    add(systemFile, 1);
    add(folder.file(u"Дом.cnf"_s), 2);
    IniFile& ini = settings.ini();
    for (const auto& [slot, system] :
         {std::pair{u"1"_s, u"A01:СКЛАД"_s}, {u"7"_s, u"A02:ДОМ"_s}, {u"70"_s, u"A01:СКЛАД"_s}}) {
        ini.writeString(u"МОДУЛЬ УПРАВЛЕНИЯ "_s + slot, u"СИСТЕМА", system);
        ini.writeString(u"МОДУЛЬ УПРАВЛЕНИЯ "_s + slot, u"ЗОНА", u"Цех 1");
    }
    ini.writeString(u"Настройки", u"Оборудование", u"0");
    CompositionTree tree;
    ComplexFile::load(tree, settings.folder().complexFile());

    EXPECT_EQ(SystemRemoval::question(tree.topLevel()[0]->text()),
              u"Вы уверены, что хотите вывести из состава комплекса СКЛАД?"_s);
    SystemRemoval removal(store, settings, tree.topLevel()[0]->text());
    ControlModuleTable modules(ini);
    modules.fillSlots();
    EXPECT_EQ(removal.eraseControlModules(modules), 2);
    removal.releaseAddress();
    EXPECT_EQ(removal.journalText(), u" СИСТЕМА СКЛАД ВЫВЕДЕНА ИЗ СОСТАВА КОМПЛЕКСА"_s);
    const TreeNode* neighbour = SystemRemoval::deleteNode(tree, *tree.topLevel()[0]);
    EXPECT_EQ(neighbour, tree.topLevel()[0].get()) << "the next system takes the selection";
    removal.removeFromComplexFile();

    EXPECT_FALSE(modules.used(0));
    EXPECT_FALSE(modules.used(69));
    EXPECT_TRUE(modules.used(6)) << "the other system's module stays, in the table too";
    EXPECT_FALSE(ini.sectionExists(u"МОДУЛЬ УПРАВЛЕНИЯ 1"));
    EXPECT_TRUE(ini.sectionExists(u"МОДУЛЬ УПРАВЛЕНИЯ 7"));
    EXPECT_EQ(ini.readString(u"АДРЕС", u"01", u"?"_s), QString());
    EXPECT_EQ(complexFile(), u"A02:ДОМ\r\n\tХолл\r\n"_s);
    EXPECT_TRUE(folder.readText(u"Склад.cnf"_s).contains(u"АДРЕС=01"_s)) << "the system's own files stay";
    ASSERT_TRUE(removal.notice());
    EXPECT_EQ(removal.notice()->station, 0x20);
    EXPECT_EQ(removal.notice()->address, 1);

    SystemRemoval second(store, settings, tree.topLevel()[0]->text());
    second.releaseAddress();
    EXPECT_EQ(second.notice()->station, 0x23) << "АДС 3";
    ini.deleteKey(u"Настройки", u"Оборудование");
    EXPECT_FALSE(second.notice()) << "without \"Оборудование\" no frame";
    EXPECT_EQ(SystemRemoval::deleteNode(tree, *tree.topLevel()[0]), nullptr);
}

} // namespace
} // namespace kirvan
