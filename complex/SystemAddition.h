#pragma once

#include "complex/ComplexFile.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace kirvan {

class IniStore;
class SettingsFile;

// Adding an alarm system to the complex, as far as files go: shared by the window's command
// "Ввести в состав" and by `kirvan-tool system add`, so both write the same bytes.
class SystemAddition {
public:
    // Addresses the program serves.
    static constexpr int lowestAddress = 0;
    static constexpr int highestAddress = 3;
    using Progress = std::function<void(const QString& zone)>;

    // The address as typed: a decimal number from 0 to 3, blanks around it allowed; nothing for
    // any other text, which is asked again or refused rather than stored.
    static std::optional<int> parseAddress(const QString& typed);

    // `systemFile`: the system's configuration file as a full local path.
    SystemAddition(IniStore& store, SettingsFile& settings, QString systemFile, int address);

    // "A01:СКЛАД": "A", the address in two digits, ":", the file's base name in upper case.
    const QString& nodeText() const { return nodeText_; }

    // Why the system may not be added, in Russian, or nothing. Checked before anything is written:
    // a path the Windows-1251 files cannot hold (it would be stored with "?" and never found), a
    // file that is no readable INI text with a "СИСТЕМА" section (the composition file and the
    // settings among them), a file that already is the system of another address of the
    // composition (compared as files, not as typed paths), an address the node of another system
    // holds (an address entry without a node, left by an addition that was stopped, holds nothing). The same system at its own address
    // again is no refusal: a retried addition completes the first.
    std::optional<QString> refusal() const;

    // Writes the addition: the settings' address entry, the node (which alone makes the system
    // part of the complex) and last the system file's "АДРЕС", so that an addition stopped
    // anywhere never leaves a system file's address changed for a system the complex lacks
    // (`lines` from compositionLines, built before).
    void write(const std::vector<ComplexFile::Line>& lines);
    // "СИСТЕМА"/"АДРЕС" of the system file: the two-digit address.
    void writeAddressIntoSystemFile();
    // "АДРЕС"/address of the settings: the system file's path in the form the other entries
    // have: relative to the workstation folder (with their separator) where theirs are and the
    // file lies in it, else full.
    void registerInSettings();
    // The system's lines of the composition file: the system node, then each zone by its number
    // with the detectors that name it, by device, line and number. A zone without detectors
    // gets its line unless its name begins with "ЗОНА". `progress` is told each zone's name, and
    // again after each detector file read for it.
    std::vector<ComplexFile::Line> compositionLines(const Progress& progress) const;
    // Puts them into the composition file in one crash-safe write, in place of the node's lines
    // from an earlier addition; returns them.
    std::vector<ComplexFile::Line> appendToComplexFile(const Progress& progress) const;
    // The same with lines built before: written last, the node is what makes the system part of
    // the complex, so the writes before it should follow each other closely.
    void writeComplexFile(const std::vector<ComplexFile::Line>& lines) const;
    // The journal line after the date and time.
    QString journalText() const;

    // Empties every address entry of the settings (00 to 03) that no system node of the
    // composition file on disk holds: what an addition stopped before its node was written leaves
    // behind, which control checks would otherwise still be sent to. Returns the journal line of
    // each (after the date and time); none when the composition file cannot be read. Run by a
    // program that has just taken the folder's lock, before it loads the composition.
    static QStringList releaseUnfinished(SettingsFile& settings);

private:
    std::optional<QString> pathRefusal() const;
    std::optional<QString> contentRefusal() const;
    std::optional<QString> addressRefusal() const;
    std::optional<QString> duplicateRefusal() const;
    QString storedPath() const;

    IniStore& store_;
    SettingsFile& settings_;
    QString systemFile_;
    int address_;
    QString nodeText_;
};

} // namespace kirvan
