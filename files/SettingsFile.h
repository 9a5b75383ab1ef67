#pragma once

#include "files/IniFile.h"
#include "files/WorkstationFolder.h"

namespace kirvan {

class IniStore;

// The workstation's settings file, opened once at start-up and kept until the main window
// closes. When there is none, opening creates it with the first-start values. It may hold the
// broker's password, so only its owner may read it: opening takes the rights of anybody else.
class SettingsFile {
public:
    // Throws FileWriteError when a missing file cannot be created, FileReadError when the file
    // is there but cannot be read.
    SettingsFile(IniStore& store, WorkstationFolder folder);

    IniFile& ini() { return ini_; }
    const IniFile& ini() const { return ini_; }
    const WorkstationFolder& folder() const { return folder_; }
    // True when this opening created the file.
    bool firstStart() const { return firstStart_; }

    // A path as stored in the settings or a system file, as a path on this computer. A drive
    // letter maps to the folder under "Диски" (key: the letter), else to drives/<letter>; a
    // relative path lies in the workstation folder.
    QString localPath(QStringView stored) const;
    // The system file under an address key of section "АДРЕС" ("00" to "03"), as a local path;
    // empty when no system has the address.
    QString systemFile(QStringView addressKey) const;
    // The key of an address: two digits with a leading zero.
    static QString addressKey(int address);

private:
    void createWithFirstStartValues();

    WorkstationFolder folder_;
    IniFile ini_;
    bool firstStart_ = false;
};

} // namespace kirvan
