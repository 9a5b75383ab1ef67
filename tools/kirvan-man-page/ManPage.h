#pragma once

#include "platform/MessageLanguage.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kirvan {

// A manual page in roff (man macros) made from a program's --help text, so that the page and the
// program never disagree. The text is read in the form all of the project's programs print:
//   Usage: NAME ...                 the synopsis ("Использование:" in Russian); lines that follow
//          NAME ... | [...]         it indented continue it or give another form
//   One sentence of description,    the page's summary (its first sentence, which may run over
//   maybe over lines.               lines), then further paragraphs
//     TERM  TEXT                    an option or command (two blanks before it, two between)
//           MORE TEXT               continuing the text above
struct ManPageFile {
    QString path;
    QString meaning;
};

struct ManPageSource {
    QString name; // the program's name, as it is typed
    QString version; // e.g. "KirvanMonitorP 0.1.0"
    QString help; // the output of --help
    MessageLanguage language = MessageLanguage::English;
    QList<ManPageFile> files; // the FILES section, none when empty
    QStringList seeAlso; // pages named in SEE ALSO, e.g. "kirvan-sim(1)"
    QStringList description; // paragraphs of the DESCRIPTION after those of the help text
};

QString manPage(const ManPageSource& source);

// The files, the description and the related pages of each of the project's programs, in the
// page's language.
QList<ManPageFile> programFiles(const QString& name, MessageLanguage language);
QStringList programDescription(const QString& name, MessageLanguage language);
QStringList relatedPages(const QString& name);

} // namespace kirvan
