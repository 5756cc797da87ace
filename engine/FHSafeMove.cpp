#include "engine/FHSafeMove.h"

#include "engine/FHFolderTree.h"
#include "engine/platform/FHFolder.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
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

int createPartial(const FHFolder &folder, QString &partial)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        partial = QLatin1String(FHSafeMove::PartialPrefix) + QString::number(::getpid())
            + QLatin1Char('-') + QString::number(QRandomGenerator::global()->generate64(), 16);
        const int fd = folder.openFile(partial, O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Each step is checked; the source goes only once its copy is safely in place.
int copyAcross(const FHFolder &from, const QString &name, const FHFolder &to, const QString &toName,
    QByteArray *contentHash)
{
    Descriptor in(from.openFile(name, O_RDONLY));
    if (in.get() < 0)
        return errno;
    struct stat st;
    if (::fstat(in.get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EINVAL;

    QString partial;
    Descriptor out(createPartial(to, partial));
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
        error = to.rename(partial, to, toName);
    if (error) {
        to.remove(partial);
        return error;
    }

    to.sync();
    if (const int failed = from.remove(name)) {
        to.remove(toName);
        return failed;
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

int FHSafeMove::moveFile(const FHFolder &from, const QString &name, const FHFolder &to,
    const QString &toName, QByteArray *contentHash)
{
    const int error = from.rename(name, to, toName);
    if (error == EXDEV)
        return copyAcross(from, name, to, toName, contentHash);
    return error;
}

int FHSafeMove::moveFile(
    const FHFolderTree &tree, const QString &source, const QString &target, QByteArray *contentHash)
{
    QString name;
    QString toName;
    int error = 0;
    const FHFolder from = tree.parentOf(source, &name, &error);
    if (!from.isValid())
        return error;
    const FHFolder to = tree.parentOf(target, &toName, &error);
    if (!to.isValid())
        return error;
    return moveFile(from, name, to, toName, contentHash);
}

void FHSafeMove::removeStalePartialCopies(const FHFolder &folder)
{
    if (!folder.isValid())
        return;
    const size_t prefixLength = qstrlen(PartialPrefix);
    QStringList stale;
    folder.list([&](const QByteArray &name, FHFolder::Kind) {
        if (qstrncmp(name.constData(), PartialPrefix, uint(prefixLength)) != 0)
            return;
        char *end = nullptr;
        const long pid = std::strtol(name.constData() + prefixLength, &end, 10);
        if (pid <= 0 || !end || *end != '-' || pid == long(::getpid()))
            return;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            stale << QFile::decodeName(name);
    });
    for (const QString &name : qAsConst(stale))
        folder.remove(name);
}

bool FHSafeMove::isCutMoveOf(const FHFolderTree &tree, const QString &source, const QString &copy)
{
    if (source == copy)
        return false;
    QString name;
    QString copyName;
    int error = 0;
    const FHFolder from = tree.parentOf(source, &name, &error);
    const FHFolder to = tree.parentOf(copy, &copyName, &error);
    if (!from.isValid() || !to.isValid())
        return false;
    const FHFolder::Entry a = from.entry(name);
    const FHFolder::Entry b = to.entry(copyName);
    if (a.kind != FHFolder::File || b.kind != FHFolder::File)
        return false;
    if (a.device == b.device)
        return a.inode == b.inode; // a move on one file system never copies
    if (a.size != b.size)
        return false;
    Descriptor left(from.openFile(name, O_RDONLY));
    Descriptor right(to.openFile(copyName, O_RDONLY));
    return left.get() >= 0 && right.get() >= 0 && sameBytes(left.get(), right.get());
}

int FHSafeMove::finishCutMove(const FHFolderTree &tree, const QString &source, const QString &copy)
{
    QString name;
    QString copyName;
    int error = 0;
    const FHFolder from = tree.parentOf(source, &name, &error);
    if (!from.isValid())
        return error;
    const FHFolder to = tree.parentOf(copy, &copyName, &error);
    if (!to.isValid())
        return error;
    {
        Descriptor fd(to.openFile(copyName, O_RDONLY));
        if (fd.get() < 0 || ::fsync(fd.get()) != 0)
            return errno;
    }
    to.sync();
    return from.remove(name);
}
