#include "engine/platform/FHFolder.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// A folder is held as a path descriptor: it serves every call made by name in
// it, also where the folder may be written but not read.
const int FolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
const int ReadFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// A listing leaves the folder's access time alone where it may (see FHFile).
int openToList(int folder)
{
    const int fd = ::openat(folder, ".", ReadFlags | O_NOATIME);
    return fd >= 0 || errno != EPERM ? fd : ::openat(folder, ".", ReadFlags);
}

std::shared_ptr<const int> own(int fd)
{
    return std::shared_ptr<const int>(new int(fd), [](const int *p) {
        ::close(*p);
        delete p;
    });
}

bool refusesNoReplaceFlag(int error)
{
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

bool refusesHardLinks(int error)
{
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

FHFolder::Kind kindOf(mode_t mode)
{
    return S_ISREG(mode) ? FHFolder::File
        : S_ISDIR(mode)  ? FHFolder::Directory
        : S_ISLNK(mode)  ? FHFolder::Link
                         : FHFolder::Other;
}

FHFolder::Entry entryOf(int fd, const char *name, int flags)
{
    FHFolder::Entry entry;
    struct statx sx;
    if (::statx(fd, name, flags, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return entry;
    entry.kind = kindOf(sx.stx_mode);
    entry.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    entry.inode = sx.stx_ino;
    entry.size = qint64(sx.stx_size);
    entry.modifiedNs = qint64(sx.stx_mtime.tv_sec) * 1000000000 + sx.stx_mtime.tv_nsec;
    entry.links = sx.stx_nlink;
    if (sx.stx_mask & STATX_BTIME)
        entry.bornMs = qint64(sx.stx_btime.tv_sec) * 1000 + sx.stx_btime.tv_nsec / 1000000;
    return entry;
}

// A link opened without following it is "not a folder": say that it is a link.
int openError(int dir, const char *name)
{
    const int error = errno;
    struct stat st;
    if (error == ENOTDIR && ::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(st.st_mode))
        return ELOOP;
    return error;
}

} // namespace

FHFolder::Entry FHFolder::entryAt(const QString &path)
{
    return entryOf(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW);
}

FHFolder::FHFolder() = default;

bool FHFolder::isValid() const
{
    return m_fd != nullptr;
}

QByteArray FHFolder::encodeName(const QString &name)
{
    return QFile::encodeName(name);
}

QString FHFolder::decodeName(const QByteArray &name)
{
    return QFile::decodeName(name);
}
FHFolder::~FHFolder() = default;

FHFolder FHFolder::open(const QString &path, int *error)
{
    FHFolder folder;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), FolderFlags);
    if (fd < 0) {
        *error = openError(AT_FDCWD, name.constData());
        return folder;
    }
    *error = 0;
    folder.m_fd = own(fd);
    folder.m_path = path;
    return folder;
}

FHFolder FHFolder::child(const QString &name, int *error) const
{
    return child(QFile::encodeName(name), error);
}

FHFolder FHFolder::child(const QByteArray &name, int *error) const
{
    FHFolder folder;
    const int fd = ::openat(*m_fd, name.constData(), FolderFlags);
    if (fd < 0) {
        *error = openError(*m_fd, name.constData());
        return folder;
    }
    *error = 0;
    folder.m_fd = own(fd);
    folder.m_path = m_path + QLatin1Char('/') + QFile::decodeName(name);
    return folder;
}

int FHFolder::makeChild(const QString &name) const
{
    return ::mkdirat(*m_fd, QFile::encodeName(name).constData(), 0777) == 0 ? 0 : errno;
}

FHFolder::Entry FHFolder::entry(const QString &name) const
{
    return entryOf(*m_fd, QFile::encodeName(name).constData(), AT_SYMLINK_NOFOLLOW);
}

FHFolder::Entry FHFolder::entry(const QByteArray &name) const
{
    return entryOf(*m_fd, name.constData(), AT_SYMLINK_NOFOLLOW);
}

FHFolder::Entry FHFolder::followed(const QString &name) const
{
    return entryOf(*m_fd, QFile::encodeName(name).constData(), 0);
}

FHFolder::Entry FHFolder::self() const
{
    return entryOf(*m_fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW);
}

bool FHFolder::list(const std::function<void(const QByteArray &, Kind)> &each) const
{
    // The listing reads through a descriptor of its own, which needs the
    // right to read the folder.
    const int fd = openToList(*m_fd);
    if (fd < 0)
        return false;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    while (const dirent *found = ::readdir(dir)) {
        const char *name = found->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        Kind kind = Missing;
        switch (found->d_type) {
        case DT_REG:
            kind = File;
            break;
        case DT_DIR:
            kind = Directory;
            break;
        case DT_LNK:
            kind = Link;
            break;
        case DT_UNKNOWN:
            break;
        default:
            kind = Other;
        }
        each(QByteArray(name), kind);
    }
    ::closedir(dir);
    return true;
}

int FHFolder::readable() const
{
    const int fd = openToList(*m_fd);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

int FHFolder::writable() const
{
    if (::faccessat(*m_fd, "", W_OK, AT_EMPTY_PATH | AT_EACCESS) == 0)
        return 0;
    return errno == EINVAL || errno == ENOSYS ? 0 : errno;
}

int FHFolder::syncFileSystem() const
{
    const int fd = openToList(*m_fd);
    if (fd < 0)
        return errno;
    const int error = ::syncfs(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

int FHFolder::rename(const QString &name, const FHFolder &to, const QString &toName) const
{
    const QByteArray from = QFile::encodeName(name);
    const QByteArray target = QFile::encodeName(toName);
    if (::renameat2(*m_fd, from.constData(), *to.m_fd, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    int error = errno;
    if (!refusesNoReplaceFlag(error))
        return error;

    if (::linkat(*m_fd, from.constData(), *to.m_fd, target.constData(), 0) == 0) {
        if (::unlinkat(*m_fd, from.constData(), 0) == 0)
            return 0;
        error = errno;
        ::unlinkat(*to.m_fd, target.constData(), 0);
        return error;
    }
    error = errno;
    if (!refusesHardLinks(error))
        return error;

    // Neither the flag nor hard links (some network shares): checking and
    // renaming cannot be one step there.
    struct stat st;
    if (::fstatat(*to.m_fd, target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(*m_fd, from.constData(), *to.m_fd, target.constData()) == 0 ? 0 : errno;
}

int FHFolder::link(const QString &name, const FHFolder &to, const QString &toName) const
{
    return ::linkat(*m_fd, QFile::encodeName(name).constData(), *to.m_fd,
               QFile::encodeName(toName).constData(), 0)
            == 0
        ? 0
        : errno;
}

int FHFolder::remove(const QString &name) const
{
    return ::unlinkat(*m_fd, QFile::encodeName(name).constData(), 0) == 0 ? 0 : errno;
}

int FHFolder::removeChild(const QString &name) const
{
    return ::unlinkat(*m_fd, QFile::encodeName(name).constData(), AT_REMOVEDIR) == 0 ? 0 : errno;
}

bool FHFolder::keepsFileNumbers() const
{
    struct statfs fs;
    if (::fstatfs(*m_fd, &fs) != 0)
        return false;
    switch (quint32(fs.f_type)) {
    case 0x4d44: // FAT
    case 0x2011bab0: // exFAT
    case 0x5346544e: // NTFS
    case 0x7366746e: // NTFS (ntfs3)
    case 0x65735546: // FUSE: exFAT, NTFS, FAT and network file systems
    case 0x517b: // SMB
    case 0xff534d42: // CIFS
    case 0xfe534d42: // SMB2
    case 0x6969: // NFS
        return false;
    default:
        return true;
    }
}

int FHFolder::sync() const
{
    const int fd = ::openat(*m_fd, ".", ReadFlags);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}
