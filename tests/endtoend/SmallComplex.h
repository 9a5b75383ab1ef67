#pragma once

#include "tests/support/TempFolder.h"

#include <QDir>

namespace kirvan::testing {

// A workstation folder with one system, СКЛАД at address 1: devices 0 and 1 (ППКП1), zone
// "Цех 1" with a fire detector on each device, a switched-off security detector and a
// technology detector.
inline void writeSmallComplex(const TempFolder& folder)
{
    QDir(folder.path()).mkpath(QStringLiteral("Объекты"));
    folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                     QStringLiteral("[Настройки]\nCOM-порт=1\nТаблица=0\n[ОБЩИЙ ПЛАН]\n0=\n"
                                    "[АДРЕС]\n00=\n01=Объекты/Склад.cnf\n02=\n03=\n"));
    folder.writeText(QStringLiteral("kirvanmonitorp.cnf"),
                     QStringLiteral("A01:СКЛАД\n\tЦех 1\n\t\tИ01-05 Коридор\n\t\tИ01-06 Склад\n"
                                    "\t\tИ12-05 Цех\n\t\tИ13-02 Котлы\n"));
    folder.writeText(QStringLiteral("Объекты/Склад.cnf"),
                     QStringLiteral("[СИСТЕМА]\nАДРЕС=01\nАДС=1\n[ЗОНА]\n1=Цех 1\n[ПРИБОРЫ]\nППКП1=ЕСТЬ\n"));
    folder.writeText(QStringLiteral("Объекты/Склад.tb0"),
                     QStringLiteral("[И01-05]\nЗОНА=Цех 1\nТЕКСТ=Коридор\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\n"
                                    "[И01-06]\nЗОНА=Цех 1\nТЕКСТ=Склад\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВЫКЛ\n"));
    folder.writeText(QStringLiteral("Объекты/Склад.tb1"),
                     QStringLiteral("[И12-05]\nЗОНА=Цех 1\nТЕКСТ=Цех\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\n"
                                    "[И13-02]\nЗОНА=Цех 1\nТЕКСТ=Котлы\nТИП=ТЕХНОЛОГ\nСОСТОЯНИЕ=ВКЛ\n"));
}

} // namespace kirvan::testing
