// Fault injection for tests, loaded with LD_PRELOAD. It makes chosen system
// calls fail so that the program's failure paths run without root, full disks
// or broken network shares.
//
// QUILM_FAULTS holds rules separated by '|'; each rule is key=value pairs
// separated by ',':
//   call=NAME     write, open, fsync, sync_file_range, syncfs, close, rename,
//                 renameat2, link, unlink or mkdir; the calls relative to a
//                 folder descriptor count
//                 as their plain names (linkat as link, unlinkat as unlink)
//   path=TEXT     only calls on a path containing TEXT (for calls on a
//                 descriptor: the path it was opened with); a path
//                 relative to a folder descriptor is taken as a whole path.
//                 Calls on a library's ledger (".quilm/" in the output) count
//                 only where TEXT names it, so that rules about photos count
//                 the photos' calls as they always did
//   skip=N        let the first N matching calls through (default 0)
//   count=N       fail N calls, then let the rest through (default: all)
//   after=N       write only: let N bytes through, then fail
//   errno=NAME    ENOSPC, EIO, EXDEV, EINVAL, EPERM, ENOSYS, EACCES, ENOTSUP,
//                 EDQUOT, or a number (default EIO)
//   action=WHAT   fail (default); kill: the process dies by SIGKILL before the
//                 call, as in a crash or power cut; flip (write only): the
//                 call writes its bytes with one bit flipped, as a failing
//                 disk or cable might, and says it wrote them; take: another process
//                 creates the target name (rename, renameat2, link) just
//                 before the call, which then runs; swap: the folder named
//                 by folder= is renamed to FOLDER-away and a link to the
//                 folder named by link= put in its place, just before the call;
//                 stop: the process stops (SIGSTOP) before the call, which runs
//                 once it is continued, so that a test can change the world
//                 in between (pull a card out)
//   folder=PATH, link=PATH   for action=swap
// The variable is read on every call, so a test may change it between steps;
// counters restart whenever its text changes.

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int MaxRules = 8;
constexpr int MaxDescriptors = 4096;

enum Action
{
    Fail,
    Kill,
    Flip,
    Take,
    Swap,
    Stop
};

struct Rule
{
    char call[16] = {};
    char path[256] = {};
    char folder[512] = {};
    char link[512] = {};
    long skip = 0;
    long count = -1;
    long after = -1;
    int error = EIO;
    Action action = Fail;
    long seen = 0;
    long failed = 0;
    long bytes = 0;
};

char g_cached[2048];
Rule g_rules[MaxRules];
int g_ruleCount = 0;
char *g_paths[MaxDescriptors];

int errorFromName(const char *name)
{
    static const struct
    {
        const char *name;
        int value;
    } names[] = { { "ENOSPC", ENOSPC }, { "EIO", EIO }, { "EXDEV", EXDEV }, { "EINVAL", EINVAL },
        { "EPERM", EPERM }, { "ENOSYS", ENOSYS }, { "EACCES", EACCES }, { "ENOTSUP", ENOTSUP },
        { "EDQUOT", EDQUOT } };
    for (const auto &entry : names) {
        if (std::strcmp(entry.name, name) == 0)
            return entry.value;
    }
    const int number = std::atoi(name);
    return number > 0 ? number : EIO;
}

void parseRule(Rule &rule, char *text)
{
    for (char *saveField = nullptr, *field = strtok_r(text, ",", &saveField); field;
         field = strtok_r(nullptr, ",", &saveField)) {
        char *value = std::strchr(field, '=');
        if (!value)
            continue;
        *value++ = '\0';
        if (std::strcmp(field, "call") == 0)
            std::snprintf(rule.call, sizeof rule.call, "%s", value);
        else if (std::strcmp(field, "path") == 0)
            std::snprintf(rule.path, sizeof rule.path, "%s", value);
        else if (std::strcmp(field, "skip") == 0)
            rule.skip = std::atol(value);
        else if (std::strcmp(field, "count") == 0)
            rule.count = std::atol(value);
        else if (std::strcmp(field, "folder") == 0)
            std::snprintf(rule.folder, sizeof rule.folder, "%s", value);
        else if (std::strcmp(field, "link") == 0)
            std::snprintf(rule.link, sizeof rule.link, "%s", value);
        else if (std::strcmp(field, "after") == 0)
            rule.after = std::atol(value);
        else if (std::strcmp(field, "errno") == 0)
            rule.error = errorFromName(value);
        else if (std::strcmp(field, "action") == 0)
            rule.action = std::strcmp(value, "kill") == 0 ? Kill
                : std::strcmp(value, "flip") == 0         ? Flip
                : std::strcmp(value, "take") == 0         ? Take
                : std::strcmp(value, "swap") == 0         ? Swap
                : std::strcmp(value, "stop") == 0         ? Stop
                                                          : Fail;
    }
}

