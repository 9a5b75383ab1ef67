#pragma once

#include "link/CommandQueue.h"

#include <QString>

namespace kirvan {

// A mailbox request as a command frame request. The address text has exactly nine characters,
// read at fixed positions counted from 1: 2-3 the system address (00 to 03), 5 the group (an
// upper-case hexadecimal digit, "F" a scenario, any other a relay contact), 6 a digit 1 to 9,
// 8-9 the element number 01 to 99; 1, 4 and 7 are not read but hold no blank ("A01:F1-05").
// Positions 5, 6 and 8-9 name an element as a detector identifier does.
struct MailboxRequest {
    Command command;
    // The command panel's text: start or stop a scenario, close or open a contact.
    QString text;
    // The journal's line for the request carried out: "ПОЧТОВЫЙ ЯЩИК: ЗАПУСТИТЬ СЦЕНАРИЙ 5 СИСТЕМЫ A01".
    QString journal;
};

namespace mailbox {
// The address's length.
inline constexpr qsizetype addressLength = 9;
} // namespace mailbox

// Code 154 when `status` is true, 155 when false; parameter A 16 × group + digit − 1, parameter B
// element − 1. Throws std::invalid_argument when the address does not follow the layout (another
// length, a blank, a system other than 00 to 03, a group that is no upper-case hexadecimal digit,
// a digit other than 1 to 9, an element other than 01 to 99): such a request is refused whole,
// never read as another command. The message says what is wrong.
MailboxRequest requestFor(const QString& address, bool status);

} // namespace kirvan
