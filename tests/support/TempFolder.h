#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

namespace kirvan::testing {

// A fresh folder for one test, removed afterwards, with helpers for raw file content.
class TempFolder {
public:
    TempFolder();

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

    // Raw bytes, as the file holds them.
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;
    // Windows-1251 text with every "\n" turned into CR LF.
    void writeText(const QString& name, const QString& text) const;
    QString readText(const QString& name) const;
    // Every file below the folder, hidden ones too, by relative path: to show that nothing changed.
    QMap<QString, QByteArray> snapshot() const;

private:
    QTemporaryDir dir_;
};

// Windows-1251 bytes of a text, with "\n" turned into CR LF.
QByteArray crlf1251(const QString& text);

} // namespace kirvan::testing
