#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace kirvan {

class CompositionTree;
class ControlModuleTable;
class IniStore;
class SettingsFile;
class TreeNode;

// Taking an alarm system out of the complex, as far as files and the tree go: shared by the
// window's command "Вывести из состава" and by `kirvan-tool system remove`, so both write the
// same bytes. The system's own files are not touched.
class SystemRemoval {
public:
    // Where the removal is announced: the АДС station and the removed system's address.
    struct Notice {
        std::uint8_t station;
        std::uint8_t address;
    };

    // `systemText`: the text of the system node, "A01:СКЛАД".
    SystemRemoval(IniStore& store, SettingsFile& settings, QString systemText);

    // The confirmation asked for a system node's text A01:СКЛАД: "Вы уверены, что хотите вывести
    // из состава комплекса СКЛАД?"
    static QString question(const QString& systemText);
    // Erases every control module whose "СИСТЕМА" is the node's text, in one write through the
    // table, so the table the search uses stays in step. Returns how many went.
    int eraseControlModules(ControlModuleTable& modules);
    // Empties "АДРЕС"/address of the settings, remembering the system file for the notice.
    void releaseAddress();
    // The journal line after the date and time.
    QString journalText() const;
    // Deletes a system node of the tree with its zones and detectors. Returns the system node
    // that stands in its place now, or the one before it when it was the last; nullptr when none
    // is left.
    static TreeNode* deleteNode(CompositionTree& tree, TreeNode& system);
    // Takes the system's lines out of the composition file as it is on disk, crash-safely; the
    // other systems' lines stay byte for byte, those a damaged line kept out of the tree too.
    void removeFromComplexFile();
    // When "Настройки"/"Оборудование" is "0": the frame that tells the system's АДС station
    // (0x20 for АДС 1, else 0x20 + АДС). Nothing otherwise, or when the node's address is no
    // number.
    std::optional<Notice> notice() const;

private:
    IniStore& store_;
    SettingsFile& settings_;
    QString text_;
    QString addressKey_;
    QString systemFile_; // as stored, read before the address is emptied
};

} // namespace kirvan
