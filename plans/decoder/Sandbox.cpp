#include "plans/decoder/Sandbox.h"

#include <cerrno>
#include <fcntl.h>
#include <initializer_list>
#include <linux/landlock.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kirvan::sandbox {

namespace {

// Rights of later Landlock versions than Debian's kernel headers name.
constexpr __u64 accessFsTruncate = 1ULL << 14;
constexpr __u64 accessFsIoctlDev = 1ULL << 15;

// The fonts a drawing may name, libwmf's font map, fontconfig's settings and caches; the
// process's own /proc entries, which the sanitizers of a test build read.
constexpr const char* readableFolders[] = {"/usr/share/fonts", "/usr/local/share/fonts", "/usr/share/libwmf",
                                           "/etc/fonts",       "/var/cache/fontconfig",  "/proc/self"};

int landlockVersion()
{
    return int(::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION));
}

// Every right over the file system the kernel's version of Landlock can take away.
__u64 everyFileRight(int version)
{
    __u64 rights = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;
    if (version >= 2)
        rights |= LANDLOCK_ACCESS_FS_REFER;
    if (version >= 3)
        rights |= accessFsTruncate;
    if (version >= 5)
        rights |= accessFsIoctlDev;
    return rights;
}

enum class Files { Restricted, Unrestricted, Failed };

Files restrictFiles()
{
    const int version = landlockVersion();
    if (version < 1)
        return errno == ENOSYS || errno == EOPNOTSUPP ? Files::Unrestricted : Files::Failed;
    landlock_ruleset_attr ruleset{};
    ruleset.handled_access_fs = everyFileRight(version);
    const int rules = int(::syscall(SYS_landlock_create_ruleset, &ruleset, sizeof ruleset, 0));
    if (rules < 0)
        return Files::Failed;
    bool ok = true;
    for (const char* folder : readableFolders) {
        const int fd = ::open(folder, O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue; // not on this system
        landlock_path_beneath_attr rule{};
        rule.allowed_access = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
        rule.parent_fd = fd;
        ok = ok && ::syscall(SYS_landlock_add_rule, rules, LANDLOCK_RULE_PATH_BENEATH, &rule, 0) == 0;
        ::close(fd);
    }
    ok = ok && ::syscall(SYS_landlock_restrict_self, rules, 0) == 0;
    ::close(rules);
    return ok ? Files::Restricted : Files::Failed;
}

bool forbidCalls(bool openingToo)
{
    const scmp_filter_ctx filter = ::seccomp_init(SCMP_ACT_ALLOW);
    if (!filter)
        return false;
    bool ok = true;
    for (const int call : {SCMP_SYS(socket), SCMP_SYS(socketpair), SCMP_SYS(execve), SCMP_SYS(execveat)})
        ok = ok && ::seccomp_rule_add(filter, SCMP_ACT_ERRNO(EACCES), call, 0) == 0;
    if (openingToo)
        for (const int call : {SCMP_SYS(open), SCMP_SYS(openat), SCMP_SYS(openat2), SCMP_SYS(creat)})
            ok = ok && ::seccomp_rule_add(filter, SCMP_ACT_ERRNO(EACCES), call, 0) == 0;
    ok = ok && ::seccomp_load(filter) == 0;
    ::seccomp_release(filter);
    return ok;
}

} // namespace

bool enter()
{
    // Without it neither restriction may be taken up by a process without privileges.
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return false;
    const Files files = restrictFiles();
    return files != Files::Failed && forbidCalls(files == Files::Unrestricted);
}

} // namespace kirvan::sandbox
