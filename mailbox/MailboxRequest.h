#pragma once

#include "link/CommandQueue.h"

#include <QString>

namespace kirvan {

// A mailbox request as a command frame request. The address text is read at fixed positions
// counted from 1: 2-3 the system address, 5 the group (a hexadecimal digit, "F" a scenario,
// any other a relay contact), 6 a digit, 8-9 the element number; 1, 4 and 7 are not used
// ("A01:F1-05"). Positions 5, 6 and 8-9 name an element as a detector identifier does.
struct MailboxRequest {
    Command command;
    // The command panel's text: start or stop a scenario, close or open a contact.
    QString text;
};

namespace mailbox {
// Fewer characters cannot hold a request.
inline constexpr qsizetype shortestAddress = 9;
} // namespace mailbox

// Code 154 when `status` is true, 155 when false; parameter A 16 × group + digit − 1 (0 when
// position 5 is no upper-case hexadecimal digit), parameter B element − 1, both modulo 256.
// Throws ConversionError when positions 2-3, 6 (after a hexadecimal digit) or 8-9 hold no
// decimal number, std::invalid_argument when the address is shorter than
// mailbox::shortestAddress; the message says what is wrong.
MailboxRequest requestFor(const QString& address, bool status);

} // namespace kirvan
