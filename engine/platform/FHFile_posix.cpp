#include "engine/platform/FHFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

int openToRead(int folder, const char *name, int flags)
{
    const int fd = ::openat(folder, name, flags | O_NOATIME);
    return fd >= 0 || errno != EPERM ? fd : ::openat(folder, name, flags);
}

int flagsOf(FHFile::Mode mode)
{
    switch (mode) {
    case FHFile::Read:
        return O_RDONLY;
    case FHFile::CreateNew:
        return O_RDWR | O_CREAT | O_EXCL;
    case FHFile::CreateNewAppend:
        return O_RDWR | O_CREAT | O_EXCL | O_APPEND;
    case FHFile::Append:
        return O_RDWR | O_APPEND;
    }
    return O_RDONLY;
}

} // namespace

FHFile::~FHFile()
{
    if (m_handle >= 0)
        ::close(m_handle);
}

FHFile::FHFile(FHFile &&other) noexcept
    : m_handle(other.m_handle)
{
    other.m_handle = Closed;
}

FHFile &FHFile::operator=(FHFile &&other) noexcept
{
    if (this != &other) {
        if (m_handle >= 0)
            ::close(m_handle);
        m_handle = other.m_handle;
        other.m_handle = Closed;
    }
    return *this;
}

FHFile FHFile::open(const FHFolder &folder, const QString &name, Mode mode, int *error)
{
    const QByteArray encoded = FHFolder::encodeName(name);
    const int flags = flagsOf(mode) | O_NOFOLLOW | O_CLOEXEC;
    const int fd = mode == Read ? openToRead(folder.descriptor(), encoded.constData(), flags)
                                : ::openat(folder.descriptor(), encoded.constData(), flags, 0600);
    *error = fd < 0 ? errno : 0;
    return FHFile(fd);
}

FHFile FHFile::openPath(const QString &path, Mode mode, int *error)
{
    const QByteArray encoded = QFile::encodeName(path);
    const int flags = flagsOf(mode) | O_CLOEXEC;
    const int fd = mode == Read ? openToRead(AT_FDCWD, encoded.constData(), flags)
                                : ::open(encoded.constData(), flags, 0600);
    *error = fd < 0 ? errno : 0;
    return FHFile(fd);
}

bool FHFile::openForReading(QFile &file)
{
    const int fd = openToRead(
        AT_FDCWD, QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // Qt's own attempt gives the file its error text.
        const int error = errno;
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        file.close();
        errno = error;
        return false;
    }
    if (file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

qint64 FHFile::read(char *data, qint64 size, int *error)
{
    for (;;) {
        const ssize_t got = ::read(m_handle, data, size_t(size));
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            *error = errno;
            return -1;
        }
    }
}

bool FHFile::readFullyAt(char *data, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t got = ::pread(m_handle, data, size_t(size), off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= got;
        offset += got;
    }
    return true;
}

int FHFile::writeAll(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_handle, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return ENOSPC;
        data += written;
        size -= written;
    }
    return 0;
}

int FHFile::syncData()
{
    return ::fdatasync(m_handle) == 0 ? 0 : errno;
}

int FHFile::sync()
{
    return ::fsync(m_handle) == 0 ? 0 : errno;
}

int FHFile::writeOut()
{
    const unsigned flags
        = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    return ::sync_file_range(m_handle, 0, 0, flags) == 0 ? 0 : errno;
}

int FHFile::close()
{
    const int fd = m_handle;
    m_handle = Closed;
    return fd < 0 || ::close(fd) == 0 ? 0 : errno;
}

FHFolder::Entry FHFile::info() const
{
    FHFolder::Entry entry;
    struct statx sx;
    if (::statx(m_handle, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return entry;
    entry.kind = S_ISREG(sx.stx_mode) ? FHFolder::File
        : S_ISDIR(sx.stx_mode)        ? FHFolder::Directory
                                      : FHFolder::Other;
    entry.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    entry.inode = sx.stx_ino;
    entry.size = qint64(sx.stx_size);
    entry.modifiedNs = qint64(sx.stx_mtime.tv_sec) * 1000000000 + sx.stx_mtime.tv_nsec;
    entry.links = sx.stx_nlink;
    if (sx.stx_mask & STATX_BTIME)
        entry.bornMs = qint64(sx.stx_btime.tv_sec) * 1000 + sx.stx_btime.tv_nsec / 1000000;
    return entry;
}

void FHFile::copyMetadataFrom(const FHFile &source)
{
    struct stat st;
    if (::fstat(source.m_handle, &st) != 0)
        return;
    // Nice to keep; file systems that refuse them still hold the photo intact.
    ::fchmod(m_handle, st.st_mode & 07777);
    const struct timespec times[2] = { st.st_atim, st.st_mtim };
    ::futimens(m_handle, times);
}

void FHFile::adviseSequential()
{
    ::posix_fadvise(m_handle, 0, 0, POSIX_FADV_SEQUENTIAL);
}

void FHFile::startWriteback(qint64 offset, qint64 length)
{
    ::sync_file_range(m_handle, off_t(offset), off_t(length), SYNC_FILE_RANGE_WRITE);
}

int FHFile::dropCache()
{
    return ::posix_fadvise(m_handle, 0, 0, POSIX_FADV_DONTNEED);
}

int FHFile::cloneFrom(const FHFile &source)
{
    return ::ioctl(m_handle, FICLONE, source.m_handle) == 0 ? 0 : errno;
}

qint64 FHFile::copyFrom(const FHFile &source, qint64 length, int *error)
{
    for (;;) {
        const ssize_t copied
            = ::copy_file_range(source.m_handle, nullptr, m_handle, nullptr, size_t(length), 0);
        if (copied >= 0)
            return copied;
        if (errno != EINTR) {
            *error = errno;
            return -1;
        }
    }
}
