#pragma once

#include <QString>
#include <QStringView>
#include <functional>

namespace kirvan {

class IniDocument;
class IniStore;

// One INI file (settings, system or detector file), read and written key by key. Every operation
// sees the file's current content, also after another program changed it, and every write
// reaches the file at once, crash-safely. Section names and keys are compared without regard to
// letter case and surrounding blanks. The path is matched without regard to letter case.
class IniFile {
public:
    IniFile(IniStore& store, QString path) : store_(&store), path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // Missing section or key: the default. An empty value is the empty text. At most 2047
    // characters; one pair of enclosing quotes is removed.
    QString readString(QStringView section, QStringView key, const QString& defaultValue) const;
    // Decimal, or "0x" and hexadecimal digits; anything else: the default.
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    // Either "," or "." as the decimal separator, whatever the regional settings; empty or
    // unreadable: the default.
    double readFloat(QStringView section, QStringView key, double defaultValue) const;

    // Writes create the file, the section and the key as needed and leave every other line as
    // it was. They throw FileWriteError when the file system refuses. writeString returns how
    // many characters Windows-1251 lacks; each was written as "?".
    qsizetype writeString(QStringView section, QStringView key, QStringView value);
    void writeInteger(QStringView section, QStringView key, int value);
    // Up to 15 significant digits, with the decimal separator of the regional settings.
    void writeFloat(QStringView section, QStringView key, double value);

    // Removes the key's line. Returns false when the file system refused the change.
    bool deleteKey(QStringView section, QStringView key);
    // Removes the section's header and all its lines. Throws FileWriteError when refused.
    void eraseSection(QStringView section);
    // A section exists while it holds at least one key.
    bool sectionExists(QStringView section) const;

    // Several changes in one crash-safe write, so that either all of them reach the file or none:
    // `change` works on the current content and returns whether it changed anything. Throws
    // FileWriteError when refused.
    void edit(const std::function<bool(IniDocument&)>& change);

private:
    IniStore* store_;
    QString path_;
};

} // namespace kirvan
