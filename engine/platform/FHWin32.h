#ifndef FHWIN32_H
#define FHWIN32_H

// What the Windows side of the platform layer shares; only its *_windows.cpp
// files include this.

#include "engine/platform/FHFolder.h"

#include <QString>

#include <string>
#include <windows.h>

namespace FHWin32 {

// Windows errors that have no error number of their own keep their code
// above this, so that errnoText() can still say what they were.
constexpr int UnmappedError = 0x10000;

// The error number the engine tests for, for a Windows error code: the one
// table of the two.
int errnoOf(DWORD code);
inline int lastErrno()
{
    return errnoOf(::GetLastError());
}
// The words for an error number of errnoOf().
QString errnoText(int error);

// A path with "/" as Win32 calls take it: backslashes, and the \\?\ prefix
// where it is too long for them without it.
std::wstring nativePath(const QString &path);
// A name inside the folder at the path.
std::wstring nativePath(const QString &folder, const QString &name);

// Closes the handle when it goes.
class Handle
{
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE)
        : m_handle(handle)
    {
    }
    ~Handle()
    {
        if (isValid())
            ::CloseHandle(m_handle);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool isValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    HANDLE release()
    {
        HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE m_handle;
};

// Opens what lies at the path, a folder too, for reading its attributes;
// a link (any reparse point) is opened as itself unless follow is set.
HANDLE openEntry(const std::wstring &path, bool follow);
// Nanoseconds since 1970 for a Windows file time.
qint64 unixNs(const FILETIME &time);
// What the open handle stands for.
FHFolder::Entry entryOf(HANDLE handle);
// True for reparse points that lead elsewhere (symbolic links, junctions),
// which are never followed; others (cloud placeholders, deduplicated files)
// are the files they hold.
bool isLinkTag(DWORD attributes, DWORD reparseTag);

// The volume a path lies on, as far as the engine cares.
struct Volume
{
    QString type; // "NTFS", "FAT32", "exFAT", "ReFS", ...
    bool remote = false; // a network share
    // NTFS and ReFS keep a file's number for good; FAT and exFAT make one up
    // from where the entry lies, and shares from whatever the server says.
    bool keepsFileNumbers() const
    {
        return !remote
            && (type.compare(QLatin1String("NTFS"), Qt::CaseInsensitive) == 0
                || type.compare(QLatin1String("ReFS"), Qt::CaseInsensitive) == 0);
    }
};
Volume volumeOf(const std::wstring &path);

} // namespace FHWin32

#endif // FHWIN32_H
