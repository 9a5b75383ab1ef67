#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace kirvan {

// The command mailbox file: an XML data packet of the client-dataset family, so that writer
// programs built on those data-access components load and save it as it is.
//
//   <DATAPACKET Version="2.0"><METADATA><FIELDS>
//     <FIELD attrname="update" fieldtype="boolean"/> ... </FIELDS><PARAMS/></METADATA>
//   <ROWDATA><ROW update="TRUE" address="A01:F1-05" status="FALSE"/></ROWDATA></DATAPACKET>
//
// Writers that save with a change log leave several versions of a record, told apart by the
// row attribute RowState (bits: 1 original, 2 deleted, 4 inserted, 8 modified) and the change log
// (PARAMS CHANGE_LOG: row, the row it changes, state): a deleted row is no record, a modified row
// carries new values for the record of the row the log names (without a log: the row before
// it), the changes applied in the order of the log. A log that cannot be followed makes the
// packet unusable. Field names are matched without regard to case. Reading
// merges them into the current records; writing saves those alone, without a change log, and
// keeps everything else of the packet (other fields, parameters, attributes) as it was read.
class MailboxPacket {
public:
    using Attributes = QList<std::pair<QString, QString>>;

    struct Element {
        QString name;
        Attributes attributes;
        QList<Element> children;
    };

    // A fresh packet with the three fields and no record, for a writer that finds no file.
    MailboxPacket();

    // Parses the file's bytes in the encoding its XML declaration names (UTF-8 without one;
    // windows-1251 accepted; bytes that declare nothing and are no UTF-8 are read as
    // windows-1251). Nothing when the bytes are no such packet; `error` says why.
    static std::optional<MailboxPacket> parse(const QByteArray& bytes, QString& error);
    // The whole packet, current records only, in the encoding it was read in; in windows-1251
    // what the code page lacks is written as character references.
    QByteArray serialize() const;

    // True when METADATA declares the field.
    bool hasField(const QString& name) const;
    // True when the packet declared no encoding and was read as windows-1251.
    bool readAsWindows1251() const { return undeclared1251_; }
    int recordCount() const { return rows() ? static_cast<int>(rows()->children.size()) : 0; }
    // The value of a field of a record; nothing when null (the attribute is absent).
    std::optional<QString> value(int record, const QString& field) const;
    // A boolean field: true only for "TRUE"; null and anything else count as false.
    bool boolean(int record, const QString& field) const;

    void setValue(int record, const QString& field, const QString& value);
    void setBoolean(int record, const QString& field, bool value);
    // Appends an empty record and returns its index.
    int appendRecord();

private:
    MailboxPacket(Element root, QString encoding);

    const Element* rows() const;
    Element& rowsForWriting();
    // False with `error` set when the change log cannot be followed.
    bool mergeChangeLog(QString& error);

    Element root_;
    QString encoding_; // as declared; empty for UTF-8 without a declaration
    bool undeclared1251_ = false;
};

// The field names and boolean texts of the mailbox.
namespace mailbox {
inline const QString fieldUpdate = QStringLiteral("update");
inline const QString fieldAddress = QStringLiteral("address");
inline const QString fieldStatus = QStringLiteral("status");
inline const QString textTrue = QStringLiteral("TRUE");
inline const QString textFalse = QStringLiteral("FALSE");
// Larger files are refused unread: a mailbox holds a few requests of a few hundred bytes.
inline constexpr qint64 maximumFileSize = 64 * 1024;
} // namespace mailbox

} // namespace kirvan
