#include "complex/ComplexFile.h"

#include "files/AtomicFile.h"
#include "files/Cp1251.h"
#include "files/FileWriteError.h"
#include "files/PathCase.h"
#include "files/RegularFile.h"
#include "files/TextLines.h"

namespace kirvan::ComplexFile {

namespace {

bool isIndent(QChar ch)
{
    return ch == QLatin1Char('\t') || ch == QLatin1Char(' ');
}

QString lineText(int level, const QString& text)
{
    return QString(level, QLatin1Char('\t')) + text + QLatin1String("\r\n");
}

// The file's bytes; an empty array with `exists` false when there is no file. A file that is
// there but cannot be read is an error, not an absent file.
QByteArray readBytes(const QString& path, bool& exists)
{
    const QString resolved = resolvePathCase(path);
    RegularFile file = RegularFile::read(resolved);
    exists = file.status != RegularFile::Status::Missing;
    if (file.status == RegularFile::Status::Failed)
        throw std::runtime_error(
            QStringLiteral("Не удаётся прочитать файл \"%1\": %2.").arg(resolved, file.failure).toStdString());
    return std::move(file.bytes);
}

bool isSystemLine(QStringView line)
{
    return !line.isEmpty() && !isIndent(line[0]);
}

// The text without the lines of the system `systemText`: its own line and the lines after it up
// to the next system line. One byte is one character in Windows-1251, so the bytes of the other
// lines come back unchanged.
QString withoutSystem(const QString& text, const QString& systemText, bool* found = nullptr)
{
    QString kept;
    kept.reserve(text.size());
    bool inside = false;
    forEachLine(text, [&](QStringView line, QStringView ending) {
        if (isSystemLine(line)) {
            inside = line == systemText;
            if (inside && found)
                *found = true;
        }
        if (!inside) {
            kept += line;
            kept += ending;
        }
    });
    return kept;
}

} // namespace

LevelError::LevelError(int level, const QString& text)
    : std::runtime_error(QStringLiteral("Invalid level (%1) for item \"%2\"").arg(level).arg(text).toStdString())
{}

void parseInto(CompositionTree& tree, QStringView content)
{
    tree.clear();
    TreeNode* previous = nullptr;
    int previousLevel = 0;
    forEachLine(content, [&](QStringView line, QStringView) {
        qsizetype indent = 0;
        while (indent < line.size() && isIndent(line[indent]))
            ++indent;
        if (indent == line.size())
            return;
        const int level = static_cast<int>(indent);
        const QString text = line.mid(indent).toString();

        TreeNode* parent = nullptr;
        if (previous) {
            if (level > previousLevel + 1)
                throw LevelError(level, text);
            if (level == previousLevel + 1) {
                parent = previous;
            } else {
                // A sibling of the nearest preceding node at this level: climb from the previous
                // line as many levels as this line is shallower. The first line counts as top
                // level whatever its indentation, so the climb may end above the top.
                TreeNode* sibling = previous;
                for (int up = level; up < previousLevel && sibling; ++up)
                    sibling = sibling->parent();
                parent = sibling ? sibling->parent() : nullptr;
            }
        }
        previous = tree.add(parent, text);
        previousLevel = level;
    });
}

bool load(CompositionTree& tree, const QString& path)
{
    bool exists = false;
    const QByteArray bytes = readBytes(path, exists);
    if (exists)
        parseInto(tree, cp1251::decode(bytes));
    return exists;
}

QByteArray serialize(const CompositionTree& tree)
{
    QString text;
    tree.walk([&](TreeNode& node) {
        text += lineText(node.level(), node.text());
        return true;
    });
    return cp1251::encode(text).bytes;
}

void save(const CompositionTree& tree, const QString& path)
{
    writeFileAtomically(resolvePathCase(path), serialize(tree));
}

QStringList systemsOnDisk(const QString& path)
{
    bool exists = false;
    QStringList systems;
    forEachLine(cp1251::decode(readBytes(path, exists)), [&systems](QStringView line, QStringView) {
        if (isSystemLine(line))
            systems.append(line.toString());
    });
    return systems;
}

void putSystem(const QString& path, const std::vector<Line>& lines)
{
    const QString resolved = resolvePathCase(path);
    bool exists = false;
    QString text = cp1251::decode(readBytes(resolved, exists));
    if (!lines.empty())
        text = withoutSystem(text, lines.front().text);
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')) && !text.endsWith(QLatin1Char('\r')))
        text += QLatin1String("\r\n");
    for (const Line& line : lines)
        text += lineText(line.level, line.text);
    writeFileAtomically(resolved, cp1251::encode(text).bytes);
}

bool removeSystem(const QString& path, const QString& systemText)
{
    const QString resolved = resolvePathCase(path);
    bool exists = false;
    bool found = false;
    const QString kept = withoutSystem(cp1251::decode(readBytes(resolved, exists)), systemText, &found);
    if (found)
        writeFileAtomically(resolved, cp1251::encode(kept).bytes);
    return found;
}

} // namespace kirvan::ComplexFile
