#include "platform/MessageLanguage.h"

#include <QtGlobal>

namespace kirvan {

namespace {

MessageLanguage languageOf(const QString& name)
{
    return name.startsWith(QLatin1String("ru")) ? MessageLanguage::Russian : MessageLanguage::English;
}

bool isPlainC(const QString& locale)
{
    const QString base = locale.section(QLatin1Char('.'), 0, 0);
    return base == QLatin1String("C") || base == QLatin1String("POSIX");
}

} // namespace

MessageLanguage messageLanguage(const std::function<QString(const char* variable)>& environment)
{
    QString locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = environment(variable);
        if (!locale.isEmpty())
            break;
    }
    if (locale.isEmpty() || isPlainC(locale))
        return MessageLanguage::English;
    const QString preferred = environment("LANGUAGE").section(QLatin1Char(':'), 0, 0);
    return languageOf(preferred.isEmpty() ? locale : preferred);
}

MessageLanguage messageLanguage()
{
    return messageLanguage([](const char* variable) { return qEnvironmentVariable(variable); });
}

} // namespace kirvan
