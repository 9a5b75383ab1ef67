#include "tools/kirvan-tool/UserCommand.h"

#include "access/AccessControl.h"
#include "access/PasswordHash.h"
#include "access/UserFile.h"
#include "files/IniFile.h"
#include "files/PathCase.h"
#include "files/SettingsKeys.h"
#include "files/WorkstationFolder.h"
#include "files/WorkstationLock.h"
#include "tools/kirvan-tool/ToolCommand.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace kirvan {

namespace {

struct Options {
    QStringList positional;
    QString folder;
    std::optional<int> level;
    bool passwordStdin = false;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

Options parseOptions(const QStringList& arguments, const QString& defaultFolder)
{
    Options options{{}, defaultFolder, std::nullopt, false};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--password-stdin") {
            options.passwordStdin = true;
            continue;
        }
        if (argument != u"--dir" && argument != u"--level") {
            options.positional.append(argument);
            continue;
        }
        if (i + 1 >= arguments.size())
            throw UsageError((argument + QStringLiteral(" needs a value")).toStdString());
        const QString& value = arguments[++i];
        if (argument == u"--dir") {
            options.folder = value;
            continue;
        }
        bool ok = false;
        const int level = value.toInt(&ok);
        if (!ok || !levelOf(level))
            throw UsageError(QStringLiteral("--level takes 1, 2 or 3: %1").arg(value).toStdString());
        options.level = level;
    }
    return options;
}

// One line from the terminal, not shown while typed.
QString readHidden(const char* prompt, QTextStream& err)
{
    err << prompt;
    err.flush();
    termios saved{};
    const bool terminal = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    QTextStream in(stdin);
    const QString line = in.readLine();
    if (terminal)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    err << '\n';
    return line;
}

// Whether the workstation is to close access when its user file goes; a folder without settings
// yet has its first start to come, which records it from the user file.
void recordControlled(const ToolPlatform& platform, const WorkstationFolder& folder, bool controlled)
{
    const QString settings = resolvePathCase(folder.settingsFile());
    if (QFileInfo(settings).isFile())
        IniFile(platform.store, settings)
            .writeString(settings::sectionSettings, settings::keyAccessControlled, controlled ? u"1" : u"0");
}

QString readPassword(const Options& options, AccessLevel level, QTextStream& in, QTextStream& err)
{
    QString password;
    if (options.passwordStdin) {
        password = in.readLine();
    } else {
        if (!::isatty(STDIN_FILENO))
            throw std::runtime_error("standard input is no terminal: give the password with --password-stdin");
        password = readHidden("Пароль: ", err);
        if (readHidden("Пароль ещё раз: ", err) != password)
            throw std::runtime_error("the two passwords differ; nothing was changed");
    }
    if (password.isEmpty())
        throw std::runtime_error("the password is empty; nothing was changed");
    if (const QString problem = passwordProblem(level, password); !problem.isEmpty())
        throw std::runtime_error((problem + QStringLiteral("; nothing was changed")).toStdString());
    return password;
}

int run(const Options& options, const ToolPlatform& platform, QTextStream& in, QTextStream& out, QTextStream& err)
{
    const QStringList& words = options.positional;
    const WorkstationFolder folder(options.folder);
    const QString path = folder.file(UserList::fileName());
    if (words.size() == 1 && words[0] == u"off") {
        // The one way to open access for everybody once it has been controlled.
        if (QFileInfo::exists(path) && !QFile::remove(path))
            throw std::runtime_error(QStringLiteral("cannot remove %1").arg(path).toStdString());
        recordControlled(platform, folder, false);
        out << "access is not restricted any more: " << path << " removed\n";
        return ToolOk;
    }
    UserList users = UserList::load(path).value_or(UserList());
    if (words.size() == 1 && words[0] == u"list") {
        for (const User& user : users.users())
            out << user.name << '\t' << levelNumber(user.level) << '\n';
        return ToolOk;
    }
    if (words.size() != 2)
        throw UsageError("expected: user add NAME --level N | user passwd NAME | user remove NAME | user list | user off");
    const QString& name = words[1];
    if (words[0] == u"add") {
        if (!options.level)
            throw UsageError("user add needs --level N");
        if (const QString problem = UserList::nameProblem(name); !problem.isEmpty())
            throw std::runtime_error(problem.toStdString());
        if (users.find(name))
            throw std::runtime_error(QStringLiteral("user %1 exists already; use user passwd").arg(name).toStdString());
        const AccessLevel level = AccessLevel(*options.level);
        users.put(User{name, level, hashPassword(readPassword(options, level, in, err), platform.passwordCost)});
    } else if (words[0] == u"passwd") {
        const User* user = users.find(name);
        if (!user)
            throw std::runtime_error(QStringLiteral("no user %1 in %2").arg(name, path).toStdString());
        User changed = *user;
        if (options.level)
            changed.level = AccessLevel(*options.level);
        changed.hash = hashPassword(readPassword(options, changed.level, in, err), platform.passwordCost);
        users.put(changed);
    } else if (words[0] == u"remove") {
        if (!users.remove(name))
            throw std::runtime_error(QStringLiteral("no user %1 in %2").arg(name, path).toStdString());
    } else {
        throw UsageError(QStringLiteral("unknown user command: %1").arg(words[0]).toStdString());
    }
    users.save(path);
    recordControlled(platform, folder, true);
    // The running workstation takes the file up by itself; the installer should know it will.
    WorkstationLock::Refusal refusal{};
    if (!WorkstationLock::acquire(WorkstationFolder(options.folder).path(), &refusal)
        && refusal == WorkstationLock::Refusal::HeldByAnother)
        out << "a workstation is running on " << WorkstationFolder(options.folder).path()
            << "; it takes the changed user file up within " << AccessControl::userFileLookMs / 1000 << " s\n";
    return ToolOk;
}

} // namespace

int runUserCommand(const QStringList& arguments, const ToolPlatform& platform, QTextStream& in, QTextStream& out,
                   QTextStream& err)
{
    try {
        return run(parseOptions(arguments, platform.defaultFolder), platform, in, out, err);
    } catch (const UsageError& error) {
        err << "kirvan-tool: " << QString::fromStdString(error.what()) << '\n';
        return ToolUsage;
    } catch (const std::exception& error) {
        err << "kirvan-tool: " << QString::fromStdString(error.what()) << '\n';
        return ToolFailed;
    }
}

} // namespace kirvan
