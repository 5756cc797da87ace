#include "engine/platform/FHFolder.h"

#include "engine/platform/FHWin32.h"

#include <cerrno>

using namespace FHWin32;

namespace {

// Traversal is a right that counts in the sharing check (reading attributes
// alone does not), so that nobody may rename or remove the folder while it
// is held; others may still read it and write in it.
HANDLE openFolder(const std::wstring &path, DWORD access)
{
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

std::shared_ptr<void> holdFolder(
    const std::wstring &path, const std::shared_ptr<void> &parent, int *error)
{
    HANDLE handle = openFolder(path, FILE_READ_ATTRIBUTES | FILE_TRAVERSE | SYNCHRONIZE);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
        handle = openFolder(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = lastErrno();
        return nullptr;
    }
    const FHFolder::Entry entry = entryOf(handle);
    if (entry.kind != FHFolder::Directory) {
        ::CloseHandle(handle);
        *error = entry.kind == FHFolder::Link ? ELOOP : ENOTDIR;
        return nullptr;
    }
    *error = 0;
    return std::shared_ptr<void>(handle, [parent](void *held) { ::CloseHandle(held); });
}

FHFolder::Kind kindOf(const WIN32_FIND_DATAW &data)
{
    if (isLinkTag(data.dwFileAttributes, data.dwReserved0))
        return FHFolder::Link;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FHFolder::Directory
                                                              : FHFolder::File;
}

FHFolder::Entry entryAtPath(const std::wstring &path, bool follow)
{
    const Handle handle(openEntry(path, follow));
    return handle.isValid() ? entryOf(handle.get()) : FHFolder::Entry();
}

} // namespace

FHFolder::Entry FHFolder::entryAt(const QString &path)
{
    return entryAtPath(nativePath(path), false);
}

FHFolder::FHFolder() = default;

FHFolder::~FHFolder() = default;

bool FHFolder::isValid() const
{
    return m_handle != nullptr;
}

QByteArray FHFolder::encodeName(const QString &name)
{
    return name.toUtf8();
}

QString FHFolder::decodeName(const QByteArray &name)
{
    return QString::fromUtf8(name);
}

FHFolder FHFolder::open(const QString &path, int *error)
{
    FHFolder folder;
    folder.m_handle = holdFolder(nativePath(path), nullptr, error);
    if (folder.m_handle)
        folder.m_path = path;
    return folder;
}

FHFolder FHFolder::child(const QString &name, int *error) const
{
    FHFolder folder;
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        *error = EINVAL;
        return folder;
    }
    folder.m_handle = holdFolder(nativePath(m_path, name), m_handle, error);
    if (folder.m_handle)
        folder.m_path
            = m_path.endsWith(QLatin1Char('/')) ? m_path + name : m_path + QLatin1Char('/') + name;
    return folder;
}

FHFolder FHFolder::child(const QByteArray &name, int *error) const
{
    return child(decodeName(name), error);
}

int FHFolder::makeChild(const QString &name) const
{
    return ::CreateDirectoryW(nativePath(m_path, name).c_str(), nullptr) ? 0 : lastErrno();
}

FHFolder::Entry FHFolder::entry(const QString &name) const
{
    return entryAtPath(nativePath(m_path, name), false);
}

FHFolder::Entry FHFolder::entry(const QByteArray &name) const
{
    return entry(decodeName(name));
}

FHFolder::Entry FHFolder::followed(const QString &name) const
{
    return entryAtPath(nativePath(m_path, name), true);
}

FHFolder::Entry FHFolder::self() const
{
    return m_handle ? entryOf(m_handle.get()) : Entry();
}

