#include "mailbox/MailboxPacket.h"

#include "files/Cp1251.h"

#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>

namespace kirvan {

namespace {

const QString rowStateAttribute = QStringLiteral("RowState");
const QString changeLogAttribute = QStringLiteral("CHANGE_LOG");
// A data packet nests a few levels; deeper input is no packet and must not exhaust the stack.
constexpr int deepestLevel = 16;

enum RowState { Deleted = 2, Modified = 8 };

using Element = MailboxPacket::Element;
using Attributes = MailboxPacket::Attributes;

// Field names are matched without regard to case, as the dataset's own readers match them.
const QString* find(const Attributes& attributes, const QString& name)
{
    for (const auto& [key, value] : attributes)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return &value;
    return nullptr;
}

void set(Attributes& attributes, const QString& name, const QString& value)
{
    for (auto& [key, old] : attributes)
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            old = value;
            return;
        }
    attributes.append({name, value});
}

void remove(Attributes& attributes, const QString& name)
{
    attributes.removeIf(
        [&name](const auto& attribute) { return attribute.first.compare(name, Qt::CaseInsensitive) == 0; });
}

// The first child of that name; E is Element or const Element.
template <typename E> E* child(E& parent, const QString& name)
{
    for (E& element : parent.children)
        if (element.name == name)
            return &element;
    return nullptr;
}

bool isWindows1251(const QString& encoding)
{
    return encoding.compare(u"windows-1251", Qt::CaseInsensitive) == 0
           || encoding.compare(u"cp1251", Qt::CaseInsensitive) == 0;
}

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

// Characters the code page lacks, as character references, so that a field comes back exactly as
// it was read. Only values hold such characters: names and marks of a packet are ASCII.
QString withReferences(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringView character = QStringView(text).sliced(i, width);
        if (text[i].unicode() < 0x80 || cp1251::encode(character).unmappable == 0)
            out += character;
        else
            out += QStringLiteral("&#%1;").arg(character.toUcs4().value(0));
        i += width - 1;
    }
    return out;
}

bool isUtf8(const QString& encoding)
{
    return encoding.isEmpty() || encoding.compare(u"UTF-8", Qt::CaseInsensitive) == 0
           || encoding.compare(u"UTF8", Qt::CaseInsensitive) == 0;
}

// The encoding the XML declaration names; empty without one.
QString declaredEncoding(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartDocument)
            return reader.documentEncoding().toString();
        if (token != QXmlStreamReader::NoToken)
            break;
    }
    return {};
}

std::optional<Element> readTree(QXmlStreamReader& reader, QString& error)
{
    QList<Element> open; // the path from the root to the element being read
    std::optional<Element> root;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (root || open.size() >= deepestLevel) {
                error = root ? QStringLiteral("после корневого элемента есть ещё один")
                             : QStringLiteral("слишком глубокая вложенность элементов");
                return std::nullopt;
            }
            Element element{reader.name().toString(), {}, {}};
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                element.attributes.append({attribute.qualifiedName().toString(), attribute.value().toString()});
            open.append(std::move(element));
            break;
        }
        case QXmlStreamReader::EndElement: {
            Element done = open.takeLast();
            if (open.isEmpty())
                root = std::move(done);
            else
                open.last().children.append(std::move(done));
            break;
        }
        default:
            break; // text between the elements of a packet is layout only
        }
    }
    if (reader.hasError()) {
        error = QStringLiteral("строка %1, позиция %2: %3")
                    .arg(reader.lineNumber())
                    .arg(reader.columnNumber())
                    .arg(reader.errorString());
        return std::nullopt;
    }
    if (!root || root->name != u"DATAPACKET") {
        error = QStringLiteral("нет элемента DATAPACKET");
        return std::nullopt;
    }
    return root;
}

void writeTree(QXmlStreamWriter& writer, const Element& element)
{
    writer.writeStartElement(element.name);
    for (const auto& [name, value] : element.attributes)
        writer.writeAttribute(name, value);
    for (const Element& inner : element.children)
        writeTree(writer, inner);
    writer.writeEndElement();
}

Element field(const QString& name, const QString& type, const QString& width = {})
{
    Element element{QStringLiteral("FIELD"),
                    {{QStringLiteral("attrname"), name}, {QStringLiteral("fieldtype"), type}},
                    {}};
    if (!width.isEmpty())
        element.attributes.append({QStringLiteral("WIDTH"), width});
    return element;
}

