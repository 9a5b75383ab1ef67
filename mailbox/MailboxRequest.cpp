#include "mailbox/MailboxRequest.h"

#include "link/Commands.h"

#include <stdexcept>

namespace kirvan {

namespace {

// Upper-case digits only: a lower-case letter is no digit here.
int hexadecimalDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// Two decimal digits, or -1.
int twoDigits(const QString& address, qsizetype at)
{
    const QChar high = address.at(at);
    const QChar low = address.at(at + 1);
    if (high < u'0' || high > u'9' || low < u'0' || low > u'9')
        return -1;
    return 10 * (high.unicode() - u'0') + (low.unicode() - u'0');
}

[[noreturn]] void refuse(const QString& address, const QString& what)
{
    throw std::invalid_argument(QStringLiteral("адрес \"%1\": %2").arg(address, what).toStdString());
}

} // namespace

MailboxRequest requestFor(const QString& address, bool status)
{
    if (address.size() != mailbox::addressLength)
        refuse(address, QStringLiteral("не %1 символов, как A01:F1-05").arg(mailbox::addressLength));
    for (const QChar c : address)
        if (c.isSpace() || c.isNull())
            refuse(address, QStringLiteral("пробел в адресе"));
    const int system = twoDigits(address, 1);
    if (system < 0 || system > 3)
        refuse(address, QStringLiteral("система \"%1\" не от 00 до 03 (символы 2-3)").arg(address.mid(1, 2)));
    const QChar group = address.at(4);
    const int groupValue = hexadecimalDigit(group);
    if (groupValue < 0)
        refuse(address, QStringLiteral("группа \"%1\" не шестнадцатеричная цифра 0-9, A-F (символ 5)").arg(group));
    const QChar digit = address.at(5);
    if (digit < u'1' || digit > u'9')
        refuse(address, QStringLiteral("цифра \"%1\" не от 1 до 9 (символ 6)").arg(digit));
    const int element = twoDigits(address, 7);
    if (element < 1)
        refuse(address, QStringLiteral("элемент \"%1\" не от 01 до 99 (символы 8-9)").arg(address.mid(7, 2)));

    const bool scenario = group == u'F';
    const QString action = scenario
                               ? (status ? QStringLiteral("ЗАПУСТИТЬ СЦЕНАРИЙ") : QStringLiteral("ОСТАНОВИТЬ СЦЕНАРИЙ"))
                               : (status ? QStringLiteral("ЗАМКНУТЬ КОНТАКТ") : QStringLiteral("РАЗОМКНУТЬ КОНТАКТ"));
    // The scenario of the usual digit 1 by its number; any other element by its characters.
    const QString what = scenario && digit == u'1' ? QString::number(element)
                                                   : QString(group) + digit + u'-' + address.mid(7, 2);
    MailboxRequest request;
    request.command = Command{static_cast<std::uint8_t>(system), status ? command::closeContact : command::openContact,
                              static_cast<std::uint8_t>(16 * groupValue + (digit.unicode() - u'0') - 1),
                              static_cast<std::uint8_t>(element - 1)};
    request.text = QStringLiteral("          КОМАНДА: ") + action;
    request.journal = QStringLiteral("ПОЧТОВЫЙ ЯЩИК: %1 %2 СИСТЕМЫ A%3").arg(action, what, address.mid(1, 2));
    return request;
}

} // namespace kirvan
