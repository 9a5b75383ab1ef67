#include "mailbox/MailboxRequest.h"

#include "link/Commands.h"
#include "platform/ConversionError.h"

#include <stdexcept>

namespace kirvan {

namespace {

std::uint8_t byteOf(int value)
{
    return static_cast<std::uint8_t>(((value % 256) + 256) % 256);
}

// Upper-case digits only: a lower-case letter is no digit here.
int hexadecimalDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

MailboxRequest requestFor(const QString& address, bool status)
{
    if (address.size() < mailbox::shortestAddress)
        throw std::invalid_argument(
            QStringLiteral("адрес \"%1\" короче %2 символов").arg(address).arg(mailbox::shortestAddress).toStdString());
    const int system = toInteger(address.mid(1, 2));
    const QChar group = address.at(4);
    const int groupValue = hexadecimalDigit(group);
    const int parameterA = groupValue < 0 ? 0 : 16 * groupValue + toInteger(address.mid(5, 1)) - 1;
    const int element = toInteger(address.mid(7, 2));

    const bool scenario = group == u'F';
    QString text = QStringLiteral("          КОМАНДА: ");
    if (scenario)
        text += status ? u"ЗАПУСТИТЬ СЦЕНАРИЙ" : u"ОСТАНОВИТЬ СЦЕНАРИЙ";
    else
        text += status ? u"ЗАМКНУТЬ КОНТАКТ" : u"РАЗОМКНУТЬ КОНТАКТ";
    return {Command{byteOf(system), status ? command::closeContact : command::openContact, byteOf(parameterA),
                    byteOf(element - 1)},
            text};
}

} // namespace kirvan
