// Data packets as different writer programs save them: the command each gives, or why none.
#include "files/Cp1251.h"
#include "mailbox/MailboxPacket.h"
#include "mailbox/MailboxRequest.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

const QByteArray fields
    = R"(<METADATA><FIELDS><FIELD attrname="update" fieldtype="boolean"/><FIELD attrname="address" fieldtype="string" WIDTH="20"/>)"
      R"(<FIELD attrname="status" fieldtype="boolean"/></FIELDS><PARAMS%1/></METADATA>)";

QByteArray packet(const QByteArray& changeLog, const QByteArray& rows)
{
    const QByteArray params = changeLog.isEmpty() ? QByteArray() : R"( CHANGE_LOG=")" + changeLog + '"';
    return R"(<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0">)"
           + QByteArray(fields).replace("%1", params) + "<ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

struct Style {
    const char* name;
    QByteArray bytes;
    std::optional<Command> command; // nothing: no request, or the packet is refused
    bool refused = false;
    friend void PrintTo(const Style& s, std::ostream* os) { *os << s.name; }
};

class MailboxWriterStyleTest : public ::testing::TestWithParam<Style> {};

TEST_P(MailboxWriterStyleTest, GivesTheCommandOfItsCurrentFirstRecord)
{
    const Style& s = GetParam();
    QString error;
    const auto parsed = MailboxPacket::parse(s.bytes, error);
    ASSERT_EQ(!parsed, s.refused) << error.toStdString();
    if (!parsed)
        return;
    std::optional<Command> command;
    if (parsed->recordCount() > 0 && parsed->boolean(0, mailbox::fieldUpdate))
        command = requestFor(parsed->value(0, mailbox::fieldAddress).value_or(QString()),
                             parsed->boolean(0, mailbox::fieldStatus))
                      .command;
    EXPECT_EQ(command, s.command);
}

const Command start{1, 154, 240, 4};

INSTANTIATE_TEST_SUITE_P(
    Writers, MailboxWriterStyleTest,
    ::testing::Values(
        Style{"Plain", packet({}, R"(<ROW update="TRUE" address="A01:F1-05" status="TRUE"/>)"), start},
        Style{"FieldNamesInOtherCase",
              packet({}, R"(<ROW Update="TRUE" ADDRESS="A01:F1-05" Status="TRUE"/>)")
                  .replace(R"(attrname="update")", R"(attrname="Update")"),
              start},
        Style{"ModificationRightAfterItsRow",
              packet("2 1 8",
                     R"(<ROW RowState="1" update="FALSE" address="A01:F1-05" status="TRUE"/><ROW RowState="8" update="TRUE"/>)"),
              start},
        Style{"ModificationAfterAnotherRecord",
              packet("3 1 8",
                     R"(<ROW RowState="1" update="FALSE" address="A01:F1-05" status="TRUE"/>)"
                     R"(<ROW update="FALSE" address="A02:F1-05" status="TRUE"/><ROW RowState="8" update="TRUE"/>)"),
              start},
        Style{"TwoModificationsInTheOrderMade",
              packet("3 1 8 2 1 8", R"(<ROW RowState="1" update="FALSE" address="A03:F1-05" status="TRUE"/>)"
                                    R"(<ROW RowState="8" update="TRUE"/><ROW RowState="8" address="A01:F1-05"/>)"),
              start},
        Style{"DeletedFirstRecord",
              packet("1 0 2", R"(<ROW RowState="3" update="TRUE" address="A02:F1-05" status="TRUE"/>)"
                              R"(<ROW update="TRUE" address="A01:F1-05" status="TRUE"/>)"),
              start},
        Style{"InsertedRecord",
              packet("1 0 4", R"(<ROW RowState="4" update="TRUE" address="A01:F1-05" status="TRUE"/>)"), start},
        Style{"ModifiedThenDeleted",
              packet("2 1 8 3 1 2",
                     R"(<ROW RowState="1" update="FALSE" address="A02:F1-05" status="TRUE"/>)"
                     R"(<ROW RowState="8" update="TRUE"/><ROW RowState="2"/><ROW update="TRUE" address="A01:F1-05" status="TRUE"/>)"),
              start},
        Style{"Windows1251WithCyrillic",
              R"(<?xml version="1.0" encoding="windows-1251" standalone="yes"?><DATAPACKET Version="2.0">)"
                  + QByteArray(fields).replace("%1", "") + "<ROWDATA>"
                  + cp1251::encode(u"<ROW update=\"TRUE\" address=\"A01:F1-05\" status=\"TRUE\" comment=\"Цех\"/>"_s).bytes
                  + "</ROWDATA></DATAPACKET>",
              start},
        Style{"ChangeLogOfTwoNumbers",
              packet("2 1", R"(<ROW update="TRUE" address="A01:F1-05" status="TRUE"/><ROW/>)"),
              {},
              true},
        Style{"ChangeLogNamingNoRow", packet("5 1 8", R"(<ROW update="TRUE" address="A01:F1-05" status="TRUE"/>)"), {}, true},
        Style{"ChangeLogOfTheRowsLater",
              packet("1 2 8 2 0 4",
                     R"(<ROW RowState="8" update="TRUE"/><ROW RowState="4" update="FALSE" address="A01:F1-05" status="TRUE"/>)"),
              start}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace kirvan
