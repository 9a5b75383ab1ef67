#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251, the code page of every file the workstation reads and writes. Text is held as
// QString inside the program and converted here, at the edge.
namespace kirvan::cp1251 {

// Every byte has a character: the unassigned byte 0x98 reads as U+0098, so that a file passes a
// read and a write unchanged.
QString decode(QByteArrayView bytes);

struct Encoded {
    QByteArray bytes;
    qsizetype unmappable = 0; // characters the code page lacks, each written as '?'
};

Encoded encode(QStringView text);
// Encodes onto the end of bytes, for a writer that puts a file together piece by piece; returns
// the characters the code page lacks.
qsizetype append(QByteArray& bytes, QStringView text);

} // namespace kirvan::cp1251
