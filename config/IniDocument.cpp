#include "config/IniDocument.h"

#include "config/TextLines.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace kirvan {

namespace {

constexpr QStringView crlf = u"\r\n";

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

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

QString fold(QStringView name) { return trimBlanks(name).toString().toCaseFolded(); }

QStringView unquoted(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

bool hasLineBreak(QStringView text) { return text.contains(u'\r') || text.contains(u'\n'); }

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
    if (trimmed.isEmpty() || hasLineBreak(key) || key.contains(u'=') || trimmed.front() == u';'
        || trimmed.front() == u'[')
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

IniDocument::IniDocument(QStringView text)
{
    forEachLine(text, [this](QStringView line, QStringView ending) {
        // The line keeps a view of a constant, not of the text it was read from.
        const QStringView kept = ending == crlf             ? crlf
                                 : ending == QStringView(u"\n") ? QStringView(u"\n")
                                 : ending.isEmpty()          ? QStringView()
                                                             : QStringView(u"\r");
        lines_.push_back(makeLine(line.toString(), kept));
    });
    reindex();
}

IniDocument::Line IniDocument::makeLine(QString text, QStringView ending)
{
    Line line;
    line.text = std::move(text);
    line.ending = ending;
    const QStringView content = trimBlanks(line.text);
    if (content.isEmpty() || content.front() == u';')
        return line;
    if (content.front() == u'[') {
        const qsizetype close = content.indexOf(u']');
        if (close > 0) {
            line.kind = Kind::Header;
            line.name = fold(content.sliced(1, close - 1));
            return line;
        }
    }
    const qsizetype equals = line.text.indexOf(u'=');
    if (equals < 0)
        return line;
    QString key = fold(QStringView(line.text).first(equals));
    if (key.isEmpty())
        return line;
    line.kind = Kind::Key;
    line.name = std::move(key);
    line.valueStart = equals + 1;
    return line;
}

void IniDocument::reindex()
{
    sections_.clear();
    Section* current = nullptr;
    for (qsizetype i = 0; i < qsizetype(lines_.size()); ++i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        if (line.kind == Kind::Header) {
            // A later section of the same name is invisible to reads.
            const bool first = !sections_.contains(line.name);
            current = first ? &sections_.insert(line.name, Section{i, -1, {}}).value() : nullptr;
        } else if (line.kind == Kind::Key && current) {
            if (!current->keys.contains(line.name))
                current->keys.insert(line.name, i);
            current->lastKey = i;
        }
    }
}

std::optional<QStringView> IniDocument::value(QStringView section, QStringView key) const
{
    const auto found = sections_.constFind(fold(section));
    if (found == sections_.cend())
        return std::nullopt;
    const auto keyLine = found->keys.constFind(fold(key));
    if (keyLine == found->keys.cend())
        return std::nullopt;
    const Line& line = lines_[static_cast<std::size_t>(keyLine.value())];
    return unquoted(trimBlanks(QStringView(line.text).sliced(line.valueStart)));
}

bool IniDocument::sectionExists(QStringView section) const
{
    const auto found = sections_.constFind(fold(section));
    return found != sections_.cend() && !found->keys.isEmpty();
}

bool IniDocument::setValue(QStringView section, QStringView key, QStringView value)
{
    checkSectionName(section);
    checkKey(key);
    const QString text = oneLine(value);

    const auto found = sections_.constFind(fold(section));
    if (found == sections_.cend()) {
        insertLine(qsizetype(lines_.size()), u'[' + trimBlanks(section).toString() + u']');
        insertLine(qsizetype(lines_.size()), keyLineText(key, text));
        reindex();
        return true;
    }
    const auto existing = found->keys.constFind(fold(key));
    if (existing != found->keys.cend()) {
        Line& line = lines_[static_cast<std::size_t>(existing.value())];
        if (QStringView(line.text).sliced(line.valueStart) == text)
            return false;
        line.text = line.text.first(line.valueStart) + text;
        reindex();
        return true;
    }
    const qsizetype after = found->lastKey >= 0 ? found->lastKey : found->header;
    insertLine(after + 1, keyLineText(key, text));
    reindex();
    return true;
}

void IniDocument::insertLine(qsizetype at, QString text)
{
    // The line before must end, or the new one would continue it.
    if (at > 0) {
        Line& before = lines_[static_cast<std::size_t>(at - 1)];
        if (before.ending.isEmpty())
            before.ending = crlf;
    }
    lines_.insert(lines_.begin() + at, makeLine(std::move(text), crlf));
}

template <typename Predicate> bool IniDocument::removeLines(Predicate doomed)
{
    // A copy, not a pointer: remove_if moves lines over the header while the section goes on.
    std::optional<QString> section;
    const auto kept = std::remove_if(lines_.begin(), lines_.end(), [&](const Line& line) {
        if (line.kind == Kind::Header)
            section = line.name;
        return doomed(line, section ? &*section : nullptr);
    });
    if (kept == lines_.end())
        return false;
    lines_.erase(kept, lines_.end());
    reindex();
    return true;
}

bool IniDocument::removeKey(QStringView section, QStringView key)
{
    const QString sectionName = fold(section);
    const QString keyName = fold(key);
    return removeLines([&](const Line& line, const QString* in) {
        return line.kind == Kind::Key && in && *in == sectionName && line.name == keyName;
    });
}

bool IniDocument::eraseSection(QStringView section)
{
    const QString sectionName = fold(section);
    return removeLines([&](const Line&, const QString* in) { return in && *in == sectionName; });
}

QString IniDocument::serialize() const
{
    QString text;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.ending;
    }
    return text;
}

} // namespace kirvan
