#pragma once

#include "complex/CompositionTree.h"

#include <QByteArray>
#include <QString>
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

// Adds lines at the end of the file (created when missing), crash-safely; throws FileWriteError.
void append(const QString& path, const std::vector<Line>& lines);

} // namespace kirvan::ComplexFile
