#include "engine/platform/FHFile.h"

#include "engine/platform/FHWin32.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

using namespace FHWin32;

namespace {

// Every file is opened sharing everything, deletion included, as a POSIX
// descriptor would: a move may rename or remove a file it still reads.
const DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Appending handles write at the end only, whatever the position; the flush
// needs one of the two write rights, and the append right is one.
const DWORD AppendAccess = FILE_GENERIC_READ | FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES;

// A file opened to be read keeps its access time where the handle may say
// so: the right to write its attributes, then SetFileTime with all bits set
// ("from now on, leave it"). Without that right (a locked card) the system
// decides, as NTFS by default does not update it anyway.
HANDLE openToRead(const std::wstring &path, DWORD flags)
{
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES, ShareAll,
        nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        const FILETIME keep { 0xffffffffu, 0xffffffffu };
        ::SetFileTime(handle, nullptr, &keep, nullptr);
        return handle;
    }
    const DWORD code = ::GetLastError();
    if (code != ERROR_ACCESS_DENIED && code != ERROR_WRITE_PROTECT)
        return handle;
    return ::CreateFileW(
        path.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

HANDLE openFile(const std::wstring &path, FHFile::Mode mode, bool follow, int *error)
{
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case FHFile::Read:
        break;
    case FHFile::CreateNew:
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = CREATE_NEW;
        break;
    case FHFile::CreateNewAppend:
        access = AppendAccess;
        disposition = CREATE_NEW;
        break;
    case FHFile::Append:
        access = AppendAccess;
        break;
    }
    HANDLE handle = mode == FHFile::Read
        ? openToRead(path, flags)
        : ::CreateFileW(path.c_str(), access, ShareAll, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = lastErrno();
        return nullptr;
    }
    // Opened as itself, a link is no file to read or write.
    if (!follow && entryOf(handle).kind == FHFolder::Link) {
        ::CloseHandle(handle);
        *error = ELOOP;
        return nullptr;
    }
    *error = 0;
    return handle;
}

} // namespace

FHFile::~FHFile()
{
    close();
}

FHFile::FHFile(FHFile &&other) noexcept
    : m_handle(other.m_handle)
    , m_uncached(other.m_uncached)
{
    other.m_handle = Closed;
    other.m_uncached = Closed;
}

FHFile &FHFile::operator=(FHFile &&other) noexcept
{
    if (this != &other) {
        close();
        m_handle = other.m_handle;
        m_uncached = other.m_uncached;
        other.m_handle = Closed;
        other.m_uncached = Closed;
    }
    return *this;
}

FHFile FHFile::open(const FHFolder &folder, const QString &name, Mode mode, int *error)
{
    return FHFile(openFile(nativePath(folder.path(), name), mode, false, error));
}

FHFile FHFile::openPath(const QString &path, Mode mode, int *error)
{
    return FHFile(openFile(nativePath(path), mode, true, error));
}

