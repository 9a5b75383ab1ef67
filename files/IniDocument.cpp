#include "files/IniDocument.h"

#include "files/TextLines.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

namespace kirvan {

namespace {

const QString crlf = QStringLiteral("\r\n");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// Names are compared by code point, each case-folded, as QString::toCaseFolded folds them.
char32_t nextFolded(QStringView text, qsizetype& i)
{
    char32_t c = text[i++].unicode();
    if (QChar::isHighSurrogate(c) && i < text.size() && text[i].isLowSurrogate())
        c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[i++].unicode());
    return QChar::toCaseFolded(c);
}

bool foldedEqual(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size())
        if (nextFolded(a, i) != nextFolded(b, j))
            return false;
    return i == a.size() && j == b.size();
}

constexpr quint32 hashBits = 0x3FFF'FFFF;

// FNV-1a over the folded code points, cut to the bits a line has room for.
quint32 foldedHash(QStringView text)
{
    quint32 hash = 2166136261u;
    for (qsizetype i = 0; i < text.size();)
        hash = (hash ^ static_cast<quint32>(nextFolded(text, i))) * 16777619u;
    return hash & hashBits;
}

// What a line is: a section header with its name, a key line with its key and where its value
// starts, or anything else (blank, comment, foreign).
struct LineShape {
    int kind = 0; // IniDocument's Kind
    QStringView name;
    qsizetype valueStart = 0;
};

constexpr int otherLine = 0;
constexpr int headerLine = 1;
constexpr int keyValueLine = 2;