void loadRules()
{
    const char *text = std::getenv("QUILM_FAULTS");
    if (!text)
        text = "";
    if (std::strncmp(text, g_cached, sizeof g_cached) == 0)
        return;
    std::snprintf(g_cached, sizeof g_cached, "%s", text);
    char copy[sizeof g_cached];
    std::snprintf(copy, sizeof copy, "%s", text);
    g_ruleCount = 0;
    for (char *saveRule = nullptr, *ruleText = strtok_r(copy, "|", &saveRule);
         ruleText && g_ruleCount < MaxRules; ruleText = strtok_r(nullptr, "|", &saveRule)) {
        g_rules[g_ruleCount] = Rule();
        parseRule(g_rules[g_ruleCount], ruleText);
        ++g_ruleCount;
    }
}

bool pathMatches(const Rule &rule, const char *a, const char *b)
{
    static const char ledger[] = "/.quilm/";
    if (!std::strstr(rule.path, ".quilm")
        && ((a && std::strstr(a, ledger)) || (b && std::strstr(b, ledger))))
        return false;
    if (!rule.path[0])
        return true;
    return (a && std::strstr(a, rule.path)) || (b && std::strstr(b, rule.path));
}

const char *descriptorPath(int fd)
{
    return fd >= 0 && fd < MaxDescriptors ? g_paths[fd] : nullptr;
}

// The rule that makes this call fail, or none. Counts the call.
Rule *failingRule(const char *call, const char *a, const char *b = nullptr)
{
    loadRules();
    for (int i = 0; i < g_ruleCount; ++i) {
        Rule &rule = g_rules[i];
        if (std::strcmp(rule.call, call) != 0 || !pathMatches(rule, a, b))
            continue;
        if (rule.seen++ < rule.skip)
            continue;
        if (rule.count >= 0 && rule.failed >= rule.count)
            continue;
        return &rule;
    }
    return nullptr;
}

