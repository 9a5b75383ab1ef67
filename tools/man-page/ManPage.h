#pragma once

#include "platform/MessageLanguage.h"

#include <QString>

namespace kirvan {

// A manual page in roff (man macros) made from a program's --help text, so that the page and the
// program never disagree. The text is read in the form all of the project's programs print:
//   Usage: NAME ...                 the synopsis ("Использование:" in Russian); lines that follow
//          NAME ... | [...]         it indented continue it or give another form
//   One line of description.        the page's one-line summary, then further paragraphs
//     TERM  TEXT                    an option or command (two blanks before it, two between)
//           MORE TEXT               continuing the text above
struct ManPageSource {
    QString name;     // the program's name, as it is typed
    QString version;  // e.g. "KirvanMonitorP 0.1.0"
    QString help;     // the output of --help
    MessageLanguage language = MessageLanguage::English;
};

QString manPage(const ManPageSource& source);

} // namespace kirvan
