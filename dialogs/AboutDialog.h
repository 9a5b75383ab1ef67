#pragma once

#include <QDialog>

namespace kirvan {

// "О программе": the version, the workstation folder and the port of the line, what an installer
// or a service call asks first; closed by its button or by Esc.
class AboutDialog final : public QDialog {
public:
    AboutDialog(const QString& version, const QString& folder, const QString& port, QWidget* owner);
};

} // namespace kirvan