template<typename F> F real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void takeName(const char *path)
{
    static auto realOpen = real<int (*)(const char *, int, ...)>("open");
    static auto realWrite = real<ssize_t (*)(int, const void *, size_t)>("write");
    static auto realClose = real<int (*)(int)>("close");
    const int fd = realOpen(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    static const char text[] = "taken by another process\n";
    if (realWrite(fd, text, sizeof text - 1) < 0)
        std::perror("faultshim: take");
    realClose(fd);
}

// Another process swaps a folder for a link while the program works in it.
void swapFolder(const Rule &rule)
{
    static auto realRename = real<int (*)(const char *, const char *)>("rename");
    char away[sizeof rule.folder + 8];
    std::snprintf(away, sizeof away, "%s-away", rule.folder);
    if (realRename(rule.folder, away) != 0 || ::symlink(rule.link, rule.folder) != 0)
        std::perror("faultshim: swap");
}

// Carries out the rule's action on a call it matched; true when the call must
// fail with the rule's errno.
bool strikes(Rule *rule, const char *target = nullptr)
{
    if (!rule)
        return false;
    ++rule->failed;
    if (rule->action == Kill)
        ::kill(::getpid(), SIGKILL);
    if (rule->action == Stop) {
        ::raise(SIGSTOP);
        return false;
    }
    if (rule->action == Swap) {
        swapFolder(*rule);
        return false;
    }
    if (rule->action == Take) {
        if (target)
            takeName(target);
        return false;
    }
    errno = rule->error;
    return true;
}

// The whole path of a name relative to a folder descriptor, as the rules see it.
struct FullPath
{
    char text[4096];
    FullPath(int dirfd, const char *path)
    {
        if (!path || path[0] == '/' || dirfd == AT_FDCWD) {
            std::snprintf(text, sizeof text, "%s", path ? path : "");
            return;
        }
        char link[64];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
        const ssize_t length = ::readlink(link, text, sizeof text - 1);
        if (length < 0) {
            std::snprintf(text, sizeof text, "%s", path);
            return;
        }
        text[length] = 0;
        std::snprintf(text + length, sizeof text - size_t(length), "/%s", path);
    }
};

void remember(int fd, const char *path)
{
    if (fd < 0 || fd >= MaxDescriptors)
        return;
    std::free(g_paths[fd]);
    g_paths[fd] = path ? strdup(path) : nullptr;
}

// On 64-bit systems the 64 variants are the same functions.
int openWith(int dirfd, bool at, const char *path, int flags, mode_t mode)
{
    const FullPath full(at ? dirfd : AT_FDCWD, path);
    if (strikes(failingRule("open", full.text)))
        return -1;
    static auto realOpenat = real<int (*)(int, const char *, int, ...)>("openat");
    static auto realOpen = real<int (*)(const char *, int, ...)>("open");
    const int fd = at ? realOpenat(dirfd, path, flags, mode) : realOpen(path, flags, mode);
    const int saved = errno;
    remember(fd, full.text);
    errno = saved;
    return fd;
}

mode_t modeArgument(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

extern "C" {

int open(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return openWith(AT_FDCWD, false, path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return openWith(AT_FDCWD, false, path, flags, mode);
}

int openat(int dirfd, const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return openWith(dirfd, true, path, flags, mode);
}

int openat64(int dirfd, const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    return openWith(dirfd, true, path, flags, mode);
}

ssize_t write(int fd, const void *data, size_t size)
{
    static auto realWrite = real<ssize_t (*)(int, const void *, size_t)>("write");
    const char *path = descriptorPath(fd);
    if (!path)
        return realWrite(fd, data, size);
    Rule *rule = failingRule("write", path);
    if (!rule)
        return realWrite(fd, data, size);
    if (rule->action == Flip && size > 0) {
        ++rule->failed;
        char *flipped = static_cast<char *>(std::malloc(size));
        if (!flipped)
            return realWrite(fd, data, size);
        std::memcpy(flipped, data, size);
        flipped[size / 2] ^= 0x10;
        const ssize_t written = realWrite(fd, flipped, size);
        std::free(flipped);
        return written;
    }
    if (rule->action == Fail && rule->after >= 0 && rule->bytes < rule->after) {
        const size_t allowed = size_t(rule->after - rule->bytes);
        const ssize_t written = realWrite(fd, data, size < allowed ? size : allowed);
        if (written > 0)
            rule->bytes += written;
        return written;
    }
    return strikes(rule) ? -1 : realWrite(fd, data, size);
}

int fsync(int fd)
{
    static auto realFsync = real<int (*)(int)>("fsync");
    const char *path = descriptorPath(fd);
    if (path) {
        if (strikes(failingRule("fsync", path)))
            return -1;
    }
    return realFsync(fd);
}

int sync_file_range(int fd, off64_t offset, off64_t count, unsigned int flags)
{
    static auto realSync = real<int (*)(int, off64_t, off64_t, unsigned int)>("sync_file_range");
    const char *path = descriptorPath(fd);
    if (path && strikes(failingRule("sync_file_range", path)))
        return -1;
    return realSync(fd, offset, count, flags);
}

int syncfs(int fd)
{
    static auto realSyncfs = real<int (*)(int)>("syncfs");
    const char *path = descriptorPath(fd);
    if (path && strikes(failingRule("syncfs", path)))
        return -1;
    return realSyncfs(fd);
}

int close(int fd)
{
    static auto realClose = real<int (*)(int)>("close");
    const char *path = descriptorPath(fd);
    Rule *rule = path ? failingRule("close", path) : nullptr;
    if (rule && rule->action == Kill)
        strikes(rule);
    remember(fd, nullptr);
    const int result = realClose(fd);
    // Like NFS: the descriptor is gone, yet the close reports the failure.
    return strikes(rule) ? -1 : result;
}

int rename(const char *from, const char *to)
{
    static auto realRename = real<int (*)(const char *, const char *)>("rename");
    if (strikes(failingRule("rename", from, to), to))
        return -1;
    return realRename(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    static auto realRenameat = real<int (*)(int, const char *, int, const char *)>("renameat");
    const FullPath source(fromDir, from);
    const FullPath target(toDir, to);
    if (strikes(failingRule("rename", source.text, target.text), target.text))
        return -1;
    return realRenameat(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    static auto realRenameat2
        = real<int (*)(int, const char *, int, const char *, unsigned int)>("renameat2");
    const FullPath source(fromDir, from);
    const FullPath target(toDir, to);
    if (strikes(failingRule("renameat2", source.text, target.text), target.text))
        return -1;
    return realRenameat2(fromDir, from, toDir, to, flags);
}

int link(const char *from, const char *to)
{
    static auto realLink = real<int (*)(const char *, const char *)>("link");
    if (strikes(failingRule("link", from, to), to))
        return -1;
    return realLink(from, to);
}

int linkat(int fromDir, const char *from, int toDir, const char *to, int flags)
{
    static auto realLinkat = real<int (*)(int, const char *, int, const char *, int)>("linkat");
    const FullPath source(fromDir, from);
    const FullPath target(toDir, to);
    if (strikes(failingRule("link", source.text, target.text), target.text))
        return -1;
    return realLinkat(fromDir, from, toDir, to, flags);
}

int unlink(const char *path)
{
    static auto realUnlink = real<int (*)(const char *)>("unlink");
    if (strikes(failingRule("unlink", path)))
        return -1;
    return realUnlink(path);
}

int unlinkat(int dir, const char *path, int flags)
{
    static auto realUnlinkat = real<int (*)(int, const char *, int)>("unlinkat");
    const FullPath full(dir, path);
    if (!(flags & AT_REMOVEDIR) && strikes(failingRule("unlink", full.text)))
        return -1;
    return realUnlinkat(dir, path, flags);
}

int mkdirat(int dir, const char *path, mode_t mode)
{
    static auto realMkdirat = real<int (*)(int, const char *, mode_t)>("mkdirat");
    const FullPath full(dir, path);
    if (strikes(failingRule("mkdir", full.text)))
        return -1;
    return realMkdirat(dir, path, mode);
}

} // extern "C"
