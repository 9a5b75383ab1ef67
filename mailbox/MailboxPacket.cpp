#include "mailbox/MailboxPacket.h"

#include "files/Cp1251.h"

#include <QHash>
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

const QString* find(const Attributes& attributes, const QString& name)
{
    for (const auto& [key, value] : attributes)
        if (key == name)
            return &value;
    return nullptr;
}

void set(Attributes& attributes, const QString& name, const QString& value)
{
    for (auto& [key, old] : attributes)
        if (key == name) {
            old = value;
            return;
        }
    attributes.append({name, value});
}

void remove(Attributes& attributes, const QString& name)
{
    attributes.removeIf([&name](const auto& attribute) { return attribute.first == name; });
}

// The first child of that name; E is Element or const Element.
template <typename E>
E* child(E& parent, const QString& name)
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
    Element element{QStringLiteral("FIELD"), {{QStringLiteral("attrname"), name}, {QStringLiteral("fieldtype"), type}}, {}};
    if (!width.isEmpty())
        element.attributes.append({QStringLiteral("WIDTH"), width});
    return element;
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

MailboxPacket::MailboxPacket(Element root, QString encoding) : root_(std::move(root)), encoding_(std::move(encoding))
{
    mergeChangeLog();
}

std::optional<MailboxPacket> MailboxPacket::parse(const QByteArray& bytes, QString& error)
{
    const QString encoding = declaredEncoding(bytes);
    std::optional<Element> root;
    if (isUtf8(encoding)) {
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
    return MailboxPacket(std::move(*root), encoding);
}

QByteArray MailboxPacket::serialize() const
{
    QString body;
    QXmlStreamWriter writer(&body);
    writeTree(writer, root_);
    const QString declaration = encoding_.isEmpty()
                                    ? QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>")
                                    : QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\" standalone=\"yes\"?>").arg(encoding_);
    const QString text = declaration + body;
    return isWindows1251(encoding_) ? cp1251::encode(text).bytes : text.toUtf8();
}

void MailboxPacket::mergeChangeLog()
{
    if (Element* metadata = child(root_, QStringLiteral("METADATA")))
        if (Element* params = child(*metadata, QStringLiteral("PARAMS")))
            remove(params->attributes, changeLogAttribute);
    Element* rowData = child(root_, QStringLiteral("ROWDATA"));
    if (!rowData)
        return;
    struct Version {
        Element row;
        bool deleted = false;
    };
    QList<Version> versions;
    // Where each attribute of the last record stands, built at its first modification: every
    // attribute of the file is looked at once, however many versions a record has.
    QHash<QString, qsizetype> lastRecordIndex;
    for (Element& row : rowData->children) {
        const QString* stateText = find(row.attributes, rowStateAttribute);
        const int state = stateText ? stateText->toInt() : 0;
        remove(row.attributes, rowStateAttribute);
        if ((state & Modified) && !versions.isEmpty()) {
            Version& record = versions.last();
            Attributes& current = record.row.attributes;
            if (lastRecordIndex.isEmpty())
                for (qsizetype i = 0; i < current.size(); ++i)
                    lastRecordIndex.insert(current[i].first, i);
            for (auto& [name, value] : row.attributes) {
                const auto found = lastRecordIndex.constFind(name);
                if (found != lastRecordIndex.cend()) {
                    current[*found].second = std::move(value);
                } else {
                    lastRecordIndex.insert(name, current.size());
                    current.append({std::move(name), std::move(value)});
                }
            }
            record.deleted = record.deleted || (state & Deleted);
        } else {
            versions.append({std::move(row), (state & Deleted) != 0});
            lastRecordIndex.clear();
        }
    }
    rowData->children.clear();
    for (Version& version : versions)
        if (!version.deleted)
            rowData->children.append(std::move(version.row));
}

bool MailboxPacket::hasField(const QString& name) const
{
    const Element* metadata = child(root_, QStringLiteral("METADATA"));
    const Element* fields = metadata ? child(*metadata, QStringLiteral("FIELDS")) : nullptr;
    if (!fields)
        return false;
    return std::any_of(fields->children.begin(), fields->children.end(), [&name](const Element& element) {
        const QString* attrname = find(element.attributes, QStringLiteral("attrname"));
        return element.name == u"FIELD" && attrname && *attrname == name;
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
