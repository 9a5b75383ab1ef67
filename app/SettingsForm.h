#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace kirvan {

class SettingsFile;

// The settings an installer changes, as the dialog "Параметры" edits them: each field's current
// value from the settings file, what is wrong with a new one, which need a restart, the changes
// to save and their audit lines. Not here: the COM port (its own menu), what the program or
// kirvan-tool writes itself ("Доступ по паролям", "Установка", the addresses, the control
// modules) and the drive letters of "Диски", one key per letter. An empty field means the key's
// default: its line is removed.
class SettingsForm {
public:
    enum class Effect : std::uint8_t { Now, Restart };
    struct Choice {
        QString value;
        QString text;
    };
    struct Field {
        QStringView section;
        QStringView key;
        QString group; // the part of the dialog it stands in
        QString hint; // what the value may be, and what empty means
        Effect effect = Effect::Now;
        bool secret = false; // never shown, nor written into the journal
        std::vector<Choice> choices; // none: free text
        // The key as the dialog names it: "Масштаб", "[MQTT] Сервер".
        QString caption() const;
    };
    struct Change {
        std::size_t field;
        QString before;
        QString after;
    };

    // Reads the current values.
    explicit SettingsForm(SettingsFile& settings);

    static const std::vector<Field>& fields();
    const QString& value(std::size_t field) const { return values_[field]; }
    void setValue(std::size_t field, const QString& value) { values_[field] = value.trimmed(); }
    // Why the field's value cannot be saved, in Russian; empty when it can.
    QString problem(std::size_t field) const;
    bool valid() const;
    std::vector<Change> changes() const;

    // Writes every change in one crash-safe write of the settings file, every other line kept as
    // it is, and returns them; nothing is written while a field has a problem. Throws
    // FileWriteError when the file system refuses.
    std::vector<Change> save();

    // "Параметры: [Настройки] Масштаб: было «», стало «1,5»"; a secret shows as «***».
    static QString auditCaption(const Change& change);
    // What the dialog says after a save: which changes take effect at once, which only at the
    // next start.
    static QString outcome(const std::vector<Change>& changes);

private:
    // A field of the section that holds nothing but empty fields: the section is not used, and
    // its keys need nothing.
    bool sectionUnused(QStringView section) const;

    SettingsFile& settings_;
    std::vector<QString> saved_;
    std::vector<QString> values_;
};

} // namespace kirvan
