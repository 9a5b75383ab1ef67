#include "config/ComplexFile.h"
#include "config/IniStore.h"
#include "config/SettingsFile.h"
#include "console/CommandLine.h"
#include "platform/SystemLocale.h"

#include <QCoreApplication>
#include <QTextStream>
#include <array>
#include <exception>

namespace {

// What this build of the workstation does so far, told plainly: it opens the workstation
// folder and reads the complex; the line, the journal and the window come later.
int reportWorkstation(const kirvan::CommandLine& line, QTextStream& out)
{
    const kirvan::SystemLocale locale;
    kirvan::IniStore store(locale);
    const kirvan::WorkstationFolder folder(
        line.folder.isEmpty() ? QCoreApplication::applicationDirPath() : line.folder);
    const kirvan::SettingsFile settings(store, folder);
    out << "Workstation folder: " << folder.path() << '\n'
        << "Settings file: " << settings.ini().path()
        << (settings.firstStart() ? " (created with first-start values)" : "") << '\n';

    kirvan::CompositionTree tree;
    if (!kirvan::ComplexFile::load(tree, folder.complexFile())) {
        out << "No composition file " << folder.complexFile() << ": the complex is empty.\n";
    } else {
        std::array<int, 3> perLevel{};
        tree.walk([&](kirvan::TreeNode& node) {
            if (node.level() < 3)
                ++perLevel[static_cast<size_t>(node.level())];
            return true;
        });
        out << "Composition: " << perLevel[0] << " system(s), " << perLevel[1] << " zone(s), "
            << perLevel[2] << " detector(s).\n";
    }
    for (int address = 0; address < 4; ++address) {
        const QString systemFile = settings.systemFile(kirvan::SettingsFile::addressKey(address));
        if (!systemFile.isEmpty())
            out << "System " << address << ": " << systemFile << '\n';
    }
    out << "This build reads the configuration only: the serial line, the journal, the alarms "
           "and the main window are not built yet.\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    const auto line = kirvan::parseCommandLine(application.arguments().mid(1), error);
    if (!line) {
        err << "KirvanMonitorP: " << error << '\n' << kirvan::commandLineUsage();
        return 2;
    }
    if (line->help) {
        out << kirvan::commandLineUsage();
        return 0;
    }
    if (line->version) {
        out << "KirvanMonitorP " << KIRVAN_VERSION << '\n';
        return 0;
    }
    try {
        return reportWorkstation(*line, out);
    } catch (const std::exception& failure) {
        err << "KirvanMonitorP: " << QString::fromStdString(failure.what()) << '\n';
        return 1;
    }
}
