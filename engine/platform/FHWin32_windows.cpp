#include "engine/platform/FHWin32.h"

#include <cerrno>

// Newer than MinGW's headers.
#ifndef ERROR_STOPPED_ON_SYMLINK
#define ERROR_STOPPED_ON_SYMLINK 681
#endif
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295
#endif

namespace FHWin32 {

int errnoOf(DWORD code)
{
    static const struct
    {
        DWORD code;
        int error;
    } table[] = {
        { ERROR_FILE_NOT_FOUND, ENOENT },
        { ERROR_PATH_NOT_FOUND, ENOENT },
        { ERROR_INVALID_DRIVE, ENOENT },
        { ERROR_BAD_NETPATH, ENOENT },
        { ERROR_BAD_NET_NAME, ENOENT },
        { ERROR_BAD_PATHNAME, ENOENT },
        // The name is on its way out: the file is as good as gone.
        { ERROR_DELETE_PENDING, ENOENT },
        { ERROR_DIRECTORY, ENOTDIR },
        { ERROR_FILE_EXISTS, EEXIST },
        { ERROR_ALREADY_EXISTS, EEXIST },
        { ERROR_NOT_SAME_DEVICE, EXDEV },
        { ERROR_CANT_RESOLVE_FILENAME, ELOOP },
        { ERROR_STOPPED_ON_SYMLINK, ELOOP },
        { ERROR_ACCESS_DENIED, EACCES },
        { ERROR_INVALID_ACCESS, EACCES },
        { ERROR_PRIVILEGE_NOT_HELD, EPERM },
        { ERROR_WRITE_PROTECT, EROFS },
        { ERROR_SHARING_VIOLATION, EBUSY },
        { ERROR_LOCK_VIOLATION, EBUSY },
        { ERROR_BUSY, EBUSY },
        { ERROR_USER_MAPPED_FILE, EBUSY },
        { ERROR_DISK_FULL, ENOSPC },
        { ERROR_HANDLE_DISK_FULL, ENOSPC },
        { ERROR_DISK_QUOTA_EXCEEDED, ENOSPC },
        { ERROR_DIR_NOT_EMPTY, ENOTEMPTY },
        { ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG },
        { ERROR_INVALID_NAME, EINVAL },
        { ERROR_INVALID_PARAMETER, EINVAL },
        { ERROR_NEGATIVE_SEEK, EINVAL },
        { ERROR_INVALID_HANDLE, EBADF },
        { ERROR_INVALID_FUNCTION, EOPNOTSUPP },
        { ERROR_NOT_SUPPORTED, EOPNOTSUPP },
        { ERROR_CALL_NOT_IMPLEMENTED, ENOSYS },
        { ERROR_TOO_MANY_LINKS, EMLINK },
        { ERROR_TOO_MANY_OPEN_FILES, EMFILE },
        { ERROR_NOT_ENOUGH_MEMORY, ENOMEM },
        { ERROR_OUTOFMEMORY, ENOMEM },
        { ERROR_NOT_READY, EIO },
        { ERROR_CRC, EIO },
        { ERROR_READ_FAULT, EIO },
        { ERROR_WRITE_FAULT, EIO },
        { ERROR_GEN_FAILURE, EIO },
        { ERROR_IO_DEVICE, EIO },
        { ERROR_SEM_TIMEOUT, EIO },
        { ERROR_NETNAME_DELETED, EIO },
        { ERROR_UNEXP_NET_ERR, EIO },
    };
    for (const auto &row : table) {
        if (row.code == code)
            return row.error;
    }
    return code == ERROR_SUCCESS ? 0 : UnmappedError + int(code & 0xffff);
}

QString errnoText(int error)
{
    static const struct
    {
        int error;
        const char *text;
    } table[] = {
        // The words of the POSIX side, so that a report reads the same on
        // both systems.
        { ENOENT, "No such file or directory" },
        { ENOTDIR, "Not a directory" },
        { EEXIST, "File exists" },
        { EXDEV, "Invalid cross-device link" },
        { ELOOP, "Too many levels of symbolic links" },
        { EACCES, "Permission denied" },
        { EPERM, "Operation not permitted" },
        { EROFS, "Read-only file system" },
        { EBUSY, "Device or resource busy" },
        { ENOSPC, "No space left on device" },
        { ENOTEMPTY, "Directory not empty" },
        { ENAMETOOLONG, "File name too long" },
        { EINVAL, "Invalid argument" },
        { EBADF, "Bad file descriptor" },
        { EOPNOTSUPP, "Operation not supported" },
        { ENOTSUP, "Operation not supported" },
        { ENOSYS, "Function not implemented" },
        { EMLINK, "Too many links" },
        { EMFILE, "Too many open files" },
        { ENOMEM, "Cannot allocate memory" },
        { EIO, "Input/output error" },
        { ESRCH, "No such process" },
    };
    for (const auto &row : table) {
        if (row.error == error)
            return QString::fromLatin1(row.text);
    }
    if (error >= UnmappedError) {
        wchar_t *text = nullptr;
        const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER
                | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, DWORD(error - UnmappedError), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
            reinterpret_cast<wchar_t *>(&text), 0, nullptr);
        QString message;
        if (length > 0 && text)
            message = QString::fromWCharArray(text, int(length)).trimmed();
        ::LocalFree(text);
        if (!message.isEmpty())
            return message;
        return QStringLiteral("Windows error %1").arg(error - UnmappedError);
    }
    return QStringLiteral("Error %1").arg(error);
}

