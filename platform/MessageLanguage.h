#pragma once

#include <QString>
#include <functional>

namespace kirvan {

// The language of the programs' own terminal texts (--help and the manual pages made from it):
// Russian when the user's locale asks for it, English otherwise.
enum class MessageLanguage { English, Russian };

// Decides as gettext does: the locale is the first of LC_ALL, LC_MESSAGES and LANG that is set;
// LANGUAGE, a list of preferred languages, overrides it unless the locale is C or POSIX.
MessageLanguage messageLanguage(const std::function<QString(const char* variable)>& environment);
// From the process's environment.
MessageLanguage messageLanguage();

} // namespace kirvan
