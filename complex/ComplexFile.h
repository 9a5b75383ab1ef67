#pragma once

#include "complex/CompositionTree.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <stdexcept>
#include <vector>

// The composition file: one node per line in tree order, its level given by the TABs (or
// blanks) before the text. Windows-1251, CR LF.
namespace kirvan::ComplexFile {

// A line more than one level deeper than the line before it.
class LevelError : public std::runtime_error {
public:
    LevelError(int level, const QString& text);
};

struct Line {
    int level;
    QString text;
};

// Replaces the tree's nodes by the nodes of the text. On a LevelError the nodes read before the
// faulty line stay in the tree. Blank lines carry no node and are passed over.
void parseInto(CompositionTree& tree, QStringView content);

// Reads the file into the tree. Returns false, leaving the tree as it is, when there is no file.
bool load(CompositionTree& tree, const QString& path);

QByteArray serialize(const CompositionTree& tree);

// Writes the whole tree, crash-safely; throws FileWriteError.
void save(const CompositionTree& tree, const QString& path);

// The texts of the system nodes (unindented lines) of the file as it is on disk, a damaged line
// further down notwithstanding; none when there is no file.
QStringList systemsOnDisk(const QString& path);

// Puts a system's lines into the file (created when missing), crash-safely: in place of the lines
// of a system node with the same text (its own line and every deeper line after it), else at the
// end. Running it twice leaves one node. Throws FileWriteError.
void putSystem(const QString& path, const std::vector<Line>& lines);

// Takes a system node's lines out of the file as it is on disk; every other byte stays as it was,
// so systems a damaged line kept out of the tree are not lost. Returns false when no line was
// the system's (nothing is written then).
bool removeSystem(const QString& path, const QString& systemText);

} // namespace kirvan::ComplexFile
