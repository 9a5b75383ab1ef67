#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace kirvan {

// The content of one INI file as the lines it is made of. Every line keeps its own text and line
// ending, so that a write changes only the lines it means to and leaves everything else byte for
// byte as another program wrote it: comments, blank lines, foreign lines, LF-only line ends.
//
// The dialect is the one of the Windows profile functions the files were made for: a line
// "[name]" opens a section, a line "key=value" gives a value of the section. Names and keys are
// compared without regard to letter case and surrounding blanks (space, TAB). Reads use the
// first section of a name and the first line of a key in it; lines before the first section
// belong to none. A section exists only while it holds a key.
class IniDocument {
public:
    IniDocument() = default;
    // Lines end at CR LF, LF or CR.
    explicit IniDocument(QStringView text);

    // The value without surrounding blanks and without one pair of enclosing quotes; nothing
    // when the section or the key is missing. The view lives as long as the document unchanged.
    std::optional<QStringView> value(QStringView section, QStringView key) const;
    bool sectionExists(QStringView section) const;

    // Replaces the value in place, or adds the key after the last key of the section, or adds
    // the section at the end. A CR or LF in the value becomes a blank, since it would start a
    // new line. Throws std::invalid_argument for a name that could not be read back (empty,
    // holding a line break, "]" in a section name, "=" in a key, a key that would read as a
    // comment or a section). Returns whether the content changed.
    bool setValue(QStringView section, QStringView key, QStringView value);
    // Removes every line of the key in every section of that name. Returns whether any went.
    bool removeKey(QStringView section, QStringView key);
    // Removes the header and all lines of every section of that name, so that a duplicate
    // section cannot take the erased one's place. Returns whether anything went.
    bool eraseSection(QStringView section);

    QString serialize() const;

private:
    enum class Kind { Other, Header, Key };
    struct Line {
        QString text;        // without the line ending
        QStringView ending;  // "\r\n", "\n", "\r" or nothing for an unterminated last line
        Kind kind = Kind::Other;
        QString name;        // folded section name of a header, folded key of a key line
        qsizetype valueStart = 0; // of a key line: just past the "="
    };
    // Where the first section of a name lies, for reads and in-place writes.
    struct Section {
        qsizetype header = 0;
        qsizetype lastKey = -1;
        QHash<QString, qsizetype> keys; // folded key -> its first line
    };

    static Line makeLine(QString text, QStringView ending);
    void reindex();
    void insertLine(qsizetype at, QString text);
    // Removes the lines for which `doomed(line, section)` holds, `section` being the folded name
    // of the section the line lies in, or null before the first header.
    template <typename Predicate> bool removeLines(Predicate doomed);

    std::vector<Line> lines_;
    QHash<QString, Section> sections_; // folded name -> first section of that name
};

} // namespace kirvan