bool FHFolder::list(const std::function<void(const QByteArray &, Kind)> &each) const
{
    WIN32_FIND_DATAW data;
    HANDLE search = ::FindFirstFileExW(nativePath(m_path, QStringLiteral("*")).c_str(),
        FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        // Only a drive's root lacks "." and "..": there an empty folder
        // finds nothing at all.
        if (::GetLastError() == ERROR_FILE_NOT_FOUND)
            return true;
        errno = lastErrno();
        return false;
    }
    do {
        const wchar_t *name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
            continue;
        each(QString::fromWCharArray(name).toUtf8(), kindOf(data));
    } while (::FindNextFileW(search, &data));
    const DWORD ended = ::GetLastError();
    ::FindClose(search);
    if (ended != ERROR_NO_MORE_FILES) {
        errno = errnoOf(ended);
        return false;
    }
    return true;
}

int FHFolder::readable() const
{
    WIN32_FIND_DATAW data;
    HANDLE search = ::FindFirstFileExW(nativePath(m_path, QStringLiteral("*")).c_str(),
        FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : lastErrno();
    ::FindClose(search);
    return 0;
}

int FHFolder::writable() const
{
    // A read-only volume (a card with its lock switch on, a disc) is known
    // beforehand. The user's rights on the folder are not worked out from its
    // access list: the first file made there tells.
    DWORD flags = 0;
    if (m_handle
        && ::GetVolumeInformationByHandleW(
            m_handle.get(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)
        && (flags & FILE_READ_ONLY_VOLUME))
        return EROFS;
    return 0;
}

int FHFolder::syncFileSystem() const
{
    // Windows flushes a whole volume only for an administrator (through a
    // handle to \\.\C:). The one caller that relies on it follows clones,
    // which Windows never makes here (FHFile::cloneFrom); the folder's own
    // entries are what can be made durable.
    return sync();
}

int FHFolder::rename(const QString &name, const FHFolder &to, const QString &toName) const
{
    const std::wstring target = nativePath(to.m_path, toName);
    // Windows renames a file onto itself, under another spelling too (letter
    // case, say); as on Linux, a name that is there is taken, whatever it
    // names.
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
        return EEXIST;
    // Without MOVEFILE_REPLACE_EXISTING a name taken is refused, and without
    // MOVEFILE_COPY_ALLOWED a move to another volume too: the safe move copies
    // for itself then.
    return ::MoveFileExW(nativePath(m_path, name).c_str(), target.c_str(), 0) ? 0 : lastErrno();
}

int FHFolder::link(const QString &name, const FHFolder &to, const QString &toName) const
{
    return ::CreateHardLinkW(
               nativePath(to.m_path, toName).c_str(), nativePath(m_path, name).c_str(), nullptr)
        ? 0
        : lastErrno();
}

int FHFolder::remove(const QString &name) const
{
    const std::wstring path = nativePath(m_path, name);
    if (::DeleteFileW(path.c_str()))
        return 0;
    const int error = lastErrno();
    // Unlike an unlink, a delete refuses a read-only file; a card's camera
    // may mark its photos so.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (error != EACCES || attributes == INVALID_FILE_ATTRIBUTES
        || !(attributes & FILE_ATTRIBUTE_READONLY) || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return error;
    if (!::SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)))
        return error;
    if (::DeleteFileW(path.c_str()))
        return 0;
    const int failed = lastErrno();
    ::SetFileAttributesW(path.c_str(), attributes);
    return failed;
}

int FHFolder::removeChild(const QString &name) const
{
    return ::RemoveDirectoryW(nativePath(m_path, name).c_str()) ? 0 : lastErrno();
}

bool FHFolder::keepsFileNumbers() const
{
    return volumeOf(nativePath(m_path)).keepsFileNumbers();
}

int FHFolder::sync() const
{
    // A folder's entries are flushed through a handle that may write to it.
    // Where the user may not, or the file system flushes no folders, there is
    // nothing more to do: NTFS logs its folders' changes anyway.
    const Handle folder(::CreateFileW(nativePath(m_path).c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const int error = !folder.isValid()    ? lastErrno()
        : ::FlushFileBuffers(folder.get()) ? 0
                                           : lastErrno();
    return error == EACCES || error == EOPNOTSUPP ? 0 : error;
}
