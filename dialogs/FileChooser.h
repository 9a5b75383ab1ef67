#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace kirvan {

// The toolkit's own file dialog, in the program's language and scale on any desktop (a kiosk has
// none of its own), listing whole names, sizes and dates, opening in `folder`. To save, `name`
// is the suggested file's name. Nothing when the operator cancels. The dialog only chooses: it
// changes nothing on the disk itself.
enum class FileChoice { Open, Save };
std::optional<QString> chooseFile(QWidget* parent, FileChoice choice, const QString& caption, const QString& filter,
                                  const QString& folder, const QString& name = {});

} // namespace kirvan