// One row of the packet's change log: the row, the row whose record it changes (-1: a record of
// its own) and whether it deletes that record.
struct Change {
    qsizetype row = 0;
    qsizetype base = -1;
    bool deletes = false;
};

int rowStateOf(const Element& row)
{
    const QString* state = find(row.attributes, rowStateAttribute);
    return state ? state->toInt() : 0;
}

// The changes in the order they were made. With a change log (triples: row, the row it changes
// or 0, its state; rows counted from 1) the log says which row changes which; without one a
// modified row changes the record of the row before it. Rows the log does not name stand as
// their RowState says.
std::optional<QList<Change>> changesOf(const QList<Element>& rows, const QString& changeLog, QString& error)
{
    QList<Change> changes;
    QList<bool> named(rows.size(), false);
    const QStringList numbers = changeLog.split(u' ', Qt::SkipEmptyParts);
    if (numbers.size() % 3 != 0) {
        error = QStringLiteral("журнал изменений \"%1\" не из троек чисел").arg(changeLog);
        return std::nullopt;
    }
    QList<Change> logged;
    for (qsizetype i = 0; i < numbers.size(); i += 3) {
        bool rowOk = false, baseOk = false, stateOk = false;
        const qsizetype row = numbers[i].toLongLong(&rowOk) - 1;
        const qsizetype base = numbers[i + 1].toLongLong(&baseOk) - 1;
        const int state = numbers[i + 2].toInt(&stateOk);
        if (!rowOk || !baseOk || !stateOk || row < 0 || row >= rows.size() || base < -1 || base >= rows.size()
            || base == row || named[row]) {
            error = QStringLiteral("журнал изменений \"%1\" не соответствует строкам пакета").arg(changeLog);
            return std::nullopt;
        }
        named[row] = true;
        logged.append({row, (state & (Modified | Deleted)) ? base : -1, (state & Deleted) != 0});
    }
    for (qsizetype row = 0; row < rows.size(); ++row) {
        if (named[row])
            continue;
        const int state = rowStateOf(rows[row]);
        const bool follows = changeLog.isEmpty() && (state & Modified) && row > 0;
        changes.append({row, follows ? row - 1 : -1, (state & Deleted) != 0});
    }
    // Records first, in file order, then the changes in the order they were made.
    for (const Change& change : logged)
        if (change.base < 0)
            changes.append(change);
    std::stable_sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
        return (a.base < 0 && b.base < 0) ? a.row < b.row : (a.base < 0) > (b.base < 0);
    });
    for (const Change& change : logged)
        if (change.base >= 0)
            changes.append(change);
    return changes;
}

} // namespace

MailboxPacket::MailboxPacket()
{
    using namespace mailbox;
    const Element fields{QStringLiteral("FIELDS"),
                         {},
                         {field(fieldUpdate, QStringLiteral("boolean")),
                          field(fieldAddress, QStringLiteral("string"), QStringLiteral("20")),
                          field(fieldStatus, QStringLiteral("boolean"))}};
    const Element metadata{QStringLiteral("METADATA"), {}, {fields, Element{QStringLiteral("PARAMS"), {}, {}}}};
    root_ = Element{QStringLiteral("DATAPACKET"),
                    {{QStringLiteral("Version"), QStringLiteral("2.0")}},
                    {metadata, Element{QStringLiteral("ROWDATA"), {}, {}}}};
}

MailboxPacket::MailboxPacket(Element root, QString encoding) : root_(std::move(root)), encoding_(std::move(encoding)) {}

std::optional<MailboxPacket> MailboxPacket::parse(const QByteArray& bytes, QString& error)
{
    const QString encoding = declaredEncoding(bytes);
    std::optional<Element> root;
    bool guessed = false;
    if (encoding.isEmpty() && !isValidUtf8(bytes)) {
        // Saved without a declaration in the code page of the writer's computer.
        QXmlStreamReader reader(cp1251::decode(bytes));
        root = readTree(reader, error);
        guessed = true;
    } else if (isUtf8(encoding)) {
        QXmlStreamReader reader(bytes);
        root = readTree(reader, error);
    } else if (isWindows1251(encoding)) {
        // Decoded by the program's own table, the one every other file of the workstation uses.
        QXmlStreamReader reader(cp1251::decode(bytes));
        root = readTree(reader, error);
    } else {
        error = QStringLiteral("кодировка %1 не поддерживается (нужна UTF-8 или windows-1251)").arg(encoding);
    }
    if (!root)
        return std::nullopt;
    MailboxPacket packet(std::move(*root), encoding);
    packet.undeclared1251_ = guessed;
    if (!packet.mergeChangeLog(error))
        return std::nullopt;
    return packet;
}

