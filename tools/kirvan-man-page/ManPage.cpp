#include "tools/kirvan-man-page/ManPage.h"

#include <QRegularExpression>
#include <QStringList>

namespace kirvan {

namespace {

struct Item {
    QString term;
    QString text;
};

struct HelpText {
    QStringList synopsis;
    QStringList description; // paragraphs' lines; an empty line separates paragraphs
    QList<Item> items;
    QStringList notes; // lines after the items
};

// Roff takes a backslash as an escape, a leading dot or quote as a request, and "-" as a hyphen
// that may not be typed as the minus of an option.
QString escaped(const QString& text)
{
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\e"));
    out.replace(u'-', QStringLiteral("\\-"));
    out.replace(u'"', QStringLiteral("\\(dq"));
    if (out.startsWith(u'.') || out.startsWith(u'\''))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

HelpText parse(const QString& name, const QString& help)
{
    static const QRegularExpression usage(QStringLiteral("^(Usage|Использование):\\s+(.*)$"));
    // The text of an item follows its last gap of two blanks or more; the term may hold aligned
    // gaps of its own ("ini get      FILE SECTION KEY").
    static const QRegularExpression item(QStringLiteral("^  (\\S.*\\S)\\s{2,}(\\S.*)$|^  (\\S.*)$"));
    static const QRegularExpression continued(QStringLiteral("^\\s{3,}(\\S.*)$"));
    HelpText parsed;
    bool inSynopsis = false;
    for (const QString& line : help.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (const auto match = usage.match(line); match.hasMatch()) {
            parsed.synopsis << match.captured(2).trimmed();
            inSynopsis = true;
            continue;
        }
        if (inSynopsis && line.startsWith(u' ') && !parsed.synopsis.isEmpty()) {
            if (trimmed.startsWith(name + u' ') || trimmed == name)
                parsed.synopsis << trimmed;
            else
                parsed.synopsis.back() += u' ' + trimmed;
            continue;
        }
        inSynopsis = false;
        if (trimmed.isEmpty()) {
            if (parsed.items.isEmpty())
                parsed.description << QString();
            continue;
        }
        if (const auto more = continued.match(line); more.hasMatch() && !parsed.items.isEmpty()) {
            parsed.items.back().text += u' ' + more.captured(1);
        } else if (const auto option = item.match(line); option.hasMatch()) {
            const QString term = option.hasCaptured(1) ? option.captured(1) : option.captured(3);
            parsed.items << Item{term.simplified(), option.captured(2)};
        } else if (parsed.items.isEmpty()) {
            parsed.description << trimmed;
        } else {
            parsed.notes << trimmed;
        }
    }
    return parsed;
}

struct Titles {
    const char16_t* manual;
    const char16_t* name;
    const char16_t* synopsis;
    const char16_t* description;
    const char16_t* options;
    const char16_t* files;
    const char16_t* seeAlso;
};

const Titles English{u"User Commands", u"NAME", u"SYNOPSIS", u"DESCRIPTION", u"OPTIONS", u"FILES", u"SEE ALSO"};
const Titles Russian{
    u"Пользовательские команды", u"ИМЯ", u"ОБЗОР", u"ОПИСАНИЕ", u"ПАРАМЕТРЫ", u"ФАЙЛЫ", u"СМОТРИТЕ ТАКЖЕ"};

// Journal texts and detector names are Cyrillic even in the English pages. A terminal that can show
// only ASCII or Latin-1 (the C locale) would drop them, so those devices get them transliterated.
QString transliterationForNarrowDevices()
{
    static const char16_t* const latin[] = {
        u"A", u"B", u"V", u"G", u"D", u"E",  u"Zh", u"Z",  u"I",  u"J",    u"K",     u"L", u"M", u"N", u"O",  u"P",
        u"R", u"S", u"T", u"U", u"F", u"Kh", u"Ts", u"Ch", u"Sh", u"Shch", u"\\(dq", u"Y", u"'", u"E", u"Yu", u"Ya"};
    const auto character = [](int code, const QString& text) {
        return QStringLiteral(".char \\[u%1] %2\n").arg(QString::number(code, 16).toUpper().rightJustified(4, u'0'), text);
    };
    QString block = QStringLiteral(".nr kirvan-narrow 0\n.if '\\*[.T]'ascii' .nr kirvan-narrow 1\n"
                                   ".if '\\*[.T]'latin1' .nr kirvan-narrow 1\n.if \\n[kirvan-narrow] \\{\\\n");
    for (int letter = 0; letter < 32; ++letter) {
        const QString upper = QString::fromUtf16(latin[letter]);
        block += character(0x410 + letter, upper) + character(0x430 + letter, upper.toLower());
    }
    block += character(0x401, QStringLiteral("Yo")) + character(0x451, QStringLiteral("yo"))
             + character(0x2116, QStringLiteral("No"));
    return block + QStringLiteral(".\\}\n");
}

void paragraphs(QString& page, const QStringList& lines)
{
    bool open = false;
    for (const QString& line : lines) {
        if (line.isEmpty()) {
            open = false;
            continue;
        }
        if (!open)
            page += QStringLiteral(".PP\n");
        page += escaped(line) + u'\n';
        open = true;
    }
}

} // namespace

QString manPage(const ManPageSource& source)
{
    const Titles& titles = source.language == MessageLanguage::Russian ? Russian : English;
    HelpText help = parse(source.name, source.help);
    // The first line of the description is the summary of the NAME section.
    while (!help.description.isEmpty() && help.description.front().isEmpty())
        help.description.removeFirst();
    // The summary is the first sentence, however many lines it runs over.
    QString summary;
    while (!help.description.isEmpty() && !help.description.front().isEmpty() && !summary.endsWith(u'.'))
        summary += (summary.isEmpty() ? QString() : QStringLiteral(" ")) + help.description.takeFirst();
    if (summary.endsWith(u'.'))
        summary.chop(1);
    for (const QString& paragraph : source.description)
        help.description << QString() << paragraph;

    QString page = transliterationForNarrowDevices();
    page += QStringLiteral(".TH %1 1 \"\" \"%2\" \"%3\"\n")
                .arg(source.name.toUpper(), escaped(source.version), QString::fromUtf16(titles.manual));
    page += QStringLiteral(".SH %1\n%2 \\- %3\n")
                .arg(QString::fromUtf16(titles.name), escaped(source.name), escaped(summary));
    page += QStringLiteral(".SH %1\n").arg(QString::fromUtf16(titles.synopsis));
    for (const QString& form : help.synopsis) {
        const QString arguments = form.mid(source.name.size()).trimmed();
        page += QStringLiteral(".B %1\n").arg(escaped(source.name));
        if (!arguments.isEmpty())
            page += escaped(arguments) + u'\n';
        page += QStringLiteral(".br\n");
    }
    if (!help.description.isEmpty()) {
        page += QStringLiteral(".SH %1\n").arg(QString::fromUtf16(titles.description));
        paragraphs(page, help.description);
    }
    if (!help.items.isEmpty() || !help.notes.isEmpty()) {
        page += QStringLiteral(".SH %1\n").arg(QString::fromUtf16(titles.options));
        for (const Item& option : help.items) {
            page += QStringLiteral(".TP\n.B %1\n").arg(escaped(option.term));
            if (!option.text.isEmpty())
                page += escaped(option.text) + u'\n';
        }
        paragraphs(page, help.notes);
    }
    if (!source.files.isEmpty()) {
        page += QStringLiteral(".SH %1\n").arg(QString::fromUtf16(titles.files));
        for (const ManPageFile& file : source.files)
            page += QStringLiteral(".TP\n.I %1\n%2\n").arg(escaped(file.path), escaped(file.meaning));
    }
    if (!source.seeAlso.isEmpty()) {
        QStringList references;
        for (const QString& reference : source.seeAlso) {
            const qsizetype section = reference.indexOf(u'(');
            references << QStringLiteral(".BR %1 %2").arg(escaped(reference.left(section)), reference.mid(section));
        }
        page += QStringLiteral(".SH %1\n%2\n")
                    .arg(QString::fromUtf16(titles.seeAlso), references.join(QStringLiteral(" ,\n")));
    }
    return page;
}

} // namespace kirvan