LineShape shapeOf(QStringView line)
{
    const QStringView content = trimBlanks(line);
    if (content.isEmpty() || content.front() == u';')
        return {};
    if (content.front() == u'[') {
        const qsizetype close = content.indexOf(u']');
        if (close > 0)
            return {headerLine, trimBlanks(content.sliced(1, close - 1)), 0};
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {};
    const QStringView key = trimBlanks(line.first(equals));
    if (key.isEmpty())
        return {};
    return {keyValueLine, key, equals + 1};
}

QStringView unquoted(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// A name the file could not give back: it would be empty, break the line, end the header early,
// split the key, or make the line read as a comment or a header.
void checkSectionName(QStringView section)
{
    if (trimBlanks(section).isEmpty() || hasLineBreak(section) || section.contains(u']'))
        throw std::invalid_argument("unusable INI section name");
}

void checkKey(QStringView key)
{
    const QStringView trimmed = trimBlanks(key);
    if (trimmed.isEmpty() || hasLineBreak(key) || key.contains(u'=') || trimmed.front() == u';' || trimmed.front() == u'[')
        throw std::invalid_argument("unusable INI key");
}

QString keyLineText(QStringView key, QStringView value)
{
    return trimBlanks(key).toString() + u'=' + value.toString();
}

QString oneLine(QStringView value)
{
    QString text = value.toString();
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

IniDocument::IniDocument(QString text) : text_(std::move(text))
{
    reindex();
}

void IniDocument::reindex()
{
    static_assert(headerLine == Header && keyValueLine == Key && otherLine == Other);
    // Lines are found by 32-bit positions.
    if (text_.size() > qsizetype(std::numeric_limits<quint32>::max()))
        throw std::length_error("INI text too long");
    lines_.clear();
    headers_.clear();
    std::size_t count = 0;
    forEachLine(text_, [&](QStringView, QStringView) { ++count; });
    lines_.reserve(count);
    forEachLine(text_, [&](QStringView line, QStringView) {
        const LineShape shape = shapeOf(line);
        const auto index = static_cast<quint32>(lines_.size());
        const quint32 hash = shape.kind == otherLine ? 0 : foldedHash(shape.name);
        lines_.push_back(
            Line{static_cast<quint32>(line.data() - text_.constData()), static_cast<quint32>(shape.kind) << 30 | hash});
        if (shape.kind == headerLine)
            headers_.push_back(HeaderLine{hash, index});
    });
    std::sort(headers_.begin(), headers_.end());
    headers_.shrink_to_fit();
}

qsizetype IniDocument::lineEnd(qsizetype line) const
{
    return line + 1 < qsizetype(lines_.size()) ? qsizetype(lines_[std::size_t(line + 1)].start) : text_.size();
}

QStringView IniDocument::lineText(qsizetype line) const
{
    const qsizetype start = lines_[std::size_t(line)].start;
    qsizetype end = lineEnd(line);
    // A line holds no line break of its own, so what ends it is its ending.
    while (end > start && (text_[end - 1] == u'\r' || text_[end - 1] == u'\n'))
        --end;
    return QStringView(text_).sliced(start, end - start);
}

QStringView IniDocument::nameOf(qsizetype line) const
{
    return shapeOf(lineText(line)).name;
}

qsizetype IniDocument::valueStart(qsizetype line) const
{
    return shapeOf(lineText(line)).valueStart;
}

bool IniDocument::named(qsizetype line, QStringView name, quint32 nameHash) const
{
    return lines_[std::size_t(line)].nameHash() == nameHash && foldedEqual(nameOf(line), name);
}

qsizetype IniDocument::firstHeader(QStringView section) const
{
    const QStringView name = trimBlanks(section);
    const quint32 hash = foldedHash(name);
    // Headers of one hash lie in line order, so the first of the name comes first.
    for (auto header = std::lower_bound(headers_.begin(), headers_.end(), HeaderLine{hash, 0});
         header != headers_.end() && header->nameHash == hash; ++header)
        if (foldedEqual(nameOf(header->line), name))
            return header->line;
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype line = header + 1;
    while (line < qsizetype(lines_.size()) && lines_[std::size_t(line)].kind() != Header)
        ++line;
    return line;
}

qsizetype IniDocument::keyLine(qsizetype header, QStringView key) const
{
    const QStringView name = trimBlanks(key);
    const quint32 hash = foldedHash(name);
    for (qsizetype line = header + 1, end = sectionEnd(header); line < end; ++line)
        if (lines_[std::size_t(line)].kind() == Key && named(line, name, hash))
            return line;
    return -1;
}

std::optional<QStringView> IniDocument::value(QStringView section, QStringView key) const
{
    const qsizetype header = firstHeader(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = keyLine(header, key);
    if (line < 0)
        return std::nullopt;
    return unquoted(trimBlanks(lineText(line).sliced(valueStart(line))));
}

bool IniDocument::sectionExists(QStringView section) const
{
    const qsizetype header = firstHeader(section);
    if (header < 0)
        return false;
    for (qsizetype line = header + 1, end = sectionEnd(header); line < end; ++line)
        if (lines_[std::size_t(line)].kind() == Key)
            return true;
    return false;
}

bool IniDocument::setValue(QStringView section, QStringView key, QStringView value)
{
    checkSectionName(section);
    checkKey(key);
    const QString text = oneLine(value);

    const qsizetype header = firstHeader(section);
    if (header < 0) {
        insertLine(qsizetype(lines_.size()),
                   u'[' + trimBlanks(section).toString() + u']' + crlf + keyLineText(key, text));
        return true;
    }
    if (const qsizetype line = keyLine(header, key); line >= 0) {
        const qsizetype start = valueStart(line);
        const QStringView current = lineText(line).sliced(start);
        if (current == text)
            return false;
        text_.replace(qsizetype(lines_[std::size_t(line)].start) + start, current.size(), text);
        reindex();
        return true;
    }
    qsizetype after = header;
    for (qsizetype line = header + 1, end = sectionEnd(header); line < end; ++line)
        if (lines_[std::size_t(line)].kind() == Key)
            after = line;
    insertLine(after + 1, keyLineText(key, text));
    return true;
}

void IniDocument::insertLine(qsizetype at, const QString& text)
{
    const qsizetype count = qsizetype(lines_.size());
    if (at < count) {
        text_.insert(lines_[std::size_t(at)].start, text + crlf);
    } else {
        // The last line must end, or the new one would continue it.
        const bool lastEnds = text_.isEmpty() || text_.back() == u'\r' || text_.back() == u'\n';
        text_ += (lastEnds ? QString() : crlf) + text + crlf;
    }
    reindex();
}

template <typename Predicate> bool IniDocument::removeLines(Predicate doomed)
{
    QString kept;
    kept.reserve(text_.size());
    qsizetype header = -1;
    bool removed = false;
    for (qsizetype line = 0; line < qsizetype(lines_.size()); ++line) {
        if (lines_[std::size_t(line)].kind() == Header)
            header = line;
        if (doomed(line, header)) {
            removed = true;
            continue;
        }
        const qsizetype start = lines_[std::size_t(line)].start;
        kept += QStringView(text_).sliced(start, lineEnd(line) - start);
    }
    if (!removed)
        return false;
    text_ = std::move(kept);
    text_.squeeze();
    reindex();
    return true;
}

bool IniDocument::removeKey(QStringView section, QStringView key)
{
    const QStringView sectionName = trimBlanks(section);
    const quint32 sectionHash = foldedHash(sectionName);
    const QStringView keyName = trimBlanks(key);
    const quint32 keyHash = foldedHash(keyName);
    return removeLines([&](qsizetype line, qsizetype header) {
        return lines_[std::size_t(line)].kind() == Key && header >= 0 && named(header, sectionName, sectionHash)
               && named(line, keyName, keyHash);
    });
}

bool IniDocument::eraseSection(QStringView section)
{
    const QStringView sectionName = trimBlanks(section);
    const quint32 sectionHash = foldedHash(sectionName);
    return removeLines(
        [&](qsizetype, qsizetype header) { return header >= 0 && named(header, sectionName, sectionHash); });
}

} // namespace kirvan