bool FHFile::openForReading(QFile &file)
{
    const HANDLE handle = openToRead(nativePath(file.fileName()), FILE_ATTRIBUTE_NORMAL);
    if (handle == INVALID_HANDLE_VALUE) {
        // Qt's own attempt gives the file its error text.
        const int error = lastErrno();
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        file.close();
        errno = error;
        return false;
    }
    // QFile takes a C runtime stream, which then owns the handle: Qt maps a
    // stream's file into memory, as the EXIF library asks for raw files, but
    // not a bare descriptor's.
    const int fd = ::_open_osfhandle(intptr_t(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        return false;
    }
    FILE *const stream = ::_fdopen(fd, "rb");
    if (!stream) {
        ::_close(fd);
        return false;
    }
    if (file.open(
            stream, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return true;
    std::fclose(stream);
    return false;
}

qint64 FHFile::read(char *data, qint64 size, int *error)
{
    DWORD got = 0;
    if (::ReadFile(m_handle, data, DWORD(qMin<qint64>(size, 1 << 30)), &got, nullptr))
        return got;
    const DWORD code = ::GetLastError();
    if (code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE)
        return 0;
    *error = errnoOf(code);
    return -1;
}

bool FHFile::readFullyAt(char *data, qint64 size, qint64 offset)
{
    if (m_uncached && readUncachedAt(data, size, offset))
        return true;
    // A read at an offset moves a synchronous handle's position; put it back,
    // as pread would never have moved it.
    LARGE_INTEGER position {};
    if (!::SetFilePointerEx(m_handle, LARGE_INTEGER {}, &position, FILE_CURRENT))
        return false;
    bool complete = true;
    while (size > 0) {
        OVERLAPPED at {};
        at.Offset = DWORD(quint64(offset) & 0xffffffffu);
        at.OffsetHigh = DWORD(quint64(offset) >> 32);
        DWORD got = 0;
        if (!::ReadFile(m_handle, data, DWORD(qMin<qint64>(size, 1 << 30)), &got, &at)
            || got == 0) {
            complete = false;
            break;
        }
        data += got;
        size -= got;
        offset += got;
    }
    ::SetFilePointerEx(m_handle, position, nullptr, FILE_BEGIN);
    return complete;
}

int FHFile::writeAll(const char *data, qint64 size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(m_handle, data, DWORD(qMin<qint64>(size, 1 << 30)), &written, nullptr))
            return lastErrno();
        if (written == 0)
            return ENOSPC;
        data += written;
        size -= written;
    }
    return 0;
}

int FHFile::syncData()
{
    return sync();
}

int FHFile::sync()
{
    // Windows has no flush of the content alone.
    return ::FlushFileBuffers(m_handle) ? 0 : lastErrno();
}

int FHFile::writeOut()
{
    // No file system here is known to order data before names
    // (FileSystem::journaled is never set), so this is a full flush.
    return sync();
}

int FHFile::close()
{
    if (m_uncached)
        ::CloseHandle(m_uncached);
    m_uncached = Closed;
    void *const handle = m_handle;
    m_handle = Closed;
    return !handle || ::CloseHandle(handle) ? 0 : lastErrno();
}

FHFolder::Entry FHFile::info() const
{
    return entryOf(m_handle);
}

void FHFile::copyMetadataFrom(const FHFile &source)
{
    // The times, the creation time too: a run that dates photos by their
    // files reads it. A camera's read-only mark is not carried over.
    FILETIME created;
    FILETIME accessed;
    FILETIME written;
    if (::GetFileTime(source.m_handle, &created, &accessed, &written))
        ::SetFileTime(m_handle, &created, &accessed, &written);
}

// No hints: Windows reads ahead by itself on a handle read from start to end,
// and writes behind by itself.
void FHFile::adviseSequential() { }

void FHFile::startWriteback(qint64, qint64) { }

int FHFile::dropCache()
{
    // Windows has no call that drops one file's pages. A handle opened with
    // FILE_FLAG_NO_BUFFERING reads from the device instead: NTFS writes what
    // the cache still holds of the range, then reads the disk.
    // The handle that wrote stays as it was.
    if (m_uncached)
        return 0;
    const HANDLE uncached = ::ReOpenFile(m_handle, GENERIC_READ, ShareAll, FILE_FLAG_NO_BUFFERING);
    if (uncached == INVALID_HANDLE_VALUE)
        return lastErrno();
    m_uncached = uncached;
    return 0;
}

bool FHFile::readUncachedAt(char *data, qint64 size, qint64 offset)
{
    // Unbuffered reads take whole sectors into sector-aligned memory. A page
    // (4096 bytes) is a whole number of sectors on every disk but a few
    // exotic ones; there the read fails and the cached handle reads instead.
    constexpr qint64 Page = 4096;
    const qint64 start = offset & ~(Page - 1);
    const qint64 span = ((offset + size + Page - 1) & ~(Page - 1)) - start;
    char *const pages = static_cast<char *>(
        ::VirtualAlloc(nullptr, SIZE_T(span), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!pages)
        return false;
    qint64 done = 0;
    while (done < span) {
        OVERLAPPED at {};
        at.Offset = DWORD(quint64(start + done) & 0xffffffffu);
        at.OffsetHigh = DWORD(quint64(start + done) >> 32);
        DWORD got = 0;
        if (!::ReadFile(
                m_uncached, pages + done, DWORD(qMin<qint64>(span - done, 1 << 30)), &got, &at)
            || got == 0)
            break;
        done += got;
    }
    // A short read at the end of the file is whole when it covers the range.
    const bool whole = done >= offset + size - start;
    if (whole)
        memcpy(data, pages + (offset - start), size_t(size));
    ::VirtualFree(pages, 0, MEM_RELEASE);
    return whole;
}

int FHFile::cloneFrom(const FHFile &)
{
    // Block cloning exists on ReFS only, through an ioctl that needs aligned
    // ranges; the copy falls back to reading and writing.
    return EOPNOTSUPP;
}

qint64 FHFile::copyFrom(const FHFile &, qint64, int *error)
{
    *error = ENOSYS;
    return -1;
}
