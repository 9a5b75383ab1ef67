#include "tests/events/EventFixture.h"

#include "files/SettingsKeys.h"

namespace kirvan::testing {

EventFixture::EventFixture()
{
    folder.writeText(QStringLiteral("Склад.cnf"),
                     QStringLiteral("[СИСТЕМА]\nАДРЕС=01\nАДС=1\n[ЗОНА]\n1=Цех 1\n2=ЗОНА 2\n"
                                    "[ПРИБОРЫ]\nППКП1=ЕСТЬ\nППКП2=НЕТ\n[НАПРАВЛЕНИЕ 2]\nЗОНА=Цех 1\n"));
    folder.writeText(QStringLiteral("Склад.tb0"),
                     QStringLiteral("[И01-05]\nЗОНА=Цех 1\nТЕКСТ=Коридор\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\n"
                                    "[И01-06]\nЗОНА=Цех 1\nТЕКСТ=Склад готовой продукции\nТИП=ОХРАНА\n"
                                    "СОСТОЯНИЕ=ВЫКЛ\n[И01-07]\nЗОНА=Цех 1\nТЕКСТ=Котельная\n"
                                    "ТИП=ТЕХНОЛОГ\n[И01-08]\nЗОНА=Цех 1\n"));
    folder.writeText(QStringLiteral("Склад.tb1"), QStringLiteral("[И13-12]\nЗОНА=Цех 1\nТЕКСТ=Лестница\n"));
    settings.ini().writeString(settings::sectionAddress, u"01", folder.file(QStringLiteral("Склад.cnf")));
    ComplexFile::parseInto(tree, u"A01:СКЛАД\n\tЦех 1\n\t\tИ01-05 Коридор\n\t\tИ01-06 Склад готовой "
                                 u"продукции\n\t\tИ01-07 Котельная\n\t\tИ13-12 Лестница\n");
    tree.setOnSelectionChanged([this](TreeNode* selected) { selections.push_back(selected); });
}

QString EventFixture::process(const QString& record)
{
    const qsizetype before = log.historyList().size();
    dispatcher.processEvent(record);
    return log.historyList().size() > before ? log.historyList().back() : QString();
}

std::vector<QString> EventFixture::row(int number) const
{
    std::vector<QString> cells;
    for (int column = 0; column < EventTable::ColumnCount; ++column)
        cells.push_back(table.cell(number, column));
    return cells;
}

TreeNode* EventFixture::node(const QString& text) const
{
    TreeNode* found = nullptr;
    tree.walk([&](TreeNode& candidate) {
        if (candidate.text().startsWith(text))
            found = &candidate;
        return found == nullptr;
    });
    return found;
}

QString EventFixture::detectorValue(const QString& file, const QString& section, const QString& key)
{
    return IniFile(store, folder.file(file)).readString(section, key, QStringLiteral("<missing>"));
}

} // namespace kirvan::testing