QByteArray MailboxPacket::serialize() const
{
    QString body;
    QXmlStreamWriter writer(&body);
    writeTree(writer, root_);
    const QString declaration
        = encoding_.isEmpty()
              ? QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>")
              : QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\" standalone=\"yes\"?>").arg(encoding_);
    const QString text = declaration + body;
    return isWindows1251(encoding_) || undeclared1251_ ? cp1251::encode(withReferences(text)).bytes : text.toUtf8();
}

bool MailboxPacket::mergeChangeLog(QString& error)
{
    QString changeLog;
    if (Element* metadata = child(root_, QStringLiteral("METADATA")))
        if (Element* params = child(*metadata, QStringLiteral("PARAMS"))) {
            if (const QString* log = find(params->attributes, changeLogAttribute))
                changeLog = *log;
            remove(params->attributes, changeLogAttribute);
        }
    Element* rowData = child(root_, QStringLiteral("ROWDATA"));
    if (!rowData)
        return true;
    auto changes = changesOf(rowData->children, changeLog, error);
    if (!changes)
        return false;
    // Records are the rows that change no other, in file order; the changes then apply in the
    // order they were made.
    struct Record {
        Element row;
        bool deleted = false;
    };
    QList<Record> records;
    QList<qsizetype> recordOf(rowData->children.size(), -1);
    for (const Change& change : *changes)
        if (change.base < 0) {
            recordOf[change.row] = records.size();
            records.append({std::move(rowData->children[change.row]), change.deletes});
        }
    for (const Change& change : *changes) {
        if (change.base < 0)
            continue;
        const qsizetype record = recordOf[change.base];
        if (record < 0) {
            error = QStringLiteral("журнал изменений ссылается на строку %1, которой нет").arg(change.base + 1);
            return false;
        }
        recordOf[change.row] = record;
        Attributes& current = records[record].row.attributes;
        for (auto& [name, value] : rowData->children[change.row].attributes)
            set(current, name, value);
        records[record].deleted = records[record].deleted || change.deletes;
    }
    rowData->children.clear();
    for (Record& record : records) {
        remove(record.row.attributes, rowStateAttribute);
        if (!record.deleted)
            rowData->children.append(std::move(record.row));
    }
    return true;
}

bool MailboxPacket::hasField(const QString& name) const
{
    const Element* metadata = child(root_, QStringLiteral("METADATA"));
    const Element* fields = metadata ? child(*metadata, QStringLiteral("FIELDS")) : nullptr;
    if (!fields)
        return false;
    return std::any_of(fields->children.begin(), fields->children.end(), [&name](const Element& element) {
        const QString* attrname = find(element.attributes, QStringLiteral("attrname"));
        return element.name == u"FIELD" && attrname && attrname->compare(name, Qt::CaseInsensitive) == 0;
    });
}

const Element* MailboxPacket::rows() const
{
    return child(root_, QStringLiteral("ROWDATA"));
}

Element& MailboxPacket::rowsForWriting()
{
    if (Element* existing = child(root_, QStringLiteral("ROWDATA")))
        return *existing;
    root_.children.append(Element{QStringLiteral("ROWDATA"), {}, {}});
    return root_.children.last();
}

std::optional<QString> MailboxPacket::value(int record, const QString& field) const
{
    const QString* found = find(rows()->children[record].attributes, field);
    return found ? std::optional<QString>(*found) : std::nullopt;
}

bool MailboxPacket::boolean(int record, const QString& field) const
{
    return value(record, field).value_or(QString()).compare(mailbox::textTrue, Qt::CaseInsensitive) == 0;
}

void MailboxPacket::setValue(int record, const QString& field, const QString& value)
{
    set(rowsForWriting().children[record].attributes, field, value);
}

void MailboxPacket::setBoolean(int record, const QString& field, bool value)
{
    setValue(record, field, value ? mailbox::textTrue : mailbox::textFalse);
}

int MailboxPacket::appendRecord()
{
    Element& rowData = rowsForWriting();
    rowData.children.append(Element{QStringLiteral("ROW"), {}, {}});
    return static_cast<int>(rowData.children.size() - 1);
}

} // namespace kirvan
