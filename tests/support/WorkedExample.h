#pragma once

#include "tests/support/TempFolder.h"

#include <QString>

namespace kirvan::testing {

// The warehouse system of the worked example: its system file Склад.cnf with two zones and the
// detector files of the console (.tb0) and of panel 1 (.tb1), in `folder`. Returns the system
// file's path.
inline QString writeWarehouse(const TempFolder& folder)
{
    folder.writeText(QStringLiteral("Склад.cnf"),
                     QStringLiteral("[СИСТЕМА]\nАДРЕС=00\nАДС=1\n[ЗОНА]\n1=Цех 1\n2=ЗОНА 2\n"
                                    "[ПРИБОРЫ]\nППКП1=ЕСТЬ\nППКП2=НЕТ\n[ПЛАН ЗОНЫ]\n1=D:\\Объекты\\Цех1.bmp\n"));
    folder.writeText(QStringLiteral("Склад.tb0"),
                     QStringLiteral("[И01-05]\nЗОНА=Цех 1\nТЕКСТ=Коридор\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\nX=3,5\nY=2\n"
                                    "[И01-06]\nЗОНА=Цех 1\nТЕКСТ=Склад готовой продукции\nТИП=ОХРАНА\n"
                                    "СОСТОЯНИЕ=ВЫКЛ\n"));
    folder.writeText(QStringLiteral("Склад.tb1"), QStringLiteral("[И13-12]\nЗОНА=Цех 1\nТЕКСТ=Лестница\n"));
    return folder.file(QStringLiteral("Склад.cnf"));
}

// The composition file's lines the worked example adds under address 1.
inline QString warehouseLines()
{
    return QStringLiteral("A01:СКЛАД\r\n\tЦех 1\r\n\t\tИ01-05 Коридор\r\n\t\tИ01-06 Склад готовой продукции\r\n"
                          "\t\tИ13-12 Лестница\r\n");
}

} // namespace kirvan::testing
