#pragma once

#include <QStringView>
#include <functional>

namespace kirvan {

// Calls `line` for every line of the text with the line ending that closed it: CR LF, LF, CR,
// or nothing for a last line without one. An empty text has no lines.
void forEachLine(QStringView text, const std::function<void(QStringView line, QStringView ending)>& line);

} // namespace kirvan