std::wstring nativePath(const QString &path)
{
    QString native = path;
    native.replace(QLatin1Char('/'), QLatin1Char('\\'));
    // CreateDirectoryW stops 12 characters short of MAX_PATH. The prefix takes
    // absolute paths only, and turns off the clean-up that "/" would need.
    if (native.size() >= MAX_PATH - 12 && !native.startsWith(QLatin1String("\\\\?\\"))) {
        if (native.startsWith(QLatin1String("\\\\")))
            native = QLatin1String("\\\\?\\UNC\\") + native.mid(2);
        else if (native.size() > 2 && native.at(1) == QLatin1Char(':'))
            native = QLatin1String("\\\\?\\") + native;
    }
    return native.toStdWString();
}

std::wstring nativePath(const QString &folder, const QString &name)
{
    return nativePath(
        folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name);
}

HANDLE openEntry(const std::wstring &path, bool follow)
{
    // Attributes only: no sharing is asked of anyone, and nobody is refused.
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
}

bool isLinkTag(DWORD attributes, DWORD reparseTag)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(reparseTag);
}

qint64 unixNs(const FILETIME &time)
{
    // 100 ns steps since 1601.
    const qint64 ticks = qint64((quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - 116444736000000000LL) * 100;
}

FHFolder::Entry entryOf(HANDLE handle)
{
    FHFolder::Entry entry;
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info))
        return entry;
    FILE_ATTRIBUTE_TAG_INFO tag {};
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        ::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag);
    if (isLinkTag(info.dwFileAttributes, tag.ReparseTag))
        entry.kind = FHFolder::Link;
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        entry.kind = FHFolder::Directory;
    else
        entry.kind = ::GetFileType(handle) == FILE_TYPE_DISK ? FHFolder::File : FHFolder::Other;
    entry.device = info.dwVolumeSerialNumber;
    entry.inode = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    entry.size = qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    entry.modifiedNs = unixNs(info.ftLastWriteTime);
    entry.bornMs = unixNs(info.ftCreationTime) / 1000000;
    entry.links = info.nNumberOfLinks;
    return entry;
}

Volume volumeOf(const std::wstring &path)
{
    Volume volume;
    wchar_t root[MAX_PATH + 1];
    wchar_t type[MAX_PATH + 1];
    if (!::GetVolumePathNameW(path.c_str(), root, MAX_PATH + 1))
        return volume;
    volume.remote = ::GetDriveTypeW(root) == DRIVE_REMOTE;
    if (::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, type, MAX_PATH + 1))
        volume.type = QString::fromWCharArray(type);
    return volume;
}

} // namespace FHWin32
