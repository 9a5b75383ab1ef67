#pragma once

#include <QString>

namespace kirvan {

// The largest complex the workstation serves: four systems at addresses 0 to 3, each with 256
// zones and all nine devices with eight lines of 60 detectors, 17,280 detector nodes in all.
struct LargestComplex {
    static constexpr int systems = 4;
    static constexpr int zones = 256;
    static constexpr int devices = 9;
    static constexpr int lines = 8;
    static constexpr int detectorsPerLine = 60;
    static constexpr int detectorsPerSystem = devices * lines * detectorsPerLine;

    // Writes the settings file, the system and detector files and the composition file into
    // the folder, as Windows-1251 with CR LF. Throws std::runtime_error when a file cannot be
    // written.
    static void write(const QString& folder);
};

} // namespace kirvan
