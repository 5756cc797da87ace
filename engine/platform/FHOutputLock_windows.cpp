#include "engine/platform/FHOutputLock.h"

#include "engine/platform/FHWin32.h"

#include <QThread>

using namespace FHWin32;

namespace {

const char *const LockName = ".quilm-lock";

// The lock sits on a byte far past the end of the file, so that the process
// id written at its start stays readable for the run that is refused.
const DWORD LockOffset = 1u << 30;

bool lockRange(HANDLE file)
{
    OVERLAPPED at {};
    at.Offset = LockOffset;
    return ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

// "process 1234 (quilm-sort.exe)", from the id the holder wrote.
QString holderOf(HANDLE file)
{
    char text[32] = {};
    DWORD got = 0;
    OVERLAPPED at {};
    ::ReadFile(file, text, sizeof text - 1, &got, &at);
    bool ok = false;
    const qulonglong pid = QByteArray(text, int(got)).trimmed().toULongLong(&ok);
    if (!ok || pid == 0 || pid > 0xffffffffULL)
        return QString();
    QString name;
    const Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid)));
    wchar_t image[MAX_PATH + 1];
    DWORD length = MAX_PATH + 1;
    if (process.isValid() && ::QueryFullProcessImageNameW(process.get(), 0, image, &length)) {
        name = QString::fromWCharArray(image, int(length));
        name = name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1);
    }
    return name.isEmpty() ? QStringLiteral("process %1").arg(pid)
                          : QStringLiteral("process %1 (%2)").arg(pid).arg(name);
}

// True when the open file is still the one at the path: the run that held it
// last removes it as it lets go, and a lock on a file on its way out
// would stop nobody.
bool stillThere(HANDLE file, const std::wstring &path)
{
    FILE_STANDARD_INFO standard {};
    if (::GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)
        && standard.DeletePending)
        return false;
    const Handle named(openEntry(path, false));
    if (!named.isValid())
        return false;
    const FHFolder::Entry a = entryOf(file);
    const FHFolder::Entry b = entryOf(named.get());
    return a.device == b.device && a.inode == b.inode;
}

void writeProcessId(HANDLE file)
{
    const QByteArray text = QByteArray::number(quint64(::GetCurrentProcessId())) + "\r\n";
    DWORD written = 0;
    ::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    ::SetEndOfFile(file);
    ::WriteFile(file, text.constData(), DWORD(text.size()), &written, nullptr);
}

} // namespace

FHOutputLock::~FHOutputLock()
{
    unlock();
}

bool FHOutputLock::tryLock(const QString &folder)
{
    unlock();
    m_holder.clear();
    m_path = (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'))
        + QLatin1String(LockName);
    const std::wstring path = nativePath(m_path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            // A folder the user may not write in: the run finds out for itself
            // what it can do there. A file that is there but refuses to open
            // is on its way out until its last holder lets go, which takes a
            // moment; one that stays so is taken as held.
            if (::GetLastError() != ERROR_ACCESS_DENIED
                || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
                return true;
            QThread::msleep(20);
            continue;
        }
        if (lockRange(file)) {
            if (!stillThere(file, path)) {
                ::CloseHandle(file);
                continue;
            }
            writeProcessId(file);
            m_handle = file;
            return true;
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_LOCK_VIOLATION) {
            // A file system without locks cannot take part; the run goes on
            // as it would have before locks existed.
            ::CloseHandle(file);
            return true;
        }
        // The holder may not have written its id yet.
        for (int look = 0; look < 10 && m_holder.isEmpty(); ++look) {
            m_holder = holderOf(file);
            if (m_holder.isEmpty())
                QThread::msleep(10);
        }
        ::CloseHandle(file);
        if (m_holder.isEmpty())
            m_holder = QStringLiteral("another process");
        return false;
    }
    m_holder = QStringLiteral("another process");
    return false;
}

void FHOutputLock::unlock()
{
    if (!m_handle)
        return;
    // Removed while still locked, so that no run ever locks a file that is
    // about to go.
    FILE_DISPOSITION_INFO remove {};
    remove.DeleteFile = TRUE;
    ::SetFileInformationByHandle(m_handle, FileDispositionInfo, &remove, sizeof remove);
    ::CloseHandle(m_handle);
    m_handle = nullptr;
}
