#include "files/IniFile.h"

#include "files/FileWriteError.h"
#include "files/IniStore.h"
#include "files/IniValue.h"

#include <optional>

namespace kirvan {

namespace {

// What the Windows profile functions return at most for one value.
constexpr qsizetype longestText = 2047;

std::optional<QString> readValue(IniStore& store, const QString& path, QStringView section, QStringView key)
{
    std::optional<QString> result;
    store.read(path, [&](const IniDocument& document) {
        if (const auto value = document.value(section, key))
            result = value->toString();
    });
    return result;
}

} // namespace

QString IniFile::readString(QStringView section, QStringView key, const QString& defaultValue) const
{
    const auto value = readValue(*store_, path_, section, key);
    return value ? value->left(longestText) : defaultValue;
}

int IniFile::readInteger(QStringView section, QStringView key, int defaultValue) const
{
    const auto value = readValue(*store_, path_, section, key);
    return value ? inivalue::parseInteger(*value).value_or(defaultValue) : defaultValue;
}

double IniFile::readFloat(QStringView section, QStringView key, double defaultValue) const
{
    const auto value = readValue(*store_, path_, section, key);
    return value ? inivalue::parseReal(*value).value_or(defaultValue) : defaultValue;
}

qsizetype IniFile::writeString(QStringView section, QStringView key, QStringView value)
{
    return store_->edit(path_, [&](IniDocument& document) { return document.setValue(section, key, value); });
}

void IniFile::writeInteger(QStringView section, QStringView key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeFloat(QStringView section, QStringView key, double value)
{
    writeString(section, key, inivalue::formatReal(value, store_->decimalSeparator()));
}

bool IniFile::deleteKey(QStringView section, QStringView key)
{
    try {
        store_->edit(path_, [&](IniDocument& document) { return document.removeKey(section, key); });
    } catch (const FileWriteError&) {
        return false;
    }
    return true;
}

void IniFile::eraseSection(QStringView section)
{
    store_->edit(path_, [&](IniDocument& document) { return document.eraseSection(section); });
}

void IniFile::edit(const std::function<bool(IniDocument&)>& change)
{
    store_->edit(path_, change);
}

bool IniFile::sectionExists(QStringView section) const
{
    bool exists = false;
    store_->read(path_, [&](const IniDocument& document) { exists = document.sectionExists(section); });
    return exists;
}

} // namespace kirvan
