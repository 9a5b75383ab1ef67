#pragma once

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
    explicit IniDocument(QString text);

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

    QString serialize() const { return text_; }

private:
    // The text is kept as one string with a small index of its lines, so that a parsed file
    // costs little more than its text: the cache holds every file of the largest complex.
    enum Kind : quint32 { Other, Header, Key };
    struct Line {
        quint32 start = 0; // of the line in the text
        quint32 tag = 0; // the kind in the top two bits, below them the hash of the folded name
        Kind kind() const { return static_cast<Kind>(tag >> 30); }
        quint32 nameHash() const { return tag & 0x3FFF'FFFF; }
    };
    // A header line, found by the hash of its folded name.
    struct HeaderLine {
        quint32 nameHash;
        quint32 line;
        auto operator<=>(const HeaderLine&) const = default;
    };

    void reindex();
    // The line without its ending.
    QStringView lineText(qsizetype line) const;
    qsizetype lineEnd(qsizetype line) const; // past the ending
    QStringView nameOf(qsizetype line) const;
    bool named(qsizetype line, QStringView name, quint32 nameHash) const;
    // The first header of the name, or -1.
    qsizetype firstHeader(QStringView section) const;
    // The line of the next header after `header`, or the line count.
    qsizetype sectionEnd(qsizetype header) const;
    // The first line of the key in the section that starts at `header`, or -1.
    qsizetype keyLine(qsizetype header, QStringView key) const;
    qsizetype valueStart(qsizetype line) const;
    void insertLine(qsizetype at, const QString& text);
    // Removes the lines for which `doomed(line, header)` holds, `header` being the line of the
    // header of the section the line lies in, or -1 before the first header.
    template <typename Predicate> bool removeLines(Predicate doomed);

    QString text_;
    std::vector<Line> lines_;
    std::vector<HeaderLine> headers_; // sorted
};

} // namespace kirvan
