#include "engine/FHSafeMove.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace FHSafeMove {
const char *const PartialPrefix = ".quilm-partial-";
}

namespace {

class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    // Closes now and tells whether the close reported an error (NFS reports
    // failed writes there).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool refusesNoReplaceFlag(int error)
{
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

bool refusesHardLinks(int error)
{
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

// A move within one file system that never replaces an existing target.
int placeWithoutReplacing(const char *from, const char *to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    int error = errno;
    if (!refusesNoReplaceFlag(error))
        return error;

    if (::link(from, to) == 0) {
        if (::unlink(from) == 0)
            return 0;
        error = errno;
        ::unlink(to);
        return error;
    }
    error = errno;
    if (!refusesHardLinks(error))
        return error;

    // Neither the flag nor hard links (some network shares): checking and
    // renaming cannot be one step there.
    struct stat st;
    if (::lstat(to, &st) == 0)
        return EEXIST;
    return ::rename(from, to) == 0 ? 0 : errno;
}

QByteArray folderOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

int writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return ENOSPC;
        data += written;
        size -= size_t(written);
    }
    return 0;
}

// Copies and, on the way, hashes the content: a card is read once.
int copyContent(int in, int out, QCryptographicHash *hash)
{
    static constexpr size_t BufferSize = 256 * 1024;
    // Writeback starts every few megabytes rather than all at the closing
    // fsync, so that the disk works while the copy goes on.
    static constexpr off_t WritebackStep = 8 * 1024 * 1024;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    off_t written = 0;
    off_t flushed = 0;
    ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
    for (;;) {
        const ssize_t got = ::read(in, buffer.get(), BufferSize);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return 0;
        if (hash)
            hash->addData(buffer.get(), int(got));
        if (const int error = writeAll(out, buffer.get(), size_t(got)))
            return error;
        written += got;
        if (written - flushed >= WritebackStep) {
            ::sync_file_range(out, flushed, written - flushed, SYNC_FILE_RANGE_WRITE);
            flushed = written;
        }
    }
}

void syncFolder(const QByteArray &folder)
{
    Descriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

int createPartial(const QByteArray &folder, QByteArray &partial)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        partial = folder + '/' + FHSafeMove::PartialPrefix + QByteArray::number(::getpid()) + '-'
            + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
        const int fd = ::open(partial.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Each step is checked; the source goes only once its copy is safely in place.
int copyAcross(const QByteArray &source, const QByteArray &target, QByteArray *contentHash)
{
    Descriptor in(::open(source.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.get() < 0)
        return errno;
    struct stat st;
    if (::fstat(in.get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EINVAL;

    const QByteArray folder = folderOf(target);
    QByteArray partial;
    Descriptor out(createPartial(folder, partial));
    if (out.get() < 0)
        return errno;

    QCryptographicHash hash(FHSafeMove::ContentHash);
    int error = copyContent(in.get(), out.get(), contentHash ? &hash : nullptr);
    if (!error) {
        // Permissions and times are nice to keep; file systems that refuse them
        // still hold the photo intact.
        ::fchmod(out.get(), st.st_mode & 07777);
        const struct timespec times[2] = { st.st_atim, st.st_mtim };
        ::futimens(out.get(), times);
        if (::fsync(out.get()) != 0)
            error = errno;
    }
    if (!out.close() && !error)
        error = errno;
    if (!error)
        error = placeWithoutReplacing(partial.constData(), target.constData());
    if (error) {
        ::unlink(partial.constData());
        return error;
    }

    syncFolder(folder);
    if (::unlink(source.constData()) != 0) {
        error = errno;
        ::unlink(target.constData());
        return error;
    }
    if (contentHash)
        *contentHash = hash.result().toHex();
    return 0;
}

bool sameBytes(int a, int b)
{
    static constexpr size_t BufferSize = 64 * 1024;
    const std::unique_ptr<char[]> left(new char[BufferSize]);
    const std::unique_ptr<char[]> right(new char[BufferSize]);
    for (;;) {
        const ssize_t got = ::read(a, left.get(), BufferSize);
        if (got < 0)
            return false;
        ssize_t have = 0;
        while (have < got) {
            const ssize_t more = ::read(b, right.get() + have, size_t(got - have));
            if (more <= 0)
                return false;
            have += more;
        }
        if (got == 0)
            return ::read(b, right.get(), 1) == 0;
        if (std::memcmp(left.get(), right.get(), size_t(got)) != 0)
            return false;
    }
}

} // namespace

int FHSafeMove::moveFile(const QString &source, const QString &target, QByteArray *contentHash)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    const int error = placeWithoutReplacing(from.constData(), to.constData());
    if (error == EXDEV)
        return copyAcross(from, to, contentHash);
    return error;
}

void FHSafeMove::removeStalePartialCopies(const QString &folder)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    const size_t prefixLength = qstrlen(PartialPrefix);
    while (const dirent *entry = ::readdir(dir)) {
        if (qstrncmp(entry->d_name, PartialPrefix, uint(prefixLength)) != 0)
            continue;
        char *end = nullptr;
        const long pid = std::strtol(entry->d_name + prefixLength, &end, 10);
        if (pid <= 0 || !end || *end != '-' || pid == long(::getpid()))
            continue;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool FHSafeMove::isCutMoveOf(const QString &source, const QString &copy)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(copy);
    struct stat a, b;
    if (::lstat(from.constData(), &a) != 0 || ::lstat(to.constData(), &b) != 0
        || !S_ISREG(a.st_mode) || !S_ISREG(b.st_mode) || from == to)
        return false;
    if (a.st_dev == b.st_dev)
        return a.st_ino == b.st_ino; // a move on one file system never copies
    if (a.st_size != b.st_size)
        return false;
    Descriptor left(::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    Descriptor right(::open(to.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return left.get() >= 0 && right.get() >= 0 && sameBytes(left.get(), right.get());
}

int FHSafeMove::finishCutMove(const QString &source, const QString &copy)
{
    const QByteArray to = QFile::encodeName(copy);
    {
        Descriptor fd(::open(to.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (fd.get() < 0 || ::fsync(fd.get()) != 0)
            return errno;
    }
    syncFolder(folderOf(to));
    return ::unlink(QFile::encodeName(source).constData()) == 0 ? 0 : errno;
}
