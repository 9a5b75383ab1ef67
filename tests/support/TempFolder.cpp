#include "tests/support/TempFolder.h"

#include "files/Cp1251.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <stdexcept>

namespace kirvan::testing {

TempFolder::TempFolder()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

void TempFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

QByteArray TempFolder::read(const QString& name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TempFolder::writeText(const QString& name, const QString& text) const
{
    write(name, crlf1251(text));
}

QString TempFolder::readText(const QString& name) const
{
    return cp1251::decode(read(name));
}

QByteArray crlf1251(const QString& text)
{
    QString withCrlf = text;
    withCrlf.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return cp1251::encode(withCrlf).bytes;
}

QMap<QString, QByteArray> TempFolder::snapshot() const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = QDir(path()).relativeFilePath(it.next());
        files.insert(name, read(name));
    }
    return files;
}

} // namespace kirvan::testing
