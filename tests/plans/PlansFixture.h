#pragma once

#include "tests/app/WorkstationFixture.h"

#include "complex/CompositionTree.h"

namespace kirvan::testing {

// A workstation on a small complex with plans: system 01 СКЛАД with zones "Цех 1" (plan
// Цех1.bmp), "Цех 2" (no plan picture) and a second "Цех 1" (zone 4, plan Двойник.bmp), and
// system 02 without a system file. The plan area is 800 × 600.
class PlansFixture : public WorkstationFixture {
protected:
    void SetUp() override
    {
        folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                         QStringLiteral("[Настройки]\nCOM-порт=1\n[АДРЕС]\n01=Объекты\\Склад.cnf\n02=Объекты\\Нет.cnf\n"));
        QDir(folder.path()).mkpath(QStringLiteral("Объекты"));
        folder.writeText(QStringLiteral("Объекты/Склад.cnf"),
                         QStringLiteral("[ЗОНА]\n1=Цех 1\n2=Цех 2\n4=Цех 1\n[ПРИБОРЫ]\nППКП1=ЕСТЬ\n"
                                        "[ПЛАН ЗОНЫ]\n1=Объекты\\Цех1.bmp\n4=Объекты\\Двойник.bmp\n"));
        folder.write(QStringLiteral("Объекты/Цех1.bmp"), "picture");
        folder.write(QStringLiteral("Объекты/Двойник.bmp"), "picture");
        folder.writeText(QStringLiteral("Объекты/Склад.tb0"),
                         QStringLiteral("[И01-05]\nЗОНА=Цех 1\nТЕКСТ=Коридор\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\nX=4\nY=1,25\n"
                                        "[И01-06]\nЗОНА=Цех 1\nТЕКСТ=Склад\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВЫКЛ\nX=2\nY=3\n"
                                        "[И01-07]\nЗОНА=Цех 1\nТЕКСТ=Без места\nСОСТОЯНИЕ=ВКЛ\n"));
        folder.writeText(QStringLiteral("Объекты/Склад.tb1"),
                         QStringLiteral("[И12-05]\nЗОНА=Цех 2\nТЕКСТ=Зал\nСОСТОЯНИЕ=ВКЛ\nX=4\nY=2\n"
                                        "[И12-07]\nЗОНА=Подвал\nТЕКСТ=Чужой\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВКЛ\nX=8\nY=6\n"));
        folder.writeText(QStringLiteral("kirvanmonitorp.cnf"),
                         QStringLiteral("A01:СКЛАД\n\tЦех 1\n\t\tИ01-05 Коридор\n\t\tИ01-06 Склад\n\t\tИ01-07 Без места\n"
                                        "\tЦех 2\n\t\tИ12-05 Зал\n\t\tИ12-07 Чужой\nA02:НЕТ\n\tЗона\n"));
        workstation = startWorkstation();
        workstation->planArea().setSize(QSize(800, 600));
    }
    void TearDown() override { workstation.reset(); }

    TreeNode* node(const QString& text) const
    {
        TreeNode* found = nullptr;
        workstation->tree().walk([&](TreeNode& n) {
            if (n.text() == text)
                found = &n;
            return !found;
        });
        return found;
    }
    void select(const QString& text)
    {
        workstation->tree().select(node(text));
        settlePlanPictures(*workstation);
    }
    const PlanMarker* marker(const QString& name) const { return workstation->markers().find(name); }
    QString detectorFile(QChar device) const { return folder.readText(QStringLiteral("Объекты/Склад.tb") + device); }
    QString plan(const QString& name) const { return QStringLiteral("Объекты\\") + name; }

    std::unique_ptr<Workstation> workstation;
};

} // namespace kirvan::testing
