#include "access/UserFile.h"

#include "files/AtomicFile.h"
#include "files/Cp1251.h"
#include "files/RegularFile.h"

#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <unistd.h>

namespace kirvan {

namespace {

constexpr qsizetype longestName = 64;
constexpr QChar separator = u':';

QString modeText(mode_t mode)
{
    return QString::number(mode & 0777, 8).rightJustified(3, u'0');
}

// Anybody who can write the file can give himself any level: only its owner, the workstation's
// own user, may.
void checkOwnership(const QString& path, const struct stat& info)
{
    if (info.st_uid != ::geteuid())
        throw UserFileRefused(path, QStringLiteral("его владелец — другой пользователь (uid %1); файл должен "
                                                   "принадлежать пользователю, от имени которого работает программа")
                                        .arg(info.st_uid));
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        throw UserFileRefused(path, QStringLiteral("его могут изменять и другие пользователи (права %1), и тогда любой "
                                                   "из них может дать себе любой уровень доступа; исправьте права: "
                                                   "chmod 600 %2")
                                        .arg(modeText(info.st_mode), path));
}

// Cyrillic in Windows-1251 is almost never valid UTF-8, so letters beyond ASCII that decode as
// UTF-8 tell the file's encoding.
bool looksLikeUtf8(const QByteArray& bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError() && !text.isEmpty();
}

User parseLine(const QString& path, const QString& line, int number)
{
    const auto refuse = [&](const QString& why) {
        return UserFileRefused(path, QStringLiteral("строка %1: %2").arg(number).arg(why));
    };
    const QStringList parts = line.split(separator);
    if (parts.size() != 3)
        throw refuse(QStringLiteral("ожидается ИМЯ:УРОВЕНЬ:ХЭШ"));
    if (const QString problem = UserList::nameProblem(parts[0]); !problem.isEmpty())
        throw refuse(problem);
    bool isNumber = false;
    const std::optional<AccessLevel> level = levelOf(parts[1].toInt(&isNumber));
    if (!isNumber || !level)
        throw refuse(QStringLiteral("уровень доступа «%1» — не 1, 2 или 3").arg(parts[1]));
    if (!parts[2].startsWith(QLatin1String("$argon2id$")))
        throw refuse(QStringLiteral("хэш пароля не в форме Argon2id"));
    return User{parts[0], *level, parts[2].toLatin1()};
}

} // namespace

std::optional<UserList> UserList::load(const QString& path)
{
    const RegularFile file = RegularFile::read(path);
    if (file.status == RegularFile::Status::Missing)
        return std::nullopt;
    if (file.status == RegularFile::Status::Failed)
        throw UserFileRefused(path, file.failure);
    checkOwnership(path, file.info);
    // Read as Windows-1251, a file written in UTF-8 would be quoted back as gibberish.
    if (looksLikeUtf8(file.bytes))
        throw UserFileRefused(path, QStringLiteral("он записан в кодировке UTF-8, а не Windows-1251; исправьте его "
                                                   "командой kirvan-tool user или перекодируйте: iconv -f UTF-8 -t "
                                                   "CP1251"));
    UserList list;
    const QStringList lines = cp1251::decode(file.bytes).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        User user = parseLine(path, line, int(i + 1));
        if (list.find(user.name))
            throw UserFileRefused(path, QStringLiteral("строка %1: имя %2 уже было выше").arg(i + 1).arg(user.name));
        list.users_.push_back(std::move(user));
    }
    return list;
}

void UserList::save(const QString& path) const
{
    QString text = QStringLiteral("# Пользователи рабочего места: ИМЯ:УРОВЕНЬ:ХЭШ ПАРОЛЯ (Argon2id).\r\n"
                                  "# Изменяйте командой kirvan-tool user.\r\n");
    for (const User& user : users_)
        text += user.name + separator + QString::number(levelNumber(user.level)) + separator
                + QString::fromLatin1(user.hash) + QStringLiteral("\r\n");
    // Nobody else may even read the hashes: guessing passwords offline needs no sign-in window.
    writeFileAtomically(path, cp1251::encode(text).bytes, FileAccess::OwnerOnly);
}

const User* UserList::find(const QString& name) const
{
    const auto found = std::find_if(users_.begin(), users_.end(),
                                    [&](const User& user) { return user.name.compare(name, Qt::CaseInsensitive) == 0; });
    return found == users_.end() ? nullptr : &*found;
}

void UserList::put(User user)
{
    const auto found = std::find_if(users_.begin(), users_.end(), [&](const User& known) {
        return known.name.compare(user.name, Qt::CaseInsensitive) == 0;
    });
    if (found == users_.end())
        users_.push_back(std::move(user));
    else
        *found = std::move(user);
}

bool UserList::remove(const QString& name)
{
    return std::erase_if(users_, [&](const User& user) { return user.name.compare(name, Qt::CaseInsensitive) == 0; }) > 0;
}

QString UserList::nameProblem(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("имя пусто");
    if (name != name.trimmed())
        return QStringLiteral("имя «%1» начинается или кончается пробелом").arg(name);
    if (name.size() > longestName)
        return QStringLiteral("имя длиннее %1 знаков").arg(longestName);
    if (name.startsWith(u'#'))
        return QStringLiteral("имя «%1» начинается с «#»").arg(name);
    if (std::any_of(name.begin(), name.end(),
                    [](QChar c) { return c == separator || c.category() == QChar::Other_Control; }))
        return QStringLiteral("в имени «%1» есть «:» или управляющий знак").arg(name);
    if (cp1251::encode(name).unmappable > 0)
        return QStringLiteral("в имени «%1» есть знаки вне кодировки Windows-1251").arg(name);
    return {};
}

} // namespace kirvan
